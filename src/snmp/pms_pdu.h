// The PDU: protocol header fields and a binding list. Owns its list, time-stamp and
// enterprise; setters take ownership and release what they replace.
#pragma once

#include <cstdint>

#include "core/result.h"
#include "snmp/pms_varbind.h"

namespace psw {

enum PmsPduType : int32_t {
    kPmsPduUnset = -1,
    kPmsGetRequest = 0,
    kPmsGetNextRequest = 1,
    kPmsResponse = 2,
    kPmsSetRequest = 3,
    kPmsTrap = 4,
    kPmsGetBulkRequest = 5,
    kPmsInformRequest = 6,
    kPmsReport = 8,
};

class IPmsPdu {
public:
    virtual void release() noexcept = 0;
    // Clears bindings, time-stamp and enterprise; type -1, error-status -1, error-index 0;
    // the request-id stays.
    virtual void reset() noexcept = 0;
    // the caller owns the result (a deep copy) and releases it with release()
    virtual IPmsPdu* clone(Result* result = nullptr) const noexcept = 0;
    // borrowed: `other` is only read (its bindings are copied)
    virtual Result assign(const IPmsPdu* other) noexcept = 0;
    // borrowed: `other` is only read
    virtual Result copy_header(const IPmsPdu* other) noexcept = 0;
    // borrowed: `other` is only read
    virtual bool equals(const IPmsPdu* other) const noexcept = 0;
    virtual int32_t type() const noexcept = 0;
    virtual void set_type(int32_t type) noexcept = 0;
    // Null while the PDU has no list. Not a transfer.
    virtual PmsVarBindList* bindings() const noexcept = 0;
    // takes ownership of `list`; the previous list is released
    virtual void set_bindings(PmsVarBindList* list) noexcept = 0;
    // the caller owns the result (release()); the PDU keeps no list
    virtual PmsVarBindList* detach_bindings() noexcept = 0;
    // The binding-list operations, the list made first when absent (PSW_ERR_NO_MEMORY when it
    // cannot be).
    // takes ownership of `name` and `value`; they are released even when the call fails
    virtual Result add(IPmsOid* name, IPmsValue* value) noexcept = 0;
    // takes ownership of `binding` (non-null); it is released even when the call fails
    virtual Result append(PmsVarBind* binding) noexcept = 0;
    // takes ownership of `name` and `value`; they are released even when the call fails
    virtual Result add_front(IPmsOid* name, IPmsValue* value) noexcept = 0;
    // takes ownership of `binding` (non-null); it is released even when the call fails
    virtual Result prepend(PmsVarBind* binding) noexcept = 0;
    // `*name`, `*value` receive the first binding's members, caller-owned; untouched when empty
    virtual void take_first(IPmsOid** name, IPmsValue** value) noexcept = 0;
    // the caller owns the result (release()); null when there is none
    virtual PmsVarBind* detach_first() noexcept = 0;
    virtual int32_t request_id() const noexcept = 0;
    virtual int32_t error_status() const noexcept = 0;
    virtual int32_t error_index() const noexcept = 0;
    virtual void set_request_id(int32_t value) noexcept = 0;
    virtual void set_error_status(int32_t value) noexcept = 0;
    virtual void set_error_index(int32_t value) noexcept = 0;
    // not a transfer: owned by the PDU
    virtual IPmsValue* time_stamp() const noexcept = 0;
    // not a transfer: owned by the PDU
    virtual IPmsOid* enterprise() const noexcept = 0;
    // the caller owns the result (release()); the PDU keeps none
    virtual IPmsValue* detach_time_stamp() noexcept = 0;
    // the caller owns the result (release()); the PDU keeps none
    virtual IPmsOid* detach_enterprise() noexcept = 0;
    // Takes a TimeTicks value; any other value gives PSW_ERR_PARAMETER and is not taken.
    // takes ownership of `value` on PSW_SUCCESS only; the previous one is released
    virtual Result set_time_stamp(IPmsValue* value) noexcept = 0;
    // Takes an object identifier value; any other value gives PSW_ERR_PARAMETER and is not taken.
    // takes ownership of `value` on PSW_SUCCESS only; the previous one is released
    virtual Result set_enterprise(IPmsValue* value) noexcept = 0;

protected:
    virtual ~IPmsPdu() = default;
};

// the caller owns the result and releases it with release()
IPmsPdu* create_pdu(Result* result = nullptr) noexcept;

}  // namespace psw
