// The device session of a library handle: where the printer is, how to reach it, and the record
// tables that the queries fill. Each query lives in its own file (storage_query.cpp,
// input_tray_query.cpp, job_query.cpp, ...); they all talk to the printer through a fresh
// get-data request made by the factory below, following the common procedure of
// query_request.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/factory.h"
#include "core/pmc_vector.h"
#include "core/result.h"
#include "psw/psw.h"
#include "psw/psw_records.h"
#include "request/request_objects.h"
#include "snmp/pms_lists.h"
#include "snmp/walk_rows.h"

namespace psw {

class IPSWPluginUSM;
class IPmsPdu;

// Makes a new get-data request; the seam through which tests put a scripted request in place
// of the real one.
// the caller owns the result and releases it with release()
using GetDataFactory = IPmcGetData* (*)(Result* result) noexcept;

// The factory the device session uses unless told otherwise.
// the caller owns the result and releases it with release()
IPmcGetData* pmc_default_get_data(Result* result) noexcept;

inline constexpr size_t kDeviceAddressSize = 64;
inline constexpr size_t kDeviceCommunitySize = 256;
inline constexpr uint16_t kSnmpUdpPort = 161;
inline constexpr uint16_t kSnmpIpxPort = 36879;
// Protocol numbers of network addresses.
inline constexpr int32_t kProtocolUdpIpv4 = 1;
inline constexpr int32_t kProtocolIpx = 2;
inline constexpr int32_t kProtocolUdpIpv6 = 4;

// Kinds of the job query.
inline constexpr uint32_t kJobKindAll = 0;
inline constexpr uint32_t kJobKindOthers = 1;
inline constexpr uint32_t kJobKindSeparated = 2;
inline constexpr int32_t kJobStateSeparated = 17;

// Printer MIB special quantity: unknown.
inline constexpr int32_t kSupplyUnknown = -2;

// A supply level in percent of its maximum capacity, rounded to the nearest and at most 100;
// a negative level (-1 other, PSW_ERR_PARAMETER unknown, PSW_ERR_NO_MEMORY some remaining) is passed on as it is, and a
// maximum of 0 or below gives PSW_ERR_PARAMETER (unknown).
int32_t pmc_supply_percent(int32_t level, int32_t capacity) noexcept;

class PSWDeviceQuery {
public:
    // `factory` is a plain function; nothing is owned
    explicit PSWDeviceQuery(GetDataFactory factory = pmc_default_get_data) noexcept;
    PSWDeviceQuery(const PSWDeviceQuery&) = delete;
    PSWDeviceQuery& operator=(const PSWDeviceQuery&) = delete;
    ~PSWDeviceQuery() = default;

    void set_get_data_factory(GetDataFactory factory) noexcept { m_create_get_data = factory; }

    // The read community replaces the request's own default and marks it set; the write
    // community replaces "private". Longer texts than 255 characters are cut.
    // borrowed: `community` is copied (both setters)
    void set_read_community(const char* community) noexcept;
    // borrowed: `community` is copied
    void set_write_community(const char* community) noexcept;

    // Binds the session to a printer: address (at most 63 characters, else PSW_ERR_PARAMETER), port
    // from the protocol (PSW_ERR_PARAMETER for a protocol without SNMP), time-out, retries, maximum
    // message size and the SNMPv3 values of `usm`.
    // borrowed: `address` and every setting of `usm` are copied
    Result init(int32_t protocol, const char* address, const IPSWPluginUSM* usm, uint32_t timeout,
                uint32_t retries, uint32_t max_message_size) noexcept;

    // The queries. Each count query empties its table first and fills it again.
    Result query_storage() noexcept;
    Result query_devices() noexcept;
    Result query_input_trays() noexcept;
    Result query_input_trays_ex() noexcept;
    Result query_output_trays() noexcept;
    Result query_toners() noexcept;
    Result query_alerts() noexcept;
    Result query_jobs(uint32_t kind) noexcept;
    // Writes `out` on success only.
    // not a transfer: `out` is the caller's record
    Result query_printer(PSWPrinterInfo* out) noexcept;
    // which: 0 standard, 1 private; writes `out` on success only.
    Result query_char_set(uint32_t which, int32_t* out) noexcept;
    // borrowed: `job_id` is only read
    Result cancel_job(const char* job_id) noexcept;
    // Every row of the supplies table, whatever its type (an extension of the toner query).
    Result query_supplies() noexcept;
    // Who the printer is and its page counters; writes `out` on success only.
    Result query_identity(PSWIdentityInfo* out) noexcept;

    // Empties every record table.
    void clear_tables() noexcept;

    const PmcVector<PSWStorageInfo>& storage_table() const noexcept { return m_storage; }
    const PmcVector<PSWDeviceInfo>& device_table() const noexcept { return m_devices; }
    const PmcVector<PSWInputTrayInfo>& input_tray_table() const noexcept { return m_inputTrays; }
    const PmcVector<PSWInputTrayInfoEx>& input_tray_ex_table() const noexcept
    {
        return m_inputTraysEx;
    }
    const PmcVector<PSWOutputTrayInfo>& output_tray_table() const noexcept { return m_outputTrays; }
    const PmcVector<PSWTonerInfo>& toner_table() const noexcept { return m_toners; }
    const PmcVector<PSWAlertInfo>& alert_table() const noexcept { return m_alerts; }
    const PmcVector<PSWJobInfo>& job_table() const noexcept { return m_jobs; }
    const PmcVector<PSWSupplyInfo>& supply_table() const noexcept { return m_supplies; }

    int32_t standard_char_set() const noexcept { return m_standardCharSet; }
    int32_t private_char_set() const noexcept { return m_privateCharSet; }
    // not a transfer: owned by the query
    const char* address() const noexcept { return m_address; }
    uint16_t port() const noexcept { return m_port; }
    int32_t protocol() const noexcept { return m_protocol; }
    int32_t security_mode() const noexcept { return m_securityMode; }
    const PmcUsmValues& usm_values() const noexcept { return m_usm; }
    bool read_community_set() const noexcept { return m_readCommunitySet; }
    // not a transfer: owned by the query (both communities)
    const char* read_community() const noexcept { return m_readCommunity; }
    // not a transfer: owned by the query
    const char* write_community() const noexcept { return m_writeCommunity; }

private:
    // Steps 1 to 3 of the common procedure: a new request, its community (the read community
    // when set, or the write community when `for_write`), and init. Failures are logged.
    // `*out` receives a new request it then owns; left untouched on failure
    Result open_request(OwnedPtr<IPmcGetData>* out, bool for_write) noexcept;
    // Initialises |request| (not owned) for this device's address and transport settings; logs
    // a failure of init as "pGetData->init()".
    Result init_request(IPmcGetData* request) noexcept;
    // Steps 4 and 5 on an opened request: the columns in order, then the walk from the first.
    // `rows` receives the rows (caller owns them). Failures are logged.
    // borrowed: `request`, `columns`; `*rows` receives a new list it owns, on success
    Result walk_columns(IPmcGetData* request, const char* const* columns, size_t count,
                        OwnedPtr<PmsWalkRows>* rows) noexcept;
    // The whole procedure up to the rows: open, add the columns, walk.
    // borrowed: `columns`; `*rows` receives a new list it owns, on success
    Result read_table(const char* const* columns, size_t count,
                      OwnedPtr<PmsWalkRows>* rows) noexcept;
    // The whole procedure with each row handed to `visit(const IPmsPdu* row)` as it arrives
    // instead of being kept: the same requests, and the same records as visiting kept rows.
    // A failed walk logs as walk_columns does and clears `records`, so that it leaves none
    // behind; a failed visit ends the walk with its result, records kept so far stay.
    // borrowed: `columns`; `visit` sees each row as borrowed; `records` is the caller's
    template <class Records, class Visit>
    Result visit_table(const char* const* columns, size_t count, Records& records,
                       Visit&& visit) noexcept
    {
        PmcRowVisit<Visit> sink(visit);
        const Result result = stream_table(columns, count, &sink, sink.last());
        if (result != PSW_SUCCESS && *sink.last() == PSW_SUCCESS) {
            records.clear();
        }
        return result;
    }
    // A visit as the sink of a walk, remembering its last result (so that a failure of the
    // visit is told from one of the walk).
    template <class Visit>
    class PmcRowVisit final : public IPmcRowSink {
    public:
        explicit PmcRowVisit(Visit& visit) noexcept : m_visit(visit) {}
        Result take_row(const IPmsPdu* row) noexcept override { return m_last = m_visit(row); }
        const Result* last() const noexcept { return &m_last; }

    private:
        Visit& m_visit;
        Result m_last = PSW_SUCCESS;
    };
    // Open, add the columns and walk into `sink`. Failures are logged, except those of the sink
    // itself: `*visit_result` is its last result.
    // borrowed: `columns`, `sink`, `visit_result`
    Result stream_table(const char* const* columns, size_t count, IPmcRowSink* sink,
                        const Result* visit_result) noexcept;
    // One object read on a fresh request, as a signed integer or as text (cut to the field).
    // borrowed: `oid` only read; `value` and `field` are the caller's (both reads)
    Result read_single_int(const char* oid, int32_t* value) noexcept;
    Result read_single_text(const char* oid, char* field, size_t size) noexcept;

    // The character-set walk: the table column, the value column and the member to set.
    // borrowed: both columns are only read; `member` is the caller's
    Result walk_char_set(const char* table_column, const char* value_column,
                         int32_t* member) noexcept;
    // Fills one plain input tray record from a row of the input tray walk.
    // borrowed: `row` is only read; `record` is the caller's
    static Result fill_input_tray(const IPmsPdu* row, PSWInputTrayInfo* record) noexcept;
    // Names the colorant of each supply from prtMarkerColorantTable of `device`.
    Result resolve_colorants(uint32_t device) noexcept;
    // Resolves a coded job column value to its localized text.
    // borrowed: `column` and `row` only read; `field` is the caller's buffer
    Result resolve_localized(const char* column, const IPmsPdu* row, uint32_t position, char* field,
                             size_t size) noexcept;

    GetDataFactory m_create_get_data;

    int32_t m_protocol = 0;
    char m_address[kDeviceAddressSize] = {};
    uint16_t m_port = 0;
    uint32_t m_timeout = 0;
    uint32_t m_retries = 0;
    uint32_t m_maxMessageSize = 0;
    char m_readCommunity[kDeviceCommunitySize] = {};
    bool m_readCommunitySet = false;
    char m_writeCommunity[kDeviceCommunitySize] = {};

    PmcVector<PSWStorageInfo> m_storage;
    PmcVector<PSWDeviceInfo> m_devices;
    PmcVector<PSWInputTrayInfo> m_inputTrays;
    PmcVector<PSWInputTrayInfoEx> m_inputTraysEx;
    PmcVector<PSWOutputTrayInfo> m_outputTrays;
    PmcVector<PSWTonerInfo> m_toners;
    PmcVector<PSWAlertInfo> m_alerts;
    PmcVector<PSWJobInfo> m_jobs;
    PmcVector<PSWSupplyInfo> m_supplies;

    PSWPrinterInfo m_printer = {};
    int32_t m_standardCharSet = 0;
    int32_t m_privateCharSet = 0;

    int32_t m_securityMode = -1;
    // The SNMPv3 texts as init found them: the handle's settings object is also rewritten by a
    // later discovery, whose user must not leak into this session. m_usm points into these.
    char m_userName[64] = {};
    char m_authPassPhrase[64] = {};
    char m_privPassPhrase[64] = {};
    char m_contextName[512] = {};
    PmcUsmValues m_usm = {m_userName, 0, 0, 0, m_authPassPhrase, m_privPassPhrase, m_contextName};
};

}  // namespace psw
