// Result codes inside the library: the same list the public header documents.
#pragma once

#include <cstdint>

#include "psw/psw_result.h"

namespace psw {

using Result = int32_t;

// Writes a factory's result to its optional out-argument.
inline void set_result(Result* out, Result value) noexcept
{
    if (out != nullptr) {
        *out = value;
    }
}

// The body of a plain setter: stores `value` in `field` and succeeds.
template <class Field, class Value>
Result store_setting(Field& field, Value value) noexcept
{
    field = value;
    return PSW_SUCCESS;
}

}  // namespace psw
