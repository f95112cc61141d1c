// Both address services implementations, over the real C library and over bindings that lack
// the name functions or any module at all.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/factory.h"
#include "net/address_services.h"
#include "net/address_text.h"
#include "net/fake_module_loader.h"
#include "net/socket_api.h"

namespace psw {
namespace {

using test::FakeModuleLoader;
using EProtocol = IPmcNetworkAddress::EProtocol;
using Services = std::unique_ptr<IPmcAddressServices>;
using Octets = OwnedPtr<PmsOctets>;

Octets new_octets()
{
    return Octets(create_octets(nullptr));
}

std::string parsed(IPmcAddressServices& services, const char* text, Result* result = nullptr)
{
    Octets out = new_octets();
    const Result code = services.parse(text, out.get());
    if (result != nullptr) {
        *result = code;
    }
    return code == PSW_SUCCESS ? std::string(out->c_str()) : std::string("<error>");
}

// The addresses of a list, in order (still owned by the list).
std::vector<IPmcNetworkAddress*> addresses_of(IPmcNetworkAddressList& list)
{
    std::vector<IPmcNetworkAddress*> addresses;
    PmsListIterator* it = list.new_iterator();
    for (IPmcNetworkAddress* a = list.at(it); a != nullptr; list.advance(it), a = list.at(it)) {
        addresses.push_back(a);
    }
    list.release_iterator(it);
    return addresses;
}

// A binding without the name functions, and the services the process would choose for it.
struct ClassicFixture : ::testing::Test {
    ClassicFixture()
    {
        loader.hide("getaddrinfo");
        services.reset(create_address_services(library, nullptr));
    }
    FakeModuleLoader loader;
    CPmcSocketLibrary library{loader};
    Services services;
};

struct ExtendedFixture : ::testing::Test {
    ExtendedFixture() { services.reset(create_address_services(library, nullptr)); }
    FakeModuleLoader loader;
    CPmcSocketLibrary library{loader};
    Services services;
};

TEST(AddressText, Ipv4GrammarIsStrictDecimal)
{
    uint8_t bytes[4] = {9, 9, 9, 9};
    ASSERT_TRUE(pmc_parse_ipv4_text("010.001.002.003", bytes));
    EXPECT_EQ(bytes[0], 10);
    EXPECT_EQ(bytes[3], 3);
    ASSERT_TRUE(pmc_parse_ipv4_text("255.255.255.255", bytes));
    EXPECT_EQ(bytes[0], 255);
    for (const char* bad : {"1.2.3.4x", "1.2.3.256", "1.2.3", "1.2.3.4.5", " 1.2.3.4", "+1.2.3.4",
                            "1.2.3.-0", "1..3.4", "1.2.3.4294967297", "1.2.3.", ""}) {
        uint8_t untouched[4] = {7, 7, 7, 7};
        EXPECT_FALSE(pmc_parse_ipv4_text(bad, untouched)) << bad;
        EXPECT_EQ(untouched[0], 7) << bad;
    }
    EXPECT_FALSE(pmc_parse_ipv4_text(nullptr, bytes));
}

TEST(AddressText, IpxGrammarIsExactlyTwentyOneHexCharacters)
{
    uint8_t network[4];
    uint8_t node[6];
    ASSERT_TRUE(pmc_parse_ipx_text("ABCDEF01:0123456789ab", network, node));
    EXPECT_EQ(network[0], 0xab);
    EXPECT_EQ(network[3], 0x01);
    EXPECT_EQ(node[0], 0x01);
    EXPECT_EQ(node[5], 0xab);
    char text[32];
    pmc_format_ipx_text(network, node, text, sizeof text);
    EXPECT_STREQ(text, "abcdef01:0123456789ab");

    for (const char* bad :
         {"abcdef01:0123456789a", "abcdef01:0123456789abc", "abcdef0:10123456789ab",
          "abcdef01-0123456789ab", "-1cdef01:0123456789ab", " 1cdef01:0123456789ab",
          "abcdef01:0x23456789ab", "abcdefg1:0123456789ab"}) {
        EXPECT_FALSE(pmc_parse_ipx_text(bad, network, node)) << bad;
    }
}

// The library writes IPv6 texts itself (the Windows build has no inet_ntop it may link); the
// C library's text is the reference, compression ties and the dotted tails included.
TEST(AddressText, Ipv6TextIsWhatTheCLibraryWrites)
{
    for (const char* text : {"::", "::1", "::2", "1::", "1:2:3:4:5:6:7:8", "1:0:3:4:5:6:7:8",
                             "1:0:0:4:0:0:7:8", "1:0:0:4:5:0:0:0", "0:0:1:0:0:0:1:0", "fe80::1:2",
                             "2001:db8::ff00:42:8329", "::ffff:192.0.2.1", "::192.0.2.1",
                             "::0.0.0.2", "::ffff:0:0", "::0.1.0.0", "abcd:ef01:2345:6789::"}) {
        uint8_t bytes[16];
        ASSERT_EQ(inet_pton(AF_INET6, text, bytes), 1) << text;
        char expected[INET6_ADDRSTRLEN];
        ASSERT_NE(inet_ntop(AF_INET6, bytes, expected, sizeof expected), nullptr);
        char written[48];
        pmc_format_ipv6_text(bytes, written, sizeof written);
        EXPECT_STREQ(written, expected) << text;
    }
}

TEST_F(ExtendedFixture, ParseGivesThePlatformsNumericText)
{
    EXPECT_EQ(parsed(*services, "0000:0000:0000:0000:0000:0000:0000:0000"), "::");
    EXPECT_EQ(parsed(*services, "FE80:0:0:0:0:0:0:1"), "fe80::1");
    EXPECT_EQ(parsed(*services, "127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(parsed(*services, "ABCDEF01:0123456789AB"), "ABCDEF01:0123456789AB");
    Result result = PSW_SUCCESS;
    EXPECT_EQ(parsed(*services, "localhost", &result), "<error>");
    EXPECT_EQ(result, PSW_ERR_FAILED);
    EXPECT_EQ(services->parse(nullptr, new_octets().get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(services->parse("::1", nullptr), PSW_ERR_PARAMETER);
}

TEST_F(ExtendedFixture, ProtocolOfKnowsAllThreeFamiliesAndClearsOnFailure)
{
    EProtocol protocol = IPmcNetworkAddress::kUnspecified;
    EXPECT_EQ(services->protocol_of("192.168.1.10", &protocol), PSW_SUCCESS);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUdpIpv4);
    EXPECT_EQ(services->protocol_of("ff02::1", &protocol), PSW_SUCCESS);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUdpIpv6);
    EXPECT_EQ(services->protocol_of("00000000:000000000000", &protocol), PSW_SUCCESS);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kIpx);
    EXPECT_EQ(services->protocol_of("0000000:000000000000", &protocol), PSW_ERR_FAILED);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUnspecified);
    protocol = IPmcNetworkAddress::kIpx;
    EXPECT_EQ(services->protocol_of("000000000:000000000000", &protocol), PSW_ERR_FAILED);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUnspecified);
}

TEST_F(ExtendedFixture, NamesResolveBothWays)
{
    IPmcNetworkAddressList* raw = nullptr;
    ASSERT_EQ(services->resolve("localhost", &raw), PSW_SUCCESS);
    DestroyedPtr<IPmcNetworkAddressList> list(raw);
    const std::vector<IPmcNetworkAddress*> addresses = addresses_of(*list);
    ASSERT_GE(addresses.size(), 1u);
    EXPECT_EQ(addresses.size(), list->count());
    bool found_loopback = false;
    for (IPmcNetworkAddress* address : addresses) {
        EXPECT_EQ(address->port(), 0);
        if (std::strcmp(address->text(), "127.0.0.1") == 0) {
            EXPECT_EQ(address->protocol(), IPmcNetworkAddress::kUdpIpv4);
            found_loopback = true;
        }
    }
    EXPECT_TRUE(found_loopback);
    EXPECT_EQ(services->resolve("no-such-host.invalid", &raw), PSW_ERR_FAILED);

    Octets name = new_octets();
    ASSERT_EQ(services->host_name_of("127.0.0.1", name.get()), PSW_SUCCESS);
    // Whatever the name is, it leads back to the address.
    ASSERT_EQ(services->resolve(name->c_str(), &raw), PSW_SUCCESS);
    DestroyedPtr<IPmcNetworkAddressList> back(raw);
    EXPECT_STREQ(addresses_of(*back).at(0)->text(), "127.0.0.1");
    EXPECT_EQ(services->host_name_of("bad text", name.get()), PSW_ERR_FAILED);
}

TEST_F(ExtendedFixture, LocalHostAndServicePorts)
{
    uint16_t port = 0;
    EXPECT_EQ(services->port_of_service("snmp", IPmcNetworkAddress::kUdpIpv4, &port), PSW_SUCCESS);
    EXPECT_EQ(port, 161);
    EXPECT_EQ(services->port_of_service("162", IPmcNetworkAddress::kUdpIpv6, &port), PSW_SUCCESS);
    EXPECT_EQ(port, 162);
    EXPECT_EQ(services->port_of_service("no-such-service", IPmcNetworkAddress::kUdpIpv4, &port),
              PSW_ERR_FAILED);

    IPmcNetworkAddress* raw = nullptr;
    ASSERT_EQ(services->local_host_address(IPmcNetworkAddress::kUdpIpv4, &raw), PSW_SUCCESS);
    OwnedPtr<IPmcNetworkAddress> local(raw);
    EXPECT_EQ(local->protocol(), IPmcNetworkAddress::kUdpIpv4);
    EXPECT_TRUE(local->is_valid());
    EXPECT_EQ(services->local_host_address(IPmcNetworkAddress::kNoAddressFamily, &raw),
              PSW_ERR_PARAMETER);
}

TEST(AddressServices, IpxLocalHostAddressIsRefusedWithoutLoadingAnything)
{
    FakeModuleLoader loader;
    CPmcSocketLibrary library(loader);
    Services extended(create_extended_address_services(library, nullptr));
    Services classic(create_classic_address_services(library, nullptr));
    IPmcNetworkAddress* out = nullptr;
    EXPECT_EQ(extended->local_host_address(IPmcNetworkAddress::kIpx, &out), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(classic->local_host_address(IPmcNetworkAddress::kIpx, &out), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(loader.loads(), 0);
}

TEST(AddressServices, LocalIpv6AddressNeedsTheSocketLibrary)
{
    FakeModuleLoader loader;
    loader.refuse_load(true);
    CPmcSocketLibrary library(loader);
    Services services(create_address_services(library, nullptr));
    OwnedPtr<IPmcNetworkAddress> target(create_empty_address(nullptr));
    ASSERT_TRUE(services && target);
    ASSERT_EQ(target->set("fd00::1", IPmcNetworkAddress::kUdpIpv6, 161), PSW_SUCCESS);
    IPmcNetworkAddress* address = nullptr;
    EXPECT_EQ(services->best_local_address(target.get(), &address), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(address, nullptr);
    EXPECT_EQ(services->transport_available(IPmcNetworkAddress::kUdpIpv4, nullptr),
              PSW_ERR_PARAMETER);
}

TEST(AddressServices, EveryOperationBalancesItsStartUp)
{
    FakeModuleLoader loader;
    CPmcSocketLibrary library(loader);
    Services extended(create_extended_address_services(library, nullptr));
    Services classic(create_classic_address_services(library, nullptr));
    const int before = pmc_socket_layer_startup_count();
    EProtocol protocol;
    uint16_t port;
    IPmcNetworkAddressList* list = nullptr;
    Octets out = new_octets();
    for (IPmcAddressServices* services : {extended.get(), classic.get()}) {
        services->parse("::1", out.get());
        services->parse("bad", out.get());
        services->protocol_of("10.0.0.1", &protocol);
        services->port_of_service("snmp", IPmcNetworkAddress::kUdpIpv4, &port);
        services->host_name_of("127.0.0.1", out.get());
        if (services->resolve("localhost", &list) == PSW_SUCCESS) {
            list->destroy();
        }
        EXPECT_EQ(pmc_socket_layer_startup_count(), before);
    }
}

TEST(AddressServices, WithoutASocketLibraryTheStartUpFailureIsReturned)
{
    FakeModuleLoader loader;
    loader.refuse_load(true);
    CPmcSocketLibrary library(loader);
    Services services(create_address_services(library, nullptr));
    // No name functions without a library: the older implementation, whose text grammar
    // needs no socket call.
    EProtocol protocol;
    EXPECT_EQ(services->protocol_of("1.2.3.4", &protocol), PSW_SUCCESS);
    uint16_t port = 0;
    EXPECT_EQ(services->port_of_service("snmp", IPmcNetworkAddress::kUdpIpv4, &port),
              PSW_ERR_NOT_AVAILABLE);

    Services extended(create_extended_address_services(library, nullptr));
    Octets out = new_octets();
    EXPECT_EQ(extended->parse("::1", out.get()), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(extended->protocol_of("::1", &protocol), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(extended->parse("00000000:000000000000", out.get()), PSW_SUCCESS);
}

TEST_F(ClassicFixture, IsChosenWhenTheNameFunctionsAreMissing)
{
    EProtocol protocol = IPmcNetworkAddress::kUdpIpv4;
    // IPv6 is unknown to the older functions.
    EXPECT_EQ(services->protocol_of("::1", &protocol), PSW_ERR_TOO_LONG);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUnspecified);
    EXPECT_EQ(parsed(*services, "010.001.002.003"), "10.1.2.3");
}

TEST_F(ClassicFixture, TextGrammarAndCanonicalForms)
{
    EProtocol protocol = IPmcNetworkAddress::kUnspecified;
    EXPECT_EQ(services->protocol_of("1.2.3.4", &protocol), PSW_SUCCESS);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUdpIpv4);
    for (const char* bad : {"1.2.3.4x", "1.2.3.256", "1.2.3.4294967297", "localhost"}) {
        EXPECT_EQ(services->protocol_of(bad, &protocol), PSW_ERR_TOO_LONG) << bad;
        EXPECT_EQ(protocol, IPmcNetworkAddress::kUnspecified);
    }
    EXPECT_EQ(services->protocol_of("ABCDEF01:0123456789AB", &protocol), PSW_SUCCESS);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kIpx);

    EXPECT_EQ(parsed(*services, "ABCDEF01:0123456789AB"), "ABCDEF01:0123456789AB");
    Result result = PSW_SUCCESS;
    parsed(*services, "fe80::1", &result);
    EXPECT_EQ(result, PSW_ERR_TOO_LONG);
}

TEST_F(ClassicFixture, HostEntriesAndServices)
{
    IPmcNetworkAddressList* raw = nullptr;
    ASSERT_EQ(services->resolve("localhost", &raw), PSW_SUCCESS);
    DestroyedPtr<IPmcNetworkAddressList> list(raw);
    const std::vector<IPmcNetworkAddress*> addresses = addresses_of(*list);
    ASSERT_GE(addresses.size(), 1u);
    EXPECT_STREQ(addresses[0]->text(), "127.0.0.1");
    EXPECT_EQ(addresses[0]->protocol(), IPmcNetworkAddress::kUdpIpv4);
    EXPECT_EQ(addresses[0]->port(), 0);

    Octets name = new_octets();
    ASSERT_EQ(services->host_name_of("127.0.0.1", name.get()), PSW_SUCCESS);
    EXPECT_GT(name->length(), 0u);
    EXPECT_EQ(services->host_name_of("1.2.3.999", name.get()), PSW_ERR_FAILED);

    // The port comes back in host byte order, as the other implementation gives it.
    uint16_t port = 0;
    ASSERT_EQ(services->port_of_service("snmp", IPmcNetworkAddress::kUdpIpv4, &port), PSW_SUCCESS);
    EXPECT_EQ(port, 161);

    IPmcNetworkAddress* local = nullptr;
    ASSERT_EQ(services->local_host_address(IPmcNetworkAddress::kUdpIpv4, &local), PSW_SUCCESS);
    OwnedPtr<IPmcNetworkAddress> owned(local);
    EXPECT_EQ(owned->protocol(), IPmcNetworkAddress::kUdpIpv4);
}

TEST(AddressServicesFree, ProcessWideFunctionsAnswerThroughOneObject)
{
    Result result = PSW_ERR_FAILED;
    IPmcAddressServices* first = pmc_address_services(&result);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(result, PSW_SUCCESS);
    EXPECT_EQ(pmc_address_services(nullptr), first);

    bool flag = false;
    EXPECT_EQ(is_address("::1", &flag), PSW_SUCCESS);
    EXPECT_TRUE(flag);
    EXPECT_EQ(is_address("nonsense", &flag), PSW_ERR_FAILED);
    EXPECT_EQ(is_address("::1", nullptr), PSW_ERR_PARAMETER);

    EXPECT_EQ(same_address("::1", "0:0:0:0:0:0:0:1", &flag), PSW_SUCCESS);
    EXPECT_TRUE(flag);
    EXPECT_EQ(same_address("::1", "::2", &flag), PSW_SUCCESS);
    EXPECT_FALSE(flag);
    EXPECT_EQ(same_address("nonsense", "::1", &flag), PSW_ERR_FAILED);
    EXPECT_EQ(same_address("::1", nullptr, &flag), PSW_ERR_PARAMETER);

    EProtocol protocol = IPmcNetworkAddress::kUnspecified;
    EXPECT_EQ(protocol_of("127.0.0.1", &protocol), PSW_SUCCESS);
    EXPECT_EQ(protocol, IPmcNetworkAddress::kUdpIpv4);
    Octets out = new_octets();
    EXPECT_EQ(parse_address("0:0::1", out.get()), PSW_SUCCESS);
    EXPECT_STREQ(out->c_str(), "::1");
}

}  // namespace
}  // namespace psw
