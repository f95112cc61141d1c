// Address services for a socket library without the protocol-independent name functions:
// dotted IPv4 texts, IPX texts, and the host-entry functions.
#include <cstring>

#include "core/factory.h"
#include "core/platform/lock.h"
#include "net/address_services_base.h"
#include "net/address_text.h"

namespace psw {

namespace {

using EProtocol = IPmcNetworkAddress::EProtocol;
using Version = CPmcSocketLibraryUse::Version;

constexpr char kBroadcastText[] = "255.255.255.255";

// The host-entry functions return one process-wide buffer on some platforms; reading an entry
// is therefore serialised.
PmcLock& host_entry_lock() noexcept
{
    static PmcLock lock;
    return lock;
}

class CPmcClassicAddressServices final : public CPmcAddressServicesBase {
public:
    using CPmcAddressServicesBase::CPmcAddressServicesBase;

    Result parse(const char* text, PmsOctets* out) noexcept override
    {
        if (text == nullptr || out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        uint8_t bytes[4];
        if (pmc_parse_ipv4_text(text, bytes)) {
            char canonical[16];
            pmc_format_ipv4_text(bytes, canonical, sizeof canonical);
            return out->assign(canonical);
        }
        uint8_t node[6];
        if (pmc_parse_ipx_text(text, bytes, node)) {
            return out->assign(text);
        }
        return PSW_ERR_TOO_LONG;
    }

    Result protocol_of(const char* text, EProtocol* out) noexcept override
    {
        if (text == nullptr || out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        uint8_t bytes[4];
        uint8_t node[6];
        if (pmc_parse_ipv4_text(text, bytes)) {
            *out = IPmcNetworkAddress::kUdpIpv4;
        } else if (pmc_parse_ipx_text(text, bytes, node)) {
            *out = IPmcNetworkAddress::kIpx;
        } else {
            *out = IPmcNetworkAddress::kUnspecified;
            return PSW_ERR_TOO_LONG;
        }
        return PSW_SUCCESS;
    }

    Result resolve(const char* host, IPmcNetworkAddressList** out) noexcept override
    {
        if (host == nullptr || out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        return with_library(Version::k11, [&]() -> Result {
            PmcLockGuard guard(host_entry_lock());
            const hostent* entry = api().m_pGetHostByName(host);
            if (entry == nullptr) {
                return PSW_ERR_FAILED;
            }
            // The entry's address list ends with a null; the walk stops on a null item.
            const auto next = [](char* const* item) -> char* const* {
                return item[1] != nullptr ? item + 1 : nullptr;
            };
            char* const* first = entry->h_addr_list[0] != nullptr ? entry->h_addr_list : nullptr;
            return collect_addresses(
                first, next,
                [&](char* const* item, OwnedPtr<IPmcNetworkAddress>& address) {
                    return to_address(*entry, *item, address);
                },
                out);
        });
    }

    Result host_name_of(const char* text, PmsOctets* out) noexcept override
    {
        if (text == nullptr || out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        return with_library(Version::k11, [&]() -> Result {
            const in_addr_t address = api().m_pInetAddr(text);
            if (address == INADDR_NONE &&
                std::strncmp(text, kBroadcastText, sizeof kBroadcastText - 1) != 0) {
                return PSW_ERR_FAILED;
            }
            PmcLockGuard guard(host_entry_lock());
            const hostent* entry =
                api().m_pGetHostByAddr(reinterpret_cast<const char*>(&address), 4, kPmcFamilyInet);
            if (entry == nullptr || entry->h_name == nullptr) {
                return PSW_ERR_FAILED;
            }
            return out->assign(entry->h_name);
        });
    }

    Result local_host_address(EProtocol protocol, IPmcNetworkAddress** out) noexcept override
    {
        if (protocol == IPmcNetworkAddress::kIpx) {
            return PSW_ERR_UNSUPPORTED;
        }
        if (out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        return with_library(Version::k11, [&]() -> Result {
            char name[kPmcMaxHostText];
            if (!local_host_name(name)) {
                return PSW_ERR_FAILED;
            }
            PmcLockGuard guard(host_entry_lock());
            const hostent* entry = api().m_pGetHostByName(name);
            if (entry == nullptr || entry->h_addr_list[0] == nullptr) {
                return PSW_ERR_FAILED;
            }
            OwnedPtr<IPmcNetworkAddress> address;
            return hand_over(to_address(*entry, entry->h_addr_list[0], address), address, out);
        });
    }

    Result port_of_service(const char* service, EProtocol /*protocol*/,
                           uint16_t* out) noexcept override
    {
        if (service == nullptr || out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        return with_library(Version::k11, [&]() -> Result {
            PmcLockGuard guard(host_entry_lock());
            const servent* entry = api().m_pGetServByName(service, "udp");
            if (entry == nullptr) {
                return PSW_ERR_FAILED;
            }
            // The entry holds the port in network byte order; callers get it in host order.
            *out = api().m_pNtohs(static_cast<uint16_t>(entry->s_port));
            return PSW_SUCCESS;
        });
    }

private:
    // A new address with the dotted text of one IPv4 address of a host entry and port 0.
    Result to_address(const hostent& entry, const char* raw,
                      OwnedPtr<IPmcNetworkAddress>& out) const noexcept
    {
        if (entry.h_addrtype != kPmcFamilyInet || entry.h_length != 4) {
            return PSW_ERR_FAILED;
        }
        in_addr address{};
        std::memcpy(&address, raw, 4);
        const char* text = api().m_pInetNtoa(address);
        if (text == nullptr) {
            return PSW_ERR_FAILED;
        }
        return new_address(text, pmc_protocol_of_family(entry.h_addrtype), 0, out);
    }
};

}  // namespace

IPmcAddressServices* create_classic_address_services(CPmcSocketLibrary& library,
                                                     Result* result) noexcept
{
    IPmcAddressServices* services = pmc_new<CPmcClassicAddressServices>(library);
    set_result(result, services != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return services;
}

}  // namespace psw
