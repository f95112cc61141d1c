// Name tables of the option set: rows found by exact, case-sensitive name, first match wins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace psw {

// Which table an option is indexed by.
enum class OptionIndexing { kNone, kInputTray, kOutputTray };

// Whether `index` names a row of the table the option is indexed by (always true for the
// options that are not indexed).
inline bool option_index_fits(OptionIndexing indexing, int32_t index, int32_t inputTrays,
                              int32_t outputTrays) noexcept
{
    switch (indexing) {
    case OptionIndexing::kInputTray:
        return index >= 0 && index < inputTrays;
    case OptionIndexing::kOutputTray:
        return index >= 0 && index < outputTrays;
    case OptionIndexing::kNone:
        break;
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

}  // namespace psw
