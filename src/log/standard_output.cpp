// Lines to the process's standard output.
#include <cstdio>
#include <new>

#include "core/interface_ids.h"
#include "core/pmc_string.h"
#include "log/log_outputs.h"
#include "log/log_registry.h"

namespace psw {

namespace {

class CPmcStandardOutput final : public IPmcLogOutput {
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
    void destroy() noexcept override { delete this; }

    const char* type_name() const noexcept override { return "stdout"; }
    const char* name() const noexcept override { return m_name.c_str(); }
    Result write_line(const char* line) noexcept override
    {
        std::printf("%s\n", line);
        std::fflush(stdout);
        return PSW_SUCCESS;
    }

    CPmcString m_name;
};

class CPmcStandardOutputType final : public IPmcLogOutputType {
public:
    const char* type_name() const noexcept override { return "stdout"; }
    IPmcLogOutput* create(const char* output_name, const IPmcKeyValueSet*) noexcept override
    {
        if (output_name == nullptr) {
            return pmc_null_standard_output();
        }
        return pmc_create_standard_output(output_name);
    }
};

}  // namespace

IPmcLogOutput* pmc_create_standard_output(const char* output_name) noexcept
{
    auto* output = new (std::nothrow) CPmcStandardOutput();
    if (output == nullptr) {
        return nullptr;
    }
    output->m_name.assign(output_name);
    if (output_name != nullptr && *output_name != '\0' && output->m_name.empty()) {
        delete output;
        return nullptr;
    }
    return output;
}

IPmcLogOutputType* pmc_create_standard_output_type() noexcept
{
    return new (std::nothrow) CPmcStandardOutputType();
}

}  // namespace psw
