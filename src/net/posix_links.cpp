// The interface questions of this platform: interface names to indexes, the interfaces with
// their flags, and the interface of the default IPv6 route.
//
// Network namespaces belong to threads, so everything here asks on behalf of the calling
// thread: the interface calls do so by themselves, and the route table is read through
// /proc/thread-self (not /proc/net, which shows the namespace of the process's first thread).
#include <ifaddrs.h>
#include <net/if.h>
#include <net/route.h>

#include <cstdio>
#include <cstring>

#include "net/ipv6_zone.h"
#include "net/multicast_links.h"

namespace psw {

namespace {

constexpr const char* kIpv6RouteTables[] = {"/proc/thread-self/net/ipv6_route",
                                             "/proc/net/ipv6_route"};
constexpr char kAllZeroAddress[] = "00000000000000000000000000000000";

// The interface of the usable default IPv6 route with the lowest metric; 0 when there is none.
// A line of the table reads: destination, prefix length, source, source prefix length, next
// hop, metric, reference count, use count, flags, device name.
uint32_t default_route_interface() noexcept
{
    FILE* table = nullptr;
    for (const char* path : kIpv6RouteTables) {
        table = std::fopen(path, "re");
        if (table != nullptr) {
            break;
        }
    }
    if (table == nullptr) {
        return 0;
    }
    uint32_t best_index = 0;
    unsigned best_metric = 0;
    char line[256];
    while (std::fgets(line, sizeof line, table) != nullptr) {
        char destination[33];
        unsigned prefix = 0;
        unsigned metric = 0;
        unsigned flags = 0;
        char device[IF_NAMESIZE + 1];
        if (std::sscanf(line, "%32s %x %*s %*x %*s %x %*x %*x %x %16s", destination, &prefix,
                        &metric, &flags, device) != 5) {
            continue;
        }
        if (std::strcmp(destination, kAllZeroAddress) != 0 || prefix != 0 ||
            (flags & RTF_UP) == 0 || (flags & RTF_REJECT) != 0 || std::strcmp(device, "lo") == 0) {
            continue;
        }
        const uint32_t index = if_nametoindex(device);
        if (index != 0 && (best_index == 0 || metric < best_metric)) {
            best_index = index;
            best_metric = metric;
        }
    }
    std::fclose(table);
    return best_index;
}

}  // namespace

uint32_t pmc_interface_index_of_name(const char* name) noexcept
{
    return name != nullptr ? if_nametoindex(name) : 0;
}

size_t pmc_ipv6_multicast_links(uint32_t* out, size_t capacity) noexcept
{
    ifaddrs* head = nullptr;
    if (getifaddrs(&head) != 0) {
        return 0;
    }
    // getifaddrs lists an interface once per address: keep each index once.
    PmcLinkInfo links[kPmcMaxMulticastLinks];
    size_t count = 0;
    for (const ifaddrs* entry = head; entry != nullptr; entry = entry->ifa_next) {
        const uint32_t index = if_nametoindex(entry->ifa_name);
        if (index == 0) {
            continue;
        }
        bool known = false;
        for (size_t i = 0; i < count && !known; ++i) {
            known = links[i].index == index;
        }
        if (known || count == kPmcMaxMulticastLinks) {
            continue;
        }
        links[count].index = index;
        links[count].up = (entry->ifa_flags & IFF_UP) != 0;
        links[count].multicast = (entry->ifa_flags & IFF_MULTICAST) != 0;
        links[count].loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
        ++count;
    }
    freeifaddrs(head);
    return pmc_choose_multicast_links(links, count, default_route_interface(), out, capacity);
}

}  // namespace psw
