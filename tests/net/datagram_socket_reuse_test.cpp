// A socket object kept from one request to the next: reopened in place (a new OS socket each
// time), the destination it keeps in native form, and the source written into the caller's
// address object.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/factory.h"
#include "net/datagram_socket.h"
#include "net/socket_platform.h"
#include "support/log_capture.h"
#include "support/loopback_pool.h"

namespace psw {
namespace {

using Socket = OwnedPtr<DataGramSocket>;
using Address = OwnedPtr<IPmcNetworkAddress>;
constexpr auto kIpv4 = IPmcNetworkAddress::kUdpIpv4;
constexpr auto kIpv6 = IPmcNetworkAddress::kUdpIpv6;

Socket open_socket(IPmcNetworkAddress::EProtocol protocol, uint16_t port = 0)
{
    Result result = PSW_ERR_FAILED;
    Socket socket(pmc_create_datagram_socket_on_port(protocol, port, &result));
    EXPECT_EQ(result, PSW_SUCCESS);
    return socket;
}

uint16_t port_of(const Socket& socket)
{
    return socket->local_address()->port();
}

// One byte `tag` from `from` to `to`; the byte and the source port `to` sees.
void pass(DataGramSocket& from, const IPmcNetworkAddress& destination, DataGramSocket& to,
          uint8_t tag)
{
    ASSERT_EQ(from.send(&tag, 1, &destination), PSW_SUCCESS);
    uint8_t byte = 0;
    int32_t received = 0;
    Address source(create_empty_address(nullptr));
    ASSERT_EQ(to.receive_into(&byte, 1, 2000, &received, source.get()), PSW_SUCCESS);
    EXPECT_EQ(received, 1);
    EXPECT_EQ(byte, tag);
    EXPECT_EQ(source->port(), from.local_address()->port());
}

// Between two sockets of one protocol, over its loopback address.
void pass_both_ways(DataGramSocket& a, DataGramSocket& b)
{
    const char* loopback = a.local_address()->protocol() == kIpv4 ? "127.0.0.1" : "::1";
    Address to_a(create_address(loopback, a.local_address()->port(), nullptr));
    Address to_b(create_address(loopback, b.local_address()->port(), nullptr));
    pass(b, *to_a, a, 0x31);
    pass(a, *to_b, b, 0x32);
}

// A socket object carried from one request to the next by the system factory: every step binds
// a new OS socket (the old one closed first, so its very port binds again) in the same object,
// another protocol gets a new object, and a port in use leaves nothing open.
TEST(DataGramSocketReuse, EveryRequestGetsANewOsSocket)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    IPmcDataGramSocketFactory& factory = pmc_system_datagram_socket_factory();
    Socket holder = open_socket(kIpv4);  // keeps its port in use
    Socket peer4 = open_socket(kIpv4);
    Socket peer6 = open_socket(kIpv6);
    const int startups = pmc_socket_layer_startup_count();
    const std::string in_use = "fail bind(). WSAGetLastError()=" + std::to_string(EADDRINUSE);
    enum Port { kAny, kSame, kInUse };
    const struct {
        const char* what;
        IPmcNetworkAddress::EProtocol protocol;
        Port port;
        Result result;
        const char* local;  // the bound address's text
    } steps[] = {
        {"first", kIpv4, kAny, PSW_SUCCESS, "0.0.0.0"},
        {"its own port again", kIpv4, kSame, PSW_SUCCESS, "0.0.0.0"},
        {"any port again", kIpv4, kAny, PSW_SUCCESS, "0.0.0.0"},
        {"a port in use", kIpv4, kInUse, PSW_ERR_ADDRESS, nullptr},
        {"after a failure", kIpv4, kAny, PSW_SUCCESS, "0.0.0.0"},
        {"another protocol", kIpv6, kAny, PSW_SUCCESS, "::"},
        {"and back", kIpv4, kAny, PSW_SUCCESS, "0.0.0.0"},
    };
    DataGramSocket* socket = nullptr;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const uint16_t port = step.port == kAny    ? 0
                              : step.port == kSame ? socket->local_address()->port()
                                                   : port_of(holder);
        DataGramSocket* const previous = socket;
        const bool same_protocol =
            previous != nullptr && previous->local_address()->protocol() == step.protocol;
        log.clear();
        ASSERT_EQ(factory.recreate(previous, step.protocol, port, &socket), step.result);
        if (step.result != PSW_SUCCESS) {
            EXPECT_EQ(socket, nullptr);
            EXPECT_TRUE(log.contains(in_use)) << log.all();
            EXPECT_EQ(pmc_socket_layer_startup_count(), startups);
            continue;
        }
        ASSERT_NE(socket, nullptr);
        if (same_protocol) {
            EXPECT_EQ(socket, previous) << "not reopened in place";
        }
        EXPECT_TRUE(log.contains("create socket. id:0x")) << log.all();
        EXPECT_EQ(pmc_socket_layer_startup_count(), startups + 1);
        const IPmcNetworkAddress& local = *socket->local_address();
        EXPECT_EQ(local.protocol(), step.protocol);
        EXPECT_STREQ(local.text(), step.local);
        EXPECT_TRUE(port == 0 ? local.port() != 0 : local.port() == port) << local.port();
        pass_both_ways(*socket, step.protocol == kIpv4 ? *peer4 : *peer6);
    }

    // In place only for the same protocol, the socket untouched; nowhere to put the socket: it
    // is released.
    EXPECT_EQ(socket->reopen(kIpv6, 0), PSW_ERR_UNSUPPORTED);
    pass_both_ways(*socket, *peer4);
    EXPECT_EQ(factory.recreate(socket, kIpv4, 0, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(pmc_socket_layer_startup_count(), startups);
}

TEST(DataGramSocketDestination, FollowsEveryChangeOfTheAddressSentTo)
{
    Socket sender = open_socket(kIpv4);
    Socket first = open_socket(kIpv4);
    Socket second = open_socket(kIpv4);
    Address to(create_address("127.0.0.1", port_of(first), nullptr));
    pass(*sender, *to, *first, 1);
    pass(*sender, *to, *first, 2);  // the kept native form
    ASSERT_EQ(to->set_port(port_of(second)), PSW_SUCCESS);
    pass(*sender, *to, *second, 3);

    // A text that no longer parses is refused, not sent to the address kept before.
    const uint8_t byte = 4;
    ASSERT_EQ(to->set("127.0.0.256", kIpv4, 0), PSW_SUCCESS);
    EXPECT_EQ(sender->send(&byte, 1, to.get()), PSW_ERR_PARAMETER);
    ASSERT_EQ(to->set("127.0.0.1", kIpv4, port_of(first)), PSW_SUCCESS);
    pass(*sender, *to, *first, 5);

    // Another object of the same text and port reaches the same socket.
    Address same(create_address("127.0.0.1", port_of(first), nullptr));
    pass(*sender, *same, *first, 6);
}

TEST(DataGramSocketReceive, ReceiveIntoRewritesTheCallersAddressForEachDatagram)
{
    Socket receiver = open_socket(kIpv6);
    Socket v6_sender = open_socket(kIpv6);
    Socket other_sender = open_socket(kIpv6);
    Address to(create_address("::1", port_of(receiver), nullptr));
    Address source(create_empty_address(nullptr));
    const struct {
        DataGramSocket* sender;
        uint8_t tag;
    } sends[] = {{v6_sender.get(), 1}, {other_sender.get(), 2}, {v6_sender.get(), 3}};
    for (const auto& send : sends) {
        ASSERT_EQ(send.sender->send(&send.tag, 1, to.get()), PSW_SUCCESS);
        uint8_t byte = 0;
        int32_t received = 0;
        ASSERT_EQ(receiver->receive_into(&byte, 1, 2000, &received, source.get()), PSW_SUCCESS);
        EXPECT_EQ(byte, send.tag);
        EXPECT_STREQ(source->text(), "::1");
        EXPECT_EQ(source->protocol(), kIpv6);
        EXPECT_EQ(source->port(), send.sender->local_address()->port()) << int{send.tag};
    }
    uint8_t byte = 0;
    int32_t received = 0;
    EXPECT_EQ(receiver->receive_into(&byte, 1, 0, &received, source.get()), PSW_ERR_TIMEOUT);
    EXPECT_EQ(receiver->receive_into(&byte, 1, 0, &received, nullptr), PSW_ERR_PARAMETER);
}

TEST(DataGramSocketReceive, Ipv4SourceFollowsEachSenderAndEveryChangeOfTheCallersAddress)
{
    // A source's text is formatted once per address and not set again while the caller's object
    // holds it: a new sender, or an object changed in between, must still be written.
    auto lease = test::LoopbackLease::acquire(161);
    ASSERT_TRUE(lease);
    Socket receiver = open_socket(kIpv4);
    Socket library_sender = open_socket(kIpv4);  // leaves from 127.0.0.1
    const int leased = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in native{};
    native.sin_family = AF_INET;
    ::inet_pton(AF_INET, lease->address().c_str(), &native.sin_addr);
    socklen_t length = sizeof native;
    ASSERT_EQ(::bind(leased, reinterpret_cast<sockaddr*>(&native), sizeof native), 0);
    ASSERT_EQ(::getsockname(leased, reinterpret_cast<sockaddr*>(&native), &length), 0);
    sockaddr_in to_receiver{AF_INET, htons(port_of(receiver)), {htonl(INADDR_LOOPBACK)}, {}};
    Address to(create_address("127.0.0.1", port_of(receiver), nullptr));
    Address source(create_empty_address(nullptr));
    // From the lease or not; then the caller's object changed: 1 text, 2 port, 3 protocol.
    const int steps[][2] = {{0, 0}, {1, 0}, {1, 0}, {0, 0}, {0, 1}, {1, 2}, {1, 3}};
    for (uint8_t tag = 0; tag < 7; ++tag) {
        const bool from_lease = steps[tag][0] != 0;
        ASSERT_EQ(from_lease ? static_cast<int>(::sendto(leased, &tag, 1, 0,
                                                         reinterpret_cast<sockaddr*>(&to_receiver),
                                                         sizeof to_receiver))
                             : (library_sender->send(&tag, 1, to.get()) == PSW_SUCCESS ? 1 : -1),
                  1);
        const Result changed = steps[tag][1] == 1   ? source->set("10.1.2.3", kIpv4, 0)
                               : steps[tag][1] == 2 ? source->set_port(7)
                               : steps[tag][1] == 3 ? source->set_protocol(kIpv6)
                                                    : PSW_SUCCESS;
        ASSERT_EQ(changed, PSW_SUCCESS);
        uint8_t byte = 0xff;
        int32_t received = 0;
        ASSERT_EQ(receiver->receive_into(&byte, 1, 2000, &received, source.get()), PSW_SUCCESS);
        EXPECT_EQ(byte, tag);
        EXPECT_STREQ(source->text(), from_lease ? lease->address().c_str() : "127.0.0.1");
        EXPECT_EQ(source->port(), from_lease ? ntohs(native.sin_port) : port_of(library_sender));
        EXPECT_EQ(source->protocol(), kIpv4) << int{tag};
    }
    ::close(leased);
    // The bound address read back after a reopen is the any address again, whatever was set.
    ASSERT_EQ(receiver->local_address()->set("10.1.2.3", kIpv4, 0), PSW_SUCCESS);
    ASSERT_EQ(receiver->reopen(kIpv4, 0), PSW_SUCCESS);
    EXPECT_STREQ(receiver->local_address()->text(), "0.0.0.0");
}

}  // namespace
}  // namespace psw
