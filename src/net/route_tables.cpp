#include "net/route_tables.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

#include "core/factory.h"
#include "log/log_channel.h"
#include "net/table_source_factory.h"

namespace psw {

namespace {

// Both sources take their entry points from the C library.
constexpr char kTableSourceModule[] = "libc.so.6";
// The kernel's text route table of the namespace the calling thread is in (/proc/net follows
// the process's first thread, which may sit in another namespace).
constexpr char kTextRouteTable[] = "/proc/thread-self/net/route";

// IPv6-in-GRE links; the C library's list of hardware types lacks it.
constexpr unsigned short kHardwareTypeIp6Gre = 823;

int32_t interface_type_of(unsigned short hardware_type) noexcept
{
    switch (hardware_type) {
        case ARPHRD_ETHER: return kPmcIfTypeEthernet;
        case ARPHRD_LOOPBACK: return kPmcIfTypeLoopback;
        case ARPHRD_PPP: return kPmcIfTypePpp;
        case ARPHRD_TUNNEL:
        case ARPHRD_TUNNEL6:
        case ARPHRD_SIT:
        case ARPHRD_IPGRE:
        case kHardwareTypeIp6Gre:
        case ARPHRD_NONE: return kPmcIfTypeTunnel;
        default: return kPmcIfTypeOther;
    }
}

uint32_t mask_of_prefix(unsigned prefix) noexcept
{
    return prefix == 0 ? 0U : (prefix >= 32 ? 0xFFFFFFFFU : ~(0xFFFFFFFFU >> prefix));
}

uint32_t host_order(const void* network_bytes) noexcept
{
    uint32_t value = 0;
    std::memcpy(&value, network_bytes, sizeof value);
    return ntohl(value);
}

// A new table filled by `fill(table)`: handed over when that answers a success, deleted
// otherwise; *result says which (PSW_ERR_NO_MEMORY when the table cannot be made).
// the caller takes ownership of the returned table
template <class Table, class Fill>
Table* filled_table(Result* result, Fill&& fill) noexcept
{
    std::unique_ptr<Table> table(pmc_new<Table>());
    if (!table) {
        *result = PSW_ERR_NO_MEMORY;
        return nullptr;
    }
    *result = fill(*table);
    return *result == PSW_SUCCESS ? table.release() : nullptr;
}

class CPmcTableSourceBase : public CPmcModuleTableSource {
public:
    using CPmcModuleTableSource::CPmcModuleTableSource;

    uint32_t number_of_interfaces(Result* result) noexcept override
    {
        std::unique_ptr<PmcInterfaceTable> table(interface_table(result));
        return table ? static_cast<uint32_t>(table->size()) : 0U;
    }
};

// Calls `visit` for each attribute of `size` bytes starting at `first`.
template <class Visit>
void each_attribute(const rtattr* first, size_t size, Visit&& visit) noexcept
{
    const auto* at = reinterpret_cast<const unsigned char*>(first);
    while (size >= sizeof(rtattr)) {
        const auto* attribute = reinterpret_cast<const rtattr*>(at);
        const size_t length = attribute->rta_len;
        if (length < sizeof(rtattr) || length > size) {
            return;
        }
        visit(attribute->rta_type, RTA_DATA(attribute), length - RTA_LENGTH(0));
        const size_t step = RTA_ALIGN(length);
        if (step >= size) {
            return;
        }
        at += step;
        size -= step;
    }
}

void sort_by_index(PmcInterfaceTable& table) noexcept
{
    std::sort(table.begin(), table.end(),
              [](const PmcInterfaceRecord& a, const PmcInterfaceRecord& b) {
                  return a.interface_index < b.interface_index;
              });
}

// An interface table as filled_table makes it, sorted by index once filled.
// the caller takes ownership of the returned table
template <class Fill>
PmcInterfaceTable* sorted_interface_table(Result* result, Fill&& fill) noexcept
{
    return filled_table<PmcInterfaceTable>(result, [&](PmcInterfaceTable& table) {
        const Result made = fill(table);
        if (made == PSW_SUCCESS) {
            sort_by_index(table);
        }
        return made;
    });
}

// ---------------------------------------------------------------------------------------------
// Preferred source: dumps over a routing socket.

class CPmcRoutingSocketSource final : public CPmcTableSourceBase {
public:
    using CPmcTableSourceBase::CPmcTableSourceBase;

    bool bind_api() noexcept
    {
        return bind_entry("socket", &m_pSocket) && bind_entry("sendto", &m_pSendTo) &&
               bind_entry("recv", &m_pRecv) && bind_entry("close", &m_pClose);
    }

    PmcRouteTable* route_table(Result* result) noexcept override
    {
        return filled_table<PmcRouteTable>(result, [&](PmcRouteTable& table) {
            return dump(RTM_GETROUTE, RTM_NEWROUTE,
                        [&](const nlmsghdr* header) { return add_route(table, header); });
        });
    }

    PmcInterfaceTable* interface_table(Result* result) noexcept override
    {
        return sorted_interface_table(result, [&](PmcInterfaceTable& table) {
            return dump(RTM_GETLINK, RTM_NEWLINK,
                        [&](const nlmsghdr* header) { return add_interface(table, header); });
        });
    }

    PmcIpAddressTable* ip_address_table(Result* result) noexcept override
    {
        return filled_table<PmcIpAddressTable>(result, [&](PmcIpAddressTable& table) {
            return dump(RTM_GETADDR, RTM_NEWADDR,
                        [&](const nlmsghdr* header) { return add_address(table, header); });
        });
    }

private:
    static constexpr size_t kReceiveBytes = 65536;

    // Sends one dump request for IPv4 and hands every answer message to `add` (which returns
    // false when memory runs out).
    template <class Add>
    Result dump(uint16_t type, uint16_t answer, Add&& add) noexcept
    {
        std::unique_ptr<char[]> buffer(new (std::nothrow) char[kReceiveBytes]);
        if (!buffer) {
            return PSW_ERR_NO_MEMORY;
        }
        const int handle = m_pSocket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
        if (handle < 0) {
            return PSW_ERR_NOT_AVAILABLE;
        }
        const Result result = exchange(handle, type, answer, buffer.get(), add);
        m_pClose(handle);
        return result;
    }

    template <class Add>
    Result exchange(int handle, uint16_t type, uint16_t answer, char* buffer, Add& add) noexcept
    {
        // The request body of each dump; the address family is its first byte in all three.
        const size_t body = type == RTM_GETLINK   ? sizeof(ifinfomsg)
                            : type == RTM_GETADDR ? sizeof(ifaddrmsg)
                                                  : sizeof(rtmsg);
        struct {
            nlmsghdr header;
            unsigned char body[sizeof(ifinfomsg)];
        } request{};
        request.header.nlmsg_len = static_cast<uint32_t>(NLMSG_LENGTH(body));
        request.header.nlmsg_type = type;
        request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
        request.header.nlmsg_seq = 1;
        request.body[0] = AF_INET;
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        if (m_pSendTo(handle, &request, request.header.nlmsg_len, 0,
                      reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) < 0) {
            return PSW_ERR_NOT_AVAILABLE;
        }
        for (;;) {
            const ssize_t received = m_pRecv(handle, buffer, kReceiveBytes, 0);
            if (received <= 0) {
                return PSW_ERR_NOT_AVAILABLE;
            }
            size_t left = static_cast<size_t>(received);
            for (auto* header = reinterpret_cast<const nlmsghdr*>(buffer); NLMSG_OK(header, left);
                 header = NLMSG_NEXT(header, left)) {
                if (header->nlmsg_type == NLMSG_DONE) {
                    return PSW_SUCCESS;
                }
                if (header->nlmsg_type == NLMSG_ERROR) {
                    return PSW_ERR_NOT_AVAILABLE;
                }
                if (header->nlmsg_type == answer && !add(header)) {
                    return PSW_ERR_NO_MEMORY;
                }
            }
        }
    }

    // Calls `visit` for each attribute after the message body of type Body.
    template <class Body, class Visit>
    static void each_body_attribute(const nlmsghdr* header, Visit&& visit) noexcept
    {
        const size_t start = NLMSG_SPACE(sizeof(Body));
        if (header->nlmsg_len <= start) {
            return;
        }
        each_attribute(
            reinterpret_cast<const rtattr*>(reinterpret_cast<const unsigned char*>(header) + start),
            header->nlmsg_len - start, visit);
    }

    static bool add_route(PmcRouteTable& table, const nlmsghdr* header) noexcept
    {
        const auto* message = static_cast<const rtmsg*>(NLMSG_DATA(header));
        if (message->rtm_family != AF_INET || message->rtm_type == RTN_BROADCAST ||
            message->rtm_type == RTN_MULTICAST) {
            return true;
        }
        uint32_t table_id = message->rtm_table;
        PmcRouteRecord record{};
        record.mask = mask_of_prefix(message->rtm_dst_len);
        each_body_attribute<rtmsg>(header, [&](unsigned short type, const void* data, size_t size) {
            if (type == RTA_TABLE && size >= sizeof table_id) {
                std::memcpy(&table_id, data, sizeof table_id);
            } else if (type == RTA_DST && size >= 4) {
                record.destination = host_order(data);
            } else if (type == RTA_GATEWAY && size >= 4) {
                record.next_hop = host_order(data);
            } else if (type == RTA_OIF && size >= sizeof record.interface_index) {
                std::memcpy(&record.interface_index, data, sizeof record.interface_index);
            } else if (type == RTA_MULTIPATH && record.interface_index == 0 &&
                       size >= sizeof(rtnexthop)) {
                // The first next hop stands for the route, as in the text table.
                rtnexthop first{};
                std::memcpy(&first, data, sizeof first);
                record.interface_index = static_cast<uint32_t>(first.rtnh_ifindex);
            }
        });
        if (table_id != RT_TABLE_MAIN) {
            return true;
        }
        record.type = record.next_hop != 0 ? kPmcRouteIndirect : kPmcRouteDirect;
        return table.push_back(record);
    }

    static bool add_interface(PmcInterfaceTable& table, const nlmsghdr* header) noexcept
    {
        const auto* message = static_cast<const ifinfomsg*>(NLMSG_DATA(header));
        PmcInterfaceRecord record{};
        record.interface_index = static_cast<uint32_t>(message->ifi_index);
        record.interface_type = interface_type_of(message->ifi_type);
        each_body_attribute<ifinfomsg>(
            header, [&](unsigned short type, const void* data, size_t size) {
                if (type == IFLA_IFNAME) {
                    std::snprintf(record.description, sizeof record.description, "%.*s",
                                  static_cast<int>(size), static_cast<const char*>(data));
                }
            });
        return table.push_back(record);
    }

    static bool add_address(PmcIpAddressTable& table, const nlmsghdr* header) noexcept
    {
        const auto* message = static_cast<const ifaddrmsg*>(NLMSG_DATA(header));
        if (message->ifa_family != AF_INET) {
            return true;
        }
        PmcIpAddressRecord record{};
        record.interface_index = message->ifa_index;
        record.mask = mask_of_prefix(message->ifa_prefixlen);
        bool local = false;
        each_body_attribute<ifaddrmsg>(header,
                                       [&](unsigned short type, const void* data, size_t size) {
                                           if (size < 4) {
                                               return;
                                           }
                                           if (type == IFA_LOCAL) {
                                               record.address = host_order(data);
                                               local = true;
                                           } else if (type == IFA_ADDRESS && !local) {
                                               // The peer on a point-to-point link; the local address, when given, wins.
                                               record.address = host_order(data);
                                           } else if (type == IFA_BROADCAST) {
                                               record.broadcast = host_order(data);
                                           }
                                       });
        return table.push_back(record);
    }

    decltype(&::socket) m_pSocket = nullptr;
    decltype(&::sendto) m_pSendTo = nullptr;
    decltype(&::recv) m_pRecv = nullptr;
    decltype(&::close) m_pClose = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Fallback source: the C library's interface list and the kernel's text route table.

class CPmcTextTableSource final : public CPmcTableSourceBase {
public:
    using CPmcTableSourceBase::CPmcTableSourceBase;

    bool bind_api() noexcept
    {
        return bind_entry("fopen", &m_pFOpen) && bind_entry("fgets", &m_pFGets) &&
               bind_entry("fclose", &m_pFClose) && bind_entry("getifaddrs", &m_pGetIfAddrs) &&
               bind_entry("freeifaddrs", &m_pFreeIfAddrs) &&
               bind_entry("if_nametoindex", &m_pNameToIndex);
    }

    // The source starts only when the route table can be read.
    bool start() noexcept
    {
        FILE* file = m_pFOpen(kTextRouteTable, "re");
        if (file == nullptr) {
            return false;
        }
        m_pFClose(file);
        return true;
    }

    PmcRouteTable* route_table(Result* result) noexcept override
    {
        return filled_table<PmcRouteTable>(result, [&](PmcRouteTable& table) -> Result {
            FILE* file = m_pFOpen(kTextRouteTable, "re");
            if (file == nullptr) {
                return PSW_ERR_NOT_AVAILABLE;
            }
            Result made = PSW_SUCCESS;
            char line[256];
            bool heading = true;
            while (made == PSW_SUCCESS && m_pFGets(line, sizeof line, file) != nullptr) {
                if (heading) {
                    heading = false;
                    continue;
                }
                made = add_route(table, line);
            }
            m_pFClose(file);
            return made;
        });
    }

    PmcInterfaceTable* interface_table(Result* result) noexcept override
    {
        return sorted_interface_table(result, [&](PmcInterfaceTable& table) {
            return each_entry([&](const ifaddrs* entry) { return add_interface(table, entry); });
        });
    }

    PmcIpAddressTable* ip_address_table(Result* result) noexcept override
    {
        return filled_table<PmcIpAddressTable>(result, [&](PmcIpAddressTable& table) {
            return each_entry([&](const ifaddrs* entry) { return add_address(table, entry); });
        });
    }

private:
    template <class Add>
    Result each_entry(Add&& add) noexcept
    {
        ifaddrs* list = nullptr;
        if (m_pGetIfAddrs(&list) != 0) {
            return PSW_ERR_NOT_AVAILABLE;
        }
        Result result = PSW_SUCCESS;
        for (const ifaddrs* entry = list; entry != nullptr && result == PSW_SUCCESS;
             entry = entry->ifa_next) {
            result = add(entry);
        }
        m_pFreeIfAddrs(list);
        return result;
    }

    // The index of an interface name; an address label ("eth0:1") names its interface.
    uint32_t index_of(const char* name) const noexcept
    {
        char interface[IF_NAMESIZE + 1] = {};
        std::snprintf(interface, sizeof interface, "%s", name);
        char* colon = std::strchr(interface, ':');
        if (colon != nullptr) {
            *colon = '\0';
        }
        return m_pNameToIndex(interface);
    }

    // One line: Iface Destination Gateway Flags RefCnt Use Metric Mask ...; the addresses are
    // the kernel's network-order words printed in hexadecimal.
    Result add_route(PmcRouteTable& table, const char* line) const noexcept
    {
        char name[IF_NAMESIZE + 1] = {};
        unsigned destination = 0;
        unsigned gateway = 0;
        unsigned flags = 0;
        unsigned mask = 0;
        if (std::sscanf(line, "%16s %x %x %x %*d %*u %*d %x", name, &destination, &gateway, &flags,
                        &mask) != 5) {
            return PSW_SUCCESS;
        }
        PmcRouteRecord record{};
        record.destination = ntohl(destination);
        record.mask = ntohl(mask);
        record.next_hop = ntohl(gateway);
        record.type = (flags & RTF_GATEWAY_FLAG) != 0 ? kPmcRouteIndirect : kPmcRouteDirect;
        record.interface_index = std::strcmp(name, "*") == 0 ? 0U : index_of(name);
        return table.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    }

    Result add_interface(PmcInterfaceTable& table, const ifaddrs* entry) const noexcept
    {
        const sockaddr* address = entry->ifa_addr;
        PmcInterfaceRecord record{};
        if (address != nullptr && address->sa_family == AF_PACKET) {
            const auto* link = reinterpret_cast<const sockaddr_ll*>(address);
            record.interface_index = static_cast<uint32_t>(link->sll_ifindex);
            record.interface_type = interface_type_of(link->sll_hatype);
        } else if (address == nullptr) {
            // A link without a hardware address (a layer-3 tun device) lists no link entry
            // address; it has no hardware type but its own.
            record.interface_index = index_of(entry->ifa_name);
            record.interface_type = interface_type_of(ARPHRD_NONE);
        } else {
            return PSW_SUCCESS;
        }
        std::snprintf(record.description, sizeof record.description, "%s", entry->ifa_name);
        return table.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    }

    Result add_address(PmcIpAddressTable& table, const ifaddrs* entry) const noexcept
    {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            return PSW_SUCCESS;
        }
        PmcIpAddressRecord record{};
        record.interface_index = index_of(entry->ifa_name);
        record.address =
            host_order(&reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr);
        if (entry->ifa_netmask != nullptr) {
            record.mask =
                host_order(&reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr);
        }
        if ((entry->ifa_flags & IFF_BROADCAST) != 0 && entry->ifa_broadaddr != nullptr) {
            record.broadcast =
                host_order(&reinterpret_cast<const sockaddr_in*>(entry->ifa_broadaddr)->sin_addr);
            // An address without a broadcast address comes back with itself in that place.
            if (record.broadcast == record.address) {
                record.broadcast = 0;
            }
        }
        return table.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    }

    // RTF_GATEWAY of <linux/route.h>, which clashes with <net/route.h>.
    static constexpr unsigned RTF_GATEWAY_FLAG = 0x0002;

    decltype(&::fopen) m_pFOpen = nullptr;
    decltype(&::fgets) m_pFGets = nullptr;
    decltype(&::fclose) m_pFClose = nullptr;
    decltype(&::getifaddrs) m_pGetIfAddrs = nullptr;
    decltype(&::freeifaddrs) m_pFreeIfAddrs = nullptr;
    decltype(&::if_nametoindex) m_pNameToIndex = nullptr;
};

}  // namespace

IPmcTableSource* pmc_create_table_source(PmcModuleLoader& loader, PmcTableSourceKind kind,
                                         Result* result) noexcept
{
    Result ignored = PSW_SUCCESS;
    Result* out = result != nullptr ? result : &ignored;
    if (kind == PmcTableSourceKind::kRoutingSocket) {
        return pmc_make_table_source<CPmcRoutingSocketSource, false>(loader, kTableSourceModule,
                                                                     out);
    }
    return pmc_make_table_source<CPmcTextTableSource, true>(loader, kTableSourceModule, out);
}

}  // namespace psw
