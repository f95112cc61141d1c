#include <gtest/gtest.h>

#include "psw/psw.h"

namespace {

struct MediumCase {
    const char* what;
    int32_t unit;
    int32_t feed;
    int32_t cross_feed;
    int32_t result;
    int32_t code;  // expected when result is PSW_SUCCESS
};

// The table psw names tray sizes from, reached without a handle.
TEST(PSWGetMediumSize, FindsTheTableRowInEitherUnitAndOrientation)
{
    const MediumCase cases[] = {
        {"A4 long edge first", 4, 297000, 210000, PSW_SUCCESS, 25},
        {"A4 short edge first", 4, 210000, 297000, PSW_SUCCESS, 25},
        {"A4 1.9 mm off on both sides", 4, 298900, 211900, PSW_SUCCESS, 25},
        {"Letter in ten-thousandths of an inch", 3, 110000, 85000, PSW_SUCCESS, 1},
        {"Legal", 3, 140000, 85000, PSW_SUCCESS, 2},
        {"Com-10 takes the earlier of two overlapping rows", 4, 241300, 104800, PSW_SUCCESS, 10017},
        {"A4 2.1 mm off", 4, 299100, 210000, PSW_ERR_NOT_FOUND, 0},
        {"200x250 mm is no size", 4, 250000, 200000, PSW_ERR_NOT_FOUND, 0},
        {"a dimension below 0", 4, -1, 210000, PSW_ERR_PARAMETER, 0},
        {"unit 8 (sheets) is no dimension", 8, 297000, 210000, PSW_ERR_PARAMETER, 0},
    };
    for (const MediumCase& c : cases) {
        int32_t code = -7;
        EXPECT_EQ(PSWGetMediumSize(c.unit, c.feed, c.cross_feed, &code), c.result) << c.what;
        EXPECT_EQ(code, c.result == PSW_SUCCESS ? c.code : -7)
            << c.what << ": written on success only";
    }
    EXPECT_EQ(PSWGetMediumSize(4, 297000, 210000, nullptr), PSW_ERR_PARAMETER);
}

}  // namespace
