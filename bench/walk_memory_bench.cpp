// Peak memory of one table walk through the exported API: PSWGetNumberOfStorageInfo over a
// 10,000-row, 4-column hrStorageTable served by the hostile agent of the tests (normal mode) on
// a leased loopback address. Needs root (port 161).
//
// Peak = the process's peak resident size during the walk (VmHWM, reset just before through
// /proc/self/clear_refs) minus its resident size just before. The agent runs in this process:
// its table is built before the baseline is taken.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "psw/psw.h"
#include "support/hostile_agent.h"
#include "support/loopback_pool.h"

namespace {

constexpr uint32_t kRows = 10000;

// A "VmRSS:" or "VmHWM:" line of /proc/self/status, in KiB.
long status_kib(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
        }
    }
    return -1;
}

bool reset_peak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear);
}

}  // namespace

int main(int argc, char** argv)
{
    const uint32_t rows =
        argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : kRows;
    std::string error;
    auto lease = psw::test::LoopbackLease::acquire(161, &error);
    if (!lease) {
        std::fprintf(stderr, "no loopback address: %s\n", error.c_str());
        return 2;
    }
    psw::test::HostileAgent agent;
    if (!agent.start(lease->address(), lease->port())) {
        std::fprintf(stderr, "agent did not start\n");
        return 2;
    }
    agent.set("1.3.6.1.2.1.1.2.0",
              psw::test::HostileAgent::oid("1.3.6.1.4.1.297.1.11.93.1.35.27.1"));
    agent.add_table("1.3.6.1.2.1.25.2.3.1", {4, 5}, {2, 3}, rows);

    PSWHandle handle = nullptr;
    if (PSWInit(&handle) != PSW_SUCCESS ||
        PSWInitDevice(handle, lease->address().c_str(), PSW_TRANSPORT_UDP_IPV4, 2000, 1) !=
            PSW_SUCCESS) {
        std::fprintf(stderr, "device set-up failed\n");
        return 1;
    }
    const long before = status_kib("VmRSS:");
    if (!reset_peak()) {
        std::fprintf(stderr, "cannot reset the peak (/proc/self/clear_refs)\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    int32_t count = 0;
    const int32_t result = PSWGetNumberOfStorageInfo(handle, &count);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const long peak = status_kib("VmHWM:");
    PSWUnInit(handle);
    std::printf("rows %d (result %d), 4 columns, %.2f s\n", count, result,
                std::chrono::duration<double>(elapsed).count());
    std::printf(
        "resident before %ld KiB, peak during the walk %ld KiB, peak - before %ld KiB "
        "(%.2f MiB, %.0f bytes a row)\n",
        before, peak, peak - before, static_cast<double>(peak - before) / 1024.0,
        count > 0 ? static_cast<double>(peak - before) * 1024.0 / count : 0.0);
    return result == PSW_SUCCESS && count == static_cast<int32_t>(rows) ? 0 : 1;
}
