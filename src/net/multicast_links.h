// Which links a link-scope IPv6 multicast without a zone ("ff02::1") leaves through.
//
// Such a group exists once per link, and the system alone would send on whichever interface's
// multicast route happens to come first. The datagram socket instead sends on the interface
// that holds the default IPv6 route, and on a machine without one on every interface that is
// up, can multicast and is not a loopback, so that discovery reaches every attached link.
#pragma once

#include <cstddef>
#include <cstdint>

namespace psw {

// One interface of this machine, as far as the choice needs it.
struct PmcLinkInfo {
    uint32_t index = 0;
    bool up = false;
    bool multicast = false;
    bool loopback = false;
};

// Most links a send fans out to.
constexpr size_t kPmcMaxMulticastLinks = 32;

// The choice itself: the default route's interface (`default_route_index`, 0 for none) when it
// is one of `links` and usable (up, multicast, not loopback); otherwise every usable link in
// the order given. Writes up to `capacity` indexes to `out` and returns how many.
size_t pmc_choose_multicast_links(const PmcLinkInfo* links, size_t count,
                                  uint32_t default_route_index, uint32_t* out,
                                  size_t capacity) noexcept;

// Platform: the links of the calling thread's network namespace chosen as above. 0 when the
// machine offers none (the caller then leaves the choice to the system).
size_t pmc_ipv6_multicast_links(uint32_t* out, size_t capacity) noexcept;

}  // namespace psw
