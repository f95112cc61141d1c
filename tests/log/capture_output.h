// A log output the logger tests own and give to loggers of their own: it keeps the lines it is
// given and answers write_line with `result`, so a test can make it fail. (Captures of the
// library's loggers are support/log_capture.h.)
#pragma once

#include <string>
#include <vector>

#include "support/log_capture.h"

namespace psw::test {

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

    std::vector<std::string> lines;
    Result result = PSW_SUCCESS;

private:
    std::string m_name;
};

}  // namespace psw::test
