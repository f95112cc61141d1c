// What the network layer needs to know about the platform's sockets: the native types, the
// module that holds the socket functions, and the few calls that only some platforms offer.
//
// The rest of src/net is written against the function table (socket_api.h) and these names, so
// a port to another socket library changes this header and posix_socket_layer.cpp.
// Windows Sockets: socket_platform_windows.h and socket_layer_windows.cpp.
#pragma once

#if defined(_WIN32)
#include "net/socket_platform_windows.h"
#else

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netipx/ipx.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include "core/platform/module.h"

namespace psw {

using PmcSocketHandle = int;
using PmcSockLen = socklen_t;

// The handle value that means "no socket open" (all bits set).
constexpr PmcSocketHandle kPmcInvalidSocket = -1;

// Every native socket address is kept in a buffer of this size and passed with this length.
constexpr PmcSockLen kPmcSockAddrBytes = 128;
static_assert(sizeof(sockaddr_storage) == kPmcSockAddrBytes);

// Modules that may hold the socket functions, tried in this order.
inline constexpr const char* kPmcSocketLibraryNames[] = {"libc.so.6"};

// The protocol number of IPX datagram sockets.
constexpr int kPmcIpxProtocol = 1000;

// Receive flags: the C library truncates an oversized datagram silently unless asked for its
// real length, so the datagram socket asks and turns truncation into an error itself.
constexpr int kPmcReceiveFlags = MSG_TRUNC;
constexpr int kPmcErrorMessageTooLong = EMSGSIZE;

// The IPX socket address of this platform. The C library declares it even though the kernel
// no longer offers the family; creating such a socket fails cleanly.
using PmcSockAddrIpx = sockaddr_ipx;

// Our start-up and clean-up layer: counted, so every successful start-up must be matched by
// exactly one clean-up. Versions are (minor << 8) | major as the callers pass them.
int pmc_socket_layer_startup(uint16_t version, void* data) noexcept;
int pmc_socket_layer_cleanup() noexcept;
int pmc_socket_layer_last_error() noexcept;
int pmc_socket_layer_fd_is_set(PmcSocketHandle handle, fd_set* set) noexcept;
// Start-ups not yet matched by a clean-up.
int pmc_socket_layer_startup_count() noexcept;

// The table entries whose native type differs between platforms.
using PmcStartupFunction = decltype(&pmc_socket_layer_startup);
using PmcCleanupFunction = decltype(&pmc_socket_layer_cleanup);
using PmcLastErrorFunction = decltype(&pmc_socket_layer_last_error);
using PmcCloseSocketFunction = decltype(&::close);
using PmcIoctlSocketFunction = decltype(&::ioctl);
using PmcFdIsSetFunction = decltype(&pmc_socket_layer_fd_is_set);
// The readiness wait without a limit on descriptor values (a descriptor set holds only those
// below FD_SETSIZE, and a host process may well have more descriptors open).
using PmcPollFunction = decltype(&::poll);
// What the start-up call fills in; nothing here.
struct PmcSocketStartupData {};
// The length argument of the send and receive calls.
using PmcIoLength = size_t;
// The first argument of select when it watches one handle.
inline int pmc_select_width(PmcSocketHandle handle) noexcept
{
    return handle + 1;
}

}  // namespace psw

#endif

// What every platform declares alike, in its own native values.
namespace psw {

// Native address families of the three protocols.
constexpr int kPmcFamilyInet = AF_INET;
constexpr int kPmcFamilyIpx = AF_IPX;
constexpr int kPmcFamilyInet6 = AF_INET6;

// Flags of the name functions, in the platform's own values.
constexpr int kPmcAiPassive = AI_PASSIVE;
constexpr int kPmcAiNumericHost = AI_NUMERICHOST;
constexpr int kPmcNiNumericHost = NI_NUMERICHOST;
constexpr int kPmcNiNumericService = NI_NUMERICSERV;
constexpr int kPmcNiNameRequired = NI_NAMEREQD;
constexpr size_t kPmcMaxHostText = NI_MAXHOST;  // 1025
constexpr size_t kPmcMaxServiceText = 32;

// The IPX socket address of the platform (PmcSockAddrIpx) to and from its parts.
void pmc_ipx_to_native(const uint8_t network[4], const uint8_t node[6], uint16_t socket_be,
                       PmcSockAddrIpx& out) noexcept;
void pmc_ipx_from_native(const PmcSockAddrIpx& address, uint8_t network[4], uint8_t node[6],
                         uint16_t& socket_be) noexcept;

// Functions the function table needs that the platform's module lacks under the same name: an
// alias inside the module ("closesocket" is "close" on POSIX systems) or our own
// implementation (the start-up, clean-up, last-error and descriptor-set calls). Null when there
// is none (always on Windows, where every name is the socket library's own).
// not a transfer: a function address, valid while `module` stays loaded
void* pmc_socket_platform_function(PmcModuleLoader& loader, void* module,
                                   const char* name) noexcept;

// Sets the error that the last-error call reports next; used where the library itself decides
// that a call failed (a truncated datagram, a handle select cannot watch).
void pmc_socket_layer_set_last_error(int error) noexcept;

// Waits up to `timeout_ms` (-1: without limit) until `handle` is readable, through the table's
// optional "poll" entry: above 0 ready, 0 time-out, -1 failed (the last error says why).
// Only called where that entry is bound.
int pmc_poll_readable(PmcPollFunction poll_function, PmcSocketHandle handle,
                      int timeout_ms) noexcept;

// True when select can watch this handle (on POSIX systems a descriptor set has a fixed size of
// descriptor values; on Windows it holds up to FD_SETSIZE handles of any value).
bool pmc_socket_selectable(PmcSocketHandle handle) noexcept;
// True when a failed call was only interrupted (a signal, WSAEINTR) and may simply be repeated.
bool pmc_socket_interrupted(int error) noexcept;

}  // namespace psw
