#include "core/pms_octets.h"

#include <cstring>

#include "core/factory.h"

namespace psw {

PmsOctets::~PmsOctets()
{
    delete[] m_data;
}

void PmsOctets::release() noexcept
{
    delete this;
}

Result PmsOctets::assign(const void* bytes, size_t length) noexcept
{
    if (length == 0 || bytes == nullptr) {
        delete[] m_data;
        m_data = nullptr;
        m_length = 0;
        return PSW_SUCCESS;
    }
    auto* copy = new (std::nothrow) uint8_t[length + 1];
    if (copy == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    std::memcpy(copy, bytes, length);
    copy[length] = 0;
    delete[] m_data;
    m_data = copy;
    m_length = length;
    return PSW_SUCCESS;
}

Result PmsOctets::assign(const char* text) noexcept
{
    return assign(text, text != nullptr ? std::strlen(text) : 0);
}

Result PmsOctets::append(const void* bytes, size_t length) noexcept
{
    if (length == 0 || bytes == nullptr) {
        return PSW_SUCCESS;
    }
    auto* copy = new (std::nothrow) uint8_t[m_length + length + 1];
    if (copy == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    if (m_length != 0) {
        std::memcpy(copy, m_data, m_length);
    }
    std::memcpy(copy + m_length, bytes, length);
    copy[m_length + length] = 0;
    delete[] m_data;
    m_data = copy;
    m_length += length;
    return PSW_SUCCESS;
}

Result PmsOctets::append(const char* text) noexcept
{
    return append(text, text != nullptr ? std::strlen(text) : 0);
}

Result PmsOctets::append(const PmsOctets* other) noexcept
{
    if (other == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    if (other == this) {
        // Appending to itself reads the old copy while the new one is built.
        return append(static_cast<const void*>(m_data), m_length);
    }
    return append(static_cast<const void*>(other->m_data), other->m_length);
}

Result PmsOctets::clone(PmsOctets** out) const noexcept
{
    if (out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    auto* copy = pmc_new<PmsOctets>();
    if (copy == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    // A failed byte copy is a failure too: success always hands out a string.
    const Result copied = copy->assign(m_data, m_length);
    if (copied != PSW_SUCCESS) {
        copy->release();
        return copied;
    }
    *out = copy;
    return PSW_SUCCESS;
}

bool PmsOctets::equals(const void* bytes, size_t length) const noexcept
{
    if (length == 0) {
        return m_length == 0;
    }
    return bytes != nullptr && length == m_length && std::memcmp(bytes, m_data, length) == 0;
}

bool PmsOctets::equals(const char* text) const noexcept
{
    return equals(text, text != nullptr ? std::strlen(text) : 0);
}

bool PmsOctets::equals(const PmsOctets* other) const noexcept
{
    return other != nullptr && equals(other->m_data, other->m_length);
}

PmsOctets* create_octets(Result* result) noexcept
{
    return pmc_made(pmc_new<PmsOctets>(), result);
}

}  // namespace psw
