// The interface functions of the system, bound by name at run time like the socket functions.
//
// The adapter questions (is a transport usable, how many adapters serve it) read the machine's
// interface list through this table. Each entry may stay empty; every user checks the entry it
// needs and answers without it.
#pragma once

#include <atomic>

#include "core/platform/lock.h"
#include "core/platform/module.h"
#include "core/result.h"

struct ifaddrs;

namespace psw {

struct NPmcIpHelpAPI {
    using GetInterfaceAddresses = int (*)(struct ifaddrs** out);
    using FreeInterfaceAddresses = void (*)(struct ifaddrs* list);

    // Looked up in this order.
    GetInterfaceAddresses m_pGetIfAddrs = nullptr;
    FreeInterfaceAddresses m_pFreeIfAddrs = nullptr;

    // Looks every name up and stores what it finds; a missing one is logged and skipped.
    // Always 0.
    Result set_api(PmcModuleLoader& loader, void* module) noexcept;
};

class CPmcIpHelpLibrary {
public:
    explicit CPmcIpHelpLibrary(PmcModuleLoader& loader) noexcept;
    ~CPmcIpHelpLibrary();
    CPmcIpHelpLibrary(const CPmcIpHelpLibrary&) = delete;
    CPmcIpHelpLibrary& operator=(const CPmcIpHelpLibrary&) = delete;

    // 0 once the module is loaded and bound (kept until the object ends); PSW_ERR_NOT_AVAILABLE
    // when it cannot be loaded.
    Result load_ip_helper() noexcept;
    // The bound functions; complete only after load_ip_helper() succeeded.
    const NPmcIpHelpAPI& api() const noexcept { return m_api; }

private:
    PmcLock m_lock;
    PmcModuleLoader& m_loader;
    NPmcIpHelpAPI m_api;
    std::atomic<void*> m_module{nullptr};
};

// The process-wide binding through the system loader.
CPmcIpHelpLibrary& pmc_ip_help_library() noexcept;

}  // namespace psw
