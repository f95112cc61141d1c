// What the Windows side of the platform layer reads from Wine's IP Helper and MIB-II extension
// agent, compared with what Linux says about the same machine. tools/ci/windows.sh passes the
// Linux view in PSW_LINUX_IPV4 ("address/mask ..." from `ip -4 addr`); Wine builds its tables
// from the same kernel, so every Linux address must be there with its mask.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "core/platform/module.h"
#include "net/adapter_list.h"
#include "net/local_agent.h"
#include "net/route_tables.h"

namespace psw {
namespace {

std::string dotted(uint32_t host_order)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", host_order >> 24, (host_order >> 16) & 0xFF,
                  (host_order >> 8) & 0xFF, host_order & 0xFF);
    return text;
}

using AddressSet = std::set<std::pair<std::string, std::string>>;  // address, mask

AddressSet linux_addresses()
{
    AddressSet out;
    const char* text = std::getenv("PSW_LINUX_IPV4");
    std::istringstream words(text != nullptr ? text : "");
    std::string word;
    while (words >> word) {
        const size_t slash = word.find('/');
        if (slash != std::string::npos) {
            out.emplace(word.substr(0, slash), word.substr(slash + 1));
        }
    }
    return out;
}

struct SourceTables {
    AddressSet addresses;
    std::set<std::pair<std::string, std::string>> routes;  // destination, mask
};

// Both tables of one source; a failure to load or read fails the test.
SourceTables read_source(PmcTableSourceKind kind, const char* name)
{
    SourceTables out;
    Result result = PSW_SUCCESS;
    std::unique_ptr<IPmcTableSource> source(
        pmc_create_table_source(pmc_system_module_loader(), kind, &result));
    EXPECT_NE(source, nullptr) << name << " did not load: " << result;
    if (!source) {
        return out;
    }
    std::unique_ptr<PmcIpAddressTable> addresses(source->ip_address_table(&result));
    EXPECT_NE(addresses, nullptr) << name << " address table: " << result;
    if (addresses) {
        for (const PmcIpAddressRecord& row : *addresses) {
            out.addresses.emplace(dotted(row.address), dotted(row.mask));
            std::printf("[%s] address %s mask %s interface %u\n", name, dotted(row.address).c_str(),
                        dotted(row.mask).c_str(), row.interface_index);
        }
    }
    std::unique_ptr<PmcRouteTable> routes(source->route_table(&result));
    EXPECT_NE(routes, nullptr) << name << " route table: " << result;
    if (routes) {
        for (const PmcRouteRecord& row : *routes) {
            out.routes.emplace(dotted(row.destination), dotted(row.mask));
            std::printf("[%s] route %s mask %s via %s interface %u\n", name,
                        dotted(row.destination).c_str(), dotted(row.mask).c_str(),
                        dotted(row.next_hop).c_str(), row.interface_index);
        }
    }
    return out;
}

class PlatformTablesWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_linux = linux_addresses();
        if (m_linux.empty()) {
            GTEST_SKIP() << "PSW_LINUX_IPV4 gives no Linux view to compare with";
        }
        for (const auto& [address, mask] : m_linux) {
            std::printf("[linux] address %s mask %s\n", address.c_str(), mask.c_str());
        }
    }

    AddressSet m_linux;
};

TEST_F(PlatformTablesWindowsTest, IpHelperHoldsEveryLinuxAddressWithItsMask)
{
    const SourceTables helper = read_source(PmcTableSourceKind::kRoutingSocket, "iphlpapi");
    for (const auto& entry : m_linux) {
        EXPECT_EQ(helper.addresses.count(entry), 1u) << entry.first << "/" << entry.second;
    }
}

// The extension agent is the fallback source: walked over MIB-II it must give what IP Helper
// gives (it reads the same system tables), so the walk neither stops early nor runs on.
TEST_F(PlatformTablesWindowsTest, ExtensionAgentAgreesWithIpHelper)
{
    const SourceTables helper = read_source(PmcTableSourceKind::kRoutingSocket, "iphlpapi");
    const SourceTables agent = read_source(PmcTableSourceKind::kTextTables, "inetmib1");
    EXPECT_EQ(agent.addresses, helper.addresses);
    EXPECT_EQ(agent.routes, helper.routes);
}

TEST_F(PlatformTablesWindowsTest, AdapterListShowsTheLinuxAddresses)
{
    CPmcIpHelpLibrary& library = pmc_ip_help_library();
    ASSERT_EQ(library.load_ip_helper(), PSW_SUCCESS);
    PmcVector<PmcAdapter> adapters;
    ASSERT_EQ(pmc_read_adapters(library.api(), &adapters), PSW_SUCCESS);
    std::set<std::string> linux_texts;
    for (const auto& entry : m_linux) {
        linux_texts.insert(entry.first);
    }
    bool loopback_seen = false;
    for (const PmcAdapter& adapter : adapters) {
        std::printf("[adapter] %s index %u %s ipv4 '%s' ipv6 %zu\n", adapter.name, adapter.index,
                    adapter.loopback ? "loopback" : "link", adapter.ipv4, adapter.ipv6_count);
        if (adapter.ipv4[0] != '\0') {
            EXPECT_EQ(linux_texts.count(adapter.ipv4), 1u) << adapter.ipv4 << " unknown to Linux";
        }
        if (adapter.loopback) {
            loopback_seen = true;
            EXPECT_STREQ(adapter.ipv4, "127.0.0.1");
        }
    }
    EXPECT_TRUE(loopback_seen);
}

}  // namespace
}  // namespace psw
