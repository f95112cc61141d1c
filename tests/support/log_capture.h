// Collects the lines a named logger writes, so tests can check what was logged.
//
//   auto& log = psw::test::LogCapture::attach("snmp");   // cleared; every level on
//   ... run the code ...
//   EXPECT_TRUE(log.contains("receive timeout."));
//
// Loggers keep their outputs for the life of the process (they cannot drop one), so there is one
// capture per logger name, attached on first use; attach() clears it for the next test.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "log/log_interfaces.h"

namespace psw::test {

class LogCapture final : public IPmcLogOutput {
public:
    static LogCapture& attach(const std::string& logger_name);

    void clear();
    // Whether some line since the last clear contains `text`; how many do.
    bool contains(const std::string& text);
    int count(const std::string& text);
    size_t size();
    std::vector<std::string> lines();
    // Every line, each ended by a newline: for failure messages.
    std::string all();

    Result query_interface(PmcInterfaceId id, void** out) noexcept override;
    Result query_outer(PmcInterfaceId id, void** out) noexcept override;
    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
    void destroy() noexcept override {}
    const char* type_name() const noexcept override { return "test"; }
    const char* name() const noexcept override { return m_name.c_str(); }
    Result write_line(const char* line) noexcept override;

private:
    explicit LogCapture(std::string name) : m_name(std::move(name)) {}

    std::string m_name;
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

}  // namespace psw::test
