#include "cli/mib_names.h"

#include <iterator>

#include "cli/text_format.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

struct Name {
    int32_t value;
    const char* text;
};

template <size_t N>
std::string lookup(const Name (&table)[N], int32_t value, const char* fallback)
{
    if (value < 0) {
        if (auto word = special_quantity_word(value)) {
            return *word;
        }
    }
    for (const Name& name : table) {
        if (name.value == value) {
            return name.text;
        }
    }
    return std::string(fallback) + " " + std::to_string(value);
}

constexpr const char* kErrorBits[] = {
    "lowPaper",
    "noPaper",
    "lowToner",
    "noToner",
    "doorOpen",
    "jammed",
    "offline",
    "serviceRequested",
    "inputTrayMissing",
    "outputTrayMissing",
    "markerSupplyMissing",
    "outputNearFull",
    "outputFull",
    "inputTrayEmpty",
    "overduePreventMaint",
};

constexpr Name kPrinterStatus[] = {
    {1, "other"}, {2, "unknown"}, {3, "idle"}, {4, "printing"}, {5, "warmup"},
};

constexpr Name kInputTypes[] = {
    {1, "other"},       {2, "unknown"},         {3, "removable tray"}, {4, "fixed tray"},
    {5, "manual feed"}, {6, "continuous roll"}, {7, "fan-fold"},
};

constexpr Name kOutputTypes[] = {
    {1, "other"}, {2, "unknown"}, {3, "removable bin"}, {4, "fixed bin"},
    {5, "roll"},  {6, "mailbox"}, {7, "fan-fold"},
};

constexpr Name kSupplyUnits[] = {
    {1, "other"},    {2, "unknown"}, {3, "1/10000 in"}, {4, "micrometers"}, {7, "impressions"},
    {8, "sheets"},   {11, "hours"},  {12, "1/1000 oz"}, {13, "1/10 g"},     {14, "1/100 fl oz"},
    {15, "1/10 ml"}, {16, "feet"},   {17, "meters"},    {18, "items"},      {19, "percent"},
};

constexpr Name kSupplyTypes[] = {
    {1, "other"},
    {2, "unknown"},
    {3, "toner"},
    {4, "waste toner"},
    {5, "ink"},
    {6, "ink cartridge"},
    {7, "ink ribbon"},
    {8, "waste ink"},
    {9, "photoconductor"},
    {10, "developer"},
    {11, "fuser oil"},
    {12, "solid wax"},
    {13, "ribbon wax"},
    {14, "waste wax"},
    {15, "fuser"},
    {16, "corona wire"},
    {17, "fuser oil wick"},
    {18, "cleaner unit"},
    {19, "fuser cleaning pad"},
    {20, "transfer unit"},
    {21, "toner cartridge"},
    {22, "fuser oiler"},
    {23, "water"},
    {24, "waste water"},
    {25, "glue water additive"},
    {26, "waste paper"},
    {27, "binding supply"},
    {28, "banding supply"},
    {29, "stitching wire"},
    {30, "shrink wrap"},
    {31, "paper wrap"},
    {32, "staples"},
    {33, "inserts"},
    {34, "covers"},
};

constexpr Name kSupplyClasses[] = {
    {1, "other"},
    {3, "consumed"},
    {4, "filled"},
};

constexpr Name kCounterUnits[] = {
    {3, "1/10000 in"}, {4, "micrometers"}, {5, "characters"}, {6, "lines"}, {7, "impressions"},
    {8, "sheets"},     {9, "dot rows"},    {11, "hours"},     {16, "feet"}, {17, "meters"},
};

// The standard job states, and the printer's own state of finished jobs.
constexpr Name kJobStates[] = {
    {1, "other"},      {2, "unknown"},
    {3, "pending"},    {4, "held"},
    {5, "processing"}, {6, "stopped"},
    {7, "canceled"},   {8, "aborted"},
    {9, "completed"},  {PSW_JOB_STATE_SEPARATED, "done"},
};

constexpr Name kCapacityUnits[] = {
    {1, "other"}, {2, "unknown"}, {3, "1/10000 in"}, {4, "micrometers"}, {8, "sheets"},
    {16, "feet"}, {17, "meters"}, {18, "items"},     {19, "percent"},
};

constexpr Name kSeverity[] = {
    {1, "other"},
    {3, "critical"},
    {4, "warning"},
    {5, "warning (binary change)"},
};

constexpr Name kAlertGroups[] = {
    {1, "other"},
    {3, "storage"},
    {4, "device"},
    {5, "general printer"},
    {6, "cover"},
    {7, "localization"},
    {8, "input"},
    {9, "output"},
    {10, "marker"},
    {11, "marker supplies"},
    {12, "marker colorant"},
    {13, "media path"},
    {14, "channel"},
    {15, "interpreter"},
    {16, "console display"},
    {17, "console lights"},
    {18, "alert detail"},
    {30, "finisher device"},
    {31, "finisher supply"},
    {32, "finisher supply input"},
    {33, "finisher attribute"},
};

constexpr Name kAlertCodes[] = {
    {1, "other"},
    {2, "unknown"},
    {3, "coverOpen"},
    {4, "coverClosed"},
    {5, "interlockOpen"},
    {6, "interlockClosed"},
    {7, "configurationChange"},
    {8, "jam"},
    {9, "subunitMissing"},
    {10, "subunitLifeAlmostOver"},
    {11, "subunitLifeOver"},
    {12, "subunitAlmostEmpty"},
    {13, "subunitEmpty"},
    {14, "subunitAlmostFull"},
    {15, "subunitFull"},
    {16, "subunitNearLimit"},
    {17, "subunitAtLimit"},
    {18, "subunitOpened"},
    {19, "subunitClosed"},
    {20, "subunitTurnedOn"},
    {21, "subunitTurnedOff"},
    {22, "subunitOffline"},
    {23, "subunitPowerSaver"},
    {24, "subunitWarmingUp"},
    {25, "subunitAdded"},
    {26, "subunitRemoved"},
    {27, "subunitResourceAdded"},
    {28, "subunitResourceRemoved"},
    {29, "subunitRecoverableFailure"},
    {30, "subunitUnrecoverableFailure"},
    {31, "subunitRecoverableStorageError"},
    {32, "subunitUnrecoverableStorageError"},
    {33, "subunitMotorFailure"},
    {34, "subunitMemoryExhausted"},
    {35, "subunitUnderTemperature"},
    {36, "subunitOverTemperature"},
    {37, "subunitTimingFailure"},
    {38, "subunitThermistorFailure"},
    {501, "doorOpen"},
    {502, "doorClosed"},
    {503, "powerUp"},
    {504, "powerDown"},
    {505, "printerNMSReset"},
    {506, "printerManualReset"},
    {507, "printerReadyToPrint"},
    {801, "inputMediaTrayMissing"},
    {802, "inputMediaSizeChange"},
    {803, "inputMediaWeightChange"},
    {804, "inputMediaTypeChange"},
    {805, "inputMediaColorChange"},
    {806, "inputMediaFormPartsChange"},
    {807, "inputMediaSupplyLow"},
    {808, "inputMediaSupplyEmpty"},
    {809, "inputMediaChangeRequest"},
    {810, "inputManualInputRequest"},
    {811, "inputTrayPositionFailure"},
    {812, "inputTrayElevationFailure"},
    {813, "inputCannotFeedSizeSelected"},
    {901, "outputMediaTrayMissing"},
    {902, "outputMediaTrayAlmostFull"},
    {903, "outputMediaTrayFull"},
    {904, "outputMailboxSelectFailure"},
    {1001, "markerFuserUnderTemperature"},
    {1002, "markerFuserOverTemperature"},
    {1003, "markerFuserTimingFailure"},
    {1004, "markerFuserThermistorFailure"},
    {1005, "markerAdjustingPrintQuality"},
    {1101, "markerTonerEmpty"},
    {1102, "markerInkEmpty"},
    {1103, "markerPrintRibbonEmpty"},
    {1104, "markerTonerAlmostEmpty"},
    {1105, "markerInkAlmostEmpty"},
    {1106, "markerPrintRibbonAlmostEmpty"},
    {1107, "markerWasteTonerReceptacleAlmostFull"},
    {1108, "markerWasteInkReceptacleAlmostFull"},
    {1109, "markerWasteTonerReceptacleFull"},
    {1110, "markerWasteInkReceptacleFull"},
    {1111, "markerOpcLifeAlmostOver"},
    {1112, "markerOpcLifeOver"},
    {1113, "markerDeveloperAlmostEmpty"},
    {1114, "markerDeveloperEmpty"},
    {1115, "markerTonerCartridgeMissing"},
    {1301, "mediaPathMediaTrayMissing"},
    {1302, "mediaPathMediaTrayAlmostFull"},
    {1303, "mediaPathMediaTrayFull"},
    {1304, "mediaPathCannotDuplexMediaSelected"},
    {1501, "interpreterMemoryIncrease"},
    {1502, "interpreterMemoryDecrease"},
    {1503, "interpreterCartridgeAdded"},
    {1504, "interpreterCartridgeDeleted"},
    {1505, "interpreterResourceAdded"},
    {1506, "interpreterResourceDeleted"},
    {1507, "interpreterResourceUnavailable"},
    {1509, "interpreterComplexPageEncountered"},
    {1801, "alertRemovalOfBinaryChangeEntry"},
};

constexpr Name kStorageTypes[] = {
    {PSW_STORAGE_UNKNOWN, "unknown"},
    {PSW_STORAGE_OTHER, "other"},
    {PSW_STORAGE_RAM, "RAM"},
    {PSW_STORAGE_VIRTUAL_MEMORY, "virtual memory"},
    {PSW_STORAGE_FIXED_DISK, "fixed disk"},
    {PSW_STORAGE_REMOVABLE_DISK, "removable disk"},
    {PSW_STORAGE_FLOPPY_DISK, "floppy disk"},
    {PSW_STORAGE_COMPACT_DISC, "compact disc"},
    {PSW_STORAGE_RAM_DISK, "RAM disk"},
};

constexpr Name kDeviceTypes[] = {
    {0, "unknown"},
    {1, "other"},
    {2, "unknown"},
    {3, "processor"},
    {4, "network"},
    {5, "printer"},
    {6, "disk storage"},
    {10, "video"},
    {11, "audio"},
    {12, "coprocessor"},
    {13, "keyboard"},
    {14, "modem"},
    {15, "parallel port"},
    {16, "pointing"},
    {17, "serial port"},
    {18, "tape"},
    {19, "clock"},
    {20, "volatile memory"},
    {21, "non-volatile memory"},
};

constexpr Name kDeviceStatus[] = {
    {1, "unknown"}, {2, "running"}, {3, "warning"}, {4, "testing"}, {5, "down"},
};

}  // namespace

std::string printer_status_name(int32_t status)
{
    if (status == 0) {
        return "not reported";  // the printer has no hrPrinterTable row
    }
    return lookup(kPrinterStatus, status, "status");
}

std::vector<std::string> detected_error_names(const uint8_t state[4])
{
    std::vector<std::string> names;
    for (int bit = 0; bit < 32; ++bit) {
        if ((state[bit / 8] & (0x80u >> (bit % 8))) == 0) {
            continue;
        }
        if (bit < static_cast<int>(std::size(kErrorBits))) {
            names.emplace_back(kErrorBits[bit]);
        } else {
            names.push_back("bit" + std::to_string(bit));
        }
    }
    return names;
}

std::string subunit_status_text(int32_t status)
{
    if (status < 0) {
        return quantity_text(status);
    }
    static constexpr const char* kAvailability[] = {
        "idle", "unavailable (on request)", "standby", "broken", "active", "unknown",
        "busy", "availability 7",
    };
    std::string text = kAvailability[status & 7];
    if ((status & 8) != 0) {
        text += ", alert";
    }
    if ((status & 16) != 0) {
        text += ", critical alert";
    }
    if ((status & 32) != 0) {
        text += ", offline";
    }
    if ((status & 64) != 0) {
        text += ", transitioning";
    }
    return text;
}

std::optional<std::string> special_quantity_word(int32_t value)
{
    switch (value) {
        case -1: return "other";
        case -2: return "unknown";
        case -3: return "some remaining";
        default: return std::nullopt;
    }
}

std::string input_type_name(int32_t type)
{
    return lookup(kInputTypes, type, "type");
}

std::string output_type_name(int32_t type)
{
    return lookup(kOutputTypes, type, "type");
}

std::string supply_unit_name(int32_t unit)
{
    return lookup(kSupplyUnits, unit, "unit");
}

std::string capacity_unit_name(int32_t unit)
{
    return lookup(kCapacityUnits, unit, "unit");
}

std::string alert_severity_name(int32_t level)
{
    return lookup(kSeverity, level, "severity");
}

std::string alert_group_name(int32_t group)
{
    return lookup(kAlertGroups, group, "group");
}

std::string alert_code_name(int32_t code)
{
    return lookup(kAlertCodes, code, "code");
}

std::string storage_type_name(int32_t type)
{
    return lookup(kStorageTypes, type, "type");
}

std::string device_status_name(int32_t status)
{
    return lookup(kDeviceStatus, status, "status");
}

std::string device_type_name(int32_t type)
{
    if (type >= 101) {
        return "private " + std::to_string(type);
    }
    return lookup(kDeviceTypes, type, "type");
}

std::string supply_type_name(int32_t type)
{
    return lookup(kSupplyTypes, type, "type");
}

std::string supply_class_name(int32_t type)
{
    return lookup(kSupplyClasses, type, "class");
}

std::string counter_unit_name(int32_t unit)
{
    return lookup(kCounterUnits, unit, "unit");
}

std::string job_state_name(int32_t state)
{
    return lookup(kJobStates, state, "state");
}

std::string job_type_name(int32_t type)
{
    // The printer's job type table names its types only by number.
    return type == 0 ? "unlisted" : "type " + std::to_string(type);
}

}  // namespace psw::cli
