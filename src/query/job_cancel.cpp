// Job cancel: one SET of the private cancel object, whose instance is 101 followed by the job
// identifier written as a length-prefixed OCTET STRING index, with the write community.
#include "log/log_registry.h"
#include "query/device_query.h"
#include "query/job_identifier.h"

namespace psw {

namespace {

constexpr char kCancelColumn[] = "1.3.6.1.4.1.253.8.76.3.2.1.1";
constexpr int32_t kCancelValue = 1414;

}  // namespace

Result PSWDeviceQuery::cancel_job(const char* job_id) noexcept
{
    OwnedPtr<IPmsOid> instance;
    Result result = pmc_job_cancel_instance(job_id, &instance);
    if (result != PSW_SUCCESS) {
        return result;
    }
    OwnedPtr<IPmcGetData> request;
    result = open_request(&request, true);
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = request->add_oid_with_int(kCancelColumn, instance->text(), kCancelValue);
    if (result != PSW_SUCCESS) {
        pmc_log("PSW", 1, "pGetData->add_oid_string()", result);
        return result;
    }
    result = request->set_data();
    if (result != PSW_SUCCESS) {
        pmc_log("PSW", 1, "pGetData->set_data()", result);
    }
    return result;
}

}  // namespace psw
