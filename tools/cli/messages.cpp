#include "cli/messages.h"

#include "psw/psw_result.h"

namespace psw::cli {

std::string failure_text(const std::string& context, int32_t code, const std::string& address,
                         uint32_t timeout_ms)
{
    const std::string suffix = " (" + std::to_string(code) + ")";
    if (code == PSW_ERR_TIMEOUT) {
        return "no answer from " + address + " within " + std::to_string(timeout_ms) + " ms" +
               suffix;
    }
    return context + ": " + psw_result_meaning(code) + suffix;
}

}  // namespace psw::cli
