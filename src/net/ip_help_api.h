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

#if !defined(_WIN32)
struct ifaddrs;
#endif

namespace psw {

#if defined(_WIN32)
// The IP Helper functions of "iphlpapi.dll". Structures are passed as untyped pointers here;
// adapter_list_windows.cpp reads them with the system's declarations.
struct NPmcIpHelpAPI {
    using GetAdaptersInfoFunction = unsigned long(__stdcall*)(void* info, unsigned long* size);
    using GetAdaptersAddressesFunction = unsigned long(__stdcall*)(unsigned long family,
                                                                   unsigned long flags,
                                                                   void* reserved, void* addresses,
                                                                   unsigned long* size);
    using GetBestInterfaceExFunction = unsigned long(__stdcall*)(void* destination,
                                                                 unsigned long* index);
    using IfNameToIndexFunction = unsigned long(__stdcall*)(const char* name);

    // Looked up in this order.
    GetAdaptersInfoFunction m_pGetAdaptersInfo = nullptr;
    GetAdaptersAddressesFunction m_pGetAdaptersAddresses = nullptr;
    GetBestInterfaceExFunction m_pGetBestInterfaceEx = nullptr;
    IfNameToIndexFunction m_pIfNameToIndex = nullptr;

    // Whether the adapter list can be read (pmc_read_adapters needs the address list).
    bool has_adapter_list() const noexcept { return m_pGetAdaptersAddresses != nullptr; }

    // Looks every name up and stores what it finds; a missing one is logged and skipped.
    // Always PSW_SUCCESS.
    // borrowed: `module` stays loaded by the caller; `loader` only used during the call
    Result set_api(PmcModuleLoader& loader, void* module) noexcept;
};
#else
struct NPmcIpHelpAPI {
    // `*out` receives a list the caller frees with m_pFreeIfAddrs
    using GetInterfaceAddresses = int (*)(struct ifaddrs** out);
    // takes ownership of `list` and frees it
    using FreeInterfaceAddresses = void (*)(struct ifaddrs* list);

    // Looked up in this order.
    GetInterfaceAddresses m_pGetIfAddrs = nullptr;
    FreeInterfaceAddresses m_pFreeIfAddrs = nullptr;

    // Whether the adapter list can be read.
    bool has_adapter_list() const noexcept { return m_pGetIfAddrs != nullptr; }

    // Looks every name up and stores what it finds; a missing one is logged and skipped.
    // Always PSW_SUCCESS.
    // borrowed: `module` stays loaded by the caller; `loader` only used during the call
    Result set_api(PmcModuleLoader& loader, void* module) noexcept;
};
#endif

class CPmcIpHelpLibrary {
public:
    // borrowed: `loader` must outlive the binding
    explicit CPmcIpHelpLibrary(PmcModuleLoader& loader) noexcept;
    ~CPmcIpHelpLibrary();
    CPmcIpHelpLibrary(const CPmcIpHelpLibrary&) = delete;
    CPmcIpHelpLibrary& operator=(const CPmcIpHelpLibrary&) = delete;

    // PSW_SUCCESS once the module is loaded and bound (kept until the object ends);
    // PSW_ERR_NOT_AVAILABLE when it cannot be loaded.
    Result load_ip_helper() noexcept;
    // The bound functions; complete only after load_ip_helper() succeeded.
    // not a transfer: owned by the binding
    const NPmcIpHelpAPI& api() const noexcept { return m_api; }

private:
    PmcLock m_lock;
    PmcModuleLoader& m_loader;
    NPmcIpHelpAPI m_api;
    std::atomic<void*> m_module{nullptr};
};

// The process-wide binding through the system loader.
// not a transfer: a static object that lives as long as the process
CPmcIpHelpLibrary& pmc_ip_help_library() noexcept;

}  // namespace psw
