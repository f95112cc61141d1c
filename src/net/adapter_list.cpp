#include "net/adapter_list.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <netpacket/packet.h>

#include <cstring>

namespace psw {

namespace {

// IPv6-in-GRE links; the C library's list of hardware types lacks it.
constexpr unsigned short kHardwareTypeIp6Gre = 823;

bool is_tunnel_type(unsigned short hardware_type) noexcept
{
    switch (hardware_type) {
        case ARPHRD_TUNNEL:
        case ARPHRD_TUNNEL6:
        case ARPHRD_SIT:
        case ARPHRD_IPGRE:
        case kHardwareTypeIp6Gre:
        case ARPHRD_NONE: return true;
        default: return false;
    }
}

PmcAdapter* find_or_add(PmcVector<PmcAdapter>* adapters, const ifaddrs* entry) noexcept
{
    for (PmcAdapter& adapter : *adapters) {
        if (std::strncmp(adapter.name, entry->ifa_name, sizeof adapter.name) == 0) {
            return &adapter;
        }
    }
    PmcAdapter adapter{};
    std::strncpy(adapter.name, entry->ifa_name, sizeof adapter.name - 1);
    adapter.index = if_nametoindex(entry->ifa_name);
    adapter.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
    if (!adapters->push_back(adapter)) {
        return nullptr;
    }
    return &(*adapters)[adapters->size() - 1];
}

bool all_zero(const in6_addr& address) noexcept
{
    for (uint8_t byte : address.s6_addr) {
        if (byte != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

Result pmc_read_adapters(const NPmcIpHelpAPI& api, PmcVector<PmcAdapter>* out) noexcept
{
    if (api.m_pGetIfAddrs == nullptr || api.m_pFreeIfAddrs == nullptr) {
        return PSW_ERR_NOT_AVAILABLE;
    }
    ifaddrs* list = nullptr;
    if (api.m_pGetIfAddrs(&list) != 0) {
        return PSW_ERR_TOO_LONG;
    }
    Result result = PSW_SUCCESS;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        PmcAdapter* adapter = find_or_add(out, entry);
        if (adapter == nullptr) {
            result = PSW_ERR_NO_MEMORY;
            break;
        }
        const sockaddr* address = entry->ifa_addr;
        if (address == nullptr) {
            // A link without a hardware address (a layer-3 tun or wireguard device) lists its
            // link entry empty; point to point, it carries tunnelled traffic.
            if ((entry->ifa_flags & IFF_POINTOPOINT) != 0) {
                adapter->tunnel = true;
            }
            continue;
        }
        if (address->sa_family == AF_PACKET) {
            const auto* link = reinterpret_cast<const sockaddr_ll*>(address);
            adapter->tunnel = is_tunnel_type(link->sll_hatype);
            if (link->sll_halen >= sizeof adapter->mac) {
                std::memcpy(adapter->mac, link->sll_addr, sizeof adapter->mac);
            }
        } else if (address->sa_family == AF_INET && adapter->ipv4[0] == '\0') {
            const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
            inet_ntop(AF_INET, &ipv4->sin_addr, adapter->ipv4, sizeof adapter->ipv4);
        } else if (address->sa_family == AF_INET6) {
            const auto* ipv6 = reinterpret_cast<const sockaddr_in6*>(address);
            if (IN6_IS_ADDR_MULTICAST(&ipv6->sin6_addr)) {
                continue;
            }
            adapter->has_ipv6 = adapter->has_ipv6 || !all_zero(ipv6->sin6_addr);
            if (adapter->ipv6_count < kPmcAdapterIpv6Max) {
                PmcAdapterIpv6& unicast = adapter->ipv6[adapter->ipv6_count++];
                std::memcpy(unicast.bytes, ipv6->sin6_addr.s6_addr, sizeof unicast.bytes);
                unicast.scope = ipv6->sin6_scope_id;
            }
        }
    }
    api.m_pFreeIfAddrs(list);
    if (result == PSW_SUCCESS && out->empty()) {
        result = PSW_ERR_TOO_LONG;
    }
    return result;
}

}  // namespace psw
