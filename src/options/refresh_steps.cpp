// The nine refresh steps of the generic option set, each with a request of its own.
#include "core/factory.h"
#include "options/option_requests.h"
#include "psw/psw_options.h"
#include "query/logged_reads.h"
#include "query/mib_objects.h"
#include "request/request_objects.h"

namespace psw {

namespace {

// hrDeviceIndex values the printer's agent gives its components.
constexpr int32_t kDeviceRomVersion = 10;
constexpr int32_t kDeviceFaxUnit = 104;

constexpr int32_t kInputTypeManualSheetFeed = 5;
constexpr int32_t kOffsetStackingOn = 3;
constexpr int32_t kMediaPathLongEdgeDuplex = 3;
constexpr int32_t kMediaPathShortEdgeDuplex = 4;
constexpr int32_t kSizeCodeOther = 10000;
constexpr int32_t kDirectionOther = 1;

constexpr char kSapUnitName[] = "1.3.6.1.4.1.253.8.64.4.2.1.7.10.19159104";

constexpr const char* kDeviceColumns[] = {
    mib::kHrDeviceIndex,
    mib::kHrDeviceDescr,
    mib::kHrDeviceStatus,
};

constexpr const char* kInputColumns[] = {
    mib::kPrtInputType,
    mib::kPrtInputDimUnit,
    mib::kPrtInputMediaDimFeedDirChosen,
    mib::kPrtInputMediaDimXFeedDirChosen,
    mib::kPrtInputCapacityUnit,
    mib::kPrtInputMaxCapacity,
    mib::kPrtInputCurrentLevel,
    mib::kPrtInputName,
    mib::kPrtInputDescription,
    mib::kPrtInputMediaType,
};

constexpr const char* kOutputColumns[] = {
    mib::kPrtOutputType,
    mib::kPrtOutputName,
    mib::kPrtOutputOffsetStacking,
};

constexpr const char* kMediaPathColumns[] = {
    mib::kPrtMediaPathType,
};

constexpr const char* kFaxOids[] = {
    "1.3.6.1.4.1.253.8.64.4.2.1.5.10.13124141",  // ISDN G4 kit
    "1.3.6.1.4.1.253.8.64.4.2.1.5.10.13124142",  // line switch kit
    "1.3.6.1.4.1.253.8.64.4.2.1.5.10.13124143",  // maximum speed dial
};

constexpr const char* kDetailOids[] = {
    "1.3.6.1.4.1.253.8.53.13.2.1.6.1.1.1",    // paper size group
    "1.3.6.1.4.1.253.8.53.13.2.1.6.1.1.2",    // paper size 8K
    "1.3.6.1.4.1.253.8.53.13.2.1.6.1.1.4",    // print limited colour
    "1.3.6.1.4.1.253.8.53.13.2.1.6.1.1.5",    // minimum password length
    "1.3.6.1.4.1.253.8.53.13.2.1.6.1.1.6",    // user prompt
    "1.3.6.1.4.1.253.8.53.13.2.1.6.104.1.1",  // FAX type, read only with a FAX unit
};

template <size_t N>
constexpr uint32_t count_of(const char* const (&)[N]) noexcept
{
    return static_cast<uint32_t>(N);
}

// Runs `use` on |request| (takes ownership; null when opening it failed, with the failure in
// `code`) and releases the request after; `code` when there is no request.
template <class Use>
int32_t with_request(IPmcGetData* request, const Result& code, Use&& use) noexcept
{
    OwnedPtr<IPmcGetData> owned(request);
    return owned == nullptr ? code : use(owned.get());
}

}  // namespace

int32_t CPSWDevCommOption::refresh_system_attributes() noexcept
{
    Result code = PSW_SUCCESS;
    return with_request(open_request(&code), code, [&](IPmcGetData* request) {
        return pmc_logged_read_text(request, mib::kSysName, true, m_sysName, sizeof m_sysName);
    });
}

int32_t CPSWDevCommOption::refresh_hrdevice_table() noexcept
{
    Result code = PSW_SUCCESS;
    return with_request(open_request(&code), code, [&](IPmcGetData* request) {
        int32_t versionResult = PSW_SUCCESS;
        auto visit = [this, &versionResult](const OptionTableRow& row) {
            const int32_t deviceIndex = row.integer(0);
            if (m_deviceCount < kMaxDevices) {
                DeviceEntry& entry = m_devices[m_deviceCount++];
                entry.deviceIndex = deviceIndex;
                row.text(1, entry.description, sizeof entry.description);
                entry.status = row.integer(2);
            }
            if (deviceIndex == kDeviceRomVersion) {
                row.text(1, m_romVersion, sizeof m_romVersion);
                versionResult = parse_version_value();
            }
        };
        code = option_walk(request, kDeviceColumns, count_of(kDeviceColumns), visit);
        return code != PSW_SUCCESS ? code : versionResult;
    });
}

int32_t CPSWDevCommOption::refresh_input_tray_table() noexcept
{
    Result code = PSW_SUCCESS;
    return with_request(open_request(&code), code, [&](IPmcGetData* request) {
        int32_t position = 0;
        auto visit = [this, &position](const OptionTableRow& row) {
            ++position;
            const int32_t type = row.integer(0);
            if (type == kInputTypeManualSheetFeed) {
                m_manualSheetInserter = true;
            }
            if (m_inputTrayCount >= kMaxInputTrays) {
                return;
            }
            InputTrayEntry& entry = m_inputTrays[m_inputTrayCount++];
            entry.position = position;
            entry.type = type;
            entry.dimFeedChosen = row.integer(2);
            entry.dimXFeedChosen = row.integer(3);
            entry.mediaSize = kSizeCodeOther;
            entry.mediaDirection = kDirectionOther;
            MediaDimensionToMediumSize(row.integer(1), entry.dimFeedChosen, entry.dimXFeedChosen,
                                       &entry.mediaSize, &entry.mediaDirection);
            entry.maxCapacity = -1;
            entry.levelPercent = -1;
            ConvertMediumLevel(row.integer(4), row.integer(5), row.integer(6), &entry.maxCapacity,
                               &entry.levelPercent);
            row.text(7, entry.name, sizeof entry.name);
            row.text(8, entry.description, sizeof entry.description);
            row.text(9, entry.mediaType, sizeof entry.mediaType);
        };
        return option_walk(request, kInputColumns, count_of(kInputColumns), visit);
    });
}

int32_t CPSWDevCommOption::refresh_output_tray_table() noexcept
{
    Result code = PSW_SUCCESS;
    return with_request(open_request(&code), code, [&](IPmcGetData* request) {
        int32_t position = 0;
        auto visit = [this, &position](const OptionTableRow& row) {
            ++position;
            const int32_t offsetStacking = row.integer(2);
            if (offsetStacking == kOffsetStackingOn) {
                m_offsetCatch = true;
            }
            if (m_outputTrayCount >= kMaxOutputTrays) {
                return;
            }
            OutputTrayEntry& entry = m_outputTrays[m_outputTrayCount++];
            entry.position = position;
            entry.type = row.integer(0);
            entry.offsetStacking = offsetStacking;
            row.text(1, entry.name, sizeof entry.name);
        };
        return option_walk(request, kOutputColumns, count_of(kOutputColumns), visit);
    });
}

int32_t CPSWDevCommOption::refresh_memory_size() noexcept
{
    Result code = PSW_SUCCESS;
    return with_request(open_request(&code), code, [&](IPmcGetData* request) {
        return pmc_logged_read_int(request, mib::kHrMemorySize, true, &m_memorySizeKB);
    });
}

int32_t CPSWDevCommOption::refresh_prt_media_table() noexcept
{
    Result code = PSW_SUCCESS;
    return with_request(open_request(&code), code, [&](IPmcGetData* request) {
        auto visit = [this](const OptionTableRow& row) {
            const int32_t type = row.integer(0);
            if (type == kMediaPathLongEdgeDuplex || type == kMediaPathShortEdgeDuplex) {
                m_duplexModule = true;
            }
        };
        return option_walk(request, kMediaPathColumns, count_of(kMediaPathColumns), visit);
    });
}

int32_t CPSWDevCommOption::refresh_netware_attributes() noexcept
{
    Result code = PSW_SUCCESS;
    return with_request(open_request(&code), code, [&](IPmcGetData* request) {
        return pmc_logged_read_text(request, kSapUnitName, false, m_sapUnitName,
                                    sizeof m_sapUnitName);
    });
}

int32_t CPSWDevCommOption::refresh_fax_attributes() noexcept
{
    if (!has_device_index(kDeviceFaxUnit, nullptr)) {
        return PSW_SUCCESS;
    }
    Result code = PSW_SUCCESS;
    return with_request(open_request(&code), code, [&](IPmcGetData* request) {
        int32_t values[3] = {-1, -1, -1};
        code = option_read_ints(request, kFaxOids, 3, values);
        if (code != PSW_SUCCESS) {
            return code;
        }
        m_isdnG4Kit = values[0] == 1;
        m_lineSwitchKit = values[1] == 1;
        m_faxMaxSpeedDial = values[2];
        return PSW_SUCCESS;
    });
}

int32_t CPSWDevCommOption::refresh_xcm_hrdev_detail_setting() noexcept
{
    Result code = PSW_SUCCESS;
    return with_request(open_request(&code), code, [&](IPmcGetData* request) {
        const int32_t count = has_device_index(kDeviceFaxUnit, nullptr) ? 6 : 5;
        int32_t values[6] = {-1, -1, -1, -1, -1, -1};
        code = option_read_ints(request, kDetailOids, count, values);
        if (code != PSW_SUCCESS) {
            return code;
        }
        int32_t* const settings[6] = {&m_paperSizeGroupSetting,    &m_paperSize8KSetting,
                                      &m_printLimitedColorSetting, &m_minPasswordLength,
                                      &m_userPromptSetting,        &m_faxType};
        for (int32_t i = 0; i < count; ++i) {
            if (values[i] >= 0) {
                *settings[i] = values[i];
            }
        }
        return PSW_SUCCESS;
    });
}

}  // namespace psw
