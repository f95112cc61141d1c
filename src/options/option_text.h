// Fixed-size text fields of the option set: every text is cut to the field and terminated.
#pragma once

#include <cstddef>

namespace psw {

// Copies `text` into `field` of `size` bytes: at most size - 1 characters, the rest of the
// field zero. A null text empties the field.
void copy_option_text(char* field, size_t size, const char* text) noexcept;

}  // namespace psw
