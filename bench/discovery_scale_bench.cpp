// Discovery at scale: N simulated printers, each alone in a network namespace on one bridge (the
// tests' NetnsLab), answer one broadcast GET of sysObjectID sent by PSWFindDeviceSNMP from the
// client namespace. Prints how many were listed, which are missing, and the call's time beside
// its time-out. Needs root (namespaces). The printers are the tests' HostileAgent in normal mode
// (a plain UDP agent on a thread of this process, bound to 0.0.0.0:161 inside its namespace):
// snmpsim per namespace would need most of a second and some 30 MB per printer.
//
//   psw_discovery_scale [PRINTERS (default 244, the lab's most)] [TIMEOUT_MS (default 3000)]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "psw/psw.h"
#include "support/hostile_agent.h"
#include "support/netns.h"

namespace {

constexpr const char* kSupported = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";
// The lab numbers its hosts 10.77.0.11 and up in one /24.
constexpr int kMostHosts = 244;

}  // namespace

int main(int argc, char** argv)
{
    using psw::test::HostileAgent;
    const int printers = argc > 1 ? std::atoi(argv[1]) : kMostHosts;
    const uint32_t timeout =
        argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 3000;
    if (printers < 1 || printers > kMostHosts) {
        std::fprintf(stderr, "printers: 1 to %d\n", kMostHosts);
        return 2;
    }
    const auto setup_start = std::chrono::steady_clock::now();
    psw::test::NetnsLab lab(psw::test::NetnsLabOptions{.hosts = printers});
    if (const ::testing::AssertionResult made = lab.create(); !made) {
        std::fprintf(stderr, "network namespaces: %s\n", made.message());
        return 2;
    }
    std::vector<std::unique_ptr<HostileAgent>> agents;
    for (int i = 0; i < printers; ++i) {
        auto agent = std::make_unique<HostileAgent>();
        bool started = false;
        const bool joined = lab.run_in(
            lab.host(i), [&] { started = static_cast<bool>(agent->start("0.0.0.0", 161)); });
        if (!joined || !started) {
            std::fprintf(stderr, "printer %d did not start\n", i);
            return 2;
        }
        agent->set("1.3.6.1.2.1.1.2.0", HostileAgent::oid(kSupported));
        agents.push_back(std::move(agent));
    }
    const double setup =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - setup_start).count();

    PSWHandle handle = nullptr;
    if (PSWInit(&handle) != PSW_SUCCESS) {
        return 1;
    }
    int32_t result = PSW_ERR_FAILED;
    int32_t count = 0;
    double elapsed = 0;
    lab.run_in(lab.client(), [&] {
        const auto start = std::chrono::steady_clock::now();
        result = PSWFindDeviceSNMP(handle, lab.broadcast_ipv4().c_str(), PSW_TRANSPORT_UDP_IPV4,
                                   timeout, 0, &count);
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    });
    std::set<std::string> listed;
    char address[PSW_DEVICE_TEXT_SIZE];
    char model[PSW_DEVICE_TEXT_SIZE];
    char reserved[4];
    char oid[PSW_DEVICE_TEXT_SIZE];
    while (PSWGetDeviceNext(handle, address, model, reserved, oid) == 1) {
        listed.insert(address);
    }
    PSWUnInit(handle);

    int missing = 0;
    for (int i = 0; i < printers; ++i) {
        if (listed.count(lab.host_ipv4(i)) == 0) {
            std::printf("missing: %s\n", lab.host_ipv4(i).c_str());
            ++missing;
        }
    }
    std::printf("printers %d (set up in %.1f s), result %d, count %d, listed %zu, missing %d\n",
                printers, setup, result, count, listed.size(), missing);
    std::printf("PSWFindDeviceSNMP took %.3f s, time-out %.3f s (one try)\n", elapsed,
                timeout / 1000.0);
    return result == PSW_SUCCESS && missing == 0 ? 0 : 1;
}
