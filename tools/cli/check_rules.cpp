#include "cli/check_rules.h"

#include <algorithm>
#include <cctype>

#include "cli/command_line.h"
#include "cli/mib_names.h"
#include "cli/text_format.h"
#include "psw/psw_result.h"

namespace psw::cli {

namespace {

int rank(CheckState state)
{
    switch (state) {
        case CheckState::ok: return 0;
        case CheckState::warning: return 1;
        case CheckState::unknown: return 2;
        case CheckState::critical: return 3;
    }
    return 2;
}

std::string lower(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool excluded(const CheckSettings& settings, const std::string& name)
{
    const std::string wanted = lower(name);
    return std::any_of(settings.excludes.begin(), settings.excludes.end(),
                       [&](const std::string& part) {
                           return !part.empty() && wanted.find(lower(part)) != std::string::npos;
                       });
}

bool excluded_exactly(const CheckSettings& settings, const std::string& name)
{
    return std::find(settings.excludes.begin(), settings.excludes.end(), name) !=
           settings.excludes.end();
}

// Printer error conditions that need someone at the printer now; the others warn. An empty
// input tray is judged per tray (where it can be excluded), not by this bit.
bool critical_error(const std::string& name)
{
    static const char* const kCritical[] = {"noPaper", "noToner",          "doorOpen",  "jammed",
                                            "offline", "serviceRequested", "outputFull"};
    return std::any_of(std::begin(kCritical), std::end(kCritical),
                       [&](const char* critical) { return name == critical; });
}

std::string unique_label(std::vector<PerfDatum>& perfdata, std::string label)
{
    const std::string base = label;
    for (int n = 2; std::any_of(perfdata.begin(), perfdata.end(),
                                [&](const PerfDatum& d) { return d.label == label; });
         ++n) {
        label = base + " " + std::to_string(n);
    }
    return label;
}

const Thresholds& thresholds_for(const CheckSettings& settings, int32_t type)
{
    auto found = settings.by_type.find(supply_type_key(type));
    return found == settings.by_type.end() ? settings.supplies : found->second;
}

void section_problem(CheckResult& result, const char* section, int32_t code)
{
    if (code != PSW_SUCCESS) {
        result.problems.push_back(
            {CheckState::unknown, std::string(section) + " not read: " + psw_result_meaning(code) +
                                      " (" + std::to_string(code) + ")"});
    }
}

}  // namespace

const char* check_state_name(CheckState state)
{
    switch (state) {
        case CheckState::ok: return "OK";
        case CheckState::warning: return "WARNING";
        case CheckState::critical: return "CRITICAL";
        case CheckState::unknown: return "UNKNOWN";
    }
    return "UNKNOWN";
}

CheckState worse(CheckState a, CheckState b)
{
    return rank(a) >= rank(b) ? a : b;
}

std::string supply_type_key(int32_t type)
{
    std::string key = supply_type_name(type);
    std::replace(key.begin(), key.end(), ' ', '-');
    return key;
}

bool valid_thresholds(const Thresholds& thresholds, std::string* error)
{
    if (thresholds.critical > thresholds.warning) {
        *error = "the critical percentage (" + std::to_string(thresholds.critical) +
                 ") is above the warning percentage (" + std::to_string(thresholds.warning) + ")";
        return false;
    }
    return true;
}

bool parse_type_threshold(const std::string& text, CheckSettings* settings, std::string* error)
{
    const size_t equals = text.find('=');
    const size_t comma = text.find(',', equals == std::string::npos ? 0 : equals);
    if (equals == std::string::npos || comma == std::string::npos) {
        *error =
            "--supply-threshold takes TYPE=WARN,CRIT (e.g. waste-toner=30,15), not '" + text + "'";
        return false;
    }
    const std::string type = lower(text.substr(0, equals));
    bool known = false;
    for (int32_t code = 1; code <= 40 && !known; ++code) {
        known = supply_type_key(code) == type;
    }
    if (!known) {
        *error = "unknown supply type '" + type +
                 "' (types as 'psw status' names them, spaces as '-': toner, waste-toner, "
                 "photoconductor, ...)";
        return false;
    }
    const auto warning = parse_uint(text.substr(equals + 1, comma - equals - 1), 0, 100);
    const auto critical = parse_uint(text.substr(comma + 1), 0, 100);
    if (!warning || !critical) {
        *error = "--supply-threshold takes percentages from 0 to 100, not '" + text + "'";
        return false;
    }
    const Thresholds thresholds{static_cast<int>(*warning), static_cast<int>(*critical)};
    if (!valid_thresholds(thresholds, error)) {
        return false;
    }
    settings->by_type[type] = thresholds;
    return true;
}

CheckResult evaluate_check(const PrinterSnapshot& snapshot, const std::string& shown,
                           const CheckSettings& settings)
{
    CheckResult result;
    if (!snapshot.answered()) {
        result.state = CheckState::unknown;
        result.summary = snapshot.failure;
        return result;
    }
    size_t supplies_judged = 0;
    for (const PSWSupplyInfo& supply : snapshot.supplies.rows) {
        const std::string label = supply_label(supply);
        if (supply.percent < 0 || excluded(settings, label)) {
            continue;  // no percentage to judge ("some remaining", unknown), or left out
        }
        ++supplies_judged;
        const Thresholds& limits = thresholds_for(settings, supply.supply_type);
        result.perfdata.push_back({unique_label(result.perfdata, label), supply.percent,
                                   std::to_string(limits.warning) + ":",
                                   std::to_string(limits.critical) + ":"});
        if (supply.percent < limits.critical) {
            result.problems.push_back(
                {CheckState::critical, label + " at " + std::to_string(supply.percent) +
                                           "% (critical below " + std::to_string(limits.critical) +
                                           "%)"});
        } else if (supply.percent < limits.warning) {
            result.problems.push_back(
                {CheckState::warning, label + " at " + std::to_string(supply.percent) +
                                          "% (warning below " + std::to_string(limits.warning) +
                                          "%)"});
        }
    }
    size_t trays_judged = 0;
    for (size_t i = 0; i < snapshot.inputs.rows.size(); ++i) {
        const PSWInputTrayInfo& tray = snapshot.inputs.rows[i];
        const std::string label = tray_label(tray, i + 1);
        if (excluded(settings, label)) {
            continue;
        }
        ++trays_judged;
        const auto percent = level_percent(tray.current_level, tray.max_capacity);
        if (percent) {
            result.perfdata.push_back({unique_label(result.perfdata, label), *percent,
                                       std::to_string(settings.tray_low) + ":", ""});
        }
        if (tray.current_level == 0) {
            result.problems.push_back({CheckState::warning, label + " empty"});
        } else if (percent && *percent < settings.tray_low) {
            result.problems.push_back(
                {CheckState::warning, label + " low (" + std::to_string(*percent) + "%)"});
        }
    }
    for (const std::string& name : detected_error_names(snapshot.printer.detected_error_state)) {
        if (name == "inputTrayEmpty" || excluded_exactly(settings, name)) {
            continue;
        }
        result.problems.push_back(
            {critical_error(name) ? CheckState::critical : CheckState::warning,
             "printer reports " + name});
    }
    for (const PSWAlertInfo& alert : snapshot.alerts.rows) {
        std::string text = field_text(alert.description);
        if (text.empty()) {
            text = alert_code_name(alert.code);
        }
        if (excluded(settings, text)) {
            continue;
        }
        if (alert.severity_level == 3) {
            result.problems.push_back({CheckState::critical, "critical alert: " + text});
        } else if (alert.severity_level == 4 || alert.severity_level == 5) {
            result.problems.push_back({CheckState::warning, "warning alert: " + text});
        }
    }
    section_problem(result, "supplies", snapshot.supplies.code);
    section_problem(result, "input trays", snapshot.inputs.code);
    section_problem(result, "alerts", snapshot.alerts.code);

    std::stable_sort(
        result.problems.begin(), result.problems.end(),
        [](const CheckProblem& a, const CheckProblem& b) { return rank(a.state) > rank(b.state); });
    for (const CheckProblem& problem : result.problems) {
        result.state = worse(result.state, problem.state);
    }
    if (result.problems.empty()) {
        result.summary = shown + ": " + printer_status_name(snapshot.printer.printer_status) +
                         ", " + std::to_string(supplies_judged) + " supplies and " +
                         std::to_string(trays_judged) + " trays ok";
    } else {
        result.summary = shown + ": ";
        for (size_t i = 0; i < result.problems.size(); ++i) {
            result.summary += (i == 0 ? "" : ", ") + result.problems[i].text;
        }
    }
    return result;
}

std::string perf_text(const PerfDatum& datum)
{
    std::string label;
    for (char c : datum.label) {
        if (c == '\'') {
            label += "''";
        } else if (c == '=' || c == '|' || static_cast<unsigned char>(c) < 0x20) {
            label += '_';
        } else {
            label += c;
        }
    }
    return "'" + label + "'=" + std::to_string(datum.value) + "%;" + datum.warning + ";" +
           datum.critical + ";0;100";
}

std::string check_line(const CheckResult& result)
{
    std::string summary = result.summary;
    std::replace(summary.begin(), summary.end(), '|', '/');  // '|' starts the performance data
    std::replace(summary.begin(), summary.end(), '\n', ' ');
    std::string line = std::string("PRINTER ") + check_state_name(result.state) + " - " + summary;
    if (!result.perfdata.empty()) {
        line += " |";
        for (const PerfDatum& datum : result.perfdata) {
            line += " " + perf_text(datum);
        }
    }
    return line;
}

}  // namespace psw::cli
