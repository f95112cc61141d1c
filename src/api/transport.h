// Transport codes of the exported calls and the network protocols they stand for.
#pragma once

#include <cstdint>

namespace psw {

// Protocol numbers of network addresses: 0 unspecified, 1 UDP/IPv4, 2 IPX, 3 no address
// family, 4 UDP/IPv6.
inline constexpr int32_t kProtocolNone = 3;

// Maps an exported transport code (1, 2, 3, 5) to its protocol number; -1 for any other code.
constexpr int32_t pmc_protocol_of_transport(int32_t transport) noexcept
{
    switch (transport) {
    case 1: return 1;
    case 2: return 2;
    case 3: return 3;
    case 5: return 4;
    default: return -1;
    }
}

}  // namespace psw
