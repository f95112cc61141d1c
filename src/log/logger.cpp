#include "log/logger.h"

#include <cstring>

#include "core/factory.h"
#include "core/interface_ids.h"
#include "log/log_line.h"

namespace psw {

namespace {

// A copy of `field`, read under `lock`.
template <class T>
T read_locked(PmcLock& lock, const T& field) noexcept
{
    PmcLockGuard guard(lock);
    return field;
}

}  // namespace

CPmcLogger* CPmcLogger::create(const char* name) noexcept
{
    auto* logger = new (std::nothrow) CPmcLogger();
    if (logger != nullptr && !logger->set_name(name)) {
        delete logger;
        return nullptr;
    }
    return logger;
}

bool CPmcLogger::set_name(const char* name) noexcept
{
    m_name.assign(name);
    return name == nullptr || *name == '\0' || !m_name.empty();
}

Result CPmcLogger::query_interface(PmcInterfaceId id, void** out) noexcept
{
    const PmcInterfaceEntry entries[] = {
        {kIidPmcInterface, static_cast<IPmcLogger*>(this)},
        {kIidPmcLogger, static_cast<IPmcLogger*>(this)},
        {kIidPmcLoggerControl, static_cast<IPmcLoggerControl*>(this)},
    };
    return pmc_query_table(entries, sizeof entries / sizeof entries[0], id, out);
}

Result CPmcLogger::query_outer(PmcInterfaceId id, void** out) noexcept
{
    return query_interface(id, out);
}

void CPmcLogger::destroy() noexcept
{
    delete this;
}

Result CPmcLogger::add_output(IPmcLogOutput* output) noexcept
{
    if (output == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    PmcLockGuard guard(m_lock);
    for (IPmcLogOutput* attached : m_outputs) {
        if (std::strcmp(attached->name(), output->name()) == 0) {
            return PSW_SUCCESS;
        }
    }
    if (!m_outputs.push_back(output)) {
        return PSW_ERR_NO_MEMORY;
    }
    publish_live_mask();
    return PSW_SUCCESS;
}

Result CPmcLogger::remove_output(const char* output_name) noexcept
{
    if (output_name == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    PmcLockGuard guard(m_lock);
    for (size_t i = 0; i < m_outputs.size(); ++i) {
        if (std::strcmp(m_outputs[i]->name(), output_name) == 0) {
            m_outputs.erase_at(i);
            break;
        }
    }
    publish_live_mask();
    return PSW_SUCCESS;
}

bool CPmcLogger::accepts(uint32_t level) noexcept
{
    return (m_live_mask.load(std::memory_order_relaxed) & level) != 0;
}

void CPmcLogger::publish_live_mask() noexcept
{
    m_live_mask.store(m_outputs.empty() ? 0 : m_level_mask, std::memory_order_relaxed);
}

bool CPmcLogger::has_output_named(const char* output_name) noexcept
{
    PmcLockGuard guard(m_lock);
    for (IPmcLogOutput* attached : m_outputs) {
        if (std::strcmp(attached->name(), output_name) == 0) {
            return true;
        }
    }
    return false;
}

void CPmcLogger::set_level_mask(uint32_t mask) noexcept
{
    PmcLockGuard guard(m_lock);
    m_level_mask = mask;
    publish_live_mask();
}

uint32_t CPmcLogger::get_level_mask() noexcept
{
    return read_locked(m_lock, m_level_mask);
}

void CPmcLogger::set_indent(int32_t count) noexcept
{
    PmcLockGuard guard(m_lock);
    m_indent = count;
    m_indent_text.clear();
    for (int32_t i = 0; i < count; ++i) {
        m_indent_text.append("    ", 4);
    }
}

int32_t CPmcLogger::get_indent() noexcept
{
    return read_locked(m_lock, m_indent);
}

void CPmcLogger::set_flags(uint32_t flags) noexcept
{
    PmcLockGuard guard(m_lock);
    m_flags = flags;
}

uint32_t CPmcLogger::get_flags() noexcept
{
    return read_locked(m_lock, m_flags);
}

Result CPmcLogger::set_radix(uint32_t radix) noexcept
{
    if (radix != 10 && radix != 16) {
        return PSW_ERR_PARAMETER;
    }
    PmcLockGuard guard(m_lock);
    m_radix = radix;
    return PSW_SUCCESS;
}

uint32_t CPmcLogger::get_radix() noexcept
{
    return read_locked(m_lock, m_radix);
}

Result CPmcLogger::output(uint32_t level, const char* format, ...) noexcept
{
    va_list arguments;
    va_start(arguments, format);
    const Result result = output_v(level, format, arguments);
    va_end(arguments);
    return result;
}

Result CPmcLogger::output_v(uint32_t level, const char* format, va_list arguments) noexcept
{
    // Nobody listens for this level: nothing to format (the common case on every exchange).
    if ((m_live_mask.load(std::memory_order_relaxed) & level) == 0) {
        return PSW_SUCCESS;
    }
    PmcLockGuard guard(m_lock);
    if ((level & m_level_mask) == 0) {
        return PSW_SUCCESS;
    }
    char line[kLogLineMax + 1];
    const PmcLogLineSettings settings{m_name.c_str(), m_flags, m_radix, m_indent_text.c_str()};
    pmc_format_log_line(line, settings, level, format, arguments);
    Result result = PSW_SUCCESS;
    for (IPmcLogOutput* attached : m_outputs) {
        const Result written = attached->write_line(line);
        if (written != PSW_SUCCESS) {
            result = written;
        }
    }
    return result;
}

void CPmcLogger::reset_state() noexcept
{
    m_outputs.clear();
    m_level_mask = 0;
    m_indent = 0;
    m_indent_text.clear();
    m_flags = 7;
    m_radix = 10;
    publish_live_mask();
}

void CPmcLogger::reset() noexcept
{
    PmcLockGuard guard(m_lock);
    reset_state();
}

}  // namespace psw
