// Tick count and local time.
#pragma once

#include <cstdint>

namespace psw {

// Milliseconds from an arbitrary start; wraps around after about 49 days like the system tick
// count, so differences must be taken in unsigned arithmetic.
uint32_t pmc_tick_count() noexcept;

struct PmcLocalTime {
    int year;
    int month;  // 1..12
    int day;    // 1..31
    int hour;
    int minute;
    int second;
    int millisecond;
};

PmcLocalTime pmc_local_time() noexcept;

}  // namespace psw
