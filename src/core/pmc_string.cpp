#include "core/pmc_string.h"

#include <cstring>
#include <new>

namespace psw {

const char CPmcString::kEmpty[1] = {'\0'};

CPmcString::CPmcString(const char* text) noexcept
{
    assign(text);
}

CPmcString::CPmcString(const CPmcString& other) noexcept
{
    assign(other.m_data, other.m_length);
}

CPmcString& CPmcString::operator=(const CPmcString& other) noexcept
{
    if (this != &other) {
        assign(other.m_data, other.m_length);
    }
    return *this;
}

CPmcString::CPmcString(CPmcString&& other) noexcept
    : m_length(other.m_length), m_capacity(other.m_capacity), m_data(other.m_data)
{
    other.m_length = 0;
    other.m_capacity = 0;
    other.m_data = const_cast<char*>(kEmpty);
}

CPmcString& CPmcString::operator=(CPmcString&& other) noexcept
{
    if (this != &other) {
        release_buffer();
        m_length = other.m_length;
        m_capacity = other.m_capacity;
        m_data = other.m_data;
        other.m_length = 0;
        other.m_capacity = 0;
        other.m_data = const_cast<char*>(kEmpty);
    }
    return *this;
}

CPmcString::~CPmcString()
{
    release_buffer();
}

uint64_t CPmcString::capacity_for(uint64_t length) noexcept
{
    for (uint64_t size = 64; size <= 1024; size *= 2) {
        if (length < size) {
            return size;
        }
    }
    return length + 1;
}

void CPmcString::release_buffer() noexcept
{
    if (m_capacity != 0) {
        delete[] m_data;
    }
    m_data = const_cast<char*>(kEmpty);
    m_capacity = 0;
    m_length = 0;
}

void CPmcString::clear() noexcept
{
    release_buffer();
}

void CPmcString::assign(const char* bytes, uint64_t count) noexcept
{
    if (count == 0 || bytes == nullptr) {
        release_buffer();
        return;
    }
    if (count < m_capacity) {
        std::memmove(m_data, bytes, count);
        m_data[count] = '\0';
        m_length = count;
        return;
    }
    const uint64_t capacity = capacity_for(count);
    char* buffer = new (std::nothrow) char[capacity];
    if (buffer == nullptr) {
        release_buffer();
        return;
    }
    // The source may lie inside our own buffer, so copy before freeing it.
    std::memcpy(buffer, bytes, count);
    buffer[count] = '\0';
    release_buffer();
    m_data = buffer;
    m_capacity = capacity;
    m_length = count;
}

void CPmcString::assign(const char* text) noexcept
{
    assign(text, text != nullptr ? std::strlen(text) : 0);
}

void CPmcString::append(const char* bytes, uint64_t count) noexcept
{
    if (count == 0 || bytes == nullptr) {
        return;
    }
    const uint64_t total = m_length + count;
    if (total < m_capacity) {
        std::memmove(m_data + m_length, bytes, count);
        m_data[total] = '\0';
        m_length = total;
        return;
    }
    const uint64_t capacity = capacity_for(total);
    char* buffer = new (std::nothrow) char[capacity];
    if (buffer == nullptr) {
        release_buffer();
        return;
    }
    std::memcpy(buffer, m_data, m_length);
    std::memcpy(buffer + m_length, bytes, count);
    buffer[total] = '\0';
    release_buffer();
    m_data = buffer;
    m_capacity = capacity;
    m_length = total;
}

void CPmcString::append(const char* text) noexcept
{
    append(text, text != nullptr ? std::strlen(text) : 0);
}

uint64_t CPmcString::find(char ch, uint64_t from) const noexcept
{
    if (ch == '\0' || from >= m_length) {
        return npos;
    }
    const void* hit = std::memchr(m_data + from, ch, m_length - from);
    return hit != nullptr ? static_cast<uint64_t>(static_cast<const char*>(hit) - m_data) : npos;
}

void CPmcString::erase(uint64_t position, uint64_t count) noexcept
{
    if (m_length == 0 || position >= m_length) {
        return;
    }
    if (count == npos || count >= m_length - position) {
        if (position == 0) {
            release_buffer();
            return;
        }
        m_data[position] = '\0';
        m_length = position;
        return;
    }
    // Move the tail down together with its terminator.
    std::memmove(m_data + position, m_data + position + count, m_length - position - count + 1);
    m_length -= count;
}

bool CPmcString::equals(const char* text) const noexcept
{
    return std::strcmp(m_data, text != nullptr ? text : kEmpty) == 0;
}

}  // namespace psw
