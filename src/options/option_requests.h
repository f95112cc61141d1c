// The reads the refresh steps make through a get-data request beyond single reads
// (query/logged_reads.h): several integers at once, or a table walk. Each logs its failing operation under "PSW" at level 1.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"
#include "options/option_table_row.h"

namespace psw {

class IPmcGetData;

// Reads `count` objects (instances given in full) in one request, in order.
// borrowed: `request` and `oids` stay the caller's; `values` is the caller's array
Result option_read_ints(IPmcGetData* request, const char* const* oids, int32_t count,
                        int32_t* values) noexcept;

// borrowed: `context` is passed through; `row` is valid only during the call
using OptionRowVisitor = void (*)(void* context, const OptionTableRow& row);

// Walks the table of the `count` columns and calls `visit` for each row in order.
// borrowed: `request`, `columns` and `context` stay the caller's
Result option_walk(IPmcGetData* request, const char* const* columns, uint32_t count,
                   OptionRowVisitor visit, void* context) noexcept;

// The same with any callable taking the row.
// borrowed: `request`, `columns` and `visitor` stay the caller's
template <class Visitor>
Result option_walk(IPmcGetData* request, const char* const* columns, uint32_t count,
                   Visitor& visitor) noexcept
{
    return option_walk(
        request, columns, count,
        [](void* context, const OptionTableRow& row) { (*static_cast<Visitor*>(context))(row); },
        &visitor);
}

}  // namespace psw
