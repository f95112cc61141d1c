// An output that hands each finished line to a function of the host. It is made once (a static
// object of the exported API) and re-aimed; no registry owns or destroys it. Changing or
// clearing the function waits for a line being delivered, so once it returns the old function
// is not called again.
#pragma once

#include "core/platform/lock.h"
#include "log/log_output_base.h"

namespace psw {

// Receives one line without its line end; `line` is valid only during the call.
using PmcLogLineFunction = void (*)(void* context, const char* line);

class CPmcCallbackOutput final : public CPmcLogOutputBase<IPmcLogOutput> {
public:
    // `name` must outlive the output (a literal).
    explicit CPmcCallbackOutput(const char* name) noexcept : m_name(name) {}
    CPmcCallbackOutput(const CPmcCallbackOutput&) = delete;
    CPmcCallbackOutput& operator=(const CPmcCallbackOutput&) = delete;

    // Not owned by whoever attaches it.
    void destroy() noexcept override {}
    const char* type_name() const noexcept override { return "callback"; }
    const char* name() const noexcept override { return m_name; }
    // Calls the function under the output's lock; PSW_SUCCESS (also when no function is set).
    Result write_line(const char* line) noexcept override;

    // A null function makes the output write nothing. `context` is passed through, not owned.
    void set_function(PmcLogLineFunction function, void* context) noexcept;

private:
    const char* m_name;
    PmcLogLineFunction m_function = nullptr;
    void* m_context = nullptr;
    PmcLock m_lock;
};

}  // namespace psw
