// The socket calls that the C library does not offer under the names the function table uses.
#include <atomic>
#include <cstring>

#include "net/socket_platform.h"

namespace psw {

namespace {

// Start-ups not yet matched by a clean-up.
std::atomic<int> g_startups{0};

constexpr uint8_t kHighestMajorVersion = 2;

}  // namespace

int pmc_socket_layer_startup(uint16_t version, void* /*data*/) noexcept
{
    const uint8_t major = static_cast<uint8_t>(version & 0xff);
    if (major == 0 || major > kHighestMajorVersion) {
        errno = EPROTONOSUPPORT;
        return EPROTONOSUPPORT;
    }
    g_startups.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

int pmc_socket_layer_cleanup() noexcept
{
    int count = g_startups.load(std::memory_order_relaxed);
    while (count > 0) {
        if (g_startups.compare_exchange_weak(count, count - 1, std::memory_order_relaxed)) {
            return 0;
        }
    }
    // A clean-up without a start-up is the caller's error, as it is with the counted original.
    errno = EPERM;
    return -1;
}

int pmc_socket_layer_last_error() noexcept
{
    return errno;
}

void pmc_socket_layer_set_last_error(int error) noexcept
{
    errno = error;
}

int pmc_socket_layer_fd_is_set(PmcSocketHandle handle, fd_set* set) noexcept
{
    if (set == nullptr || !pmc_socket_selectable(handle)) {
        return 0;
    }
    return FD_ISSET(handle, set) ? 1 : 0;
}

int pmc_socket_layer_startup_count() noexcept
{
    return g_startups.load(std::memory_order_relaxed);
}

int pmc_poll_readable(PmcPollFunction poll_function, PmcSocketHandle handle,
                      int timeout_ms) noexcept
{
    pollfd watched{};
    watched.fd = handle;
    watched.events = POLLIN;
    return poll_function(&watched, 1, timeout_ms);
}

bool pmc_socket_selectable(PmcSocketHandle handle) noexcept
{
    return handle >= 0 && handle < FD_SETSIZE;
}

bool pmc_socket_interrupted(int error) noexcept
{
    return error == EINTR;
}

void* pmc_socket_platform_function(PmcModuleLoader& loader, void* module, const char* name) noexcept
{
    struct OwnFunction {
        const char* name;
        void* address;
    };
    const OwnFunction own[] = {
        {"WSAStartup", reinterpret_cast<void*>(&pmc_socket_layer_startup)},
        {"WSACleanup", reinterpret_cast<void*>(&pmc_socket_layer_cleanup)},
        {"WSAGetLastError", reinterpret_cast<void*>(&pmc_socket_layer_last_error)},
        {"__WSAFDIsSet", reinterpret_cast<void*>(&pmc_socket_layer_fd_is_set)},
    };
    for (const OwnFunction& entry : own) {
        if (std::strcmp(name, entry.name) == 0) {
            return entry.address;
        }
    }
    struct Alias {
        const char* name;
        const char* native;
    };
    const Alias aliases[] = {{"closesocket", "close"}, {"ioctlsocket", "ioctl"}};
    for (const Alias& alias : aliases) {
        if (std::strcmp(name, alias.name) == 0) {
            return loader.find_function(module, alias.native);
        }
    }
    return nullptr;
}

void pmc_ipx_to_native(const uint8_t network[4], const uint8_t node[6], uint16_t socket_be,
                       PmcSockAddrIpx& out) noexcept
{
    std::memset(&out, 0, sizeof(out));
    out.sipx_family = AF_IPX;
    std::memcpy(&out.sipx_network, network, 4);
    std::memcpy(out.sipx_node, node, 6);
    out.sipx_port = socket_be;
}

void pmc_ipx_from_native(const PmcSockAddrIpx& address, uint8_t network[4], uint8_t node[6],
                         uint16_t& socket_be) noexcept
{
    std::memcpy(network, &address.sipx_network, 4);
    std::memcpy(node, address.sipx_node, 6);
    socket_be = address.sipx_port;
}

}  // namespace psw
