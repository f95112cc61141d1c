// Exported device-session calls: argument checks, then the member the call needs (the option
// set or the device session), whose result passes through unchanged.
#include <cstring>
#include <new>

#include "api/library_handle.h"
#include "api/transport.h"
#include "psw/psw.h"
#include "psw/psw_options.h"
#include "query/device_query.h"

namespace {

// Longest printer address the session keeps.
constexpr size_t kAddressMaxLength = psw::kDeviceAddressSize - 1;

// Which set-up a call asks for: the supported model (option set and model check first) or a
// printer of any model (the device session alone).
enum class Model { kSupported, kAny };

int32_t init_device(PSWHandle handle, const char* address, int32_t transport, int32_t security_mode,
                    const PSWUSMSettings& settings, uint32_t timeout, uint32_t retries,
                    Model model = Model::kSupported)
{
    if (handle == nullptr || address == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    const int32_t protocol = psw::pmc_protocol_of_transport(transport);
    if (protocol < 0) {
        return PSW_ERR_PARAMETER;
    }
    // A longer address would be cut on its way into the session and reach another printer.
    if (strnlen(address, kAddressMaxLength + 1) > kAddressMaxLength) {
        return PSW_ERR_PARAMETER;
    }
    handle->release_device();

    if (model == Model::kAny) {
        // No option set and no model check; the session alone needs a transport with SNMP.
        if (protocol != psw::kProtocolUdpIpv4 && protocol != psw::kProtocolIpx &&
            protocol != psw::kProtocolUdpIpv6) {
            return PSW_ERR_PARAMETER;
        }
        handle->m_pUsm->set_settings(security_mode, settings);
        handle->m_anyModel = true;
    } else {
        handle->m_pOptionSet = new (std::nothrow) psw::CPSWBramblingOption();
        if (handle->m_pOptionSet == nullptr) {
            return PSW_ERR_NO_MEMORY;
        }
        handle->m_pUsm->set_settings(security_mode, settings);
        if (handle->m_readCommunity[0] != '\0') {
            handle->m_pOptionSet->SetCommunityStr(handle->m_readCommunity);
        }
        const psw::Result checked =
            handle->m_pOptionSet->Init(protocol, address, handle->m_pUsm, timeout, retries, 0);
        if (checked != PSW_SUCCESS) {
            return checked;
        }
    }
    psw::Result result = PSW_SUCCESS;

    auto* query = new (std::nothrow) psw::PSWDeviceQuery();
    if (query == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    if (handle->m_readCommunity[0] != '\0') {
        query->set_read_community(handle->m_readCommunity);
    }
    if (handle->m_writeCommunity[0] != '\0') {
        query->set_write_community(handle->m_writeCommunity);
    }
    result = query->init(protocol, address, handle->m_pUsm, timeout, retries, 0);
    if (result != PSW_SUCCESS) {
        delete query;
        return result;
    }
    handle->m_pDeviceQuery = query;
    return PSW_SUCCESS;
}

// The frame of every call that reads the device session.
int32_t needs_device(PSWHandle handle, const void* out)
{
    if (handle == nullptr || out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    return handle->m_pDeviceQuery == nullptr ? PSW_ERR_NOT_INITIALIZED : PSW_SUCCESS;
}

// The frame of every call that reads the option set.
int32_t needs_options(PSWHandle handle, const char* name, const void* out)
{
    if (handle == nullptr || name == nullptr || out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    if (handle->m_anyModel) {
        return PSW_ERR_UNSUPPORTED;  // options are model-specific
    }
    return handle->m_pOptionSet == nullptr ? PSW_ERR_NOT_INITIALIZED : PSW_SUCCESS;
}

// Reads one option as `Value` and, on success only, hands it to the caller's `out` through
// `store(value, out)`.
template <class Value, class Out, class Store>
int32_t get_option_value(PSWHandle handle, const char* name, uint16_t index, Out* out, Store store)
{
    int32_t result = needs_options(handle, name, out);
    if (result != PSW_SUCCESS) {
        return result;
    }
    Value value{};
    result = handle->m_pOptionSet->get_option(name, &value, static_cast<int32_t>(index));
    if (result == PSW_SUCCESS) {
        store(value, out);
    }
    return result;
}

template <class Value, class Out>
int32_t get_option_value(PSWHandle handle, const char* name, uint16_t index, Out* out)
{
    return get_option_value<Value>(handle, name, index, out,
                                   [](Value value, Out* to) { *to = value; });
}

// The count half of a count-and-copy pair.
template <class Query>
int32_t count_records(PSWHandle handle, int32_t* count, Query query)
{
    const int32_t frame = needs_device(handle, count);
    if (frame != PSW_SUCCESS) {
        return frame;
    }
    return query(*handle->m_pDeviceQuery, count);
}

// The copy half: the record at `index` (taken as unsigned) of the table as last filled.
template <class Record>
int32_t copy_record(PSWHandle handle, int32_t index, Record* out,
                    const psw::PmcVector<Record>& (psw::PSWDeviceQuery::*table)() const noexcept)
{
    const int32_t frame = needs_device(handle, out);
    if (frame != PSW_SUCCESS) {
        return frame;
    }
    const psw::PmcVector<Record>& records = (handle->m_pDeviceQuery->*table)();
    const auto position = static_cast<uint32_t>(index);
    if (position >= records.size()) {
        return PSW_ERR_INDEX;
    }
    std::memcpy(static_cast<void*>(out), &records[position], sizeof(Record));
    return PSW_SUCCESS;
}

// Runs a table query and writes its record count on success.
template <class Record>
int32_t run_count(psw::PSWDeviceQuery& query, psw::Result (psw::PSWDeviceQuery::*run)() noexcept,
                  const psw::PmcVector<Record>& (psw::PSWDeviceQuery::*table)() const noexcept,
                  int32_t* count)
{
    const psw::Result result = (query.*run)();
    if (result == PSW_SUCCESS) {
        *count = static_cast<int32_t>((query.*table)().size());
    }
    return result;
}

}  // namespace

extern "C" {

PSW_API int32_t PSWInitDevice(PSWHandle handle, const char* address, int32_t transport,
                              uint32_t timeout, uint32_t retries)
{
    PSWUSMSettings settings;
    std::memset(&settings, 0, sizeof settings);
    return init_device(handle, address, transport, PSW_SECURITY_MODE_COMMUNITY, settings, timeout,
                       retries);
}

PSW_API int32_t PSWInitDeviceEx(PSWHandle handle, const char* address, int32_t transport,
                                int32_t securityMode, PSWUSMSettings settings, uint32_t timeout,
                                uint32_t retries)
{
    return init_device(handle, address, transport, securityMode, settings, timeout, retries);
}

// Extension: a session on a printer of any model.
PSW_API int32_t PSWInitAnyDevice(PSWHandle handle, const char* address, int32_t transport,
                                 uint32_t timeout, uint32_t retries)
{
    PSWUSMSettings settings;
    std::memset(&settings, 0, sizeof settings);
    return init_device(handle, address, transport, PSW_SECURITY_MODE_COMMUNITY, settings, timeout,
                       retries, Model::kAny);
}

PSW_API int32_t PSWInitAnyDeviceEx(PSWHandle handle, const char* address, int32_t transport,
                                   int32_t securityMode, PSWUSMSettings settings, uint32_t timeout,
                                   uint32_t retries)
{
    return init_device(handle, address, transport, securityMode, settings, timeout, retries,
                       Model::kAny);
}

// Extension: identity and counters.
PSW_API int32_t PSWGetIdentityInfo(PSWHandle handle, PSWIdentityInfo* out)
{
    const int32_t frame = needs_device(handle, out);
    if (frame != PSW_SUCCESS) {
        return frame;
    }
    return handle->m_pDeviceQuery->query_identity(out);
}

PSW_API int32_t PSWRefreshOptions(PSWHandle handle)
{
    if (handle == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    if (handle->m_anyModel) {
        return PSW_ERR_UNSUPPORTED;  // options are model-specific
    }
    if (handle->m_pOptionSet == nullptr) {
        return PSW_ERR_NOT_INITIALIZED;
    }
    return handle->m_pOptionSet->refresh_options();
}

PSW_API int32_t PSWGetOptionValueBoolean(PSWHandle handle, const char* name, uint16_t index,
                                         int16_t* out)
{
    return get_option_value<bool>(handle, name, index, out,
                                  [](bool value, int16_t* to) { *to = value ? 1 : 0; });
}

PSW_API int32_t PSWGetOptionValueInteger(PSWHandle handle, const char* name, uint16_t index,
                                         int32_t* out)
{
    return get_option_value<int32_t>(handle, name, index, out);
}

PSW_API int32_t PSWGetOptionValueUInteger(PSWHandle handle, const char* name, uint16_t index,
                                          uint32_t* out)
{
    return get_option_value<uint32_t>(handle, name, index, out);
}

PSW_API int32_t PSWGetOptionValueString(PSWHandle handle, const char* name, uint16_t index,
                                        char* out)
{
    return get_option_value<const char*>(handle, name, index, out, [](const char* value, char* to) {
        // The caller's buffer holds PSW_OPTION_TEXT_SIZE bytes.
        const size_t length = value != nullptr ? strnlen(value, PSW_OPTION_TEXT_SIZE - 1) : 0;
        if (length != 0) {
            std::memcpy(to, value, length);
        }
        to[length] = '\0';
    });
}

#define PSW_RECORD_CALLS(CountCall, CopyCall, Record, run, table)                                 \
    PSW_API int32_t CountCall(PSWHandle handle, int32_t* count)                                   \
    {                                                                                             \
        return count_records(handle, count, [](psw::PSWDeviceQuery& query, int32_t* out) {        \
            return run_count(query, &psw::PSWDeviceQuery::run, &psw::PSWDeviceQuery::table, out); \
        });                                                                                       \
    }                                                                                             \
    PSW_API int32_t CopyCall(PSWHandle handle, int32_t index, Record* out)                        \
    {                                                                                             \
        return copy_record(handle, index, out, &psw::PSWDeviceQuery::table);                      \
    }

PSW_RECORD_CALLS(PSWGetNumberOfStorageInfo, PSWGetStorageInfo, PSWStorageInfo, query_storage,
                 storage_table)
PSW_RECORD_CALLS(PSWGetNumberOfDeviceInfo, PSWGetDeviceInfo, PSWDeviceInfo, query_devices,
                 device_table)
PSW_RECORD_CALLS(PSWGetNumberOfInputTrayInfo, PSWGetInputTrayInfo, PSWInputTrayInfo,
                 query_input_trays, input_tray_table)
PSW_RECORD_CALLS(PSWGetNumberOfInputTrayInfoEx, PSWGetInputTrayInfoEx, PSWInputTrayInfoEx,
                 query_input_trays_ex, input_tray_ex_table)
PSW_RECORD_CALLS(PSWGetNumberOfOutputTrayInfo, PSWGetOutputTrayInfo, PSWOutputTrayInfo,
                 query_output_trays, output_tray_table)
PSW_RECORD_CALLS(PSWGetNumberOfTonerInfo, PSWGetTonerInfo, PSWTonerInfo, query_toners, toner_table)
PSW_RECORD_CALLS(PSWGetNumberOfAlertInfo, PSWGetAlertInfo, PSWAlertInfo, query_alerts, alert_table)

// Extension: every supply.
PSW_RECORD_CALLS(PSWGetNumberOfSupplyInfo, PSWGetSupplyInfo, PSWSupplyInfo, query_supplies,
                 supply_table)

#undef PSW_RECORD_CALLS

PSW_API int32_t PSWGetNumberOfJobInfo(PSWHandle handle, uint32_t kind, int32_t* count)
{
    if (handle == nullptr || count == nullptr || kind > PSW_JOB_KIND_SEPARATED) {
        return PSW_ERR_PARAMETER;
    }
    return count_records(handle, count, [kind](psw::PSWDeviceQuery& query, int32_t* out) {
        const psw::Result result = query.query_jobs(kind);
        if (result == PSW_SUCCESS) {
            *out = static_cast<int32_t>(query.job_table().size());
        }
        return result;
    });
}

PSW_API int32_t PSWGetJobInfo(PSWHandle handle, int32_t index, PSWJobInfo* out)
{
    return copy_record(handle, index, out, &psw::PSWDeviceQuery::job_table);
}

PSW_API int32_t PSWGetPrinterInfo(PSWHandle handle, PSWPrinterInfo* out)
{
    const int32_t frame = needs_device(handle, out);
    if (frame != PSW_SUCCESS) {
        return frame;
    }
    return handle->m_pDeviceQuery->query_printer(out);
}

PSW_API int32_t PSWGetCharSet(PSWHandle handle, uint32_t which, int32_t* out)
{
    if (handle == nullptr || out == nullptr || which > PSW_CHARSET_PRIVATE) {
        return PSW_ERR_PARAMETER;
    }
    const int32_t frame = needs_device(handle, out);
    if (frame != PSW_SUCCESS) {
        return frame;
    }
    return handle->m_pDeviceQuery->query_char_set(which, out);
}

PSW_API int32_t PSWCancelJob(PSWHandle handle, const char* jobId)
{
    const int32_t frame = needs_device(handle, jobId);
    if (frame != PSW_SUCCESS) {
        return frame;
    }
    return handle->m_pDeviceQuery->cancel_job(jobId);
}

}  // extern "C"
