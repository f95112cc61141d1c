// The logger "null_session" that the registry hands out whenever it cannot produce a logger,
// and the membership object that does nothing; callers never test for null.
#pragma once

#include "log/log_interfaces.h"

namespace psw {

class CPmcNullLogger final : public IPmcLogger {
public:
    Result query_interface(PmcInterfaceId id, void** out) noexcept override;
    Result query_outer(PmcInterfaceId id, void** out) noexcept override;
    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
    void destroy() noexcept override {}
    const char* name() const noexcept override { return "null_session"; }
    Result add_output(IPmcLogOutput*) noexcept override { return PSW_SUCCESS; }
    void set_level_mask(uint32_t) noexcept override {}
    uint32_t get_level_mask() noexcept override { return 0; }
    void set_indent(int32_t) noexcept override {}
    int32_t get_indent() noexcept override { return 0; }
    void set_flags(uint32_t) noexcept override {}
    uint32_t get_flags() noexcept override { return 0; }
    Result set_radix(uint32_t) noexcept override { return PSW_SUCCESS; }
    uint32_t get_radix() noexcept override { return 10; }
    Result reserved() noexcept override { return PSW_ERR_NOT_FOUND; }
    Result output(uint32_t, const char*, ...) noexcept override { return PSW_SUCCESS; }
    Result output_v(uint32_t, const char*, va_list) noexcept override { return PSW_SUCCESS; }
    bool accepts(uint32_t) noexcept override { return false; }
    Result remove_output(const char*) noexcept override { return PSW_SUCCESS; }
};

class CPmcNullLoggerGroup final : public IPmcLoggerGroup {
public:
    Result register_member(IPmcLogger*) noexcept override { return PSW_SUCCESS; }
    IPmcLogger* unregister_member(IPmcLogger*) noexcept override { return nullptr; }
};

}  // namespace psw
