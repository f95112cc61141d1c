// Fixed-size text fields (records, option texts, found-device entries): every text is cut to
// the field and terminated.
#pragma once

#include <cstddef>

namespace psw {

// Copies `text` into `field` of `size` bytes: at most size - 1 characters, the rest of the
// field zero. A null text empties the field; a null field or a size of 0 does nothing.
// not a transfer: writes into the caller's `field`; `text` is only read
void pmc_copy_text(char* field, size_t size, const char* text) noexcept;

}  // namespace psw
