// The SNMPv3 request session (user-based security targets).
#pragma once

#include "session/request_session_interface.h"

namespace psw {

// A new SNMPv3 session, owned by the caller; PSW_ERR_NO_MEMORY when out of memory.
// the caller owns the result and releases it with release()
IPmsRequestSession* create_v3_request_session(Result* result = nullptr) noexcept;

}  // namespace psw
