// The adapter questions of the address services: how many adapters serve a protocol, which
// adapter owns an address or a hardware address, and the local IPv6 address toward a target.
//
// Loopback adapters are skipped everywhere; for IPv6 also tunnels and adapters without unicast
// addresses. A hardware address is written "%02X-%02X-%02X-%02X-%02X-%02X".
#pragma once

#include <cstdint>

#include "core/pms_octets.h"
#include "core/result.h"
#include "net/address_services.h"
#include "net/ip_help_api.h"
#include "net/network_address.h"
#include "net/socket_api.h"

namespace psw {

// The number of adapters serving `protocol` (UDP over IPv4 or IPv6) into `*out`.
// PSW_ERR_PARAMETER for a null out or another protocol; PSW_ERR_NOT_AVAILABLE when the interface
// functions cannot be loaded; PSW_ERR_TOO_LONG when the system gives no adapter data;
// PSW_ERR_NO_MEMORY.
Result pmc_adapter_count(CPmcIpHelpLibrary& library, IPmcNetworkAddress::EProtocol protocol,
                         uint32_t* out) noexcept;

// The hardware address of the adapter that owns `text` into `out` (a byte string the caller
// owns; replaced only on success). IPv4: the adapter's first address equals `text` exactly.
// IPv6: one of its unicast addresses equals `text` in canonical form (through `services`), with
// or without its "%scope". An empty text takes the first adapter. PSW_ERR_PARAMETER for a null
// argument or another protocol; PSW_ERR_TOO_LONG when no adapter matches; the list failures of
// pmc_adapter_count().
Result pmc_mac_of_address(CPmcIpHelpLibrary& library, IPmcAddressServices& services,
                          IPmcNetworkAddress::EProtocol protocol, const char* text,
                          PmsOctets* out) noexcept;

// Whether `mac` (any case) is the hardware address of an IPv4 adapter; the IPv6 adapters are
// searched only when reading the IPv4 ones fails. PSW_ERR_PARAMETER for a null argument, else
// the list failure of the IPv6 search.
Result pmc_is_local_mac(CPmcIpHelpLibrary& library, const char* mac, bool* out) noexcept;

// The local address toward an IPv6 (or IPv4) `target` over the interface the system would send
// through: a new address in `*out` (owned by the caller) with the target's protocol and port.
// PSW_ERR_PARAMETER for a null argument; the start-up failure of the socket library;
// PSW_ERR_UNSUPPORTED when the interface or socket functions it needs are missing or the system
// has no route toward the target; PSW_ERR_FAILED when the target text does not convert or no
// adapter carries the chosen interface; PSW_ERR_NO_MEMORY.
Result pmc_best_local_address_ipv6(CPmcIpHelpLibrary& library, CPmcSocketLibrary& sockets,
                                   const IPmcNetworkAddress* target,
                                   IPmcNetworkAddress** out) noexcept;

}  // namespace psw
