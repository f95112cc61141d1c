// Discovery at scale: N simulated printers, each alone in a network namespace on one bridge (the
// tests' NetnsLab), answer one broadcast GET of sysObjectID sent by PSWFindDeviceSNMP from the
// client namespace. Prints how many were listed, which are missing, and the call's time beside
// its time-out. Needs root (namespaces). The printers are the tests' HostileAgent in normal mode
// (a plain UDP agent on a thread of this process, bound to 0.0.0.0:161 inside its namespace):
// snmpsim per namespace would need most of a second and some 30 MB per printer.
//
// Up to 244 printers share 10.77.0.0/24 as in the tests; more get the narrowest wider prefix that
// holds them (down to /16) and the broadcast address of that prefix. After the call it prints
// the client namespace's UDP counters, which say whether a reply was dropped for want of receive
// buffer.
//
// Each printer knows the client's link address from the start (no ARP), unless the third
// argument is "arp". The machine-wide count of packets the kernel's backlog dropped is printed
// beside the client's counters (other programs add to it too).
//
//   psw_discovery_scale [PRINTERS (default 244)] [TIMEOUT_MS (default 3000)] [arp]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "psw/psw.h"
#include "support/hostile_agent.h"
#include "support/netns.h"

namespace {

constexpr const char* kSupported = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";
constexpr int kDefaultPrinters = 244;

// Packets dropped because a CPU's backlog was full, machine-wide (/proc/net/softnet_stat).
long backlog_drops()
{
    std::ifstream in("/proc/net/softnet_stat");
    long total = 0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string processed, dropped;
        if (fields >> processed >> dropped) total += std::stol(dropped, nullptr, 16);
    }
    return total;
}

// The Udp counters of the calling thread's network namespace (/proc/net/snmp), by name.
std::map<std::string, long> udp_counters()
{
    std::ifstream in("/proc/thread-self/net/snmp");
    std::map<std::string, long> counters;
    for (std::string names, values; std::getline(in, names) && std::getline(in, values);) {
        if (names.rfind("Udp:", 0) != 0) continue;
        std::istringstream n(names.substr(4)), v(values.substr(4));
        std::string name;
        long value = 0;
        while (n >> name && v >> value)
            counters[name] = value;
    }
    return counters;
}

}  // namespace

int main(int argc, char** argv)
{
    using psw::test::HostileAgent;
    using psw::test::NetnsLab;
    const int printers = argc > 1 ? std::atoi(argv[1]) : kDefaultPrinters;
    const uint32_t timeout =
        argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 3000;
    const bool arp = argc > 3 && std::string(argv[3]) == "arp";
    int prefix = 24;
    while (prefix > 16 && NetnsLab::most_hosts(prefix) < printers)
        --prefix;
    if (printers < 1 || printers > NetnsLab::most_hosts(prefix)) {
        std::fprintf(stderr, "printers: 1 to %d\n", NetnsLab::most_hosts(16));
        return 2;
    }
    const auto setup_start = std::chrono::steady_clock::now();
    // Without the static neighbour entry every printer asks for the client's link address at
    // once; the bridge floods each ARP request to all ports, and at 500 printers the kernel's
    // backlog (net.core.netdev_max_backlog) overflows and some answers are lost in the lab.
    NetnsLab lab(psw::test::NetnsLabOptions{
        .hosts = printers, .ipv4_prefix = prefix, .static_client_neighbour = !arp});
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
    // New links announce themselves (IPv6 multicast) for a few seconds, which the bridge floods
    // to every port; the broadcast waits until the kernel's backlog stops dropping (at most 30 s)
    // so that it is not lost in that noise.
    int settle = 0;
    for (long last = backlog_drops(); settle < 30; ++settle) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const long now = backlog_drops();
        if (now == last) {
            break;
        }
        last = now;
    }

    // The library's failures, if any, say why a discovery ended early; silent otherwise.
    PSWLogSetLevel(nullptr, PSW_LOG_ERROR);
    PSWLogAttachStdout();
    PSWHandle handle = nullptr;
    if (PSWInit(&handle) != PSW_SUCCESS) {
        return 1;
    }
    int32_t result = PSW_ERR_FAILED;
    int32_t count = 0;
    double elapsed = 0;
    std::map<std::string, long> before, after;
    const long drops_before = backlog_drops();
    lab.run_in(lab.client(), [&] {
        before = udp_counters();
        const auto start = std::chrono::steady_clock::now();
        result = PSWFindDeviceSNMP(handle, lab.broadcast_ipv4().c_str(), PSW_TRANSPORT_UDP_IPV4,
                                   timeout, 0, &count);
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        after = udp_counters();
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
    std::printf(
        "printers %d on 10.77.0.0/%d to %s (set up in %.1f s, quiet after %d s more), result "
        "%d, count %d, listed %zu, missing %d\n",
        printers, prefix, lab.broadcast_ipv4().c_str(), setup, settle, result, count, listed.size(),
        missing);
    const long drops = backlog_drops() - drops_before;
    long rmem_default = 0;
    std::ifstream("/proc/sys/net/core/rmem_default") >> rmem_default;
    std::printf(
        "client UDP (net.core.rmem_default %ld): InDatagrams +%ld, RcvbufErrors +%ld, "
        "InErrors +%ld; backlog drops +%ld (machine-wide)\n",
        rmem_default, after["InDatagrams"] - before["InDatagrams"],
        after["RcvbufErrors"] - before["RcvbufErrors"], after["InErrors"] - before["InErrors"],
        drops);
    std::printf("PSWFindDeviceSNMP took %.3f s, time-out %.3f s (one try)\n", elapsed,
                timeout / 1000.0);
    return result == PSW_SUCCESS && missing == 0 ? 0 : 1;
}
