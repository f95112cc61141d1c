#include "log/master_logger.h"

#include "core/interface_ids.h"

namespace psw {

CPmcMasterLogger::CPmcMasterLogger() noexcept
{
    set_name("All");
}

Result CPmcMasterLogger::query_interface(PmcInterfaceId id, void** out) noexcept
{
    const PmcInterfaceEntry entries[] = {
        {kIidPmcInterface, static_cast<IPmcLogger*>(this)},
        {kIidPmcLogger, static_cast<IPmcLogger*>(this)},
        {kIidPmcLoggerControl, static_cast<IPmcLoggerControl*>(this)},
        {kIidPmcLoggerGroup, static_cast<IPmcLoggerGroup*>(this)},
        {kIidPmcMasterLogger, static_cast<IPmcLoggerGroup*>(this)},
    };
    return pmc_query_table(entries, sizeof entries / sizeof entries[0], id, out);
}

Result CPmcMasterLogger::query_outer(PmcInterfaceId id, void** out) noexcept
{
    return query_interface(id, out);
}

Result CPmcMasterLogger::add_output(IPmcLogOutput* output) noexcept
{
    if (output == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    PmcLockGuard group(m_group_lock);
    if (has_output_named(output->name())) {
        return PSW_SUCCESS;
    }
    const Result own = CPmcLogger::add_output(output);
    if (own != PSW_SUCCESS) {
        return own;
    }
    Result result = PSW_SUCCESS;
    for (IPmcLogger* member : m_members) {
        const Result attached = member->add_output(output);
        if (attached != PSW_SUCCESS) {
            result = attached;
        }
    }
    return result;
}

Result CPmcMasterLogger::remove_output(const char* output_name) noexcept
{
    if (output_name == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    PmcLockGuard group(m_group_lock);
    CPmcLogger::remove_output(output_name);
    for (IPmcLogger* member : m_members) {
        member->remove_output(output_name);
    }
    return PSW_SUCCESS;
}

void CPmcMasterLogger::set_level_mask(uint32_t mask) noexcept
{
    CPmcLogger::set_level_mask(mask);
    tell_members([mask](IPmcLogger* member) { member->set_level_mask(mask); });
}

void CPmcMasterLogger::set_indent(int32_t count) noexcept
{
    CPmcLogger::set_indent(count);
    tell_members([count](IPmcLogger* member) { member->set_indent(count); });
}

void CPmcMasterLogger::set_flags(uint32_t flags) noexcept
{
    CPmcLogger::set_flags(flags);
    tell_members([flags](IPmcLogger* member) { member->set_flags(flags); });
}

Result CPmcMasterLogger::set_radix(uint32_t radix) noexcept
{
    {
        PmcLockGuard guard(m_lock);
        m_master_radix = radix;
    }
    tell_members([radix](IPmcLogger* member) { member->set_radix(radix); });
    return PSW_SUCCESS;
}

uint32_t CPmcMasterLogger::get_radix() noexcept
{
    PmcLockGuard guard(m_lock);
    return m_master_radix;
}

Result CPmcMasterLogger::output(uint32_t, const char*, ...) noexcept
{
    return PSW_ERR_NOT_FOUND;
}

Result CPmcMasterLogger::output_v(uint32_t, const char*, va_list) noexcept
{
    return PSW_ERR_NOT_FOUND;
}

void CPmcMasterLogger::reset() noexcept
{
    PmcLockGuard group(m_group_lock);
    CPmcLogger::reset();
    {
        PmcLockGuard guard(m_lock);
        m_master_radix = 10;
    }
    m_members.clear();
}

Result CPmcMasterLogger::register_member(IPmcLogger* logger) noexcept
{
    if (logger == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    PmcLockGuard group(m_group_lock);
    for (IPmcLogger* member : m_members) {
        if (member == logger) {
            return PSW_SUCCESS;
        }
    }
    logger->set_level_mask(get_level_mask());
    logger->set_flags(get_flags());
    logger->set_radix(get_radix());
    logger->set_indent(get_indent());
    // Copy the list first: attaching takes the member's lock, never ours.
    PmcVector<IPmcLogOutput*> outputs;
    {
        PmcLockGuard guard(m_lock);
        for (IPmcLogOutput* output : m_outputs) {
            if (!outputs.push_back(output)) {
                return PSW_ERR_NO_MEMORY;
            }
        }
    }
    for (IPmcLogOutput* output : outputs) {
        const Result attached = logger->add_output(output);
        if (attached != PSW_SUCCESS) {
            return attached;
        }
    }
    return m_members.push_back(logger) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
}

IPmcLogger* CPmcMasterLogger::unregister_member(IPmcLogger* logger) noexcept
{
    PmcLockGuard group(m_group_lock);
    for (size_t i = 0; i < m_members.size(); ++i) {
        if (m_members[i] == logger) {
            m_members.erase_at(i);
            return logger;
        }
    }
    return nullptr;
}

}  // namespace psw
