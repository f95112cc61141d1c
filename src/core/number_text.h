// The start of a decimal number in text, read the way %d reads it.
#pragma once

#include <cctype>

namespace psw {

// Skips the leading white space and an optional '+' or '-' of |text| (not null; not owned) and
// returns where the digits should start; *negative tells whether the sign was '-'.
inline const char* pmc_skip_space_and_sign(const char* text, bool* negative) noexcept
{
    while (std::isspace(static_cast<unsigned char>(*text))) {
        ++text;
    }
    *negative = *text == '-';
    if (*text == '+' || *text == '-') {
        ++text;
    }
    return text;
}

}  // namespace psw
