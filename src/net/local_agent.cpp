#include "net/local_agent.h"

#include <cstdio>

#include "core/factory.h"
#include "net/address_text.h"

namespace psw {

CPmcLocalAgent::CPmcLocalAgent(PmcModuleLoader& loader) noexcept : m_loader(loader)
{
}

CPmcLocalAgent::~CPmcLocalAgent()
{
    drop_tables();
    delete m_source;
}

Result CPmcLocalAgent::load(int kind) noexcept
{
    Result result = PSW_SUCCESS;
    IPmcTableSource* source =
        pmc_create_table_source(m_loader,
                                kind == kPmcSourceRoutingSocket ? PmcTableSourceKind::kRoutingSocket
                                                                : PmcTableSourceKind::kTextTables,
                                &result);
    if (source != nullptr) {
        m_source = source;
        m_kind = kind;
    }
    return result;
}

Result CPmcLocalAgent::ensure_source(int kind) noexcept
{
    PmcLockGuard guard(m_lock);
    if (m_source != nullptr) {
        return PSW_SUCCESS;
    }
    switch (kind) {
        case kPmcSourceAny: {
            const Result preferred = load(kPmcSourceRoutingSocket);
            return preferred == PSW_SUCCESS ? preferred : load(kPmcSourceTextTables);
        }
        case kPmcSourceTextTables:
        case kPmcSourceRoutingSocket: return load(kind);
        default: return PSW_ERR_PARAMETER;
    }
}

PmcRouteTable* CPmcLocalAgent::route_table(Result* result) noexcept
{
    if (m_source == nullptr) {
        *result = PSW_ERR_NOT_INITIALIZED;
        return nullptr;
    }
    return m_source->route_table(result);
}

uint32_t CPmcLocalAgent::number_of_interfaces(Result* result) noexcept
{
    if (m_source == nullptr) {
        *result = PSW_ERR_NOT_INITIALIZED;
        return 0;
    }
    return m_source->number_of_interfaces(result);
}

PmcInterfaceTable* CPmcLocalAgent::interface_table(Result* result) noexcept
{
    if (m_source == nullptr) {
        *result = PSW_ERR_NOT_INITIALIZED;
        return nullptr;
    }
    return m_source->interface_table(result);
}

PmcIpAddressTable* CPmcLocalAgent::ip_address_table(Result* result) noexcept
{
    if (m_source == nullptr) {
        *result = PSW_ERR_NOT_INITIALIZED;
        return nullptr;
    }
    return m_source->ip_address_table(result);
}

Result CPmcLocalAgent::refresh_route_table() noexcept
{
    drop_tables();
    Result result = ensure_source(kPmcSourceAny);
    if (result != PSW_SUCCESS) {
        return result;
    }
    m_routes = route_table(&result);
    return result;
}

Result CPmcLocalAgent::read_ip_address_table() noexcept
{
    if (m_addresses != nullptr) {
        return PSW_SUCCESS;
    }
    Result result = PSW_SUCCESS;
    m_addresses = ip_address_table(&result);
    return result;
}

void CPmcLocalAgent::drop_tables() noexcept
{
    delete m_routes;
    m_routes = nullptr;
    delete m_addresses;
    m_addresses = nullptr;
}

CPmcLocalAgent& pmc_local_agent() noexcept
{
    static CPmcLocalAgent agent(pmc_system_module_loader());
    return agent;
}

const PmcRouteRecord* pmc_choose_route(const PmcRouteTable& routes, uint32_t address) noexcept
{
    for (const PmcRouteRecord& route : routes) {
        if (route.destination == address) {
            return &route;
        }
    }
    const PmcRouteRecord* best = nullptr;
    uint32_t best_mask = 0;
    for (const PmcRouteRecord& route : routes) {
        // Strictly larger only: on equal masks the earlier route stays, and mask 0 never wins.
        if ((route.destination & route.mask) == (address & route.mask) && route.mask > best_mask) {
            best = &route;
            best_mask = route.mask;
        }
    }
    if (best != nullptr) {
        return best;
    }
    for (const PmcRouteRecord& route : routes) {
        if (route.destination == 0) {
            return &route;
        }
    }
    return nullptr;
}

namespace {

// Drops the agent's tables when the lookup ends, however it ends.
class CPmcTablesInUse {
public:
    explicit CPmcTablesInUse(CPmcLocalAgent& agent) noexcept : m_agent(agent) {}
    ~CPmcTablesInUse() { m_agent.drop_tables(); }
    CPmcTablesInUse(const CPmcTablesInUse&) = delete;
    CPmcTablesInUse& operator=(const CPmcTablesInUse&) = delete;

private:
    CPmcLocalAgent& m_agent;
};

Result local_address_of(CPmcLocalAgent& agent, const PmcRouteRecord& route, uint32_t* out) noexcept
{
    const Result result = agent.read_ip_address_table();
    if (result != PSW_SUCCESS) {
        return result;
    }
    for (const PmcIpAddressRecord& record : *agent.addresses()) {
        if (record.interface_index == route.interface_index) {
            *out = record.address;
            return PSW_SUCCESS;
        }
    }
    return PSW_ERR_PARAMETER;
}

}  // namespace

Result pmc_route_lookup(CPmcLocalAgent& agent, const IPmcNetworkAddress* target,
                        IPmcNetworkAddress** out) noexcept
{
    if (target == nullptr || out == nullptr || target->text() == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    if (target->protocol() != IPmcNetworkAddress::kUdpIpv4) {
        return PSW_ERR_UNSUPPORTED;
    }
    uint8_t bytes[4];
    if (!pmc_parse_ipv4_text(target->text(), bytes)) {
        return PSW_ERR_PARAMETER;
    }
    const uint32_t address = static_cast<uint32_t>(bytes[0]) << 24 |
                             static_cast<uint32_t>(bytes[1]) << 16 |
                             static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];

    PmcLockGuard guard(agent.lookup_lock());
    CPmcTablesInUse tables(agent);
    Result result = agent.refresh_route_table();
    if (result != PSW_SUCCESS) {
        return result;
    }
    const PmcRouteRecord* route = pmc_choose_route(*agent.routes(), address);
    if (route == nullptr) {
        return PSW_ERR_FAILED;
    }
    uint32_t local = 0;
    result = local_address_of(agent, *route, &local);
    if (result != PSW_SUCCESS) {
        return result;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (local >> 24) & 0xFFU, (local >> 16) & 0xFFU,
                  (local >> 8) & 0xFFU, local & 0xFFU);
    return pmc_new_address_like(text, *target, out);
}

}  // namespace psw
