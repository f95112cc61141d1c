// libpsw: the exported option classes.
//
// An option set reads the installed options and settings of one printer in a single refresh
// and then answers them by name:
//
//   psw::CPSWBramblingOption* options = new (std::nothrow) psw::CPSWBramblingOption();
//   options->SetCommunityStr("public");                        // optional
//   int32_t rc = options->Init(1 /* UDP over IPv4 */, "192.0.2.10", usm, 3000, 2, 0);
//   if (rc == 0) rc = options->refresh_options();
//   bool duplex = false;
//   if (rc == 0) rc = options->get_option("DuplexModule", &duplex, 0);
//   options->destroy();
//
// CPSWDevCommOption carries the data, the refresh steps and the option tables; the library
// always creates the model-specific CPSWBramblingOption, whose Init also checks that the
// printer is the supported model.
//
// Rules shared by every operation:
//   - results are the signed 32-bit codes of psw_result.h (0 success, negative failure); no
//     operation throws;
//   - every text the object stores is cut to its field size minus one and always
//     zero-terminated;
//   - an object is used from one thread at a time; refresh_options and Init block on their
//     SNMP requests (time-out and retries as given to Init).
#ifndef PSW_OPTIONS_H
#define PSW_OPTIONS_H

#include <stdint.h>

#include "psw.h"

#ifdef __cplusplus

namespace psw {

class IPSWPluginUSM;
class IPmcGetData;

// Creates the get-data request an option set talks to the printer through: a new request,
// or null with the failure code written to `result` (which may be null).
using PmcGetDataFactory = IPmcGetData* (*)(int32_t* result) noexcept;

class PSW_API CPSWDevCommOption {
public:
    // Field sizes, terminating zero included.
    static constexpr uint32_t kAddressSize = 64;
    static constexpr uint32_t kCommunitySize = 256;
    static constexpr uint32_t kRomVersionSize = 64;
    static constexpr uint32_t kSysNameSize = 256;
    static constexpr uint32_t kSapUnitNameSize = 256;
    static constexpr uint32_t kDeviceDescriptionSize = 64;
    static constexpr uint32_t kTrayNameSize = 64;
    static constexpr uint32_t kTrayDescriptionSize = 256;
    static constexpr uint32_t kTrayMediaTypeSize = 256;
    // Table capacities: rows beyond them are not kept.
    static constexpr int32_t kMaxDevices = 50;
    static constexpr int32_t kMaxInputTrays = 20;
    static constexpr int32_t kMaxOutputTrays = 20;

    // Empty: no connection, no community, no option data.
    CPSWDevCommOption() noexcept;
    // Copy every member unchanged, including the references into the settings object given
    // to Init (the copy must not outlive that object) and the request factory.
    CPSWDevCommOption(const CPSWDevCommOption& other) noexcept;
    CPSWDevCommOption& operator=(const CPSWDevCommOption& other) noexcept;

    // Slot 0. Deletes the object (through the virtual destructor). The object must have been
    // made with new; it is not usable afterwards.
    virtual void destroy() noexcept;

    // Slot 1. Community for every later request: copied (at most 255 characters, longer texts
    // are cut) and marked as set. Without a call the requests keep their own default
    // community ("public"). A null text is ignored (nothing changes).
    virtual void SetCommunityStr(const char* community) noexcept;

    // Slot 2. Reads the printer's options, replacing all option data: sysName, the device
    // table, the input and output tray tables, the memory size, the media paths (duplex),
    // the NetWare SAP unit name, the FAX kits (only when the device table has a FAX unit)
    // and the detail settings, in that order. Needs a successful Init.
    // Results:
    //   0    all steps done
    //   -1   the ROM version text of device 10 does not have the form
    //        "Printer Controller v<major>.<minor>.<revision> - Processor" (the steps after the
    //        device table are then not run)
    //   -8   Init has not stored a connection yet
    //   other codes of the request (-3, -7, -203 time-out, -250, ...) from the first step
    //        that failed; the data read by the earlier steps stays.
    // An object the printer does not have reads as empty text or -1 and is not a failure.
    virtual int32_t refresh_options() noexcept;

    // Slot 3. Stores the connection every later request uses; does not talk to the printer.
    //   protocol:       1 UDP over IPv4 (port 161), 2 IPX (port 36879), 4 UDP over IPv6
    //                   (port 161); the values of the library's network protocol numbering.
    //   address:        the printer's address text, copied (at most 63 characters).
    //   usm:            SNMPv3 settings, not owned: security mode, security level and
    //                   protocols are copied, the user name, pass phrases and context name are
    //                   kept as references, so the object must outlive this option set's
    //                   requests. Null means community access (security mode 0) without
    //                   SNMPv3 values.
    //   timeout:        per request, in milliseconds; retries: extra sends after a time-out.
    //   maxMessageSize: 0 chooses the protocol's default (1400 bytes UDP, 546 IPX).
    // Results: 0; -2 for a null address (nothing stored) or another protocol (address and
    // protocol already stored, the rest unchanged).
    virtual int32_t Init(int32_t protocol, const char* address, IPSWPluginUSM* usm,
                         uint32_t timeout, uint32_t retries, uint32_t maxMessageSize) noexcept;

    // Slot 4. Whether an object-identifier text matches the printer; decided by the derived
    // class.
    virtual bool is_supported_OID(const char* oid) noexcept = 0;

    // Slots 5 to 8: the option named `name` (exact, case-sensitive), answered from the last
    // refresh_options. `index` is the 0-based row of the per-tray options and ignored by the
    // others. The value is written through `value` on success only.
    // Results:
    //   0    value written
    //   -2   name or value is null
    //   -5   no option of this name and type
    //   -11  index below 0 or not below the number of trays of the last refresh
    // Text options ("PrinterRomVersion", "SysName", "NetWareSAPUnitName", "InputTrayName",
    // "InputTrayDescription", "InputTrayMediaType", "OutputTrayName"): `*value` points to the
    // object's own text (at most 255 characters), valid until the next refresh_options or
    // the object's end.
    virtual int32_t get_option(const char* name, const char** value, int32_t index) const noexcept;
    // No option is unsigned: -5 for any non-null arguments.
    virtual int32_t get_option(const char* name, uint32_t* value, int32_t index) const noexcept;
    // Signed options: "MemorySizeInKByte", "MemorySizeInMByte", "FAXMaxSpeedDial", "FAXType",
    // "NumberOfInputTray", "InputTrayIndex", "InputTrayType", "InputTrayMaxCapacityInSheets",
    // "InputTrayCurrentLevelInPercent", "InputTrayMediaSize", "InputTrayMediaDirection",
    // "InputTrayMediaDimFeedDirChosen", "InputTrayMediaDimXFeedDirChosen",
    // "NumberOfOutputTray", "PrinterRomVersionMajor", "PrinterRomVersionMinor",
    // "PrinterRomVersionRevision", "FAXSIPStatus", "PaperSizeGroupSetting",
    // "PaperSize8KSetting", "PrintLimitedColorSetting", "UserPromptSetting",
    // "MinPasswordLength".
    virtual int32_t get_option(const char* name, int32_t* value, int32_t index) const noexcept;
    // Boolean options: "Scanner", "Copier", "FAXUnit", "HardDisk", "DuplexModule",
    // "OffsetCatch", "InTrayMSI", "InTrayExistHCF", "InTrayExistHCF2", "InTrayExistTTM",
    // "InTrayExistHCFA3", "InTrayExistHCFPF35", "InTrayExistHCFPF32", "InTrayExistHCFPF31",
    // "OutputOffsetStacking" (per output tray), "FAXISDNG4Kit", "FAXLineSwitchKit".
    virtual int32_t get_option(const char* name, bool* value, int32_t index) const noexcept;

    // Slot 9.
    virtual ~CPSWDevCommOption();

protected:
    struct DeviceEntry {
        int32_t deviceIndex;
        int32_t status;
        char description[kDeviceDescriptionSize];
    };

    struct InputTrayEntry {
        int32_t position;  // 1 for the first row walked
        int32_t type;
        int32_t mediaSize;
        int32_t mediaDirection;
        int32_t maxCapacity;
        int32_t levelPercent;
        int32_t dimFeedChosen;
        int32_t dimXFeedChosen;
        char name[kTrayNameSize];
        char description[kTrayDescriptionSize];
        char mediaType[kTrayMediaTypeSize];
    };

    struct OutputTrayEntry {
        int32_t position;
        int32_t type;
        int32_t offsetStacking;
        char name[kTrayNameSize];
    };

    // The refresh steps. Each makes its own request and returns 0 or the first failure code
    // (logged under "PSW" with the failing operation).
    int32_t refresh_system_attributes() noexcept;
    int32_t refresh_hrdevice_table() noexcept;
    int32_t refresh_input_tray_table() noexcept;
    int32_t refresh_output_tray_table() noexcept;
    int32_t refresh_memory_size() noexcept;
    int32_t refresh_prt_media_table() noexcept;
    int32_t refresh_netware_attributes() noexcept;
    int32_t refresh_fax_attributes() noexcept;
    int32_t refresh_xcm_hrdev_detail_setting() noexcept;

    // Reads major, minor and revision out of the ROM version text: 0, or -1 (logged) when
    // the text does not have the expected form or a number does not fit.
    int32_t parse_version_value() noexcept;

    // Whether the device table holds `deviceIndex`; its status is then written through
    // `status` when that is not null.
    bool has_device_index(int32_t deviceIndex, int32_t* status) const noexcept;

    // Clears all option data (texts, flags, numbers, tables); connection and community stay.
    void initialize_data() noexcept;

    // Media size code and feed direction of chosen dimensions given in micrometres (unit 4):
    // the first row of the medium-size table whose sides lie within 2000 of the short and the
    // long dimension; `direction` gets 3 when feed >= crossFeed, else 2. Any other unit, a
    // negative dimension or no matching row leaves both outputs unchanged. Null outputs are
    // not written.
    static void MediaDimensionToMediumSize(int32_t unit, int32_t feed, int32_t crossFeed,
                                           int32_t* sizeCode, int32_t* direction) noexcept;

    // Maximum and level in percent of a tray counted in sheets (unit 8): `maximumOut` =
    // maximum; `percent` = -1 when level < 0 or maximum < 1, else level * 100 / maximum
    // rounded to the nearest. Any other unit leaves both unchanged. Null outputs are not
    // written.
    static void ConvertMediumLevel(int32_t unit, int32_t maximum, int32_t level,
                                   int32_t* maximumOut, int32_t* percent) noexcept;

    // A new get-data request through the request factory; logs "pmc_create_get_data()" on
    // failure. Then gives it the community when one is set and inits it with the connection
    // (logs "pGetData->init()"). Null with the code in `result` on any failure.
    IPmcGetData* open_request(int32_t* result) const noexcept;
    IPmcGetData* create_request(int32_t* result) const noexcept;
    // Inits a request with the stored connection (community first when one is set).
    int32_t init_request(IPmcGetData* request) const noexcept;

    // Replaces the factory every request is made with (tests, embedders). Null restores the
    // library's own.
    void set_get_data_factory(PmcGetDataFactory factory) noexcept;

    // Connection, filled by Init.
    int32_t m_protocol;
    char m_address[kAddressSize];
    uint16_t m_port;
    uint32_t m_timeout;
    uint32_t m_retries;
    uint32_t m_maxMessageSize;
    int32_t m_securityMode;
    const char* m_pUserName;
    int32_t m_securityLevel;
    int32_t m_authProtocol;
    int32_t m_privProtocol;
    const char* m_pAuthPassPhrase;
    const char* m_pPrivPassPhrase;
    const char* m_pContextName;
    bool m_connected;  // a successful Init stored the connection

    // Community, set by SetCommunityStr.
    char m_community[kCommunitySize];
    bool m_communitySet;

    // Texts.
    char m_romVersion[kRomVersionSize];
    char m_sysName[kSysNameSize];
    char m_sapUnitName[kSapUnitNameSize];

    // Flags.
    bool m_duplexModule;
    bool m_manualSheetInserter;
    bool m_offsetCatch;
    bool m_isdnG4Kit;
    bool m_lineSwitchKit;

    // Numbers.
    int32_t m_memorySizeKB;
    int32_t m_faxMaxSpeedDial;
    int32_t m_faxType;
    int32_t m_romVersionMajor;
    int32_t m_romVersionMinor;
    int32_t m_romVersionRevision;
    int32_t m_paperSizeGroupSetting;
    int32_t m_paperSize8KSetting;
    int32_t m_printLimitedColorSetting;
    int32_t m_minPasswordLength;
    int32_t m_userPromptSetting;

    // Tables.
    int32_t m_deviceCount;
    DeviceEntry m_devices[kMaxDevices];
    int32_t m_inputTrayCount;
    InputTrayEntry m_inputTrays[kMaxInputTrays];
    int32_t m_outputTrayCount;
    OutputTrayEntry m_outputTrays[kMaxOutputTrays];

    // Makes every request; the library's own unless replaced.
    PmcGetDataFactory m_pfnCreateGetData;
};

// The option set of the supported printer model (sysObjectID
// "1.3.6.1.4.1.297.1.11.93.1.35.27.1"). Init refuses any other printer.
class PSW_API CPSWBramblingOption : public CPSWDevCommOption {
public:
    static constexpr uint32_t kDeviceOidSize = 256;

    CPSWBramblingOption() noexcept;
    CPSWBramblingOption(const CPSWBramblingOption& other) noexcept;
    CPSWBramblingOption& operator=(const CPSWBramblingOption& other) noexcept;

    // Slot 3. The base's Init, then reads the printer's sysObjectID (one GET) and keeps it.
    // Results: 0 for the supported model (its sysObjectID or one below it); -2 for a null
    // address, another protocol, an address text of another protocol than `protocol`, or
    // another model; otherwise the request's code (-203 when the printer does not answer,
    // -3, ...).
    int32_t Init(int32_t protocol, const char* address, IPSWPluginUSM* usm, uint32_t timeout,
                 uint32_t retries, uint32_t maxMessageSize) noexcept override;

    // Slot 4. True for a null text; otherwise true exactly when the sysObjectID the last Init
    // read (even from a refused printer) begins with the whole text; so the empty text is
    // true, and any other text false before any Init has read one.
    bool is_supported_OID(const char* oid) noexcept override;

    // Slots 5, 7, 8: as the base (-2 for a null name or value).
    int32_t get_option(const char* name, const char** value, int32_t index) const noexcept override;
    int32_t get_option(const char* name, int32_t* value, int32_t index) const noexcept override;
    int32_t get_option(const char* name, bool* value, int32_t index) const noexcept override;
    using CPSWDevCommOption::get_option;

    ~CPSWBramblingOption() override;

protected:
    // The sysObjectID read by the last Init that got an answer; empty before.
    char m_deviceOid[kDeviceOidSize];

private:
    // Reads the printer's sysObjectID: 0 for the supported model, -2 for another.
    int32_t is_supported_device() noexcept;
};

}  // namespace psw

#endif /* __cplusplus */

#endif /* PSW_OPTIONS_H */
