// A snapshot of the machine's network adapters, read through the interface function table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/pmc_vector.h"
#include "core/result.h"
#include "net/ip_help_api.h"

namespace psw {

// One IPv6 unicast address of an adapter, with its scope id (0 when it has none).
struct PmcAdapterIpv6 {
    uint8_t bytes[16];
    uint32_t scope;
};

// How many IPv6 unicast addresses an adapter keeps; further ones are left out.
constexpr size_t kPmcAdapterIpv6Max = 16;

struct PmcAdapter {
    char name[40];
    uint32_t index;
    bool loopback;
    // Tunnels are left out wherever IPv6 adapters are counted or searched.
    bool tunnel;
    // The first IPv4 address, dotted; empty when the adapter has none.
    char ipv4[16];
    // Whether the adapter's first IPv6 unicast address is not all zero.
    bool has_ipv6;
    // The hardware address; zero for a link without one.
    uint8_t mac[6];
    // The IPv6 unicast addresses, in the order the system lists them.
    PmcAdapterIpv6 ipv6[kPmcAdapterIpv6Max];
    size_t ipv6_count;
};

// Fills `out` with one entry per adapter, in the order the system lists them. PSW_ERR_NOT_AVAILABLE
// when the interface functions are missing, PSW_ERR_TOO_LONG when the system gives no adapter data,
// PSW_ERR_NO_MEMORY without memory.
// borrowed: `out` stays the caller's and is filled
Result pmc_read_adapters(const NPmcIpHelpAPI& api, PmcVector<PmcAdapter>* out) noexcept;

}  // namespace psw
