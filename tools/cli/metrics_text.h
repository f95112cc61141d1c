// A printer reading in the Prometheus text exposition format (version 0.0.4): the metrics of
// `psw exporter`, named by Prometheus' conventions (psw_ prefix, base units, ratios rather
// than percentages, _total for counters).
#pragma once

#include <string>

#include "cli/printer_snapshot.h"

namespace psw::cli {

// The text for one scrape: psw_up, psw_scrape_duration_seconds and, when the printer answered,
// its status, error conditions, identity, supplies, input trays, alerts and page counters.
std::string metrics_text(const PrinterSnapshot& snapshot, double scrape_seconds);

// A label value escaped for the text format (\\, \", \n), made valid UTF-8 first.
std::string label_value(const std::string& bytes);

}  // namespace psw::cli
