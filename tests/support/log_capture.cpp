#include "support/log_capture.h"

#include <map>
#include <memory>

#include "log/log_registry.h"

namespace psw::test {

LogCapture& LogCapture::attach(const std::string& logger_name)
{
    static std::mutex captures_mutex;
    static std::map<std::string, std::unique_ptr<LogCapture>> captures;
    std::lock_guard<std::mutex> guard(captures_mutex);
    std::unique_ptr<LogCapture>& capture = captures[logger_name];
    if (!capture) {
        capture.reset(new LogCapture("test-capture-" + logger_name));
        IPmcLogger* logger = pmc_log_registry(nullptr)->get_logger(logger_name.c_str(), nullptr);
        logger->add_output(capture.get());
        logger->set_level_mask(kLogAll);
    }
    capture->clear();
    return *capture;
}

void LogCapture::clear()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_lines.clear();
}

int LogCapture::count(const std::string& text)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    int found = 0;
    for (const std::string& line : m_lines) {
        found += line.find(text) != std::string::npos ? 1 : 0;
    }
    return found;
}

bool LogCapture::contains(const std::string& text)
{
    return count(text) != 0;
}

size_t LogCapture::size()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_lines.size();
}

std::vector<std::string> LogCapture::lines()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_lines;
}

std::string LogCapture::all()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    std::string joined;
    for (const std::string& line : m_lines) {
        joined += line + "\n";
    }
    return joined;
}

Result LogCapture::query_interface(PmcInterfaceId, void** out) noexcept
{
    if (out != nullptr) {
        *out = nullptr;
    }
    return PSW_ERR_NO_INTERFACE;
}

Result LogCapture::query_outer(PmcInterfaceId id, void** out) noexcept
{
    return query_interface(id, out);
}

Result LogCapture::write_line(const char* line) noexcept
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_lines.emplace_back(line);
    return PSW_SUCCESS;
}

}  // namespace psw::test
