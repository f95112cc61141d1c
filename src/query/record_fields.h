// Turning the values of a walked row into record fields: the binding of a column, a value as a
// signed or unsigned integer, its text form cut to a fixed field, its raw octets, and the row
// index that follows a column's identifier in a binding's name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"
#include "core/text_field.h"
#include "psw/psw_records.h"
#include "snmp/pms_lists.h"
#include "snmp/pms_pdu.h"
#include "snmp/walk_rows.h"

namespace psw {

// The binding of column `position` (in the order the columns were added); null when the row
// lacks it.
// not a transfer: owned by `row`
const PmsVarBind* pmc_row_binding(const IPmsPdu* row, uint32_t position) noexcept;
// The value of that binding; null when absent or an exception value (a column the row lacks).
// not a transfer: owned by `row`
const IPmsValue* pmc_row_value(const IPmsPdu* row, uint32_t position) noexcept;

// The value as a signed or unsigned integer; a missing value leaves `field` alone.
// borrowed: `value` is only read; `field` is the caller's (also pmc_store_uint)
void pmc_store_int(const IPmsValue* value, int32_t* field) noexcept;
void pmc_store_uint(const IPmsValue* value, uint32_t* field) noexcept;

// The value's text form into a field of `size` bytes, cut to size - 1 and terminated; a missing
// value or one without a text form leaves an empty text. PSW_ERR_NO_MEMORY only when the text
// cannot be made for want of memory.
// borrowed: `value` is only read; `field` is the caller's buffer
Result pmc_store_text(const IPmsValue* value, char* field, size_t size) noexcept;

// Copies the value's leading octets into `field` by position; octets the value lacks are 0.
// borrowed: `value` is only read; `field` is the caller's buffer
void pmc_store_octets(const IPmsValue* value, uint8_t* field, size_t size) noexcept;

// A DateAndTime taken by position: year from octets 0 and 1, then month, day, hour, minutes
// and seconds from octets 2 to 6 as signed bytes; octets the value lacks count as 0, octets
// after the seventh are not used.
// borrowed: `value` is only read; `date` is the caller's
void pmc_store_date(const IPmsValue* value, PSWDateTime* date) noexcept;

// The text of the binding's name after `column` and its dot (the instance), or null when the
// name does not lie under `column`.
// not a transfer: points into the name owned by `binding`
const char* pmc_instance_after(const PmsVarBind* binding, const char* column) noexcept;
// The value of column `position` when its binding is the object `column`.`instance`, null
// otherwise: for a column that lacks the row, a walk delivers whatever object follows.
const IPmsValue* pmc_row_value_of(const IPmsPdu* row, uint32_t position, const char* column,
                                  const char* instance) noexcept;
// The first sub-identifier of that instance as a number; -1 (and false) when there is none.
// borrowed: every argument is only read
bool pmc_row_index(const PmsVarBind* binding, const char* column, int64_t* index) noexcept;

// Calls `visit(row)` for every row of `rows` in order, stopping at the first non-zero result,
// which is returned.
// borrowed: `rows` stays the caller's; `visit` sees each row as borrowed
template <class Visit>
Result pmc_visit_rows(PmsPduList* rows, Visit&& visit) noexcept
{
    Result result = PSW_SUCCESS;
    PmsListIterator* iterator = rows->new_iterator(&result);
    if (iterator == nullptr) {
        return result;
    }
    for (IPmsPdu* row = rows->at(iterator); row != nullptr; row = rows->at(iterator)) {
        result = visit(static_cast<const IPmsPdu*>(row));
        if (result != PSW_SUCCESS) {
            break;
        }
        rows->advance(iterator);
    }
    rows->release_iterator(iterator);
    return result;
}

// The same over compact walk rows.
template <class Visit>
Result pmc_visit_rows(PmsWalkRows* rows, Visit&& visit) noexcept
{
    return rows->visit(visit);
}

// Looks up an object identifier text in a table of `count` consecutive identifiers
// "<prefix>.<first>" ... "<prefix>.<first + count - 1>" compared exactly; the code is the last
// sub-identifier on a match, 0 otherwise.
// borrowed: both texts are only read
int32_t pmc_code_in_range(const char* text, const char* prefix, uint32_t first,
                          uint32_t count) noexcept;

}  // namespace psw
