// The few socket helpers of Windows that are not in the socket library's function table.
#include <cstring>

#include "net/socket_platform.h"

namespace psw {

void* pmc_socket_platform_function(PmcModuleLoader& /*loader*/, void* /*module*/,
                                   const char* /*name*/) noexcept
{
    return nullptr;
}

// WSAGetLastError reads the thread's last error, which kernel32 sets.
void pmc_socket_layer_set_last_error(int error) noexcept
{
    SetLastError(static_cast<DWORD>(error));
}

// Never bound here (see PmcPollFunction): a call is a fault of the caller.
int pmc_poll_readable(PmcPollFunction /*poll_function*/, PmcSocketHandle /*handle*/,
                      int /*timeout_ms*/) noexcept
{
    SetLastError(WSAEOPNOTSUPP);
    return -1;
}

bool pmc_socket_selectable(PmcSocketHandle handle) noexcept
{
    return handle != kPmcInvalidSocket;
}

bool pmc_socket_interrupted(int error) noexcept
{
    return error == WSAEINTR;
}

void pmc_ipx_to_native(const uint8_t network[4], const uint8_t node[6], uint16_t socket_be,
                       PmcSockAddrIpx& out) noexcept
{
    std::memset(&out, 0, sizeof(out));
    out.sa_family = AF_IPX;
    std::memcpy(out.sa_netnum, network, 4);
    std::memcpy(out.sa_nodenum, node, 6);
    out.sa_socket = socket_be;
}

void pmc_ipx_from_native(const PmcSockAddrIpx& address, uint8_t network[4], uint8_t node[6],
                         uint16_t& socket_be) noexcept
{
    std::memcpy(network, address.sa_netnum, 4);
    std::memcpy(node, address.sa_nodenum, 6);
    socket_be = address.sa_socket;
}

}  // namespace psw
