#include "request/walk_alignment.h"

#include <cstring>

#include "core/factory.h"
#include "snmp/pms_value.h"

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

}  // namespace

Result pmc_align_walk_row(PmsVarBindList* reply, const PmsVarBindList* columns) noexcept
{
    if (reply == nullptr || columns == nullptr || reply->count() == 0 || columns->count() == 0) {
        return PSW_SUCCESS;
    }
    const PmsVarBind* first = reply->at(0);
    const PmsVarBind* first_column = columns->at(0);
    if (first->name() == nullptr || first_column->name() == nullptr) {
        return PSW_SUCCESS;
    }
    const char* instance = instance_below(first->name(), first_column->name());
    if (instance == nullptr) {
        return PSW_SUCCESS;
    }
    const uint32_t count = reply->count() < columns->count() ? reply->count() : columns->count();
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
