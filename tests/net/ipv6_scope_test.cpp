// IPv6 zones in address texts and the choice of links for a link-scope multicast without one.
#include <gtest/gtest.h>
#include <net/if.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/pms_octets.h"
#include "net/address_services.h"
#include "net/ipv6_zone.h"
#include "net/multicast_links.h"

namespace psw {
namespace {

struct Split {
    Result result = PSW_ERR_FAILED;
    std::string address;
    const char* zone = nullptr;
};

Split split(const char* text, size_t size = kPmcIpv6AddressTextSize)
{
    Split out;
    std::vector<char> buffer(size, 'x');
    out.result = pmc_split_ipv6_zone(text, buffer.data(), size, &out.zone);
    if (out.result == PSW_SUCCESS) {
        out.address = buffer.data();
    }
    return out;
}

TEST(Ipv6ZoneText, SplitsAtTheFirstPercentSign)
{
    const char text[] = "ff02::1%eth0";
    Split s = split(text);
    ASSERT_EQ(s.result, PSW_SUCCESS);
    EXPECT_EQ(s.address, "ff02::1");
    EXPECT_EQ(s.zone, text + 8);
    EXPECT_STREQ(s.zone, "eth0");

    s = split("fe80::1%12%x");
    ASSERT_EQ(s.result, PSW_SUCCESS);
    EXPECT_EQ(s.address, "fe80::1");
    EXPECT_STREQ(s.zone, "12%x") << "the zone is everything after the first sign";
}

TEST(Ipv6ZoneText, TextWithoutZoneIsKeptWhole)
{
    Split s = split("2001:db8::7");
    ASSERT_EQ(s.result, PSW_SUCCESS);
    EXPECT_EQ(s.address, "2001:db8::7");
    EXPECT_EQ(s.zone, nullptr);
}

TEST(Ipv6ZoneText, EmptyPartsAndShortBuffersAreRefused)
{
    EXPECT_EQ(split("fe80::1%").result, PSW_ERR_PARAMETER);
    EXPECT_EQ(split("%eth0").result, PSW_ERR_PARAMETER);
    EXPECT_EQ(split("").result, PSW_ERR_PARAMETER);
    EXPECT_EQ(split(nullptr).result, PSW_ERR_PARAMETER);
    // "fe80::1" needs 8 bytes with its terminator.
    EXPECT_EQ(split("fe80::1%eth0", 7).result, PSW_ERR_TOO_LONG);
    EXPECT_EQ(split("fe80::1%eth0", 8).result, PSW_SUCCESS);
}

TEST(Ipv6ZoneText, NumericZonesAreInterfaceNumbers)
{
    uint32_t scope = 0;
    ASSERT_EQ(pmc_ipv6_scope_of_zone("3", &scope), PSW_SUCCESS);
    EXPECT_EQ(scope, 3u);
    ASSERT_EQ(pmc_ipv6_scope_of_zone("4294967295", &scope), PSW_SUCCESS);
    EXPECT_EQ(scope, 4294967295u);
    scope = 77;
    EXPECT_EQ(pmc_ipv6_scope_of_zone("4294967296", &scope), PSW_ERR_PARAMETER);
    EXPECT_EQ(pmc_ipv6_scope_of_zone("99999999999999999999999", &scope), PSW_ERR_PARAMETER);
    EXPECT_EQ(pmc_ipv6_scope_of_zone("3a", &scope), PSW_ERR_PARAMETER);
    EXPECT_EQ(pmc_ipv6_scope_of_zone("", &scope), PSW_ERR_PARAMETER);
    EXPECT_EQ(pmc_ipv6_scope_of_zone(nullptr, &scope), PSW_ERR_PARAMETER);
    EXPECT_EQ(scope, 77u) << "failures write nothing";
}

TEST(Ipv6ZoneText, NamedZonesAreLookedUpAmongTheInterfaces)
{
    const uint32_t loopback = if_nametoindex("lo");
    ASSERT_NE(loopback, 0u);
    uint32_t scope = 0;
    ASSERT_EQ(pmc_ipv6_scope_of_zone("lo", &scope), PSW_SUCCESS);
    EXPECT_EQ(scope, loopback);
    EXPECT_EQ(pmc_ipv6_scope_of_zone("psw-no-such0", &scope), PSW_ERR_PARAMETER);
}

TEST(Ipv6ZoneText, LinkScopeMulticastIsRecognisedByItsScopeField)
{
    auto bytes = [](std::initializer_list<uint8_t> head) {
        std::vector<uint8_t> b(16, 0);
        std::copy(head.begin(), head.end(), b.begin());
        b[15] = 1;
        return b;
    };
    EXPECT_TRUE(pmc_ipv6_is_link_scope_multicast(bytes({0xff, 0x02}).data()));
    EXPECT_TRUE(pmc_ipv6_is_link_scope_multicast(bytes({0xff, 0x12}).data())) << "transient";
    EXPECT_FALSE(pmc_ipv6_is_link_scope_multicast(bytes({0xff, 0x05}).data()));
    EXPECT_FALSE(pmc_ipv6_is_link_scope_multicast(bytes({0xff, 0x01}).data()));
    EXPECT_FALSE(pmc_ipv6_is_link_scope_multicast(bytes({0xfe, 0x82}).data()));
}

TEST(Ipv6ZoneAddresses, ZonedTextsAreIpv6AndCompareByScopeNumber)
{
    const std::string loopback = std::to_string(if_nametoindex("lo"));
    IPmcNetworkAddress::EProtocol protocol = IPmcNetworkAddress::kUnspecified;
    ASSERT_EQ(protocol_of("ff02::1%lo", &protocol), PSW_SUCCESS);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUdpIpv6);
    ASSERT_EQ(protocol_of(("fe80::1%" + loopback).c_str(), &protocol), PSW_SUCCESS);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUdpIpv6);

    PmsOctets canonical;
    ASSERT_EQ(parse_address("FE80:0::1%lo", &canonical), PSW_SUCCESS);
    EXPECT_STREQ(canonical.c_str(), ("fe80::1%" + loopback).c_str());
    bool same = false;
    ASSERT_EQ(same_address("fe80::1%lo", ("fe80::1%" + loopback).c_str(), &same), PSW_SUCCESS);
    EXPECT_TRUE(same);
    ASSERT_EQ(same_address("fe80::1%lo", "fe80::1%4000000", &same), PSW_SUCCESS);
    EXPECT_FALSE(same) << "another link, another address";
    ASSERT_EQ(same_address("fe80::1%lo", "fe80::1", &same), PSW_SUCCESS);
    EXPECT_FALSE(same);
}

TEST(Ipv6ZoneAddresses, BadZonesAndZonedIpv4AreNoAddresses)
{
    IPmcNetworkAddress::EProtocol protocol = IPmcNetworkAddress::kUdpIpv6;
    EXPECT_EQ(protocol_of("ff02::1%psw-no-such0", &protocol), PSW_ERR_FAILED);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUnspecified);
    EXPECT_EQ(protocol_of("10.1.2.3%lo", &protocol), PSW_ERR_FAILED);
    EXPECT_EQ(protocol_of("ff02::1%", &protocol), PSW_ERR_FAILED);
    PmsOctets canonical;
    EXPECT_EQ(parse_address("fe80::1%psw-no-such0", &canonical), PSW_ERR_FAILED);
}

// The choice of links, on made-up interfaces.
std::vector<uint32_t> choose(const std::vector<PmcLinkInfo>& links, uint32_t default_route,
                             size_t capacity = kPmcMaxMulticastLinks)
{
    std::vector<uint32_t> out(capacity + 1, 0xdead);
    const size_t count =
        pmc_choose_multicast_links(links.data(), links.size(), default_route, out.data(), capacity);
    EXPECT_EQ(out[capacity], 0xdeadu) << "wrote beyond the capacity";
    out.resize(count);
    return out;
}

const PmcLinkInfo kLoopback{1, true, true, true};
const PmcLinkInfo kEth0{2, true, true, false};
const PmcLinkInfo kDown{3, false, true, false};
const PmcLinkInfo kNoMulticast{4, true, false, false};
const PmcLinkInfo kEth1{5, true, true, false};

TEST(MulticastLinks, TheDefaultRouteInterfaceAloneWhenItIsUsable)
{
    const std::vector<PmcLinkInfo> links = {kLoopback, kEth0, kDown, kNoMulticast, kEth1};
    EXPECT_EQ(choose(links, 5), (std::vector<uint32_t>{5}));
    EXPECT_EQ(choose(links, 2), (std::vector<uint32_t>{2}));
}

TEST(MulticastLinks, EveryUsableLinkWithoutAUsableDefaultRoute)
{
    const std::vector<PmcLinkInfo> links = {kLoopback, kEth0, kDown, kNoMulticast, kEth1};
    const std::vector<uint32_t> usable = {2, 5};
    EXPECT_EQ(choose(links, 0), usable);
    EXPECT_EQ(choose(links, 3), usable) << "default route on an interface that is down";
    EXPECT_EQ(choose(links, 4), usable) << "default route on an interface without multicast";
    EXPECT_EQ(choose(links, 1), usable) << "default route on the loopback";
    EXPECT_EQ(choose(links, 9), usable) << "default route on an interface not listed";
}

TEST(MulticastLinks, NothingUsableAndCapacityLimits)
{
    EXPECT_TRUE(choose({kLoopback, kDown, kNoMulticast}, 0).empty());
    EXPECT_TRUE(choose({}, 2).empty());
    EXPECT_EQ(choose({kEth0, kEth1}, 0, 1), (std::vector<uint32_t>{2}));
    uint32_t out[1] = {0};
    EXPECT_EQ(pmc_choose_multicast_links(nullptr, 3, 0, out, 1), 0u);
    const PmcLinkInfo one[] = {kEth0};
    EXPECT_EQ(pmc_choose_multicast_links(one, 1, 0, out, 0), 0u);
}

}  // namespace
}  // namespace psw
