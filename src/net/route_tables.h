// The machine's own IPv4 route, address and interface tables, read from one of two table sources.
//
// The preferred source asks the kernel over a routing socket (rtnetlink); the fallback reads the
// C library's interface list and the kernel's text route table. Both are bound at run time
// through a module loader, so a source whose module or entry points are missing is refused with
// PSW_ERR_NOT_AVAILABLE and the caller falls back. Both deliver the same records: every address
// and mask is a 32-bit value in host byte order.
// On Windows (route_tables_windows.cpp) the preferred source is IP Helper ("iphlpapi.dll") and
// the fallback the MIB-II extension agent ("inetmib1.dll"), under the same two kinds.
#pragma once

#include <cstdint>

#include "core/platform/module.h"
#include "core/pmc_vector.h"
#include "core/result.h"

namespace psw {

struct PmcRouteRecord {
    uint32_t destination;
    uint32_t mask;
    uint32_t next_hop;
    // MIB-II ipRouteType: 3 direct (no gateway), 4 indirect (through a gateway).
    int32_t type;
    uint32_t interface_index;
};

struct PmcIpAddressRecord {
    uint32_t interface_index;
    uint32_t mask;
    // The broadcast address of the interface's subnet; 0 when the interface has none.
    uint32_t broadcast;
    uint32_t address;
};

struct PmcInterfaceRecord {
    // The interface's name (owned, always terminated).
    char description[64];
    uint32_t interface_index;
    // MIB-II ifType: 6 Ethernet, 24 loopback, 131 tunnel, 23 PPP, 1 other.
    int32_t interface_type;
};

using PmcRouteTable = PmcVector<PmcRouteRecord>;
using PmcIpAddressTable = PmcVector<PmcIpAddressRecord>;
using PmcInterfaceTable = PmcVector<PmcInterfaceRecord>;

// Route types of MIB-II.
constexpr int32_t kPmcRouteDirect = 3;
constexpr int32_t kPmcRouteIndirect = 4;
// Interface types of MIB-II.
constexpr int32_t kPmcIfTypeOther = 1;
constexpr int32_t kPmcIfTypeEthernet = 6;
constexpr int32_t kPmcIfTypePpp = 23;
constexpr int32_t kPmcIfTypeLoopback = 24;
constexpr int32_t kPmcIfTypeTunnel = 131;

// A table source. Each table operation returns a new table that the caller owns (delete it), or
// null with the reason in `*result`: PSW_ERR_NOT_AVAILABLE when the platform call fails,
// PSW_ERR_NO_MEMORY without memory. `result` may not be null.
class IPmcTableSource {
public:
    virtual ~IPmcTableSource() = default;
    // The main routing table in the kernel's order (broadcast and multicast routes left out).
    virtual PmcRouteTable* route_table(Result* result) noexcept = 0;
    // How many interfaces the machine has, or 0 with the reason in `*result`.
    virtual uint32_t number_of_interfaces(Result* result) noexcept = 0;
    // Every interface, sorted by interface index.
    virtual PmcInterfaceTable* interface_table(Result* result) noexcept = 0;
    // Every IPv4 address, in the kernel's order.
    virtual PmcIpAddressTable* ip_address_table(Result* result) noexcept = 0;
};

// The kinds of `pmc_create_table_source`.
enum class PmcTableSourceKind {
    kRoutingSocket,  // preferred: rtnetlink
    kTextTables,     // fallback: C library interface list and the kernel's text route table
};

// Loads the source's module through `loader` (which must outlive the source) and binds its entry
// points. Null with PSW_ERR_NOT_AVAILABLE when the module cannot be loaded, an entry point is
// missing or the source cannot start (the module is released again); PSW_ERR_NO_MEMORY without
// memory. The returned source is owned by the caller (delete it); it releases its module.
IPmcTableSource* pmc_create_table_source(PmcModuleLoader& loader, PmcTableSourceKind kind,
                                         Result* result) noexcept;

}  // namespace psw
