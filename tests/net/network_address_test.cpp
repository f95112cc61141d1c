// Network address objects over the process-wide address services.
#include <gtest/gtest.h>

#include <cstring>

#include "core/factory.h"
#include "net/network_address.h"
#include "net/socket_platform.h"

namespace psw {
namespace {

using Address = OwnedPtr<IPmcNetworkAddress>;
using Octets = OwnedPtr<PmsOctets>;

Address empty_address()
{
    Result result = PSW_ERR_FAILED;
    Address address(create_empty_address(&result));
    EXPECT_EQ(result, PSW_SUCCESS);
    return address;
}

Address address_of(const char* text, IPmcNetworkAddress::EProtocol protocol, uint16_t port)
{
    Address address = empty_address();
    EXPECT_EQ(address->set(text, protocol, port), PSW_SUCCESS);
    return address;
}

TEST(NetworkAddress, NewAddressIsEmpty)
{
    Address address = empty_address();
    EXPECT_EQ(address->text(), nullptr);
    EXPECT_EQ(address->text_object(), nullptr);
    EXPECT_EQ(address->protocol(), IPmcNetworkAddress::kUnspecified);
    EXPECT_EQ(address->port(), 0);
    EXPECT_FALSE(address->is_valid());
}

TEST(NetworkAddress, SetAddressTakesTheProtocolOfTheTextAndRefusesAnother)
{
    Address address = empty_address();
    address->set_port(161);
    ASSERT_EQ(address->set_address("192.168.1.10"), PSW_SUCCESS);
    EXPECT_EQ(address->protocol(), IPmcNetworkAddress::kUdpIpv4);
    EXPECT_STREQ(address->text(), "192.168.1.10");
    EXPECT_EQ(address->port(), 161);

    EXPECT_EQ(address->set_address("fe80::1"), PSW_ERR_PARAMETER);
    EXPECT_STREQ(address->text(), "192.168.1.10");
    EXPECT_EQ(address->protocol(), IPmcNetworkAddress::kUdpIpv4);

    // A text of the same protocol replaces the old one.
    EXPECT_EQ(address->set_address("10.0.0.1"), PSW_SUCCESS);
    EXPECT_STREQ(address->text(), "10.0.0.1");
}

TEST(NetworkAddress, SetAddressFailuresChangeNothing)
{
    Address address = address_of("::1", IPmcNetworkAddress::kUdpIpv6, 162);
    EXPECT_EQ(address->set_address(nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(address->set_address("printer.invalid"), PSW_ERR_FAILED);
    EXPECT_STREQ(address->text(), "::1");
    EXPECT_EQ(address->protocol(), IPmcNetworkAddress::kUdpIpv6);
    EXPECT_EQ(address->port(), 162);

    // Upper-case hexadecimal is understood and stored lower-cased.
    EXPECT_EQ(address->set_address("FE80::AB"), PSW_SUCCESS);
    EXPECT_STREQ(address->text(), "fe80::ab");
}

TEST(NetworkAddress, SetLowerCasesOnlyHexLettersAndKeepsZeroProtocolAndPort)
{
    Address ipx = address_of("ABCDEF01:0123456789AB", IPmcNetworkAddress::kIpx, 36879);
    EXPECT_STREQ(ipx->text(), "abcdef01:0123456789ab");
    EXPECT_EQ(ipx->protocol(), IPmcNetworkAddress::kIpx);
    EXPECT_EQ(ipx->port(), 36879);

    Address address = address_of("::1", IPmcNetworkAddress::kUdpIpv6, 161);
    ASSERT_EQ(address->set("Printer-XYZ-ABC", IPmcNetworkAddress::kUnspecified, 0), PSW_SUCCESS);
    EXPECT_STREQ(address->text(), "Printer-XYZ-abc");
    EXPECT_EQ(address->protocol(), IPmcNetworkAddress::kUdpIpv6);
    EXPECT_EQ(address->port(), 161);
    EXPECT_EQ(address->set(nullptr, IPmcNetworkAddress::kUdpIpv4, 1), PSW_ERR_PARAMETER);
    EXPECT_EQ(address->protocol(), IPmcNetworkAddress::kUdpIpv6);
}

// An address object reused for one text after another (a socket's source, its local address)
// keeps a text only when it is the same after lower-casing; prefixes and case are no match.
TEST(NetworkAddress, SetAgainHoldsExactlyTheLastText)
{
    const struct {
        const char* before;
        const char* after;
        const char* expected;
    } cases[] = {
        {"127.0.0.1", "127.0.0.1", "127.0.0.1"},
        {"127.0.0.1", "127.0.0.12", "127.0.0.12"},
        {"127.0.0.12", "127.0.0.1", "127.0.0.1"},
        {"FE80::A", "fe80::a", "fe80::a"},
        {"fe80::a", "FE80::A", "fe80::a"},
        {"fe80::a", "fe80::b", "fe80::b"},
        {"Printer-A", "Printer-B", "Printer-b"},
        {"10.0.0.1", "", nullptr},
        {"", "10.0.0.1", "10.0.0.1"},
    };
    for (const auto& c : cases) {
        Address address = address_of(c.before, IPmcNetworkAddress::kUdpIpv4, 161);
        ASSERT_EQ(address->set(c.after, IPmcNetworkAddress::kUnspecified, 0), PSW_SUCCESS);
        if (c.expected == nullptr) {
            EXPECT_EQ(address->text(), nullptr) << c.before;
        } else {
            EXPECT_STREQ(address->text(), c.expected) << c.before << " then " << c.after;
        }
        EXPECT_EQ(address->port(), 161);
    }
}

TEST(NetworkAddress, GetHandsOutAnIndependentCopy)
{
    Address address = address_of("10.1.2.3", IPmcNetworkAddress::kUdpIpv4, 161);
    EXPECT_EQ(address->get(nullptr, nullptr, nullptr), PSW_ERR_PARAMETER);

    PmsOctets* raw = nullptr;
    IPmcNetworkAddress::EProtocol protocol = IPmcNetworkAddress::kUnspecified;
    uint16_t port = 0;
    ASSERT_EQ(address->get(&raw, &protocol, &port), PSW_SUCCESS);
    Octets copy(raw);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy.get(), address->text_object());
    EXPECT_STREQ(copy->c_str(), "10.1.2.3");
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUdpIpv4);
    EXPECT_EQ(port, 161);

    address->set("10.9.9.9", IPmcNetworkAddress::kUnspecified, 0);
    EXPECT_STREQ(copy->c_str(), "10.1.2.3");

    // The optional out-arguments may be left out.
    ASSERT_EQ(address->get(&raw, nullptr, nullptr), PSW_SUCCESS);
    Octets second(raw);
    EXPECT_STREQ(second->c_str(), "10.9.9.9");
}

TEST(NetworkAddress, EqualsComparesCanonicalTextsProtocolsAndTheOthersPort)
{
    Address a = address_of("fe80:0:0:0:0:0:0:1", IPmcNetworkAddress::kUdpIpv6, 161);
    Address b = address_of("FE80::1", IPmcNetworkAddress::kUdpIpv6, 0);
    EXPECT_TRUE(a->equals(b.get()));   // other's port 0 stands for any port
    EXPECT_FALSE(b->equals(a.get()));  // but not the other way round
    EXPECT_FALSE(a->equals(nullptr));

    b->set_port(162);
    EXPECT_FALSE(a->equals(b.get()));
    b->set_port(161);
    EXPECT_TRUE(a->equals(b.get()));
    b->set_protocol(IPmcNetworkAddress::kUdpIpv4);
    EXPECT_FALSE(a->equals(b.get()));

    Address unparsable = address_of("no-such-form", IPmcNetworkAddress::kUdpIpv6, 161);
    EXPECT_FALSE(unparsable->equals(unparsable.get()));
    EXPECT_FALSE(empty_address()->equals(empty_address().get()));

    Address ipx_lower = address_of("abcdef01:0123456789ab", IPmcNetworkAddress::kIpx, 0);
    Address ipx_upper = address_of("ABCDEF01:0123456789AB", IPmcNetworkAddress::kIpx, 0);
    EXPECT_TRUE(ipx_lower->equals(ipx_upper.get()));
}

TEST(NetworkAddress, CloneCopiesEverythingAndNeedsAText)
{
    IPmcNetworkAddress* raw = nullptr;
    EXPECT_EQ(empty_address()->clone(&raw), PSW_ERR_PARAMETER);
    EXPECT_EQ(raw, nullptr);

    Address original = address_of("::1", IPmcNetworkAddress::kUdpIpv6, 5161);
    EXPECT_EQ(original->clone(nullptr), PSW_ERR_PARAMETER);
    ASSERT_EQ(original->clone(&raw), PSW_SUCCESS);
    Address copy(raw);
    EXPECT_STREQ(copy->text(), "::1");
    EXPECT_EQ(copy->protocol(), IPmcNetworkAddress::kUdpIpv6);
    EXPECT_EQ(copy->port(), 5161);
    EXPECT_NE(copy->text_object(), original->text_object());
    EXPECT_TRUE(copy->equals(original.get()));
}

TEST(NetworkAddress, CanonicaliseRewritesTheTextOrKeepsItOnFailure)
{
    Address v6 =
        address_of("0000:0000:0000:0000:0000:0000:0000:0001", IPmcNetworkAddress::kUdpIpv6, 0);
    ASSERT_EQ(v6->canonicalise(), PSW_SUCCESS);
    EXPECT_STREQ(v6->text(), "::1");

    Address ipx = address_of("00000000:000000000001", IPmcNetworkAddress::kIpx, 0);
    ASSERT_EQ(ipx->canonicalise(), PSW_SUCCESS);
    EXPECT_STREQ(ipx->text(), "00000000:000000000001");

    Address bad = address_of("host..name", IPmcNetworkAddress::kUdpIpv4, 0);
    EXPECT_EQ(bad->canonicalise(), PSW_ERR_FAILED);
    EXPECT_STREQ(bad->text(), "host..name");
    EXPECT_NE(empty_address()->canonicalise(), PSW_SUCCESS);
}

TEST(NetworkAddress, IsValidForEveryKnownProtocol)
{
    EXPECT_TRUE(address_of("127.0.0.1", IPmcNetworkAddress::kUnspecified, 0)->is_valid());
    EXPECT_TRUE(address_of("::1", IPmcNetworkAddress::kUnspecified, 0)->is_valid());
    EXPECT_TRUE(
        address_of("00000001:0a0b0c0d0e0f", IPmcNetworkAddress::kUnspecified, 0)->is_valid());
    EXPECT_FALSE(address_of("localhost", IPmcNetworkAddress::kUnspecified, 0)->is_valid());
    EXPECT_FALSE(address_of("1.2.3.256", IPmcNetworkAddress::kUnspecified, 0)->is_valid());
}

TEST(NetworkAddressFactory, CreateAddressTakesProtocolFromTheText)
{
    Result result = PSW_ERR_FAILED;
    Address v4(create_address("127.0.0.1", 161, &result));
    ASSERT_NE(v4, nullptr);
    EXPECT_EQ(result, PSW_SUCCESS);
    EXPECT_EQ(v4->protocol(), IPmcNetworkAddress::kUdpIpv4);
    EXPECT_EQ(v4->port(), 161);

    Address v6(create_address("FF02::1", 0, nullptr));
    ASSERT_NE(v6, nullptr);
    EXPECT_EQ(v6->protocol(), IPmcNetworkAddress::kUdpIpv6);
    EXPECT_STREQ(v6->text(), "ff02::1");

    Address ipx(create_address("00000000:000000000000", 36879, nullptr));
    ASSERT_NE(ipx, nullptr);
    EXPECT_EQ(ipx->protocol(), IPmcNetworkAddress::kIpx);

    result = PSW_SUCCESS;
    EXPECT_EQ(create_address("not-an-address", 161, &result), nullptr);
    EXPECT_EQ(result, PSW_ERR_FAILED);
    EXPECT_EQ(create_address(nullptr, 161, &result), nullptr);
    EXPECT_EQ(result, PSW_ERR_PARAMETER);
}

TEST(NetworkAddressFactory, FamiliesAndProtocolsMapBothWays)
{
    EXPECT_EQ(pmc_protocol_of_family(kPmcFamilyInet), IPmcNetworkAddress::kUdpIpv4);
    EXPECT_EQ(pmc_protocol_of_family(kPmcFamilyIpx), IPmcNetworkAddress::kIpx);
    EXPECT_EQ(pmc_protocol_of_family(kPmcFamilyInet6), IPmcNetworkAddress::kUdpIpv6);
    EXPECT_EQ(pmc_protocol_of_family(AF_UNIX), IPmcNetworkAddress::kUnspecified);
    for (auto protocol :
         {IPmcNetworkAddress::kUdpIpv4, IPmcNetworkAddress::kIpx, IPmcNetworkAddress::kUdpIpv6}) {
        EXPECT_EQ(pmc_protocol_of_family(pmc_family_of_protocol(protocol)), protocol);
    }
    EXPECT_EQ(pmc_family_of_protocol(IPmcNetworkAddress::kUnspecified), AF_UNSPEC);
    EXPECT_EQ(pmc_family_of_protocol(IPmcNetworkAddress::kNoAddressFamily), -1);
}

}  // namespace
}  // namespace psw
