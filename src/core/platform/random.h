// Unpredictable numbers from the operating system's random source.
#pragma once

#include <cstdint>

namespace psw {

// A 32-bit value from the OS random source. Should the source fail, a value mixed from the
// clock and the process id, which is still different per process but guessable.
uint32_t pmc_random_u32() noexcept;

}  // namespace psw
