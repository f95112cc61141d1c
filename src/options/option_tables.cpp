// The option names the generic option set answers, by value type.
#include "options/option_lookup.h"
#include "psw/psw_options.h"

namespace psw {

namespace {

// hrDeviceIndex values of the printer's components.
constexpr int32_t kDeviceHardDisk = 11;
constexpr int32_t kDeviceScanner = 102;
constexpr int32_t kDeviceCopier = 103;
constexpr int32_t kDeviceFaxUnit = 104;
constexpr int32_t kDeviceHcf = 107;
constexpr int32_t kDeviceHcf2 = 133;
constexpr int32_t kDeviceTtm = 135;
constexpr int32_t kDeviceHcfA3 = 136;
constexpr int32_t kDeviceFaxSip = 141;
constexpr int32_t kDeviceHcfPf32 = 163;
constexpr int32_t kDeviceHcfPf35 = 167;
constexpr int32_t kDeviceHcfPf31 = 169;

constexpr int32_t kOffsetStackingOn = 3;
constexpr int32_t kKilobytesPerMegabyte = 1024;

}  // namespace

bool CPSWDevCommOption::has_device_index(int32_t deviceIndex, int32_t* status) const noexcept
{
    for (int32_t i = 0; i < m_deviceCount && i < kMaxDevices; ++i) {
        if (m_devices[i].deviceIndex == deviceIndex) {
            if (status != nullptr) {
                *status = m_devices[i].status;
            }
            return true;
        }
    }
    return false;
}

int32_t CPSWDevCommOption::get_option(const char* name, const char** value,
                                      int32_t index) const noexcept
{
    if (name == nullptr || value == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    using Self = CPSWDevCommOption;
    using Row = OptionRow<Self, const char*>;
    using In = Self::InputTrayEntry;
    using Out = Self::OutputTrayEntry;
    static constexpr Row kRows[] = {
        {"PrinterRomVersion", OptionIndexing::kNone, read_member<&Self::m_romVersion>},
        {"SysName", OptionIndexing::kNone, read_member<&Self::m_sysName>},
        {"NetWareSAPUnitName", OptionIndexing::kNone, read_member<&Self::m_sapUnitName>},
        {"InputTrayName", OptionIndexing::kInputTray, read_tray<&Self::m_inputTrays, &In::name>},
        {"InputTrayDescription", OptionIndexing::kInputTray,
         read_tray<&Self::m_inputTrays, &In::description>},
        {"InputTrayMediaType", OptionIndexing::kInputTray,
         read_tray<&Self::m_inputTrays, &In::mediaType>},
        {"OutputTrayName", OptionIndexing::kOutputTray,
         read_tray<&Self::m_outputTrays, &Out::name>},
    };
    return answer_option_row(kRows, name, index, m_inputTrayCount, m_outputTrayCount, value,
                             [&](const Row& row) { return row.read(*this, index); });
}

int32_t CPSWDevCommOption::get_option(const char* name, uint32_t* value, int32_t) const noexcept
{
    return name == nullptr || value == nullptr ? PSW_ERR_PARAMETER : PSW_ERR_UNSUPPORTED;
}

int32_t CPSWDevCommOption::get_option(const char* name, int32_t* value,
                                      int32_t index) const noexcept
{
    if (name == nullptr || value == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    using Self = CPSWDevCommOption;
    using Row = OptionRow<Self, int32_t>;
    using In = Self::InputTrayEntry;
    static constexpr Row kRows[] = {
        {"MemorySizeInKByte", OptionIndexing::kNone, read_member<&Self::m_memorySizeKB>},
        {"MemorySizeInMByte", OptionIndexing::kNone,
         [](const Self& s, int32_t) { return s.m_memorySizeKB / kKilobytesPerMegabyte; }},
        {"FAXMaxSpeedDial", OptionIndexing::kNone, read_member<&Self::m_faxMaxSpeedDial>},
        {"FAXType", OptionIndexing::kNone, read_member<&Self::m_faxType>},
        {"NumberOfInputTray", OptionIndexing::kNone, read_member<&Self::m_inputTrayCount>},
        {"InputTrayIndex", OptionIndexing::kInputTray,
         read_tray<&Self::m_inputTrays, &In::position>},
        {"InputTrayType", OptionIndexing::kInputTray, read_tray<&Self::m_inputTrays, &In::type>},
        {"InputTrayMaxCapacityInSheets", OptionIndexing::kInputTray,
         read_tray<&Self::m_inputTrays, &In::maxCapacity>},
        {"InputTrayCurrentLevelInPercent", OptionIndexing::kInputTray,
         read_tray<&Self::m_inputTrays, &In::levelPercent>},
        {"InputTrayMediaSize", OptionIndexing::kInputTray,
         read_tray<&Self::m_inputTrays, &In::mediaSize>},
        {"InputTrayMediaDirection", OptionIndexing::kInputTray,
         read_tray<&Self::m_inputTrays, &In::mediaDirection>},
        {"InputTrayMediaDimFeedDirChosen", OptionIndexing::kInputTray,
         read_tray<&Self::m_inputTrays, &In::dimFeedChosen>},
        {"InputTrayMediaDimXFeedDirChosen", OptionIndexing::kInputTray,
         read_tray<&Self::m_inputTrays, &In::dimXFeedChosen>},
        {"NumberOfOutputTray", OptionIndexing::kNone, read_member<&Self::m_outputTrayCount>},
        {"PrinterRomVersionMajor", OptionIndexing::kNone, read_member<&Self::m_romVersionMajor>},
        {"PrinterRomVersionMinor", OptionIndexing::kNone, read_member<&Self::m_romVersionMinor>},
        {"PrinterRomVersionRevision", OptionIndexing::kNone,
         read_member<&Self::m_romVersionRevision>},
        {"FAXSIPStatus", OptionIndexing::kNone,
         [](const Self& s, int32_t) {
             int32_t status = 0;
             return s.has_device_index(kDeviceFaxSip, &status) ? status : 0;
         }},
        {"PaperSizeGroupSetting", OptionIndexing::kNone,
         read_member<&Self::m_paperSizeGroupSetting>},
        {"PaperSize8KSetting", OptionIndexing::kNone, read_member<&Self::m_paperSize8KSetting>},
        {"PrintLimitedColorSetting", OptionIndexing::kNone,
         read_member<&Self::m_printLimitedColorSetting>},
        {"UserPromptSetting", OptionIndexing::kNone, read_member<&Self::m_userPromptSetting>},
        {"MinPasswordLength", OptionIndexing::kNone, read_member<&Self::m_minPasswordLength>},
    };
    return answer_option_row(kRows, name, index, m_inputTrayCount, m_outputTrayCount, value,
                             [&](const Row& row) { return row.read(*this, index); });
}

int32_t CPSWDevCommOption::get_option(const char* name, bool* value, int32_t index) const noexcept
{
    if (name == nullptr || value == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    using Self = CPSWDevCommOption;
    struct Row {
        const char* name;
        OptionIndexing indexing;
        // A device index answered by its presence, or 0 for an answer of `read`.
        int32_t deviceIndex;
        bool (*read)(const Self& self, int32_t index);
    };
    static constexpr Row kRows[] = {
        {"Scanner", OptionIndexing::kNone, kDeviceScanner, nullptr},
        {"Copier", OptionIndexing::kNone, kDeviceCopier, nullptr},
        {"FAXUnit", OptionIndexing::kNone, kDeviceFaxUnit, nullptr},
        {"HardDisk", OptionIndexing::kNone, kDeviceHardDisk, nullptr},
        {"DuplexModule", OptionIndexing::kNone, 0, read_member<&Self::m_duplexModule>},
        {"OffsetCatch", OptionIndexing::kNone, 0, read_member<&Self::m_offsetCatch>},
        {"InTrayMSI", OptionIndexing::kNone, 0, read_member<&Self::m_manualSheetInserter>},
        {"InTrayExistHCF", OptionIndexing::kNone, kDeviceHcf, nullptr},
        {"InTrayExistHCF2", OptionIndexing::kNone, kDeviceHcf2, nullptr},
        {"InTrayExistTTM", OptionIndexing::kNone, kDeviceTtm, nullptr},
        {"InTrayExistHCFA3", OptionIndexing::kNone, kDeviceHcfA3, nullptr},
        {"InTrayExistHCFPF35", OptionIndexing::kNone, kDeviceHcfPf35, nullptr},
        {"InTrayExistHCFPF32", OptionIndexing::kNone, kDeviceHcfPf32, nullptr},
        {"InTrayExistHCFPF31", OptionIndexing::kNone, kDeviceHcfPf31, nullptr},
        {"OutputOffsetStacking", OptionIndexing::kOutputTray, 0,
         [](const Self& s, int32_t i) {
             return s.m_outputTrays[i].offsetStacking == kOffsetStackingOn;
         }},
        {"FAXISDNG4Kit", OptionIndexing::kNone, 0, read_member<&Self::m_isdnG4Kit>},
        {"FAXLineSwitchKit", OptionIndexing::kNone, 0, read_member<&Self::m_lineSwitchKit>},
    };
    return answer_option_row(
        kRows, name, index, m_inputTrayCount, m_outputTrayCount, value, [&](const Row& row) {
            return row.read != nullptr ? row.read(*this, index)
                                       : has_device_index(row.deviceIndex, nullptr);
        });
}

}  // namespace psw
