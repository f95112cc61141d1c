// Address services over the protocol-independent name functions (IPv4 and IPv6).
#include <cstdio>
#include <cstring>

#include "core/factory.h"
#include "net/address_services_base.h"
#include "net/address_text.h"
#include "net/ipv6_zone.h"

namespace psw {

namespace {

using EProtocol = IPmcNetworkAddress::EProtocol;
using Version = CPmcSocketLibraryUse::Version;

// The result list of one name-to-address call, freed through the same table.
class AddressInfo {
public:
    explicit AddressInfo(const NPmcSocketAPI& api) noexcept : m_api(api) {}
    ~AddressInfo()
    {
        if (m_head != nullptr) {
            m_api.m_pFreeAddrInfo(m_head);
        }
    }
    AddressInfo(const AddressInfo&) = delete;
    AddressInfo& operator=(const AddressInfo&) = delete;

    // False also when the binding has no name functions.
    bool lookup(const char* node, const char* service, int flags, int family) noexcept
    {
        if (!m_api.m_extended) {
            return false;
        }
        addrinfo hints{};
        hints.ai_flags = flags;
        hints.ai_family = family;
        hints.ai_socktype = SOCK_DGRAM;
        return m_api.m_pGetAddrInfo(node, service, &hints, &m_head) == 0 && m_head != nullptr;
    }

    const addrinfo* first() const noexcept { return m_head; }

private:
    const NPmcSocketAPI& m_api;
    addrinfo* m_head = nullptr;
};

bool is_ipx_text(const char* text) noexcept
{
    uint8_t network[4];
    uint8_t node[6];
    return pmc_parse_ipx_text(text, network, node);
}

class CPmcExtendedAddressServices final : public CPmcAddressServicesBase {
public:
    using CPmcAddressServicesBase::CPmcAddressServicesBase;

    Result parse(const char* text, PmsOctets* out) noexcept override
    {
        if (text == nullptr || out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (is_ipx_text(text)) {
            return out->assign(text);
        }
        return with_library(Version::k22, [&]() -> Result {
            AddressInfo info(api());
            ZonedText zoned;
            if (!lookup_numeric(text, info, zoned)) {
                return PSW_ERR_FAILED;
            }
            char host[kPmcMaxHostText];
            if (!numeric_host(info.first(), host)) {
                return PSW_ERR_FAILED;
            }
            if (zoned.zone != nullptr) {
                // The zone in one spelling, its number, so that "%eth0" and "%2" compare equal.
                const size_t length = std::strlen(host);
                std::snprintf(host + length, sizeof host - length, "%%%u", zoned.scope);
            }
            return out->assign(host);
        });
    }

    Result protocol_of(const char* text, EProtocol* out) noexcept override
    {
        if (text == nullptr || out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (is_ipx_text(text)) {
            *out = IPmcNetworkAddress::kIpx;
            return PSW_SUCCESS;
        }
        return with_library(Version::k22, [&]() -> Result {
            AddressInfo info(api());
            ZonedText zoned;
            if (!lookup_numeric(text, info, zoned)) {
                *out = IPmcNetworkAddress::kUnspecified;
                return PSW_ERR_FAILED;
            }
            *out = pmc_protocol_of_family(info.first()->ai_family);
            return PSW_SUCCESS;
        });
    }

    Result resolve(const char* host, IPmcNetworkAddressList** out) noexcept override
    {
        if (host == nullptr || out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        return with_library(Version::k22, [&]() -> Result {
            AddressInfo info(api());
            if (!info.lookup(host, nullptr, kPmcAiPassive, AF_UNSPEC)) {
                return PSW_ERR_FAILED;
            }
            return collect_addresses(
                info.first(), [](const addrinfo* entry) { return entry->ai_next; },
                [&](const addrinfo* entry, OwnedPtr<IPmcNetworkAddress>& address) {
                    return to_address(entry, address);
                },
                out);
        });
    }

    Result host_name_of(const char* text, PmsOctets* out) noexcept override
    {
        if (text == nullptr || out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        return with_library(Version::k22, [&]() -> Result {
            AddressInfo info(api());
            if (!info.lookup(text, nullptr, kPmcAiPassive | kPmcAiNumericHost, AF_UNSPEC)) {
                return PSW_ERR_FAILED;
            }
            char name[kPmcMaxHostText];
            const addrinfo* entry = info.first();
            if (api().m_pGetNameInfo(entry->ai_addr, static_cast<PmcSockLen>(entry->ai_addrlen),
                                     name, sizeof name, nullptr, 0, kPmcNiNameRequired) != 0) {
                return PSW_ERR_FAILED;
            }
            return out->assign(name);
        });
    }

    Result local_host_address(EProtocol protocol, IPmcNetworkAddress** out) noexcept override
    {
        if (protocol == IPmcNetworkAddress::kIpx) {
            return PSW_ERR_UNSUPPORTED;
        }
        const int family = pmc_family_of_protocol(protocol);
        if (out == nullptr || family < 0) {
            return PSW_ERR_PARAMETER;
        }
        return with_library(Version::k22, [&]() -> Result {
            char name[kPmcMaxHostText];
            if (!local_host_name(name)) {
                return PSW_ERR_FAILED;
            }
            AddressInfo info(api());
            if (!info.lookup(name, nullptr, kPmcAiPassive, family)) {
                return PSW_ERR_FAILED;
            }
            OwnedPtr<IPmcNetworkAddress> address;
            return hand_over(to_address(info.first(), address), address, out);
        });
    }

    Result port_of_service(const char* service, EProtocol protocol, uint16_t* out) noexcept override
    {
        const int family = pmc_family_of_protocol(protocol);
        if (service == nullptr || out == nullptr || family < 0) {
            return PSW_ERR_PARAMETER;
        }
        return with_library(Version::k22, [&]() -> Result {
            AddressInfo info(api());
            if (!info.lookup(nullptr, service, kPmcAiPassive, family)) {
                return PSW_ERR_FAILED;
            }
            char port[kPmcMaxServiceText];
            const addrinfo* entry = info.first();
            if (api().m_pGetNameInfo(entry->ai_addr, static_cast<PmcSockLen>(entry->ai_addrlen),
                                     nullptr, 0, port, sizeof port, kPmcNiNumericService) != 0) {
                return PSW_ERR_FAILED;
            }
            *out = pmc_port_of_text(port);
            return PSW_SUCCESS;
        });
    }

private:
    // A numeric text split from its zone ("fe80::1%eth0"), with the zone's scope id.
    struct ZonedText {
        char host[kPmcIpv6AddressTextSize] = {};
        const char* zone = nullptr;
        uint32_t scope = 0;
    };

    // Looks up the numeric address part of `text`; a zone must name a scope and may only
    // follow an IPv6 address.
    bool lookup_numeric(const char* text, AddressInfo& info, ZonedText& zoned) const noexcept
    {
        if (pmc_split_ipv6_zone(text, zoned.host, sizeof zoned.host, &zoned.zone) != PSW_SUCCESS ||
            (zoned.zone != nullptr &&
             pmc_ipv6_scope_of_zone(zoned.zone, &zoned.scope) != PSW_SUCCESS)) {
            return false;
        }
        if (!info.lookup(zoned.host, nullptr, kPmcAiPassive | kPmcAiNumericHost, AF_UNSPEC)) {
            return false;
        }
        return zoned.zone == nullptr || info.first()->ai_family == kPmcFamilyInet6;
    }

    bool numeric_host(const addrinfo* entry, char (&host)[kPmcMaxHostText]) const noexcept
    {
        return api().m_pGetNameInfo(entry->ai_addr, static_cast<PmcSockLen>(entry->ai_addrlen),
                                    host, sizeof host, nullptr, 0, kPmcNiNumericHost) == 0;
    }

    // A new address with the numeric host and service of one result.
    Result to_address(const addrinfo* entry, OwnedPtr<IPmcNetworkAddress>& out) const noexcept
    {
        char host[kPmcMaxHostText];
        char port[kPmcMaxServiceText];
        if (api().m_pGetNameInfo(entry->ai_addr, static_cast<PmcSockLen>(entry->ai_addrlen), host,
                                 sizeof host, port, sizeof port,
                                 kPmcNiNumericHost | kPmcNiNumericService) != 0) {
            return PSW_ERR_FAILED;
        }
        return new_address(host, pmc_protocol_of_family(entry->ai_family), pmc_port_of_text(port),
                           out);
    }
};

}  // namespace

IPmcAddressServices* create_extended_address_services(CPmcSocketLibrary& library,
                                                      Result* result) noexcept
{
    IPmcAddressServices* services = pmc_new<CPmcExtendedAddressServices>(library);
    set_result(result, services != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return services;
}

}  // namespace psw
