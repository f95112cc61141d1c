// The shared part of every value class: the answers of an operation a class does not support,
// and the helpers the classes share. Internal to the value family.
#pragma once

#include "core/pms_octets.h"
#include "snmp/pms_value.h"
#include "snmp/pms_value_views.h"

namespace psw {

class CPmsValueBase : public virtual IPmsValue {
public:
    void release() noexcept override { delete this; }
    Result get_view(uint32_t id, void** out) noexcept override;
    bool is_valid() const noexcept override { return true; }
    IPmsOid* extension() noexcept override { return nullptr; }
    int32_t get_int(Result* error) const noexcept override;
    uint32_t get_uint(Result* error) const noexcept override;
    PmsOctets* to_text(Result* error) const noexcept override;
    Result write_text(PmsOctets* sink) const noexcept override;
    const uint8_t* get_octets(size_t* length, Result* error) const noexcept override;
    PmsOctets* to_octets(Result* error) const noexcept override;
    Result write_octets(PmsOctets* sink) const noexcept override;
    uint16_t get_port(Result* error) const noexcept override;
    uint32_t get_high(Result* error) const noexcept override;
    uint32_t get_low(Result* error) const noexcept override;
    Result set_int(int32_t) noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result set_uint(uint32_t) noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result set_text(const char*) noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result set_text_from(const PmsOctets* text) noexcept override;
    Result set_octets(const uint8_t*, size_t) noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result set_octets_from(const PmsOctets* bytes) noexcept override;
    Result set_port(uint16_t) noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result set_high(uint32_t) noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result set_low(uint32_t) noexcept override { return PSW_ERR_UNSUPPORTED; }
    uint32_t count() const noexcept override { return 1; }
    uint32_t index_length(bool) const noexcept override { return 1; }
    int64_t element(uint32_t index, Result* error) const noexcept override;
    Result append_as_index(IPmsOid*, bool) const noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result set_oid_to_index(IPmsOid* oid, bool implied) const noexcept override;
    Result set_from_index(const IPmsOid*, bool, uint32_t) noexcept override
    {
        return PSW_ERR_UNSUPPORTED;
    }
    Result initialise() noexcept override { return PSW_SUCCESS; }

protected:
    // The view this class answers for its storage kind, or null.
    // not a transfer: a part of this value, or null
    virtual void* own_view(uint32_t id) noexcept = 0;
    // The text form into a small buffer (numbers and addresses); false when the class has
    // none, and then write_text answers PSW_ERR_UNSUPPORTED.
    // borrowed: `buffer` is the caller's
    virtual bool format_text(char* buffer, size_t size) const noexcept;
};

// Sets *error when the caller asked for it.
inline void pms_set_error(Result* error, Result value) noexcept
{
    if (error != nullptr) {
        *error = value;
    }
}

// Finishes a factory: runs initialise() and releases the value when it fails.
IPmsValue* pms_finish_value(IPmsValue* value, Result* result) noexcept;

// Where a variable-length index starts in `oid` and how many sub-identifiers it holds: with
// `implied`, all of `oid` up to `wanted`; otherwise the count in the first sub-identifier and
// the sub-identifiers after it. PSW_ERR_PARAMETER when `oid` is null, PSW_ERR_INDEX_VALUE when
// it is empty or shorter than the count; *first and *length are then not set.
Result pms_index_span(const IPmsOid* oid, bool implied, uint32_t wanted, uint32_t* first,
                      uint32_t* length) noexcept;

}  // namespace psw
