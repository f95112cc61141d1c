// The static outputs that write nothing: what a lookup answers when it has nothing better.
#include "log/log_output_base.h"
#include "log/log_registry.h"

namespace psw {

namespace {

class CPmcNullStandardOutput final : public CPmcLogOutputBase<IPmcLogOutput> {
public:
    void destroy() noexcept override {}
    const char* type_name() const noexcept override { return "null_standard"; }
    const char* name() const noexcept override { return "null_standard"; }
    Result write_line(const char*) noexcept override { return PSW_SUCCESS; }
};

class CPmcNullFileOutput final : public CPmcLogOutputBase<IPmcLogFileOutput> {
public:
    void destroy() noexcept override {}
    const char* type_name() const noexcept override { return "null_file"; }
    const char* name() const noexcept override { return "null_file"; }
    Result write_line(const char*) noexcept override { return PSW_SUCCESS; }
    void set_max_size(uint64_t) noexcept override {}
    Result set_path(const char* path) noexcept override
    {
        return path == nullptr ? PSW_ERR_PARAMETER : PSW_SUCCESS;
    }
};

// Built when the library loads; never destroyed by a registry reset.
CPmcNullStandardOutput g_null_standard_output;
CPmcNullFileOutput g_null_file_output;

}  // namespace

IPmcLogOutput* pmc_null_standard_output() noexcept
{
    return &g_null_standard_output;
}

IPmcLogFileOutput* pmc_null_file_output() noexcept
{
    return &g_null_file_output;
}

}  // namespace psw
