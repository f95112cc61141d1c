#include "cli/option_names.h"

namespace psw::cli {

const std::vector<OptionName>& known_options()
{
    using T = OptionType;
    using I = OptionIndex;
    static const std::vector<OptionName> options = {
        {"SysName", T::text, I::none},
        {"PrinterRomVersion", T::text, I::none},
        {"PrinterRomVersionMajor", T::integer, I::none},
        {"PrinterRomVersionMinor", T::integer, I::none},
        {"PrinterRomVersionRevision", T::integer, I::none},
        {"NetWareSAPUnitName", T::text, I::none},
        {"MemorySizeInKByte", T::integer, I::none},
        {"MemorySizeInMByte", T::integer, I::none},
        {"Scanner", T::boolean, I::none},
        {"Copier", T::boolean, I::none},
        {"FAXUnit", T::boolean, I::none},
        {"HardDisk", T::boolean, I::none},
        {"DuplexModule", T::boolean, I::none},
        {"OffsetCatch", T::boolean, I::none},
        {"InTrayMSI", T::boolean, I::none},
        {"InTrayExistHCF", T::boolean, I::none},
        {"InTrayExistHCF2", T::boolean, I::none},
        {"InTrayExistTTM", T::boolean, I::none},
        {"InTrayExistHCFA3", T::boolean, I::none},
        {"InTrayExistHCFPF35", T::boolean, I::none},
        {"InTrayExistHCFPF32", T::boolean, I::none},
        {"InTrayExistHCFPF31", T::boolean, I::none},
        {"FAXISDNG4Kit", T::boolean, I::none},
        {"FAXLineSwitchKit", T::boolean, I::none},
        {"FAXMaxSpeedDial", T::integer, I::none},
        {"FAXType", T::integer, I::none},
        {"FAXSIPStatus", T::integer, I::none},
        {"PaperSizeGroupSetting", T::integer, I::none},
        {"PaperSize8KSetting", T::integer, I::none},
        {"PrintLimitedColorSetting", T::integer, I::none},
        {"UserPromptSetting", T::integer, I::none},
        {"MinPasswordLength", T::integer, I::none},
        {"NumberOfInputTray", T::integer, I::none},
        {"InputTrayIndex", T::integer, I::input_tray},
        {"InputTrayName", T::text, I::input_tray},
        {"InputTrayDescription", T::text, I::input_tray},
        {"InputTrayMediaType", T::text, I::input_tray},
        {"InputTrayType", T::integer, I::input_tray},
        {"InputTrayMaxCapacityInSheets", T::integer, I::input_tray},
        {"InputTrayCurrentLevelInPercent", T::integer, I::input_tray},
        {"InputTrayMediaSize", T::integer, I::input_tray},
        {"InputTrayMediaDirection", T::integer, I::input_tray},
        {"InputTrayMediaDimFeedDirChosen", T::integer, I::input_tray},
        {"InputTrayMediaDimXFeedDirChosen", T::integer, I::input_tray},
        {"NumberOfOutputTray", T::integer, I::none},
        {"OutputTrayName", T::text, I::output_tray},
        {"OutputOffsetStacking", T::boolean, I::output_tray},
    };
    return options;
}

const OptionName* find_option(const std::string& name)
{
    for (const OptionName& option : known_options()) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

const char* option_type_name(OptionType type)
{
    switch (type) {
    case OptionType::text: return "text";
    case OptionType::integer: return "integer";
    case OptionType::boolean: return "boolean";
    }
    return "unknown";
}

}  // namespace psw::cli
