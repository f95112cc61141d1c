// The text grammars that need no socket call: dotted IPv4 and the IPX network:node form.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"

namespace psw {

// Length of an IPX text: eight hexadecimal digits, ":", twelve hexadecimal digits.
constexpr size_t kPmcIpxTextLength = 21;

// Four decimal numbers below 256 joined by "." and nothing else (no signs, blanks or other
// characters; leading zeros are decimal). Writes the four bytes only on success.
bool pmc_parse_ipv4_text(const char* text, uint8_t out[4]) noexcept;

// The canonical dotted text of four bytes into `out` (at least 16 bytes).
void pmc_format_ipv4_text(const uint8_t bytes[4], char* out, size_t size) noexcept;

// The compressed lower-case text of 16 address bytes (RFC 5952: the longest run of two or more
// zero groups, the first of equal runs, becomes "::"; an IPv4-mapped address ends in dotted
// form) into `out` (at least 46 bytes), as the C library's inet_ntop writes it.
void pmc_format_ipv6_text(const uint8_t bytes[16], char* out, size_t size) noexcept;

// Exactly "NNNNNNNN:HHHHHHHHHHHH" in hexadecimal digits of either case. Writes the network
// and node bytes only on success.
bool pmc_parse_ipx_text(const char* text, uint8_t network[4], uint8_t node[6]) noexcept;

// The lower-case IPX text of a network and node number into `out` (at least 22 bytes).
void pmc_format_ipx_text(const uint8_t network[4], const uint8_t node[6], char* out,
                         size_t size) noexcept;

// Reads an IPv6 multicast group text into 16 bytes in network order, as joining a group needs it:
// "::" is expanded first, then eight groups of one to four hexadecimal digits separated by ":" are
// read, and anything after the eighth group (a zone suffix) is ignored. PSW_ERR_PARAMETER for null
// or for a text that does not read (a trailing "::" leaves a group missing). Writes only on
// success.
Result pmc_parse_ipv6_group_text(const char* text, uint8_t out[16]) noexcept;

}  // namespace psw
