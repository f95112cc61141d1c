// Knowledge about address texts: grammar per protocol, canonical forms, names, local host.
//
// Two implementations exist: one over the protocol-independent name functions, and one over
// the older dotted-text and host-entry functions for a socket library without them. The process
// uses one object, chosen on first use by what the socket binding found. Every operation starts
// the socket library it needs and cleans it up again before it returns.
#pragma once

#include <cstdint>

#include "core/pms_octets.h"
#include "core/result.h"
#include "net/network_address.h"
#include "net/network_address_list.h"

namespace psw {

class CPmcSocketLibrary;

class IPmcAddressServices {
public:
    using EProtocol = IPmcNetworkAddress::EProtocol;

    virtual ~IPmcAddressServices() = default;
    // The canonical text of `text` into `out` (written only on success).
    // borrowed: `out` stays the caller's; its contents are replaced
    virtual Result parse(const char* text, PmsOctets* out) noexcept = 0;
    // The protocol of `text`. The extended implementation writes protocol 0 with its failure.
    virtual Result protocol_of(const char* text, EProtocol* out) noexcept = 0;
    // Every address of a host name, in the order the platform gives them; a new list.
    // `*out` receives a new list the caller releases; left untouched on failure
    virtual Result resolve(const char* host, IPmcNetworkAddressList** out) noexcept = 0;
    // The host name registered for an address text.
    // borrowed: `out` stays the caller's; its contents are replaced
    virtual Result host_name_of(const char* text, PmsOctets* out) noexcept = 0;
    // The first address of this machine's host name for `protocol`; PSW_ERR_UNSUPPORTED for IPX.
    // `*out` receives a new address the caller releases; left untouched on failure
    virtual Result local_host_address(EProtocol protocol, IPmcNetworkAddress** out) noexcept = 0;
    // The UDP port of a service name.
    virtual Result port_of_service(const char* service, EProtocol protocol,
                                   uint16_t* out) noexcept = 0;
    // Adapter questions (adapter_services.h, local_agent.h). best_local_address: IPv4 through
    // the route lookup (pmc_route_lookup), IPX PSW_ERR_UNSUPPORTED, IPv6 through the system's
    // interface choice (pmc_best_local_address_ipv6), other protocols and null arguments
    // PSW_ERR_PARAMETER. The others as pmc_transport_available, pmc_adapter_count,
    // pmc_mac_of_address and pmc_is_local_mac say.
    // `*out` receives a new address the caller releases; untouched on failure
    virtual Result best_local_address(const IPmcNetworkAddress* target,
                                      IPmcNetworkAddress** out) noexcept = 0;
    virtual Result transport_available(EProtocol protocol, bool* out) noexcept = 0;
    virtual Result adapter_count(EProtocol protocol, uint32_t* out) noexcept = 0;
    // borrowed: `out` stays the caller's; its contents are replaced
    virtual Result mac_of_address(EProtocol protocol, const char* text,
                                  PmsOctets* out) noexcept = 0;
    virtual Result is_local_mac(const char* mac, bool* out) noexcept = 0;
};

// The two implementations over a given socket binding (which must outlive them).
// the caller owns the result and deletes it; `library` is borrowed
IPmcAddressServices* create_extended_address_services(CPmcSocketLibrary& library,
                                                      Result* result) noexcept;
// the caller owns the result and deletes it; `library` is borrowed
IPmcAddressServices* create_classic_address_services(CPmcSocketLibrary& library,
                                                     Result* result) noexcept;
// The implementation the binding supports: extended when it has the name functions.
// the caller owns the result and deletes it; `library` is borrowed
IPmcAddressServices* create_address_services(CPmcSocketLibrary& library, Result* result) noexcept;

// The process-wide object over pmc_socket_library(), built on first use; null with
// PSW_ERR_NO_MEMORY when it cannot be made (the next call tries again).
// not a transfer: the process-wide object, deleted at exit
IPmcAddressServices* pmc_address_services(Result* result) noexcept;

// Free functions over the process-wide object.
// borrowed: `out` stays the caller's; its contents are replaced
Result parse_address(const char* text, PmsOctets* out) noexcept;
Result protocol_of(const char* text, IPmcNetworkAddress::EProtocol* out) noexcept;
// True when `text` has a protocol; the failure of protocol_of is returned unchanged.
Result is_address(const char* text, bool* out) noexcept;
// Both texts canonicalised and compared byte for byte; the first parse failure is returned.
Result same_address(const char* a, const char* b, bool* out) noexcept;
Result transport_available(IPmcNetworkAddress::EProtocol protocol, bool* out) noexcept;

}  // namespace psw
