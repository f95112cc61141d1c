// Name tables of the option set: rows found by exact, case-sensitive name, first match wins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/result.h"

namespace psw {

// Which table an option is indexed by.
enum class OptionIndexing { kNone, kInputTray, kOutputTray };

// Whether `index` names a row of the table the option is indexed by (always true for the
// options that are not indexed).
inline bool option_index_fits(OptionIndexing indexing, int32_t index, int32_t inputTrays,
                              int32_t outputTrays) noexcept
{
    switch (indexing) {
        case OptionIndexing::kInputTray: return index >= 0 && index < inputTrays;
        case OptionIndexing::kOutputTray: return index >= 0 && index < outputTrays;
        case OptionIndexing::kNone: break;
    }
    return true;
}

// not a transfer: points into `rows`; `name` is only read
template <class Row, size_t N>
const Row* find_option_row(const Row (&rows)[N], const char* name) noexcept
{
    for (const Row& row : rows) {
        if (std::strcmp(row.name, name) == 0) {
            return &row;
        }
    }
    return nullptr;
}

// A row of a name table whose value is read straight from the option set `Self`.
template <class Self, class Value>
struct OptionRow {
    const char* name;
    OptionIndexing indexing;
    Value (*read)(const Self& self, int32_t index);
};

// Readers for the usual rows: a member of the option set, and a field of row `index` of one
// of its tray tables (`Trays` names the table, `Field` the field).
template <auto Member>
constexpr auto read_member = [](const auto& self, int32_t) { return self.*Member; };
template <auto Trays, auto Field>
constexpr auto read_tray =
    [](const auto& self, int32_t index) { return (self.*Trays)[index].*Field; };

// The row named `name` into *row when `index` fits its indexing: PSW_ERR_UNSUPPORTED when no
// row has that name, PSW_ERR_INDEX when the index does not fit; *row is then not set.
template <class Row, size_t N>
int32_t find_indexed_option_row(const Row (&rows)[N], const char* name, int32_t index,
                                int32_t inputTrays, int32_t outputTrays, const Row** row) noexcept
{
    const Row* found = find_option_row(rows, name);
    if (found == nullptr) {
        return PSW_ERR_UNSUPPORTED;
    }
    if (!option_index_fits(found->indexing, index, inputTrays, outputTrays)) {
        return PSW_ERR_INDEX;
    }
    *row = found;
    return PSW_SUCCESS;
}

// Finds the row as find_indexed_option_row does and writes `read(row)` to *value; answers what
// the search answers (*value is written only on success).
template <class Row, size_t N, class Value, class Read>
int32_t answer_option_row(const Row (&rows)[N], const char* name, int32_t index, int32_t inputTrays,
                          int32_t outputTrays, Value* value, Read&& read) noexcept
{
    const Row* row = nullptr;
    const int32_t found = find_indexed_option_row(rows, name, index, inputTrays, outputTrays, &row);
    if (found == PSW_SUCCESS) {
        *value = read(*row);
    }
    return found;
}

}  // namespace psw
