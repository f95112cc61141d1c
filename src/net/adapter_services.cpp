#include "net/adapter_services.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

#include "core/factory.h"
#include "net/adapter_list.h"
#include "net/address_text.h"
#include "net/socket_platform.h"

namespace psw {

namespace {

using EProtocol = IPmcNetworkAddress::EProtocol;

// Reads the adapters and answers what `use(adapters)` answers; a failing read is answered
// instead and `use` is not called.
template <class Use>
Result with_adapters(CPmcIpHelpLibrary& library, Use&& use) noexcept
{
    PmcVector<PmcAdapter> adapters;
    Result result = library.load_ip_helper();
    if (result == PSW_SUCCESS) {
        result = pmc_read_adapters(library.api(), &adapters);
    }
    return result != PSW_SUCCESS ? result : use(adapters);
}

// The protocols the adapter questions answer for.
bool is_adapter_protocol(EProtocol protocol) noexcept
{
    return protocol == IPmcNetworkAddress::kUdpIpv4 || protocol == IPmcNetworkAddress::kUdpIpv6;
}

bool all_zero(const uint8_t (&bytes)[16]) noexcept
{
    for (uint8_t byte : bytes) {
        if (byte != 0) {
            return false;
        }
    }
    return true;
}

// Adapters counted and searched for each protocol.
bool serves_ipv4(const PmcAdapter& adapter) noexcept
{
    return !adapter.loopback;
}

bool serves_ipv6(const PmcAdapter& adapter) noexcept
{
    return !adapter.loopback && !adapter.tunnel && adapter.ipv6_count > 0;
}

void mac_text(const PmcAdapter& adapter, char (&text)[18]) noexcept
{
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", adapter.mac[0],
                  adapter.mac[1], adapter.mac[2], adapter.mac[3], adapter.mac[4], adapter.mac[5]);
}

Result hand_out_mac(const PmcAdapter& adapter, PmsOctets* out) noexcept
{
    char text[18];
    mac_text(adapter, text);
    return out->assign(text);
}

// Whether `wanted` (and its canonical form, when it has one) names this unicast address.
bool ipv6_matches(IPmcAddressServices& services, const PmcAdapterIpv6& unicast, const char* wanted,
                  const char* wanted_canonical) noexcept
{
    char hex[40];
    const uint8_t* b = unicast.bytes;
    std::snprintf(hex, sizeof hex,
                  "%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x", b[0],
                  b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    OwnedPtr<PmsOctets> canonical(create_octets());
    if (!canonical || services.parse(hex, canonical.get()) != PSW_SUCCESS) {
        return false;
    }
    char scoped[kPmcMaxHostText + 16] = {};
    if (unicast.scope != 0) {
        std::snprintf(scoped, sizeof scoped, "%s%%%u", canonical->c_str(), unicast.scope);
    }
    for (const char* form : {canonical->c_str(), static_cast<const char*>(scoped)}) {
        if (form[0] == '\0') {
            continue;
        }
        if (strcasecmp(form, wanted) == 0 ||
            (wanted_canonical != nullptr && strcasecmp(form, wanted_canonical) == 0)) {
            return true;
        }
    }
    return false;
}

// Searches the adapters `serves` admits for the hardware address `mac`.
template <class Serves>
Result find_mac(CPmcIpHelpLibrary& library, const char* mac, Serves serves, bool* out) noexcept
{
    return with_adapters(library, [&](const PmcVector<PmcAdapter>& adapters) {
        bool found = false;
        for (const PmcAdapter& adapter : adapters) {
            char text[18];
            mac_text(adapter, text);
            found = found || (serves(adapter) && strcasecmp(text, mac) == 0);
        }
        *out = found;
        return PSW_SUCCESS;
    });
}

// The hardware address of the adapter that holds `text` (any, when it is empty).
Result mac_of_address(IPmcAddressServices& services, const PmcVector<PmcAdapter>& adapters,
                      EProtocol protocol, const char* text, PmsOctets* out) noexcept
{
    if (protocol == IPmcNetworkAddress::kUdpIpv4) {
        for (const PmcAdapter& adapter : adapters) {
            const char* first = adapter.ipv4[0] != '\0' ? adapter.ipv4 : "0.0.0.0";
            if (serves_ipv4(adapter) && (text[0] == '\0' || std::strcmp(first, text) == 0)) {
                return hand_out_mac(adapter, out);
            }
        }
        return PSW_ERR_TOO_LONG;
    }
    // The text in canonical form too, so that other spellings of the address ("FE80::0001",
    // "%eth0" for "%2") find it.
    OwnedPtr<PmsOctets> canonical(create_octets());
    if (!canonical) {
        return PSW_ERR_NO_MEMORY;
    }
    const char* wanted_canonical = nullptr;
    if (text[0] != '\0' && services.parse(text, canonical.get()) == PSW_SUCCESS) {
        wanted_canonical = canonical->c_str();
    }
    for (const PmcAdapter& adapter : adapters) {
        if (!serves_ipv6(adapter)) {
            continue;
        }
        for (size_t i = 0; i < adapter.ipv6_count; ++i) {
            const PmcAdapterIpv6& unicast = adapter.ipv6[i];
            if (all_zero(unicast.bytes)) {
                continue;
            }
            if (text[0] == '\0' || ipv6_matches(services, unicast, text, wanted_canonical)) {
                return hand_out_mac(adapter, out);
            }
        }
    }
    return PSW_ERR_TOO_LONG;
}

}  // namespace

Result pmc_adapter_count(CPmcIpHelpLibrary& library, EProtocol protocol, uint32_t* out) noexcept
{
    if (out == nullptr || !is_adapter_protocol(protocol)) {
        return PSW_ERR_PARAMETER;
    }
    return with_adapters(library, [&](const PmcVector<PmcAdapter>& adapters) {
        uint32_t count = 0;
        for (const PmcAdapter& adapter : adapters) {
            const bool serves = protocol == IPmcNetworkAddress::kUdpIpv4 ? serves_ipv4(adapter)
                                                                         : serves_ipv6(adapter);
            count += serves ? 1U : 0U;
        }
        *out = count;
        return PSW_SUCCESS;
    });
}

Result pmc_mac_of_address(CPmcIpHelpLibrary& library, IPmcAddressServices& services,
                          EProtocol protocol, const char* text, PmsOctets* out) noexcept
{
    if (text == nullptr || out == nullptr || !is_adapter_protocol(protocol)) {
        return PSW_ERR_PARAMETER;
    }
    return with_adapters(library, [&](const PmcVector<PmcAdapter>& adapters) {
        return mac_of_address(services, adapters, protocol, text, out);
    });
}

Result pmc_is_local_mac(CPmcIpHelpLibrary& library, const char* mac, bool* out) noexcept
{
    if (mac == nullptr || out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    if (find_mac(library, mac, serves_ipv4, out) == PSW_SUCCESS) {
        return PSW_SUCCESS;
    }
    return find_mac(library, mac, serves_ipv6, out);
}

namespace {

// The source address the system picks toward `target` (a connected datagram socket sends
// nothing), or false when it has no route or the functions are missing.
bool source_toward(const NPmcSocketAPI& api, const sockaddr* target, PmcSockLen length,
                   sockaddr_storage* source) noexcept
{
    if (api.m_pSocket == nullptr || api.m_pConnect == nullptr || api.m_pGetSockName == nullptr ||
        api.m_pCloseSocket == nullptr) {
        return false;
    }
    sockaddr_storage peer{};
    std::memcpy(&peer, target, static_cast<size_t>(length));
    // A connect needs a port; the target's own one may be 0.
    if (peer.ss_family == AF_INET6) {
        reinterpret_cast<sockaddr_in6*>(&peer)->sin6_port = api.m_pHtons(9);
    } else {
        reinterpret_cast<sockaddr_in*>(&peer)->sin_port = api.m_pHtons(9);
    }
    const PmcSocketHandle handle = api.m_pSocket(peer.ss_family, SOCK_DGRAM, 0);
    if (handle == kPmcInvalidSocket) {
        return false;
    }
    PmcSockLen size = sizeof *source;
    const bool found =
        api.m_pConnect(handle, reinterpret_cast<const sockaddr*>(&peer), length) == 0 &&
        api.m_pGetSockName(handle, reinterpret_cast<sockaddr*>(source), &size) == 0;
    api.m_pCloseSocket(handle);
    return found;
}

// The adapter holding the source address; null when none does.
const PmcAdapter* adapter_of_source(const PmcVector<PmcAdapter>& adapters,
                                    const sockaddr_storage& source, char (&ipv4)[16]) noexcept
{
    if (source.ss_family == AF_INET) {
        uint8_t bytes[4];
        std::memcpy(bytes, &reinterpret_cast<const sockaddr_in*>(&source)->sin_addr, sizeof bytes);
        pmc_format_ipv4_text(bytes, ipv4, sizeof ipv4);
    }
    for (const PmcAdapter& adapter : adapters) {
        if (source.ss_family == AF_INET) {
            if (std::strcmp(adapter.ipv4, ipv4) == 0) {
                return &adapter;
            }
            continue;
        }
        const auto& native = reinterpret_cast<const sockaddr_in6&>(source);
        for (size_t i = 0; i < adapter.ipv6_count; ++i) {
            if (std::memcmp(adapter.ipv6[i].bytes, native.sin6_addr.s6_addr, 16) == 0) {
                return &adapter;
            }
        }
    }
    return nullptr;
}

}  // namespace

Result pmc_best_local_address_ipv6(CPmcIpHelpLibrary& library, CPmcSocketLibrary& sockets,
                                   const IPmcNetworkAddress* target,
                                   IPmcNetworkAddress** out) noexcept
{
    if (target == nullptr || out == nullptr || target->text() == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    Result result = sockets.startup_v2_2();
    if (result != PSW_SUCCESS) {
        return result;
    }
    struct Cleanup {
        CPmcSocketLibrary& library;
        ~Cleanup() { library.cleanup(); }
    } cleanup{sockets};
    const NPmcSocketAPI& api = sockets.api();
    if (library.load_ip_helper() != PSW_SUCCESS || !library.api().has_adapter_list() ||
        api.m_pGetAddrInfo == nullptr || api.m_pFreeAddrInfo == nullptr) {
        return PSW_ERR_UNSUPPORTED;
    }
    addrinfo hints{};
    hints.ai_flags = kPmcAiPassive | kPmcAiNumericHost;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* info = nullptr;
    if (api.m_pGetAddrInfo(target->text(), nullptr, &hints, &info) != 0 || info == nullptr) {
        return PSW_ERR_FAILED;
    }
    sockaddr_storage source{};
    const bool routed =
        source_toward(api, info->ai_addr, static_cast<PmcSockLen>(info->ai_addrlen), &source);
    api.m_pFreeAddrInfo(info);
    if (!routed) {
        return PSW_ERR_UNSUPPORTED;
    }
    PmcVector<PmcAdapter> adapters;
    result = pmc_read_adapters(library.api(), &adapters);
    if (result != PSW_SUCCESS) {
        return result == PSW_ERR_NO_MEMORY ? result : PSW_ERR_FAILED;
    }
    char ipv4[16] = {};
    const PmcAdapter* adapter = adapter_of_source(adapters, source, ipv4);
    if (adapter == nullptr) {
        return PSW_ERR_FAILED;
    }
    char text[kPmcMaxHostText] = {};
    std::snprintf(text, sizeof text, "%s", ipv4);
    if (source.ss_family == AF_INET6) {
        // The system's own choice among the interface's addresses: the first one listed is
        // usually the link-local address, which cannot reach a global target.
        const auto& native = reinterpret_cast<const sockaddr_in6&>(source);
        pmc_format_ipv6_text(native.sin6_addr.s6_addr, text, sizeof text);
        if (native.sin6_scope_id != 0) {
            const size_t length = std::strlen(text);
            std::snprintf(text + length, sizeof text - length, "%%%u",
                          static_cast<unsigned>(native.sin6_scope_id));
        }
    }
    return pmc_new_address_like(text, *target, out);
}

}  // namespace psw
