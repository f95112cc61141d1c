// Words for the numbers that printers report: Host Resources and Printer MIB enumerations and
// bit masks, and the job table's codes. A value without a word reads "<what> N".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
std::string input_type_name(int32_t type);       // prtInputTypeTC
std::string output_type_name(int32_t type);      // prtOutputTypeTC
std::string supply_unit_name(int32_t unit);      // prtMarkerSuppliesSupplyUnitTC
std::string capacity_unit_name(int32_t unit);    // prtCapacityUnitTC
std::string alert_severity_name(int32_t level);  // prtAlertSeverityLevelTC
std::string alert_group_name(int32_t group);     // prtAlertGroupTC
std::string alert_code_name(int32_t code);       // prtAlertCodeTC
std::string storage_type_name(int32_t type);     // PSW_STORAGE_... codes
std::string device_type_name(int32_t type);      // last arc of hrDeviceType
std::string device_status_name(int32_t status);  // hrDeviceStatus
std::string supply_type_name(int32_t type);      // prtMarkerSuppliesTypeTC
std::string supply_class_name(int32_t type);     // prtMarkerSuppliesClassTC
std::string counter_unit_name(int32_t unit);     // prtMarkerCounterUnitTC
std::string job_state_name(int32_t state);       // job states of the printer's job table
std::string job_type_name(int32_t type);         // job type codes of PSWJobInfo
// sysUpTime (hundredths of a second) as "12 days 03:04:05".
std::string uptime_text(uint32_t hundredths);

}  // namespace psw::cli
