// SNMP values and object identifiers.
//
// Every value that travels in a variable binding is one of these classes, all reached through
// IPmsValue; object identifiers answer the richer IPmsOid as well. Values are created by the
// factories below, owned by whoever created them (or by the binding or PDU they were handed
// to) and destroyed with release().
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"

namespace psw {

class IPmsOid;
class IPmsValueCoder;
class PmsOctets;

// Type tags: the factory's key, a value's type() and, up to endOfMibView, the BER tag.
enum PmsValueTag : uint32_t {
    kPmsInteger = 0x02,
    kPmsOctetString = 0x04,
    kPmsNull = 0x05,
    kPmsObjectId = 0x06,
    kPmsIpAddress = 0x40,
    kPmsCounter32 = 0x41,
    kPmsGauge32 = 0x42,
    kPmsTimeTicks = 0x43,
    kPmsOpaque = 0x44,
    kPmsCounter64 = 0x46,
    kPmsIpv6Address = 0x48,
    kPmsNoSuchObject = 0x80,
    kPmsNoSuchInstance = 0x81,
    kPmsEndOfMibView = 0x82,
    kPmsIpv4Transport = 0xFF02,
    kPmsIpxTransport = 0xFF03,
};

// View ids answered by get_view: 0xF0000000 + tag of the view's storage kind.
enum PmsViewId : uint32_t {
    kPmsViewInteger = 0xF0000002,
    kPmsViewBytes = 0xF0000004,
    kPmsViewOid = 0xF0000006,
    kPmsViewOidShort = 0x6,
    kPmsViewUnsigned = 0xF0000042,
    kPmsViewCounter64 = 0xF0000046,
    kPmsViewException = 0xF000FF01,
    kPmsViewCommon = 0xF000FF00,
    kPmsViewCommonShort = 0xFF00,
};

// "All remaining sub-identifiers" as an index count.
constexpr uint32_t kPmsIndexAll = 0xFFFFFFFFu;

// Operations a class does not support return PSW_ERR_UNSUPPORTED; a getter of that kind then
// returns -1, 0 or 0xFFFF and writes PSW_ERR_UNSUPPORTED to its error out-argument. Error
// out-arguments may be null.
class IPmsValue {
public:
    // Calls the coder's operation for this value's kind and returns the coder's code.
    // borrowed: `coder` is only used during the call
    virtual Result accept(IPmsValueCoder* coder) noexcept = 0;
    virtual void release() noexcept = 0;
    // A new value of the same class and contents, owned by the caller.
    // the caller owns the result and releases it with release()
    virtual IPmsValue* clone(Result* result = nullptr) const noexcept = 0;
    // Copies the contents of a value of the same tag; another tag gives PSW_ERR_PARAMETER.
    // borrowed: `other` is only read
    virtual Result assign(const IPmsValue* other) noexcept = 0;
    virtual void clear() noexcept = 0;
    virtual uint32_t type() const noexcept = 0;
    // borrowed: `other` is only read
    virtual bool equals(const IPmsValue* other) const noexcept = 0;
    // The object identifier interface of an OID; null for every other class.
    // not a transfer: this same object seen as an OID
    virtual IPmsOid* extension() noexcept = 0;
    // A part of this object for a view id (PmsViewId), or null with PSW_ERR_NO_INTERFACE. Not a
    // transfer.
    // not a transfer: `*out` points into this value, valid while it lives
    virtual Result get_view(uint32_t id, void** out) noexcept = 0;
    virtual bool is_valid() const noexcept = 0;
    virtual int32_t get_int(Result* error = nullptr) const noexcept = 0;
    virtual uint32_t get_uint(Result* error = nullptr) const noexcept = 0;
    // A new byte string (caller owns it) holding the text form.
    // the caller owns the result and releases it with release()
    virtual PmsOctets* to_text(Result* error = nullptr) const noexcept = 0;
    // borrowed: `sink` stays the caller's; its contents are replaced
    virtual Result write_text(PmsOctets* sink) const noexcept = 0;
    // The raw contents (for an OID its dotted text); the pointer stays owned by the value.
    // not a transfer: owned by the value, valid until it next changes
    virtual const uint8_t* get_octets(size_t* length, Result* error = nullptr) const noexcept = 0;
    // the caller owns the result and releases it with release()
    virtual PmsOctets* to_octets(Result* error = nullptr) const noexcept = 0;
    // borrowed: `sink` stays the caller's; its contents are replaced
    virtual Result write_octets(PmsOctets* sink) const noexcept = 0;
    virtual uint16_t get_port(Result* error = nullptr) const noexcept = 0;
    virtual uint32_t get_high(Result* error = nullptr) const noexcept = 0;
    virtual uint32_t get_low(Result* error = nullptr) const noexcept = 0;
    virtual Result set_int(int32_t value) noexcept = 0;
    virtual Result set_uint(uint32_t value) noexcept = 0;
    // borrowed (set_text/_from, set_octets/_from): the bytes are copied
    virtual Result set_text(const char* text) noexcept = 0;
    virtual Result set_text_from(const PmsOctets* text) noexcept = 0;
    virtual Result set_octets(const uint8_t* bytes, size_t length) noexcept = 0;
    virtual Result set_octets_from(const PmsOctets* bytes) noexcept = 0;
    virtual Result set_port(uint16_t port) noexcept = 0;
    virtual Result set_high(uint32_t value) noexcept = 0;
    virtual Result set_low(uint32_t value) noexcept = 0;
    virtual uint32_t count() const noexcept = 0;
    virtual uint32_t index_length(bool implied) const noexcept = 0;
    // Byte i or sub-identifier i; past the end -1 with PSW_ERR_PARAMETER (bytes), PSW_ERR_TOO_LONG
    // (OID) or PSW_ERR_NOT_INITIALIZED (empty OID).
    virtual int64_t element(uint32_t index, Result* error = nullptr) const noexcept = 0;
    // borrowed: `oid` stays the caller's and is extended in place
    virtual Result append_as_index(IPmsOid* oid, bool implied) const noexcept = 0;
    // borrowed: `oid` stays the caller's and is overwritten in place
    virtual Result set_oid_to_index(IPmsOid* oid, bool implied) const noexcept = 0;
    // Reads this value from the leading sub-identifiers of `oid` (count: implied byte count).
    // borrowed: `oid` is only read
    virtual Result set_from_index(const IPmsOid* oid, bool implied, uint32_t count) noexcept = 0;
    virtual ~IPmsValue() = default;
    // Run once by the factory after construction; PSW_ERR_NO_MEMORY when the initial contents
    // cannot be made.
    virtual Result initialise() noexcept = 0;
};

// Five-way result of comparing OIDs as dotted text.
enum PmsOidOrder : int32_t {
    kPmsOidEqual = 0,
    kPmsOidPrefixOfOther = 1,  // this OID is a proper prefix: the other lies in this subtree
    kPmsOidInsideOther = 2,    // the other is a proper prefix: this lies in the other's subtree
    kPmsOidLess = 3,
    kPmsOidGreater = 4,
};

// The object identifier's own interface. The value interface is its shared virtual base.
class IPmsOid : public virtual IPmsValue {
public:
    // the caller owns the result and releases it with release()
    virtual IPmsOid* clone_oid(Result* result = nullptr) const noexcept = 0;
    // PmsOidOrder, or -1 with PSW_ERR_PARAMETER for a null text or OID.
    // borrowed: `text` is only read
    virtual int32_t compare_text(const char* text, Result* error = nullptr) const noexcept = 0;
    // borrowed: `other` (and compare_text's `text`) only read
    virtual int32_t compare(const IPmsOid* other, Result* error = nullptr) const noexcept = 0;
    // borrowed: `text` is only read
    virtual Result remove_prefix_text(const char* text) noexcept = 0;
    // borrowed: `prefix` (and remove_prefix_text's `text`) only read
    virtual Result remove_prefix(const IPmsOid* prefix) noexcept = 0;
    // borrowed: `text` is copied
    virtual Result append_text(const char* text) noexcept = 0;
    virtual Result append(uint32_t sub_id) noexcept = 0;
    // borrowed: `other` is only read (its sub-identifiers are copied)
    virtual Result append_oid(const IPmsOid* other) noexcept = 0;
    // borrowed: `text` is only read (its value is appended)
    virtual Result append_index_text(const char* text, uint32_t tag, bool implied) noexcept = 0;
    // borrowed: `value` is only read
    virtual Result append_index(const IPmsValue* value, bool implied) noexcept = 0;
    // A new OID (caller owns it) with the first `count` sub-identifiers, removed from this one.
    virtual IPmsOid* split_prefix(uint32_t count, Result* result = nullptr) noexcept = 0;
    // borrowed: `out` stays the caller's and receives the prefix
    virtual Result split_prefix_to(IPmsOid* out, uint32_t count) noexcept = 0;
    virtual int64_t pop_first(Result* result = nullptr) noexcept = 0;
    // the caller owns the result and releases it with release()
    virtual PmsOctets* split_prefix_text(uint32_t count, Result* result = nullptr) noexcept = 0;
    // borrowed: `out` stays the caller's and receives the text
    virtual Result split_prefix_text_to(PmsOctets* out, uint32_t count) noexcept = 0;
    // A new value of `tag` (caller owns it) read from the leading index sub-identifiers,
    // which are removed.
    virtual IPmsValue* take_index_value(uint32_t tag, bool implied, uint32_t count,
                                        Result* result = nullptr) noexcept = 0;
    // borrowed: `value` stays the caller's and is filled in place
    virtual Result take_index(IPmsValue* value, bool implied, uint32_t count) noexcept = 0;
    virtual Result remove(uint32_t start, uint32_t count) noexcept = 0;
    // the caller owns the result and releases it with release()
    virtual IPmsValue* take_index_value_all(uint32_t tag, bool implied,
                                            Result* result = nullptr) noexcept = 0;
    // borrowed: `value` stays the caller's and is filled in place
    virtual Result read_index(IPmsValue* value, bool implied) const noexcept = 0;
    // borrowed: `value` is only read
    virtual Result write_index(const IPmsValue* value, bool implied) noexcept = 0;

    // The dotted text (never null) and its length.
    // not a transfer: owned by the OID, valid until it next changes
    virtual const char* text() const noexcept = 0;
    virtual size_t text_length() const noexcept = 0;

protected:
    ~IPmsOid() override = default;
};

// Factories. Each returns a new object owned by the caller, or null with the code in `result`.
// the caller owns the result and releases it with release()
IPmsValue* create_value(uint32_t tag, Result* result = nullptr) noexcept;
// the caller owns the result (release()); `text` is only read
IPmsValue* create_value_from_text(const char* text, uint32_t tag,
                                  Result* result = nullptr) noexcept;
// the caller owns the result and releases it with release()
IPmsValue* create_value_with_int(int32_t value, uint32_t tag, Result* result = nullptr) noexcept;
// the caller owns the result and releases it with release()
IPmsOid* create_oid(Result* result = nullptr) noexcept;
// the caller owns the result (release()); `other` is only read
IPmsOid* create_oid_from(const IPmsOid* other, Result* result = nullptr) noexcept;
// the caller owns the result (release()); `text` is only read
IPmsOid* create_oid_from_text(const char* text, Result* result = nullptr) noexcept;

// The decimal rule for number texts and sub-identifiers: leading white space, one optional
// sign, digits accumulated modulo 2^32 up to the first non-digit; "-" negates. `end` (optional)
// receives the first character not used.
// not a transfer: `*end` receives a pointer into `text`
uint32_t pms_parse_decimal(const char* text, const char** end = nullptr) noexcept;

// The OID text syntax: empty, or decimal numbers ("0" or starting 1-9) joined by single dots.
// borrowed: `text` is only read
bool pms_is_valid_oid_text(const char* text) noexcept;

}  // namespace psw
