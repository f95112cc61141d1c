// Collects the lines a named logger writes, so tests can check what was logged.
//
//   auto& log = psw::test::LogCapture::attach("snmp");   // cleared; every level on
//   ... run the code ...
//   EXPECT_TRUE(log.contains("receive timeout."));
//
// Loggers keep their outputs for the life of the process (they cannot drop one), so there is one
// capture per logger name; attach() clears it for the next test and attaches it again to a
// logger made after a registry reset. ScopedLogCapture switches the logger back to its former
// level mask when the scope ends, for loggers that should stay quiet between checks.
//
// TestLogOutput is the common part of every log output a test owns (LogCapture, and the outputs
// the log facility's own tests give their loggers).
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "log/log_interfaces.h"

namespace psw::test {

// A log output owned by the test: it answers its one interface and has nothing to destroy.
class TestLogOutput : public IPmcLogOutput {
public:
    Result query_interface(PmcInterfaceId id, void** out) noexcept override;
    Result query_outer(PmcInterfaceId id, void** out) noexcept override;
    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
    void destroy() noexcept override {}
};

class LogCapture final : public TestLogOutput {
public:
    static LogCapture& attach(const std::string& logger_name);

    void clear();
    // Whether some line since the last clear contains `text`; how many do.
    bool contains(const std::string& text);
    int count(const std::string& text);
    // Whether some line ends with `text` (a logged operation, whatever the line's prefix).
    bool has_line_ending(const std::string& text);
    size_t size();
    std::vector<std::string> lines();
    // Every line, each ended by a newline: for failure messages.
    std::string all();

    const char* type_name() const noexcept override { return "test"; }
    const char* name() const noexcept override { return m_name.c_str(); }
    Result write_line(const char* line) noexcept override;

private:
    explicit LogCapture(std::string name) : m_name(std::move(name)) {}

    std::string m_name;
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// The capture of a logger for the life of a scope: every level on while it lives, the mask the
// logger had before when it ends.
class ScopedLogCapture {
public:
    explicit ScopedLogCapture(const std::string& logger_name);
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

    std::vector<std::string> lines() const { return m_log.lines(); }
    bool contains(const std::string& text) const { return m_log.contains(text); }
    void clear() { m_log.clear(); }

private:
    std::string m_logger_name;
    uint32_t m_saved_mask;
    LogCapture& m_log;
};

}  // namespace psw::test
