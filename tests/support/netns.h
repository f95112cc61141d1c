// A private test network made of Linux network namespaces, for broadcast and multicast tests
// that must never touch the machine's own network:
//
//   bridge namespace  "psw<pid>-<n>-br"   bridge br0 joining every veth pair
//   host namespaces   "psw<pid>-<n>-h<i>" eth0 = 10.77.0.(11+i)/24, fd77::(11+i)/64,
//                                          net.ipv6.bindv6only=1 (agents on 0.0.0.0 and [::])
//   client namespace  "psw<pid>-<n>-c"    eth0 = 10.77.0.2/24, fd77::2/64, default route via eth0
//
// Every namespace has lo up and accept_dad=0. The destructor deletes everything it created,
// also when the test failed; namespaces left behind by dead test programs are removed by the
// next create().
//
// A /24 holds 244 hosts. A wider `ipv4_prefix` (16 to 23) holds more: the hosts keep counting
// on from 10.77.0.11 (the 245th is 10.77.0.255, then 10.77.1.0 ...) and every address and the
// broadcast address belong to 10.77.0.0/prefix; with the default /24 nothing changes.
//
//   PSW_REQUIRE_PEERS(Peer::netns, Peer::snmpsim);
//   psw::test::NetnsLab lab;
//   ASSERT_TRUE(lab.create());
//   psw::test::SnmpsimAgent agent;                      // declare after the lab
//   ASSERT_TRUE(agent.start({.files = {...}, .netns = lab.host(0)}));
//   auto r = lab.exec(lab.client(), {"ping", "-c1", lab.host_ipv4(0)});
//   ASSERT_TRUE(lab.run_in(lab.client(), [&] {
//     // sockets opened here live in the client namespace; gtest assertions work
//   }));
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/process.h"

namespace psw::test {

struct NetnsLabOptions {
    int hosts = 3;
    bool client_default_route = true;  // needed to send to 255.255.255.255
    int ipv4_prefix = 24;              // 16 to 24: the IPv4 subnet 10.77.0.0/ipv4_prefix
    // Each host knows the client's IPv4 link address from the start (a permanent neighbour
    // entry), so hundreds of hosts answering the client at once send no ARP requests, which the
    // bridge would flood to every port, overrunning the kernel's backlog and losing answers.
    bool static_client_neighbour = false;
};

class NetnsLab {
public:
    explicit NetnsLab(NetnsLabOptions options = {});
    ~NetnsLab();
    NetnsLab(const NetnsLab&) = delete;
    NetnsLab& operator=(const NetnsLab&) = delete;

    // Builds the namespaces; on failure removes what it built and says which command failed.
    ::testing::AssertionResult create();
    // Deletes every namespace it created (the destructor calls it).
    void destroy();

    const std::string& bridge() const { return bridge_; }
    const std::string& client() const { return client_; }
    const std::string& host(int i) const { return hosts_.at(static_cast<size_t>(i)); }
    int host_count() const { return static_cast<int>(hosts_.size()); }
    const std::vector<std::string>& namespaces() const { return created_; }

    std::string host_ipv4(int i) const;
    std::string host_ipv6(int i) const { return "fd77::" + std::to_string(11 + i); }
    std::string client_ipv4() const { return "10.77.0.2"; }
    std::string client_ipv6() const { return "fd77::2"; }
    std::string broadcast_ipv4() const;  // 10.77.0.255 for a /24
    int ipv4_prefix() const { return options_.ipv4_prefix; }
    // The most hosts a lab with this IPv4 prefix holds (244 for a /24).
    static int most_hosts(int ipv4_prefix);
    std::string interface_name() const { return "eth0"; }  // in the client and host namespaces

    // Takes host i off the bridge and links it straight to the client instead: a veth pair whose
    // client end is `client_interface` and whose host end is eth0 again, without IPv4 or global
    // IPv6 addresses. Returns once both ends carry their link-local address.
    ::testing::AssertionResult move_host_to_own_link(int i, const std::string& client_interface);

    // Waits until interface `dev` of namespace `ns` carries its link-local IPv6 address: until
    // then link-scope multicast on it is lost.
    ::testing::AssertionResult wait_link_local(const std::string& ns, const std::string& dev) const;

    // argv prefixed with `ip netns exec NS`.
    std::vector<std::string> wrap(const std::string& ns,
                                  const std::vector<std::string>& argv) const;
    // Runs a command inside a namespace.
    CommandResult exec(const std::string& ns, const std::vector<std::string>& argv,
                       const CommandOptions& options = {}) const;
    // Runs fn on a new thread that has joined the namespace's network namespace (setns), and
    // waits for it. Sockets fn creates belong to that namespace. Fails when setns fails.
    ::testing::AssertionResult run_in(const std::string& ns, const std::function<void()>& fn) const;

private:
    ::testing::AssertionResult ip(const std::vector<std::string>& args);
    // Runs the lines with one `ip [-n ns] -batch` (ns empty: this namespace); a failure names
    // the line that failed.
    ::testing::AssertionResult ip_batch(const std::string& ns,
                                        const std::vector<std::string>& lines) const;
    // Sets each "key=value" of `settings` inside namespace `ns`.
    ::testing::AssertionResult sysctl(const std::string& ns,
                                      const std::vector<std::string>& settings);
    void remove_stale() const;

    NetnsLabOptions options_;
    std::string prefix_;
    std::string bridge_;
    std::string client_;
    std::vector<std::string> hosts_;
    std::vector<std::string> created_;
    std::string ip_;
};

}  // namespace psw::test
