// Reads a whole record table through a count-and-copy pair of the public API.
#pragma once

#include <cstdint>
#include <vector>

#include "psw/psw.h"

namespace psw::cli {

template <typename Record>
struct RecordTable {
    int32_t code = PSW_SUCCESS;  // the first failing code, or PSW_SUCCESS
    std::vector<Record> rows;

    bool ok() const { return code == PSW_SUCCESS; }
};

// Runs count(handle, &n), then get(handle, i, &record) for i in 0..n-1.
template <typename Record, typename Count, typename Get>
RecordTable<Record> read_records(PSWHandle handle, Count count, Get get)
{
    RecordTable<Record> table;
    int32_t n = 0;
    table.code = count(handle, &n);
    for (int32_t i = 0; table.ok() && i < n; ++i) {
        Record record{};
        table.code = get(handle, i, &record);
        if (table.ok()) {
            table.rows.push_back(record);
        }
    }
    return table;
}

// A fixed text field as a string: up to the first zero byte, never beyond the field.
template <size_t N>
std::string field_text(const char (&field)[N])
{
    size_t length = 0;
    while (length < N && field[length] != '\0') {
        ++length;
    }
    return std::string(field, length);
}

}  // namespace psw::cli
