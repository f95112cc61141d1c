// Variable bindings and binding lists.
//
// A binding owns its name and value; a list owns its bindings. Setters take ownership of what
// they are given and release what they replace; detach operations hand members back.
#pragma once

#include <cstdint>

#include "core/result.h"
#include "snmp/pms_value.h"

namespace psw {

// Status mark of a binding after a reply was decoded: 0, the reply's error-status, or this.
constexpr int32_t kPmsMarkOtherBinding = 100;

class PmsVarBind {
public:
    virtual void release() noexcept = 0;
    // the caller owns the result (a deep copy) and releases it with release()
    virtual PmsVarBind* clone(Result* result = nullptr) const noexcept = 0;
    // borrowed: `other` is only read
    virtual bool equals(const PmsVarBind* other) const noexcept = 0;
    // Takes both; an absent value is replaced by a new NULL value (PSW_ERR_NO_MEMORY when it cannot
    // be made, the name is then still taken).
    // takes ownership of `name` and `value` in every case; the previous ones are released
    virtual Result set(IPmsOid* name, IPmsValue* value) noexcept = 0;
    // takes ownership of `name` and `value`, as set()
    virtual Result set_again(IPmsOid* name, IPmsValue* value) noexcept = 0;
    // Hands out name and value (an absent out-argument releases the member instead).
    // `*name`, `*value` receive the members, now caller-owned (null if absent)
    virtual void detach(IPmsOid** name, IPmsValue** value) noexcept = 0;
    // takes ownership of `name`; the previous name is released
    virtual void set_name(IPmsOid* name) noexcept = 0;
    // takes ownership of `value`; the previous value is released
    virtual void set_value(IPmsValue* value) noexcept = 0;
    // not a transfer: owned by the binding
    virtual IPmsOid* name() const noexcept = 0;
    // not a transfer: owned by the binding
    virtual IPmsValue* value() const noexcept = 0;
    virtual int32_t mark() const noexcept = 0;
    virtual void set_mark(int32_t mark) noexcept = 0;

protected:
    virtual ~PmsVarBind() = default;
};

class PmsVarBindList {
public:
    virtual void release() noexcept = 0;
    // the caller owns the result (a deep copy) and releases it with release()
    virtual PmsVarBindList* clone(Result* result = nullptr) const noexcept = 0;
    // borrowed: `other` is only read
    virtual bool equals(const PmsVarBindList* other) const noexcept = 0;
    virtual uint32_t count() const noexcept = 0;
    // Appends a new binding made of both (ownership taken even on failure); null name:
    // PSW_ERR_PARAMETER.
    // takes ownership of `name` and `value`; they are released even when the call fails
    virtual Result add(IPmsOid* name, IPmsValue* value) noexcept = 0;
    // takes ownership of `binding`; released on PSW_ERR_NO_MEMORY (null: PSW_ERR_PARAMETER)
    virtual Result append(PmsVarBind* binding) noexcept = 0;
    // takes ownership of `name` and `value`; they are released even when the call fails
    virtual Result add_front(IPmsOid* name, IPmsValue* value) noexcept = 0;
    // takes ownership of `binding`; released on PSW_ERR_NO_MEMORY (null: PSW_ERR_PARAMETER)
    virtual Result prepend(PmsVarBind* binding) noexcept = 0;
    // Takes out the binding at `index`: handed out, or released when `out` is null.
    // `*out` receives the binding, caller-owned; untouched on PSW_ERR_PARAMETER (bad index)
    virtual Result remove(uint32_t index, PmsVarBind** out) noexcept = 0;
    // `*name`, `*value` receive the first binding's members, caller-owned; untouched when empty
    virtual void take_first(IPmsOid** name, IPmsValue** value) noexcept = 0;
    // the caller owns the result (release()); null when the list is empty
    virtual PmsVarBind* detach_first() noexcept = 0;
    // not a transfer: owned by the list; null past the end
    virtual PmsVarBind* at(uint32_t index) const noexcept = 0;
    // the caller owns the result (deep copies) and releases it with release()
    virtual PmsVarBindList* copy_range(uint32_t start, uint32_t count,
                                       Result* result = nullptr) const noexcept = 0;
    // the caller owns the result; the bindings move into it from this list
    virtual PmsVarBindList* take_first_n(uint32_t count, Result* result = nullptr) noexcept = 0;
    // The binding at `error_index` (from 1) gets `error_status`, every other one 100.
    virtual void mark_error(int32_t error_status, int32_t error_index) noexcept = 0;
    virtual void mark_all(int32_t mark) noexcept = 0;

    // Removes and releases the bindings from `count` on (used when a reply is shorter).
    virtual void truncate(uint32_t count) noexcept = 0;

protected:
    virtual ~PmsVarBindList() = default;
};

// the caller owns the result and releases it with release()
PmsVarBind* create_varbind(Result* result = nullptr) noexcept;
// the caller owns the result and releases it with release()
PmsVarBindList* create_varbind_list(Result* result = nullptr) noexcept;

}  // namespace psw
