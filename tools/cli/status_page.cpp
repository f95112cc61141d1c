#include "cli/status_page.h"

#include "cli/check_rules.h"
#include "cli/json_output.h"
#include "cli/mib_names.h"
#include "cli/text_format.h"

namespace psw::cli {

namespace {

constexpr const char* kStyle = R"(
body { font: 14px/1.4 system-ui, sans-serif; margin: 24px; background: #f4f5f7; color: #1d2733; }
h1 { font-size: 20px; margin: 0 0 16px; }
.grid { display: flex; flex-wrap: wrap; gap: 16px; }
.card { background: #fff; border-radius: 8px; padding: 14px 16px; width: 340px;
        box-shadow: 0 1px 3px rgba(0,0,0,.15); border-top: 5px solid #888; }
.card.OK { border-top-color: #2e9d4f; } .card.WARNING { border-top-color: #e0a106; }
.card.CRITICAL { border-top-color: #d33a2c; } .card.UNKNOWN { border-top-color: #7a7f87; }
.card h2 { font-size: 16px; margin: 0; } .sub { color: #5b6573; font-size: 12px; }
.state { float: right; font-weight: 600; font-size: 12px; padding: 2px 8px; border-radius: 10px;
         color: #fff; background: #7a7f87; }
.state.OK { background: #2e9d4f; } .state.WARNING { background: #e0a106; }
.state.CRITICAL { background: #d33a2c; }
h3 { font-size: 12px; text-transform: uppercase; color: #5b6573; margin: 12px 0 4px; }
table { width: 100%; border-collapse: collapse; } td { padding: 2px 0; vertical-align: middle; }
td.n { width: 42%; } td.p { width: 44px; text-align: right; font-variant-numeric: tabular-nums; }
.bar { height: 10px; background: #e3e6ea; border-radius: 5px; overflow: hidden; }
.bar span { display: block; height: 100%; background: #6b7785; }
.black span { background: #222; } .cyan span { background: #00a7d8; }
.magenta span { background: #d6007e; } .yellow span { background: #f2cc00; }
.low span { box-shadow: inset 0 0 0 2px #d33a2c; }
ul { margin: 0; padding-left: 18px; } li.critical { color: #b02a1f; } li.warning { color: #8a6100; }
.problem { color: #b02a1f; margin-top: 8px; }
footer { margin-top: 20px; color: #5b6573; font-size: 12px; }
)";

std::string bar_row(const std::string& name, std::optional<int> percent, const std::string& word,
                    const std::string& colour, bool low)
{
    std::string row = "<tr><td class=\"n\">" + html_text(name) + "</td><td>";
    if (percent) {
        row += "<div class=\"bar " + html_text(colour) + (low ? " low" : "") +
               "\"><span style=\"width:" + std::to_string(*percent) + "%\"></span></div>";
    }
    row += "</td><td class=\"p\">" + (percent ? std::to_string(*percent) + "%" : html_text(word)) +
           "</td></tr>\n";
    return row;
}

std::string card(const StatusEntry& entry)
{
    const PrinterSnapshot& s = entry.snapshot;
    const CheckResult check = evaluate_check(s, entry.address, CheckSettings{});
    const std::string state = check_state_name(check.state);
    std::string html = "<section class=\"card " + state + "\">\n<span class=\"state " + state +
                       "\">" + state + "</span>\n<h2>" + html_text(entry.name) + "</h2>\n";
    std::string sub = entry.address;
    if (s.answered() && s.identity_code == PSW_SUCCESS) {
        const std::string model = field_text(s.identity.sys_descr);
        const std::string location = field_text(s.identity.sys_location);
        sub += model.empty() ? "" : " · " + model;
        sub += location.empty() ? "" : " · " + location;
    }
    html += "<div class=\"sub\">" + html_text(sub) + "</div>\n";
    if (!s.answered()) {
        return html + "<div class=\"problem\">" + html_text(s.failure) + "</div>\n</section>\n";
    }
    html += "<div class=\"sub\">status " +
            html_text(printer_status_name(s.printer.printer_status)) + "</div>\n";
    html += "<h3>Supplies</h3>\n<table>\n";
    for (const PSWSupplyInfo& supply : s.supplies.rows) {
        const std::optional<int> percent =
            supply.percent >= 0 ? std::optional<int>(supply.percent) : std::nullopt;
        html += bar_row(supply_label(supply), percent,
                        special_quantity_word(supply.level).value_or(quantity_text(supply.level)),
                        field_text(supply.colorant), percent && *percent < 20);
    }
    html += "</table>\n<h3>Input trays</h3>\n<table>\n";
    for (size_t i = 0; i < s.inputs.rows.size(); ++i) {
        const PSWInputTrayInfo& tray = s.inputs.rows[i];
        const auto percent = level_percent(tray.current_level, tray.max_capacity);
        html += bar_row(
            tray_label(tray, i + 1), percent,
            special_quantity_word(tray.current_level).value_or(quantity_text(tray.current_level)),
            "", tray.current_level == 0 || (percent && *percent < 10));
    }
    html += "</table>\n<h3>Alerts</h3>\n";
    if (s.alerts.rows.empty()) {
        html += "<div class=\"sub\">none</div>\n";
    } else {
        html += "<ul>\n";
        for (const PSWAlertInfo& alert : s.alerts.rows) {
            const std::string severity = alert_severity_name(alert.severity_level);
            std::string text = field_text(alert.description);
            if (text.empty()) {
                text = alert_code_name(alert.code);
            }
            html += "<li class=\"" + html_text(severity.substr(0, severity.find(' '))) + "\">" +
                    html_text(severity + ": " + text) + "</li>\n";
        }
        html += "</ul>\n";
    }
    return html + "</section>\n";
}

}  // namespace

std::string html_text(const std::string& bytes)
{
    std::string out;
    for (char c : json_text(bytes)) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string status_page_html(const std::vector<StatusEntry>& entries, const std::string& footer)
{
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta http-equiv=\"refresh\" content=\"60\">\n<title>Printers · psw exporter</title>\n"
        "<style>" +
        std::string(kStyle) + "</style>\n</head>\n<body>\n<h1>Printers</h1>\n";
    if (entries.empty()) {
        html +=
            "<p>No printers are configured: add [printer NAME] sections to the exporter's "
            "configuration file. Metrics of any printer: /metrics?target=ADDRESS</p>\n";
    }
    html += "<div class=\"grid\">\n";
    for (const StatusEntry& entry : entries) {
        html += card(entry);
    }
    return html + "</div>\n<footer>" + html_text(footer) + "</footer>\n</body>\n</html>\n";
}

}  // namespace psw::cli
