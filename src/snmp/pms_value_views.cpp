#include "snmp/pms_value_views.h"

#include <cstring>
#include <new>

#include "snmp/pms_value.h"

namespace psw {

Result PmsBytesView::reserve(size_t count) noexcept
{
    if (count <= m_capacity) {
        return PSW_SUCCESS;
    }
    const size_t capacity = grown_capacity(count);
    auto* storage = new (std::nothrow) uint8_t[capacity];
    if (storage == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    if (m_length != 0) {
        std::memcpy(storage, m_data, m_length);
    }
    delete[] m_data;
    m_data = storage;
    m_capacity = capacity;
    return PSW_SUCCESS;
}

Result PmsBytesView::assign(const uint8_t* bytes, size_t count) noexcept
{
    if (bytes == nullptr) {
        count = 0;
    }
    if (count > m_capacity) {
        m_length = 0;  // nothing to keep: the old bytes are replaced anyway
        const Result result = reserve(count);
        if (result != PSW_SUCCESS) {
            return result;
        }
    }
    if (count != 0) {
        std::memmove(m_data, bytes, count);
    }
    m_length = count;
    return PSW_SUCCESS;
}

Result PmsBytesView::push_back(uint8_t byte) noexcept
{
    const Result result = reserve(m_length + 1);
    if (result != PSW_SUCCESS) {
        return result;
    }
    m_data[m_length++] = byte;
    return PSW_SUCCESS;
}

bool PmsBytesView::equals(const PmsBytesView& other) const noexcept
{
    return m_length == other.m_length &&
           (m_length == 0 || std::memcmp(m_data, other.m_data, m_length) == 0);
}

uint32_t PmsOidView::count() const noexcept
{
    if (m_count < 0) {
        uint32_t dots = 0;
        for (size_t i = 0; i < m_length; ++i) {
            dots += m_text[i] == '.' ? 1u : 0u;
        }
        m_count = m_length == 0 ? 0 : static_cast<int64_t>(dots) + 1;
    }
    return static_cast<uint32_t>(m_count);
}

void PmsOidView::clear() noexcept
{
    m_ber_length = 0;
    m_length = 0;
    m_count = 0;
    m_ids_valid = true;
    m_canonical = true;
    m_text_valid = true;
    if (m_text != nullptr) {
        m_text[0] = '\0';
    }
}

Result PmsOidView::reserve(size_t length) noexcept
{
    if (length + 1 <= m_capacity) {
        return PSW_SUCCESS;
    }
    // Texts of a size seen once tend to come back: keep a margin.
    const size_t capacity = (length + 1 + 63) / 64 * 64 + 64;
    auto* storage = new (std::nothrow) char[capacity];
    if (storage == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    if (m_length != 0 && m_text_valid) {
        std::memcpy(storage, m_text, m_length);
    }
    storage[m_text_valid ? m_length : 0] = '\0';
    delete[] m_text;
    m_text = storage;
    m_capacity = capacity;
    return PSW_SUCCESS;
}

Result PmsOidView::assign(const char* text, size_t length, int64_t count) noexcept
{
    m_ber_length = 0;
    if (text == nullptr || length == 0) {
        clear();
        return PSW_SUCCESS;
    }
    if (text >= m_text && text < m_text + m_capacity) {
        // Assigning a part of our own text (after a split): move it down in place.
        std::memmove(m_text, text, length);
    } else {
        const Result result = reserve(length);
        if (result != PSW_SUCCESS) {
            return result;
        }
        std::memcpy(m_text, text, length);
    }
    m_text[length] = '\0';
    m_length = length;
    m_count = count;
    m_ids_valid = false;
    m_canonical = false;
    m_text_valid = true;
    return PSW_SUCCESS;
}

Result PmsOidView::assign(const PmsOidView& other) noexcept
{
    if (&other == this) {
        return PSW_SUCCESS;
    }
    if (!other.m_text_valid) {
        // Copy the numbers and leave the text to be written when read, as in `other`.
        const auto total = static_cast<uint32_t>(other.m_count);
        const Result reserved = reserve(other.m_text_room);
        if (reserved != PSW_SUCCESS) {
            return reserved;
        }
        if (reserve_ids(total, 0)) {
            std::memcpy(m_ids, other.m_ids, total * sizeof(uint32_t));
            m_ber_length = 0;
            remember_ber(other.m_ber, other.m_ber_length);
            m_length = 0;
            m_text_room = other.m_text_room;
            m_count = other.m_count;
            m_ids_valid = true;
            m_canonical = true;
            m_text_valid = false;
            return PSW_SUCCESS;
        }
        other.write_text();  // no room for the numbers: copy the text instead
    }
    other.ensure_text();
    const Result result = assign(other.m_text, other.m_length, other.m_count);
    if (result == PSW_SUCCESS && other.m_ids_valid && reserve_ids(other.count(), 0)) {
        std::memcpy(m_ids, other.m_ids, other.count() * sizeof(uint32_t));
        m_ids_valid = true;
        m_canonical = other.m_canonical;
        remember_ber(other.m_ber, other.m_ber_length);
    }
    return result;
}

Result PmsOidView::append_sub_id(uint32_t sub_id) noexcept
{
    m_ber_length = 0;
    char digits[11];
    size_t used = 0;
    for (uint32_t rest = sub_id; used == 0 || rest != 0; rest /= 10) {
        digits[sizeof(digits) - 1 - used++] = static_cast<char>('0' + rest % 10);
    }
    ensure_text();
    const size_t dot = m_length != 0 ? 1 : 0;
    const Result result = reserve(m_length + dot + used);
    if (result != PSW_SUCCESS) {
        return result;
    }
    if (dot != 0) {
        m_text[m_length++] = '.';
    }
    std::memcpy(m_text + m_length, digits + sizeof(digits) - used, used);
    m_length += used;
    m_text[m_length] = '\0';
    if (m_ids_valid) {
        const auto count = static_cast<uint32_t>(m_count);
        if (count < m_ids_capacity || reserve_ids(count + 1, count)) {
            m_ids[count] = sub_id;
        } else {
            m_ids_valid = false;
            m_canonical = false;
        }
    }
    if (m_count >= 0) {
        ++m_count;
    }
    return PSW_SUCCESS;
}

Result PmsOidView::append_text(const char* text, size_t length) noexcept
{
    m_ber_length = 0;
    if (text == nullptr || length == 0) {
        return PSW_SUCCESS;
    }
    ensure_text();
    const size_t dot = m_length != 0 ? 1 : 0;
    const Result result = reserve(m_length + dot + length);
    if (result != PSW_SUCCESS) {
        return result;
    }
    if (dot != 0) {
        m_text[m_length++] = '.';
    }
    std::memmove(m_text + m_length, text, length);
    m_length += length;
    m_text[m_length] = '\0';
    m_count = -1;
    m_ids_valid = false;
    m_canonical = false;
    return PSW_SUCCESS;
}

Result PmsOidView::append_oid(const PmsOidView& other) noexcept
{
    if (other.empty()) {
        return PSW_SUCCESS;
    }
    other.ensure_text();
    const int64_t known = m_count >= 0 && other.m_count >= 0 ? m_count + other.m_count : -1;
    const bool had_ids = m_ids_valid;
    const bool was_canonical = m_ids_valid && m_canonical;
    ensure_text();
    const Result result = append_text(other.m_text, other.m_length);
    if (result == PSW_SUCCESS) {
        m_count = known;
        if (had_ids && other.m_ids_valid) {
            const auto mine = static_cast<uint32_t>(known - other.m_count);
            if (reserve_ids(static_cast<uint32_t>(known), mine)) {
                std::memcpy(m_ids + mine, other.m_ids, other.count() * sizeof(uint32_t));
                m_ids_valid = true;
                m_canonical = was_canonical && other.m_canonical;
            }
        }
    }
    return result;
}

size_t PmsOidView::offset_of(uint32_t index) const noexcept
{
    ensure_text();
    size_t position = 0;
    while (index != 0 && position < m_length) {
        if (m_text[position++] == '.') {
            --index;
        }
    }
    return index == 0 ? position : m_length;
}

bool PmsOidView::sub_id(uint32_t index, uint32_t* out) const noexcept
{
    if (index >= count()) {
        return false;
    }
    const uint32_t* ids = sub_ids();
    *out = ids != nullptr ? ids[index] : pms_parse_decimal(m_text + offset_of(index));
    return true;
}

Result PmsOidView::remove(uint32_t start, uint32_t remove_count) noexcept
{
    m_ber_length = 0;
    const uint32_t total = count();
    if (start >= total) {
        return PSW_ERR_PARAMETER;
    }
    if (remove_count > total - start) {
        remove_count = total - start;
    }
    if (remove_count == 0) {
        return PSW_SUCCESS;
    }
    ensure_text();
    size_t first = offset_of(start);
    size_t kept = start + remove_count < total ? offset_of(start + remove_count) : m_length;
    if (kept < m_length) {
        // Remove the stretch with the dot that follows it.
    } else if (first != 0) {
        --first;  // removing the tail: take the dot before it
    }
    std::memmove(m_text + first, m_text + kept, m_length - kept);
    m_length -= kept - first;
    m_text[m_length] = '\0';
    m_count = total - remove_count;
    if (m_ids_valid) {
        std::memmove(m_ids + start, m_ids + start + remove_count,
                     (total - start - remove_count) * sizeof(uint32_t));
    }
    return PSW_SUCCESS;
}

int32_t PmsOidView::compare(const char* other) const noexcept
{
    const char* mine = text();
    size_t i = 0;
    while (mine[i] != '\0' && other[i] != '\0') {
        if (mine[i] != other[i]) {
            return static_cast<unsigned char>(mine[i]) < static_cast<unsigned char>(other[i])
                       ? kPmsOidLess
                       : kPmsOidGreater;
        }
        ++i;
    }
    if (mine[i] != '\0') {
        return mine[i] == '.' ? kPmsOidInsideOther : kPmsOidGreater;
    }
    if (other[i] == '\0') {
        return kPmsOidEqual;
    }
    return other[i] == '.' ? kPmsOidPrefixOfOther : kPmsOidLess;
}

bool PmsOidView::equals(const PmsOidView& other) const noexcept
{
    if (m_ids_valid && m_canonical && other.m_ids_valid && other.m_canonical) {
        // Canonical texts are equal exactly when their numbers are.
        return m_count == other.m_count &&
               (m_count == 0 || std::memcmp(m_ids, other.m_ids,
                                            static_cast<size_t>(m_count) * sizeof(uint32_t)) == 0);
    }
    ensure_text();
    other.ensure_text();
    return m_length == other.m_length &&
           (m_length == 0 || std::memcmp(m_text, other.m_text, m_length) == 0);
}

namespace {

// Two decimal digits for each number below 100.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

uint32_t decimal_digits(uint32_t value) noexcept
{
    if (value < 10) return 1;
    if (value < 100) return 2;
    if (value < 1000) return 3;
    if (value < 10000) return 4;
    if (value < 100000) return 5;
    if (value < 1000000) return 6;
    if (value < 10000000) return 7;
    if (value < 100000000) return 8;
    if (value < 1000000000) return 9;
    return 10;
}

// Writes the digits of `value` so that they end just before `end`; returns their start.
char* write_decimal_before(char* end, uint32_t value) noexcept
{
    while (value >= 100) {
        const uint32_t pair = (value % 100) * 2;
        value /= 100;
        *--end = kDigitPairs[pair + 1];
        *--end = kDigitPairs[pair];
    }
    if (value >= 10) {
        *--end = kDigitPairs[value * 2 + 1];
        *--end = kDigitPairs[value * 2];
    } else {
        *--end = static_cast<char>('0' + value);
    }
    return end;
}

// Writes the numbers in decimal joined by dots, and a terminator; returns the text's length.
size_t write_decimal_text(char* text, const uint32_t* ids, uint32_t count) noexcept
{
    char* p = text;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t value = ids[i];
        if (value < 10) {
            *p++ = static_cast<char>('0' + value);
        } else if (value < 100) {
            p[0] = kDigitPairs[value * 2];
            p[1] = kDigitPairs[value * 2 + 1];
            p += 2;
        } else {
            char digits[10];
            char* end = digits + sizeof(digits);
            char* first = write_decimal_before(end, value);
            const auto used = static_cast<size_t>(end - first);
            std::memcpy(p, first, used);
            p += used;
        }
        *p++ = '.';
    }
    --p;  // no dot after the last
    *p = '\0';
    return static_cast<size_t>(p - text);
}

}  // namespace

namespace {

// True when the text is decimal numbers below 2^32 without leading zeros, joined by single dots:
// exactly how its numbers are written back.
bool is_canonical_text(const char* text, size_t length) noexcept
{
    size_t i = 0;
    while (i < length) {
        const size_t start = i;
        uint64_t value = 0;
        while (i < length && text[i] >= '0' && text[i] <= '9') {
            if (i - start == 10) {
                return false;
            }
            value = value * 10 + static_cast<uint64_t>(text[i] - '0');
            ++i;
        }
        if (i == start || (text[start] == '0' && i - start > 1) || value > 0xFFFFFFFFu) {
            return false;
        }
        if (i == length) {
            return true;
        }
        if (text[i] != '.' || ++i == length) {
            return false;
        }
    }
    return true;  // the empty text
}

}  // namespace

bool PmsOidView::reserve_ids(uint32_t count, uint32_t keep) const noexcept
{
    if (count <= m_ids_capacity) {
        return true;
    }
    const uint32_t capacity = (count + 15) / 16 * 16 + 16;
    auto* storage = new (std::nothrow) uint32_t[capacity];
    if (storage == nullptr) {
        return false;
    }
    if (keep != 0) {
        std::memcpy(storage, m_ids, keep * sizeof(uint32_t));
    }
    if (m_ids != m_inline_ids) {
        delete[] m_ids;
    }
    m_ids = storage;
    m_ids_capacity = capacity;
    return true;
}

const uint32_t* PmsOidView::parse_sub_ids() const noexcept
{
    const uint32_t total = count();
    if (!reserve_ids(total, 0)) {
        return nullptr;
    }
    // Each sub-identifier is read where its field starts, as sub_id() reads it from the text.
    size_t position = 0;
    for (uint32_t i = 0; i < total; ++i) {
        m_ids[i] = pms_parse_decimal(m_text + position);
        while (position < m_length && m_text[position] != '.') {
            ++position;
        }
        ++position;
    }
    m_ids_valid = true;
    // The text may spell them otherwise ("01", "+1", " 1", "1..2", "4294967296").
    m_canonical = is_canonical_text(m_text, m_length);
    return m_ids;
}

Result PmsOidView::assign_sub_ids(const uint32_t* ids, uint32_t count) noexcept
{
    if (m_ids_valid && m_canonical && m_count == count &&
        (count == 0 || std::memcmp(m_ids, ids, count * sizeof(uint32_t)) == 0)) {
        return PSW_SUCCESS;
    }
    return replace_sub_ids(ids, count, static_cast<size_t>(count) * 11);
}

Result PmsOidView::assign_decoded_sub_ids(const uint32_t* ids, uint32_t count,
                                          size_t text_room) noexcept
{
    if (m_ber_length == 0 && m_ids_valid && m_canonical && m_count == count &&
        (count == 0 || std::memcmp(m_ids, ids, count * sizeof(uint32_t)) == 0)) {
        return PSW_SUCCESS;
    }
    return replace_sub_ids(ids, count, text_room);
}

Result PmsOidView::replace_sub_ids(const uint32_t* ids, uint32_t count, size_t text_room) noexcept
{
    m_length = 0;  // the old text is replaced, not kept
    m_text_valid = true;
    m_ber_length = 0;
    if (count == 0) {
        clear();
        return PSW_SUCCESS;
    }
    const Result result = reserve(text_room);
    if (result != PSW_SUCCESS) {
        clear();
        return result;
    }
    m_count = count;
    if (ids != m_ids && !reserve_ids(count, 0)) {
        // No room for the numbers: write the text now, from the caller's array.
        m_length = write_decimal_text(m_text, ids, count);
        m_ids_valid = false;
        m_canonical = false;
        return PSW_SUCCESS;
    }
    if (ids != m_ids) {
        std::memcpy(m_ids, ids, count * sizeof(uint32_t));
    }
    m_ids_valid = true;
    m_canonical = true;
    m_text_valid = false;  // written when first read
    m_text_room = text_room;
    return PSW_SUCCESS;
}

void PmsOidView::write_text() const noexcept
{
    // Storage for the longest text of these numbers was reserved when they came.
    m_length = write_decimal_text(m_text, m_ids, static_cast<uint32_t>(m_count));
    m_text_valid = true;
}

namespace {

constexpr uint32_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                     100000, 1000000, 10000000, 100000000, 1000000000};

// The order of two different numbers' decimal texts, character by character, a text that is
// the beginning of the other coming first: kPmsOidLess or kPmsOidGreater.
int32_t decimal_text_order(uint32_t mine, uint32_t other) noexcept
{
    const uint32_t mine_digits = decimal_digits(mine);
    const uint32_t other_digits = decimal_digits(other);
    if (mine_digits == other_digits) {
        return mine < other ? kPmsOidLess : kPmsOidGreater;
    }
    if (mine_digits < other_digits) {
        const uint32_t head = other / kPowersOfTen[other_digits - mine_digits];
        return mine <= head ? kPmsOidLess : kPmsOidGreater;
    }
    const uint32_t head = mine / kPowersOfTen[mine_digits - other_digits];
    return head < other ? kPmsOidLess : kPmsOidGreater;
}

}  // namespace

int32_t PmsOidView::compare(const PmsOidView& other) const noexcept
{
    // Numbers are read from a text once (and kept), so a text compared again is compared
    // from them.
    if (sub_ids() == nullptr || other.sub_ids() == nullptr || !m_canonical || !other.m_canonical) {
        return compare(other.text());
    }
    // Both texts are their numbers in canonical form: the text order follows from the numbers.
    const auto mine = static_cast<uint32_t>(m_count);
    const auto theirs = static_cast<uint32_t>(other.m_count);
    if (mine == 0 || theirs == 0) {
        return mine == theirs ? kPmsOidEqual : (mine == 0 ? kPmsOidLess : kPmsOidGreater);
    }
    const uint32_t common = mine < theirs ? mine : theirs;
    for (uint32_t i = 0; i < common; ++i) {
        if (m_ids[i] != other.m_ids[i]) {
            return decimal_text_order(m_ids[i], other.m_ids[i]);
        }
    }
    if (mine == theirs) {
        return kPmsOidEqual;
    }
    return mine < theirs ? kPmsOidPrefixOfOther : kPmsOidInsideOther;
}

}  // namespace psw
