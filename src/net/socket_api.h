// The socket functions, bound by name at run time from the module that holds them.
//
// Nothing in the library links the socket functions: the process-wide CPmcSocketLibrary loads
// the module on first need, fills an NPmcSocketAPI table, and every socket call goes through
// that table. Whether the protocol-independent name functions were found decides which address
// services the process uses and whether IPv6 works at all.
#pragma once

#include <atomic>

#include "core/platform/lock.h"
#include "core/platform/module.h"
#include "core/result.h"
#include "net/socket_platform.h"

namespace psw {

struct NPmcSocketAPI {
    // Required, in binding order.
    PmcStartupFunction m_pWSAStartup = nullptr;
    PmcCleanupFunction m_pWSACleanup = nullptr;
    PmcLastErrorFunction m_pWSAGetLastError = nullptr;
    decltype(&::socket) m_pSocket = nullptr;
    decltype(&::bind) m_pBind = nullptr;
    decltype(&::htons) m_pHtons = nullptr;
    decltype(&::ntohs) m_pNtohs = nullptr;
    decltype(&::getsockname) m_pGetSockName = nullptr;
    decltype(&::gethostname) m_pGetHostName = nullptr;
    decltype(&::gethostbyname) m_pGetHostByName = nullptr;
    decltype(&::getsockopt) m_pGetSockOpt = nullptr;
    decltype(&::setsockopt) m_pSetSockOpt = nullptr;
    decltype(&::inet_addr) m_pInetAddr = nullptr;
    decltype(&::inet_ntoa) m_pInetNtoa = nullptr;
    decltype(&::sendto) m_pSendTo = nullptr;
    decltype(&::recvfrom) m_pRecvFrom = nullptr;
    decltype(&::select) m_pSelect = nullptr;
    PmcCloseSocketFunction m_pCloseSocket = nullptr;
    decltype(&::gethostbyaddr) m_pGetHostByAddr = nullptr;
    decltype(&::getservbyname) m_pGetServByName = nullptr;
    decltype(&::htonl) m_pHtonl = nullptr;
    decltype(&::ntohl) m_pNtohl = nullptr;
    decltype(&::connect) m_pConnect = nullptr;
    decltype(&::listen) m_pListen = nullptr;
    PmcIoctlSocketFunction m_pIoctlSocket = nullptr;
    decltype(&::recv) m_pRecv = nullptr;
    decltype(&::send) m_pSend = nullptr;
    decltype(&::accept) m_pAccept = nullptr;
    PmcFdIsSetFunction m_pFdIsSet = nullptr;
    // Optional: the readiness wait for handles a descriptor set cannot hold (POSIX systems);
    // without it the wait goes through select.
    PmcPollFunction m_pPoll = nullptr;
    // Optional: without them there are no protocol-independent names and no IPv6.
    decltype(&::getaddrinfo) m_pGetAddrInfo = nullptr;
    decltype(&::getnameinfo) m_pGetNameInfo = nullptr;
    decltype(&::freeaddrinfo) m_pFreeAddrInfo = nullptr;

    // True when all three optional functions were found.
    bool m_extended = false;

    // Fills the table from a loaded module: PSW_SUCCESS, or PSW_ERR_FAILED when a required
    // function is missing or an optional one is missing for another reason than its absence
    // (both logged).
    // borrowed: `module` stays loaded by the caller; `loader` only used during the call
    Result set_api(PmcModuleLoader& loader, void* module) noexcept;
};

class CPmcSocketLibrary {
public:
    // borrowed: `loader` must outlive the binding
    explicit CPmcSocketLibrary(PmcModuleLoader& loader) noexcept;
    ~CPmcSocketLibrary();
    CPmcSocketLibrary(const CPmcSocketLibrary&) = delete;
    CPmcSocketLibrary& operator=(const CPmcSocketLibrary&) = delete;

    // 0 once the module is loaded and bound; PSW_ERR_NOT_AVAILABLE when no module loads; else the
    // set_api code. A failure leaves the library unloaded, and the next call tries again.
    Result load_socket_library() noexcept;
    // False also when loading fails.
    bool has_extended_api() noexcept;
    // Load if needed, then start the socket library at version 1.1 or 2.2. Every successful
    // start-up must be matched by one cleanup().
    Result startup_v1_1() noexcept;
    Result startup_v2_2() noexcept;
    void cleanup() noexcept;

    bool is_loaded() const noexcept { return m_module.load(std::memory_order_acquire) != nullptr; }
    // The bound functions; complete only while is_loaded().
    // not a transfer: owned by the binding
    const NPmcSocketAPI& api() const noexcept { return m_api; }
    // The last socket error, or 0 while nothing is bound.
    int last_error() const noexcept;

private:
    // borrowed: `version_text` is only read
    Result startup(uint16_t version, const char* version_text) noexcept;

    PmcLock m_lock;
    PmcModuleLoader& m_loader;
    NPmcSocketAPI m_api;
    std::atomic<void*> m_module{nullptr};
};

// The process-wide binding through the system loader; released when the library unloads.
// not a transfer: a static object that lives as long as the process
CPmcSocketLibrary& pmc_socket_library() noexcept;

}  // namespace psw
