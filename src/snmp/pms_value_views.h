// The storage parts of the value classes, answered by get_view and handed to a coder by
// accept. The codec works on these directly, so that decoding into an existing value reuses
// its storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/result.h"

namespace psw {

class IPmsValue;

struct PmsIntegerView {
    int32_t value = 0;
};

struct PmsUnsignedView {
    uint32_t value = 0;
};

struct PmsCounter64View {
    uint32_t high = 0;
    uint32_t low = 0;
};

struct PmsExceptionView {
    uint32_t tag = 0;
};

// A growable byte buffer. Capacity grows to (n / 128 + 1) * 128 and never shrinks.
class PmsBytesView {
public:
    PmsBytesView() noexcept = default;
    PmsBytesView(const PmsBytesView&) = delete;
    PmsBytesView& operator=(const PmsBytesView&) = delete;
    ~PmsBytesView() { delete[] m_data; }

    // not a transfer (both data()): owned by the view, valid until it grows
    const uint8_t* data() const noexcept { return m_data; }
    uint8_t* data() noexcept { return m_data; }
    size_t length() const noexcept { return m_length; }
    size_t capacity() const noexcept { return m_capacity; }

    // Makes room for `count` bytes, keeping the contents; PSW_ERR_NO_MEMORY when memory runs out.
    Result reserve(size_t count) noexcept;
    // Replaces the contents; PSW_ERR_NO_MEMORY leaves them unchanged.
    // borrowed: `bytes` are copied
    Result assign(const uint8_t* bytes, size_t count) noexcept;
    Result push_back(uint8_t byte) noexcept;
    // Sets the length after the caller wrote into reserved storage.
    void set_length(size_t count) noexcept { m_length = count; }
    void clear() noexcept { m_length = 0; }
    bool equals(const PmsBytesView& other) const noexcept;

    static size_t grown_capacity(size_t count) noexcept { return (count / 128 + 1) * 128; }

private:
    uint8_t* m_data = nullptr;
    size_t m_length = 0;
    size_t m_capacity = 0;
};

// An object identifier held as dotted decimal text with a cached count of sub-identifiers
// (-1: recount from the dots on demand). Beside the text it keeps the sub-identifiers as
// numbers: parsed from the text once when first asked for, then kept in step by every edit
// that knows what it adds or removes (the others drop them until they are asked for again).
// The codec works on the numbers, so neither direction parses or formats text per sub-identifier
// more than once. Neither storage ever shrinks, so reusing an OID for a name of similar length
// allocates nothing.
//
// Numbers assigned as numbers (assign_sub_ids, as the decoder does) leave the text unwritten:
// storage for the longest text they can have is reserved at once, and the text is written, in
// canonical form, the first time anything reads it or its length. Every reader sees the same
// text as if it had been written at once, and writing it cannot fail. Like the numbers read
// from a text, this makes a first read a write: one OID is not read from two threads at once.
class PmsOidView {
public:
    PmsOidView() noexcept = default;
    PmsOidView(const PmsOidView&) = delete;
    PmsOidView& operator=(const PmsOidView&) = delete;
    ~PmsOidView()
    {
        delete[] m_text;
        if (m_ids != m_inline_ids) {
            delete[] m_ids;
        }
    }

    // not a transfer: owned by the view (or static ""), valid until the next edit
    const char* text() const noexcept
    {
        if (!m_text_valid) {
            write_text();
        }
        return m_text != nullptr ? m_text : "";
    }
    size_t length() const noexcept
    {
        ensure_text();
        return m_length;
    }
    bool empty() const noexcept { return m_text_valid ? m_length == 0 : m_count == 0; }
    uint32_t count() const noexcept;

    void clear() noexcept;
    // Replaces the text; `count` is its known sub-identifier count or -1.
    Result assign(const char* text, size_t length, int64_t count) noexcept;
    Result assign(const PmsOidView& other) noexcept;
    // Appends one sub-identifier in unsigned decimal.
    Result append_sub_id(uint32_t sub_id) noexcept;
    // Appends dotted text as it is (a dot is put between); the count becomes unknown.
    Result append_text(const char* text, size_t length) noexcept;
    // Appends every sub-identifier of another OID.
    Result append_oid(const PmsOidView& other) noexcept;
    // Sub-identifier `index` by the decimal rule; false past the end.
    bool sub_id(uint32_t index, uint32_t* out) const noexcept;
    // Removes `count` sub-identifiers from `start` (clamped to the end); PSW_ERR_PARAMETER when
    // start is past the end.
    Result remove(uint32_t start, uint32_t count) noexcept;
    // PmsOidOrder of this text against `other`.
    // borrowed: `other` is only read
    int32_t compare(const char* other) const noexcept;
    // The same against another OID, from the numbers when both texts are their canonical form.
    int32_t compare(const PmsOidView& other) const noexcept;
    bool equals(const PmsOidView& other) const noexcept;
    // True when the text is exactly the canonical spelling of sub_ids() (numbers of at most 32
    // bits in plain decimal, single dots), so that the numbers order and match as the text does.
    // The text is not written for this.
    bool canonical() const noexcept { return sub_ids() != nullptr && m_canonical; }

    // The count() sub-identifiers as numbers (each read from the text by the decimal rule), or
    // null when there is no memory to hold them; valid until the next edit.
    // not a transfer: owned by the view, valid until the next edit
    const uint32_t* sub_ids() const noexcept { return m_ids_valid ? m_ids : parse_sub_ids(); }
    // Replaces the OID with these sub-identifiers; the text is written when first read (and not
    // replaced at all when the OID already holds exactly them, as a reply decoded into its
    // request PDU usually does). PSW_ERR_NO_MEMORY when the text storage cannot grow (the OID is
    // then empty).
    // borrowed: `ids` are only read
    Result assign_sub_ids(const uint32_t* ids, uint32_t count) noexcept;
    // The same for numbers decoded from contents that holds_ber() has refused: with contents
    // remembered the numbers differ (or come in a longer encoding; either way the text is
    // written anew, the same text), so they are not compared first. `text_room` is the most
    // characters their text can have (four a content byte will do).
    // borrowed: `ids` are only read
    Result assign_decoded_sub_ids(const uint32_t* ids, uint32_t count, size_t text_room) noexcept;

    // The BER contents of the numbers, remembered from the last encode or decode while they
    // stay unchanged: the minimal encoding, which decodes back to exactly these numbers.
    // Null when there is none (every edit forgets it).
    // not a transfer: owned by the view, valid until the next edit
    const uint8_t* ber(size_t* length) const noexcept
    {
        *length = m_ber_length;
        return m_ber_length != 0 ? m_ber : nullptr;
    }
    // True when `bytes` are the remembered contents and the text is canonical, so that decoding
    // them would change nothing.
    bool holds_ber(const uint8_t* bytes, size_t length) const noexcept
    {
        // Names of a walk differ in their last bytes: look there first.
        return length == m_ber_length && length != 0 && bytes[length - 1] == m_ber[length - 1] &&
               m_ids_valid && m_canonical && std::memcmp(bytes, m_ber, length) == 0;
    }
    // Remembers `bytes` (the caller's minimal encoding of the current numbers, which must decode
    // back to them); too long ones are not kept.
    // borrowed: `bytes` are copied
    void remember_ber(const uint8_t* bytes, size_t length) noexcept
    {
        if (length <= kBerRoom) {
            std::memcpy(m_ber, bytes, length);
            m_ber_length = static_cast<uint8_t>(length);
        }
    }

private:
    static constexpr uint32_t kInlineIds = 16;
    static constexpr size_t kBerRoom = 40;

    Result reserve(size_t length) noexcept;
    // Room for `count` numbers, keeping the first `keep`; false when memory runs out.
    bool reserve_ids(uint32_t count, uint32_t keep) const noexcept;
    // not a transfer: owned by the view, valid until the next edit
    const uint32_t* parse_sub_ids() const noexcept;
    // Offset of the first character of sub-identifier `index` (length when past the end).
    size_t offset_of(uint32_t index) const noexcept;
    // assign_sub_ids without looking whether the numbers are those held already.
    Result replace_sub_ids(const uint32_t* ids, uint32_t count, size_t text_room) noexcept;
    // Writes the canonical text of the numbers into the storage reserved for it.
    void write_text() const noexcept;
    void ensure_text() const noexcept
    {
        if (!m_text_valid) {
            write_text();
        }
    }

    char* m_text = nullptr;
    mutable size_t m_length = 0;  // while the text is unwritten: unknown
    size_t m_capacity = 0;
    mutable int64_t m_count = 0;
    // When m_ids_valid, m_count is exact and m_ids holds that many numbers; when m_canonical
    // too, the text is exactly those numbers written in decimal (as assign_sub_ids writes it),
    // so assigning the same numbers again leaves everything as it is.
    mutable uint32_t* m_ids = m_inline_ids;
    mutable uint32_t m_ids_capacity = kInlineIds;
    mutable bool m_ids_valid = true;
    mutable bool m_canonical = true;
    // False while the text is still to be written from the numbers (then m_ids_valid and
    // m_canonical hold, m_count is at least 1 and m_capacity exceeds m_text_room, the most
    // characters the text can take).
    mutable bool m_text_valid = true;
    size_t m_text_room = 0;
    // The remembered BER contents (none while m_ber_length is 0).
    uint8_t m_ber_length = 0;
    uint8_t m_ber[kBerRoom];
    mutable uint32_t m_inline_ids[kInlineIds];
};

// The coder side of IPmsValue::accept: one operation per value kind, in this order. Counter32
// and TimeTicks forward to the Gauge32 operation, IpAddress and the IPv6 address to the byte
// buffer operation, each with the value's own tag.
class IPmsValueCoder {
public:
    virtual Result code_oid(PmsOidView& oid) noexcept = 0;
    virtual Result code_bytes(PmsBytesView& bytes, uint32_t tag) noexcept = 0;
    virtual Result code_integer(PmsIntegerView& integer) noexcept = 0;
    virtual Result code_null(uint32_t tag) noexcept = 0;
    virtual Result code_counter32(PmsUnsignedView& number) noexcept = 0;
    virtual Result code_gauge32(PmsUnsignedView& number, uint32_t tag) noexcept = 0;
    virtual Result code_time_ticks(PmsUnsignedView& number) noexcept = 0;
    virtual Result code_counter64(PmsCounter64View& number) noexcept = 0;
    virtual Result code_ip_address(PmsBytesView& bytes) noexcept = 0;
    virtual Result code_ipv6_address(PmsBytesView& bytes) noexcept = 0;
    virtual Result code_ipv4_transport(PmsBytesView& bytes) noexcept = 0;
    virtual Result code_ipx_transport(PmsBytesView& bytes) noexcept = 0;
    virtual Result code_exception(PmsExceptionView& exception) noexcept = 0;

protected:
    ~IPmsValueCoder() = default;
};

}  // namespace psw
