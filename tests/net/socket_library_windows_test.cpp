// The Windows socket path end to end: the table bound from ws2_32.dll at run time, and two
// datagram sockets talking over the loopback through it (select, sendto, recvfrom with the
// Windows signatures).
#include <gtest/gtest.h>

#include <cstring>

#include "core/factory.h"
#include "net/datagram_socket.h"
#include "net/network_address.h"
#include "net/socket_api.h"

namespace psw {
namespace {

TEST(SocketLibraryWindowsTest, BindsTheCurrentSocketLibraryWithTheNameFunctions)
{
    CPmcSocketLibrary& library = pmc_socket_library();
    ASSERT_EQ(library.load_socket_library(), PSW_SUCCESS);
    EXPECT_TRUE(library.has_extended_api());
    ASSERT_EQ(library.startup_v1_1(), PSW_SUCCESS);
    ASSERT_EQ(library.startup_v2_2(), PSW_SUCCESS);
    library.cleanup();
    library.cleanup();
}

TEST(SocketLibraryWindowsTest, DatagramCrossesTheLoopbackAndTimeOutIsReported)
{
    Result result = PSW_SUCCESS;
    OwnedPtr<DataGramSocket> receiver(
        pmc_create_datagram_socket(IPmcNetworkAddress::kUdpIpv4, &result));
    ASSERT_TRUE(receiver) << result;
    OwnedPtr<DataGramSocket> sender(
        pmc_create_datagram_socket(IPmcNetworkAddress::kUdpIpv4, &result));
    ASSERT_TRUE(sender) << result;
    const uint16_t port = receiver->local_address()->port();
    ASSERT_NE(port, 0);

    OwnedPtr<IPmcNetworkAddress> to(create_empty_address(&result));
    ASSERT_TRUE(to);
    ASSERT_EQ(to->set("127.0.0.1", IPmcNetworkAddress::kUdpIpv4, port), PSW_SUCCESS);
    const uint8_t message[] = {0x30, 0x03, 0x02, 0x01, 0x00};
    ASSERT_EQ(sender->send(message, sizeof message, to.get()), PSW_SUCCESS);

    uint8_t buffer[64] = {};
    int32_t received = 0;
    IPmcNetworkAddress* from = nullptr;
    ASSERT_EQ(receiver->receive(buffer, sizeof buffer, 2000, &received, &from), PSW_SUCCESS);
    OwnedPtr<IPmcNetworkAddress> source(from);
    ASSERT_EQ(received, static_cast<int32_t>(sizeof message));
    EXPECT_EQ(std::memcmp(buffer, message, sizeof message), 0);
    EXPECT_STREQ(source->text(), "127.0.0.1");
    EXPECT_EQ(source->port(), sender->local_address()->port());

    EXPECT_EQ(receiver->receive(buffer, sizeof buffer, 100, &received, &from), PSW_ERR_TIMEOUT);
}

// A datagram larger than the receiver's buffer is a failed receive, not a short one.
TEST(SocketLibraryWindowsTest, OversizedDatagramFailsTheReceive)
{
    Result result = PSW_SUCCESS;
    OwnedPtr<DataGramSocket> receiver(
        pmc_create_datagram_socket(IPmcNetworkAddress::kUdpIpv4, &result));
    OwnedPtr<DataGramSocket> sender(
        pmc_create_datagram_socket(IPmcNetworkAddress::kUdpIpv4, &result));
    ASSERT_TRUE(receiver && sender);
    OwnedPtr<IPmcNetworkAddress> to(create_empty_address(&result));
    ASSERT_EQ(to->set("127.0.0.1", IPmcNetworkAddress::kUdpIpv4, receiver->local_address()->port()),
              PSW_SUCCESS);
    uint8_t big[32] = {};
    ASSERT_EQ(sender->send(big, sizeof big, to.get()), PSW_SUCCESS);
    uint8_t small[8];
    int32_t received = 0;
    IPmcNetworkAddress* from = nullptr;
    EXPECT_EQ(receiver->receive(small, sizeof small, 2000, &received, &from), PSW_ERR_RECEIVE);
    EXPECT_EQ(from, nullptr);
}

}  // namespace
}  // namespace psw
