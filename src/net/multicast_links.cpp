#include "net/multicast_links.h"

namespace psw {

namespace {

bool usable(const PmcLinkInfo& link) noexcept
{
    return link.index != 0 && link.up && link.multicast && !link.loopback;
}

}  // namespace

size_t pmc_choose_multicast_links(const PmcLinkInfo* links, size_t count,
                                  uint32_t default_route_index, uint32_t* out,
                                  size_t capacity) noexcept
{
    if (links == nullptr || out == nullptr || capacity == 0) {
        return 0;
    }
    if (default_route_index != 0) {
        for (size_t i = 0; i < count; ++i) {
            if (links[i].index == default_route_index && usable(links[i])) {
                out[0] = default_route_index;
                return 1;
            }
        }
    }
    size_t chosen = 0;
    for (size_t i = 0; i < count && chosen < capacity; ++i) {
        if (usable(links[i])) {
            out[chosen++] = links[i].index;
        }
    }
    return chosen;
}

}  // namespace psw
