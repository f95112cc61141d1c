// The socket of a session's requests: each open hands the previous socket to the factory and
// holds only the new one, a failed open holds none, and the transport's end releases the last.
// (What the system factory does with the socket it is handed is a test of the net layer.)
#include <gtest/gtest.h>

#include "session/session_test_util.h"
#include "session/session_transport.h"

namespace psw::test {
namespace {

TEST(SessionTransport, HoldsOnlyTheSocketOfTheCurrentRequest)
{
    constexpr auto kIpv4 = IPmcNetworkAddress::kUdpIpv4;
    constexpr auto kIpv6 = IPmcNetworkAddress::kUdpIpv6;
    const struct {
        IPmcNetworkAddress::EProtocol protocol;
        uint16_t port;
        Result create;  // what the factory answers
    } opens[] = {
        {kIpv4, 0, PSW_SUCCESS}, {kIpv4, 1161, PSW_SUCCESS}, {kIpv4, 1161, PSW_ERR_ADDRESS},
        {kIpv6, 0, PSW_SUCCESS}, {kIpv4, 0, PSW_SUCCESS},    {kIpv4, 0, PSW_ERR_SOCKET},
    };
    FakeNet net;
    {
        CPmsSessionTransport transport(net);
        int created = 0;
        for (const auto& open : opens) {
            SCOPED_TRACE(std::to_string(++created) + ". open");
            net.create_result = open.create;
            EXPECT_EQ(transport.open(open.protocol, open.port), open.create);
            EXPECT_EQ(net.sockets_created, created);
            EXPECT_EQ(net.last_protocol, open.protocol);
            EXPECT_EQ(net.last_port, open.port);
            EXPECT_EQ(transport.socket() != nullptr, open.create == PSW_SUCCESS);
            EXPECT_EQ(net.sockets_alive, open.create == PSW_SUCCESS ? 1 : 0);
        }
        net.create_result = PSW_SUCCESS;
        ASSERT_EQ(transport.open(kIpv4, 0), PSW_SUCCESS);
    }
    EXPECT_EQ(net.sockets_alive, 0);
}

}  // namespace
}  // namespace psw::test
