// The library's small string: names, paths, community strings and texts inside objects.
//
// Capacity grows in classes (64, 128, 256, 512, 1024 bytes, exact above) so that texts of
// similar size reuse their buffer. An allocation failure leaves the string empty rather than
// reporting an error: callers that must know compare the length afterwards.
#pragma once

#include <cstddef>
#include <cstdint>

namespace psw {

class CPmcString {
public:
    static constexpr uint64_t npos = ~uint64_t{0};

    CPmcString() noexcept = default;
    // borrowed: `text` is copied
    explicit CPmcString(const char* text) noexcept;
    CPmcString(const CPmcString& other) noexcept;
    CPmcString& operator=(const CPmcString& other) noexcept;
    CPmcString(CPmcString&& other) noexcept;
    CPmcString& operator=(CPmcString&& other) noexcept;
    ~CPmcString();

    uint64_t length() const noexcept { return m_length; }
    uint64_t capacity() const noexcept { return m_capacity; }
    bool empty() const noexcept { return m_length == 0; }
    // Always a zero-terminated text; the shared empty text while nothing is allocated.
    // not a transfer: owned by the string, valid until it next changes
    const char* c_str() const noexcept { return m_data; }

    // borrowed (assign, append): the bytes are copied
    void assign(const char* bytes, uint64_t count) noexcept;
    void assign(const char* text) noexcept;
    void append(const char* bytes, uint64_t count) noexcept;
    void append(const char* text) noexcept;
    void clear() noexcept;

    // Position of `ch` at or after `from`, or npos (also for ch == 0 or from >= length).
    uint64_t find(char ch, uint64_t from = 0) const noexcept;
    // Removes `count` bytes at `position` (npos: to the end).
    void erase(uint64_t position, uint64_t count = npos) noexcept;

    // borrowed: `text` is only read
    bool equals(const char* text) const noexcept;
    bool operator==(const CPmcString& other) const noexcept { return equals(other.m_data); }

    // The capacity class for a text of `length` bytes.
    static uint64_t capacity_for(uint64_t length) noexcept;

private:
    void release_buffer() noexcept;

    uint64_t m_length = 0;
    uint64_t m_capacity = 0;
    char* m_data = const_cast<char*>(kEmpty);

    static const char kEmpty[1];
};

}  // namespace psw
