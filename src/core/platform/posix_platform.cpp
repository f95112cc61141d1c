// The platform layer on POSIX systems.
#include <dlfcn.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <new>

#include "core/platform/clock.h"
#include "core/platform/file.h"
#include "core/platform/module.h"
#include "core/platform/process.h"
#include "core/platform/random.h"
#include "core/platform/stdio_file.h"

namespace psw {

uint32_t pmc_tick_count() noexcept
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

PmcLocalTime pmc_local_time() noexcept
{
    timeval now{};
    gettimeofday(&now, nullptr);
    const time_t seconds = now.tv_sec;
    tm parts{};
    localtime_r(&seconds, &parts);
    return PmcLocalTime{parts.tm_year + 1900,
                        parts.tm_mon + 1,
                        parts.tm_mday,
                        parts.tm_hour,
                        parts.tm_min,
                        parts.tm_sec,
                        static_cast<int>(now.tv_usec / 1000)};
}

uint32_t pmc_process_id() noexcept
{
    return static_cast<uint32_t>(getpid());
}

uint32_t pmc_thread_id() noexcept
{
    return static_cast<uint32_t>(syscall(SYS_gettid));
}

uint32_t pmc_random_u32() noexcept
{
    uint32_t value = 0;
    if (getrandom(&value, sizeof value, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof value)) {
        return value;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const uint64_t mixed = (static_cast<uint64_t>(now.tv_nsec) << 20) ^
                           static_cast<uint64_t>(now.tv_sec) ^
                           (static_cast<uint64_t>(getpid()) * uint64_t{0x9E3779B97F4A7C15u});
    return static_cast<uint32_t>(mixed ^ (mixed >> 32));
}

namespace {

class PosixModuleLoader final : public PmcModuleLoader {
public:
    void* load(const char* name) noexcept override
    {
        return name != nullptr ? dlopen(name, RTLD_NOW | RTLD_LOCAL) : nullptr;
    }
    void* find_function(void* module, const char* name) noexcept override
    {
        if (module == nullptr || name == nullptr) {
            return nullptr;
        }
        return dlsym(module, name);
    }
    void unload(void* module) noexcept override
    {
        if (module != nullptr) {
            dlclose(module);
        }
    }
};

}  // namespace

PmcModuleLoader& pmc_system_module_loader() noexcept
{
    static PosixModuleLoader loader;
    return loader;
}

uint64_t pmc_file_size(PmcFile* file) noexcept
{
    struct stat info {};
    if (file == nullptr || fstat(fileno(file->stream), &info) != 0) {
        return 0;
    }
    return static_cast<uint64_t>(info.st_size);
}

bool pmc_file_exists(const char* path) noexcept
{
    struct stat info {};
    return path != nullptr && stat(path, &info) == 0;
}

bool pmc_file_remove(const char* path) noexcept
{
    return path != nullptr && std::remove(path) == 0;
}

bool pmc_file_rename(const char* from, const char* to) noexcept
{
    return from != nullptr && to != nullptr && std::rename(from, to) == 0;
}

}  // namespace psw
