// Broadcast and multicast for real, inside a network namespace the test creates and removes,
// so nothing leaves the machine's own namespace.
#include <gtest/gtest.h>

#include <cstring>

#include "core/factory.h"
#include "net/datagram_socket.h"
#include "net/network_namespace.h"

namespace psw {
namespace {

using test::ScopedNetworkNamespace;
using Socket = OwnedPtr<DataGramSocket>;
using Address = OwnedPtr<IPmcNetworkAddress>;

Socket open_socket(IPmcNetworkAddress::EProtocol protocol)
{
    Result result = PSW_ERR_FAILED;
    Socket socket(pmc_create_datagram_socket(protocol, &result));
    EXPECT_EQ(result, PSW_SUCCESS);
    return socket;
}

// Receives one datagram within `timeout_ms`; the result code, with the payload and source.
Result receive_one(DataGramSocket& socket, int32_t timeout_ms, std::string& payload,
                   Address& source)
{
    uint8_t buffer[512];
    int32_t received = 0;
    IPmcNetworkAddress* raw = nullptr;
    const Result result = socket.receive(buffer, sizeof buffer, timeout_ms, &received, &raw);
    source.reset(raw);
    if (result == PSW_SUCCESS) {
        payload.assign(reinterpret_cast<const char*>(buffer), static_cast<size_t>(received));
    }
    return result;
}

// Whether a datagram with `text` arrives within `timeout_ms`. Both ends of the veth pair are
// in the namespace, so one datagram to a link-local group may arrive once per interface.
bool arrives(DataGramSocket& socket, const std::string& text, int32_t timeout_ms)
{
    std::string payload;
    Address source;
    while (receive_one(socket, timeout_ms, payload, source) == PSW_SUCCESS) {
        if (payload == text) {
            return true;
        }
    }
    return false;
}

Result send_text(DataGramSocket& socket, const char* text, const char* to, uint16_t port)
{
    Address destination(create_empty_address(nullptr));
    destination->set(to, socket.local_address()->protocol(), port);
    return socket.send(reinterpret_cast<const uint8_t*>(text),
                       static_cast<uint32_t>(std::strlen(text)), destination.get());
}

TEST(DataGramSocketInNamespace, Ipv4BroadcastNeedsTheFlagAndArrives)
{
    ScopedNetworkNamespace space;
    ASSERT_TRUE(space.entered());
    Socket receiver = open_socket(IPmcNetworkAddress::kUdpIpv4);
    Socket sender = open_socket(IPmcNetworkAddress::kUdpIpv4);
    const uint16_t port = receiver->local_address()->port();

    // Without the flag the platform refuses a broadcast.
    EXPECT_EQ(send_text(*sender, "early", "255.255.255.255", port), PSW_ERR_SEND);
    ASSERT_EQ(sender->set_broadcast(1), PSW_SUCCESS);
    ASSERT_EQ(send_text(*sender, "to everyone", "255.255.255.255", port), PSW_SUCCESS);

    std::string payload;
    Address source;
    ASSERT_EQ(receive_one(*receiver, 2000, payload, source), PSW_SUCCESS);
    EXPECT_EQ(payload, "to everyone");
    EXPECT_STREQ(source->text(), ScopedNetworkNamespace::kIpv4Address);
    EXPECT_EQ(source->port(), sender->local_address()->port());

    // Switched off again, broadcasts are refused again.
    ASSERT_EQ(sender->set_broadcast(0), PSW_SUCCESS);
    EXPECT_EQ(send_text(*sender, "late", "255.255.255.255", port), PSW_ERR_SEND);
}

TEST(DataGramSocketInNamespace, Ipv6MulticastJoinReceivesGroupDatagrams)
{
    ScopedNetworkNamespace space;
    ASSERT_TRUE(space.entered());
    Socket receiver = open_socket(IPmcNetworkAddress::kUdpIpv6);
    Socket sender = open_socket(IPmcNetworkAddress::kUdpIpv6);
    const uint16_t port = receiver->local_address()->port();
    const std::string scope = std::string("%") + ScopedNetworkNamespace::kInterface;
    std::string payload;
    Address source;

    ASSERT_EQ(receiver->join_multicast("ff02::1"), PSW_SUCCESS);
    ASSERT_EQ(send_text(*sender, "all nodes", ("ff02::1" + scope).c_str(), port), PSW_SUCCESS);
    ASSERT_EQ(receive_one(*receiver, 2000, payload, source), PSW_SUCCESS);
    EXPECT_EQ(payload, "all nodes");
    EXPECT_EQ(source->protocol(), IPmcNetworkAddress::kUdpIpv6);
    EXPECT_EQ(source->port(), sender->local_address()->port());
    EXPECT_EQ(std::strncmp(source->text(), "fe80::", 6), 0) << source->text();

    // Every node is in ff02::1 anyway; a group nobody has joined shows the join at work.
    const std::string group = "ff02::4242" + scope;
    ASSERT_EQ(send_text(*sender, "unjoined", group.c_str(), port), PSW_SUCCESS);
    EXPECT_FALSE(arrives(*receiver, "unjoined", 200));
    ASSERT_EQ(receiver->join_multicast("ff02::4242"), PSW_SUCCESS);
    ASSERT_EQ(send_text(*sender, "joined", group.c_str(), port), PSW_SUCCESS);
    EXPECT_TRUE(arrives(*receiver, "joined", 2000));
}

TEST(DataGramSocketInNamespace, Ipv4MulticastJoinReceivesGroupDatagrams)
{
    ScopedNetworkNamespace space;
    ASSERT_TRUE(space.entered());
    Socket receiver = open_socket(IPmcNetworkAddress::kUdpIpv4);
    Socket sender = open_socket(IPmcNetworkAddress::kUdpIpv4);
    const uint16_t port = receiver->local_address()->port();
    std::string payload;
    Address source;

    ASSERT_EQ(send_text(*sender, "unjoined", "239.255.42.42", port), PSW_SUCCESS);
    EXPECT_FALSE(arrives(*receiver, "unjoined", 200));
    ASSERT_EQ(receiver->join_multicast("239.255.42.42"), PSW_SUCCESS);
    ASSERT_EQ(send_text(*sender, "joined", "239.255.42.42", port), PSW_SUCCESS);
    ASSERT_EQ(receive_one(*receiver, 2000, payload, source), PSW_SUCCESS);
    EXPECT_EQ(payload, "joined");
    EXPECT_STREQ(source->text(), ScopedNetworkNamespace::kIpv4Address);
}

}  // namespace
}  // namespace psw
