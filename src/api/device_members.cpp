#include "api/device_members.h"

#include "psw/psw_options.h"
#include "query/device_query.h"

namespace psw {

void pmc_destroy_option_set(CPSWBramblingOption* options) noexcept
{
    if (options != nullptr) {
        options->destroy();
    }
}

void pmc_destroy_device_query(PSWDeviceQuery* query) noexcept
{
    if (query != nullptr) {
        query->clear_tables();
        delete query;
    }
}

}  // namespace psw
