// Four handles on four threads read four simulated printers at once: set-up, every
// count-and-copy call, printer information, character sets, jobs and options. Each thread's
// transcript (every result and every copied byte) must equal the one read on a single thread.
// Run under ThreadSanitizer as well (tools/run-tests.sh) to find races in the shared state.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "api/device_transcript.h"
#include "core/interface_ids.h"
#include "log/log_interfaces.h"
#include "log/log_registry.h"
#include "psw/psw.h"
#include "support/agent_harness.h"
#include "support/log_capture.h"
#include "support/option_names.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr uint32_t kTimeout = 3000;
constexpr uint32_t kRetries = 2;
constexpr int kRounds = 2;
constexpr const char* kPrinters[] = {"rich", "many-trays", "odd-values", "other-model"};
constexpr int kPrinterCount = 4;

// Everything a host program reads from one printer, on one handle.
std::string read_printer(const std::string& address, const char* community)
{
    Transcript out;
    PSWHandle handle = nullptr;
    if (PSWInit(&handle) != PSW_SUCCESS) {
        return "PSWInit failed";
    }
    out.result("community", PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, community));
    for (int round = 0; round < kRounds; ++round) {
        out.result("init", PSWInitDevice(handle, address.c_str(), PSW_TRANSPORT_UDP_IPV4, kTimeout,
                                         kRetries));
        read_device(handle, out, kAllOptionNames, 3);
        out.result("supported", PSWIsSupportedOID(handle, "1.3.6.1.4.1.297"));
    }
    PSWUnInit(handle);
    return out.text();
}

// A log output that only counts its lines; the loggers may call it from every thread.
class CountingOutput final : public TestLogOutput {
public:
    const char* type_name() const noexcept override { return "counting"; }
    const char* name() const noexcept override { return "counting"; }
    Result write_line(const char*) noexcept override
    {
        lines.fetch_add(1, std::memory_order_relaxed);
        return PSW_SUCCESS;
    }

    std::atomic<long> lines{0};
};

class DeviceThreadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools);
        std::vector<SnmprecSource> files;
        for (const char* name : kPrinters) {
            files.emplace_back(test_data(std::string("printers/") + name + ".snmprec"));
        }
        ASSERT_TRUE(agent.start({.files = files}));
        // Every logger writes, so the threads also meet in the log registry and its loggers.
        registry = pmc_log_registry(nullptr);
        ASSERT_NE(registry, nullptr);
        for (const char* name : {"PSW", "socket", "snmp"}) {
            IPmcLogger* logger = registry->get_logger(name, nullptr);
            ASSERT_NE(logger, nullptr);
            ASSERT_EQ(logger->add_output(&counter), PSW_SUCCESS);
            logger->set_level_mask(kLogAll);
        }
    }
    void TearDown() override
    {
        if (registry != nullptr) {
            registry->reset();
        }
    }

    SnmpsimAgent agent;
    CPmcLogRegistry* registry = nullptr;
    CountingOutput counter;
};

// A line of a transcript, to show where two of them part.
std::string first_difference(const std::string& a, const std::string& b)
{
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) {
        ++at;
    }
    const size_t line = a.rfind('\n', at == 0 ? 0 : at - 1);
    const size_t start = line == std::string::npos ? 0 : line + 1;
    return "single: " + a.substr(start, a.find('\n', at) - start) +
           "\nthreads: " + b.substr(start, b.find('\n', at) - start);
}

TEST_F(DeviceThreadsTest, FourHandlesOnFourThreadsReadWhatOneThreadReads)
{
    // The threads go first, so that they also race for the singletons built on first use
    // (socket binding, address services, loggers) when this test runs in a process of its own.
    std::string threaded[kPrinterCount];
    std::vector<std::thread> threads;
    for (int i = 0; i < kPrinterCount; ++i) {
        threads.emplace_back([&, i] { threaded[i] = read_printer(agent.address(), kPrinters[i]); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_GT(counter.lines.load(), 0) << "the loggers wrote";

    std::string single[kPrinterCount];
    for (int i = 0; i < kPrinterCount; ++i) {
        single[i] = read_printer(agent.address(), kPrinters[i]);
    }
    // The single-threaded reading must itself be a real one: the printers were read.
    EXPECT_NE(single[0].find("init=0\n"), std::string::npos);
    EXPECT_NE(single[0].find("count storage=0\nnumber storage=5\n"), std::string::npos);
    EXPECT_NE(single[0].find("count device=0\nnumber device=16\n"), std::string::npos);
    EXPECT_NE(single[1].find("count input=0\nnumber input=25\n"), std::string::npos);
    EXPECT_NE(single[2].find("refresh=-1\n"), std::string::npos) << "odd ROM version text";
    EXPECT_NE(single[3].find("init=-2\n"), std::string::npos) << "another model is refused";

    for (int i = 0; i < kPrinterCount; ++i) {
        EXPECT_EQ(threaded[i].size(), single[i].size()) << kPrinters[i];
        EXPECT_TRUE(threaded[i] == single[i]) << kPrinters[i] << "\n"
                                              << first_difference(single[i], threaded[i]);
    }
}

}  // namespace
}  // namespace psw::test
