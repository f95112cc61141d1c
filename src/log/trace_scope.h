// Writes "[name] enter." when built and "[name] exit." when the scope ends, at level Trace.
#pragma once

#include "log/log_interfaces.h"

namespace psw {

class CPmcTraceScope {
public:
    // borrowed: `name` and `logger` must outlive the scope
    CPmcTraceScope(const char* name, IPmcLogger* logger) noexcept : m_name(name), m_logger(logger)
    {
        m_logger->output(kLogTrace, "[%s] enter.", m_name);
    }
    ~CPmcTraceScope() { m_logger->output(kLogTrace, "[%s] exit.", m_name); }
    CPmcTraceScope(const CPmcTraceScope&) = delete;
    CPmcTraceScope& operator=(const CPmcTraceScope&) = delete;

private:
    const char* m_name;
    IPmcLogger* m_logger;
};

}  // namespace psw
