// Whether a test's real peers (agents, client tools, namespaces, captured data) are usable.
//
// Outside CI a missing peer skips the test with the reason; when the environment variable CI is
// set to anything non-empty the same condition fails the test, so a peer test never passes
// silently in CI:
//
//   TEST(Printer, ReadsStatus) {
//     PSW_REQUIRE_PEERS(psw::test::Peer::root, psw::test::Peer::snmpsim);
//     ...
//   }
//
// The macros return from the calling function, so use them in a test body or SetUp().
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

namespace psw::test {

enum class Peer {
    root,             // effective uid 0 (port 161, namespaces, agents dropping to nobody)
    snmpsim,          // /usr/bin/snmpsimd, /usr/bin/python3, user nobody and group nogroup
    snmpd,            // Net-SNMP agent
    netsnmp_tools,    // snmpget, snmpgetnext, snmpwalk, snmpset
    python3,          // /usr/bin/python3
    iproute2,         // ip
    netns,            // root, ip, and the kernel lets us create network namespaces
    tshark,           // tshark and text2pcap
    shared_printers,  // the captured printer recordings (shared data folder)
};

const char* peer_name(Peer peer);

// Why the peer cannot be used, or nullopt when it can.
std::optional<std::string> peer_unavailable(Peer peer);
// The reasons of every unavailable peer of the list joined by "; ", or nullopt.
std::optional<std::string> peer_unavailable(std::initializer_list<Peer> peers);

// True when CI is set to a non-empty value.
bool running_in_ci();

// The folder of the captured printer recordings: $PSW_SHARED_DATA_DIR/printers when that
// variable is set, else the build-time path (../shared/data/printers beside the source tree).
std::string shared_printers_dir();
// Full path of one recording, or empty when it is absent.
std::string shared_printer_file(const std::string& file_name);

}  // namespace psw::test

// Skips (outside CI) or fails (CI set) the current test with `reason`.
#define PSW_PEER_UNAVAILABLE(reason)                                                          \
    do {                                                                                      \
        if (::psw::test::running_in_ci()) {                                                   \
            GTEST_FAIL() << "peer unavailable and CI is set, refusing to skip: " << (reason); \
        } else {                                                                              \
            GTEST_SKIP() << (reason);                                                         \
        }                                                                                     \
    } while (0)

// PSW_REQUIRE_PEERS(psw::test::Peer::root, psw::test::Peer::snmpd);
#define PSW_REQUIRE_PEERS(...)                                                      \
    do {                                                                            \
        if (auto psw_peer_reason_ = ::psw::test::peer_unavailable({__VA_ARGS__})) { \
            PSW_PEER_UNAVAILABLE(*psw_peer_reason_);                                \
        }                                                                           \
    } while (0)
