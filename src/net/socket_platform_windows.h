// The Windows side of socket_platform.h: Windows Sockets types and names. The functions
// themselves are never linked; the table binds them from "ws2_32.dll" or "wsock32.dll".
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <wsipx.h>
#include <wsnwlink.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include "core/platform/module.h"

namespace psw {

using PmcSocketHandle = SOCKET;
using PmcSockLen = int;
// The type of an IPv4 address in network order, under the POSIX name the shared code uses.
using in_addr_t = u_long;

constexpr PmcSocketHandle kPmcInvalidSocket = INVALID_SOCKET;

constexpr PmcSockLen kPmcSockAddrBytes = 128;
static_assert(sizeof(SOCKADDR_STORAGE) == kPmcSockAddrBytes);

// The current socket library, then the older one without the protocol-independent names.
inline constexpr const char* kPmcSocketLibraryNames[] = {"ws2_32.dll", "wsock32.dll"};

constexpr int kPmcFamilyInet = AF_INET;
constexpr int kPmcFamilyIpx = AF_IPX;
constexpr int kPmcFamilyInet6 = AF_INET6;
constexpr int kPmcIpxProtocol = NSPROTO_IPX;

constexpr int kPmcAiPassive = AI_PASSIVE;
constexpr int kPmcAiNumericHost = AI_NUMERICHOST;
constexpr int kPmcNiNumericHost = NI_NUMERICHOST;
constexpr int kPmcNiNumericService = NI_NUMERICSERV;
constexpr int kPmcNiNameRequired = NI_NAMEREQD;
constexpr size_t kPmcMaxHostText = NI_MAXHOST;  // 1025
constexpr size_t kPmcMaxServiceText = 32;

// An oversized datagram fails here by itself (WSAEMSGSIZE).
constexpr int kPmcReceiveFlags = 0;
constexpr int kPmcErrorMessageTooLong = WSAEMSGSIZE;

using PmcSockAddrIpx = SOCKADDR_IPX;
void pmc_ipx_to_native(const uint8_t network[4], const uint8_t node[6], uint16_t socket_be,
                       PmcSockAddrIpx& out) noexcept;
void pmc_ipx_from_native(const PmcSockAddrIpx& address, uint8_t network[4], uint8_t node[6],
                         uint16_t& socket_be) noexcept;

// Every name of the table is the socket library's own: there is nothing to add.
// not a transfer: always null here
void* pmc_socket_platform_function(PmcModuleLoader& loader, void* module,
                                   const char* name) noexcept;

// Sets the error that WSAGetLastError reports next (bound at run time; without the library
// nothing happens).
void pmc_socket_layer_set_last_error(int error) noexcept;

// select watches up to FD_SETSIZE handles of any value.
bool pmc_socket_selectable(PmcSocketHandle handle) noexcept;
// True when a failed call was only interrupted (WSAEINTR) and may simply be repeated.
bool pmc_socket_interrupted(int error) noexcept;

using PmcStartupFunction = decltype(&::WSAStartup);
using PmcCleanupFunction = decltype(&::WSACleanup);
using PmcLastErrorFunction = decltype(&::WSAGetLastError);
using PmcCloseSocketFunction = decltype(&::closesocket);
using PmcIoctlSocketFunction = decltype(&::ioctlsocket);
using PmcFdIsSetFunction = decltype(&::__WSAFDIsSet);
using PmcSocketStartupData = WSADATA;
using PmcIoLength = int;
// select ignores its first argument here.
inline int pmc_select_width(PmcSocketHandle /*handle*/) noexcept
{
    return 0;
}

}  // namespace psw
