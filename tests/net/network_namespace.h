// A network namespace of the test's own, with a veth pair "pswv0"/"pswv1" up, an IPv4
// address on pswv0 and a default route through it, and IPv6 duplicate address detection off
// so link-local addresses are usable at once. The calling thread enters it while the object
// lives; sockets made meanwhile stay in it. Removed again on destruction.
#pragma once

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace psw::test {

class ScopedNetworkNamespace {
public:
    static constexpr const char* kInterface = "pswv0";
    static constexpr const char* kIpv4Address = "10.99.0.1";

    ScopedNetworkNamespace()
        : m_name("psw_net_test_" + std::to_string(getpid()))
    {
        const std::string in = "ip -n " + m_name + " ";
        const std::string setup =
            "ip netns add " + m_name + " && ip netns exec " + m_name +
            " sysctl -qw net.ipv6.conf.default.accept_dad=0 net.ipv6.conf.all.accept_dad=0 && " +
            in + "link add pswv0 type veth peer name pswv1 && " + in + "link set lo up && " + in +
            "link set pswv0 up && " + in + "link set pswv1 up && " + in +
            "addr add 10.99.0.1/24 dev pswv0 && " + in + "route add default dev pswv0";
        m_created = std::system(("ip netns del " + m_name + " 2>/dev/null; true").c_str()) == 0 &&
                    std::system(setup.c_str()) == 0;
        if (!m_created) {
            return;
        }
        m_original = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        const int target = open(("/var/run/netns/" + m_name).c_str(), O_RDONLY | O_CLOEXEC);
        m_entered = m_original >= 0 && target >= 0 && setns(target, CLONE_NEWNET) == 0;
        if (target >= 0) {
            close(target);
        }
    }

    ~ScopedNetworkNamespace()
    {
        if (m_entered) {
            setns(m_original, CLONE_NEWNET);
        }
        if (m_original >= 0) {
            close(m_original);
        }
        if (m_created) {
            std::system(("ip netns del " + m_name).c_str());
        }
    }

    ScopedNetworkNamespace(const ScopedNetworkNamespace&) = delete;
    ScopedNetworkNamespace& operator=(const ScopedNetworkNamespace&) = delete;

    bool entered() const { return m_entered; }

private:
    std::string m_name;
    bool m_created = false;
    bool m_entered = false;
    int m_original = -1;
};

}  // namespace psw::test
