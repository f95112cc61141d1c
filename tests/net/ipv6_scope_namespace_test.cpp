// Which link an IPv6 link-scope multicast leaves through, for real: a client namespace with two
// links, eth0 to a bridge with one host and eth1 straight to a second host, each host
// listening on [::]. Everything lives in namespaces the test creates and removes.
#include <gtest/gtest.h>
#include <net/if.h>

#include <cstring>
#include <string>

#include "core/factory.h"
#include "net/datagram_socket.h"
#include "support/netns.h"
#include "support/peer_requirements.h"

namespace psw {
namespace {

using test::NetnsLab;
using test::NetnsLabOptions;
using test::Peer;
using Socket = OwnedPtr<DataGramSocket>;
using Address = OwnedPtr<IPmcNetworkAddress>;

constexpr uint16_t kPort = 16161;
// Generous: a datagram that was sent arrives long before; only a fault waits it out.
constexpr int32_t kArrivalLimitMs = 5000;

class Ipv6ScopeNamespaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::netns);
        ASSERT_TRUE(lab.create());
        // Host 1 leaves the bridge and becomes the far end of the client's second link.
        ASSERT_TRUE(lab.move_host_to_own_link(1, "eth1"));
        ASSERT_TRUE(lab.wait_link_local(lab.client(), "eth0"));
        ASSERT_TRUE(lab.wait_link_local(lab.host(0), "eth0"));
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(lab.run_in(lab.host(i), [&] { listeners[i] = open_socket(kPort); }));
            ASSERT_TRUE(listeners[i]);
        }
        ASSERT_TRUE(lab.run_in(lab.client(), [&] {
            sender = open_socket(0);
            eth0_index = if_nametoindex("eth0");
        }));
        ASSERT_TRUE(sender);
        ASSERT_NE(eth0_index, 0u);
    }

    static Socket open_socket(uint16_t port)
    {
        Result result = PSW_ERR_FAILED;
        Socket socket(
            pmc_create_datagram_socket_on_port(IPmcNetworkAddress::kUdpIpv6, port, &result));
        EXPECT_EQ(result, PSW_SUCCESS);
        return socket;
    }

    ::testing::AssertionResult ip(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv = {"ip"};
        argv.insert(argv.end(), args.begin(), args.end());
        const test::CommandResult r = test::run_command(argv);
        if (!r.ok()) {
            return ::testing::AssertionFailure() << r.describe();
        }
        return ::testing::AssertionSuccess();
    }

    // Sends `text` from the client namespace, where the choice of links is made.
    Result send(const std::string& text, const std::string& to)
    {
        Result result = PSW_ERR_FAILED;
        EXPECT_TRUE(lab.run_in(lab.client(), [&] {
            Address destination(create_empty_address(nullptr));
            destination->set(to.c_str(), IPmcNetworkAddress::kUdpIpv6, kPort);
            result = sender->send(reinterpret_cast<const uint8_t*>(text.data()),
                                  static_cast<uint32_t>(text.size()), destination.get());
        }));
        return result;
    }

    // The next datagram host `i` receives ("" when none comes).
    std::string next_at(int i)
    {
        uint8_t buffer[256];
        int32_t received = 0;
        IPmcNetworkAddress* source = nullptr;
        const Result result =
            listeners[i]->receive(buffer, sizeof buffer, kArrivalLimitMs, &received, &source);
        Address from(source);
        if (result != PSW_SUCCESS) {
            return "";
        }
        EXPECT_EQ(std::strncmp(from->text(), "fe80:", 5), 0) << from->text();
        return std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(received));
    }

    NetnsLab lab{NetnsLabOptions{.hosts = 2}};
    Socket listeners[2];
    Socket sender;
    unsigned eth0_index = 0;
};

TEST_F(Ipv6ScopeNamespaceTest, WithoutZoneAndDefaultRouteEveryLinkIsAsked)
{
    ASSERT_EQ(send("everywhere", "ff02::1"), PSW_SUCCESS);
    EXPECT_EQ(next_at(0), "everywhere");
    EXPECT_EQ(next_at(1), "everywhere");
}

TEST_F(Ipv6ScopeNamespaceTest, WithoutZoneTheDefaultRouteLinkAloneIsAsked)
{
    ASSERT_TRUE(ip({"-n", lab.client(), "-6", "route", "add", "default", "dev", "eth1"}));
    ASSERT_EQ(send("default-route", "ff02::1"), PSW_SUCCESS);
    // The marker follows on eth0 only: host 0 must see it first, nothing before it.
    ASSERT_EQ(send("marker", "ff02::1%eth0"), PSW_SUCCESS);
    EXPECT_EQ(next_at(1), "default-route");
    EXPECT_EQ(next_at(0), "marker");
}

TEST_F(Ipv6ScopeNamespaceTest, ZoneByNameOrNumberPicksThatLinkOnly)
{
    ASSERT_EQ(send("by-name", "ff02::1%eth1"), PSW_SUCCESS);
    ASSERT_EQ(send("by-number", "ff02::1%" + std::to_string(eth0_index)), PSW_SUCCESS);
    EXPECT_EQ(next_at(1), "by-name");
    EXPECT_EQ(next_at(0), "by-number");
    // Each link got exactly its own datagram: a second one would be the other link's.
    ASSERT_EQ(send("end", "ff02::1%eth1"), PSW_SUCCESS);
    ASSERT_EQ(send("end", "ff02::1%eth0"), PSW_SUCCESS);
    EXPECT_EQ(next_at(1), "end");
    EXPECT_EQ(next_at(0), "end");
}

TEST_F(Ipv6ScopeNamespaceTest, ZoneOfAWiderGroupChoosesTheInterface)
{
    // Site-scope groups take their link from the interface option, not from the scope id.
    ASSERT_TRUE(lab.run_in(lab.host(1), [&] {
        EXPECT_EQ(listeners[1]->join_multicast("ff05::114"), PSW_SUCCESS);
    }));
    ASSERT_TRUE(lab.run_in(lab.host(0), [&] {
        EXPECT_EQ(listeners[0]->join_multicast("ff05::114"), PSW_SUCCESS);
    }));
    ASSERT_TRUE(ip({"-n", lab.client(), "-6", "route", "add", "ff05::/16", "dev", "eth0"}));
    ASSERT_EQ(send("site", "ff05::114%eth1"), PSW_SUCCESS);
    ASSERT_EQ(send("marker", "ff02::1%eth0"), PSW_SUCCESS);
    EXPECT_EQ(next_at(1), "site");
    EXPECT_EQ(next_at(0), "marker");
}

TEST_F(Ipv6ScopeNamespaceTest, UnknownZoneIsRefusedBeforeSending)
{
    EXPECT_EQ(send("x", "ff02::1%psw-no-such0"), PSW_ERR_PARAMETER);
    EXPECT_EQ(send("x", "ff02::1%"), PSW_ERR_PARAMETER);
}

}  // namespace
}  // namespace psw
