// The two table sources of Windows: IP Helper ("iphlpapi.dll", preferred) and the MIB-II
// extension agent ("inetmib1.dll", queried in-process with get-next walks). Both are bound at
// run time and deliver addresses and masks in host byte order.
#include <winsock2.h>
#include <ws2tcpip.h>
// (iphlpapi.h and snmp.h after the socket headers)
#include <iphlpapi.h>
#include <snmp.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "core/factory.h"
#include "log/log_channel.h"
#include "net/route_tables.h"
#include "net/table_source_factory.h"

namespace psw {

namespace {

constexpr char kIpHelperModule[] = "iphlpapi.dll";
constexpr char kExtensionAgentModule[] = "inetmib1.dll";
constexpr unsigned long kInsufficientBuffer = 122;  // ERROR_INSUFFICIENT_BUFFER
constexpr BYTE kGetNext = 0xA1;
// A walk never reads more rows than this (a table source that does not advance).
constexpr size_t kMaxWalkRows = 65536;

uint32_t host_order(DWORD network) noexcept
{
    uint8_t bytes[4];
    std::memcpy(bytes, &network, sizeof bytes);
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

uint32_t broadcast_of(uint32_t address, uint32_t mask, bool has_broadcast) noexcept
{
    return has_broadcast ? (address | ~mask) : 0;
}

template <class Table>
Table* new_table(Result* result) noexcept
{
    Table* table = pmc_new<Table>();
    *result = table != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    return table;
}

template <class Table>
Table* hand_over(std::unique_ptr<Table>& table, Result made, Result* result) noexcept
{
    *result = made;
    return made == PSW_SUCCESS ? table.release() : nullptr;
}

using CPmcModuleSource = CPmcModuleTableSource;

// IP Helper: each table is asked for its size first, then read into a buffer of that size.
class CPmcIpHelperSource final : public CPmcModuleSource {
public:
    using CPmcModuleSource::CPmcModuleSource;

    bool bind_api() noexcept
    {
        return bind_entry("GetIpForwardTable", &m_pGetIpForwardTable) &&
               bind_entry("GetNumberOfInterfaces", &m_pGetNumberOfInterfaces) &&
               bind_entry("GetIfTable", &m_pGetIfTable) &&
               bind_entry("GetIpAddrTable", &m_pGetIpAddrTable);
    }

    PmcRouteTable* route_table(Result* result) noexcept override
    {
        std::unique_ptr<uint64_t[]> buffer;
        const Result read = read_table(m_pGetIpForwardTable, &buffer);
        if (read != PSW_SUCCESS) {
            *result = read;
            return nullptr;
        }
        std::unique_ptr<PmcRouteTable> table(new_table<PmcRouteTable>(result));
        if (!table) {
            return nullptr;
        }
        const auto* rows = reinterpret_cast<const MIB_IPFORWARDTABLE*>(buffer.get());
        Result made = PSW_SUCCESS;
        for (DWORD i = 0; i < rows->dwNumEntries && made == PSW_SUCCESS; ++i) {
            const MIB_IPFORWARDROW& row = rows->table[i];
            const PmcRouteRecord record{
                host_order(row.dwForwardDest), host_order(row.dwForwardMask),
                host_order(row.dwForwardNextHop), static_cast<int32_t>(row.dwForwardType),
                static_cast<uint32_t>(row.dwForwardIfIndex)};
            made = table->push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
        }
        return hand_over(table, made, result);
    }

    uint32_t number_of_interfaces(Result* result) noexcept override
    {
        DWORD count = 0;
        if (m_pGetNumberOfInterfaces(&count) != 0) {
            *result = PSW_ERR_NOT_AVAILABLE;
            return 0;
        }
        *result = PSW_SUCCESS;
        return static_cast<uint32_t>(count);
    }

    PmcInterfaceTable* interface_table(Result* result) noexcept override
    {
        std::unique_ptr<uint64_t[]> buffer;
        const Result read = read_table(m_pGetIfTable, &buffer);
        if (read != PSW_SUCCESS) {
            *result = read;
            return nullptr;
        }
        std::unique_ptr<PmcInterfaceTable> table(new_table<PmcInterfaceTable>(result));
        if (!table) {
            return nullptr;
        }
        const auto* rows = reinterpret_cast<const MIB_IFTABLE*>(buffer.get());
        Result made = PSW_SUCCESS;
        for (DWORD i = 0; i < rows->dwNumEntries && made == PSW_SUCCESS; ++i) {
            const MIB_IFROW& row = rows->table[i];
            PmcInterfaceRecord record{};
            const size_t length = row.dwDescrLen < sizeof record.description
                                      ? static_cast<size_t>(row.dwDescrLen)
                                      : sizeof record.description - 1;
            std::memcpy(record.description, row.bDescr, length);
            record.description[length] = '\0';
            record.interface_index = static_cast<uint32_t>(row.dwIndex);
            record.interface_type = static_cast<int32_t>(row.dwType);
            made = table->push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
        }
        return hand_over(table, made, result);
    }

    PmcIpAddressTable* ip_address_table(Result* result) noexcept override
    {
        std::unique_ptr<uint64_t[]> buffer;
        const Result read = read_table(m_pGetIpAddrTable, &buffer);
        if (read != PSW_SUCCESS) {
            *result = read;
            return nullptr;
        }
        std::unique_ptr<PmcIpAddressTable> table(new_table<PmcIpAddressTable>(result));
        if (!table) {
            return nullptr;
        }
        const auto* rows = reinterpret_cast<const MIB_IPADDRTABLE*>(buffer.get());
        Result made = PSW_SUCCESS;
        for (DWORD i = 0; i < rows->dwNumEntries && made == PSW_SUCCESS; ++i) {
            const MIB_IPADDRROW& row = rows->table[i];
            const uint32_t address = host_order(row.dwAddr);
            const uint32_t mask = host_order(row.dwMask);
            const PmcIpAddressRecord record{static_cast<uint32_t>(row.dwIndex), mask,
                                            broadcast_of(address, mask, row.dwBCastAddr != 0),
                                            address};
            made = table->push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
        }
        return hand_over(table, made, result);
    }

private:
    // The size answer first (sorted order asked for), then the table into a buffer of exactly
    // that size.
    template <class Table>
    static Result read_table(DWORD(WINAPI* function)(Table*, PULONG, BOOL),
                             std::unique_ptr<uint64_t[]>* buffer) noexcept
    {
        ULONG size = 0;
        DWORD answer = function(nullptr, &size, TRUE);
        if (answer != kInsufficientBuffer && answer != 0) {
            return PSW_ERR_NOT_AVAILABLE;
        }
        const size_t words = (static_cast<size_t>(size) + 7) / 8 + 1;
        buffer->reset(new (std::nothrow) uint64_t[words]());
        if (!*buffer) {
            return PSW_ERR_NO_MEMORY;
        }
        answer = function(reinterpret_cast<Table*>(buffer->get()), &size, TRUE);
        return answer == 0 ? PSW_SUCCESS : PSW_ERR_NOT_AVAILABLE;
    }

    decltype(&::GetIpForwardTable) m_pGetIpForwardTable = nullptr;
    decltype(&::GetNumberOfInterfaces) m_pGetNumberOfInterfaces = nullptr;
    decltype(&::GetIfTable) m_pGetIfTable = nullptr;
    decltype(&::GetIpAddrTable) m_pGetIpAddrTable = nullptr;
};

// MIB-II columns the extension agent is walked over.
struct Column {
    UINT ids[10];
    UINT length;
};

constexpr Column kIfNumber{{1, 3, 6, 1, 2, 1, 2, 1}, 8};
constexpr Column kIfIndex{{1, 3, 6, 1, 2, 1, 2, 2, 1, 1}, 10};
constexpr Column kIfDescr{{1, 3, 6, 1, 2, 1, 2, 2, 1, 2}, 10};
constexpr Column kIfType{{1, 3, 6, 1, 2, 1, 2, 2, 1, 3}, 10};
constexpr Column kIpAdEntAddr{{1, 3, 6, 1, 2, 1, 4, 20, 1, 1}, 10};
constexpr Column kIpAdEntIfIndex{{1, 3, 6, 1, 2, 1, 4, 20, 1, 2}, 10};
constexpr Column kIpAdEntNetMask{{1, 3, 6, 1, 2, 1, 4, 20, 1, 3}, 10};
constexpr Column kIpAdEntBcastAddr{{1, 3, 6, 1, 2, 1, 4, 20, 1, 4}, 10};
constexpr Column kIpRouteDest{{1, 3, 6, 1, 2, 1, 4, 21, 1, 1}, 10};
constexpr Column kIpRouteIfIndex{{1, 3, 6, 1, 2, 1, 4, 21, 1, 2}, 10};
constexpr Column kIpRouteNextHop{{1, 3, 6, 1, 2, 1, 4, 21, 1, 7}, 10};
constexpr Column kIpRouteType{{1, 3, 6, 1, 2, 1, 4, 21, 1, 8}, 10};
constexpr Column kIpRouteMask{{1, 3, 6, 1, 2, 1, 4, 21, 1, 11}, 10};

// A binding list for one walk, its names in memory the agent may free and replace
// (GlobalAlloc, as the agent's own allocator); everything is freed when the walk ends.
class CPmcWalk {
public:
    CPmcWalk(const Column* const* columns, UINT count) noexcept : m_columns(columns)
    {
        m_list.list = static_cast<SnmpVarBind*>(
            GlobalAlloc(GPTR, sizeof(SnmpVarBind) * static_cast<SIZE_T>(count)));
        if (m_list.list == nullptr) {
            return;
        }
        m_list.len = count;
        for (UINT i = 0; i < count; ++i) {
            AsnObjectIdentifier& name = m_list.list[i].name;
            name.ids = static_cast<UINT*>(
                GlobalAlloc(GPTR, sizeof(UINT) * static_cast<SIZE_T>(columns[i]->length)));
            if (name.ids == nullptr) {
                return;
            }
            std::memcpy(name.ids, columns[i]->ids, sizeof(UINT) * columns[i]->length);
            name.idLength = columns[i]->length;
        }
        m_ready = true;
    }
    ~CPmcWalk()
    {
        if (m_list.list == nullptr) {
            return;
        }
        for (UINT i = 0; i < m_list.len; ++i) {
            SnmpVarBind& binding = m_list.list[i];
            if (binding.name.ids != nullptr) {
                GlobalFree(binding.name.ids);
            }
            free_value(binding.value);
        }
        GlobalFree(m_list.list);
    }
    CPmcWalk(const CPmcWalk&) = delete;
    CPmcWalk& operator=(const CPmcWalk&) = delete;

    bool ready() const noexcept { return m_ready; }

    // One get-next over the list: 1 a row inside the first column, 0 the walk has ended,
    // PSW_ERR_NOT_AVAILABLE when the agent refuses the query.
    template <class Query>
    Result next(Query query) noexcept
    {
        AsnInteger32 status = 0;
        AsnInteger32 index = 0;
        if (!query(kGetNext, &m_list, &status, &index)) {
            return PSW_ERR_NOT_AVAILABLE;
        }
        if (status != 0 || ++m_rows > kMaxWalkRows) {
            return 0;
        }
        const AsnObjectIdentifier& name = m_list.list[0].name;
        const Column& column = *m_columns[0];
        const UINT shorter = name.idLength < column.length ? name.idLength : column.length;
        return std::memcmp(name.ids, column.ids, sizeof(UINT) * shorter) == 0 ? 1 : 0;
    }

    const AsnAny& value(UINT i) const noexcept { return m_list.list[i].value; }

private:
    static void free_value(AsnAny& value) noexcept
    {
        switch (value.asnType) {
            case ASN_OCTETSTRING:
            case ASN_IPADDRESS:
            case ASN_OPAQUE:
                if (value.asnValue.string.dynamic && value.asnValue.string.stream != nullptr) {
                    GlobalFree(value.asnValue.string.stream);
                }
                break;
            case ASN_OBJECTIDENTIFIER:
                if (value.asnValue.object.ids != nullptr) {
                    GlobalFree(value.asnValue.object.ids);
                }
                break;
            default: break;
        }
        value.asnType = ASN_NULL;
    }

    const Column* const* m_columns;
    SnmpVarBindList m_list{};
    bool m_ready = false;
    size_t m_rows = 0;
};

uint32_t address_value(const AsnAny& value) noexcept
{
    if (value.asnType != ASN_IPADDRESS || value.asnValue.address.length != 4 ||
        value.asnValue.address.stream == nullptr) {
        return 0;
    }
    const BYTE* bytes = value.asnValue.address.stream;
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

int32_t integer_value(const AsnAny& value) noexcept
{
    return value.asnType == ASN_INTEGER32 ? value.asnValue.number
                                          : static_cast<int32_t>(value.asnValue.unsigned32);
}

// The MIB-II extension agent, initialised with the tick count as its start time.
class CPmcExtensionAgentSource final : public CPmcModuleSource {
public:
    using CPmcModuleSource::CPmcModuleSource;

    bool bind_api() noexcept
    {
        return bind_entry("SnmpExtensionInit", &m_pInit) &&
               bind_entry("SnmpExtensionInitEx", &m_pInitEx) &&
               bind_entry("SnmpExtensionQuery", &m_pQuery) &&
               bind_entry("SnmpExtensionTrap", &m_pTrap);
    }

    bool start() noexcept
    {
        HANDLE trap_event = nullptr;
        AsnObjectIdentifier region{};
        return m_pInit(GetTickCount(), &trap_event, &region) != FALSE;
    }

    PmcRouteTable* route_table(Result* result) noexcept override
    {
        static const Column* const kColumns[] = {&kIpRouteDest, &kIpRouteIfIndex, &kIpRouteNextHop,
                                                 &kIpRouteType, &kIpRouteMask};
        return walk<PmcRouteTable>(kColumns, 5, result, [](const CPmcWalk& row) {
            return PmcRouteRecord{address_value(row.value(0)), address_value(row.value(4)),
                                  address_value(row.value(2)), integer_value(row.value(3)),
                                  static_cast<uint32_t>(integer_value(row.value(1)))};
        });
    }

    uint32_t number_of_interfaces(Result* result) noexcept override
    {
        static const Column* const kColumns[] = {&kIfNumber};
        CPmcWalk walk(kColumns, 1);
        if (!walk.ready()) {
            *result = PSW_ERR_NO_MEMORY;
            return 0;
        }
        const Result step = walk.next(m_pQuery);
        if (step < 0) {
            *result = step;
            return 0;
        }
        *result = PSW_SUCCESS;
        return static_cast<uint32_t>(integer_value(walk.value(0)));
    }

    PmcInterfaceTable* interface_table(Result* result) noexcept override
    {
        static const Column* const kColumns[] = {&kIfIndex, &kIfDescr, &kIfType};
        return walk<PmcInterfaceTable>(kColumns, 3, result, [](const CPmcWalk& row) {
            PmcInterfaceRecord record{};
            const AsnAny& text = row.value(1);
            if (text.asnType == ASN_OCTETSTRING && text.asnValue.string.stream != nullptr) {
                const size_t length = text.asnValue.string.length < sizeof record.description
                                          ? static_cast<size_t>(text.asnValue.string.length)
                                          : sizeof record.description - 1;
                std::memcpy(record.description, text.asnValue.string.stream, length);
                record.description[length] = '\0';
            }
            record.interface_index = static_cast<uint32_t>(integer_value(row.value(0)));
            record.interface_type = integer_value(row.value(2));
            return record;
        });
    }

    PmcIpAddressTable* ip_address_table(Result* result) noexcept override
    {
        static const Column* const kColumns[] = {&kIpAdEntAddr, &kIpAdEntIfIndex, &kIpAdEntNetMask,
                                                 &kIpAdEntBcastAddr};
        return walk<PmcIpAddressTable>(kColumns, 4, result, [](const CPmcWalk& row) {
            const uint32_t address = address_value(row.value(0));
            const uint32_t mask = address_value(row.value(2));
            return PmcIpAddressRecord{static_cast<uint32_t>(integer_value(row.value(1))), mask,
                                      broadcast_of(address, mask, integer_value(row.value(3)) != 0),
                                      address};
        });
    }

private:
    template <class Table, class MakeRecord>
    Table* walk(const Column* const* columns, UINT count, Result* result,
                MakeRecord make_record) noexcept
    {
        std::unique_ptr<Table> table(new_table<Table>(result));
        if (!table) {
            return nullptr;
        }
        CPmcWalk walk(columns, count);
        if (!walk.ready()) {
            *result = PSW_ERR_NO_MEMORY;
            return nullptr;
        }
        Result step = walk.next(m_pQuery);
        while (step == 1) {
            if (!table->push_back(make_record(walk))) {
                *result = PSW_ERR_NO_MEMORY;
                return nullptr;
            }
            step = walk.next(m_pQuery);
        }
        return hand_over(table, step < 0 ? step : PSW_SUCCESS, result);
    }

    using InitFunction = BOOL(WINAPI*)(DWORD, HANDLE*, AsnObjectIdentifier*);
    using InitExFunction = BOOL(WINAPI*)(AsnObjectIdentifier*);
    using QueryFunction = BOOL(WINAPI*)(BYTE, SnmpVarBindList*, AsnInteger32*, AsnInteger32*);
    using TrapFunction = BOOL(WINAPI*)(AsnObjectIdentifier*, AsnInteger32*, AsnInteger32*,
                                       AsnTimeticks*, SnmpVarBindList*);

    InitFunction m_pInit = nullptr;
    InitExFunction m_pInitEx = nullptr;
    QueryFunction m_pQuery = nullptr;
    TrapFunction m_pTrap = nullptr;
};

}  // namespace

// The preferred kind is IP Helper here, the fallback the MIB-II extension agent.
IPmcTableSource* pmc_create_table_source(PmcModuleLoader& loader, PmcTableSourceKind kind,
                                         Result* result) noexcept
{
    Result ignored = PSW_SUCCESS;
    Result* out = result != nullptr ? result : &ignored;
    if (kind == PmcTableSourceKind::kRoutingSocket) {
        return pmc_make_table_source<CPmcIpHelperSource, false>(loader, kIpHelperModule, out);
    }
    return pmc_make_table_source<CPmcExtensionAgentSource, true>(loader, kExtensionAgentModule,
                                                                 out);
}

}  // namespace psw
