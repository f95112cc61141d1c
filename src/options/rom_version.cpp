// The printer ROM version text and its three numbers.
#include <cctype>
#include <cstdint>

#include "core/number_text.h"
#include "log/log_registry.h"
#include "psw/psw_options.h"

namespace psw {

namespace {

// The form of the text; after the third number the rest of the text is not examined.
constexpr char kVersionPattern[] = "Printer Controller v%d.%d.%d - Processor";

// One decimal number as %d reads it: leading white space, an optional sign, at least one
// digit. False when there is no digit or the number does not fit 32 bits.
bool read_number(const char*& text, int32_t* out) noexcept
{
    bool negative = false;
    text = pmc_skip_space_and_sign(text, &negative);
    if (!std::isdigit(static_cast<unsigned char>(*text))) {
        return false;
    }
    int64_t value = 0;
    while (std::isdigit(static_cast<unsigned char>(*text))) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<int64_t>(INT32_MAX) + 1) {
            return false;
        }
        ++text;
    }
    value = negative ? -value : value;
    if (value > INT32_MAX) {
        return false;
    }
    *out = static_cast<int32_t>(value);
    return true;
}

// Matches `text` against the pattern: white space in the pattern takes any white space
// (none included), other characters must match exactly. True once the three numbers are read.
bool read_version(const char* text, int32_t numbers[3]) noexcept
{
    int32_t read = 0;
    for (const char* pattern = kVersionPattern; *pattern != '\0' && read < 3; ++pattern) {
        if (pattern[0] == '%' && pattern[1] == 'd') {
            if (!read_number(text, &numbers[read])) {
                return false;
            }
            ++read;
            ++pattern;
        } else if (std::isspace(static_cast<unsigned char>(*pattern))) {
            while (std::isspace(static_cast<unsigned char>(*text))) {
                ++text;
            }
        } else if (*text == *pattern) {
            ++text;
        } else {
            return false;
        }
    }
    return read == 3;
}

}  // namespace

int32_t CPSWDevCommOption::parse_version_value() noexcept
{
    int32_t numbers[3] = {};
    if (!read_version(m_romVersion, numbers)) {
        pmc_log("PSW", kLogError, "invalid PrinterROMVersion format", PSW_ERR_FAILED);
        return PSW_ERR_FAILED;
    }
    m_romVersionMajor = numbers[0];
    m_romVersionMinor = numbers[1];
    m_romVersionRevision = numbers[2];
    return PSW_SUCCESS;
}

}  // namespace psw
