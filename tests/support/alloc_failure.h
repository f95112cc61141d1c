// Allocation-failure injection for tests: this file's object replaces the global operator new
// and delete (every form) with counting versions that can fail the k-th allocation. Linking a
// test that calls any function here pulls the replacement in; disarmed it behaves like the
// default operators, so other tests are unaffected.
//
//   psw::test::AllocFailure::fail_at(k);   // the k-th allocation from now (1-based) fails
//   ... run the code ...
//   bool hit = psw::test::AllocFailure::triggered();
//   psw::test::AllocFailure::disarm();
#pragma once

#include <cstdint>

namespace psw::test {

class AllocFailure {
public:
    // Counts allocations from now on and fails the `k`-th one (and only that one).
    static void fail_at(uint64_t k) noexcept;
    // Counts allocations from now on without failing any.
    static void count_only() noexcept;
    static void disarm() noexcept;
    static bool triggered() noexcept;
    // Allocations seen since fail_at or count_only.
    static uint64_t count() noexcept;
};

}  // namespace psw::test
