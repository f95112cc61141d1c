#include "log/log_line.h"

#include <cstdio>
#include <cstring>

#include "core/platform/clock.h"
#include "core/platform/process.h"

namespace psw {

namespace {

constexpr char kNullMessage[] = "(client was about to output null message...)";

// Appends as much of `text` as fits within kLogLineMax characters.
size_t append_cut(char* line, size_t length, const char* text, size_t text_length) noexcept
{
    const size_t room = kLogLineMax - length;
    const size_t count = text_length < room ? text_length : room;
    std::memcpy(line + length, text, count);
    line[length + count] = '\0';
    return length + count;
}

size_t append_id(char* line, size_t length, bool wanted, uint32_t id, uint32_t radix) noexcept
{
    char field[16];
    if (!wanted) {
        std::memcpy(field, "        ", 9);
    } else if (radix == 16) {
        std::snprintf(field, sizeof field, "%08X", id);
    } else {
        std::snprintf(field, sizeof field, "%8d", static_cast<int>(id));
    }
    length = append_cut(line, length, field, std::strlen(field));
    return append_cut(line, length, ", ", 2);
}

}  // namespace

const char* pmc_log_level_word(uint32_t level) noexcept
{
    switch (level) {
    case 1: return "Error, ";
    case 2: return "Warn , ";
    case 4: return "Info , ";
    case 8: return "Debug, ";
    case 16: return "Trace, ";
    case 31: return "All  , ";
    default: return "";
    }
}

size_t pmc_format_log_line(char* line, const PmcLogLineSettings& settings, uint32_t level,
                           const char* format, va_list arguments) noexcept
{
    line[kLogLineMax] = '\0';
    size_t length = 0;
    line[0] = '\0';

    char field[64];
    if ((settings.flags & 1u) != 0) {
        const PmcLocalTime now = pmc_local_time();
        std::snprintf(field, sizeof field, "%04d/%02d/%02d %02d:%02d:%02d:%03d", now.year,
                      now.month, now.day, now.hour, now.minute, now.second, now.millisecond);
    } else {
        std::snprintf(field, sizeof field, "%23s", "");
    }
    length = append_cut(line, length, field, std::strlen(field));
    length = append_cut(line, length, ", ", 2);
    length = append_id(line, length, (settings.flags & 2u) != 0, pmc_process_id(), settings.radix);
    length = append_id(line, length, (settings.flags & 4u) != 0, pmc_thread_id(), settings.radix);
    std::snprintf(field, sizeof field, "%-16.16s", settings.logger_name);
    length = append_cut(line, length, field, std::strlen(field));
    length = append_cut(line, length, ", ", 2);
    const char* word = pmc_log_level_word(level);
    length = append_cut(line, length, word, std::strlen(word));
    length = append_cut(line, length, settings.indent, std::strlen(settings.indent));

    if (length < kLogLineMax) {
        if (format == nullptr) {
            length = append_cut(line, length, kNullMessage, sizeof kNullMessage - 1);
        } else {
            const int written =
                std::vsnprintf(line + length, kLogLineMax - length + 1, format, arguments);
            if (written > 0) {
                const size_t added = static_cast<size_t>(written);
                length += added < kLogLineMax - length ? added : kLogLineMax - length;
            } else {
                line[length] = '\0';
            }
        }
    }
    return length;
}

}  // namespace psw
