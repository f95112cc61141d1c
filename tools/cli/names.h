// Words for the numbers that printers report (Host Resources and Printer MIB enumerations and
// bit masks), levels and sizes as text, and psw's one-line failure messages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "psw/psw_records.h"

namespace psw::cli {

// hrPrinterStatus: "other", "unknown", "idle", "printing", "warmup"; else "status N".
std::string printer_status_name(int32_t status);
// The names of the bits set in hrPrinterDetectedErrorState (bit 0 is the high bit of the first
// octet): "lowPaper", "noPaper", ... "overduePreventMaint"; a bit without a name is "bitN".
std::vector<std::string> detected_error_names(const uint8_t state[4]);

// PrtSubUnitStatusTC (prtInputStatus, prtOutputStatus): availability, then the conditions,
// e.g. "idle", "busy, critical alert, offline".
std::string subunit_status_text(int32_t status);

// The Printer MIB's special quantities: -1 "other", -2 "unknown", -3 "some remaining"; nullopt
// for values of 0 or more and for other negative values.
std::optional<std::string> special_quantity_word(int32_t value);
// A quantity as text: the number, its special word, or "invalid (N)" for other negatives.
std::string quantity_text(int32_t value);
// level * 100 / capacity rounded to the nearest whole, clamped to 0..100, when both are known
// (level >= 0, capacity > 0); nullopt otherwise.
std::optional<int> level_percent(int32_t level, int32_t capacity);
// A bar of `width` cells for a percentage: "[#####.....]".
std::string level_bar(int percent, int width = 10);
// A percentage and its bar, the number right-aligned in four columns: " 75% [########..]".
std::string percent_text(int percent);
// A level for a table: " 75% [########..]" when a percentage exists, otherwise the level's word
// ("some remaining", "unknown", "other") or its number.
std::string level_text(int32_t level, int32_t capacity);

// A media size from prtInputDimUnit and the feed and cross-feed dimensions: a standard name
// ("A4", "Letter", ...) when one fits within 2 mm, otherwise "210x297 mm" or "8.5x11 in";
// "unknown" when a dimension or the unit is not usable.
std::string media_size_text(int32_t unit, int32_t feed, int32_t cross_feed);

std::string input_type_name(int32_t type);      // prtInputTypeTC
std::string output_type_name(int32_t type);     // prtOutputTypeTC
std::string supply_unit_name(int32_t unit);     // prtMarkerSuppliesSupplyUnitTC
std::string capacity_unit_name(int32_t unit);   // prtCapacityUnitTC
std::string alert_severity_name(int32_t level); // prtAlertSeverityLevelTC
std::string alert_group_name(int32_t group);    // prtAlertGroupTC
std::string alert_code_name(int32_t code);      // prtAlertCodeTC
std::string storage_type_name(int32_t type);    // PSW_STORAGE_... codes
std::string device_type_name(int32_t type);     // last arc of hrDeviceType
std::string device_status_name(int32_t status); // hrDeviceStatus
std::string supply_type_name(int32_t type);     // prtMarkerSuppliesTypeTC
std::string supply_class_name(int32_t type);    // prtMarkerSuppliesClassTC
std::string counter_unit_name(int32_t unit);    // prtMarkerCounterUnitTC
std::string job_state_name(int32_t state);      // job states of the printer's job table
std::string job_type_name(int32_t type);        // job type codes of PSWJobInfo
// sysUpTime (hundredths of a second) as "12 days 03:04:05".
std::string uptime_text(uint32_t hundredths);
// Bytes as "512 B", "4.0 KiB", "256.0 MiB", "2.3 GiB".
std::string bytes_text(uint64_t bytes);
// "2007-03-15 10:20:30"; "-" for an all-zero date.
std::string date_text(const PSWDateTime& date);
// "all", "active", "done" → the PSW_JOB_KIND_... value, else nullopt.
std::optional<uint32_t> job_kind_of(const std::string& word);

// The one line psw prints for a failed call (without "psw: "): the time-out names the address
// and the wait, "no answer from 10.0.0.5 within 2000 ms (-203)"; other codes give
// "<context>: <meaning> (<code>)".
std::string failure_text(const std::string& context, int32_t code, const std::string& address,
                         uint32_t timeout_ms);

}  // namespace psw::cli
