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
    m_length = 0;
    m_count = 0;
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
    if (m_length != 0) {
        std::memcpy(storage, m_text, m_length);
    }
    storage[m_length] = '\0';
    delete[] m_text;
    m_text = storage;
    m_capacity = capacity;
    return PSW_SUCCESS;
}

Result PmsOidView::assign(const char* text, size_t length, int64_t count) noexcept
{
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
    return PSW_SUCCESS;
}

Result PmsOidView::assign(const PmsOidView& other) noexcept
{
    if (&other == this) {
        return PSW_SUCCESS;
    }
    return assign(other.text(), other.m_length, other.m_count);
}

Result PmsOidView::append_sub_id(uint32_t sub_id) noexcept
{
    char digits[11];
    size_t used = 0;
    do {
        digits[sizeof(digits) - 1 - used++] = static_cast<char>('0' + sub_id % 10);
        sub_id /= 10;
    } while (sub_id != 0);
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
    if (m_count >= 0) {
        ++m_count;
    }
    return PSW_SUCCESS;
}

Result PmsOidView::append_text(const char* text, size_t length) noexcept
{
    if (text == nullptr || length == 0) {
        return PSW_SUCCESS;
    }
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
    return PSW_SUCCESS;
}

Result PmsOidView::append_oid(const PmsOidView& other) noexcept
{
    if (other.m_length == 0) {
        return PSW_SUCCESS;
    }
    const int64_t known = m_count >= 0 && other.m_count >= 0 ? m_count + other.m_count : -1;
    const Result result = append_text(other.text(), other.m_length);
    if (result == PSW_SUCCESS) {
        m_count = known;
    }
    return result;
}

size_t PmsOidView::offset_of(uint32_t index) const noexcept
{
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
    *out = pms_parse_decimal(m_text + offset_of(index));
    return true;
}

Result PmsOidView::remove(uint32_t start, uint32_t remove_count) noexcept
{
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
    return m_length == other.m_length &&
           (m_length == 0 || std::memcmp(m_text, other.m_text, m_length) == 0);
}

}  // namespace psw
