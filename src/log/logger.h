// A named logger: level mask, indent, header flags, radix and the outputs it writes to.
#pragma once

#include <atomic>

#include "core/platform/lock.h"
#include "core/pmc_string.h"
#include "core/pmc_vector.h"
#include "log/log_interfaces.h"

namespace psw {

class CPmcLogger : public virtual IPmcLogger, public IPmcLoggerControl {
public:
    // Returns null when memory runs out.
    // the caller owns the result and releases it with destroy(); `name` is copied
    static CPmcLogger* create(const char* name) noexcept;
    virtual ~CPmcLogger() = default;

    Result query_interface(PmcInterfaceId id, void** out) noexcept override;
    Result query_outer(PmcInterfaceId id, void** out) noexcept override;
    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
    void destroy() noexcept override;

    const char* name() const noexcept override { return m_name.c_str(); }
    Result add_output(IPmcLogOutput* output) noexcept override;
    void set_level_mask(uint32_t mask) noexcept override;
    uint32_t get_level_mask() noexcept override;
    void set_indent(int32_t count) noexcept override;
    int32_t get_indent() noexcept override;
    void set_flags(uint32_t flags) noexcept override;
    uint32_t get_flags() noexcept override;
    Result set_radix(uint32_t radix) noexcept override;
    uint32_t get_radix() noexcept override;
    Result reserved() noexcept override { return PSW_ERR_NOT_FOUND; }
    Result output(uint32_t level, const char* format, ...) noexcept override;
    Result output_v(uint32_t level, const char* format, va_list arguments) noexcept override;
    bool accepts(uint32_t level) noexcept override;
    Result remove_output(const char* output_name) noexcept override;

    void reset() noexcept override;

    // True when an output of that name is attached.
    // borrowed: `output_name` is only read
    bool has_output_named(const char* output_name) noexcept;

protected:
    CPmcLogger() noexcept = default;
    // borrowed: `name` is copied
    bool set_name(const char* name) noexcept;
    void reset_state() noexcept;
    // Recomputes m_live_mask; the caller holds m_lock.
    void publish_live_mask() noexcept;

    CPmcString m_name;
    uint32_t m_level_mask = 0;
    int32_t m_indent = 0;
    CPmcString m_indent_text;
    uint32_t m_flags = 7;
    uint32_t m_radix = 10;
    PmcVector<IPmcLogOutput*> m_outputs;
    // The mask while an output is attached, else 0: what accepts() reads without the lock.
    std::atomic<uint32_t> m_live_mask{0};
    PmcLock m_lock;
};

}  // namespace psw
