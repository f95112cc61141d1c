// The static outputs that write nothing: what a lookup answers when it has nothing better.
#include "core/interface_ids.h"
#include "log/log_registry.h"

namespace psw {

namespace {

class CPmcNullStandardOutput final : public IPmcLogOutput {
public:
    Result query_interface(PmcInterfaceId id, void** out) noexcept override
    {
        const PmcInterfaceEntry entries[] = {
            {kIidPmcInterface, static_cast<IPmcLogOutput*>(this)},
            {kIidPmcLogOutput, static_cast<IPmcLogOutput*>(this)},
        };
        return pmc_query_table(entries, 2, id, out);
    }
    Result query_outer(PmcInterfaceId id, void** out) noexcept override
    {
        return query_interface(id, out);
    }
    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
    void destroy() noexcept override {}
    const char* type_name() const noexcept override { return "null_standard"; }
    const char* name() const noexcept override { return "null_standard"; }
    Result write_line(const char*) noexcept override { return PSW_SUCCESS; }
};

class CPmcNullFileOutput final : public IPmcLogFileOutput {
public:
    Result query_interface(PmcInterfaceId id, void** out) noexcept override
    {
        const PmcInterfaceEntry entries[] = {
            {kIidPmcInterface, static_cast<IPmcLogOutput*>(this)},
            {kIidPmcLogOutput, static_cast<IPmcLogOutput*>(this)},
            {kIidPmcLogFileOutput, static_cast<IPmcLogFileOutput*>(this)},
        };
        return pmc_query_table(entries, 3, id, out);
    }
    Result query_outer(PmcInterfaceId id, void** out) noexcept override
    {
        return query_interface(id, out);
    }
    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
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
