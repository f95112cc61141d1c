// Every name the generic option set answers, by the type of its value: text, number, flag.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>

namespace psw::test {

inline constexpr const char* kTextOptionNames[] = {"PrinterRomVersion",    "SysName",
                                                   "NetWareSAPUnitName",   "InputTrayName",
                                                   "InputTrayDescription", "InputTrayMediaType",
                                                   "OutputTrayName"};
inline constexpr const char* kNumberOptionNames[] = {"MemorySizeInKByte",
                                                     "MemorySizeInMByte",
                                                     "FAXMaxSpeedDial",
                                                     "FAXType",
                                                     "NumberOfInputTray",
                                                     "InputTrayIndex",
                                                     "InputTrayType",
                                                     "InputTrayMaxCapacityInSheets",
                                                     "InputTrayCurrentLevelInPercent",
                                                     "InputTrayMediaSize",
                                                     "InputTrayMediaDirection",
                                                     "InputTrayMediaDimFeedDirChosen",
                                                     "InputTrayMediaDimXFeedDirChosen",
                                                     "NumberOfOutputTray",
                                                     "PrinterRomVersionMajor",
                                                     "PrinterRomVersionMinor",
                                                     "PrinterRomVersionRevision",
                                                     "FAXSIPStatus",
                                                     "PaperSizeGroupSetting",
                                                     "PaperSize8KSetting",
                                                     "PrintLimitedColorSetting",
                                                     "UserPromptSetting",
                                                     "MinPasswordLength"};
inline constexpr const char* kFlagOptionNames[] = {"Scanner",
                                                   "Copier",
                                                   "FAXUnit",
                                                   "HardDisk",
                                                   "DuplexModule",
                                                   "OffsetCatch",
                                                   "InTrayMSI",
                                                   "InTrayExistHCF",
                                                   "InTrayExistHCF2",
                                                   "InTrayExistTTM",
                                                   "InTrayExistHCFA3",
                                                   "InTrayExistHCFPF35",
                                                   "InTrayExistHCFPF32",
                                                   "InTrayExistHCFPF31",
                                                   "OutputOffsetStacking",
                                                   "FAXISDNG4Kit",
                                                   "FAXLineSwitchKit"};

// All of them: texts, then numbers, then flags.
inline constexpr auto kAllOptionNames = [] {
    std::array<const char*, std::size(kTextOptionNames) + std::size(kNumberOptionNames) +
                                std::size(kFlagOptionNames)>
        all{};
    size_t at = 0;
    for (const char* name : kTextOptionNames) {
        all[at++] = name;
    }
    for (const char* name : kNumberOptionNames) {
        all[at++] = name;
    }
    for (const char* name : kFlagOptionNames) {
        all[at++] = name;
    }
    return all;
}();

}  // namespace psw::test
