#include "query/logged_reads.h"

#include "core/text_field.h"
#include "log/log_registry.h"
#include "request/request_objects.h"

namespace psw {

Result pmc_logged_add_oid(IPmcGetData* request, const char* oid, bool instance) noexcept
{
    const Result code = request->add_oid_string(oid, instance);
    if (code != PSW_SUCCESS) {
        pmc_log("PSW", kLogError, "pGetData->add_oid_string()", code);
    }
    return code;
}

Result pmc_logged_read_text(IPmcGetData* request, const char* oid, bool instance, char* field,
                            size_t size) noexcept
{
    Result code = pmc_logged_add_oid(request, oid, instance);
    if (code != PSW_SUCCESS) {
        return code;
    }
    // get_string writes at most kGetStringCapacity bytes, terminator included.
    char text[kGetStringCapacity] = {};
    code = request->get_string(text);
    if (code != PSW_SUCCESS) {
        pmc_log("PSW", kLogError, "pGetData->get_string()", code);
        return code;
    }
    text[kGetStringCapacity - 1] = '\0';
    pmc_copy_text(field, size, text);
    return PSW_SUCCESS;
}

Result pmc_logged_read_int(IPmcGetData* request, const char* oid, bool instance,
                           int32_t* value) noexcept
{
    Result code = pmc_logged_add_oid(request, oid, instance);
    if (code != PSW_SUCCESS) {
        return code;
    }
    int32_t read = -1;
    code = request->get_int(&read);
    if (code != PSW_SUCCESS) {
        pmc_log("PSW", kLogError, "pGetData->get_int()", code);
        return code;
    }
    *value = read;
    return PSW_SUCCESS;
}

}  // namespace psw
