// The master logger "All": holds the default settings, never writes, and passes every change
// on to its member loggers.
#pragma once

#include "log/logger.h"

namespace psw {

class CPmcMasterLogger final : public CPmcLogger, public IPmcLoggerGroup {
public:
    CPmcMasterLogger() noexcept;

    Result query_interface(PmcInterfaceId id, void** out) noexcept override;
    Result query_outer(PmcInterfaceId id, void** out) noexcept override;
    // Embedded in the registry: destroy does nothing.
    void destroy() noexcept override {}

    Result add_output(IPmcLogOutput* output) noexcept override;
    void set_level_mask(uint32_t mask) noexcept override;
    void set_indent(int32_t count) noexcept override;
    void set_flags(uint32_t flags) noexcept override;
    Result set_radix(uint32_t radix) noexcept override;
    uint32_t get_radix() noexcept override;
    Result output(uint32_t level, const char* format, ...) noexcept override;
    Result output_v(uint32_t level, const char* format, va_list arguments) noexcept override;
    // The master never writes.
    bool accepts(uint32_t) noexcept override { return false; }
    // Detaches the output from the master and from every member.
    Result remove_output(const char* output_name) noexcept override;

    void reset() noexcept override;

    Result register_member(IPmcLogger* logger) noexcept override;
    IPmcLogger* unregister_member(IPmcLogger* logger) noexcept override;

private:
    // Applies `call` to every member logger under the group lock.
    template <class Call>
    void tell_members(Call call) noexcept
    {
        PmcLockGuard group(m_group_lock);
        for (IPmcLogger* member : m_members) {
            call(member);
        }
    }

    // The master keeps whatever radix it is given; members accept only 10 and 16.
    uint32_t m_master_radix = 10;
    PmcVector<IPmcLogger*> m_members;
    PmcLock m_group_lock;
};

}  // namespace psw
