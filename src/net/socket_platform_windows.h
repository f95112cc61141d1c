// The Windows side of socket_platform.h (which adds what both sides declare alike): Windows
// Sockets types and names. The functions themselves are never linked; the table binds them from
// "ws2_32.dll" or "wsock32.dll".
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

constexpr int kPmcIpxProtocol = NSPROTO_IPX;

// An oversized datagram fails here by itself (WSAEMSGSIZE).
constexpr int kPmcReceiveFlags = 0;
constexpr int kPmcErrorMessageTooLong = WSAEMSGSIZE;

using PmcSockAddrIpx = SOCKADDR_IPX;

using PmcStartupFunction = decltype(&::WSAStartup);
using PmcCleanupFunction = decltype(&::WSACleanup);
using PmcLastErrorFunction = decltype(&::WSAGetLastError);
using PmcCloseSocketFunction = decltype(&::closesocket);
using PmcIoctlSocketFunction = decltype(&::ioctlsocket);
using PmcFdIsSetFunction = decltype(&::__WSAFDIsSet);
// Windows Sockets has no "poll" (its select takes handles of any value), so the entry stays
// unbound there.
struct PmcPollUnavailable;
using PmcPollFunction = int (*)(PmcPollUnavailable*, unsigned long, int);
using PmcSocketStartupData = WSADATA;
using PmcIoLength = int;
// select ignores its first argument here.
inline int pmc_select_width(PmcSocketHandle /*handle*/) noexcept
{
    return 0;
}

}  // namespace psw
