#include <gtest/gtest.h>

#include <cstring>

#include "core/factory.h"
#include "core/pms_octets.h"
#include "support/alloc_failure.h"

namespace psw {
namespace {

using test::AllocFailure;

// A clone either hands out an equal string or fails and leaves `*out` alone, whichever of its
// two allocations (the object, then the bytes) runs out.
TEST(PmsOctetsClone, FailsWithoutHandingOutAnythingWhenEitherAllocationFails)
{
    OwnedPtr<PmsOctets> source(pmc_new<PmsOctets>());
    ASSERT_TRUE(source);
    ASSERT_EQ(source->assign("sysName", 7), PSW_SUCCESS);

    for (uint64_t k = 1; k <= 2; ++k) {
        PmsOctets* sentinel = source.get();
        PmsOctets* out = sentinel;
        AllocFailure::fail_at(k);
        const Result result = source->clone(&out);
        const bool hit = AllocFailure::triggered();
        AllocFailure::disarm();
        ASSERT_TRUE(hit) << "allocation " << k;
        EXPECT_EQ(result, PSW_ERR_NO_MEMORY) << "allocation " << k;
        EXPECT_EQ(out, sentinel) << "allocation " << k;
    }

    PmsOctets* copy = nullptr;
    ASSERT_EQ(source->clone(&copy), PSW_SUCCESS);
    OwnedPtr<PmsOctets> owned(copy);
    ASSERT_TRUE(owned);
    EXPECT_TRUE(owned->equals("sysName", 7));
}

}  // namespace
}  // namespace psw
