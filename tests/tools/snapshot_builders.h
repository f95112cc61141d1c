// Printer readings made by hand, for the tests of what psw makes of a reading (check verdicts,
// metrics, the status page) without a printer.
#pragma once

#include <cstring>
#include <utility>
#include <vector>

#include "cli/printer_snapshot.h"

namespace psw::cli {

// A supply of capacity 100 with the given type, level and percentage.
inline PSWSupplyInfo supply(const char* description, int32_t type, int32_t level, int32_t percent)
{
    PSWSupplyInfo s{};
    std::strncpy(s.description, description, sizeof s.description - 1);
    s.supply_type = type;
    s.max_capacity = 100;
    s.level = level;
    s.percent = percent;
    return s;
}

// An idle printer (status 3) with these supplies.
inline PrinterSnapshot printer(std::vector<PSWSupplyInfo> supplies)
{
    PrinterSnapshot snapshot;
    snapshot.printer.printer_status = 3;
    snapshot.supplies.rows = std::move(supplies);
    return snapshot;
}

}  // namespace psw::cli
