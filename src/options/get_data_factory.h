// The library's own maker of get-data requests, the default of every option set.
#pragma once

#include "core/result.h"

namespace psw {

class IPmcGetData;

// A new get-data request, or null with the code in `result`: -3 when memory runs out, -10
// while the library is built without a request implementation.
IPmcGetData* pmc_option_get_data_factory(Result* result) noexcept;

}  // namespace psw
