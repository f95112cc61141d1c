// The medium-size table of the option sets: the code of a medium from its two sides.
#pragma once

#include <cstdint>

namespace psw {

// The code of the first row of the medium-size table whose sides lie within 2000 micrometres of
// the short and the long side given (in micrometres, any order); 0 when no row fits. Both the
// option sets and PSWGetMediumSize read sizes through here.
int32_t pmc_medium_size_code(int32_t side_a_um, int32_t side_b_um) noexcept;

}  // namespace psw
