// The output kinds: standard output, size-limited file, and the two static null outputs.
#pragma once

#include "log/log_interfaces.h"

namespace psw {

// New outputs owned by the caller (destroy()); null when memory runs out.
IPmcLogOutput* pmc_create_standard_output(const char* output_name) noexcept;
IPmcLogFileOutput* pmc_create_file_output(const char* output_name) noexcept;

// The two output types the registry knows, in registration order; owned by the caller.
IPmcLogOutputType* pmc_create_standard_output_type() noexcept;
IPmcLogOutputType* pmc_create_file_output_type() noexcept;

// The key the "file" type reads from its options for the file's path.
inline constexpr char kLogFilePathKey[] = "ExtentionName";

// Default size limit of a log file.
inline constexpr uint64_t kLogFileDefaultMaxSize = 0x400000;

}  // namespace psw
