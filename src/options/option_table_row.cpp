#include "options/option_table_row.h"

#include "core/pms_octets.h"
#include "core/text_field.h"
#include "snmp/pms_pdu.h"

namespace psw {

OptionTableRow::OptionTableRow(const IPmsPdu* row, const char* const* columns,
                               uint32_t count) noexcept
    : m_pRow(row),
      m_columns(columns),
      m_count(count)
{
}

const IPmsValue* OptionTableRow::value(uint32_t column) const noexcept
{
    if (m_pRow == nullptr || column >= m_count) {
        return nullptr;
    }
    const PmsVarBindList* bindings = m_pRow->bindings();
    if (bindings == nullptr || column >= bindings->count()) {
        return nullptr;
    }
    const PmsVarBind* binding = bindings->at(column);
    if (binding == nullptr || binding->name() == nullptr) {
        return nullptr;
    }
    if (binding->name()->compare_text(m_columns[column]) != kPmsOidInsideOther) {
        return nullptr;
    }
    return binding->value();
}

int32_t OptionTableRow::integer(uint32_t column) const noexcept
{
    const IPmsValue* found = value(column);
    return found != nullptr ? found->get_int() : 0;
}

void OptionTableRow::text(uint32_t column, char* field, size_t size) const noexcept
{
    pmc_copy_text(field, size, nullptr);
    const IPmsValue* found = value(column);
    if (found == nullptr) {
        return;
    }
    PmsOctets* form = found->to_text();
    if (form != nullptr) {
        pmc_copy_text(field, size, form->c_str());
        form->release();
    }
}

}  // namespace psw
