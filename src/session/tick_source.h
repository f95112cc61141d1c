// Where sessions read the time: milliseconds of the system tick count, or a test's clock.
#pragma once

#include <cstdint>

namespace psw {

class IPmsTickSource {
public:
    // Milliseconds from an arbitrary start; wraps like the system tick count, so callers take
    // differences in unsigned arithmetic.
    virtual uint32_t tick_count() noexcept = 0;

protected:
    ~IPmsTickSource() = default;
};

// The system tick count.
// not a transfer: a static object that lives as long as the process
IPmsTickSource& pms_system_tick_source() noexcept;

}  // namespace psw
