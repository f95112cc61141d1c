// Whether a transport is usable, judged from the adapters of the namespace the caller runs in.
#include <gtest/gtest.h>

#include "net/ip_help_api.h"
#include "psw/psw.h"
#include "net/transport_availability.h"
#include "net/fake_module_loader.h"
#include "support/netns.h"
#include "support/peer_requirements.h"

namespace psw {
namespace {

using test::FakeModuleLoader;
using test::Peer;

struct Answers {
    bool ipv4 = false;
    bool ipv6 = false;
    bool ipx = true;
};

Answers ask(CPmcIpHelpLibrary& library)
{
    Answers answers;
    EXPECT_EQ(pmc_transport_available(library, IPmcNetworkAddress::kUdpIpv4, &answers.ipv4), PSW_SUCCESS);
    EXPECT_EQ(pmc_transport_available(library, IPmcNetworkAddress::kUdpIpv6, &answers.ipv6), PSW_SUCCESS);
    EXPECT_EQ(pmc_transport_available(library, IPmcNetworkAddress::kIpx, &answers.ipx), PSW_SUCCESS);
    return answers;
}

TEST(TransportAvailability, NullOutAndProtocolsWithoutSockets)
{
    CPmcIpHelpLibrary library(pmc_system_module_loader());
    bool available = true;
    EXPECT_EQ(pmc_transport_available(library, IPmcNetworkAddress::kUdpIpv4, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(pmc_transport_available(library, IPmcNetworkAddress::kNoAddressFamily, &available), PSW_SUCCESS);
    EXPECT_FALSE(available);
    available = true;
    EXPECT_EQ(pmc_transport_available(library, IPmcNetworkAddress::kUnspecified, &available), PSW_SUCCESS);
    EXPECT_FALSE(available);
}

TEST(TransportAvailability, FollowsTheAddressesOfTheNamespacesAdapters)
{
    PSW_REQUIRE_PEERS(Peer::netns);
    test::NetnsLab lab({.hosts = 1});
    ASSERT_TRUE(lab.create());
    CPmcIpHelpLibrary library(pmc_system_module_loader());

    Answers answers;
    ASSERT_TRUE(lab.run_in(lab.client(), [&] { answers = ask(library); }));
    EXPECT_TRUE(answers.ipv4);
    EXPECT_TRUE(answers.ipv6);
    EXPECT_FALSE(answers.ipx);  // no IPX on this platform

    // Only the loopback keeps addresses: nothing is usable.
    ASSERT_TRUE(lab.exec(lab.client(), {"ip", "addr", "flush", "dev", "eth0"}).ok());
    ASSERT_TRUE(lab.run_in(lab.client(), [&] { answers = ask(library); }));
    EXPECT_FALSE(answers.ipv4);
    EXPECT_FALSE(answers.ipv6);

    // A global IPv6 address on a tunnel (a layer-3 tun device) does not make IPv6 usable.
    ASSERT_TRUE(lab.exec(lab.client(), {"ip", "tuntap", "add", "dev", "tun7", "mode", "tun"}).ok());
    ASSERT_TRUE(lab.exec(lab.client(), {"ip", "link", "set", "tun7", "up"}).ok());
    ASSERT_TRUE(lab.exec(lab.client(), {"ip", "addr", "add", "2001:db8::7/64", "dev", "tun7", "nodad"}).ok());
    ASSERT_TRUE(lab.run_in(lab.client(), [&] { answers = ask(library); }));
    EXPECT_FALSE(answers.ipv6);
    EXPECT_FALSE(answers.ipv4);

    // An IPv4 address alone brings IPv4 back, and an IPv6 one IPv6.
    ASSERT_TRUE(lab.exec(lab.client(), {"ip", "addr", "add", "10.77.0.2/24", "dev", "eth0"}).ok());
    ASSERT_TRUE(lab.run_in(lab.client(), [&] { answers = ask(library); }));
    EXPECT_TRUE(answers.ipv4);
    EXPECT_FALSE(answers.ipv6);
    ASSERT_TRUE(lab.exec(lab.client(), {"ip", "addr", "add", "fd77::2/64", "dev", "eth0", "nodad"}).ok());
    ASSERT_TRUE(lab.run_in(lab.client(), [&] { answers = ask(library); }));
    EXPECT_TRUE(answers.ipv6);
}

TEST(TransportAvailability, WithoutTheInterfaceFunctionsIpv4AsksASocket)
{
    PSW_REQUIRE_PEERS(Peer::netns);
    test::NetnsLab lab({.hosts = 1});
    ASSERT_TRUE(lab.create());
    ASSERT_TRUE(lab.exec(lab.client(), {"ip", "addr", "flush", "dev", "eth0"}).ok());

    FakeModuleLoader loader;
    loader.hide("getifaddrs");
    CPmcIpHelpLibrary library(loader);
    Answers answers;
    // No adapter has an address, yet an IPv4 socket opens: the only thing left to ask.
    ASSERT_TRUE(lab.run_in(lab.client(), [&] { answers = ask(library); }));
    EXPECT_TRUE(answers.ipv4);
    EXPECT_FALSE(answers.ipv6);
    EXPECT_TRUE(loader.looked_up("getifaddrs"));
    EXPECT_TRUE(loader.looked_up("freeifaddrs"));
}

TEST(TransportAvailability, ModuleThatDoesNotLoadAnswersLikeMissingFunctions)
{
    FakeModuleLoader loader;
    loader.refuse_load(true);
    CPmcIpHelpLibrary library(loader);
    EXPECT_EQ(library.load_ip_helper(), PSW_ERR_NOT_AVAILABLE);
    bool ipv6 = true;
    EXPECT_EQ(pmc_transport_available(library, IPmcNetworkAddress::kUdpIpv6, &ipv6), PSW_SUCCESS);
    EXPECT_FALSE(ipv6);
    EXPECT_EQ(loader.open_modules(), 0);
}

TEST(TransportAvailability, ExportedCheckAnswersForTheCallersNamespace)
{
    PSW_REQUIRE_PEERS(Peer::netns);
    test::NetnsLab lab({.hosts = 1});
    ASSERT_TRUE(lab.create());
    int16_t ipv4 = -1, ipv6 = -1, ipx = -1, none = -1;
    ASSERT_TRUE(lab.run_in(lab.client(), [&] {
        ipv4 = PSWTransportAvailable(PSW_TRANSPORT_UDP_IPV4);
        ipv6 = PSWTransportAvailable(PSW_TRANSPORT_UDP_IPV6);
        ipx = PSWTransportAvailable(PSW_TRANSPORT_IPX);
        none = PSWTransportAvailable(PSW_TRANSPORT_NONE);
    }));
    EXPECT_EQ(ipv4, 1);
    EXPECT_EQ(ipv6, 1);
    EXPECT_EQ(ipx, 0);
    EXPECT_EQ(none, 0);
    ASSERT_TRUE(lab.exec(lab.client(), {"ip", "addr", "flush", "dev", "eth0"}).ok());
    ASSERT_TRUE(lab.run_in(lab.client(), [&] {
        ipv4 = PSWTransportAvailable(PSW_TRANSPORT_UDP_IPV4);
        ipv6 = PSWTransportAvailable(PSW_TRANSPORT_UDP_IPV6);
    }));
    EXPECT_EQ(ipv4, 0);
    EXPECT_EQ(ipv6, 0);
}

}  // namespace
}  // namespace psw
