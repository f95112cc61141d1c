#include "net/socket_api.h"

#include "log/log_channel.h"
#include "log/trace_scope.h"

namespace psw {

namespace {

constexpr uint16_t kVersion11 = 0x0101;
constexpr uint16_t kVersion22 = 0x0202;

// Looks one function up, by its own name first and then through the platform's alias or own
// implementation. Null when neither has it; `error` then says why.
void* find_socket_function(PmcModuleLoader& loader, void* module, const char* name,
                           int& error) noexcept
{
    void* address = loader.find_function(module, name);
    if (address != nullptr) {
        return address;
    }
    error = loader.last_error();
    return pmc_socket_platform_function(loader, module, name);
}

class Binder {
public:
    Binder(PmcModuleLoader& loader, void* module) noexcept : m_loader(loader), m_module(module) {}

    // Required functions: a missing one is logged and stops the binding.
    template <class F>
    bool required(const char* name, F& slot) noexcept
    {
        int error = 0;
        void* address = find_socket_function(m_loader, m_module, name, error);
        if (address == nullptr) {
            log_missing(name, error);
            return false;
        }
        slot = reinterpret_cast<F>(address);
        return true;
    }

    // Optional functions: absent ones (module or function not found) end the optional part
    // quietly; any other failure is logged and fails the binding.
    enum class Outcome { kFound, kAbsent, kFailed };

    template <class F>
    Outcome optional(const char* name, F& slot) noexcept
    {
        int error = 0;
        void* address = find_socket_function(m_loader, m_module, name, error);
        if (address != nullptr) {
            slot = reinterpret_cast<F>(address);
            return Outcome::kFound;
        }
        if (error == PmcModuleLoader::kPmcErrorModuleNotFound ||
            error == PmcModuleLoader::kPmcErrorFunctionNotFound) {
            return Outcome::kAbsent;
        }
        log_missing(name, error);
        return Outcome::kFailed;
    }

private:
    static void log_missing(const char* name, int error) noexcept
    {
        pmc_socket_channel().logger()->output(
            kLogError, "[NPmcSocketAPI::set_api] fail GetProcAddress \"%s\": GetLastError()=%d",
            name, error);
    }

    PmcModuleLoader& m_loader;
    void* m_module;
};

}  // namespace

Result NPmcSocketAPI::set_api(PmcModuleLoader& loader, void* module) noexcept
{
    CPmcTraceScope trace("NPmcSocketAPI::set_api", pmc_socket_channel().logger());
    *this = NPmcSocketAPI{};
    Binder bind(loader, module);
    const bool all_required =
        bind.required("WSAStartup", m_pWSAStartup) && bind.required("WSACleanup", m_pWSACleanup) &&
        bind.required("WSAGetLastError", m_pWSAGetLastError) &&
        bind.required("socket", m_pSocket) && bind.required("bind", m_pBind) &&
        bind.required("htons", m_pHtons) && bind.required("ntohs", m_pNtohs) &&
        bind.required("getsockname", m_pGetSockName) &&
        bind.required("gethostname", m_pGetHostName) &&
        bind.required("gethostbyname", m_pGetHostByName) &&
        bind.required("getsockopt", m_pGetSockOpt) && bind.required("setsockopt", m_pSetSockOpt) &&
        bind.required("inet_addr", m_pInetAddr) && bind.required("inet_ntoa", m_pInetNtoa) &&
        bind.required("sendto", m_pSendTo) && bind.required("recvfrom", m_pRecvFrom) &&
        bind.required("select", m_pSelect) && bind.required("closesocket", m_pCloseSocket) &&
        bind.required("gethostbyaddr", m_pGetHostByAddr) &&
        bind.required("getservbyname", m_pGetServByName) && bind.required("htonl", m_pHtonl) &&
        bind.required("ntohl", m_pNtohl) && bind.required("connect", m_pConnect) &&
        bind.required("listen", m_pListen) && bind.required("ioctlsocket", m_pIoctlSocket) &&
        bind.required("recv", m_pRecv) && bind.required("send", m_pSend) &&
        bind.required("accept", m_pAccept) && bind.required("__WSAFDIsSet", m_pFdIsSet);
    if (!all_required) {
        return PSW_ERR_FAILED;
    }

    using Outcome = Binder::Outcome;
    if (bind.optional("poll", m_pPoll) == Outcome::kFailed) {
        return PSW_ERR_FAILED;
    }
    Outcome outcome = bind.optional("getaddrinfo", m_pGetAddrInfo);
    if (outcome == Outcome::kFound) {
        outcome = bind.optional("getnameinfo", m_pGetNameInfo);
    }
    if (outcome == Outcome::kFound) {
        outcome = bind.optional("freeaddrinfo", m_pFreeAddrInfo);
    }
    if (outcome == Outcome::kFailed) {
        return PSW_ERR_FAILED;
    }
    m_extended = outcome == Outcome::kFound;
    return PSW_SUCCESS;
}

CPmcSocketLibrary::CPmcSocketLibrary(PmcModuleLoader& loader) noexcept : m_loader(loader)
{
}

CPmcSocketLibrary::~CPmcSocketLibrary()
{
    m_loader.unload(m_module.exchange(nullptr));
}

Result CPmcSocketLibrary::load_socket_library() noexcept
{
    if (is_loaded()) {
        return PSW_SUCCESS;
    }
    PmcLockGuard guard(m_lock);
    if (is_loaded()) {
        return PSW_SUCCESS;
    }
    void* module = nullptr;
    for (const char* name : kPmcSocketLibraryNames) {
        module = m_loader.load(name);
        if (module != nullptr) {
            break;
        }
    }
    if (module == nullptr) {
        return PSW_ERR_NOT_AVAILABLE;
    }
    const Result bound = m_api.set_api(m_loader, module);
    if (bound != PSW_SUCCESS) {
        m_loader.unload(module);
        return bound;
    }
    // The table is complete before the module is published to readers without the lock.
    m_module.store(module, std::memory_order_release);
    return PSW_SUCCESS;
}

bool CPmcSocketLibrary::has_extended_api() noexcept
{
    return load_socket_library() == PSW_SUCCESS && m_api.m_extended;
}

Result CPmcSocketLibrary::startup(uint16_t version, const char* version_text) noexcept
{
    const Result loaded = load_socket_library();
    if (loaded != PSW_SUCCESS) {
        return loaded;
    }
    PmcSocketStartupData data{};
    if (m_api.m_pWSAStartup(version, &data) == 0) {
        return PSW_SUCCESS;
    }
    pmc_socket_channel().logger()->output(kLogError, "fail WSAStartup(%s). WSAGetLastError()=%d",
                                          version_text, m_api.m_pWSAGetLastError());
    return PSW_ERR_FAILED;
}

Result CPmcSocketLibrary::startup_v1_1() noexcept
{
    return startup(kVersion11, "1.1");
}

Result CPmcSocketLibrary::startup_v2_2() noexcept
{
    return startup(kVersion22, "2.2");
}

void CPmcSocketLibrary::cleanup() noexcept
{
    if (is_loaded()) {
        m_api.m_pWSACleanup();
    }
}

int CPmcSocketLibrary::last_error() const noexcept
{
    return is_loaded() ? m_api.m_pWSAGetLastError() : 0;
}

CPmcSocketLibrary& pmc_socket_library() noexcept
{
    // Built on first use after the system loader, so it is torn down before the loader.
    static CPmcSocketLibrary library(pmc_system_module_loader());
    return library;
}

}  // namespace psw
