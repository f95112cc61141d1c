// The prtInputTable columns both input tray queries walk, in record order.
#pragma once

#include <cstddef>

namespace psw {

inline constexpr const char* kInputTrayColumns[] = {
    "1.3.6.1.2.1.43.8.2.1.2",   // prtInputType
    "1.3.6.1.2.1.43.8.2.1.3",   // prtInputDimUnit
    "1.3.6.1.2.1.43.8.2.1.4",   // prtInputMediaDimFeedDirDeclared
    "1.3.6.1.2.1.43.8.2.1.5",   // prtInputMediaDimXFeedDirDeclared
    "1.3.6.1.2.1.43.8.2.1.6",   // prtInputMediaDimFeedDirChosen
    "1.3.6.1.2.1.43.8.2.1.7",   // prtInputMediaDimXFeedDirChosen
    "1.3.6.1.2.1.43.8.2.1.8",   // prtInputCapacityUnit
    "1.3.6.1.2.1.43.8.2.1.9",   // prtInputMaxCapacity
    "1.3.6.1.2.1.43.8.2.1.10",  // prtInputCurrentLevel
    "1.3.6.1.2.1.43.8.2.1.11",  // prtInputStatus
    "1.3.6.1.2.1.43.8.2.1.12",  // prtInputMediaName
    "1.3.6.1.2.1.43.8.2.1.13",  // prtInputName
    "1.3.6.1.2.1.43.8.2.1.18",  // prtInputDescription
    "1.3.6.1.2.1.43.8.2.1.21",  // prtInputMediaType
    "1.3.6.1.2.1.43.8.2.1.22",  // prtInputMediaColor
};
inline constexpr size_t kInputTrayColumnCount = sizeof kInputTrayColumns / sizeof *kInputTrayColumns;

// The private extension column, one value per tray in tray order.
inline constexpr char kInputTrayExtensionColumn[] = "1.3.6.1.4.1.297.2.9999.43.8.2.1.2";

}  // namespace psw
