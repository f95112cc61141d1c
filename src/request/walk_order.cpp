#include "request/walk_order.h"

#include <cstddef>
#include <cstdint>

namespace psw {

namespace {

// Reads one sub-identifier and moves past it and its dot. Values beyond 32 bits saturate,
// which keeps the order total without wrapping.
uint64_t next_sub_id(const char*& text) noexcept
{
    uint64_t value = 0;
    while (*text >= '0' && *text <= '9') {
        if (value < (uint64_t{1} << 40)) {
            value = value * 10 + static_cast<uint64_t>(*text - '0');
        }
        ++text;
    }
    if (*text == '.') {
        ++text;
    }
    return value;
}

}  // namespace

int pmc_oid_text_order(const char* a, const char* b) noexcept
{
    // Sub-identifiers spelt alike are equal: skip the common text back to the start of the
    // sub-identifier it ends in (a reply's name shares most of its text with the name asked).
    size_t same = 0;
    while (a[same] != '\0' && a[same] == b[same]) {
        ++same;
    }
    while (same > 0 && a[same - 1] != '.') {
        --same;
    }
    a += same;
    b += same;
    while (*a != '\0' && *b != '\0') {
        const uint64_t left = next_sub_id(a);
        const uint64_t right = next_sub_id(b);
        if (left != right) {
            return left < right ? -1 : 1;
        }
    }
    if (*a == '\0' && *b == '\0') {
        return 0;
    }
    return *a == '\0' ? -1 : 1;
}

}  // namespace psw
