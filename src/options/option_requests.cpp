#include "options/option_requests.h"

#include "log/log_registry.h"
#include "query/logged_reads.h"
#include "snmp/pms_lists.h"
#include "request/request_objects.h"

namespace psw {

Result option_read_ints(IPmcGetData* request, const char* const* oids, int32_t count,
                        int32_t* values) noexcept
{
    for (int32_t i = 0; i < count; ++i) {
        const Result code = pmc_logged_add_oid(request, oids[i], false);
        if (code != PSW_SUCCESS) {
            return code;
        }
    }
    const Result code = request->get_ints(values, count);
    if (code != PSW_SUCCESS) {
        pmc_log("PSW", kLogError, "pGetData->get_ints()", code);
    }
    return code;
}

Result option_walk(IPmcGetData* request, const char* const* columns, uint32_t count,
                   OptionRowVisitor visit, void* context) noexcept
{
    for (uint32_t i = 0; i < count; ++i) {
        const Result code = pmc_logged_add_oid(request, columns[i], false);
        if (code != PSW_SUCCESS) {
            return code;
        }
    }
    Result code = PSW_SUCCESS;
    OwnedPtr<PmsPduList> rows(create_pdu_list(&code));
    if (rows == nullptr) {
        pmc_log("PSW", kLogError, "pGetData->get_data()", code);
        return code;
    }
    code = request->get_data(rows.get(), columns[0]);
    if (code != PSW_SUCCESS) {
        pmc_log("PSW", kLogError, "pGetData->get_data()", code);
        return code;
    }
    PmsListIterator* position = rows->new_iterator(&code);
    if (position == nullptr) {
        return code;
    }
    for (const IPmsPdu* row = rows->at(position); row != nullptr; row = rows->at(position)) {
        visit(context, OptionTableRow(row, columns, count));
        rows->advance(position);
    }
    rows->release_iterator(position);
    return PSW_SUCCESS;
}

}  // namespace psw
