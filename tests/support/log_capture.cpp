#include "support/log_capture.h"

#include <map>
#include <memory>

#include "core/interface_ids.h"
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
    }
    // A registry reset makes new loggers without the capture; adding it again to the same
    // logger changes nothing (outputs are matched by name).
    IPmcLogger* logger = pmc_log_registry(nullptr)->get_logger(logger_name.c_str(), nullptr);
    logger->add_output(capture.get());
    logger->set_level_mask(kLogAll);
    capture->clear();
    return *capture;
}

namespace {

uint32_t level_mask_of(const std::string& logger_name)
{
    return pmc_log_registry(nullptr)->get_logger(logger_name.c_str(), nullptr)->get_level_mask();
}

}  // namespace

ScopedLogCapture::ScopedLogCapture(const std::string& logger_name)
    : m_logger_name(logger_name),
      m_saved_mask(level_mask_of(logger_name)),
      m_log(LogCapture::attach(logger_name))
{
}

ScopedLogCapture::~ScopedLogCapture()
{
    pmc_log_registry(nullptr)
        ->get_logger(m_logger_name.c_str(), nullptr)
        ->set_level_mask(m_saved_mask);
    m_log.clear();
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

bool LogCapture::has_line_ending(const std::string& text)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    for (const std::string& line : m_lines) {
        if (line.size() >= text.size() &&
            line.compare(line.size() - text.size(), text.size(), text) == 0) {
            return true;
        }
    }
    return false;
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

Result TestLogOutput::query_interface(PmcInterfaceId id, void** out) noexcept
{
    const PmcInterfaceEntry entries[] = {{kIidPmcLogOutput, static_cast<IPmcLogOutput*>(this)}};
    return pmc_query_table(entries, 1, id, out);
}

Result TestLogOutput::query_outer(PmcInterfaceId id, void** out) noexcept
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
