#include "options/get_data_factory.h"

#include "request/request_objects.h"

namespace psw {

IPmcGetData* pmc_option_get_data_factory(Result* result) noexcept
{
    return pmc_create_get_data(result);
}

}  // namespace psw
