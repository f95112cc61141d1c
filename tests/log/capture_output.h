// A log output that keeps the lines it is given, for assertions.
#pragma once

#include <string>
#include <vector>

#include "core/interface_ids.h"
#include "log/log_interfaces.h"

namespace psw::test {

// What the tests' log outputs answer alike: their one interface, and nothing to destroy (the
// test owns them).
class TestLogOutput : public IPmcLogOutput {
public:
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
};

class CaptureOutput final : public TestLogOutput {
public:
    explicit CaptureOutput(std::string name = "capture") : m_name(std::move(name)) {}

    const char* type_name() const noexcept override { return "capture"; }
    const char* name() const noexcept override { return m_name.c_str(); }
    Result write_line(const char* line) noexcept override
    {
        lines.emplace_back(line);
        return result;
    }

    // Whether a captured line ends with `text`.
    bool has_line_ending(const std::string& text) const
    {
        for (const std::string& line : lines) {
            if (line.size() >= text.size() &&
                line.compare(line.size() - text.size(), text.size(), text) == 0) {
                return true;
            }
        }
        return false;
    }

    std::vector<std::string> lines;
    Result result = PSW_SUCCESS;

private:
    std::string m_name;
};

}  // namespace psw::test
