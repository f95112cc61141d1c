// The namespace test network: agents in host namespaces answer unicast and broadcast from the
// client namespace; everything is removed afterwards.
#include "support/netns.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <set>
#include <sstream>

#include "support/agent_harness.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr const char* kSysObjectId = "1.3.6.1.2.1.1.2.0";
// GET sysObjectID.0, SNMPv1, community "public", request-id 1234.
constexpr const char* kGetSysObjectIdHex =
    "302702010004067075626c6963a01a020204d2020100020100300e300c06082b060102010102000500";

std::string host_object_id(int i)
{
    return "1.3.6.1.4.1.99999.77." + std::to_string(i + 1);
}

// BER content of an OID value 1.3.6.1.4.1.99999.77.N (first two arcs packed, base-128 arcs).
std::string encoded_host_object_id(int i)
{
    std::string out = "\x2b\x06\x01\x04\x01";
    out += "\x86\x8d\x1f";  // 99999
    out += static_cast<char>(77);
    out += static_cast<char>(i + 1);
    return out;
}

std::set<std::string> namespace_names()
{
    std::set<std::string> names;
    auto list = run_command({find_program("ip"), "netns", "list"});
    std::istringstream in(list.out);
    for (std::string line; std::getline(in, line);)
        names.insert(line.substr(0, line.find(' ')));
    return names;
}

class NetnsHarness : public ::testing::Test {
protected:
    void SetUp() override { PSW_REQUIRE_PEERS(Peer::netns); }
};

TEST_F(NetnsHarness, CreatesConnectedNamespacesAndRemovesThem)
{
    std::vector<std::string> created;
    {
        NetnsLab lab({.hosts = 2});
        ASSERT_TRUE(lab.create());
        created = lab.namespaces();
        ASSERT_EQ(created.size(), 4u);  // bridge, client, two hosts
        auto names = namespace_names();
        for (const auto& ns : created)
            EXPECT_TRUE(names.count(ns)) << ns;

        auto addr = lab.exec(lab.host(1), {"ip", "-o", "addr", "show", "dev", "eth0"});
        ASSERT_TRUE(addr.ok()) << addr.describe();
        EXPECT_NE(addr.out.find(lab.host_ipv4(1) + "/24"), std::string::npos) << addr.out;
        EXPECT_NE(addr.out.find(lab.host_ipv6(1) + "/64"), std::string::npos) << addr.out;
        EXPECT_EQ(addr.out.find("tentative"), std::string::npos)
            << "duplicate address detection still on";
        auto route = lab.exec(lab.client(), {"ip", "route", "show", "default"});
        EXPECT_NE(route.out.find("dev eth0"), std::string::npos) << route.describe();
        auto v6only = lab.exec(lab.host(0), {"cat", "/proc/sys/net/ipv6/bindv6only"});
        EXPECT_EQ(v6only.out, "1\n");

        // The client reaches both hosts, and the root namespace is not part of the network.
        if (!find_program("ping").empty()) {
            for (int i = 0; i < lab.host_count(); ++i) {
                auto ping =
                    lab.exec(lab.client(), {"ping", "-c", "1", "-W", "2", lab.host_ipv4(i)});
                EXPECT_TRUE(ping.ok()) << ping.describe();
            }
        }
        bool reached = false;
        ASSERT_TRUE(lab.run_in(lab.client(), [&] {
            // A UDP "connection" to each host and back through a socket opened in the client namespace.
            for (int i = 0; i < lab.host_count(); ++i) {
                int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
                sockaddr_in sa{};
                sa.sin_family = AF_INET;
                sa.sin_port = htons(9);
                inet_pton(AF_INET, lab.host_ipv4(i).c_str(), &sa.sin_addr);
                // connect() picks a source address from the namespace's routes: proof of the subnet.
                ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
                sockaddr_in local{};
                socklen_t len = sizeof local;
                getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len);
                char text[INET_ADDRSTRLEN] = {};
                inet_ntop(AF_INET, &local.sin_addr, text, sizeof text);
                EXPECT_EQ(std::string(text), lab.client_ipv4());
                close(fd);
            }
            reached = true;
        }));
        EXPECT_TRUE(reached);
        // The root namespace has no route into the test subnet through the lab.
        auto root_addr = run_command({find_program("ip"), "-o", "addr", "show"});
        EXPECT_EQ(root_addr.out.find("10.77.0."), std::string::npos)
            << "test subnet leaked into the root namespace";
    }
    auto names = namespace_names();
    for (const auto& ns : created)
        EXPECT_FALSE(names.count(ns)) << ns << " left behind";
}

// Address arithmetic, and one host more than a prefix holds refused before anything is made.
TEST(NetnsLabAddresses, WiderPrefixesKeepCountingFromTheSameFirstHost)
{
    struct Case {
        int prefix;
        int host;  // -1: the prefix holds none
        const char* host_ipv4;
        const char* broadcast;
        int most;
    };
    const Case cases[] = {
        {24, 0, "10.77.0.11", "10.77.0.255", 244},
        {24, 243, "10.77.0.254", "10.77.0.255", 244},
        {23, 244, "10.77.0.255", "10.77.1.255", 500},
        {22, 245, "10.77.1.0", "10.77.3.255", 1012},
        {22, 1011, "10.77.3.254", "10.77.3.255", 1012},
        {16, 499, "10.77.1.254", "10.77.255.255", 65524},
        {15, -1, nullptr, nullptr, 0},
        {25, -1, nullptr, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("/" + std::to_string(c.prefix) + " host " + std::to_string(c.host));
        EXPECT_EQ(NetnsLab::most_hosts(c.prefix), c.most);
        if (c.host >= 0) {
            NetnsLab lab({.hosts = 1, .ipv4_prefix = c.prefix});
            EXPECT_EQ(lab.host_ipv4(c.host), c.host_ipv4);
            EXPECT_EQ(lab.broadcast_ipv4(), c.broadcast);
            EXPECT_EQ(lab.client_ipv4(), "10.77.0.2");
        }
        NetnsLab too_many({.hosts = c.most + 1, .ipv4_prefix = c.prefix});
        auto made = too_many.create();
        EXPECT_FALSE(made);
        EXPECT_NE(std::string(made.message()).find("do not fit"), std::string::npos)
            << made.message();
        EXPECT_TRUE(too_many.namespaces().empty());
    }
}

// A lab on a /23: hosts past the /24 carry the wider prefix and its broadcast address, the
// broadcast to it reaches them, and with static_client_neighbour they know the client's link
// address without asking.
TEST_F(NetnsHarness, WiderPrefixCarriesItsBroadcastAndAStaticClientNeighbour)
{
    NetnsLab lab({.hosts = 2, .ipv4_prefix = 23, .static_client_neighbour = true});
    ASSERT_TRUE(lab.create());
    auto addr = lab.exec(lab.host(1), {"ip", "-o", "-4", "addr", "show", "dev", "eth0"});
    ASSERT_TRUE(addr.ok()) << addr.describe();
    EXPECT_NE(addr.out.find(lab.host_ipv4(1) + "/23 brd 10.77.1.255"), std::string::npos)
        << addr.out;
    auto client_link = lab.exec(lab.client(), {"ip", "-o", "link", "show", "dev", "eth0"});
    auto neighbour = lab.exec(lab.host(0), {"ip", "neigh", "show", "dev", "eth0"});
    ASSERT_TRUE(neighbour.ok()) << neighbour.describe();
    const size_t mac = client_link.out.find("link/ether ");
    ASSERT_NE(mac, std::string::npos) << client_link.describe();
    EXPECT_NE(neighbour.out.find(lab.client_ipv4() + " lladdr " +
                                 client_link.out.substr(mac + 11, 17) + " PERMANENT"),
              std::string::npos)
        << neighbour.out;

    // A socket made in each host namespace; the client broadcasts once to the /23's address.
    std::vector<int> sockets;
    for (int i = 0; i < lab.host_count(); ++i) {
        ASSERT_TRUE(lab.run_in(lab.host(i), [&] {
            int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            sockaddr_in any{};
            any.sin_family = AF_INET;
            any.sin_port = htons(9161);
            ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any), 0);
            sockets.push_back(fd);
        }));
    }
    ASSERT_TRUE(lab.run_in(lab.client(), [&] {
        int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        int on = 1;
        ASSERT_EQ(setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on), 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(9161);
        inet_pton(AF_INET, lab.broadcast_ipv4().c_str(), &to.sin_addr);
        EXPECT_EQ(sendto(fd, "x", 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof to), 1);
        close(fd);
    }));
    for (int fd : sockets) {
        pollfd p{fd, POLLIN, 0};
        EXPECT_EQ(poll(&p, 1, 2000), 1) << "the broadcast did not reach a host";
        close(fd);
    }
}

class NetnsAgents : public NetnsHarness {
protected:
    void SetUp() override
    {
        NetnsHarness::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        PSW_REQUIRE_PEERS(Peer::snmpsim, Peer::netsnmp_tools, Peer::python3);
        ASSERT_TRUE(lab_.create());
        std::vector<std::pair<SnmpsimAgent*, SnmpsimOptions>> starts;
        for (int i = 0; i < lab_.host_count(); ++i) {
            agents_[i] = std::make_unique<SnmpsimAgent>();
            starts.push_back(
                {agents_[i].get(),
                 {.files = {SnmprecSource(harness_data("harness-small.snmprec"), "public")
                                .replace(kSysObjectId, "6", host_object_id(i))},
                  .ipv6 = true,
                  .netns = lab_.host(i)}});
        }
        ASSERT_TRUE(SnmpsimAgent::start_all(starts));
        client_tools_.set_netns(lab_.client());
    }
    void TearDown() override
    {
        for (auto& a : agents_)
            a.reset();  // agents end before their namespaces
    }

    NetnsLab lab_{NetnsLabOptions{.hosts = 3}};
    std::unique_ptr<SnmpsimAgent> agents_[3];
    NetSnmpTools client_tools_;
};

TEST_F(NetnsAgents, EachHostAnswersUnicastFromTheClient)
{
    for (int i = 0; i < lab_.host_count(); ++i) {
        SCOPED_TRACE(lab_.host(i));
        auto v4 = client_tools_.get("udp:" + lab_.host_ipv4(i) + ":161",
                                    SnmpCredentials::v1("public"), {kSysObjectId});
        ASSERT_TRUE(v4.ok()) << v4.describe();
        EXPECT_EQ(parse_snmpwalk_on(v4.out),
                  (std::vector<SnmpRow>{{kSysObjectId, "OID", host_object_id(i)}}));
        auto v6 = client_tools_.get("udp6:[" + lab_.host_ipv6(i) + "]:161",
                                    SnmpCredentials::v2c("public"), {kSysObjectId});
        ASSERT_TRUE(v6.ok()) << v6.describe();
        EXPECT_EQ(parse_snmpwalk_on(v6.out),
                  (std::vector<SnmpRow>{{kSysObjectId, "OID", host_object_id(i)}}));
    }
}

// Answers to one broadcast GET, by source address, as printed by the probe script.
std::map<std::string, std::string> broadcast_with_script(const NetnsLab& lab,
                                                         const std::string& address)
{
    auto r = lab.exec(
        lab.client(),
        {"/usr/bin/python3", std::string(PSW_TEST_DATA_DIR) + "/../support/snmp_broadcast_probe.py",
         address, "161", "1.0", kGetSysObjectIdHex},
        {.env = {{"PYTHONPATH", std::nullopt}, {"PYTHONHOME", std::nullopt}}});
    EXPECT_TRUE(r.ok()) << r.describe();
    std::map<std::string, std::string> answers;
    std::istringstream in(r.out);
    for (std::string source, hex; in >> source >> hex;) {
        EXPECT_FALSE(answers.count(source)) << source << " answered twice";
        answers[source] = from_hex(hex);
    }
    return answers;
}

TEST_F(NetnsAgents, AllHostsAnswerASubnetBroadcast)
{
    auto answers = broadcast_with_script(lab_, lab_.broadcast_ipv4());
    ASSERT_EQ(answers.size(), 3u);
    for (int i = 0; i < lab_.host_count(); ++i) {
        ASSERT_TRUE(answers.count(lab_.host_ipv4(i))) << lab_.host_ipv4(i) << " did not answer";
        const std::string& reply = answers[lab_.host_ipv4(i)];
        EXPECT_NE(reply.find("\xa2"), std::string::npos) << "not a GetResponse";
        EXPECT_NE(reply.find(std::string("\x02\x02\x04\xd2", 4)), std::string::npos)
            << "request-id 1234 missing";
        EXPECT_NE(reply.find(encoded_host_object_id(i)), std::string::npos)
            << "host " << i << " sent another host's data";
    }
}

TEST_F(NetnsAgents, AllHostsAnswerTheLimitedBroadcast)
{
    auto answers = broadcast_with_script(lab_, "255.255.255.255");
    EXPECT_EQ(answers.size(), 3u);
    for (int i = 0; i < lab_.host_count(); ++i)
        EXPECT_TRUE(answers.count(lab_.host_ipv4(i))) << lab_.host_ipv4(i);
}

TEST_F(NetnsAgents, RunInSendsFromTheClientNamespace)
{
    std::set<std::string> sources;
    ASSERT_TRUE(lab_.run_in(lab_.client(), [&] {
        int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ASSERT_GE(fd, 0);
        int on = 1;
        ASSERT_EQ(setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on), 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(161);
        inet_pton(AF_INET, lab_.broadcast_ipv4().c_str(), &to.sin_addr);
        std::string message = from_hex(kGetSysObjectIdHex);
        ASSERT_EQ(sendto(fd, message.data(), message.size(), 0, reinterpret_cast<sockaddr*>(&to),
                         sizeof to),
                  static_cast<ssize_t>(message.size()));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char buf[2048];
            sockaddr_in from{};
            socklen_t len = sizeof from;
            if (recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len) <= 0)
                continue;
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
            sources.insert(text);
        }
        close(fd);
    }));
    EXPECT_EQ(sources,
              (std::set<std::string>{lab_.host_ipv4(0), lab_.host_ipv4(1), lab_.host_ipv4(2)}));
}

}  // namespace
}  // namespace psw::test
