// Keeps every column of a table walk on the row of the first column.
//
// A table may lack a column in some of its rows. GETNEXT then answers that column with a later
// row's instance (or with the next column), which must neither fill the row being read nor
// move the column ahead of the rows still to come.
#pragma once

#include <cstdint>

#include "core/result.h"
#include "snmp/pms_varbind.h"

namespace psw {

class PmsOidView;

// `reply` holds a GETNEXT answer whose first binding lies inside the first column of
// `columns` (the bindings as first added to the walk, in order). Every further binding whose
// name is not its column at the first binding's instance is turned into that name with a
// noSuchInstance value: the row shows the column as absent, and the next GETNEXT asks the
// column again from this row. Bindings that agree are left untouched, so a complete table
// walks exactly as before. PSW_ERR_NO_MEMORY when a replacement cannot be made.
// borrowed: `reply` is changed in place, `columns` only read
Result pmc_align_walk_row(PmsVarBindList* reply, const PmsVarBindList* columns) noexcept;

// The same, with the columns' numbers read beforehand: `column_numbers[i]` is
// pmc_canonical_view() of column i's name (null when it is not canonical), for the first
// `known` columns; later columns are looked at in the call. A walk reads them once, as its
// columns do not change. The result is exactly pmc_align_walk_row's.
// borrowed: as above; `column_numbers` only read
Result pmc_align_walk_row(PmsVarBindList* reply, const PmsVarBindList* columns,
                          const PmsOidView* const* column_numbers, uint32_t known) noexcept;

// Gives every binding that pmc_align_walk_row marked absent a NULL value again, as a request
// carries (an exception value has no place in an SNMPv1 message). Call it once the row is kept.
// borrowed: `request` is changed in place
Result pmc_clear_absent_values(PmsVarBindList* request) noexcept;

}  // namespace psw
