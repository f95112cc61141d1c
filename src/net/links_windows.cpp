// The interface questions on Windows, through IP Helper: interface names to indexes, the
// interfaces with their flags, and the interface IPv6 traffic to the Internet leaves through.
#include <winsock2.h>
#include <ws2tcpip.h>
// (iphlpapi.h after the socket headers)
#include <iphlpapi.h>

#include <cstring>

#include "net/adapter_addresses_windows.h"
#include "net/ipv6_zone.h"
#include "net/multicast_links.h"

namespace psw {

namespace {

constexpr unsigned long kIfTypeLoopback = 24;

// The interface of the best route toward a global IPv6 address (2001:db8::1, never sent to):
// the default route's interface. 0 when there is none.
uint32_t default_route_interface(const NPmcIpHelpAPI& api) noexcept
{
    if (api.m_pGetBestInterfaceEx == nullptr) {
        return 0;
    }
    sockaddr_in6 global{};
    global.sin6_family = AF_INET6;
    global.sin6_addr.s6_addr[0] = 0x20;
    global.sin6_addr.s6_addr[1] = 0x01;
    global.sin6_addr.s6_addr[2] = 0x0d;
    global.sin6_addr.s6_addr[3] = 0xb8;
    global.sin6_addr.s6_addr[15] = 0x01;
    unsigned long index = 0;
    return api.m_pGetBestInterfaceEx(&global, &index) == 0 ? static_cast<uint32_t>(index) : 0;
}

}  // namespace

uint32_t pmc_interface_index_of_name(const char* name) noexcept
{
    CPmcIpHelpLibrary& library = pmc_ip_help_library();
    if (name == nullptr || library.load_ip_helper() != PSW_SUCCESS ||
        library.api().m_pIfNameToIndex == nullptr) {
        return 0;
    }
    return static_cast<uint32_t>(library.api().m_pIfNameToIndex(name));
}

size_t pmc_ipv6_multicast_links(uint32_t* out, size_t capacity) noexcept
{
    CPmcIpHelpLibrary& library = pmc_ip_help_library();
    if (library.load_ip_helper() != PSW_SUCCESS) {
        return 0;
    }
    PmcRecordBuffer buffer;
    if (pmc_read_adapter_addresses(library.api(), AF_INET6, &buffer) != PSW_SUCCESS) {
        return 0;
    }
    PmcLinkInfo links[kPmcMaxMulticastLinks];
    size_t count = 0;
    for (const auto* entry = static_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
         entry != nullptr && count < kPmcMaxMulticastLinks; entry = entry->Next) {
        if (entry->Ipv6IfIndex == 0) {
            continue;
        }
        links[count].index = static_cast<uint32_t>(entry->Ipv6IfIndex);
        links[count].up = entry->OperStatus == IfOperStatusUp;
        links[count].multicast = (entry->Flags & IP_ADAPTER_NO_MULTICAST) == 0;
        links[count].loopback = entry->IfType == kIfTypeLoopback;
        ++count;
    }
    return pmc_choose_multicast_links(links, count, default_route_interface(library.api()), out,
                                      capacity);
}

}  // namespace psw
