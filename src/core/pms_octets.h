// PmsOctets: a small owned byte string used for value texts, raw contents and received bytes.
//
// It holds a length and a heap copy of the bytes followed by one NUL, so the copy also reads as a
// zero-terminated string. An empty string holds no storage. Assign and append make a new copy of
// exactly the needed size; when memory runs out they return PSW_ERR_NO_MEMORY and keep the old
// contents.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"

namespace psw {

class PmsOctets {
public:
    virtual void release() noexcept;
    virtual size_t length() const noexcept { return m_length; }
    // Null while empty.
    // not a transfer: owned by the string, valid until it next changes
    virtual const uint8_t* data() const noexcept { return m_data; }
    // borrowed (assign, append): the bytes are copied
    virtual Result assign(const void* bytes, size_t length) noexcept;
    virtual Result assign(const char* text) noexcept;
    virtual Result append(const void* bytes, size_t length) noexcept;
    virtual Result append(const char* text) noexcept;
    // borrowed: `other` is only read
    virtual Result append(const PmsOctets* other) noexcept;
    // Writes a new byte string to `out` (owned by the caller). PSW_ERR_NO_MEMORY when the object
    // or the copy of its bytes cannot be made; `*out` is then left untouched.
    // `*out` receives a new object the caller releases
    virtual Result clone(PmsOctets** out) const noexcept;
    // borrowed (every equals): the argument is only read
    virtual bool equals(const void* bytes, size_t length) const noexcept;
    virtual bool equals(const char* text) const noexcept;
    virtual bool equals(const PmsOctets* other) const noexcept;
    virtual ~PmsOctets();

    // The bytes as a zero-terminated text; "" while empty.
    // not a transfer: owned by the string (or static ""), valid until it next changes
    const char* c_str() const noexcept
    {
        return m_data != nullptr ? reinterpret_cast<const char*>(m_data) : "";
    }

private:
    uint8_t* m_data = nullptr;
    size_t m_length = 0;
};

// A new empty byte string, or null with PSW_ERR_NO_MEMORY.
// the caller owns the result and releases it with release()
PmsOctets* create_octets(Result* result = nullptr) noexcept;

}  // namespace psw
