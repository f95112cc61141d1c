#include <gtest/gtest.h>

#include <string>

#include "api/finder.h"

namespace psw {
namespace {

constexpr char kModel[] = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";

TEST(SupportedModelTest, PrefixMustEndAtADot)
{
    EXPECT_NE(pmc_find_supported_model(kModel), nullptr);
    EXPECT_NE(pmc_find_supported_model("1.3.6.1.4.1.297.1.11.93.1.35.27.1.5"), nullptr);
    EXPECT_EQ(pmc_find_supported_model("1.3.6.1.4.1.297.1.11.93.1.35.27.10"), nullptr);
    EXPECT_EQ(pmc_find_supported_model("1.3.6.1.4.1.297.1.11.93.1.35.27"), nullptr);
    EXPECT_EQ(pmc_find_supported_model(""), nullptr);
    EXPECT_EQ(pmc_find_supported_model(nullptr), nullptr);
    EXPECT_STREQ(pmc_find_supported_model(kModel)->model_name, "Marlowen-K T7150X");
}

class FinderTest : public ::testing::Test {
protected:
    int32_t keep(const char* oid)
    {
        finder.start_list();
        finder.consider(oid, "10.0.0.9");
        return finder.count();
    }
    PSWFinder finder;
};

TEST_F(FinderTest, FiltersAreActiveOnlyWithSlotZeroUsed)
{
    EXPECT_EQ(keep(kModel), 1);
    EXPECT_EQ(keep("1.3.6.1.4.1.253.8"), 0);  // not a supported model at all

    ASSERT_EQ(finder.add_filter("1.3.6.1.4.1.297"), PSW_SUCCESS);
    EXPECT_EQ(keep(kModel), 1);
    finder.clear_filters();
    ASSERT_EQ(finder.add_filter("1.3.6.1.4.1.253"), PSW_SUCCESS);
    EXPECT_EQ(keep(kModel), 0);
    // A matching filter in a later slot counts once slot 0 is used.
    ASSERT_EQ(finder.add_filter("1.3.6.1.4.1.297.1"), PSW_SUCCESS);
    EXPECT_EQ(keep(kModel), 1);
}

TEST_F(FinderTest, FiftyFirstFilterIsDroppedSilently)
{
    for (int i = 0; i < kFinderFilterSlots; ++i) {
        ASSERT_EQ(finder.add_filter("1.3.6.1.4.1.253"), PSW_SUCCESS);
    }
    EXPECT_EQ(finder.add_filter("1.3.6.1.4.1.297"), PSW_SUCCESS);
    EXPECT_EQ(keep(kModel), 0);
}

TEST_F(FinderTest, LongTextsAreCutToTheirFields)
{
    const std::string long_oid = std::string(kModel) + std::string(40, '.') + "7";
    const std::string long_address(100, 'a');
    finder.start_list();
    ASSERT_EQ(finder.consider(long_oid.c_str(), long_address.c_str()), PSW_SUCCESS);
    PSWFoundDevice device;
    ASSERT_TRUE(finder.next(&device));
    EXPECT_EQ(std::string(device.sys_object_id), long_oid.substr(0, 63));
    EXPECT_EQ(std::string(device.address), long_address.substr(0, 63));
}

TEST_F(FinderTest, NewListReplacesTheOldAndResetsPosition)
{
    finder.start_list();
    finder.consider(kModel, "10.0.0.1");
    PSWFoundDevice device;
    ASSERT_TRUE(finder.next(&device));
    EXPECT_FALSE(finder.next(&device));
    finder.start_list();
    EXPECT_EQ(finder.count(), 0);
    EXPECT_FALSE(finder.next(&device));
    for (int i = 0; i < 10; ++i) {
        finder.consider(kModel, ("10.0.1." + std::to_string(i)).c_str());
    }
    EXPECT_EQ(finder.count(), 10);
    for (int i = 9; i >= 0; --i) {
        ASSERT_TRUE(finder.next(&device));
        EXPECT_EQ(std::string(device.address), "10.0.1." + std::to_string(i));
    }
}

}  // namespace
}  // namespace psw
