#include "request/walk_alignment.h"

#include <cstring>

#include "core/factory.h"
#include "request/walk_order.h"
#include "snmp/pms_value.h"
#include "snmp/pms_value_views.h"

namespace psw {

namespace {

// The instance text of `name` below `column` ("1.2" for column.1.2), or null when `name` does
// not lie below it.
const char* instance_below(const IPmsOid* name, const IPmsOid* column) noexcept
{
    const size_t length = column->text_length();
    const char* text = name->text();
    if (std::strncmp(text, column->text(), length) != 0 || text[length] != '.') {
        return nullptr;
    }
    return text + length + 1;
}

bool same_numbers(const uint32_t* a, const uint32_t* b, uint32_t count) noexcept
{
    return std::memcmp(a, b, count * sizeof(uint32_t)) == 0;
}

// Whether the canonical name `mine` is `theirs` (a canonical column) followed by `instance`:
// for canonical texts the same answer as instance_below's text match with an equal instance
// text.
bool numbers_below(const PmsOidView* mine, const PmsOidView* theirs, const uint32_t* instance,
                   uint32_t instance_count) noexcept
{
    // Nothing lies below the empty name: no text starts with "" followed by a dot.
    const uint32_t length = theirs->count();
    if (length == 0 || mine->count() != length + instance_count) {
        return false;
    }
    const uint32_t* ids = mine->sub_ids();
    return same_numbers(ids, theirs->sub_ids(), length) &&
           same_numbers(ids + length, instance, instance_count);
}

const PmsOidView* column_numbers_at(const PmsVarBindList* columns,
                                    const PmsOidView* const* column_numbers, uint32_t known,
                                    uint32_t i) noexcept
{
    return i < known ? column_numbers[i] : pmc_canonical_view(columns->at(i)->name());
}

// True when every binding of the reply already lies below its column with the first binding's
// instance, judged from the names' numbers; false when one does not or the text must decide.
bool aligned_by_numbers(const PmsVarBindList* reply, const PmsVarBindList* columns,
                        const PmsOidView* const* column_numbers, uint32_t known,
                        uint32_t count) noexcept
{
    const PmsOidView* first = pmc_canonical_view(reply->at(0)->name());
    const PmsOidView* first_column = column_numbers_at(columns, column_numbers, known, 0);
    if (first == nullptr || first_column == nullptr) {
        return false;
    }
    const uint32_t column_length = first_column->count();
    if (column_length == 0 || first->count() <= column_length ||
        !same_numbers(first->sub_ids(), first_column->sub_ids(), column_length)) {
        return false;
    }
    const uint32_t* instance = first->sub_ids() + column_length;
    const uint32_t instance_count = first->count() - column_length;
    for (uint32_t i = 1; i < count; ++i) {
        if (columns->at(i)->name() == nullptr) {
            continue;
        }
        const PmsOidView* column = column_numbers_at(columns, column_numbers, known, i);
        const PmsOidView* name = pmc_canonical_view(reply->at(i)->name());
        if (column == nullptr || name == nullptr ||
            !numbers_below(name, column, instance, instance_count)) {
            return false;
        }
    }
    return true;
}

}  // namespace

Result pmc_align_walk_row(PmsVarBindList* reply, const PmsVarBindList* columns) noexcept
{
    return pmc_align_walk_row(reply, columns, nullptr, 0);
}

Result pmc_align_walk_row(PmsVarBindList* reply, const PmsVarBindList* columns,
                          const PmsOidView* const* column_numbers, uint32_t known) noexcept
{
    if (reply == nullptr || columns == nullptr || reply->count() == 0 || columns->count() == 0) {
        return PSW_SUCCESS;
    }
    const PmsVarBind* first = reply->at(0);
    const PmsVarBind* first_column = columns->at(0);
    if (first->name() == nullptr || first_column->name() == nullptr) {
        return PSW_SUCCESS;
    }
    const uint32_t count = reply->count() < columns->count() ? reply->count() : columns->count();
    // The usual row has every column at the first one's instance: decided from the numbers
    // without writing the names' text. Anything else goes through the text below.
    if (aligned_by_numbers(reply, columns, column_numbers, known, count)) {
        return PSW_SUCCESS;
    }
    const char* instance = instance_below(first->name(), first_column->name());
    if (instance == nullptr) {
        return PSW_SUCCESS;
    }
    for (uint32_t i = 1; i < count; ++i) {
        PmsVarBind* binding = reply->at(i);
        const IPmsOid* column = columns->at(i)->name();
        if (column == nullptr) {
            continue;
        }
        const char* found =
            binding->name() != nullptr ? instance_below(binding->name(), column) : nullptr;
        if (found != nullptr && std::strcmp(found, instance) == 0) {
            continue;
        }
        Result result = PSW_SUCCESS;
        OwnedPtr<IPmsOid> name(column->clone_oid(&result));
        if (!name) {
            return result;
        }
        if ((result = name->append_text(instance)) != PSW_SUCCESS) {
            return result;
        }
        OwnedPtr<IPmsValue> absent(create_value(kPmsNoSuchInstance, &result));
        if (!absent) {
            return result;
        }
        if ((result = binding->set(name.release(), absent.release())) != PSW_SUCCESS) {
            return result;
        }
    }
    return PSW_SUCCESS;
}

Result pmc_clear_absent_values(PmsVarBindList* request) noexcept
{
    const uint32_t count = request != nullptr ? request->count() : 0;
    for (uint32_t i = 1; i < count; ++i) {
        PmsVarBind* binding = request->at(i);
        if (binding->value() == nullptr || binding->value()->type() != kPmsNoSuchInstance) {
            continue;
        }
        Result result = PSW_SUCCESS;
        IPmsValue* null = create_value(kPmsNull, &result);
        if (null == nullptr) {
            return result;
        }
        binding->set_value(null);
    }
    return PSW_SUCCESS;
}

}  // namespace psw
