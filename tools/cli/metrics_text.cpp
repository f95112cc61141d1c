#include "cli/metrics_text.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "cli/check_rules.h"
#include "cli/json_output.h"
#include "cli/mib_names.h"
#include "cli/text_format.h"

namespace psw::cli {

namespace {

using Labels = std::vector<std::pair<std::string, std::string>>;

// One metric family: its HELP and TYPE lines, then its samples.
class Family {
public:
    Family(std::string& out, const std::string& name, const char* type, const char* help)
        : out_(out),
          name_(name)
    {
        out_ += "# HELP " + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
    }
    void sample(const Labels& labels, double value)
    {
        out_ += name_;
        if (!labels.empty()) {
            out_ += "{";
            for (size_t i = 0; i < labels.size(); ++i) {
                out_ += (i == 0 ? "" : ",") + labels[i].first + "=\"" +
                        label_value(labels[i].second) + "\"";
            }
            out_ += "}";
        }
        char number[32];
        std::snprintf(number, sizeof number, " %.15g\n", value);
        out_ += number;
    }

private:
    std::string& out_;
    std::string name_;
};

Labels supply_labels(const PSWSupplyInfo& supply)
{
    return {{"index", std::to_string(supply.supply_index)},
            {"description", supply_label(supply)},
            {"type", supply_type_key(supply.supply_type)},
            {"colorant", field_text(supply.colorant)},
            {"unit", supply_unit_name(supply.supply_unit)}};
}

Labels tray_labels(const PSWInputTrayInfo& tray, size_t position)
{
    return {{"tray", std::to_string(position)},
            {"name", tray_label(tray, position)},
            {"media", field_text(tray.media_name)}};
}

}  // namespace

std::string label_value(const std::string& bytes)
{
    std::string out;
    for (char c : json_text(bytes)) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string metrics_text(const PrinterSnapshot& snapshot, double scrape_seconds)
{
    std::string out;
    Family(out, "psw_up", "gauge", "1 when the printer answered the scrape, else 0")
        .sample({}, snapshot.answered() ? 1 : 0);
    Family(out, "psw_scrape_duration_seconds", "gauge", "Time the scrape of the printer took")
        .sample({}, scrape_seconds);
    if (!snapshot.answered()) {
        return out;
    }
    Family(out, "psw_printer_status", "gauge",
           "hrPrinterStatus: 1 other, 2 unknown, 3 idle, 4 printing, 5 warmup")
        .sample({{"status", printer_status_name(snapshot.printer.printer_status)}},
                snapshot.printer.printer_status);
    {
        Family errors(out, "psw_printer_error", "gauge",
                      "1 when hrPrinterDetectedErrorState reports the condition, else 0");
        for (size_t bit = 0; bit < 15; ++bit) {
            uint8_t one[4] = {};
            one[bit / 8] = static_cast<uint8_t>(0x80u >> (bit % 8));
            const std::string name = detected_error_names(one).front();
            const uint8_t set = snapshot.printer.detected_error_state[bit / 8] & one[bit / 8];
            errors.sample({{"condition", name}}, set != 0 ? 1 : 0);
        }
    }
    if (snapshot.identity_code == PSW_SUCCESS) {
        const PSWIdentityInfo& identity = snapshot.identity;
        Family(out, "psw_printer_info", "gauge", "Who the printer is; always 1")
            .sample({{"model", field_text(identity.sys_descr)},
                     {"name", field_text(identity.sys_name)},
                     {"location", field_text(identity.sys_location)},
                     {"serial_number", field_text(identity.serial_number)},
                     {"sys_object_id", field_text(identity.sys_object_id)}},
                    1);
        Family(out, "psw_uptime_seconds", "gauge", "sysUpTime of the printer's agent")
            .sample({}, identity.uptime / 100.0);
        Family pages(out, "psw_pages_total", "counter",
                     "prtMarkerLifeCount: what each marker has printed since it was built");
        for (int32_t i = 0; i < identity.marker_count && i < PSW_IDENTITY_MARKERS; ++i) {
            pages.sample({{"marker", std::to_string(i + 1)},
                          {"unit", counter_unit_name(identity.markers[i].counter_unit)}},
                         identity.markers[i].life_count);
        }
    }
    if (snapshot.supplies.ok()) {
        Family level(out, "psw_supply_level", "gauge",
                     "prtMarkerSuppliesLevel in the supply's unit (left out for the Printer "
                     "MIB's special values)");
        for (const PSWSupplyInfo& supply : snapshot.supplies.rows) {
            if (supply.level >= 0) {
                level.sample(supply_labels(supply), supply.level);
            }
        }
        Family capacity(out, "psw_supply_capacity", "gauge",
                        "prtMarkerSuppliesMaxCapacity in the supply's unit (when known)");
        for (const PSWSupplyInfo& supply : snapshot.supplies.rows) {
            if (supply.max_capacity > 0) {
                capacity.sample(supply_labels(supply), supply.max_capacity);
            }
        }
        Family ratio(out, "psw_supply_level_ratio", "gauge",
                     "Level divided by capacity, 0 to 1, to whole percents (when both known)");
        for (const PSWSupplyInfo& supply : snapshot.supplies.rows) {
            if (supply.percent >= 0) {
                ratio.sample(supply_labels(supply), supply.percent / 100.0);
            }
        }
    }
    if (snapshot.inputs.ok()) {
        const auto& trays = snapshot.inputs.rows;
        Family level(out, "psw_input_tray_level", "gauge",
                     "prtInputCurrentLevel in the tray's capacity unit (when known)");
        for (size_t i = 0; i < trays.size(); ++i) {
            if (trays[i].current_level >= 0) {
                level.sample(tray_labels(trays[i], i + 1), trays[i].current_level);
            }
        }
        Family capacity(out, "psw_input_tray_capacity", "gauge",
                        "prtInputMaxCapacity in the tray's capacity unit (when known)");
        for (size_t i = 0; i < trays.size(); ++i) {
            if (trays[i].max_capacity > 0) {
                capacity.sample(tray_labels(trays[i], i + 1), trays[i].max_capacity);
            }
        }
        Family ratio(out, "psw_input_tray_level_ratio", "gauge",
                     "Level divided by capacity, 0 to 1, to whole percents (when both known)");
        for (size_t i = 0; i < trays.size(); ++i) {
            if (auto percent = level_percent(trays[i].current_level, trays[i].max_capacity)) {
                ratio.sample(tray_labels(trays[i], i + 1), *percent / 100.0);
            }
        }
        Family status(out, "psw_input_tray_status", "gauge",
                      "prtInputStatus, a PrtSubUnitStatusTC bit mask (0 available and idle)");
        for (size_t i = 0; i < trays.size(); ++i) {
            status.sample(tray_labels(trays[i], i + 1), trays[i].status);
        }
    }
    if (snapshot.alerts.ok()) {
        const std::pair<int32_t, const char*> severities[] = {
            {1, "other"}, {3, "critical"}, {4, "warning"}, {5, "warning_binary_change"}};
        Family alerts(out, "psw_alerts", "gauge", "Rows of prtAlertTable by severity");
        for (const auto& [code, word] : severities) {
            size_t count = 0;
            for (const PSWAlertInfo& alert : snapshot.alerts.rows) {
                count += alert.severity_level == code ? 1 : 0;
            }
            alerts.sample({{"severity", word}}, static_cast<double>(count));
        }
    }
    return out;
}

}  // namespace psw::cli
