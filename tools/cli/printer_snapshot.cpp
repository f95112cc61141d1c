#include "cli/printer_snapshot.h"

#include "cli/mib_names.h"

namespace psw::cli {

std::string supply_label(const PSWSupplyInfo& supply)
{
    std::string label = field_text(supply.description);
    if (label.empty()) {
        label = supply_type_name(supply.supply_type) + " " + std::to_string(supply.supply_index);
    }
    return label;
}

std::string tray_label(const PSWInputTrayInfo& tray, size_t position)
{
    std::string label = field_text(tray.name);
    if (label.empty()) {
        label = field_text(tray.description);
    }
    if (label.empty()) {
        label = "tray " + std::to_string(position);
    }
    return label;
}

}  // namespace psw::cli
