// The status page of `psw exporter`: one plain HTML document (inline CSS, no script) with a card
// per configured printer: its state as `psw check` judges it with the default thresholds,
// supplies as bars, input trays and alerts.
#pragma once

#include <string>
#include <vector>

#include "cli/printer_snapshot.h"

namespace psw::cli {

struct StatusEntry {
    std::string name;     // the printer's name in the configuration
    std::string address;  // as configured
    PrinterSnapshot snapshot;
};

// The page; `footer` is a line of text at its end (when it was made, by what).
std::string status_page_html(const std::vector<StatusEntry>& entries, const std::string& footer);

// Text for HTML element content and attribute values: & < > " ' escaped, valid UTF-8.
std::string html_text(const std::string& bytes);

}  // namespace psw::cli
