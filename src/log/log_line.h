// Formats one log line: fixed-width header, indent and message, at most 1024 characters.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace psw {

constexpr size_t kLogLineMax = 1024;

struct PmcLogLineSettings {
    const char* logger_name;
    uint32_t flags;
    uint32_t radix;
    const char* indent;
};

// The word written for a level, or "" for a value that is not one of the named levels.
// not a transfer: a static literal
const char* pmc_log_level_word(uint32_t level) noexcept;

// Fills `line` (kLogLineMax + 1 bytes) and returns its length.
// borrowed: `line` is the caller's buffer; `settings` texts are only read
size_t pmc_format_log_line(char* line, const PmcLogLineSettings& settings, uint32_t level,
                           const char* format, va_list arguments) noexcept;

}  // namespace psw
