// Loopback addresses for test agents on the standard SNMP port.
//
// Every test program (ctest -j2 runs several at once) takes its own 127.0.0.N (N from 2) for an
// agent: the lease holds an flock'ed lock file (/tmp/psw-test-loopback-N.lock, or under
// $PSW_TEST_LOCK_DIR) for its lifetime and is only granted when the UDP port is free on that
// address, because snmpsim binds with SO_REUSEADDR and would silently share a busy one.
// [::1] is a single address: its lease waits for the other holders.
//
//   std::string error;
//   auto lease = psw::test::LoopbackLease::acquire(161, &error);
//   ASSERT_TRUE(lease) << error;
//   start_agent_on(lease->address(), lease->port());
//   lease->record_owner(agent_pid);
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace psw::test {

class LoopbackLease {
public:
    // First free 127.0.0.N, N in [2, 254]; nullopt with *error set when none is free.
    static std::optional<LoopbackLease> acquire(uint16_t port = 161, std::string* error = nullptr);
    // [::1]:port, waiting up to `wait` for other test programs to give it back.
    static std::optional<LoopbackLease> acquire_ipv6(
        uint16_t port = 161, std::chrono::milliseconds wait = std::chrono::milliseconds(120000),
        std::string* error = nullptr);

    LoopbackLease(LoopbackLease&& other) noexcept;
    LoopbackLease& operator=(LoopbackLease&& other) noexcept;
    LoopbackLease(const LoopbackLease&) = delete;
    LoopbackLease& operator=(const LoopbackLease&) = delete;
    ~LoopbackLease();

    const std::string& address() const { return address_; }  // "127.0.0.5" or "::1"
    uint16_t port() const { return port_; }
    bool ipv6() const { return address_.find(':') != std::string::npos; }
    // "127.0.0.5:161" or "[::1]:161"
    std::string endpoint() const;
    // Net-SNMP target text: "udp:127.0.0.5:161" or "udp6:[::1]:161"
    std::string netsnmp_target() const;
    const std::string& lock_path() const { return lock_path_; }

    // Notes the agent's pid and start time in the lock file. Should the test program die without
    // stopping it, the next lease of this address ends that agent (only when a process with that
    // pid and start time still exists) before handing the address out again.
    void record_owner(pid_t pid);

private:
    LoopbackLease(std::string address, uint16_t port, std::string lock_path, int fd);
    void release();

    std::string address_;
    uint16_t port_ = 0;
    std::string lock_path_;
    int fd_ = -1;
};

// True when nothing is bound to UDP address:port (tries a bind without SO_REUSEADDR).
bool udp_port_free(const std::string& address, uint16_t port);

// Folder of the lease lock files.
std::string loopback_lock_dir();

}  // namespace psw::test
