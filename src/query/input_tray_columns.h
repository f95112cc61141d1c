// The prtInputTable columns both input tray queries walk, in record order.
#pragma once

#include <cstddef>

#include "query/mib_objects.h"

namespace psw {

inline constexpr const char* kInputTrayColumns[] = {
    mib::kPrtInputType,
    mib::kPrtInputDimUnit,
    mib::kPrtInputMediaDimFeedDirDeclared,
    mib::kPrtInputMediaDimXFeedDirDeclared,
    mib::kPrtInputMediaDimFeedDirChosen,
    mib::kPrtInputMediaDimXFeedDirChosen,
    mib::kPrtInputCapacityUnit,
    mib::kPrtInputMaxCapacity,
    mib::kPrtInputCurrentLevel,
    mib::kPrtInputStatus,
    mib::kPrtInputMediaName,
    mib::kPrtInputName,
    mib::kPrtInputDescription,
    mib::kPrtInputMediaType,
    mib::kPrtInputMediaColor,
};
inline constexpr size_t kInputTrayColumnCount =
    sizeof kInputTrayColumns / sizeof *kInputTrayColumns;

// The private extension column, one value per tray in tray order.
inline constexpr char kInputTrayExtensionColumn[] = "1.3.6.1.4.1.297.2.9999.43.8.2.1.2";

}  // namespace psw
