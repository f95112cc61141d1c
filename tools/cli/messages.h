// The one-line messages psw prints for failed calls.
#pragma once

#include <cstdint>
#include <string>

namespace psw::cli {

// The one line psw prints for a failed call (without "psw: "): the time-out names the address
// and the wait, "no answer from 10.0.0.5 within 2000 ms (-203)"; other codes give
// "<context>: <meaning> (<code>)".
std::string failure_text(const std::string& context, int32_t code, const std::string& address,
                         uint32_t timeout_ms);

}  // namespace psw::cli
