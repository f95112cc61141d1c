// Switching the library's log on for one run of psw, through the exported PSWLog... calls.
#pragma once

#include <string>

#include "cli/command_line.h"

namespace psw::cli {

// The level mask for a verbosity: 0 nothing, 1 errors and warnings, 2 also info, 3 also debug
// (with the datagrams' bytes), 4 and more everything (trace).
uint32_t log_mask_of(uint32_t verbosity);

// Writes the library's lines to stderr (and then draws no spinner), or to the --log-file (at
// least at warnings). Without -v or --log-file it does nothing. False with *error when the log cannot be switched on.
bool start_library_log(const LogOptions& options, std::string* error);

}  // namespace psw::cli
