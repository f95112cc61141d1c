#include "net/datagram_socket.h"

#include <cstdio>
#include <cstring>

#include "core/factory.h"
#include "log/log_channel.h"
#include "log/wire_trace.h"
#include "net/address_services_base.h"
#include "net/address_text.h"
#include "net/ipv6_zone.h"
#include "net/multicast_links.h"
#include "net/socket_api.h"

namespace psw {

namespace {

using EProtocol = IPmcNetworkAddress::EProtocol;

constexpr char kIpv4AnyText[] = "0.0.0.0";
constexpr char kIpxAnyText[] = "00000000:000000000000";
constexpr char kIpv6AnyText[] = "0000:0000:0000:0000:0000:0000:0000:0000";
constexpr char kBroadcastText[] = "255.255.255.255";

IPmcLogger* log() noexcept
{
    return pmc_socket_channel().logger();
}

const char* printable(const char* text) noexcept
{
    return text != nullptr ? text : "";
}

// inet_addr's answer, with the one all-ones text that really means all ones.
bool ipv4_of_text(const NPmcSocketAPI& api, const char* text, in_addr_t& out) noexcept
{
    if (text == nullptr) {
        return false;
    }
    out = api.m_pInetAddr(text);
    return out != INADDR_NONE || std::strncmp(text, kBroadcastText, sizeof kBroadcastText - 1) == 0;
}

// What the three variants share: the handle, the local address, the start-up state and the
// operations; the variants supply the family hooks.
class CPmcDataGramSocket : public DataGramSocket {
public:
    explicit CPmcDataGramSocket(CPmcSocketLibrary& library) noexcept : m_library(library) {}

    void release() noexcept override { delete this; }

    Result send(const uint8_t* buffer, uint32_t length,
                const IPmcNetworkAddress* destination) noexcept override
    {
        if (buffer == nullptr || destination == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (IPmcLogger* logger = pmc_socket_channel().listening(kLogDebug)) {
            const unsigned local_port = m_pLocal->port();
            logger->output(kLogDebug,
                           "[DataGramSocket::send] send packet. port:%d(0x%x) -> %s:%d(0x%x).",
                           local_port, local_port, printable(destination->text()),
                           destination->port(), destination->port());
        }
        const sockaddr_storage* address = native_of(*destination, m_destination);
        if (address == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (pmc_snmp_channel().listening(kLogDebug) != nullptr) {
            pmc_trace_datagram("send to", destination->text(), destination->port(), buffer, length);
        }
        return send_native(buffer, length, *address);
    }

    Result receive(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms, int32_t* received,
                   IPmcNetworkAddress** source) noexcept override
    {
        if (buffer == nullptr || received == nullptr || source == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        *source = nullptr;
        sockaddr_storage address{};
        Result result = read_datagram(buffer, capacity, timeout_ms, received, address);
        if (result != PSW_SUCCESS) {
            return result;
        }
        OwnedPtr<IPmcNetworkAddress> from(create_empty_address(&result));
        if (!from) {
            return PSW_ERR_NO_MEMORY;
        }
        result = store_source(address, buffer, *received, *from);
        if (result == PSW_SUCCESS) {
            *source = from.release();
        }
        return result;
    }

    Result receive_into(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms, int32_t* received,
                        IPmcNetworkAddress* source) noexcept override
    {
        if (buffer == nullptr || received == nullptr || source == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        sockaddr_storage address{};
        const Result result = read_datagram(buffer, capacity, timeout_ms, received, address);
        return result != PSW_SUCCESS ? result : store_source(address, buffer, *received, *source);
    }

    Result reopen(EProtocol protocol, uint16_t port) noexcept override
    {
        if (protocol != m_pLocal->protocol()) {
            return PSW_ERR_UNSUPPORTED;
        }
        close();
        m_pLocal->set_port(port);
        const Result result = set_any_address();
        return result != PSW_SUCCESS ? result : open();
    }

    IPmcNetworkAddress* local_address() const noexcept override { return m_pLocal.get(); }

    Result set_broadcast(int32_t on) noexcept override
    {
        const EProtocol protocol = m_pLocal->protocol();
        if (protocol != IPmcNetworkAddress::kUdpIpv4 && protocol != IPmcNetworkAddress::kIpx) {
            return PSW_SUCCESS;
        }
        const int value = on & 0xff;
        if (api().m_pSetSockOpt(m_handle, SOL_SOCKET, SO_BROADCAST,
                                reinterpret_cast<const char*>(&value), sizeof value) != 0) {
            log()->output(kLogError,
                          "fail setsockopt(). can't set broadcast flag. WSAGetLastError()=%d",
                          last_error());
            return PSW_ERR_FAILED;
        }
        return PSW_SUCCESS;
    }

    Result set_receive_buffer(int32_t bytes) noexcept override
    {
        if (bytes < 1) {
            return PSW_ERR_PARAMETER;
        }
        const int value = bytes;
        if (api().m_pSetSockOpt(m_handle, SOL_SOCKET, SO_RCVBUF,
                                reinterpret_cast<const char*>(&value), sizeof value) != 0) {
            log()->output(kLogError,
                          "fail setsockopt(). can't set receive buffer size. WSAGetLastError()=%d",
                          last_error());
            return PSW_ERR_FAILED;
        }
        return PSW_SUCCESS;
    }

    Result join_multicast(const char* group) noexcept override
    {
        switch (m_pLocal->protocol()) {
            case IPmcNetworkAddress::kUdpIpv6: {
                ipv6_mreq request{};
                const Result parsed =
                    pmc_parse_ipv6_group_text(group, request.ipv6mr_multiaddr.s6_addr);
                if (parsed != PSW_SUCCESS) {
                    return parsed;
                }
                request.ipv6mr_interface = 0;  // the system's default interface
                return set_multicast_option(IPPROTO_IPV6, IPV6_JOIN_GROUP, &request,
                                            sizeof request);
            }
            case IPmcNetworkAddress::kUdpIpv4: {
                if (group == nullptr) {
                    return PSW_ERR_PARAMETER;
                }
                ip_mreq request{};
                in_addr_t address = 0;
                if (!ipv4_of_text(api(), group, address)) {
                    log()->output(kLogError, "fail inet_addr(). WSAGetLastError()=%d",
                                  last_error());
                    return PSW_ERR_FAILED;
                }
                request.imr_multiaddr.s_addr = address;
                request.imr_interface.s_addr = INADDR_ANY;
                return set_multicast_option(IPPROTO_IP, IP_ADD_MEMBERSHIP, &request,
                                            sizeof request);
            }
            default: return PSW_ERR_PARAMETER;
        }
    }

    // Opens and binds the socket for the local address set up by create().
    Result open() noexcept
    {
        const Result started = startup();
        if (started != PSW_SUCCESS) {
            return started;
        }
        m_started = true;
        if (open_socket() != PSW_SUCCESS) {
            log()->output(kLogError, "fail socket(). WSAGetLastError()=%d", last_error());
            return PSW_ERR_SOCKET;
        }
        const sockaddr_storage* address = native_of(*m_pLocal, m_bound);
        if (address == nullptr) {
            return PSW_ERR_ADDRESS;
        }
        if (api().m_pBind(m_handle, reinterpret_cast<const sockaddr*>(address),
                          kPmcSockAddrBytes) != 0) {
            log()->output(kLogError, "fail bind(). WSAGetLastError()=%d", last_error());
            return PSW_ERR_ADDRESS;
        }
        sockaddr_storage bound{};
        PmcSockLen bound_length = kPmcSockAddrBytes;
        if (api().m_pGetSockName(m_handle, reinterpret_cast<sockaddr*>(&bound), &bound_length) !=
                0 ||
            !from_sockaddr(bound, *m_pLocal)) {
            return PSW_ERR_FAILED;
        }
        if (IPmcLogger* logger = pmc_socket_channel().listening(kLogDebug)) {
            const unsigned port = m_pLocal->port();
            logger->output(kLogDebug, "create socket. id:0x%x port:%d(0x%x)",
                           static_cast<unsigned>(m_handle), port, port);
        }
        return PSW_SUCCESS;
    }

    // Takes the local address object made by create().
    void adopt_local_address(IPmcNetworkAddress* address) noexcept { m_pLocal.reset(address); }

    // The family's any-address text into the local address; PSW_ERR_TOO_LONG when the protocol has
    // none.
    virtual Result set_any_address() noexcept = 0;

protected:
    ~CPmcDataGramSocket() override
    {
        m_pLocal.reset();
        close();
    }

    // True when the native form of an address depends on nothing but its text, protocol and
    // port, so that it can be kept for the next use of the same address.
    virtual bool conversion_is_pure() const noexcept { return false; }

    virtual Result startup() noexcept = 0;
    virtual bool from_sockaddr(const sockaddr_storage& address,
                               IPmcNetworkAddress& out) noexcept = 0;
    virtual bool to_sockaddr(const IPmcNetworkAddress& address, sockaddr_storage& out) noexcept = 0;
    // Stores the new handle; PSW_ERR_ADDRESS when the platform refuses the socket.
    virtual Result open_socket() noexcept = 0;

    // Sends one converted destination; a family may send several datagrams for it.
    virtual Result send_native(const uint8_t* buffer, uint32_t length,
                               const sockaddr_storage& address) noexcept
    {
        return send_datagram(buffer, length, address);
    }

    // One sendto: 0, or PSW_ERR_SEND when it fails. A short send is only logged.
    Result send_datagram(const uint8_t* buffer, uint32_t length,
                         const sockaddr_storage& address) noexcept
    {
        const ssize_t sent = api().m_pSendTo(
            m_handle, reinterpret_cast<const char*>(buffer), static_cast<PmcIoLength>(length), 0,
            reinterpret_cast<const sockaddr*>(&address), kPmcSockAddrBytes);
        if (sent == -1) {
            log()->output(kLogError, "fail send(). WSAGetLastError()=%d", last_error());
            return PSW_ERR_SEND;
        }
        if (sent != static_cast<ssize_t>(length)) {
            log()->output(kLogWarn, "send(). size of sended bytes is not same that of buffer.");
        }
        return PSW_SUCCESS;
    }

    PmcSocketHandle handle() const noexcept { return m_handle; }

    Result store_handle(PmcSocketHandle handle) noexcept
    {
        m_handle = handle;
        return handle == kPmcInvalidSocket ? PSW_ERR_ADDRESS : PSW_SUCCESS;
    }

    // Writes text, protocol and port of a converted address; false when a setter fails.
    static bool fill(IPmcNetworkAddress& out, const char* text, EProtocol protocol,
                     uint16_t port) noexcept
    {
        return out.set(text, IPmcNetworkAddress::kUnspecified, 0) == PSW_SUCCESS &&
               out.set_protocol(protocol) == PSW_SUCCESS && out.set_port(port) == PSW_SUCCESS;
    }

    // The same for a text the library formatted itself, without capital letters: one the
    // address already holds is exactly what set() would keep, so it is not set again (a reply
    // comes from the address of the one before it).
    static bool fill_formatted(IPmcNetworkAddress& out, const char* text, EProtocol protocol,
                               uint16_t port) noexcept
    {
        return set_formatted_text(out, text) == PSW_SUCCESS &&
               out.set_protocol(protocol) == PSW_SUCCESS && out.set_port(port) == PSW_SUCCESS;
    }

    // The text part of fill_formatted.
    static Result set_formatted_text(IPmcNetworkAddress& out, const char* text) noexcept
    {
        const char* held = out.text();
        if (held != nullptr && std::strcmp(held, text) == 0) {
            return PSW_SUCCESS;
        }
        return out.set(text, IPmcNetworkAddress::kUnspecified, 0);
    }

    const NPmcSocketAPI& api() const noexcept { return m_library.api(); }
    CPmcSocketLibrary& library() const noexcept { return m_library; }
    IPmcNetworkAddress& local() const noexcept { return *m_pLocal; }
    int last_error() const noexcept { return m_library.last_error(); }

private:
    // The wait and read of receive(): the datagram's source address into `address`.
    Result read_datagram(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms, int32_t* received,
                         sockaddr_storage& address) noexcept
    {
        const Result waited = wait_readable(timeout_ms);
        if (waited != PSW_SUCCESS) {
            return waited;
        }
        PmcSockLen address_length = kPmcSockAddrBytes;
        ssize_t count = api().m_pRecvFrom(m_handle, reinterpret_cast<char*>(buffer),
                                          static_cast<PmcIoLength>(capacity), kPmcReceiveFlags,
                                          reinterpret_cast<sockaddr*>(&address), &address_length);
        if (count > static_cast<ssize_t>(capacity)) {
            // The datagram did not fit and its rest is lost: a failed receive, not a short one.
            pmc_socket_layer_set_last_error(kPmcErrorMessageTooLong);
            count = -1;
        }
        *received = static_cast<int32_t>(count);
        if (count < 0) {
            log()->output(kLogError, "fail recvfrom(). WSAGetLastError()=%d", last_error());
            return PSW_ERR_RECEIVE;
        }
        return PSW_SUCCESS;
    }

    // The source of a datagram of `count` bytes read into `buffer`, written into `from`.
    Result store_source(const sockaddr_storage& address, const uint8_t* buffer, int32_t count,
                        IPmcNetworkAddress& from) noexcept
    {
        if (!from_sockaddr(address, from)) {
            log()->output(kLogError,
                          "[DataGramSocket::receive] fail create CPmcNetworkAddress "
                          "( success recvfrom() ).");
            return PSW_ERR_FAILED;
        }
        if (IPmcLogger* logger = pmc_socket_channel().listening(kLogDebug)) {
            const unsigned local_port = m_pLocal->port();
            logger->output(
                kLogDebug, "[DataGramSocket::receive] receive packet port:%d(0x%x) <- %s:%d(0x%x).",
                local_port, local_port, printable(from.text()), from.port(), from.port());
        }
        if (pmc_snmp_channel().listening(kLogDebug) != nullptr) {
            pmc_trace_datagram("receive from", from.text(), from.port(), buffer,
                               static_cast<size_t>(count));
        }
        return PSW_SUCCESS;
    }

    Result wait_readable(int32_t timeout_ms) noexcept
    {
        int ready = 0;
        if (api().m_pPoll != nullptr) {
            if (timeout_ms < -1) {  // what select says of a negative time
                pmc_socket_layer_set_last_error(EINVAL);
                return readiness(-1);
            }
            do {
                ready = pmc_poll_readable(api().m_pPoll, m_handle, timeout_ms);
            } while (ready == -1 && pmc_socket_interrupted(last_error()));
            return readiness(ready);
        }
        if (!pmc_socket_selectable(m_handle)) {
            pmc_socket_layer_set_last_error(EBADF);
            log()->output(kLogError, "fail select(). WSAGetLastError()=%d", last_error());
            return PSW_ERR_RECEIVE;
        }
        timeval limit{};
        limit.tv_sec = timeout_ms / 1000;
        limit.tv_usec = (timeout_ms % 1000) * 1000;
        do {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(m_handle, &readable);
            ready = api().m_pSelect(pmc_select_width(m_handle), &readable, nullptr, nullptr,
                                    timeout_ms == -1 ? nullptr : &limit);
        } while (ready == -1 && pmc_socket_interrupted(last_error()));
        return readiness(ready);
    }

    // The result of a readiness wait that gave `ready` (above 0 ready, 0 time-out, -1 failed).
    Result readiness(int ready) noexcept
    {
        if (ready == -1) {
            log()->output(kLogError, "fail select(). WSAGetLastError()=%d", last_error());
            return PSW_ERR_RECEIVE;
        }
        if (ready == 0) {
            log()->output(kLogTrace, "select API timeout.");
            return PSW_ERR_TIMEOUT;
        }
        return PSW_SUCCESS;
    }

    // An address in native form, kept for the next use of the same text, protocol and port.
    struct NativeCache {
        static constexpr size_t kTextSize = 64;
        bool valid = false;
        EProtocol protocol = IPmcNetworkAddress::kUnspecified;
        uint16_t port = 0;
        char text[kTextSize] = {};
        sockaddr_storage native{};
    };

    // The native form of `address`, parsed only when it differs from the one `cache` holds (and
    // kept there when the family's conversion is pure); null when it cannot be converted.
    const sockaddr_storage* native_of(const IPmcNetworkAddress& address,
                                      NativeCache& cache) noexcept
    {
        const char* text = address.text();
        if (cache.valid && text != nullptr && address.port() == cache.port &&
            address.protocol() == cache.protocol && std::strcmp(text, cache.text) == 0) {
            return &cache.native;
        }
        cache.valid = false;
        if (!to_sockaddr(address, cache.native)) {
            return nullptr;
        }
        const size_t length = text != nullptr ? std::strlen(text) : NativeCache::kTextSize;
        if (conversion_is_pure() && length < NativeCache::kTextSize) {
            std::memcpy(cache.text, text, length + 1);
            cache.port = address.port();
            cache.protocol = address.protocol();
            cache.valid = true;
        }
        return &cache.native;
    }

    // Closes the OS socket and ends its start-up of the socket library.
    void close() noexcept
    {
        if (m_handle != kPmcInvalidSocket) {
            api().m_pCloseSocket(m_handle);
            m_handle = kPmcInvalidSocket;
        }
        if (m_started) {
            m_library.cleanup();
            m_started = false;
        }
    }

    Result set_multicast_option(int level, int option, const void* request,
                                PmcSockLen length) noexcept
    {
        if (api().m_pSetSockOpt(m_handle, level, option, static_cast<const char*>(request),
                                length) != 0) {
            log()->output(kLogError,
                          "fail setsockopt(). can't set multicast flag. WSAGetLastError()=%d",
                          last_error());
            return PSW_ERR_FAILED;
        }
        return PSW_SUCCESS;
    }

    PmcSocketHandle m_handle = kPmcInvalidSocket;
    OwnedPtr<IPmcNetworkAddress> m_pLocal;
    NativeCache m_destination;
    NativeCache m_bound;
    bool m_started = false;
    CPmcSocketLibrary& m_library;
};

// A socket of one address family on the classic socket library, whose any address is
// `AnyText`.
template <const char* AnyText>
class CPmcOneFamilyDataGramSocket : public CPmcDataGramSocket {
public:
    using CPmcDataGramSocket::CPmcDataGramSocket;

    Result set_any_address() noexcept override { return set_formatted_text(local(), AnyText); }

protected:
    Result startup() noexcept override { return library().startup_v1_1(); }
    // inet_addr and the IPX text parser read nothing but the text.
    bool conversion_is_pure() const noexcept override { return true; }

    // Stores a native address of the family in `out`, the rest of which is zero.
    template <class Native>
    static bool store_native(const Native& native, sockaddr_storage& out) noexcept
    {
        std::memset(&out, 0, sizeof out);
        std::memcpy(&out, &native, sizeof native);
        return true;
    }
};

class CPmcIpv4DataGramSocket final : public CPmcOneFamilyDataGramSocket<kIpv4AnyText> {
public:
    using CPmcOneFamilyDataGramSocket::CPmcOneFamilyDataGramSocket;

private:
    bool from_sockaddr(const sockaddr_storage& address, IPmcNetworkAddress& out) noexcept override
    {
        sockaddr_in native{};
        std::memcpy(&native, &address, sizeof native);
        uint8_t bytes[4];
        std::memcpy(bytes, &native.sin_addr, sizeof bytes);
        return fill_formatted(out, text_of(bytes), IPmcNetworkAddress::kUdpIpv4,
                              api().m_pNtohs(native.sin_port));
    }

    // The dotted text of `bytes`, formatted once for each of the last two addresses seen (the
    // bound address and the peer of the exchanges).
    // not a transfer: owned by the socket, valid until the next call
    const char* text_of(const uint8_t bytes[4]) noexcept
    {
        for (FormattedIpv4& entry : m_formatted) {
            if (entry.valid && std::memcmp(entry.bytes, bytes, sizeof entry.bytes) == 0) {
                return entry.text;
            }
        }
        FormattedIpv4& entry = m_formatted[m_next_formatted];
        m_next_formatted ^= 1;
        std::memcpy(entry.bytes, bytes, sizeof entry.bytes);
        pmc_format_ipv4_text(bytes, entry.text, sizeof entry.text);
        entry.valid = true;
        return entry.text;
    }

    bool to_sockaddr(const IPmcNetworkAddress& address, sockaddr_storage& out) noexcept override
    {
        sockaddr_in native{};
        if (!ipv4_of_text(api(), address.text(), native.sin_addr.s_addr)) {
            return false;
        }
        native.sin_family = kPmcFamilyInet;
        native.sin_port = api().m_pHtons(address.port());
        return store_native(native, out);
    }

    Result open_socket() noexcept override
    {
        return store_handle(api().m_pSocket(kPmcFamilyInet, SOCK_DGRAM, 0));
    }

    struct FormattedIpv4 {
        bool valid = false;
        uint8_t bytes[4] = {};
        char text[16] = {};
    };
    FormattedIpv4 m_formatted[2];
    unsigned m_next_formatted = 0;
};

class CPmcIpxDataGramSocket final : public CPmcOneFamilyDataGramSocket<kIpxAnyText> {
public:
    using CPmcOneFamilyDataGramSocket::CPmcOneFamilyDataGramSocket;

private:
    bool from_sockaddr(const sockaddr_storage& address, IPmcNetworkAddress& out) noexcept override
    {
        PmcSockAddrIpx native{};
        std::memcpy(&native, &address, sizeof native);
        uint8_t network[4];
        uint8_t node[6];
        uint16_t socket_number = 0;
        pmc_ipx_from_native(native, network, node, socket_number);
        char text[kPmcIpxTextLength + 1];
        pmc_format_ipx_text(network, node, text, sizeof text);
        return fill_formatted(out, text, IPmcNetworkAddress::kIpx, api().m_pNtohs(socket_number));
    }

    bool to_sockaddr(const IPmcNetworkAddress& address, sockaddr_storage& out) noexcept override
    {
        uint8_t network[4];
        uint8_t node[6];
        if (!pmc_parse_ipx_text(address.text(), network, node)) {
            return false;
        }
        PmcSockAddrIpx native{};
        pmc_ipx_to_native(network, node, api().m_pHtons(address.port()), native);
        return store_native(native, out);
    }

    Result open_socket() noexcept override
    {
        return store_handle(api().m_pSocket(kPmcFamilyIpx, SOCK_DGRAM, kPmcIpxProtocol));
    }
};

class CPmcIpv6DataGramSocket final : public CPmcDataGramSocket {
public:
    using CPmcDataGramSocket::CPmcDataGramSocket;

    Result set_any_address() noexcept override
    {
        const char* text = nullptr;
        switch (local().protocol()) {
            case IPmcNetworkAddress::kUdpIpv4: text = kIpv4AnyText; break;
            case IPmcNetworkAddress::kIpx: text = kIpxAnyText; break;
            case IPmcNetworkAddress::kUdpIpv6: text = kIpv6AnyText; break;
            default: return PSW_ERR_TOO_LONG;
        }
        return local().set(text, IPmcNetworkAddress::kUnspecified, 0);
    }

private:
    Result startup() noexcept override { return library().startup_v2_2(); }

    bool from_sockaddr(const sockaddr_storage& address, IPmcNetworkAddress& out) noexcept override
    {
        if (!api().m_extended) {
            return false;
        }
        PmcSockLen length = kPmcSockAddrBytes;
        switch (local().protocol()) {
            case IPmcNetworkAddress::kUdpIpv4: length = sizeof(sockaddr_in); break;
            case IPmcNetworkAddress::kIpx: length = sizeof(PmcSockAddrIpx); break;
            case IPmcNetworkAddress::kUdpIpv6: length = sizeof(sockaddr_in6); break;
            default: break;
        }
        char host[kPmcMaxHostText];
        char service[kPmcMaxServiceText];
        if (api().m_pGetNameInfo(reinterpret_cast<const sockaddr*>(&address), length, host,
                                 sizeof host, service, sizeof service,
                                 kPmcNiNumericHost | kPmcNiNumericService) != 0) {
            return false;
        }
        return fill(out, host, pmc_protocol_of_family(address.ss_family),
                    pmc_port_of_text(service));
    }

    // The zone of "fe80::1%eth0" or "ff02::1%3" is read here, not left to the name function,
    // and becomes the scope id of the native address.
    bool to_sockaddr(const IPmcNetworkAddress& address, sockaddr_storage& out) noexcept override
    {
        if (!api().m_extended || address.text() == nullptr) {
            return false;
        }
        char host[kPmcIpv6AddressTextSize];
        const char* zone = nullptr;
        uint32_t scope = 0;
        if (pmc_split_ipv6_zone(address.text(), host, sizeof host, &zone) != PSW_SUCCESS ||
            (zone != nullptr && pmc_ipv6_scope_of_zone(zone, &scope) != PSW_SUCCESS)) {
            return false;
        }
        char service[8];
        std::snprintf(service, sizeof service, "%d", address.port());
        addrinfo hints{};
        hints.ai_flags = kPmcAiPassive;
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* results = nullptr;
        if (api().m_pGetAddrInfo(host, service, &hints, &results) != 0 || results == nullptr) {
            return false;
        }
        const bool fits = results->ai_addrlen <= sizeof out &&
                          (zone == nullptr || results->ai_family == kPmcFamilyInet6);
        if (fits) {
            std::memset(&out, 0, sizeof out);
            std::memcpy(&out, results->ai_addr, results->ai_addrlen);
            if (zone != nullptr) {
                reinterpret_cast<sockaddr_in6*>(&out)->sin6_scope_id = scope;
            }
        }
        api().m_pFreeAddrInfo(results);
        return fits;
    }

    // A link-scope group without a zone goes out on each chosen link (multicast_links.h); a
    // zoned group of wider scope leaves through the zone's interface, which the system takes
    // from the socket option rather than from the scope id.
    Result send_native(const uint8_t* buffer, uint32_t length,
                       const sockaddr_storage& address) noexcept override
    {
        if (address.ss_family != kPmcFamilyInet6) {
            return send_datagram(buffer, length, address);
        }
        sockaddr_storage scoped = address;
        auto* native = reinterpret_cast<sockaddr_in6*>(&scoped);
        const uint8_t* group = native->sin6_addr.s6_addr;
        if (group[0] != 0xff) {
            return send_datagram(buffer, length, address);
        }
        if (native->sin6_scope_id != 0) {
            if (!pmc_ipv6_is_link_scope_multicast(group)) {
                const Result chosen = set_multicast_interface(native->sin6_scope_id);
                if (chosen != PSW_SUCCESS) {
                    return chosen;
                }
            }
            return send_datagram(buffer, length, address);
        }
        if (!pmc_ipv6_is_link_scope_multicast(group)) {
            return send_datagram(buffer, length, address);
        }
        uint32_t links[kPmcMaxMulticastLinks];
        const size_t count = pmc_ipv6_multicast_links(links, kPmcMaxMulticastLinks);
        if (count == 0) {
            return send_datagram(buffer, length, address);  // the system's choice, if any
        }
        Result result = PSW_ERR_SEND;
        for (size_t i = 0; i < count; ++i) {
            native->sin6_scope_id = links[i];
            log()->output(kLogDebug, "[DataGramSocket::send] multicast on interface %u.", links[i]);
            // One link that cannot be reached does not keep the others from being asked.
            if (send_datagram(buffer, length, scoped) == PSW_SUCCESS) {
                result = PSW_SUCCESS;
            }
        }
        return result;
    }

    Result open_socket() noexcept override
    {
        const int family = pmc_family_of_protocol(local().protocol());
        return store_handle(api().m_pSocket(family, SOCK_DGRAM, 0));
    }

    Result set_multicast_interface(uint32_t index) noexcept
    {
        const unsigned value = index;
        if (api().m_pSetSockOpt(handle(), IPPROTO_IPV6, IPV6_MULTICAST_IF,
                                reinterpret_cast<const char*>(&value), sizeof value) != 0) {
            log()->output(kLogError,
                          "fail setsockopt(). can't set multicast interface. "
                          "WSAGetLastError()=%d",
                          last_error());
            return PSW_ERR_SEND;
        }
        return PSW_SUCCESS;
    }
};

CPmcDataGramSocket* new_socket_of(CPmcSocketLibrary& library, EProtocol protocol) noexcept
{
    switch (protocol) {
        case IPmcNetworkAddress::kUdpIpv4: return pmc_new<CPmcIpv4DataGramSocket>(library);
        case IPmcNetworkAddress::kIpx: return pmc_new<CPmcIpxDataGramSocket>(library);
        case IPmcNetworkAddress::kUdpIpv6: return pmc_new<CPmcIpv6DataGramSocket>(library);
        default: return nullptr;
    }
}

class CPmcSystemDataGramSocketFactory final : public IPmcDataGramSocketFactory {
public:
    Result create(DataGramSocket::EProtocol protocol, uint16_t port,
                  DataGramSocket** out) noexcept override
    {
        return DataGramSocket::create(protocol, port, out);
    }
};

}  // namespace

Result DataGramSocket::receive_into(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                                    int32_t* received, IPmcNetworkAddress* source) noexcept
{
    if (source == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    IPmcNetworkAddress* from = nullptr;
    const Result result = receive(buffer, capacity, timeout_ms, received, &from);
    const OwnedPtr<IPmcNetworkAddress> owned(from);
    if (result != PSW_SUCCESS || from == nullptr) {
        return result != PSW_SUCCESS ? result : PSW_ERR_FAILED;
    }
    if (from->text() == nullptr) {
        return PSW_ERR_FAILED;
    }
    const Result copied = source->set(from->text(), IPmcNetworkAddress::kUnspecified, 0);
    if (copied != PSW_SUCCESS) {
        return copied;
    }
    source->set_protocol(from->protocol());
    source->set_port(from->port());
    return PSW_SUCCESS;
}

Result DataGramSocket::reopen(EProtocol, uint16_t) noexcept
{
    return PSW_ERR_UNSUPPORTED;
}

Result IPmcDataGramSocketFactory::recreate(DataGramSocket* previous,
                                           DataGramSocket::EProtocol protocol, uint16_t port,
                                           DataGramSocket** out) noexcept
{
    if (out == nullptr) {
        if (previous != nullptr) {
            previous->release();
        }
        return PSW_ERR_PARAMETER;
    }
    *out = nullptr;
    if (previous != nullptr) {
        const Result reopened = previous->reopen(protocol, port);
        if (reopened == PSW_SUCCESS) {
            *out = previous;
            return PSW_SUCCESS;
        }
        previous->release();
        if (reopened != PSW_ERR_UNSUPPORTED) {
            return reopened;
        }
    }
    return create(protocol, port, out);
}

Result create_datagram_socket(CPmcSocketLibrary& library, DataGramSocket::EProtocol protocol,
                              uint16_t port, DataGramSocket** out) noexcept
{
    if (out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    *out = nullptr;
    if (protocol != IPmcNetworkAddress::kUdpIpv4 && protocol != IPmcNetworkAddress::kIpx &&
        protocol != IPmcNetworkAddress::kUdpIpv6) {
        return PSW_ERR_PARAMETER;
    }
    OwnedPtr<CPmcDataGramSocket> socket(new_socket_of(library, protocol));
    if (!socket) {
        return PSW_ERR_NO_MEMORY;
    }
    IPmcNetworkAddress* local = create_empty_address(nullptr);
    if (local == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    local->set_protocol(protocol);
    local->set_port(port);
    socket->adopt_local_address(local);
    Result result = socket->set_any_address();
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = socket->open();
    if (result != PSW_SUCCESS) {
        return result;
    }
    *out = socket.release();
    return PSW_SUCCESS;
}

Result DataGramSocket::create(EProtocol protocol, uint16_t port, DataGramSocket** out) noexcept
{
    return create_datagram_socket(pmc_socket_library(), protocol, port, out);
}

DataGramSocket* pmc_create_datagram_socket(DataGramSocket::EProtocol protocol,
                                           Result* result) noexcept
{
    return pmc_create_datagram_socket_on_port(protocol, 0, result);
}

DataGramSocket* pmc_create_datagram_socket_on_port(DataGramSocket::EProtocol protocol,
                                                   uint16_t port, Result* result) noexcept
{
    DataGramSocket* socket = nullptr;
    set_result(result, DataGramSocket::create(protocol, port, &socket));
    return socket;
}

IPmcDataGramSocketFactory& pmc_system_datagram_socket_factory() noexcept
{
    static CPmcSystemDataGramSocketFactory factory;
    return factory;
}

}  // namespace psw
