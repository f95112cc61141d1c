// The OS random source behind the request-id start.
#include <gtest/gtest.h>

#include <set>

#include "core/platform/random.h"

namespace psw::test {
namespace {

// Eight draws that were all the same would mean a constant, not a random source.
TEST(RandomSource, DrawsDifferentValues)
{
    std::set<uint32_t> drawn;
    for (int i = 0; i < 8; ++i) {
        drawn.insert(pmc_random_u32());
    }
    EXPECT_GT(drawn.size(), 1u);
}

}  // namespace
}  // namespace psw::test
