// Collects the lines written to the "socket" logger so tests can check what was logged.
#pragma once

#include "support/log_capture.h"

namespace psw::test {

struct SocketLogCapture {
    static LogCapture& attach() { return LogCapture::attach("socket"); }
};

}  // namespace psw::test
