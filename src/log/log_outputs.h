// The output kinds: standard output, size-limited file, and the two static null outputs.
#pragma once

#include "log/log_interfaces.h"

namespace psw {

// New outputs owned by the caller (destroy()); null when memory runs out.
// the caller owns the result and releases it with destroy()
IPmcLogOutput* pmc_create_standard_output(const char* output_name) noexcept;
// the caller owns the result and releases it with destroy()
IPmcLogFileOutput* pmc_create_file_output(const char* output_name) noexcept;

// The two output types the registry knows, in registration order; owned by the caller.
// the caller owns the result (delete; the registry takes it over)
IPmcLogOutputType* pmc_create_standard_output_type() noexcept;
// the caller owns the result (delete; the registry takes it over)
IPmcLogOutputType* pmc_create_file_output_type() noexcept;

// The key the "file" type reads from its options for the file's path.
inline constexpr char kLogFilePathKey[] = "ExtentionName";

// Default size limit of a log file.
inline constexpr uint64_t kLogFileDefaultMaxSize = 0x400000;

}  // namespace psw
