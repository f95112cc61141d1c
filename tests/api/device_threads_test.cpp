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

#include "core/interface_ids.h"
#include "log/log_interfaces.h"
#include "log/log_registry.h"
#include "psw/psw.h"
#include "support/agent_harness.h"
#include "support/log_capture.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr uint32_t kTimeout = 3000;
constexpr uint32_t kRetries = 2;
constexpr int kRounds = 2;
constexpr const char* kPrinters[] = {"rich", "many-trays", "odd-values", "other-model"};
constexpr int kPrinterCount = 4;

const char* const kOptionNames[] = {"PrinterRomVersion",
                                    "SysName",
                                    "NetWareSAPUnitName",
                                    "InputTrayName",
                                    "InputTrayDescription",
                                    "InputTrayMediaType",
                                    "OutputTrayName",
                                    "MemorySizeInKByte",
                                    "MemorySizeInMByte",
                                    "FAXMaxSpeedDial",
                                    "FAXType",
                                    "NumberOfInputTray",
                                    "InputTrayIndex",
                                    "InputTrayType",
                                    "InputTrayMaxCapacityInSheets",
                                    "InputTrayCurrentLevelInPercent",
                                    "InputTrayMediaSize",
                                    "InputTrayMediaDirection",
                                    "InputTrayMediaDimFeedDirChosen",
                                    "InputTrayMediaDimXFeedDirChosen",
                                    "NumberOfOutputTray",
                                    "PrinterRomVersionMajor",
                                    "PrinterRomVersionMinor",
                                    "PrinterRomVersionRevision",
                                    "FAXSIPStatus",
                                    "PaperSizeGroupSetting",
                                    "PaperSize8KSetting",
                                    "PrintLimitedColorSetting",
                                    "UserPromptSetting",
                                    "MinPasswordLength",
                                    "Scanner",
                                    "Copier",
                                    "FAXUnit",
                                    "HardDisk",
                                    "DuplexModule",
                                    "OffsetCatch",
                                    "InTrayMSI",
                                    "InTrayExistHCF",
                                    "InTrayExistHCF2",
                                    "InTrayExistTTM",
                                    "InTrayExistHCFA3",
                                    "InTrayExistHCFPF35",
                                    "InTrayExistHCFPF32",
                                    "InTrayExistHCFPF31",
                                    "OutputOffsetStacking",
                                    "FAXISDNG4Kit",
                                    "FAXLineSwitchKit"};

// What one handle read: each call's name and result, and the bytes it copied out.
class Transcript {
public:
    void result(const std::string& call, int32_t code)
    {
        m_text += call + "=" + std::to_string(code) + "\n";
    }
    template <typename T>
    void bytes(const T& value)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(&value);
        char hex[3];
        for (size_t i = 0; i < sizeof value; ++i) {
            std::snprintf(hex, sizeof hex, "%02x", p[i]);
            m_text += hex;
        }
        m_text += "\n";
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// Counts the records of one kind and copies every one of them (and one past the end).
template <typename Record, typename Count, typename Copy>
int32_t read_table(PSWHandle handle, Transcript& out, const char* name, Count count, Copy copy)
{
    int32_t n = -1;
    const int32_t counted = count(handle, &n);
    out.result(std::string("count ") + name, counted);
    out.result(std::string("number ") + name, n);
    for (int32_t i = 0; counted == PSW_SUCCESS && i <= n; ++i) {
        Record record;
        std::memset(&record, 0, sizeof record);
        const int32_t copied = copy(handle, i, &record);
        out.result(std::string("copy ") + name + " " + std::to_string(i), copied);
        if (copied == PSW_SUCCESS) {
            out.bytes(record);
        }
    }
    return n;
}

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
        read_table<PSWStorageInfo>(handle, out, "storage", PSWGetNumberOfStorageInfo,
                                   PSWGetStorageInfo);
        read_table<PSWDeviceInfo>(handle, out, "device", PSWGetNumberOfDeviceInfo,
                                  PSWGetDeviceInfo);
        read_table<PSWInputTrayInfo>(handle, out, "input", PSWGetNumberOfInputTrayInfo,
                                     PSWGetInputTrayInfo);
        read_table<PSWInputTrayInfoEx>(handle, out, "input-ex", PSWGetNumberOfInputTrayInfoEx,
                                       PSWGetInputTrayInfoEx);
        read_table<PSWOutputTrayInfo>(handle, out, "output", PSWGetNumberOfOutputTrayInfo,
                                      PSWGetOutputTrayInfo);
        read_table<PSWTonerInfo>(handle, out, "toner", PSWGetNumberOfTonerInfo, PSWGetTonerInfo);
        read_table<PSWAlertInfo>(handle, out, "alert", PSWGetNumberOfAlertInfo, PSWGetAlertInfo);
        for (uint32_t kind : {PSW_JOB_KIND_ALL, PSW_JOB_KIND_OTHERS, PSW_JOB_KIND_SEPARATED}) {
            read_table<PSWJobInfo>(
                handle, out, ("job " + std::to_string(kind)).c_str(),
                [kind](PSWHandle h, int32_t* n) { return PSWGetNumberOfJobInfo(h, kind, n); },
                PSWGetJobInfo);
        }
        PSWPrinterInfo printer;
        std::memset(&printer, 0, sizeof printer);
        out.result("printer", PSWGetPrinterInfo(handle, &printer));
        out.bytes(printer);
        for (uint32_t which : {PSW_CHARSET_STANDARD, PSW_CHARSET_PRIVATE}) {
            int32_t charset = -1;
            out.result("charset " + std::to_string(which), PSWGetCharSet(handle, which, &charset));
            out.result("charset value", charset);
        }
        out.result("refresh", PSWRefreshOptions(handle));
        for (const char* name : kOptionNames) {
            for (uint16_t index = 0; index < 3; ++index) {
                const std::string call = std::string(name) + "[" + std::to_string(index) + "]";
                int16_t flag = -1;
                out.result(call + " bool", PSWGetOptionValueBoolean(handle, name, index, &flag));
                out.result("value", flag);
                int32_t number = -1;
                out.result(call + " int", PSWGetOptionValueInteger(handle, name, index, &number));
                out.result("value", number);
                char text[PSW_OPTION_TEXT_SIZE] = {};
                out.result(call + " text", PSWGetOptionValueString(handle, name, index, text));
                out.result(std::string("value ") + text, 0);
            }
        }
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
