// The route choice of the IPv4 lookup on hand-made tables, and the local agent's failure paths
// when no table source can be loaded.
#include <gtest/gtest.h>

#include <sys/types.h>

#include <cstdio>
#include <initializer_list>

#include "core/factory.h"
#include "net/fake_module_loader.h"
#include "net/local_agent.h"
#include "support/log_capture.h"

namespace psw {
namespace {

constexpr uint32_t ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    return a << 24 | b << 16 | c << 8 | d;
}

struct Route {
    uint32_t destination;
    uint32_t mask;
    uint32_t interface_index;
};

void fill(PmcRouteTable& table, std::initializer_list<Route> routes)
{
    for (const Route& route : routes) {
        ASSERT_TRUE(table.push_back(
            {route.destination, route.mask, 0, kPmcRouteDirect, route.interface_index}));
    }
}

// Which interface a target reaches, 0 when no route fits.
uint32_t interface_toward(const PmcRouteTable& table, uint32_t target)
{
    const PmcRouteRecord* route = pmc_choose_route(table, target);
    return route != nullptr ? route->interface_index : 0;
}

TEST(RouteChoice, ExactThenLongestMaskThenDefault)
{
    PmcRouteTable table;
    fill(table, {
                    {ip(10, 0, 0, 0), ip(255, 0, 0, 0), 1},
                    {ip(10, 1, 0, 0), ip(255, 255, 0, 0), 2},
                    {ip(10, 1, 2, 0), ip(255, 255, 255, 0), 3},
                    {ip(10, 1, 2, 7), ip(255, 255, 255, 255), 4},
                    // Same prefix and mask as the /16 above: the earlier route stays.
                    {ip(10, 1, 0, 0), ip(255, 255, 0, 0), 5},
                    // An exact destination wins even over a longer matching mask.
                    {ip(10, 1, 2, 9), ip(255, 0, 0, 0), 6},
                    {0, 0, 7},
                    // A second default route is never reached.
                    {0, 0, 8},
                });
    struct Case {
        uint32_t target;
        uint32_t interface_index;
    } cases[] = {
        {ip(10, 9, 9, 9), 1},   // only the /8
        {ip(10, 1, 9, 9), 2},   // /16 over /8; equal masks keep the earlier
        {ip(10, 1, 2, 1), 3},   // /24
        {ip(10, 1, 2, 7), 4},   // host route
        {ip(10, 1, 2, 9), 6},   // exact destination beats the /24
        {ip(10, 1, 0, 0), 2},   // exact destination: the first route with it
        {ip(192, 0, 2, 1), 7},  // nothing else: the first default route
        {0, 7},                 // exact match of the default route's destination
    };
    for (const Case& c : cases) {
        EXPECT_EQ(interface_toward(table, c.target), c.interface_index) << std::hex << c.target;
    }
}

TEST(RouteChoice, NoDefaultRouteAndZeroMasks)
{
    PmcRouteTable table;
    // A mask of 0 with a non-zero destination matches everything but never wins the mask
    // comparison, and it is no default route either.
    fill(table, {{ip(172, 16, 0, 0), 0, 1}, {ip(172, 16, 0, 0), ip(255, 240, 0, 0), 2}});
    EXPECT_EQ(interface_toward(table, ip(172, 20, 1, 1)), 2U);
    EXPECT_EQ(interface_toward(table, ip(8, 8, 8, 8)), 0U);
    PmcRouteTable empty;
    EXPECT_EQ(pmc_choose_route(empty, ip(1, 2, 3, 4)), nullptr);
}

TEST(LocalAgent, WithoutAnyTableSource)
{
    test::FakeModuleLoader loader;
    loader.refuse_load(true);
    CPmcLocalAgent agent(loader);
    Result result = PSW_SUCCESS;
    EXPECT_EQ(agent.route_table(&result), nullptr);
    EXPECT_EQ(result, PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(agent.number_of_interfaces(&result), 0U);
    EXPECT_EQ(result, PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(agent.ensure_source(kPmcSourceAny), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(agent.ensure_source(3), PSW_ERR_PARAMETER);
    EXPECT_EQ(agent.ensure_source(-1), PSW_ERR_PARAMETER);
    EXPECT_EQ(agent.source_kind(), -1);
    EXPECT_EQ(loader.open_modules(), 0);

    OwnedPtr<IPmcNetworkAddress> target(create_address("10.1.2.3", 161, nullptr));
    ASSERT_TRUE(target);
    IPmcNetworkAddress* out = nullptr;
    EXPECT_EQ(pmc_route_lookup(agent, target.get(), &out), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(out, nullptr);
}

TEST(LocalAgent, ArgumentsAndProtocolsRefusedBeforeAnyTableIsRead)
{
    test::FakeModuleLoader loader;
    CPmcLocalAgent agent(loader);
    OwnedPtr<IPmcNetworkAddress> ipv4(create_address("10.1.2.3", 161, nullptr));
    OwnedPtr<IPmcNetworkAddress> ipv6(create_address("fd00::1", 161, nullptr));
    OwnedPtr<IPmcNetworkAddress> ipx(create_empty_address(nullptr));
    OwnedPtr<IPmcNetworkAddress> wrong(create_empty_address(nullptr));
    ASSERT_TRUE(ipv4 && ipv6 && ipx && wrong);
    ASSERT_EQ(ipx->set("00000001:0123456789ab", IPmcNetworkAddress::kIpx, 36879), PSW_SUCCESS);
    ASSERT_EQ(wrong->set("fd00::1", IPmcNetworkAddress::kUdpIpv4, 161), PSW_SUCCESS);
    IPmcNetworkAddress* out = nullptr;
    EXPECT_EQ(pmc_route_lookup(agent, nullptr, &out), PSW_ERR_PARAMETER);
    EXPECT_EQ(pmc_route_lookup(agent, ipv4.get(), nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(pmc_route_lookup(agent, ipv6.get(), &out), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(pmc_route_lookup(agent, ipx.get(), &out), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(pmc_route_lookup(agent, wrong.get(), &out), PSW_ERR_PARAMETER);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(loader.loads(), 0);
}

TEST(LocalAgent, MissingEntryPointFallsBackThenFails)
{
    // Without the routing socket's send function the text tables serve; without a function of
    // theirs as well, nothing does and every module is released again.
    test::LogCapture& log = test::LogCapture::attach("socket");
    log.clear();
    test::FakeModuleLoader loader;
    loader.hide("sendto");
    {
        CPmcLocalAgent agent(loader);
        EXPECT_EQ(agent.ensure_source(kPmcSourceRoutingSocket), PSW_ERR_NOT_AVAILABLE);
        EXPECT_EQ(agent.ensure_source(kPmcSourceAny), PSW_SUCCESS);
        EXPECT_EQ(agent.source_kind(), kPmcSourceTextTables);
        EXPECT_EQ(loader.open_modules(), 1);
        EXPECT_TRUE(log.contains("[CPmcLocalAgent::ensure_source] fail GetProcAddress \"sendto\""));
    }
    EXPECT_EQ(loader.open_modules(), 0);
    loader.hide("getifaddrs");
    CPmcLocalAgent agent(loader);
    EXPECT_EQ(agent.ensure_source(kPmcSourceAny), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(agent.source_kind(), -1);
    EXPECT_EQ(loader.open_modules(), 0);
}

// Stand-ins for C library functions, offered through the fake loader.
FILE* open_nothing(const char*, const char*)
{
    return nullptr;
}

ssize_t receive_nothing(int, void*, size_t, int)
{
    return -1;
}

TEST(LocalAgent, PreferredSourceIsTheOnlyOneLoaded)
{
    test::FakeModuleLoader loader;
    CPmcLocalAgent agent(loader);
    EXPECT_EQ(agent.ensure_source(kPmcSourceAny), PSW_SUCCESS);
    EXPECT_EQ(agent.source_kind(), kPmcSourceRoutingSocket);
    EXPECT_EQ(loader.loads(), 1);
    EXPECT_FALSE(loader.looked_up("fopen"));
    // Once a source is present, no other kind is loaded.
    EXPECT_EQ(agent.ensure_source(kPmcSourceTextTables), PSW_SUCCESS);
    EXPECT_EQ(agent.source_kind(), kPmcSourceRoutingSocket);
    EXPECT_EQ(loader.loads(), 1);
}

TEST(LocalAgent, FallbackThatCannotStartLeavesNoSource)
{
    // The text tables start only when the route table opens.
    test::FakeModuleLoader loader;
    loader.hide("sendto");
    loader.replace("fopen", reinterpret_cast<void*>(&open_nothing));
    CPmcLocalAgent agent(loader);
    EXPECT_EQ(agent.ensure_source(kPmcSourceAny), PSW_ERR_NOT_AVAILABLE);
    Result result = PSW_SUCCESS;
    EXPECT_EQ(agent.ip_address_table(&result), nullptr);
    EXPECT_EQ(result, PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(agent.interface_table(&result), nullptr);
    EXPECT_EQ(result, PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(loader.open_modules(), 0);
}

TEST(LocalAgent, FailingTableCallIsNotAvailable)
{
    test::FakeModuleLoader loader;
    loader.replace("recv", reinterpret_cast<void*>(&receive_nothing));
    CPmcLocalAgent agent(loader);
    EXPECT_EQ(agent.refresh_route_table(), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(agent.routes(), nullptr);
    Result result = PSW_SUCCESS;
    EXPECT_EQ(agent.interface_table(&result), nullptr);
    EXPECT_EQ(result, PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(agent.number_of_interfaces(&result), 0U);
    EXPECT_EQ(result, PSW_ERR_NOT_AVAILABLE);
    OwnedPtr<IPmcNetworkAddress> target(create_address("10.1.2.3", 161, nullptr));
    ASSERT_TRUE(target);
    IPmcNetworkAddress* out = nullptr;
    EXPECT_EQ(pmc_route_lookup(agent, target.get(), &out), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(out, nullptr);
}

}  // namespace
}  // namespace psw
