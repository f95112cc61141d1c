// The adapter questions of the address services (adapter count, hardware address of a local
// address, local hardware address, local IPv6 address toward a target) on test hosts made in
// network namespaces. Nothing is sent: a connected datagram socket only asks for a route.
#include <gtest/gtest.h>
#include <net/if.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/factory.h"
#include "net/address_services.h"
#include "net/socket_api.h"
#include "support/netns.h"
#include "support/peer_requirements.h"

namespace psw {
namespace {

using test::NetnsLab;
using test::Peer;
using Services = std::unique_ptr<IPmcAddressServices>;

constexpr char kMacE0[] = "02-17-00-00-00-E0";
constexpr char kMacE1[] = "02-17-00-00-00-E1";

class AdapterServicesNamespaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::netns);
        ASSERT_TRUE(lab.create());
        services.reset(create_address_services(pmc_socket_library(), nullptr));
        ASSERT_TRUE(services);
        run("link del eth0");  // the lab's own link: only loopback is left
    }

    // One veth pair: e0 with IPv4, a global and a fixed link-local IPv6 address; e1 without any.
    void add_links()
    {
        run("link add e0 type veth peer name e1");
        run("link set e0 address 02:17:00:00:00:e0 addrgenmode none");
        run("link set e1 address 02:17:00:00:00:e1 addrgenmode none");
        run("addr add 10.88.0.1/24 dev e0");
        run("addr add fd88::1/64 dev e0 nodad");
        run("addr add fe80::88:1/64 dev e0 nodad");
        run("link set e0 up");
        run("link set e1 up");
        ASSERT_TRUE(lab.run_in(lab.client(), [&] {
            index_e0 = if_nametoindex("e0");
            index_e1 = if_nametoindex("e1");
        }));
    }

    void run(const std::string& command)
    {
        std::vector<std::string> argv = {"ip"};
        std::istringstream in(command);
        for (std::string word; in >> word;) {
            argv.push_back(word);
        }
        const auto result = lab.exec(lab.client(), argv);
        ASSERT_TRUE(result.ok()) << command << ": " << result.describe();
    }

    uint32_t count(IPmcNetworkAddress::EProtocol protocol)
    {
        uint32_t answer = 99;
        EXPECT_TRUE(lab.run_in(lab.client(), [&] {
            EXPECT_EQ(services->adapter_count(protocol, &answer), PSW_SUCCESS);
        }));
        return answer;
    }

    bool available(IPmcNetworkAddress::EProtocol protocol)
    {
        bool answer = true;
        EXPECT_TRUE(lab.run_in(lab.client(), [&] {
            EXPECT_EQ(services->transport_available(protocol, &answer), PSW_SUCCESS);
        }));
        return answer;
    }

    // The hardware address owning `text`, or the failure code as text.
    std::string mac_of(IPmcNetworkAddress::EProtocol protocol, const std::string& text)
    {
        std::string answer;
        EXPECT_TRUE(lab.run_in(lab.client(), [&] {
            OwnedPtr<PmsOctets> out(create_octets());
            ASSERT_TRUE(out);
            const Result result = services->mac_of_address(protocol, text.c_str(), out.get());
            answer = result == PSW_SUCCESS ? out->c_str() : "error " + std::to_string(result);
        }));
        return answer;
    }

    // The local address toward `target`, or the failure code as text.
    std::string best_local(const std::string& target)
    {
        std::string answer;
        EXPECT_TRUE(lab.run_in(lab.client(), [&] {
            OwnedPtr<IPmcNetworkAddress> address(create_address(target.c_str(), 161, nullptr));
            ASSERT_TRUE(address);
            IPmcNetworkAddress* out = nullptr;
            const Result result = services->best_local_address(address.get(), &out);
            OwnedPtr<IPmcNetworkAddress> local(out);
            if (result != PSW_SUCCESS) {
                answer = "error " + std::to_string(result);
                return;
            }
            ASSERT_TRUE(local);
            EXPECT_EQ(local->port(), 161);
            EXPECT_EQ(local->protocol(), address->protocol());
            answer = local->text();
        }));
        return answer;
    }

    NetnsLab lab{{.hosts = 0, .client_default_route = false}};
    Services services;
    uint32_t index_e0 = 0;
    uint32_t index_e1 = 0;
};

TEST_F(AdapterServicesNamespaceTest, LoopbackOnlyHostHasNoAdapters)
{
    EXPECT_EQ(count(IPmcNetworkAddress::kUdpIpv4), 0U);
    EXPECT_EQ(count(IPmcNetworkAddress::kUdpIpv6), 0U);
    EXPECT_FALSE(available(IPmcNetworkAddress::kUdpIpv4));
    EXPECT_EQ(mac_of(IPmcNetworkAddress::kUdpIpv4, ""), "error -7");
    EXPECT_EQ(mac_of(IPmcNetworkAddress::kUdpIpv4, "127.0.0.1"), "error -7");

    // A tunnel with a global IPv6 address is counted for IPv4 but serves no IPv6.
    run("tuntap add dev tun7 mode tun");
    run("link set tun7 up");
    run("addr add 2001:db8::7/64 dev tun7 nodad");
    EXPECT_FALSE(available(IPmcNetworkAddress::kUdpIpv6));
    EXPECT_EQ(count(IPmcNetworkAddress::kUdpIpv6), 0U);
    EXPECT_EQ(count(IPmcNetworkAddress::kUdpIpv4), 1U);
    EXPECT_EQ(mac_of(IPmcNetworkAddress::kUdpIpv6, "2001:db8::7"), "error -7");
}

TEST_F(AdapterServicesNamespaceTest, HardwareAddressesOfLocalAddresses)
{
    add_links();
    EXPECT_EQ(count(IPmcNetworkAddress::kUdpIpv4), 2U);
    EXPECT_EQ(count(IPmcNetworkAddress::kUdpIpv6), 1U);  // e1 has no IPv6 address

    const std::string e0 = std::to_string(index_e0);
    struct Case {
        IPmcNetworkAddress::EProtocol protocol;
        std::string text;
        std::string mac;
    } cases[] = {
        {IPmcNetworkAddress::kUdpIpv4, "10.88.0.1", kMacE0},
        {IPmcNetworkAddress::kUdpIpv4, "10.88.0.2", "error -7"},
        {IPmcNetworkAddress::kUdpIpv4, "", index_e0 < index_e1 ? kMacE0 : kMacE1},
        {IPmcNetworkAddress::kUdpIpv6, "fd88::1", kMacE0},
        {IPmcNetworkAddress::kUdpIpv6, "FD88:0::0001", kMacE0},  // another spelling
        {IPmcNetworkAddress::kUdpIpv6, "fe80::88:1%" + e0, kMacE0},
        {IPmcNetworkAddress::kUdpIpv6, "FE80::88:1%" + e0, kMacE0},
        {IPmcNetworkAddress::kUdpIpv6, "fe80::88:1%e0", kMacE0},  // the zone by name
        {IPmcNetworkAddress::kUdpIpv6, "fe80::88:1", kMacE0},     // without the zone
        {IPmcNetworkAddress::kUdpIpv6, "fe80::88:1%" + std::to_string(index_e1), "error -7"},
        {IPmcNetworkAddress::kUdpIpv6, "fd88::2", "error -7"},
        {IPmcNetworkAddress::kUdpIpv6, "", kMacE0},
        {IPmcNetworkAddress::kIpx, "00000001:0123456789ab", "error -2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mac_of(c.protocol, c.text), c.mac) << c.text;
    }

    ASSERT_TRUE(lab.run_in(lab.client(), [&] {
        bool local = false;
        EXPECT_EQ(services->is_local_mac("02-17-00-00-00-e0", &local), PSW_SUCCESS);
        EXPECT_TRUE(local);
        EXPECT_EQ(services->is_local_mac(kMacE1, &local), PSW_SUCCESS);
        EXPECT_TRUE(local);
        EXPECT_EQ(services->is_local_mac("02-17-00-00-00-E2", &local), PSW_SUCCESS);
        EXPECT_FALSE(local);
        EXPECT_EQ(services->is_local_mac("00-00-00-00-00-00", &local), PSW_SUCCESS);
        EXPECT_FALSE(local);  // the loopback's is skipped
    }));
}

TEST_F(AdapterServicesNamespaceTest, BestLocalAddressForBothFamilies)
{
    add_links();
    const std::string e0 = std::to_string(index_e0);
    EXPECT_EQ(best_local("fd88::20"), "fd88::1");
    EXPECT_EQ(best_local("fe80::5%" + e0), "fe80::88:1%" + e0);
    EXPECT_EQ(best_local("2001:db8::1"), "error -5");  // no IPv6 route toward it
    EXPECT_EQ(best_local("10.88.0.9"), "10.88.0.1");
    EXPECT_EQ(best_local("10.89.0.9"), "error -1");  // no IPv4 route either
    run("route add default dev e0");
    run("-6 route add default dev e0");
    EXPECT_EQ(best_local("2001:db8::1"), "fd88::1");
    EXPECT_EQ(best_local("10.89.0.9"), "10.88.0.1");
}

TEST(AdapterServices, ArgumentsAndProtocolsRefused)
{
    Services services(create_address_services(pmc_socket_library(), nullptr));
    ASSERT_TRUE(services);
    OwnedPtr<PmsOctets> text(create_octets());
    OwnedPtr<IPmcNetworkAddress> target(create_address("10.1.2.3", 161, nullptr));
    ASSERT_TRUE(text && target);
    uint32_t count = 7;
    bool flag = true;
    IPmcNetworkAddress* out = nullptr;
    EXPECT_EQ(services->adapter_count(IPmcNetworkAddress::kIpx, &count), PSW_ERR_PARAMETER);
    EXPECT_EQ(services->adapter_count(IPmcNetworkAddress::kUnspecified, &count), PSW_ERR_PARAMETER);
    EXPECT_EQ(services->adapter_count(IPmcNetworkAddress::kUdpIpv4, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(count, 7U);
    EXPECT_EQ(services->mac_of_address(IPmcNetworkAddress::kUdpIpv4, nullptr, text.get()),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(services->mac_of_address(IPmcNetworkAddress::kUdpIpv4, "", nullptr),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(services->mac_of_address(IPmcNetworkAddress::kNoAddressFamily, "", text.get()),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(services->is_local_mac(nullptr, &flag), PSW_ERR_PARAMETER);
    EXPECT_EQ(services->is_local_mac("00-00-00-00-00-00", nullptr), PSW_ERR_PARAMETER);
    EXPECT_TRUE(flag);
    EXPECT_EQ(services->best_local_address(nullptr, &out), PSW_ERR_PARAMETER);
    EXPECT_EQ(services->best_local_address(target.get(), nullptr), PSW_ERR_PARAMETER);
    ASSERT_EQ(target->set("10.1.2.3", IPmcNetworkAddress::kNoAddressFamily, 0), PSW_SUCCESS);
    EXPECT_EQ(services->best_local_address(target.get(), &out), PSW_ERR_PARAMETER);
    ASSERT_EQ(target->set("00000001:0123456789ab", IPmcNetworkAddress::kIpx, 0), PSW_SUCCESS);
    EXPECT_EQ(services->best_local_address(target.get(), &out), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(out, nullptr);
}

}  // namespace
}  // namespace psw
