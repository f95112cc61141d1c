#include "options/get_data_factory.h"

#include "snmp/request_objects.h"

namespace psw {

// Bound weakly so that the option classes build and can be tested before a request
// implementation is linked in; the shared library always carries one.
IPmcGetData* pmc_create_get_data(Result* result) noexcept __attribute__((weak));

IPmcGetData* pmc_option_get_data_factory(Result* result) noexcept
{
    if (pmc_create_get_data == nullptr) {
        set_result(result, PSW_ERR_NOT_AVAILABLE);
        return nullptr;
    }
    return pmc_create_get_data(result);
}

}  // namespace psw
