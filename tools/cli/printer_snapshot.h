// One reading of a printer for monitoring: its status, who it is, supplies, input trays and
// alerts, as `psw check`, the exporter's metrics and its status page use them. Reading it needs
// the library (printer_read.h); judging and writing it does not.
#pragma once

#include <cstdint>
#include <string>

#include "cli/records.h"
#include "psw/psw.h"

namespace psw::cli {

struct PrinterSnapshot {
    std::string address;         // the numeric address that was read
    int32_t code = PSW_SUCCESS;  // the printer status read; anything else: nothing was read
    std::string failure;         // the one-line reason when code is not PSW_SUCCESS
    PSWPrinterInfo printer{};
    int32_t identity_code = PSW_SUCCESS;
    PSWIdentityInfo identity{};
    RecordTable<PSWSupplyInfo> supplies;
    RecordTable<PSWInputTrayInfo> inputs;
    RecordTable<PSWAlertInfo> alerts;
    double seconds = 0;  // how long the reading took

    bool answered() const { return code == PSW_SUCCESS; }
};

// A supply's name for people and labels: its description, else "<type> <index>".
std::string supply_label(const PSWSupplyInfo& supply);
// An input tray's name: prtInputName, else its description, else "tray <position>" (1-based).
std::string tray_label(const PSWInputTrayInfo& tray, size_t position);

}  // namespace psw::cli
