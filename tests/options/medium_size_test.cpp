// Medium sizes from chosen dimensions, tray levels, and the ROM version numbers.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "option_test_support.h"

namespace psw::test {
namespace {

using Options = ExposedGeneric;

// The medium-size table as published for the printer family: short side, long side (both
// micrometres) and code, in search order.
constexpr char kPublishedTable[] =
    "(215900, 279400, 1), (215900, 355600, 2), (254000, 330200, 3), (228600, 304800, 4), "
    "(104800, 241300, 10017), (104775, 241300, 5), (177800, 228600, 6), (228600, 279400, 7), "
    "(254000, 355600, 8), (152400, 228600, 10), (254000, 381000, 11), (98400, 190500, 12), "
    "(431800, 558800, 15), (558800, 863600, 16), (863600, 1117600, 17), (841000, 1189000, 21), "
    "(594000, 841000, 22), (420000, 594000, 23), (297000, 420000, 24), (210000, 297000, 25), "
    "(148000, 210000, 26), (105000, 148000, 27), (74000, 105000, 28), (52000, 74000, 29), "
    "(37000, 52000, 30), (26000, 37000, 31), (1000000, 1414000, 41), (707000, 1000000, 42), "
    "(500000, 707000, 43), (353000, 500000, 44), (250000, 353000, 45), (176000, 250000, 46), "
    "(125000, 176000, 47), (88000, 125000, 48), (62000, 88000, 49), (44000, 62000, 50), "
    "(31000, 44000, 51), (917000, 1297000, 61), (648000, 917000, 62), (458000, 648000, 63), "
    "(324000, 458000, 64), (229000, 324000, 65), (162000, 229000, 66), (114000, 162000, 67), "
    "(81000, 114000, 68), (57000, 81000, 69), (110000, 220000, 70), (1030000, 1456000, 81), "
    "(728000, 1030000, 82), (515000, 728000, 83), (364000, 515000, 84), (257000, 364000, 85), "
    "(182000, 257000, 86), (128000, 182000, 87), (91000, 128000, 88), (64000, 91000, 89), "
    "(45000, 64000, 90), (32000, 45000, 91), (279400, 431800, 10001), (215900, 330200, 10002), "
    "(100000, 148000, 10003), (267000, 388000, 10005), (194000, 267000, 10006), "
    "(140000, 215900, 10007), (203200, 254000, 10008), (304800, 457200, 10009), "
    "(304800, 482600, 10010), (320000, 457200, 10011), (320000, 450000, 10012), "
    "(120000, 235000, 10013), (184200, 266700, 10014), (270000, 390000, 10015), "
    "(195000, 270000, 10016), (223000, 297000, 10018), (226000, 310000, 10019), "
    "(328000, 453000, 10020), (148000, 200000, 10021), (320000, 487700, 10022), "
    "(330200, 457200, 10023), (330200, 482600, 10024), (215000, 351000, 10025)";

struct Size {
    int32_t shortSide;
    int32_t longSide;
    int32_t code;
};

std::vector<Size> published_sizes()
{
    std::vector<Size> sizes;
    std::string text(kPublishedTable);
    for (char& c : text) {
        if (c == '(' || c == ')' || c == ',') {
            c = ' ';
        }
    }
    std::istringstream in(text);
    Size size{};
    while (in >> size.shortSide >> size.longSide >> size.code) {
        sizes.push_back(size);
    }
    return sizes;
}

// The first published row within 2000 of both sides, as the printer's own tables choose.
int32_t first_match(const std::vector<Size>& sizes, int32_t shortSide, int32_t longSide)
{
    for (const Size& size : sizes) {
        if (std::abs(size.shortSide - shortSide) <= 2000 &&
            std::abs(size.longSide - longSide) <= 2000) {
            return size.code;
        }
    }
    return -1;
}

TEST(MediumSize, EveryPublishedRowIsFoundInOrder)
{
    const std::vector<Size> sizes = published_sizes();
    ASSERT_EQ(sizes.size(), 81u);
    int ownCode = 0;
    for (const Size& size : sizes) {
        int32_t code = -1;
        int32_t direction = -1;
        Options::MediaDimensionToMediumSize(4, size.longSide, size.shortSide, &code, &direction);
        EXPECT_EQ(code, first_match(sizes, size.shortSide, size.longSide)) << size.code;
        EXPECT_EQ(direction, 3);
        if (code == size.code) {
            ++ownCode;
        }
    }
    // Only rows shadowed by an earlier overlapping row answer another code.
    EXPECT_GE(ownCode, 70);
}

TEST(MediumSize, A4BothWays)
{
    int32_t code = 0;
    int32_t direction = 0;
    Options::MediaDimensionToMediumSize(4, 297000, 210000, &code, &direction);
    EXPECT_EQ(code, 25);
    EXPECT_EQ(direction, 3);
    Options::MediaDimensionToMediumSize(4, 210000, 297000, &code, &direction);
    EXPECT_EQ(code, 25);
    EXPECT_EQ(direction, 2);
}

TEST(MediumSize, EqualSidesCountAsFeedDirection)
{
    int32_t code = -1;
    int32_t direction = -1;
    // No square medium exists: nothing changes.
    Options::MediaDimensionToMediumSize(4, 210000, 210000, &code, &direction);
    EXPECT_EQ(code, -1);
    EXPECT_EQ(direction, -1);
}

TEST(MediumSize, OtherUnitsAndNegativeDimensionsChangeNothing)
{
    int32_t code = 10000;
    int32_t direction = 1;
    Options::MediaDimensionToMediumSize(3, 297000, 210000, &code, &direction);
    EXPECT_EQ(code, 10000);
    EXPECT_EQ(direction, 1);
    Options::MediaDimensionToMediumSize(4, -297000, 210000, &code, &direction);
    Options::MediaDimensionToMediumSize(4, 297000, -1, &code, &direction);
    EXPECT_EQ(code, 10000);
    EXPECT_EQ(direction, 1);
}

TEST(MediumSize, ToleranceIsInclusive2000)
{
    int32_t code = 0;
    int32_t direction = 0;
    Options::MediaDimensionToMediumSize(4, 299000, 208000, &code, &direction);
    EXPECT_EQ(code, 25);
    code = 0;
    Options::MediaDimensionToMediumSize(4, 299001, 210000, &code, &direction);
    EXPECT_EQ(code, 0) << "2001 off the long side matches nothing";
    Options::MediaDimensionToMediumSize(4, 297000, 207999, &code, &direction);
    EXPECT_EQ(code, 0);
}

TEST(MediumSize, OverlappingWindowsPickTheEarlierRow)
{
    int32_t code = 0;
    int32_t direction = 0;
    Options::MediaDimensionToMediumSize(4, 241300, 104775, &code, &direction);
    EXPECT_EQ(code, 10017);
    Options::MediaDimensionToMediumSize(4, 241300, 102780, &code, &direction);
    EXPECT_EQ(code, 5) << "only the later row's window reaches this far";
}

TEST(MediumSize, NoMatchLeavesOutputsUnchanged)
{
    int32_t code = 10000;
    int32_t direction = 1;
    Options::MediaDimensionToMediumSize(4, 5000000, 10, &code, &direction);
    EXPECT_EQ(code, 10000);
    EXPECT_EQ(direction, 1);
    Options::MediaDimensionToMediumSize(4, 297000, 210000, nullptr, nullptr);
}

TEST(MediumLevel, RoundsToTheNearestPercent)
{
    int32_t maximum = 0;
    int32_t percent = 0;
    Options::ConvertMediumLevel(8, 500, 249, &maximum, &percent);
    EXPECT_EQ(maximum, 500);
    EXPECT_EQ(percent, 50);
    Options::ConvertMediumLevel(8, 3, 1, &maximum, &percent);
    EXPECT_EQ(percent, 33);
    Options::ConvertMediumLevel(8, 3, 2, &maximum, &percent);
    EXPECT_EQ(percent, 67);
    Options::ConvertMediumLevel(8, 500, 0, &maximum, &percent);
    EXPECT_EQ(percent, 0);
    Options::ConvertMediumLevel(8, 500, 500, &maximum, &percent);
    EXPECT_EQ(percent, 100);
    Options::ConvertMediumLevel(8, 1000, 4, &maximum, &percent);
    EXPECT_EQ(percent, 0);
    Options::ConvertMediumLevel(8, 1000, 5, &maximum, &percent);
    EXPECT_EQ(percent, 1);
}

TEST(MediumLevel, LargeCountsDoNotOverflow)
{
    int32_t maximum = 0;
    int32_t percent = 0;
    Options::ConvertMediumLevel(8, 2000000000, 1000000000, &maximum, &percent);
    EXPECT_EQ(maximum, 2000000000);
    EXPECT_EQ(percent, 50);
}

TEST(MediumLevel, UnknownLevelsAndMaximaGiveMinusOne)
{
    int32_t maximum = 0;
    int32_t percent = 0;
    Options::ConvertMediumLevel(8, 500, -3, &maximum, &percent);
    EXPECT_EQ(maximum, 500);
    EXPECT_EQ(percent, -1);
    Options::ConvertMediumLevel(8, 0, 10, &maximum, &percent);
    EXPECT_EQ(maximum, 0);
    EXPECT_EQ(percent, -1);
    Options::ConvertMediumLevel(8, -2, 10, &maximum, &percent);
    EXPECT_EQ(maximum, -2);
    EXPECT_EQ(percent, -1);
}

TEST(MediumLevel, OtherUnitsChangeNothing)
{
    int32_t maximum = -1;
    int32_t percent = -1;
    Options::ConvertMediumLevel(3, 500, 249, &maximum, &percent);
    EXPECT_EQ(maximum, -1);
    EXPECT_EQ(percent, -1);
    Options::ConvertMediumLevel(8, 500, 249, nullptr, nullptr);
    Options::ConvertMediumLevel(8, 500, 249, &maximum, nullptr);
    EXPECT_EQ(maximum, 500);
}

class RomVersion : public ::testing::Test {
protected:
    int32_t parse(const char* text)
    {
        copy(text);
        return options.parse_version_value();
    }
    void copy(const char* text)
    {
        std::snprintf(options.m_romVersion, sizeof options.m_romVersion, "%s", text);
    }
    int32_t number(const char* name)
    {
        int32_t value = -999;
        EXPECT_EQ(options.get_option(name, &value, 0), 0);
        return value;
    }

    Options options;
};

TEST_F(RomVersion, ReadsTheThreeNumbers)
{
    ASSERT_EQ(parse("Printer Controller v1.2.3 - Processor"), 0);
    EXPECT_EQ(number("PrinterRomVersionMajor"), 1);
    EXPECT_EQ(number("PrinterRomVersionMinor"), 2);
    EXPECT_EQ(number("PrinterRomVersionRevision"), 3);
    ASSERT_EQ(parse("Printer Controller v12.40.1017 - Processor"), 0);
    EXPECT_EQ(number("PrinterRomVersionMajor"), 12);
    EXPECT_EQ(number("PrinterRomVersionMinor"), 40);
    EXPECT_EQ(number("PrinterRomVersionRevision"), 1017);
}

TEST_F(RomVersion, TextAfterTheThirdNumberIsNotExamined)
{
    EXPECT_EQ(parse("Printer Controller v4.5.6"), 0);
    EXPECT_EQ(number("PrinterRomVersionRevision"), 6);
    EXPECT_EQ(parse("Printer Controller v4.5.7 (build 99)"), 0);
    EXPECT_EQ(number("PrinterRomVersionRevision"), 7);
}

TEST_F(RomVersion, WhiteSpaceAsTheFormatReadsIt)
{
    EXPECT_EQ(parse("Printer   Controller\tv 1. 2. 3 - Processor"), 0);
    EXPECT_EQ(number("PrinterRomVersionMinor"), 2);
    EXPECT_EQ(parse("PrinterController v1.2.3"), 0) << "white space in the form may be absent";
}

TEST_F(RomVersion, OtherTextsFailAndKeepNumbers)
{
    test::LogCapture& log = test::LogCapture::attach("PSW");
    ASSERT_EQ(parse("Printer Controller v1.2.3 - Processor"), 0);
    const char* const bad[] = {"",
                               "Printer Controller 1.2.3 - Processor",
                               "printer controller v1.2.3 - Processor",
                               "Printer Controller v1.2 - Processor",
                               "Printer Controller v1.x.3 - Processor",
                               "Printer Controller v1-2-3",
                               "Printer Controller v99999999999.2.3 - Processor"};
    for (const char* text : bad) {
        log.clear();
        EXPECT_EQ(parse(text), PSW_ERR_FAILED) << text;
        EXPECT_TRUE(log.contains("invalid PrinterROMVersion format")) << text;
    }
    EXPECT_EQ(number("PrinterRomVersionMajor"), 1);
}

TEST_F(RomVersion, SignsAreRead)
{
    EXPECT_EQ(parse("Printer Controller v-1.+2.3 - Processor"), 0);
    EXPECT_EQ(number("PrinterRomVersionMajor"), -1);
    EXPECT_EQ(number("PrinterRomVersionMinor"), 2);
}

}  // namespace
}  // namespace psw::test
