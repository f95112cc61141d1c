// Collects the lines written to the "socket" logger so tests can check what was logged.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "log/log_registry.h"

namespace psw::test {

class SocketLogCapture final : public IPmcLogOutput {
public:
    // The one capture, attached to the "socket" logger with every level on. Loggers do not own
    // their outputs and cannot drop one, so it lives as long as the process.
    static SocketLogCapture& attach()
    {
        static SocketLogCapture capture;
        static const bool attached = [] {
            IPmcLogger* logger = pmc_log_registry(nullptr)->get_logger("socket", nullptr);
            logger->add_output(&capture);
            logger->set_level_mask(kLogAll);
            return true;
        }();
        (void)attached;
        capture.clear();
        return capture;
    }

    void clear()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_lines.clear();
    }

    // True when some line written since the last clear() contains `text`.
    bool contains(const std::string& text)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        for (const std::string& line : m_lines) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    std::string all()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        std::string joined;
        for (const std::string& line : m_lines) {
            joined += line + "\n";
        }
        return joined;
    }

    Result query_interface(PmcInterfaceId, void** out) noexcept override
    {
        if (out != nullptr) {
            *out = nullptr;
        }
        return PSW_ERR_NO_INTERFACE;
    }
    Result query_outer(PmcInterfaceId id, void** out) noexcept override
    {
        return query_interface(id, out);
    }
    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
    void destroy() noexcept override {}
    const char* type_name() const noexcept override { return "test"; }
    const char* name() const noexcept override { return "net-test-capture"; }
    Result write_line(const char* line) noexcept override
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_lines.emplace_back(line);
        return PSW_SUCCESS;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

}  // namespace psw::test
