// Whether a transport can be used on this machine, judged from its adapters.
#pragma once

#include "net/ip_help_api.h"
#include "net/network_address.h"

namespace psw {

// UDP over IPv4: an adapter other than the loopback holds an IPv4 address other than 0.0.0.0
// (without the interface functions: an IPv4 socket can be opened). UDP over IPv6: an adapter
// that is neither loopback nor tunnel holds a non-zero IPv6 address (false without the
// interface functions). Any other protocol: a datagram socket of it can be opened and bound.
// PSW_ERR_PARAMETER for a null out; PSW_ERR_NO_MEMORY without memory.
// borrowed: `library` must outlive the call; `out` is the caller's
Result pmc_transport_available(CPmcIpHelpLibrary& library, IPmcNetworkAddress::EProtocol protocol,
                               bool* out) noexcept;

}  // namespace psw
