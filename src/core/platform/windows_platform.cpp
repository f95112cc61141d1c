// The platform layer on Windows: kernel32 calls only; everything else is bound at run time.
// (WIN32_LEAN_AND_MEAN and NOMINMAX come from the build.)
#include <windows.h>

#include <io.h>

#include <cstdio>
#include <new>

#include "core/platform/clock.h"
#include "core/platform/file.h"
#include "core/platform/lock.h"
#include "core/platform/module.h"
#include "core/platform/process.h"
#include "core/platform/random.h"
#include "core/platform/stdio_file.h"

namespace psw {

namespace {

static_assert(sizeof(CRITICAL_SECTION) <= 40, "PmcLock keeps a CRITICAL_SECTION in 40 bytes");

constexpr int kLockEmpty = 0;
constexpr int kLockMaking = 1;
constexpr int kLockReady = 2;

CRITICAL_SECTION* section_of(unsigned char* storage) noexcept
{
    return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

}  // namespace

void PmcLock::lock() noexcept
{
    int state = m_state.load(std::memory_order_acquire);
    if (state != kLockReady) {
        int expected = kLockEmpty;
        if (m_state.compare_exchange_strong(expected, kLockMaking, std::memory_order_acq_rel)) {
            InitializeCriticalSection(section_of(m_section));
            m_state.store(kLockReady, std::memory_order_release);
        } else {
            while (m_state.load(std::memory_order_acquire) != kLockReady) {
                Sleep(0);
            }
        }
    }
    EnterCriticalSection(section_of(m_section));
}

void PmcLock::unlock() noexcept
{
    LeaveCriticalSection(section_of(m_section));
}

PmcLock::~PmcLock()
{
    if (m_state.load(std::memory_order_acquire) == kLockReady) {
        DeleteCriticalSection(section_of(m_section));
    }
}

uint32_t pmc_tick_count() noexcept
{
    return static_cast<uint32_t>(GetTickCount());
}

PmcLocalTime pmc_local_time() noexcept
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return PmcLocalTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                        now.wMinute, now.wSecond, now.wMilliseconds};
}

uint32_t pmc_process_id() noexcept
{
    return static_cast<uint32_t>(GetCurrentProcessId());
}

uint32_t pmc_thread_id() noexcept
{
    return static_cast<uint32_t>(GetCurrentThreadId());
}

uint32_t pmc_random_u32() noexcept
{
    // The system's random source lives in advapi32 as "SystemFunction036" (RtlGenRandom).
    using GenRandom = BOOLEAN(WINAPI*)(PVOID, ULONG);
    uint32_t value = 0;
    HMODULE module = LoadLibraryExA("advapi32.dll", nullptr, 0);
    if (module != nullptr) {
        auto generate = reinterpret_cast<GenRandom>(
            reinterpret_cast<void*>(GetProcAddress(module, "SystemFunction036")));
        const bool filled = generate != nullptr && generate(&value, sizeof value) != FALSE;
        FreeLibrary(module);
        if (filled) {
            return value;
        }
    }
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    const uint64_t mixed =
        (static_cast<uint64_t>(counter.QuadPart) << 20) ^ static_cast<uint64_t>(GetTickCount()) ^
        (static_cast<uint64_t>(GetCurrentProcessId()) * uint64_t{0x9E3779B97F4A7C15u});
    return static_cast<uint32_t>(mixed ^ (mixed >> 32));
}

namespace {

class WindowsModuleLoader final : public PmcModuleLoader {
public:
    // The ordinary load first, then once more with the altered search path.
    void* load(const char* name) noexcept override
    {
        if (name == nullptr) {
            return nullptr;
        }
        HMODULE module = LoadLibraryExA(name, nullptr, 0);
        if (module == nullptr) {
            module = LoadLibraryExA(name, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        }
        return reinterpret_cast<void*>(module);
    }
    void* find_function(void* module, const char* name) noexcept override
    {
        if (module == nullptr || name == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
    }
    void unload(void* module) noexcept override
    {
        if (module != nullptr) {
            FreeLibrary(static_cast<HMODULE>(module));
        }
    }
    // The system's own codes: 126 module not found, 127 procedure not found.
    int last_error() noexcept override { return static_cast<int>(GetLastError()); }
};

}  // namespace

PmcModuleLoader& pmc_system_module_loader() noexcept
{
    static WindowsModuleLoader loader;
    return loader;
}

uint64_t pmc_file_size(PmcFile* file) noexcept
{
    if (file == nullptr) {
        return 0;
    }
    const long long size = _filelengthi64(_fileno(file->stream));
    return size > 0 ? static_cast<uint64_t>(size) : 0;
}

bool pmc_file_exists(const char* path) noexcept
{
    return path != nullptr && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool pmc_file_remove(const char* path) noexcept
{
    return path != nullptr && DeleteFileA(path) != FALSE;
}

// Replaces an existing `to`, as rename does on POSIX systems (the log rotation relies on it).
bool pmc_file_rename(const char* from, const char* to) noexcept
{
    return from != nullptr && to != nullptr &&
           MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace psw
