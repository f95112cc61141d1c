#include "core/text_field.h"

#include <cstring>

namespace psw {

void pmc_copy_text(char* field, size_t size, const char* text) noexcept
{
    if (field == nullptr || size == 0) {
        return;
    }
    std::memset(field, 0, size);
    if (text != nullptr) {
        std::memcpy(field, text, strnlen(text, size - 1));
    }
}

}  // namespace psw
