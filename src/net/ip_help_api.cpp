#include "net/ip_help_api.h"

#include "log/log_channel.h"
#include "log/trace_scope.h"

namespace psw {

namespace {

// The module that holds the interface functions on this platform.
#if defined(_WIN32)
constexpr char kIpHelpModule[] = "iphlpapi.dll";
#else
constexpr char kIpHelpModule[] = "libc.so.6";
#endif

template <class Function>
void bind(PmcModuleLoader& loader, void* module, const char* name, Function* slot) noexcept
{
    void* address = loader.find_function(module, name);
    if (address == nullptr) {
        pmc_socket_channel().logger()->output(
            kLogError, "[NPmcIpHelpAPI::set_api] fail GetProcAddress \"%s\": GetLastError()=%d",
            name, loader.last_error());
        return;
    }
    *slot = reinterpret_cast<Function>(address);
}

}  // namespace

Result NPmcIpHelpAPI::set_api(PmcModuleLoader& loader, void* module) noexcept
{
    CPmcTraceScope trace("NPmcIpHelpAPI::set_api", pmc_socket_channel().logger());
#if defined(_WIN32)
    bind(loader, module, "GetAdaptersInfo", &m_pGetAdaptersInfo);
    bind(loader, module, "GetAdaptersAddresses", &m_pGetAdaptersAddresses);
    bind(loader, module, "GetBestInterfaceEx", &m_pGetBestInterfaceEx);
    bind(loader, module, "if_nametoindex", &m_pIfNameToIndex);
#else
    bind(loader, module, "getifaddrs", &m_pGetIfAddrs);
    bind(loader, module, "freeifaddrs", &m_pFreeIfAddrs);
#endif
    return PSW_SUCCESS;
}

CPmcIpHelpLibrary::CPmcIpHelpLibrary(PmcModuleLoader& loader) noexcept : m_loader(loader)
{
}

CPmcIpHelpLibrary::~CPmcIpHelpLibrary()
{
    m_loader.unload(m_module.load());
}

Result CPmcIpHelpLibrary::load_ip_helper() noexcept
{
    if (m_module.load(std::memory_order_acquire) != nullptr) {
        return PSW_SUCCESS;
    }
    PmcLockGuard guard(m_lock);
    if (m_module.load(std::memory_order_acquire) != nullptr) {
        return PSW_SUCCESS;
    }
    void* module = m_loader.load(kIpHelpModule);
    if (module == nullptr) {
        return PSW_ERR_NOT_AVAILABLE;
    }
    const Result result = m_api.set_api(m_loader, module);
    if (result != PSW_SUCCESS) {
        m_loader.unload(module);
        return result;
    }
    m_module.store(module, std::memory_order_release);
    return PSW_SUCCESS;
}

CPmcIpHelpLibrary& pmc_ip_help_library() noexcept
{
    static CPmcIpHelpLibrary library(pmc_system_module_loader());
    return library;
}

}  // namespace psw
