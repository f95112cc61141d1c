// How `psw check` judges a printer, in the conventions of monitoring plugins: a state (OK,
// WARNING, CRITICAL, UNKNOWN with exit codes 0 to 3), one status line and performance data
// ('label'=value%;warn;crit;0;100). Pure functions over a PrinterSnapshot, so that every rule
// is tested without a printer.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/printer_snapshot.h"

namespace psw::cli {

enum class CheckState { ok = 0, warning = 1, critical = 2, unknown = 3 };

// "OK", "WARNING", "CRITICAL", "UNKNOWN".
const char* check_state_name(CheckState state);
// The worse of two states: CRITICAL > UNKNOWN > WARNING > OK.
CheckState worse(CheckState a, CheckState b);

// Percentages below which a supply is WARNING or CRITICAL (critical <= warning).
struct Thresholds {
    int warning = 20;
    int critical = 10;
};

struct CheckSettings {
    Thresholds supplies;                        // every supply type without its own
    std::map<std::string, Thresholds> by_type;  // key: supply type word (supply_type_key)
    int tray_low = 10;                          // a tray below this percentage is low (WARNING)
    // Case-insensitive parts of the names of supplies, trays and alerts to leave out, or exact
    // names of printer error conditions ("inputTrayEmpty").
    std::vector<std::string> excludes;
};

// "toner", "waste-toner", "photoconductor", ...: the supply type's name with '-' for spaces.
std::string supply_type_key(int32_t type);
// Reads "TYPE=WARN,CRIT" (e.g. "waste-toner=30,15") into settings->by_type; false with *error
// set for an unknown type or bad numbers.
bool parse_type_threshold(const std::string& text, CheckSettings* settings, std::string* error);
// Checks a pair of thresholds: 0 <= critical <= warning <= 100.
bool valid_thresholds(const Thresholds& thresholds, std::string* error);

struct CheckProblem {
    CheckState state = CheckState::ok;
    std::string text;  // "Black Toner 5% (below 10%)", "critical alert: Paper jam"
};

struct PerfDatum {
    std::string label;
    int value = 0;  // percent
    std::string warning;
    std::string critical;
};

struct CheckResult {
    CheckState state = CheckState::ok;
    std::string summary;                 // the part of the status line after "PRINTER STATE - "
    std::vector<CheckProblem> problems;  // worst first
    std::vector<PerfDatum> perfdata;
};

// Judges the snapshot: a printer that did not answer is UNKNOWN; supplies by percentage, trays
// (empty or low), printer error conditions and alerts by severity, minus the exclusions.
CheckResult evaluate_check(const PrinterSnapshot& snapshot, const std::string& shown,
                           const CheckSettings& settings);

// One performance datum: 'Black Toner'=80%;20:;10:;0;100 (a quote in the label doubled).
std::string perf_text(const PerfDatum& datum);
// The plugin output line: "PRINTER WARNING - summary | perfdata...".
std::string check_line(const CheckResult& result);

}  // namespace psw::cli
