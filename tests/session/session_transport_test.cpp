// The socket of a session's requests over real sockets: a new OS socket per request, also when
// the socket object is kept, and nothing left behind by a request whose socket failed.
#include <gtest/gtest.h>

#include "core/factory.h"
#include "net/datagram_socket.h"
#include "net/socket_platform.h"
#include "session/session_transport.h"

namespace psw {
namespace {

constexpr auto kIpv4 = IPmcNetworkAddress::kUdpIpv4;
constexpr auto kIpv6 = IPmcNetworkAddress::kUdpIpv6;

uint16_t port_of(const CPmsSessionTransport& transport)
{
    return transport.socket()->local_address()->port();
}

TEST(SessionTransport, EveryOpenBindsANewSocketAndAFailedOneLeavesNone)
{
    const int startups = pmc_socket_layer_startup_count();
    {
        CPmsSessionTransport transport(pmc_system_datagram_socket_factory());
        ASSERT_EQ(transport.open(kIpv4, 0), PSW_SUCCESS);
        const uint16_t first = port_of(transport);
        // The port of the previous request is free again: its socket was closed first.
        ASSERT_EQ(transport.open(kIpv4, first), PSW_SUCCESS);
        EXPECT_EQ(port_of(transport), first);

        CPmsSessionTransport other(pmc_system_datagram_socket_factory());
        ASSERT_EQ(other.open(kIpv4, 0), PSW_SUCCESS);
        EXPECT_EQ(transport.open(kIpv4, port_of(other)), PSW_ERR_ADDRESS);
        EXPECT_EQ(transport.socket(), nullptr);
        EXPECT_EQ(pmc_socket_layer_startup_count(), startups + 1);  // the other's only

        ASSERT_EQ(transport.open(kIpv6, 0), PSW_SUCCESS);
        EXPECT_EQ(transport.socket()->local_address()->protocol(), kIpv6);
        ASSERT_EQ(transport.open(kIpv4, 0), PSW_SUCCESS);
        EXPECT_EQ(transport.socket()->local_address()->protocol(), kIpv4);
        EXPECT_EQ(pmc_socket_layer_startup_count(), startups + 2);
    }
    EXPECT_EQ(pmc_socket_layer_startup_count(), startups);
}

}  // namespace
}  // namespace psw
