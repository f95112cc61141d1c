// A log output that keeps the lines it is given, for assertions.
#pragma once

#include <string>
#include <vector>

#include "core/interface_ids.h"
#include "log/log_interfaces.h"

namespace psw::test {

class CaptureOutput final : public IPmcLogOutput {
public:
    explicit CaptureOutput(std::string name = "capture") : m_name(std::move(name)) {}

    Result query_interface(PmcInterfaceId id, void** out) noexcept override
    {
        const PmcInterfaceEntry entries[] = {{kIidPmcLogOutput, static_cast<IPmcLogOutput*>(this)}};
        return pmc_query_table(entries, 1, id, out);
    }
    Result query_outer(PmcInterfaceId id, void** out) noexcept override
    {
        return query_interface(id, out);
    }
    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
    void destroy() noexcept override {}
    const char* type_name() const noexcept override { return "capture"; }
    const char* name() const noexcept override { return m_name.c_str(); }
    Result write_line(const char* line) noexcept override
    {
        lines.emplace_back(line);
        return result;
    }

    std::vector<std::string> lines;
    Result result = PSW_SUCCESS;

private:
    std::string m_name;
};

}  // namespace psw::test
