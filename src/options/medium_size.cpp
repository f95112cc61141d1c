// Media size codes from chosen dimensions, and tray levels in percent.
#include <cstdint>

#include "options/medium_size.h"
#include "psw/psw_options.h"

namespace psw {

namespace {

constexpr int32_t kUnitMicrometres = 4;
constexpr int32_t kUnitSheets = 8;
constexpr int32_t kSideTolerance = 2000;
constexpr int32_t kDirectionFeedLonger = 3;
constexpr int32_t kDirectionCrossFeedLonger = 2;

struct MediumSize {
    int32_t shortSide;  // micrometres
    int32_t longSide;
    int32_t code;
};

// Searched in this order; the first row within the tolerance on both sides wins, so where
// two windows overlap the earlier row is chosen.
constexpr MediumSize kMediumSizes[] = {
    {215900, 279400, 1},     {215900, 355600, 2},     {254000, 330200, 3},
    {228600, 304800, 4},     {104800, 241300, 10017}, {104775, 241300, 5},
    {177800, 228600, 6},     {228600, 279400, 7},     {254000, 355600, 8},
    {152400, 228600, 10},    {254000, 381000, 11},    {98400, 190500, 12},
    {431800, 558800, 15},    {558800, 863600, 16},    {863600, 1117600, 17},
    {841000, 1189000, 21},   {594000, 841000, 22},    {420000, 594000, 23},
    {297000, 420000, 24},    {210000, 297000, 25},    {148000, 210000, 26},
    {105000, 148000, 27},    {74000, 105000, 28},     {52000, 74000, 29},
    {37000, 52000, 30},      {26000, 37000, 31},      {1000000, 1414000, 41},
    {707000, 1000000, 42},   {500000, 707000, 43},    {353000, 500000, 44},
    {250000, 353000, 45},    {176000, 250000, 46},    {125000, 176000, 47},
    {88000, 125000, 48},     {62000, 88000, 49},      {44000, 62000, 50},
    {31000, 44000, 51},      {917000, 1297000, 61},   {648000, 917000, 62},
    {458000, 648000, 63},    {324000, 458000, 64},    {229000, 324000, 65},
    {162000, 229000, 66},    {114000, 162000, 67},    {81000, 114000, 68},
    {57000, 81000, 69},      {110000, 220000, 70},    {1030000, 1456000, 81},
    {728000, 1030000, 82},   {515000, 728000, 83},    {364000, 515000, 84},
    {257000, 364000, 85},    {182000, 257000, 86},    {128000, 182000, 87},
    {91000, 128000, 88},     {64000, 91000, 89},      {45000, 64000, 90},
    {32000, 45000, 91},      {279400, 431800, 10001}, {215900, 330200, 10002},
    {100000, 148000, 10003}, {267000, 388000, 10005}, {194000, 267000, 10006},
    {140000, 215900, 10007}, {203200, 254000, 10008}, {304800, 457200, 10009},
    {304800, 482600, 10010}, {320000, 457200, 10011}, {320000, 450000, 10012},
    {120000, 235000, 10013}, {184200, 266700, 10014}, {270000, 390000, 10015},
    {195000, 270000, 10016}, {223000, 297000, 10018}, {226000, 310000, 10019},
    {328000, 453000, 10020}, {148000, 200000, 10021}, {320000, 487700, 10022},
    {330200, 457200, 10023}, {330200, 482600, 10024}, {215000, 351000, 10025},
};
static_assert(sizeof kMediumSizes / sizeof kMediumSizes[0] == 81);

bool within_tolerance(int32_t side, int32_t dimension) noexcept
{
    const int64_t difference = static_cast<int64_t>(side) - dimension;
    return difference >= -kSideTolerance && difference <= kSideTolerance;
}

}  // namespace

int32_t pmc_medium_size_code(int32_t side_a_um, int32_t side_b_um) noexcept
{
    const int32_t shortDimension = side_a_um < side_b_um ? side_a_um : side_b_um;
    const int32_t longDimension = side_a_um < side_b_um ? side_b_um : side_a_um;
    for (const MediumSize& size : kMediumSizes) {
        if (within_tolerance(size.shortSide, shortDimension) &&
            within_tolerance(size.longSide, longDimension)) {
            return size.code;
        }
    }
    return 0;
}

void CPSWDevCommOption::MediaDimensionToMediumSize(int32_t unit, int32_t feed, int32_t crossFeed,
                                                   int32_t* sizeCode, int32_t* direction) noexcept
{
    if (unit != kUnitMicrometres || feed < 0 || crossFeed < 0) {
        return;
    }
    const int32_t code = pmc_medium_size_code(feed, crossFeed);
    if (code == 0) {
        return;
    }
    if (sizeCode != nullptr) {
        *sizeCode = code;
    }
    if (direction != nullptr) {
        *direction = feed >= crossFeed ? kDirectionFeedLonger : kDirectionCrossFeedLonger;
    }
}

void CPSWDevCommOption::ConvertMediumLevel(int32_t unit, int32_t maximum, int32_t level,
                                           int32_t* maximumOut, int32_t* percent) noexcept
{
    if (unit != kUnitSheets) {
        return;
    }
    if (maximumOut != nullptr) {
        *maximumOut = maximum;
    }
    if (percent == nullptr) {
        return;
    }
    if (level < 0 || maximum < 1) {
        *percent = -1;
        return;
    }
    // Rounded to the nearest percent; 64-bit so that large counts cannot overflow.
    const int64_t rounded =
        (static_cast<int64_t>(level) * 100 + maximum / 2) / static_cast<int64_t>(maximum);
    *percent = static_cast<int32_t>(rounded);
}

}  // namespace psw
