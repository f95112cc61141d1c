// IPv6 zones: the "%eth0" or "%3" after a link-local or link-scope multicast address, which
// names the link the address belongs to ("fe80::1%eth0", "ff02::1%3"). The zone reaches the
// socket as the scope id of the native address; without it, a link-scope multicast has no
// single link to leave through (see multicast_links.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"

namespace psw {

// Longest address part of a zoned text that the split keeps (a numeric IPv6 text with an
// embedded IPv4 part needs 45 characters).
constexpr size_t kPmcIpv6AddressTextSize = 64;

// Splits `text` at its first "%": `address` (of `size` bytes) receives the part before it, `*zone`
// points at the character after it inside `text`, or is null when there is no "%".
// PSW_ERR_PARAMETER for a null argument, an empty address part or an empty zone ("fe80::1%");
// PSW_ERR_TOO_LONG when the address part does not fit `address`. Writes nothing on failure.
// not a transfer: `*zone` points into `text`; `address` is the caller's buffer
Result pmc_split_ipv6_zone(const char* text, char* address, size_t size,
                           const char** zone) noexcept;

// The scope id a zone names: a decimal interface number (up to 4294967295), or the name of one of
// this machine's interfaces. PSW_ERR_PARAMETER for null, empty, an over-long number, or a name no
// interface carries. Writes only on success.
Result pmc_ipv6_scope_of_zone(const char* zone, uint32_t* scope) noexcept;

// True for a multicast group of link-local scope (ffx2::/16): a group that exists once per
// link, so a send to it has to pick the link.
bool pmc_ipv6_is_link_scope_multicast(const uint8_t address[16]) noexcept;

// Platform: the index of the interface with this name in the calling thread's network
// namespace; 0 when there is none.
uint32_t pmc_interface_index_of_name(const char* name) noexcept;

}  // namespace psw
