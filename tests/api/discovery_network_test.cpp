// Discovery through the exported calls across test hosts: network namespaces on a bridge, one
// snmpsim printer in each, and the client's calls made from its own namespace.
//
//   client eth0 -- bridge -- h0 rich        10.77.0.11   (sysObjectID ...27.1)
//                         -- h1 many-trays  10.77.0.12   (served as ...27.1.5, same model)
//                         -- h2 odd-values  10.77.0.13   (...27.1)
//                         -- h3 other-model 10.77.0.14   (...27.10, not supported)
//   client eth1 ---------------- h4 rich    IPv6 link-local only, a second link
//
// Every printer is served under the one community "fleet", which discovery must be told.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "psw/psw.h"
#include "support/agent_harness.h"
#include "support/netns.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr const char* kCommunity = "fleet";
constexpr const char* kModel = "Marlowen-K T7150X";
constexpr const char* kSupported = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";
constexpr const char* kSupportedVariant = "1.3.6.1.4.1.297.1.11.93.1.35.27.1.5";
constexpr uint32_t kTimeout = 800;
constexpr int kHosts = 5;
constexpr int kSecondLinkHost = 4;

struct Entry {
    std::string address;
    std::string model;
    std::string sys_object_id;
    bool operator==(const Entry&) const = default;
    auto operator<=>(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& e)
{
    return out << "{" << e.address << ", " << e.model << ", " << e.sys_object_id << "}";
}

class DiscoveryNetworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (peer_unavailable({Peer::root, Peer::netns, Peer::snmpsim, Peer::netsnmp_tools})) {
            return;
        }
        lab = new NetnsLab(NetnsLabOptions{.hosts = kHosts});
        set_up = build();
    }
    static void TearDownTestSuite()
    {
        for (SnmpsimAgent*& agent : agents) {
            delete agent;
            agent = nullptr;
        }
        delete lab;  // removes every namespace
        lab = nullptr;
    }

    static ::testing::AssertionResult build()
    {
        if (auto r = lab->create(); !r) {
            return r;
        }
        // The last host leaves the bridge and becomes the far end of the client's eth1.
        if (auto r = lab->move_host_to_own_link(kSecondLinkHost, "eth1"); !r) {
            return r;
        }
        const char* files[kHosts] = {"rich", "many-trays", "odd-values", "other-model", "rich"};
        for (int i = 0; i < kHosts; ++i) {
            SnmprecSource source(test_data(std::string("printers/") + files[i] + ".snmprec"),
                                 kCommunity);
            if (i == 1) {
                source.replace("1.3.6.1.2.1.1.2.0", "6", kSupportedVariant);
            }
            agents[i] = new SnmpsimAgent();
            if (auto r = agents[i]->start({.files = {source}, .ipv6 = true, .netns = lab->host(i)});
                !r) {
                return r;
            }
        }
        return ::testing::AssertionSuccess();
    }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::netns, Peer::snmpsim, Peer::netsnmp_tools);
        ASSERT_TRUE(lab != nullptr && static_cast<bool>(set_up)) << set_up.message();
        ASSERT_EQ(PSWInit(&handle), PSW_SUCCESS);
        ASSERT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_FIND, kCommunity), PSW_SUCCESS);
    }
    void TearDown() override { PSWUnInit(handle); }

    // One discovery from the client namespace; the result code, and the count in `count`.
    int32_t find(const char* address, int32_t transport, uint32_t retries, int32_t* count)
    {
        int32_t result = PSW_ERR_FAILED;
        EXPECT_TRUE(lab->run_in(lab->client(), [&] {
            result = PSWFindDeviceSNMP(handle, address, transport, kTimeout, retries, count);
        }));
        return result;
    }

    // Every entry PSWGetDeviceNext hands out, in order, until it returns 0.
    std::vector<Entry> read_all()
    {
        std::vector<Entry> entries;
        for (int guard = 0; guard < 100; ++guard) {
            char address[PSW_DEVICE_TEXT_SIZE];
            char model[PSW_DEVICE_TEXT_SIZE];
            char reserved[4] = {'x', 'x', 'x', 'x'};
            char oid[PSW_DEVICE_TEXT_SIZE];
            if (PSWGetDeviceNext(handle, address, model, reserved, oid) != 1) {
                break;
            }
            EXPECT_EQ(reserved[0], '\0');
            entries.push_back({address, model, oid});
        }
        return entries;
    }

    static std::set<Entry> ipv4_printers()
    {
        return {{lab->host_ipv4(0), kModel, kSupported},
                {lab->host_ipv4(1), kModel, kSupportedVariant},
                {lab->host_ipv4(2), kModel, kSupported}};
    }

    // The link-local address of host i's eth0, as an answer from it reads in the client:
    // with the client's interface as zone.
    static std::string link_local(int i, const std::string& client_interface)
    {
        const CommandResult r = lab->exec(lab->host(i), {"ip", "-6", "-o", "addr", "show", "dev",
                                                         "eth0", "scope", "link"});
        std::istringstream in(r.out);
        std::string word;
        while (in >> word) {
            if (word == "inet6" && in >> word) {
                return word.substr(0, word.find('/')) + "%" + client_interface;
            }
        }
        ADD_FAILURE() << "no link-local address on host " << i << ": " << r.describe();
        return "";
    }

    static std::set<Entry> ipv6_printers_on(const std::string& client_interface)
    {
        std::set<Entry> expected;
        if (client_interface == "eth1") {
            expected.insert({link_local(kSecondLinkHost, "eth1"), kModel, kSupported});
            return expected;
        }
        expected.insert({link_local(0, "eth0"), kModel, kSupported});
        expected.insert({link_local(1, "eth0"), kModel, kSupportedVariant});
        expected.insert({link_local(2, "eth0"), kModel, kSupported});
        return expected;
    }

    static std::set<Entry> as_set(const std::vector<Entry>& entries)
    {
        return std::set<Entry>(entries.begin(), entries.end());
    }

    PSWHandle handle = nullptr;
    static NetnsLab* lab;
    static SnmpsimAgent* agents[kHosts];
    static ::testing::AssertionResult set_up;
};

NetnsLab* DiscoveryNetworkTest::lab = nullptr;
SnmpsimAgent* DiscoveryNetworkTest::agents[kHosts] = {};
::testing::AssertionResult DiscoveryNetworkTest::set_up = ::testing::AssertionFailure();

TEST_F(DiscoveryNetworkTest, SubnetAndLimitedBroadcastListTheSupportedPrintersOnce)
{
    for (const std::string& text : {lab->broadcast_ipv4(), std::string("255.255.255.255")}) {
        int32_t count = -1;
        // Two sends: every printer answers twice, and is listed once.
        ASSERT_EQ(find(text.c_str(), PSW_TRANSPORT_UDP_IPV4, 1, &count), PSW_SUCCESS) << text;
        const std::vector<Entry> entries = read_all();
        EXPECT_EQ(count, 3) << text;
        EXPECT_EQ(entries.size(), 3u) << text;
        EXPECT_EQ(as_set(entries), ipv4_printers()) << text;
    }
}

TEST_F(DiscoveryNetworkTest, WithoutAddressTheLimitedBroadcastIsUsed)
{
    int32_t count = -1;
    ASSERT_EQ(find(nullptr, PSW_TRANSPORT_UDP_IPV4, 0, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(as_set(read_all()), ipv4_printers());
}

TEST_F(DiscoveryNetworkTest, PrintersAnswerOnlyTheCommunityTheyServe)
{
    ASSERT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_FIND, "public"), PSW_SUCCESS);
    int32_t count = -1;
    ASSERT_EQ(find(lab->broadcast_ipv4().c_str(), PSW_TRANSPORT_UDP_IPV4, 0, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(read_all().empty());
}

TEST_F(DiscoveryNetworkTest, FiltersNarrowTheList)
{
    const std::string broadcast = lab->broadcast_ipv4();
    int32_t count = -1;
    ASSERT_EQ(PSWFindAddFilter(handle, kSupportedVariant), PSW_SUCCESS);
    ASSERT_EQ(find(broadcast.c_str(), PSW_TRANSPORT_UDP_IPV4, 0, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(read_all(), (std::vector<Entry>{{lab->host_ipv4(1), kModel, kSupportedVariant}}));

    PSWFindClearFilter(handle);
    ASSERT_EQ(PSWFindAddFilter(handle, "1.3.6.1.4.1.253"), PSW_SUCCESS);
    ASSERT_EQ(find(broadcast.c_str(), PSW_TRANSPORT_UDP_IPV4, 0, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(read_all().empty());

    // A second filter that matches widens the list again; the other model stays out.
    ASSERT_EQ(PSWFindAddFilter(handle, "1.3.6.1.4.1.297"), PSW_SUCCESS);
    ASSERT_EQ(find(broadcast.c_str(), PSW_TRANSPORT_UDP_IPV4, 0, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(as_set(read_all()), ipv4_printers());
}

TEST_F(DiscoveryNetworkTest, EntriesComeCountTimesAndAgainAfterReset)
{
    int32_t count = -1;
    ASSERT_EQ(find(lab->broadcast_ipv4().c_str(), PSW_TRANSPORT_UDP_IPV4, 0, &count),
              PSW_SUCCESS);
    ASSERT_EQ(count, 3);
    const std::vector<Entry> first = read_all();
    EXPECT_EQ(first.size(), static_cast<size_t>(count)) << "1 exactly count times, then 0";
    char a[PSW_DEVICE_TEXT_SIZE], m[PSW_DEVICE_TEXT_SIZE], r[4], o[PSW_DEVICE_TEXT_SIZE];
    EXPECT_EQ(PSWGetDeviceNext(handle, a, m, r, o), 0) << "stays 0 at the end";
    PSWFindResetPosition(handle);
    EXPECT_EQ(read_all(), first) << "same entries, same order";
}

TEST_F(DiscoveryNetworkTest, AllNodesWithoutZoneAsksEveryLinkWithoutDefaultRoute)
{
    int32_t count = -1;
    ASSERT_EQ(find(nullptr, PSW_TRANSPORT_UDP_IPV6, 0, &count), PSW_SUCCESS);
    std::set<Entry> expected = ipv6_printers_on("eth0");
    expected.merge(ipv6_printers_on("eth1"));
    const std::vector<Entry> entries = read_all();
    EXPECT_EQ(count, 4);
    EXPECT_EQ(entries.size(), 4u);
    EXPECT_EQ(as_set(entries), expected);
}

TEST_F(DiscoveryNetworkTest, AllNodesWithZoneAsksThatLinkOnly)
{
    for (const std::string link : {"eth0", "eth1"}) {
        const std::string destination = "ff02::1%" + link;
        int32_t count = -1;
        ASSERT_EQ(find(destination.c_str(), PSW_TRANSPORT_UDP_IPV6, 0, &count), PSW_SUCCESS);
        const std::set<Entry> expected = ipv6_printers_on(link);
        EXPECT_EQ(count, static_cast<int32_t>(expected.size())) << destination;
        EXPECT_EQ(as_set(read_all()), expected) << destination;
    }
}

TEST_F(DiscoveryNetworkTest, AllNodesWithoutZoneFollowsTheDefaultRoute)
{
    const std::vector<std::string> route = {"ip", "-n", lab->client(), "-6", "route"};
    auto with = [&](std::vector<std::string> argv, std::initializer_list<std::string> rest) {
        argv.insert(argv.end(), rest);
        return argv;
    };
    ASSERT_TRUE(run_command(with(route, {"add", "default", "dev", "eth1"})).ok());
    int32_t count = -1;
    const int32_t result = find(nullptr, PSW_TRANSPORT_UDP_IPV6, 0, &count);
    const std::vector<Entry> entries = read_all();
    EXPECT_TRUE(run_command(with(route, {"del", "default", "dev", "eth1"})).ok());
    ASSERT_EQ(result, PSW_SUCCESS);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(as_set(entries), ipv6_printers_on("eth1"));
}

TEST_F(DiscoveryNetworkTest, AddressesOfAnotherTransportOrAnUnknownZoneAreRefused)
{
    int32_t count = -1;
    EXPECT_EQ(find("ff02::1%eth0", PSW_TRANSPORT_UDP_IPV4, 0, &count), PSW_ERR_PARAMETER);
    // A zone that names no interface makes the text no address: the parse failure itself.
    EXPECT_EQ(find("ff02::1%psw-no-such0", PSW_TRANSPORT_UDP_IPV6, 0, &count), PSW_ERR_FAILED);
}

}  // namespace
}  // namespace psw::test
