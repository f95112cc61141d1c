// Datagram sockets on the loopback interfaces, and with socket calls that fail on cue.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ostream>
#include <thread>
#include <vector>

#include "core/factory.h"
#include "net/address_text.h"
#include "net/datagram_socket.h"
#include "net/fake_module_loader.h"
#include "net/socket_api.h"
#include "support/log_capture.h"
#include "support/wire_trace_lines.h"

namespace psw {
namespace {

using test::FakeModuleLoader;
using Socket = OwnedPtr<DataGramSocket>;
using Address = OwnedPtr<IPmcNetworkAddress>;

Socket open_socket(IPmcNetworkAddress::EProtocol protocol, uint16_t port = 0)
{
    Result result = PSW_ERR_FAILED;
    Socket socket(pmc_create_datagram_socket_on_port(protocol, port, &result));
    EXPECT_EQ(result, PSW_SUCCESS);
    return socket;
}

Address destination(const char* text, uint16_t port)
{
    Address address(create_address(text, port, nullptr));
    EXPECT_NE(address, nullptr) << text;
    return address;
}

std::vector<uint8_t> pattern(size_t length)
{
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    return bytes;
}

std::string line_of(const char* format, unsigned a, const char* text, unsigned b)
{
    char line[256];
    std::snprintf(line, sizeof line, format, a, a, text, b, b);
    return line;
}

// Sends 1500 bytes from one socket to another over a loopback address and checks what arrives.
void exchange_over(IPmcNetworkAddress::EProtocol protocol, const char* loopback)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    test::LogCapture& wire = test::LogCapture::attach("snmp");
    Socket receiver = open_socket(protocol);
    Socket sender = open_socket(protocol);
    ASSERT_TRUE(receiver && sender);
    const uint16_t receiver_port = receiver->local_address()->port();
    const uint16_t sender_port = sender->local_address()->port();
    EXPECT_NE(receiver_port, 0);
    EXPECT_NE(sender_port, receiver_port);
    EXPECT_EQ(receiver->local_address()->protocol(), protocol);
    char created[64];
    std::snprintf(created, sizeof created, " port:%d(0x%x)", receiver_port, receiver_port);
    EXPECT_TRUE(log.contains("create socket. id:0x"));
    EXPECT_TRUE(log.contains(created)) << log.all();

    const std::vector<uint8_t> sent = pattern(1500);
    Address to = destination(loopback, receiver_port);
    ASSERT_EQ(sender->send(sent.data(), 1500, to.get()), PSW_SUCCESS);
    EXPECT_TRUE(
        log.contains(line_of("[DataGramSocket::send] send packet. port:%d(0x%x) -> %s:%d(0x%x).",
                             sender_port, loopback, receiver_port)))
        << log.all();

    std::vector<uint8_t> buffer(2048, 0);
    int32_t received = 0;
    IPmcNetworkAddress* raw = nullptr;
    ASSERT_EQ(receiver->receive(buffer.data(), 2048, 2000, &received, &raw), PSW_SUCCESS);
    Address source(raw);
    ASSERT_EQ(received, 1500);
    EXPECT_EQ(std::memcmp(buffer.data(), sent.data(), 1500), 0);
    ASSERT_NE(source, nullptr);
    EXPECT_STREQ(source->text(), loopback);
    EXPECT_EQ(source->port(), sender_port);
    EXPECT_EQ(source->protocol(), protocol);
    EXPECT_TRUE(log.contains(
        line_of("[DataGramSocket::receive] receive packet port:%d(0x%x) <- %s:%d(0x%x).",
                receiver_port, loopback, sender_port)))
        << log.all();

    // The wire trace on "snmp" shows both ends of the exchange, byte for byte.
    const auto datagrams = test::traced_datagrams(wire.lines());
    ASSERT_EQ(datagrams.size(), 2u) << wire.all();
    const std::string hex = test::hex_of(sent.data(), sent.size());
    const std::string peers[] = {std::to_string(receiver_port), std::to_string(sender_port)};
    const char* directions[] = {"send to", "receive from"};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(datagrams[i].what, directions[i]);
        EXPECT_EQ(datagrams[i].peer, loopback);
        EXPECT_EQ(std::to_string(datagrams[i].port), peers[i]);
        EXPECT_EQ(datagrams[i].hex, hex);
        EXPECT_EQ(datagrams[i].lines, 6u);  // 1500 bytes at 256 a line
    }
}

TEST(DataGramSocket, ExchangesDatagramsOverIpv4Loopback)
{
    exchange_over(IPmcNetworkAddress::kUdpIpv4, "127.0.0.1");
}

TEST(DataGramSocket, ExchangesDatagramsOverIpv6Loopback)
{
    exchange_over(IPmcNetworkAddress::kUdpIpv6, "::1");
}

TEST(DataGramSocket, CreateRefusesProtocolsWithoutASocketAndNullOut)
{
    DataGramSocket* out = reinterpret_cast<DataGramSocket*>(0x1);
    EXPECT_EQ(DataGramSocket::create(IPmcNetworkAddress::kNoAddressFamily, 0, &out),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DataGramSocket::create(IPmcNetworkAddress::kUnspecified, 0, &out), PSW_ERR_PARAMETER);
    EXPECT_EQ(DataGramSocket::create(IPmcNetworkAddress::kUdpIpv4, 0, nullptr), PSW_ERR_PARAMETER);
    Result result = PSW_SUCCESS;
    EXPECT_EQ(pmc_create_datagram_socket(static_cast<IPmcNetworkAddress::EProtocol>(7), &result),
              nullptr);
    EXPECT_EQ(result, PSW_ERR_PARAMETER);
}

TEST(DataGramSocket, BindsTheGivenPortAndRefusesOneInUse)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    uint16_t port = 0;
    {
        Socket probe = open_socket(IPmcNetworkAddress::kUdpIpv6);
        port = probe->local_address()->port();
        EXPECT_STREQ(probe->local_address()->text(), "::");
    }
    Socket first = open_socket(IPmcNetworkAddress::kUdpIpv6, port);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->local_address()->port(), port);

    const int before = pmc_socket_layer_startup_count();
    DataGramSocket* second = nullptr;
    EXPECT_EQ(DataGramSocket::create(IPmcNetworkAddress::kUdpIpv6, port, &second), PSW_ERR_ADDRESS);
    EXPECT_EQ(second, nullptr);
    EXPECT_TRUE(log.contains("fail bind(). WSAGetLastError()=" + std::to_string(EADDRINUSE)));
    EXPECT_EQ(pmc_socket_layer_startup_count(), before);
}

TEST(DataGramSocket, ReceiveTimesOutPollsAndBlocks)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    Socket socket = open_socket(IPmcNetworkAddress::kUdpIpv4);
    uint8_t buffer[64];
    int32_t received = 12345;
    IPmcNetworkAddress* source = reinterpret_cast<IPmcNetworkAddress*>(0x1);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, 0, &received, &source), PSW_ERR_TIMEOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(source, nullptr);
    EXPECT_EQ(received, 12345);
    EXPECT_TRUE(log.contains("select API timeout."));

    EXPECT_EQ(socket->receive(buffer, sizeof buffer, 30, &received, &source), PSW_ERR_TIMEOUT);

    // Without a limit the call waits until a datagram arrives.
    const uint16_t port = socket->local_address()->port();
    std::thread late_sender([port] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        Socket sender = open_socket(IPmcNetworkAddress::kUdpIpv4);
        Address to = destination("127.0.0.1", port);
        const uint8_t byte = 0x5a;
        sender->send(&byte, 1, to.get());
    });
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, -1, &received, &source), PSW_SUCCESS);
    late_sender.join();
    Address owned(source);
    EXPECT_EQ(received, 1);
    EXPECT_EQ(buffer[0], 0x5a);

    EXPECT_EQ(socket->receive(nullptr, 1, 0, &received, &source), PSW_ERR_PARAMETER);
    EXPECT_EQ(socket->receive(buffer, 1, 0, nullptr, &source), PSW_ERR_PARAMETER);
    EXPECT_EQ(socket->receive(buffer, 1, 0, &received, nullptr), PSW_ERR_PARAMETER);
}

TEST(DataGramSocket, DatagramLargerThanTheBufferFailsAndTheSocketStaysUsable)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    Socket receiver = open_socket(IPmcNetworkAddress::kUdpIpv4);
    Socket sender = open_socket(IPmcNetworkAddress::kUdpIpv4);
    Address to = destination("127.0.0.1", receiver->local_address()->port());
    const std::vector<uint8_t> big = pattern(3000);
    ASSERT_EQ(sender->send(big.data(), 3000, to.get()), PSW_SUCCESS);
    ASSERT_EQ(sender->send(big.data(), 100, to.get()), PSW_SUCCESS);

    std::vector<uint8_t> buffer(2048);
    int32_t received = 0;
    IPmcNetworkAddress* source = nullptr;
    EXPECT_EQ(receiver->receive(buffer.data(), 2048, 2000, &received, &source), PSW_ERR_RECEIVE);
    EXPECT_EQ(received, -1);
    EXPECT_EQ(source, nullptr);
    EXPECT_TRUE(log.contains("fail recvfrom(). WSAGetLastError()=" + std::to_string(EMSGSIZE)))
        << log.all();

    // The oversized datagram is gone; the next one arrives whole.
    ASSERT_EQ(receiver->receive(buffer.data(), 2048, 2000, &received, &source), PSW_SUCCESS);
    Address owned(source);
    EXPECT_EQ(received, 100);

    // A datagram of exactly the capacity is not too long.
    ASSERT_EQ(sender->send(big.data(), 2048, to.get()), PSW_SUCCESS);
    ASSERT_EQ(receiver->receive(buffer.data(), 2048, 2000, &received, &source), PSW_SUCCESS);
    Address second(source);
    EXPECT_EQ(received, 2048);
}

TEST(DataGramSocket, SendRefusesDestinationsItCannotReach)
{
    Socket v4 = open_socket(IPmcNetworkAddress::kUdpIpv4);
    Socket v6 = open_socket(IPmcNetworkAddress::kUdpIpv6);
    const uint8_t byte = 1;
    Address bad_octet(create_empty_address(nullptr));
    bad_octet->set("1.2.3.256", IPmcNetworkAddress::kUdpIpv4, 161);
    EXPECT_EQ(v4->send(&byte, 1, bad_octet.get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(v4->send(&byte, 1, destination("::1", 161).get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(v4->send(nullptr, 1, destination("127.0.0.1", 161).get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(v4->send(&byte, 1, nullptr), PSW_ERR_PARAMETER);
    Address no_text(create_empty_address(nullptr));
    EXPECT_EQ(v4->send(&byte, 1, no_text.get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(v6->send(&byte, 1, no_text.get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(v6->send(&byte, 1, bad_octet.get()), PSW_ERR_PARAMETER);
}

TEST(DataGramSocket, IpxIsRefusedByThisPlatformCleanly)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    const int before = pmc_socket_layer_startup_count();
    DataGramSocket* socket = nullptr;
    EXPECT_EQ(DataGramSocket::create(IPmcNetworkAddress::kIpx, 36879, &socket), PSW_ERR_SOCKET);
    EXPECT_EQ(socket, nullptr);
    EXPECT_TRUE(log.contains("fail socket(). WSAGetLastError()=")) << log.all();
    EXPECT_EQ(pmc_socket_layer_startup_count(), before);
}

TEST(DataGramSocket, ReleasingSocketsBalancesTheirStartUps)
{
    const int before = pmc_socket_layer_startup_count();
    {
        Socket a = open_socket(IPmcNetworkAddress::kUdpIpv4);
        Socket b = open_socket(IPmcNetworkAddress::kUdpIpv6);
        EXPECT_EQ(pmc_socket_layer_startup_count(), before + 2);
    }
    EXPECT_EQ(pmc_socket_layer_startup_count(), before);
}

// Descriptors held open until the next one lies past what a descriptor set can hold, as in a
// host process with many files and connections open; released, with the old limit, at the end.
class HighDescriptors {
public:
    HighDescriptors()
    {
        getrlimit(RLIMIT_NOFILE, &m_saved);
        rlimit raised = m_saved;
        raised.rlim_cur = raised.rlim_max = std::max<rlim_t>(m_saved.rlim_max, FD_SETSIZE + 64);
        m_raised = setrlimit(RLIMIT_NOFILE, &raised) == 0;
        for (int fd = 0; m_raised && fd >= 0 && fd < FD_SETSIZE;) {
            fd = open("/dev/null", O_RDONLY);
            if (fd >= 0) {
                m_fillers.push_back(fd);
            }
        }
    }
    HighDescriptors(const HighDescriptors&) = delete;
    HighDescriptors& operator=(const HighDescriptors&) = delete;
    ~HighDescriptors()
    {
        for (int fd : m_fillers) {
            close(fd);
        }
        setrlimit(RLIMIT_NOFILE, &m_saved);
    }
    bool raised() const { return m_raised; }

private:
    rlimit m_saved{};
    bool m_raised = false;
    std::vector<int> m_fillers;
};

// With the "poll" entry bound (the C library has it) a socket of any descriptor value waits and
// receives; without it the wait goes through select, which refuses such a handle instead of
// writing past its descriptor set.
struct HighDescriptorCase {
    const char* name;
    bool hide_poll;
    Result quiet_wait;     // nothing sent, 20 ms
    Result after_sending;  // one datagram sent to the socket
};

// Printed by name: the bytes of the record would include its padding.
void PrintTo(const HighDescriptorCase& c, std::ostream* os)
{
    *os << c.name;
}

class DataGramSocketHighDescriptor : public ::testing::TestWithParam<HighDescriptorCase> {};

TEST_P(DataGramSocketHighDescriptor, WaitsOrRefusesButNeverOverruns)
{
    const HighDescriptorCase& c = GetParam();
    FakeModuleLoader loader;
    if (c.hide_poll) {
        loader.hide("poll");
    }
    CPmcSocketLibrary library(loader);
    Socket sender = open_socket(IPmcNetworkAddress::kUdpIpv4);
    ASSERT_NE(sender, nullptr);
    Socket socket;
    {
        HighDescriptors high;
        ASSERT_TRUE(high.raised()) << "the descriptor limit cannot be raised here";
        DataGramSocket* raw = nullptr;
        ASSERT_EQ(create_datagram_socket(library, IPmcNetworkAddress::kUdpIpv4, 0, &raw),
                  PSW_SUCCESS);
        socket.reset(raw);
    }
    EXPECT_EQ(library.api().m_pPoll == nullptr, c.hide_poll);
    uint8_t buffer[16];
    int32_t received = 0;
    IPmcNetworkAddress* source = nullptr;
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, 20, &received, &source), c.quiet_wait);
    EXPECT_EQ(source, nullptr);

    const uint8_t sent[3] = {1, 2, 3};
    Address to = destination("127.0.0.1", socket->local_address()->port());
    ASSERT_EQ(sender->send(sent, sizeof sent, to.get()), PSW_SUCCESS);
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, 2000, &received, &source), c.after_sending);
    if (c.after_sending == PSW_SUCCESS) {
        EXPECT_EQ(received, 3);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(source->port(), sender->local_address()->port());
        source->release();
    }
}

INSTANTIATE_TEST_SUITE_P(
    PollOrSelect, DataGramSocketHighDescriptor,
    ::testing::Values(HighDescriptorCase{"Poll", false, PSW_ERR_TIMEOUT, PSW_SUCCESS},
                      HighDescriptorCase{"SelectOnly", true, PSW_ERR_RECEIVE, PSW_ERR_RECEIVE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DataGramSocket, NegativeTimeOtherThanEndlessFailsLikeSelect)
{
    Socket socket = open_socket(IPmcNetworkAddress::kUdpIpv4);
    ASSERT_NE(socket, nullptr);
    uint8_t buffer[16];
    int32_t received = 0;
    IPmcNetworkAddress* source = nullptr;
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, -2, &received, &source), PSW_ERR_RECEIVE);
}

TEST(DataGramSocketFactory, SystemFactoryMakesBoundSockets)
{
    IPmcDataGramSocketFactory& factory = pmc_system_datagram_socket_factory();
    DataGramSocket* raw = nullptr;
    ASSERT_EQ(factory.create(IPmcNetworkAddress::kUdpIpv4, 0, &raw), PSW_SUCCESS);
    Socket socket(raw);
    EXPECT_NE(socket->local_address()->port(), 0);
    EXPECT_EQ(factory.create(IPmcNetworkAddress::kNoAddressFamily, 0, &raw), PSW_ERR_PARAMETER);
    EXPECT_EQ(raw, nullptr);
}

// Socket calls replaced through the loader, so failures and option requests can be observed
// without touching a network.
struct CallRecord {
    int setsockopt_calls = 0;
    int level = 0;
    int option = 0;
    socklen_t length = 0;
    uint8_t value[32] = {};
};
CallRecord g_calls;

int recording_setsockopt(int, int level, int option, const void* value, socklen_t length) noexcept
{
    ++g_calls.setsockopt_calls;
    g_calls.level = level;
    g_calls.option = option;
    g_calls.length = length;
    std::memcpy(g_calls.value, value, std::min<size_t>(length, sizeof g_calls.value));
    return 0;
}

// The int option value of the last recorded call; -1 when the call did not pass an int.
int recorded_int()
{
    int value = -1;
    if (g_calls.length == sizeof value) {
        std::memcpy(&value, g_calls.value, sizeof value);
    }
    return value;
}

int refusing_setsockopt(int, int, int, const void*, socklen_t) noexcept
{
    errno = ENOPROTOOPT;
    return -1;
}

int refusing_socket(int, int, int) noexcept
{
    errno = EMFILE;
    return -1;
}

int refusing_getsockname(int, sockaddr*, socklen_t*) noexcept
{
    errno = ENOTSOCK;
    return -1;
}

struct InjectedSocketCalls : ::testing::Test {
    Socket make(IPmcNetworkAddress::EProtocol protocol, Result expected = PSW_SUCCESS)
    {
        DataGramSocket* raw = nullptr;
        EXPECT_EQ(create_datagram_socket(library, protocol, 0, &raw), expected);
        return Socket(raw);
    }
    void SetUp() override { g_calls = CallRecord{}; }

    FakeModuleLoader loader;
    CPmcSocketLibrary library{loader};
};

// The broadcast flag is set on IPv4 only, and only its low byte counts; a receive buffer is
// asked for on every family, but not of size 0.
TEST_F(InjectedSocketCalls, SocketOptionsAskTheSystemForWhatTheyName)
{
    loader.replace("setsockopt", reinterpret_cast<void*>(&recording_setsockopt));
    constexpr auto kIpv4 = IPmcNetworkAddress::kUdpIpv4;
    constexpr auto kIpv6 = IPmcNetworkAddress::kUdpIpv6;
    const auto broadcast = &DataGramSocket::set_broadcast;
    const auto receive_buffer = &DataGramSocket::set_receive_buffer;
    const struct {
        const char* what;
        IPmcNetworkAddress::EProtocol protocol;
        Result (DataGramSocket::*set)(int32_t) noexcept;
        int32_t argument;
        Result result;
        int option;  // the option set; 0: setsockopt not called
        int value;
    } cases[] = {
        {"broadcast on IPv4", kIpv4, broadcast, 1, PSW_SUCCESS, SO_BROADCAST, 1},
        {"broadcast, low byte 0", kIpv4, broadcast, 0x100, PSW_SUCCESS, SO_BROADCAST, 0},
        {"broadcast on IPv6", kIpv6, broadcast, 1, PSW_SUCCESS, 0, 0},
        {"receive buffer on IPv4", kIpv4, receive_buffer, 1 << 20, PSW_SUCCESS, SO_RCVBUF, 1 << 20},
        {"receive buffer on IPv6", kIpv6, receive_buffer, 1 << 20, PSW_SUCCESS, SO_RCVBUF, 1 << 20},
        {"receive buffer of 0 on IPv4", kIpv4, receive_buffer, 0, PSW_ERR_PARAMETER, 0, 0},
        {"receive buffer of 0 on IPv6", kIpv6, receive_buffer, 0, PSW_ERR_PARAMETER, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Socket socket = make(c.protocol);
        g_calls = CallRecord{};
        EXPECT_EQ(((*socket).*c.set)(c.argument), c.result);
        EXPECT_EQ(g_calls.setsockopt_calls, c.option != 0 ? 1 : 0);
        if (c.option != 0) {
            EXPECT_EQ(g_calls.level, SOL_SOCKET);
            EXPECT_EQ(g_calls.option, c.option);
            EXPECT_EQ(recorded_int(), c.value);
        }
    }
}

TEST_F(InjectedSocketCalls, RefusedOptionsAreLoggedAndFail)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    loader.replace("setsockopt", reinterpret_cast<void*>(&refusing_setsockopt));
    Socket v4 = make(IPmcNetworkAddress::kUdpIpv4);
    EXPECT_EQ(v4->set_broadcast(1), PSW_ERR_FAILED);
    EXPECT_TRUE(log.contains("fail setsockopt(). can't set broadcast flag. WSAGetLastError()=" +
                             std::to_string(ENOPROTOOPT)));
    EXPECT_EQ(v4->set_receive_buffer(1 << 20), PSW_ERR_FAILED);
    EXPECT_TRUE(
        log.contains("fail setsockopt(). can't set receive buffer size. WSAGetLastError()=" +
                     std::to_string(ENOPROTOOPT)));
    EXPECT_EQ(v4->join_multicast("239.1.2.3"), PSW_ERR_FAILED);
    EXPECT_TRUE(log.contains("fail setsockopt(). can't set multicast flag. WSAGetLastError()="));
    EXPECT_EQ(v4->join_multicast("not-an-address"), PSW_ERR_FAILED);
    EXPECT_TRUE(log.contains("fail inet_addr(). WSAGetLastError()="));
    EXPECT_EQ(v4->join_multicast(nullptr), PSW_ERR_PARAMETER);
}

TEST_F(InjectedSocketCalls, JoinMulticastBuildsTheGroupRequests)
{
    loader.replace("setsockopt", reinterpret_cast<void*>(&recording_setsockopt));
    Socket v6 = make(IPmcNetworkAddress::kUdpIpv6);
    ASSERT_EQ(v6->join_multicast("ff02::1"), PSW_SUCCESS);
    EXPECT_EQ(g_calls.level, IPPROTO_IPV6);
    EXPECT_EQ(g_calls.option, IPV6_JOIN_GROUP);
    ASSERT_EQ(g_calls.length, 20u);
    const uint8_t group[16] = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01};
    EXPECT_EQ(std::memcmp(g_calls.value, group, 16), 0);
    const uint8_t default_interface[4] = {0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(g_calls.value + 16, default_interface, 4), 0);

    g_calls = CallRecord{};
    EXPECT_EQ(v6->join_multicast("ff02::"), PSW_ERR_PARAMETER);
    EXPECT_EQ(v6->join_multicast(nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(g_calls.setsockopt_calls, 0);

    Socket v4 = make(IPmcNetworkAddress::kUdpIpv4);
    ASSERT_EQ(v4->join_multicast("239.1.2.3"), PSW_SUCCESS);
    EXPECT_EQ(g_calls.level, IPPROTO_IP);
    EXPECT_EQ(g_calls.option, IP_ADD_MEMBERSHIP);
    ASSERT_EQ(g_calls.length, 8u);
    const uint8_t request[8] = {239, 1, 2, 3, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(g_calls.value, request, 8), 0);
}

TEST_F(InjectedSocketCalls, RefusedSocketGivesSocketErrorAndBalancesTheStartUp)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    loader.replace("socket", reinterpret_cast<void*>(&refusing_socket));
    const int before = pmc_socket_layer_startup_count();
    make(IPmcNetworkAddress::kUdpIpv4, PSW_ERR_SOCKET);
    make(IPmcNetworkAddress::kUdpIpv6, PSW_ERR_SOCKET);
    EXPECT_TRUE(log.contains("fail socket(). WSAGetLastError()=" + std::to_string(EMFILE)));
    EXPECT_EQ(pmc_socket_layer_startup_count(), before);
}

TEST_F(InjectedSocketCalls, UnreadableBoundAddressFails)
{
    loader.replace("getsockname", reinterpret_cast<void*>(&refusing_getsockname));
    make(IPmcNetworkAddress::kUdpIpv4, PSW_ERR_FAILED);
}

TEST(DataGramSocketStartUp, MissingSocketLibraryIsReported)
{
    FakeModuleLoader loader;
    loader.refuse_load(true);
    CPmcSocketLibrary library(loader);
    DataGramSocket* socket = nullptr;
    EXPECT_EQ(create_datagram_socket(library, IPmcNetworkAddress::kUdpIpv4, 0, &socket),
              PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(socket, nullptr);
}

TEST(Ipv6GroupText, ExpandsGapsAndReadsEightGroups)
{
    uint8_t bytes[16];
    ASSERT_EQ(pmc_parse_ipv6_group_text("ff02::1", bytes), PSW_SUCCESS);
    const uint8_t all_nodes[16] = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01};
    EXPECT_EQ(std::memcmp(bytes, all_nodes, 16), 0);

    ASSERT_EQ(pmc_parse_ipv6_group_text("::1", bytes), PSW_SUCCESS);
    const uint8_t loopback[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01};
    EXPECT_EQ(std::memcmp(bytes, loopback, 16), 0);

    ASSERT_EQ(pmc_parse_ipv6_group_text("FF05:1:2:3:4:5:6:ABCD", bytes), PSW_SUCCESS);
    EXPECT_EQ(bytes[0], 0xff);
    EXPECT_EQ(bytes[3], 0x01);
    EXPECT_EQ(bytes[14], 0xab);
    EXPECT_EQ(bytes[15], 0xcd);

    // A zone suffix after the eighth group is ignored.
    ASSERT_EQ(pmc_parse_ipv6_group_text("fe80::1%eth0", bytes), PSW_SUCCESS);
    EXPECT_EQ(bytes[0], 0xfe);
    EXPECT_EQ(bytes[1], 0x80);
    EXPECT_EQ(bytes[15], 0x01);

    ASSERT_EQ(pmc_parse_ipv6_group_text("ff02::1:ff00:1", bytes), PSW_SUCCESS);
    EXPECT_EQ(bytes[11], 0x01);
    EXPECT_EQ(bytes[12], 0xff);
    EXPECT_EQ(bytes[15], 0x01);
}

TEST(Ipv6GroupText, RefusesTextsThatDoNotReadAsEightGroups)
{
    uint8_t bytes[16] = {0x77};
    for (const char* bad : {"ff02::", "::", "ff02:1", "12345::1", "1::2::3", "ff02::g", " ff02::1",
                            "-1::1", "0x1::1", "ff02:0:0:0:0:0:0"}) {
        EXPECT_EQ(pmc_parse_ipv6_group_text(bad, bytes), PSW_ERR_PARAMETER) << bad;
    }
    EXPECT_EQ(bytes[0], 0x77);
    EXPECT_EQ(pmc_parse_ipv6_group_text(nullptr, bytes), PSW_ERR_PARAMETER);
}

}  // namespace
}  // namespace psw
