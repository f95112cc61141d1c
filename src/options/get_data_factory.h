// The library's own maker of get-data requests, the default of every option set.
#pragma once

#include "core/result.h"

namespace psw {

class IPmcGetData;

// A new get-data request, or null with PSW_ERR_NO_MEMORY when memory runs out.
// the caller owns the result and releases it with release()
IPmcGetData* pmc_option_get_data_factory(Result* result) noexcept;

}  // namespace psw
