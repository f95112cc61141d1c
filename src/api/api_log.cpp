// Exported calls that switch the library's log on and off: level masks and the three outputs a
// host can attach (standard output, a size-limited file, a callback). Each output is attached
// to the master logger "All", so every logger, made before or after, writes to it.
#include "core/interface_ids.h"
#include "core/platform/file.h"
#include "core/platform/lock.h"
#include "log/callback_output.h"
#include "log/log_outputs.h"
#include "log/log_registry.h"
#include "psw/psw.h"

namespace {

constexpr char kMasterName[] = "All";
constexpr char kStdoutOutputName[] = "psw-api-stdout";
constexpr char kFileOutputName[] = "psw-api-file";
constexpr char kCallbackOutputName[] = "psw-api-callback";

// Serialises the calls below, so that two hosts' threads switching outputs never interleave
// between detaching an old output and attaching its successor. It is taken before the
// registry's lock; no code that writes a line takes it.
psw::PmcLock g_control_lock;

// Lives as long as the library (the registry never owns it): re-aimed by each attach, cleared
// by detach.
psw::CPmcCallbackOutput g_callback_output(kCallbackOutputName);

static_assert(PSW_LOG_ERROR == psw::kLogError && PSW_LOG_WARN == psw::kLogWarn &&
              PSW_LOG_INFO == psw::kLogInfo && PSW_LOG_DEBUG == psw::kLogDebug &&
              PSW_LOG_TRACE == psw::kLogTrace && PSW_LOG_ALL == psw::kLogAll);

// What an attach call works with: g_control_lock, held for the object's life, and the registry
// and its master logger. not a transfer: both pointers are owned by the registry.
class LockedMaster {
public:
    // result() is the registry's code when either cannot be had, PSW_ERR_NO_MEMORY when it
    // names none.
    LockedMaster() noexcept : m_guard(g_control_lock)
    {
        registry = psw::pmc_log_registry(&m_result);
        if (registry != nullptr) {
            logger = registry->get_logger(kMasterName, &m_result);
        }
        if (logger == nullptr && m_result == PSW_SUCCESS) {
            m_result = PSW_ERR_NO_MEMORY;
        }
    }

    int32_t result() const noexcept { return m_result; }

    psw::CPmcLogRegistry* registry = nullptr;
    psw::IPmcLogger* logger = nullptr;

private:
    psw::PmcLockGuard m_guard;
    int32_t m_result = PSW_SUCCESS;
};

// Attaches `output` to the master; on failure detaches it again so no logger keeps half of it.
int32_t attach(psw::CPmcLogRegistry& registry, psw::IPmcLogger& master, psw::IPmcLogOutput* output)
{
    const int32_t result = master.add_output(output);
    if (result != PSW_SUCCESS) {
        registry.discard_output(output->name());
    }
    return result;
}

// The caller holds g_control_lock.
int32_t discard(const char* output_name)
{
    int32_t result = PSW_SUCCESS;
    psw::CPmcLogRegistry* registry = psw::pmc_log_registry(&result);
    return registry != nullptr ? registry->discard_output(output_name) : result;
}

}  // namespace

extern "C" {

PSW_API int32_t PSWLogSetLevel(const char* logger, uint32_t mask)
{
    if ((logger != nullptr && *logger == '\0') ||
        (mask & ~static_cast<uint32_t>(PSW_LOG_ALL)) != 0) {
        return PSW_ERR_PARAMETER;
    }
    psw::PmcLockGuard guard(g_control_lock);
    int32_t result = PSW_SUCCESS;
    psw::CPmcLogRegistry* registry = psw::pmc_log_registry(&result);
    if (registry == nullptr) {
        return result;
    }
    psw::IPmcLogger* target =
        registry->get_logger(logger != nullptr ? logger : kMasterName, &result);
    if (result != PSW_SUCCESS) {
        return result;
    }
    target->set_level_mask(mask);
    return PSW_SUCCESS;
}

PSW_API int32_t PSWLogAttachStdout(void)
{
    LockedMaster master;
    if (master.result() != PSW_SUCCESS) {
        return master.result();
    }
    psw::IPmcLogOutput* output = master.registry->get_output("stdout", kStdoutOutputName);
    if (output == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    return attach(*master.registry, *master.logger, output);
}

PSW_API int32_t PSWLogDetachStdout(void)
{
    psw::PmcLockGuard guard(g_control_lock);
    return discard(kStdoutOutputName);
}

PSW_API int32_t PSWLogAttachFile(const char* path, uint64_t maxSize)
{
    if (path == nullptr || *path == '\0') {
        return PSW_ERR_PARAMETER;
    }
    LockedMaster master;
    if (master.result() != PSW_SUCCESS) {
        return master.result();
    }
    // The earlier file, if any, is closed before the new one is tried.
    master.registry->discard_output(kFileOutputName);
    // The output opens its file at the first line; tried here so a host hears of a path it
    // cannot write at once, not as lines that silently go nowhere.
    psw::PmcFile* probe = psw::pmc_file_open(path, false);
    if (probe == nullptr) {
        return PSW_ERR_NOT_AVAILABLE;
    }
    psw::pmc_file_close(probe);

    psw::IPmcLogOutput* output = master.registry->get_output("file", kFileOutputName);
    void* part = nullptr;
    if (output == nullptr ||
        output->query_interface(psw::kIidPmcLogFileOutput, &part) != PSW_SUCCESS) {
        return PSW_ERR_NO_MEMORY;
    }
    auto* file = static_cast<psw::IPmcLogFileOutput*>(part);
    const int32_t result = file->set_path(path);
    if (result != PSW_SUCCESS) {
        master.registry->discard_output(kFileOutputName);
        return result;
    }
    file->set_max_size(maxSize != 0 ? maxSize : psw::kLogFileDefaultMaxSize);
    return attach(*master.registry, *master.logger, output);
}

PSW_API int32_t PSWLogDetachFile(void)
{
    psw::PmcLockGuard guard(g_control_lock);
    return discard(kFileOutputName);
}

PSW_API int32_t PSWLogAttachCallback(PSWLogCallback callback, void* context)
{
    if (callback == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    LockedMaster master;
    if (master.result() != PSW_SUCCESS) {
        return master.result();
    }
    g_callback_output.set_function(callback, context);
    const int32_t result = attach(*master.registry, *master.logger, &g_callback_output);
    if (result != PSW_SUCCESS) {
        g_callback_output.set_function(nullptr, nullptr);
    }
    return result;
}

PSW_API int32_t PSWLogDetachCallback(void)
{
    psw::PmcLockGuard guard(g_control_lock);
    const int32_t result = discard(kCallbackOutputName);
    // Detached everywhere first, so no logger reaches the output any more; clearing the
    // function then waits for a line still being delivered.
    g_callback_output.set_function(nullptr, nullptr);
    return result;
}

}  // extern "C"
