// The common query procedure: every query reaches the printer through a fresh get-data request
// that is given its community, initialised with the session's connection values, filled with
// the columns and walked. Every failure is logged under "PSW" with the failing operation.
#include <cstring>

#include "log/log_registry.h"
#include "query/device_query.h"
#include "query/logged_reads.h"
#include "query/record_fields.h"

namespace psw {

Result PSWDeviceQuery::open_request(OwnedPtr<IPmcGetData>* out, bool for_write) noexcept
{
    Result result = PSW_ERR_NO_MEMORY;
    OwnedPtr<IPmcGetData> request(m_create_get_data(&result));
    if (request == nullptr) {
        if (result == PSW_SUCCESS) {
            result = PSW_ERR_NO_MEMORY;
        }
        pmc_log("PSW", 1, "pmc_create_get_data()", result);
        return result;
    }
    result = PSW_SUCCESS;
    if (for_write) {
        result = request->set_community(m_writeCommunity);
    } else if (m_readCommunitySet) {
        result = request->set_community(m_readCommunity);
    }
    if (result != PSW_SUCCESS) {
        pmc_log("PSW", 1, "pGetData->set_community()", result);
        return result;
    }
    result = init_request(request.get());
    if (result != PSW_SUCCESS) {
        return result;
    }
    *out = std::move(request);
    return PSW_SUCCESS;
}

Result PSWDeviceQuery::init_request(IPmcGetData* request) noexcept
{
    const Result result = request->init(m_address, m_protocol, m_port, m_securityMode, m_usm,
                                        static_cast<int32_t>(m_timeout),
                                        static_cast<int32_t>(m_retries), m_maxMessageSize);
    if (result != PSW_SUCCESS) {
        pmc_log("PSW", 1, "pGetData->init()", result);
    }
    return result;
}

Result PSWDeviceQuery::walk_columns(IPmcGetData* request, const char* const* columns, size_t count,
                                    OwnedPtr<PmsWalkRows>* rows) noexcept
{
    Result result = PSW_SUCCESS;
    for (size_t i = 0; i < count; ++i) {
        result = pmc_logged_add_oid(request, columns[i], false);
        if (result != PSW_SUCCESS) {
            return result;
        }
    }
    OwnedPtr<PmsWalkRows> table(new (std::nothrow) PmsWalkRows());
    if (table == nullptr) {
        pmc_log("PSW", 1, "pGetData->get_data()", PSW_ERR_NO_MEMORY);
        return PSW_ERR_NO_MEMORY;
    }
    result = request->get_rows(table.get(), columns[0]);
    if (result != PSW_SUCCESS) {
        pmc_log("PSW", 1, "pGetData->get_data()", result);
        return result;
    }
    *rows = std::move(table);
    return PSW_SUCCESS;
}

Result PSWDeviceQuery::read_table(const char* const* columns, size_t count,
                                  OwnedPtr<PmsWalkRows>* rows) noexcept
{
    OwnedPtr<IPmcGetData> request;
    const Result result = open_request(&request, false);
    if (result != PSW_SUCCESS) {
        return result;
    }
    return walk_columns(request.get(), columns, count, rows);
}

Result PSWDeviceQuery::stream_table(const char* const* columns, size_t count, IPmcRowSink* sink,
                                    const Result* visit_result) noexcept
{
    OwnedPtr<IPmcGetData> request;
    Result result = open_request(&request, false);
    for (size_t i = 0; result == PSW_SUCCESS && i < count; ++i) {
        result = pmc_logged_add_oid(request.get(), columns[i], false);
    }
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = request->walk_rows(sink, columns[0]);
    if (result != PSW_SUCCESS && *visit_result == PSW_SUCCESS) {
        pmc_log("PSW", 1, "pGetData->get_data()", result);
    }
    return result;
}

Result PSWDeviceQuery::read_single_int(const char* oid, int32_t* value) noexcept
{
    OwnedPtr<IPmcGetData> request;
    const Result result = open_request(&request, false);
    return result == PSW_SUCCESS ? pmc_logged_read_int(request.get(), oid, false, value) : result;
}

Result PSWDeviceQuery::read_single_text(const char* oid, char* field, size_t size) noexcept
{
    OwnedPtr<IPmcGetData> request;
    const Result result = open_request(&request, false);
    return result == PSW_SUCCESS ? pmc_logged_read_text(request.get(), oid, false, field, size)
                                 : result;
}

}  // namespace psw
