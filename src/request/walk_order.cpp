#include "request/walk_order.h"

#include <cstddef>
#include <cstdint>

#include "core/factory.h"
#include "snmp/pms_value.h"
#include "snmp/pms_value_views.h"

namespace psw {

namespace {

// Reads one sub-identifier and moves past it and its dot. Values beyond 32 bits saturate,
// which keeps the order total without wrapping. A character that is neither a digit nor a dot
// reads as 0 and is passed over, so that every call moves on and a comparison ends.
uint64_t next_sub_id(const char*& text) noexcept
{
    uint64_t value = 0;
    const char* start = text;
    while (*text >= '0' && *text <= '9') {
        if (value < (uint64_t{1} << 40)) {
            value = value * 10 + static_cast<uint64_t>(*text - '0');
        }
        ++text;
    }
    if (*text == '.' || (text == start && *text != '\0')) {
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

int pmc_oid_number_order(const uint32_t* a, uint32_t a_count, const uint32_t* b,
                         uint32_t b_count) noexcept
{
    const uint32_t common = a_count < b_count ? a_count : b_count;
    for (uint32_t i = 0; i < common; ++i) {
        if (a[i] != b[i]) {
            return a[i] < b[i] ? -1 : 1;
        }
    }
    if (a_count == b_count) {
        return 0;
    }
    return a_count < b_count ? -1 : 1;
}

const PmsOidView* pmc_canonical_view(const IPmsOid* oid) noexcept
{
    if (oid == nullptr) {
        return nullptr;
    }
    void* view = nullptr;
    if (const_cast<IPmsOid*>(oid)->get_view(kPmsViewOid, &view) != PSW_SUCCESS || view == nullptr) {
        return nullptr;
    }
    const auto* storage = static_cast<const PmsOidView*>(view);
    return storage->canonical() ? storage : nullptr;
}

namespace {

constexpr uint32_t kQuickNumbersMax = 128;

// The numbers of a canonical text (decimal below 2^32 without leading zeros, single dots, not
// empty); false for any other text or more than kQuickNumbersMax numbers.
bool read_canonical(const char* text, uint32_t* ids, uint32_t* count) noexcept
{
    uint32_t n = 0;
    const char* p = text;
    for (;;) {
        if (*p < '0' || *p > '9' || n == kQuickNumbersMax) {
            return false;
        }
        uint64_t value = 0;
        const char* start = p;
        while (*p >= '0' && *p <= '9') {
            value = value * 10 + static_cast<uint64_t>(*p - '0');
            if (value > 0xFFFFFFFFu) {
                return false;
            }
            ++p;
        }
        if (*start == '0' && p - start > 1) {
            return false;
        }
        ids[n++] = static_cast<uint32_t>(value);
        if (*p == '\0') {
            *count = n;
            return true;
        }
        if (*p != '.') {
            return false;
        }
        ++p;
    }
}

}  // namespace

IPmsOid* pmc_oid_from_text(const char* text, Result* result) noexcept
{
    uint32_t ids[kQuickNumbersMax];
    uint32_t count = 0;
    if (text == nullptr || !read_canonical(text, ids, &count)) {
        return create_oid_from_text(text, result);
    }
    OwnedPtr<IPmsOid> oid(create_oid(result));
    if (!oid) {
        return nullptr;
    }
    void* view = nullptr;
    if (oid->get_view(kPmsViewOid, &view) != PSW_SUCCESS || view == nullptr) {
        return create_oid_from_text(text, result);
    }
    const Result assigned = static_cast<PmsOidView*>(view)->assign_sub_ids(ids, count);
    if (assigned != PSW_SUCCESS) {
        set_result(result, assigned);
        return nullptr;
    }
    set_result(result, PSW_SUCCESS);
    return oid.release();
}

void pmc_format_sub_ids(const uint32_t* ids, uint32_t count, char* text, size_t size) noexcept
{
    size_t at = 0;
    for (uint32_t i = 0; i < count; ++i) {
        char digits[10];
        size_t length = 0;
        uint32_t value = ids[i];
        do {
            digits[length++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        if (i != 0 && at + 1 < size) {
            text[at++] = '.';
        }
        while (length != 0 && at + 1 < size) {
            text[at++] = digits[--length];
        }
    }
    text[at] = '\0';
}

}  // namespace psw
