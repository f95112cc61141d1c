// The two halves of BER handling: a reverse writer that fills one buffer from its end, and a
// bounded, non-owning reader that checks every declared length against the bytes left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace psw {

// Writes last field first. A write that would step before the start sets the overflow flag
// and drops the byte; the count of bytes written goes on, so lengths stay right. The count is
// the distance from the end plus the bytes dropped, so a write only moves the position.
class PmsReverseWriter {
public:
    // borrowed: `storage` must outlive the writing
    void reset(uint8_t* storage, size_t size) noexcept
    {
        m_start = storage;
        m_end = storage + size;
        m_position = m_end;
        m_dropped = 0;
        m_overflow = false;
    }

    void put(uint8_t byte) noexcept
    {
        if (m_position == m_start) {
            ++m_dropped;
            m_overflow = true;
            return;
        }
        *--m_position = byte;
    }

    void put(const uint8_t* bytes, size_t count) noexcept
    {
        const auto room = static_cast<size_t>(m_position - m_start);
        if (room < count) {
            m_overflow = true;
            m_dropped += count - room;
            m_position = m_start;
            return;
        }
        m_position -= count;
        if (count != 0) {
            std::memcpy(m_position, bytes, count);
        }
    }

    // A definite length: short form below 128, else 0x80 + n and n bytes.
    void put_length(size_t length) noexcept
    {
        if (length < 0x80) {
            put(static_cast<uint8_t>(length));
            return;
        }
        uint8_t bytes = 0;
        while (length != 0) {
            put(static_cast<uint8_t>(length));
            length >>= 8;
            ++bytes;
        }
        put(static_cast<uint8_t>(0x80 | bytes));
    }

    // Tag and length in front of contents written since `mark` (a value of written()).
    void put_header(uint8_t tag, size_t mark) noexcept
    {
        const size_t length = written() - mark;
        if (length < 0x80 && m_position - m_start >= 2) {
            m_position -= 2;
            m_position[0] = tag;
            m_position[1] = static_cast<uint8_t>(length);
            return;
        }
        put_length(length);
        put(tag);
    }

    // Direct writing for a run of at most `most` bytes: the current position when that much
    // room is left (write below it, then commit), else null (use put instead).
    // not a transfer: points into the borrowed storage
    uint8_t* room(size_t most) const noexcept
    {
        return static_cast<size_t>(m_position - m_start) >= most ? m_position : nullptr;
    }
    // not a transfer: `position` must point into the borrowed storage
    void commit(uint8_t* position) noexcept { m_position = position; }

    size_t written() const noexcept { return static_cast<size_t>(m_end - m_position) + m_dropped; }
    bool overflow() const noexcept { return m_overflow; }
    // not a transfer: points into the borrowed storage
    uint8_t* position() const noexcept { return m_position; }

private:
    uint8_t* m_start = nullptr;
    uint8_t* m_end = nullptr;
    uint8_t* m_position = nullptr;
    size_t m_dropped = 0;
    bool m_overflow = false;
};

// Reads forward between a start and an end it never passes. A failing read does not advance
// and sets the end flag.
class PmsBoundedReader {
public:
    // borrowed: `data` must outlive the reading
    void reset(const uint8_t* data, size_t length) noexcept
    {
        m_start = data;
        m_position = data;
        m_end = data + length;
        m_past_end = false;
    }

    size_t left() const noexcept { return static_cast<size_t>(m_end - m_position); }
    bool at_end() const noexcept { return m_position == m_end; }
    bool past_end() const noexcept { return m_past_end; }
    size_t offset() const noexcept { return static_cast<size_t>(m_position - m_start); }
    // not a transfer: points into the borrowed data
    const uint8_t* position() const noexcept { return m_position; }
    // not a transfer: points just past the borrowed data
    const uint8_t* end() const noexcept { return m_end; }

    // Moves the end closer (never beyond the current end).
    void limit(size_t length) noexcept
    {
        if (length < left()) {
            m_end = m_position + length;
        }
    }

    bool peek(uint8_t* byte) const noexcept
    {
        if (m_position == m_end) {
            return false;
        }
        *byte = *m_position;
        return true;
    }

    bool read(uint8_t* byte) noexcept
    {
        if (m_position == m_end) {
            m_past_end = true;
            return false;
        }
        *byte = *m_position++;
        return true;
    }

    // Hands out `count` bytes in place.
    // not a transfer: `*bytes` points into the borrowed data; untouched on failure
    bool take(size_t count, const uint8_t** bytes) noexcept
    {
        if (count > left()) {
            m_past_end = true;
            return false;
        }
        *bytes = m_position;
        m_position += count;
        return true;
    }

    // A definite length, short or long form, accumulated into 32 bits. The indefinite form
    // (0x80) and lengths of more than four bytes are rejected. The length is not yet checked
    // against the bytes left; see read_header.
    bool read_length(uint32_t* length) noexcept
    {
        const uint8_t* saved = m_position;
        uint8_t first = 0;
        if (!read(&first)) {
            return false;
        }
        if (first < 0x80) {
            *length = first;
            return true;
        }
        const uint8_t count = first & 0x7F;
        if (count == 0 || count > 4) {
            m_position = saved;
            return false;
        }
        uint32_t value = 0;
        for (uint8_t i = 0; i < count; ++i) {
            uint8_t byte = 0;
            if (!read(&byte)) {
                m_position = saved;
                return false;
            }
            value = value << 8 | byte;
        }
        *length = value;
        return true;
    }

    // Tag and length, with the length checked against the bytes left.
    bool read_header(uint8_t* tag, uint32_t* length) noexcept
    {
        const uint8_t* saved = m_position;
        if (!read(tag) || !read_length(length)) {
            m_position = saved;
            return false;
        }
        if (*length > left()) {
            m_past_end = true;
            m_position = saved;
            return false;
        }
        return true;
    }

    // The same with a required tag.
    bool expect_header(uint8_t tag, uint32_t* length) noexcept
    {
        const uint8_t* saved = m_position;
        uint8_t actual = 0;
        if (!read_header(&actual, length)) {
            return false;
        }
        if (actual != tag) {
            m_position = saved;
            return false;
        }
        return true;
    }

private:
    const uint8_t* m_start = nullptr;
    const uint8_t* m_position = nullptr;
    const uint8_t* m_end = nullptr;
    bool m_past_end = false;
};

}  // namespace psw
