// The local route, address and interface tables and the IPv4 route lookup, on a test host made
// in a network namespace: three veth links with known hardware and IPv4 addresses and about
// forty routes (host routes, overlapping prefixes, equal masks with different metrics, gateway
// routes, a default route). Nothing leaves the namespace; the lookup sends nothing at all.
#include <gtest/gtest.h>
#include <net/if.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/factory.h"
#include "net/fake_module_loader.h"
#include "net/local_agent.h"
#include "support/netns.h"
#include "support/peer_requirements.h"

namespace psw {
namespace {

using test::NetnsLab;
using test::Peer;

constexpr uint32_t ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    return a << 24 | b << 16 | c << 8 | d;
}

std::vector<std::string> words(const std::string& command)
{
    std::istringstream in(command);
    std::vector<std::string> out;
    for (std::string word; in >> word;) {
        out.push_back(word);
    }
    return out;
}

class RouteTablesNamespaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::netns);
        ASSERT_TRUE(lab.create());
        run("link del eth0");  // the lab's own link: only the links below remain
        const std::string links[] = {"a0", "b0", "c0"};
        for (size_t i = 0; i < 3; ++i) {
            const std::string& link = links[i];
            run("link add " + link + " type veth peer name " + link + "p");
            run("link set " + link + " address 02:17:00:00:00:0" + std::to_string(i + 1));
            run("link set " + link + " up");
            run("link set " + link + "p up");
        }
        run("addr add 10.20.0.1/16 broadcast 10.20.255.255 dev a0");
        run("addr add 10.30.1.1/24 broadcast 10.30.1.255 dev b0");
        run("addr add 192.168.50.1/24 dev c0");
        run("addr add 192.168.50.2/24 dev c0");  // a second address: the first one is used
        // Overlapping prefixes and host routes.
        run("route add 172.16.0.0/12 dev a0");
        run("route add 172.16.0.0/16 dev b0");
        run("route add 172.16.5.0/24 dev c0");
        run("route add 172.16.5.5/32 dev b0");
        run("route add 10.20.5.5/32 dev c0");
        // Equal prefix and mask: the route with the lower metric is listed first and wins.
        run("route add 10.40.0.0/16 dev b0 metric 10");
        run("route add 10.40.0.0/16 dev c0 metric 20");
        // Through gateways.
        run("route add 10.50.0.0/16 via 10.30.1.254 dev b0");
        run("route add 10.51.0.0/16 via 192.168.50.254 dev c0");
        // A link without an IPv4 address.
        run("route add 10.99.0.0/16 dev a0p");
        run("route add default via 10.20.0.254 dev a0");
        for (int n = 0; n < 26; ++n) {
            run("route add 10.60." + std::to_string(n) + ".0/24 dev " + links[n % 3]);
        }
        ASSERT_TRUE(lab.run_in(lab.client(), [&] {
            for (size_t i = 0; i < 3; ++i) {
                index[i] = if_nametoindex(links[i].c_str());
            }
            index_a0p = if_nametoindex("a0p");
        }));
    }

    void run(const std::string& command)
    {
        std::vector<std::string> argv = {"ip"};
        for (std::string& word : words(command)) {
            argv.push_back(word);
        }
        const auto result = lab.exec(lab.client(), argv);
        ASSERT_TRUE(result.ok()) << command << ": " << result.describe();
    }

    // The local address the lookup gives toward `target`, or the failure code as text.
    std::string lookup(CPmcLocalAgent& agent, const char* target)
    {
        std::string answer;
        EXPECT_TRUE(lab.run_in(lab.client(), [&] {
            OwnedPtr<IPmcNetworkAddress> address(create_address(target, 161, nullptr));
            ASSERT_TRUE(address);
            IPmcNetworkAddress* out = nullptr;
            const Result result = pmc_route_lookup(agent, address.get(), &out);
            OwnedPtr<IPmcNetworkAddress> local(out);
            if (result != PSW_SUCCESS) {
                answer = "error " + std::to_string(result);
                return;
            }
            ASSERT_TRUE(local);
            EXPECT_EQ(local->port(), 161);
            EXPECT_EQ(local->protocol(), IPmcNetworkAddress::kUdpIpv4);
            answer = local->text();
        }));
        return answer;
    }

    template <class Table>
    std::unique_ptr<Table> read(IPmcTableSource& source,
                                Table* (IPmcTableSource::*operation)(Result*) noexcept)
    {
        std::unique_ptr<Table> table;
        EXPECT_TRUE(lab.run_in(lab.client(), [&] {
            Result result = PSW_ERR_FAILED;
            table.reset((source.*operation)(&result));
            EXPECT_EQ(result, PSW_SUCCESS);
        }));
        return table;
    }

    NetnsLab lab{{.hosts = 0, .client_default_route = false}};
    uint32_t index[3] = {};
    uint32_t index_a0p = 0;
};

TEST_F(RouteTablesNamespaceTest, BestLocalAddressFollowsEachRule)
{
    struct Case {
        const char* target;
        const char* local;
    } cases[] = {
        {"10.20.7.7", "10.20.0.1"},      // connected /16 on a0
        {"10.20.5.5", "192.168.50.1"},   // host route inside it, on c0 (its first address)
        {"172.17.0.1", "10.20.0.1"},     // only the /12
        {"172.16.9.9", "10.30.1.1"},     // the /16 over the /12
        {"172.16.5.9", "192.168.50.1"},  // the /24 over both
        {"172.16.5.5", "10.30.1.1"},     // the host route over all three
        {"10.40.3.3", "10.30.1.1"},      // equal masks: the lower metric, listed first
        {"10.50.1.1", "10.30.1.1"},      // through a gateway on b0
        {"10.51.1.1", "192.168.50.1"},   // through a gateway on c0
        {"10.60.4.1", "10.30.1.1"},      // 10.60.4.0/24 on b0
        {"10.60.23.200", "192.168.50.1"},
        {"10.30.1.0", "10.30.1.1"},  // the connected route's destination itself
        {"8.8.8.8", "10.20.0.1"},    // only the default route
        {"10.99.1.1", "error -2"},   // the chosen link has no IPv4 address
    };
    CPmcLocalAgent agent(pmc_system_module_loader());
    for (const Case& c : cases) {
        EXPECT_EQ(lookup(agent, c.target), c.local) << c.target;
    }
    EXPECT_EQ(agent.source_kind(), kPmcSourceRoutingSocket);
    // The tables are dropped after each lookup; the source stays.
    EXPECT_EQ(agent.routes(), nullptr);
    EXPECT_EQ(agent.addresses(), nullptr);

    // Without a default route an unmatched target has no route at all.
    run("route del default");
    EXPECT_EQ(lookup(agent, "8.8.8.8"), "error -1");
}

TEST_F(RouteTablesNamespaceTest, FallbackSourceGivesTheSameAnswers)
{
    test::FakeModuleLoader loader;
    loader.hide("recv");  // the routing socket cannot be bound
    CPmcLocalAgent agent(loader);
    EXPECT_EQ(lookup(agent, "172.16.5.5"), "10.30.1.1");
    EXPECT_EQ(lookup(agent, "10.40.3.3"), "10.30.1.1");
    EXPECT_EQ(lookup(agent, "8.8.8.8"), "10.20.0.1");
    EXPECT_EQ(agent.source_kind(), kPmcSourceTextTables);
}

TEST_F(RouteTablesNamespaceTest, BothSourcesGiveIdenticalTables)
{
    Result result = PSW_SUCCESS;
    std::unique_ptr<IPmcTableSource> netlink(pmc_create_table_source(
        pmc_system_module_loader(), PmcTableSourceKind::kRoutingSocket, &result));
    ASSERT_TRUE(netlink) << result;
    std::unique_ptr<IPmcTableSource> text(pmc_create_table_source(
        pmc_system_module_loader(), PmcTableSourceKind::kTextTables, &result));
    ASSERT_TRUE(text) << result;

    auto routes = read(*netlink, &IPmcTableSource::route_table);
    auto text_routes = read(*text, &IPmcTableSource::route_table);
    ASSERT_TRUE(routes && text_routes);
    // 11 named routes, 26 numbered ones, the connected prefixes of a0, b0 and c0.
    EXPECT_EQ(routes->size(), 40U);
    ASSERT_EQ(routes->size(), text_routes->size());
    bool gateway_seen = false;
    for (size_t i = 0; i < routes->size(); ++i) {
        const PmcRouteRecord& a = (*routes)[i];
        const PmcRouteRecord& b = (*text_routes)[i];
        EXPECT_EQ(a.destination, b.destination) << i;
        EXPECT_EQ(a.mask, b.mask) << i;
        EXPECT_EQ(a.next_hop, b.next_hop) << i;
        EXPECT_EQ(a.type, b.type) << i;
        EXPECT_EQ(a.interface_index, b.interface_index) << i;
        if (a.destination == ip(10, 50, 0, 0)) {
            gateway_seen = true;
            EXPECT_EQ(a.mask, ip(255, 255, 0, 0));
            EXPECT_EQ(a.next_hop, ip(10, 30, 1, 254));
            EXPECT_EQ(a.type, kPmcRouteIndirect);
            EXPECT_EQ(a.interface_index, index[1]);
        }
    }
    EXPECT_TRUE(gateway_seen);

    auto addresses = read(*netlink, &IPmcTableSource::ip_address_table);
    auto text_addresses = read(*text, &IPmcTableSource::ip_address_table);
    ASSERT_TRUE(addresses && text_addresses);
    ASSERT_EQ(addresses->size(), 5U);  // loopback, a0, b0, c0 twice
    ASSERT_EQ(addresses->size(), text_addresses->size());
    for (size_t i = 0; i < addresses->size(); ++i) {
        const PmcIpAddressRecord& a = (*addresses)[i];
        const PmcIpAddressRecord& b = (*text_addresses)[i];
        EXPECT_EQ(a.interface_index, b.interface_index) << i;
        EXPECT_EQ(a.address, b.address) << i;
        EXPECT_EQ(a.mask, b.mask) << i;
        EXPECT_EQ(a.broadcast, b.broadcast) << i;
        if (a.address == ip(10, 20, 0, 1)) {
            EXPECT_EQ(a.interface_index, index[0]);
            EXPECT_EQ(a.mask, ip(255, 255, 0, 0));
            EXPECT_EQ(a.broadcast, ip(10, 20, 255, 255));
        }
    }

    auto interfaces = read(*netlink, &IPmcTableSource::interface_table);
    auto text_interfaces = read(*text, &IPmcTableSource::interface_table);
    ASSERT_TRUE(interfaces && text_interfaces);
    ASSERT_EQ(interfaces->size(), 7U);  // lo and three veth pairs
    ASSERT_EQ(interfaces->size(), text_interfaces->size());
    for (size_t i = 0; i < interfaces->size(); ++i) {
        const PmcInterfaceRecord& a = (*interfaces)[i];
        const PmcInterfaceRecord& b = (*text_interfaces)[i];
        EXPECT_STREQ(a.description, b.description) << i;
        EXPECT_EQ(a.interface_index, b.interface_index) << i;
        EXPECT_EQ(a.interface_type, b.interface_type) << i;
    }
    EXPECT_STREQ((*interfaces)[0].description, "lo");
    EXPECT_EQ((*interfaces)[0].interface_type, kPmcIfTypeLoopback);
    EXPECT_EQ((*interfaces)[1].interface_type, kPmcIfTypeEthernet);
    ASSERT_TRUE(lab.run_in(lab.client(), [&] {
        Result count_result = PSW_ERR_FAILED;
        EXPECT_EQ(netlink->number_of_interfaces(&count_result), 7U);
        EXPECT_EQ(count_result, PSW_SUCCESS);
        EXPECT_EQ(text->number_of_interfaces(&count_result), 7U);
        EXPECT_EQ(count_result, PSW_SUCCESS);
    }));
}

}  // namespace
}  // namespace psw
