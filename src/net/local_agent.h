// The local agent: the machine's own route and IPv4 address tables behind one process-wide
// object, and the IPv4 route lookup that picks the local address toward a target.
//
// The agent loads one table source on first need (the routing-socket source, or the text-table
// source when that cannot be loaded) and keeps it until it ends. Lookups run under the agent's
// lookup lock; loading the source also takes its own lock.
#pragma once

#include <cstdint>

#include "core/platform/lock.h"
#include "core/platform/module.h"
#include "core/result.h"
#include "net/network_address.h"
#include "net/route_tables.h"

namespace psw {

// Source kinds of ensure_source().
constexpr int kPmcSourceAny = 0;  // the routing socket, else the text tables
constexpr int kPmcSourceTextTables = 1;
constexpr int kPmcSourceRoutingSocket = 2;

class CPmcLocalAgent {
public:
    // `loader` must outlive the agent.
    explicit CPmcLocalAgent(PmcModuleLoader& loader) noexcept;
    // Drops the cached tables and the source (which releases its module).
    ~CPmcLocalAgent();
    CPmcLocalAgent(const CPmcLocalAgent&) = delete;
    CPmcLocalAgent& operator=(const CPmcLocalAgent&) = delete;

    // 0 when a source is present or was loaded; PSW_ERR_PARAMETER for a kind other than the
    // three above; PSW_ERR_NOT_AVAILABLE when no source of that kind loads; PSW_ERR_NO_MEMORY.
    Result ensure_source(int kind) noexcept;
    // The kind of the loaded source, or -1 without one.
    int source_kind() const noexcept { return m_kind; }

    // Forwarded to the source: new tables the caller owns (delete them); without a source null
    // (0 for the count) with PSW_ERR_NOT_INITIALIZED, else the source's code.
    PmcRouteTable* route_table(Result* result) noexcept;
    uint32_t number_of_interfaces(Result* result) noexcept;
    PmcInterfaceTable* interface_table(Result* result) noexcept;
    PmcIpAddressTable* ip_address_table(Result* result) noexcept;

    // Drops both cached tables, makes sure a source of kind 0 is loaded and reads the route table
    // again. 0, or the code of ensure_source() or of the route table.
    Result refresh_route_table() noexcept;
    // Reads the IPv4 address table unless it is cached already. 0 or the source's code.
    Result read_ip_address_table() noexcept;
    // Drops both cached tables; the source stays loaded.
    void drop_tables() noexcept;

    // The cached tables (null when not read).
    const PmcRouteTable* routes() const noexcept { return m_routes; }
    const PmcIpAddressTable* addresses() const noexcept { return m_addresses; }

    // Serialises route lookups.
    PmcLock& lookup_lock() noexcept { return m_lookup_lock; }

private:
    Result load(int kind) noexcept;

    PmcModuleLoader& m_loader;
    PmcLock m_lock;
    PmcLock m_lookup_lock;
    IPmcTableSource* m_source = nullptr;
    int m_kind = -1;
    PmcRouteTable* m_routes = nullptr;
    PmcIpAddressTable* m_addresses = nullptr;
};

// The process-wide agent over the system loader, built on first use.
CPmcLocalAgent& pmc_local_agent() noexcept;

// The route toward `address` (host byte order) that the lookup below takes, or null when none
// fits. Masks are compared as unsigned numbers in host order.
const PmcRouteRecord* pmc_choose_route(const PmcRouteTable& routes, uint32_t address) noexcept;

// The local IPv4 address toward `target`, under the agent's lookup lock: a route whose
// destination is the target's address, else the matching route with the longest mask (on equal
// masks the earlier route; a mask of 0 never matches here), else the default route (destination
// 0). `*out` receives a new address (owned by the caller) with the dotted address of the chosen
// route's interface, the target's protocol and port. PSW_ERR_PARAMETER for a null argument, a
// target text that is not an IPv4 address, or a chosen interface without an address;
// PSW_ERR_UNSUPPORTED for a protocol other than UDP over IPv4; PSW_ERR_FAILED when no route
// fits; the codes of refresh_route_table() and read_ip_address_table(); PSW_ERR_NO_MEMORY.
Result pmc_route_lookup(CPmcLocalAgent& agent, const IPmcNetworkAddress* target,
                        IPmcNetworkAddress** out) noexcept;

}  // namespace psw
