// Lines to the process's standard output.
#include <cstdio>

#include "core/pmc_string.h"
#include "log/log_output_base.h"
#include "log/log_outputs.h"
#include "log/log_registry.h"

namespace psw {

namespace {

class CPmcStandardOutput final : public CPmcLogOutputBase<IPmcLogOutput> {
public:
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
    return pmc_create_named_output<CPmcStandardOutput>(output_name);
}

IPmcLogOutputType* pmc_create_standard_output_type() noexcept
{
    return new (std::nothrow) CPmcStandardOutputType();
}

}  // namespace psw
