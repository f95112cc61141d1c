#include "options/option_requests.h"

#include "log/log_registry.h"
#include "query/logged_reads.h"
#include "request/request_objects.h"
#include "snmp/pms_lists.h"
#include "snmp/walk_rows.h"

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
    PmsWalkRows rows;
    code = request->get_rows(&rows, columns[0]);
    if (code != PSW_SUCCESS) {
        pmc_log("PSW", kLogError, "pGetData->get_data()", code);
        return code;
    }
    return rows.visit([&](const IPmsPdu* row) noexcept {
        visit(context, OptionTableRow(row, columns, count));
        return PSW_SUCCESS;
    });
}

}  // namespace psw
