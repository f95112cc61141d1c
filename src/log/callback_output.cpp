#include "log/callback_output.h"

namespace psw {

Result CPmcCallbackOutput::write_line(const char* line) noexcept
{
    PmcLockGuard guard(m_lock);
    if (m_function != nullptr) {
        m_function(m_context, line);
    }
    return PSW_SUCCESS;
}

void CPmcCallbackOutput::set_function(PmcLogLineFunction function, void* context) noexcept
{
    PmcLockGuard guard(m_lock);
    m_function = function;
    m_context = context;
}

}  // namespace psw
