// One row of a table walk as the option set reads it: the value of each added column.
#pragma once

#include <cstddef>
#include <cstdint>

namespace psw {

class IPmsPdu;
class IPmsValue;

class OptionTableRow {
public:
    // `row` holds one binding per column, in the order of `columns` (not copied, must
    // outlive the row object).
    // borrowed: `row` and `columns` must outlive the row object
    OptionTableRow(const IPmsPdu* row, const char* const* columns, uint32_t count) noexcept;

    // The value of column `column`; null when the row has no binding there or the binding
    // lies outside its column (the column ended before the first one did).
    // not a transfer: owned by the borrowed row PDU
    const IPmsValue* value(uint32_t column) const noexcept;

    // The column's value as a signed integer: 0 when the row lacks it, -1 when it is no
    // INTEGER.
    int32_t integer(uint32_t column) const noexcept;

    // The column's text form copied into `field` (cut to size - 1, terminated); an empty
    // field when the row lacks it.
    // borrowed: `field` is the caller's buffer
    void text(uint32_t column, char* field, size_t size) const noexcept;

private:
    const IPmsPdu* m_pRow;
    const char* const* m_columns;
    uint32_t m_count;
};

}  // namespace psw
