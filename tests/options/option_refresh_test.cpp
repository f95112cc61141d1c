// refresh_options and its nine steps against a scripted printer.
#include <gtest/gtest.h>

#include <string>

#include "option_test_support.h"

namespace psw::test {
namespace {

class OptionRefresh : public ::testing::Test {
protected:
    void SetUp() override
    {
        populate_printer(agent);
        ASSERT_EQ(options.Init(1, "192.0.2.10", nullptr, 1000, 1, 0), 0);
    }

    int32_t number(const char* name, int32_t index = 0)
    {
        int32_t value = -12345;
        EXPECT_EQ(options.get_option(name, &value, index), 0) << name;
        return value;
    }
    bool flag(const char* name, int32_t index = 0)
    {
        bool value = false;
        EXPECT_EQ(options.get_option(name, &value, index), 0) << name;
        return value;
    }
    std::string text(const char* name, int32_t index = 0)
    {
        const char* value = nullptr;
        EXPECT_EQ(options.get_option(name, &value, index), 0) << name;
        return value != nullptr ? value : "(null)";
    }

    FakeAgent agent;
    ExposedGeneric options;
};

TEST_F(OptionRefresh, ReadsEveryOptionOfThePrinter)
{
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_EQ(text("SysName"), "office-printer-3");
    EXPECT_EQ(text("PrinterRomVersion"), "Printer Controller v1.2.3 - Processor");
    EXPECT_EQ(number("PrinterRomVersionMajor"), 1);
    EXPECT_EQ(number("PrinterRomVersionMinor"), 2);
    EXPECT_EQ(number("PrinterRomVersionRevision"), 3);
    EXPECT_EQ(text("NetWareSAPUnitName"), "PRN-SAP-01");
    EXPECT_EQ(number("MemorySizeInKByte"), 262144);
    EXPECT_EQ(number("MemorySizeInMByte"), 256);
    EXPECT_TRUE(flag("Scanner"));
    EXPECT_TRUE(flag("Copier"));
    EXPECT_TRUE(flag("FAXUnit"));
    EXPECT_TRUE(flag("HardDisk"));
    EXPECT_TRUE(flag("InTrayExistHCF"));
    EXPECT_FALSE(flag("InTrayExistHCF2"));
    EXPECT_FALSE(flag("InTrayExistTTM"));
    EXPECT_EQ(number("FAXSIPStatus"), 5);
    EXPECT_TRUE(flag("DuplexModule"));
    EXPECT_TRUE(flag("OffsetCatch"));
    EXPECT_TRUE(flag("InTrayMSI"));
    EXPECT_TRUE(flag("FAXISDNG4Kit"));
    EXPECT_FALSE(flag("FAXLineSwitchKit"));
    EXPECT_EQ(number("FAXMaxSpeedDial"), 200);
    EXPECT_EQ(number("PaperSizeGroupSetting"), 1);
    EXPECT_EQ(number("PaperSize8KSetting"), 0);
    EXPECT_EQ(number("PrintLimitedColorSetting"), 2);
    EXPECT_EQ(number("MinPasswordLength"), 8);
    EXPECT_EQ(number("UserPromptSetting"), 1);
    EXPECT_EQ(number("FAXType"), 3);

    ASSERT_EQ(number("NumberOfInputTray"), 3);
    EXPECT_EQ(number("InputTrayIndex", 0), 1);
    EXPECT_EQ(number("InputTrayIndex", 2), 3);
    EXPECT_EQ(number("InputTrayType", 2), 5);
    EXPECT_EQ(text("InputTrayName", 0), "Tray 1");
    EXPECT_EQ(text("InputTrayDescription", 1), "Second tray");
    EXPECT_EQ(text("InputTrayMediaType", 2), "labels");
    EXPECT_EQ(number("InputTrayMediaSize", 0), 25);
    EXPECT_EQ(number("InputTrayMediaDirection", 0), 3);
    EXPECT_EQ(number("InputTrayMediaSize", 1), 25);
    EXPECT_EQ(number("InputTrayMediaDirection", 1), 2);
    EXPECT_EQ(number("InputTrayMediaDimFeedDirChosen", 0), 297000);
    EXPECT_EQ(number("InputTrayMediaDimXFeedDirChosen", 0), 210000);
    EXPECT_EQ(number("InputTrayMaxCapacityInSheets", 0), 500);
    EXPECT_EQ(number("InputTrayCurrentLevelInPercent", 0), 50);
    EXPECT_EQ(number("InputTrayMaxCapacityInSheets", 1), 500);
    EXPECT_EQ(number("InputTrayCurrentLevelInPercent", 1), -1);
    // Tray 3 counts in another unit and gives dimensions in another unit.
    EXPECT_EQ(number("InputTrayMaxCapacityInSheets", 2), -1);
    EXPECT_EQ(number("InputTrayCurrentLevelInPercent", 2), -1);
    EXPECT_EQ(number("InputTrayMediaSize", 2), 10000);
    EXPECT_EQ(number("InputTrayMediaDirection", 2), 1);

    ASSERT_EQ(number("NumberOfOutputTray"), 2);
    EXPECT_EQ(text("OutputTrayName", 0), "Center Tray");
    EXPECT_EQ(text("OutputTrayName", 1), "Side Tray");
    EXPECT_TRUE(flag("OutputOffsetStacking", 0));
    EXPECT_FALSE(flag("OutputOffsetStacking", 1));
}

TEST_F(OptionRefresh, EachStepUsesItsOwnRequestInOrder)
{
    options.SetCommunityStr("opt");
    ASSERT_EQ(options.refresh_options(), 0);
    ASSERT_EQ(agent.requests.size(), 9u);
    const std::string first[] = {
        "1.3.6.1.2.1.1.5.0",
        "1.3.6.1.2.1.25.3.2.1.1",
        "1.3.6.1.2.1.43.8.2.1.2",
        "1.3.6.1.2.1.43.9.2.1.2",
        "1.3.6.1.2.1.25.2.2.0",
        "1.3.6.1.2.1.43.13.4.1.9",
        kSapOid,
        std::string(kFaxBase) + "1",
        std::string(kDetailBase) + "1.1.1",
    };
    const std::string operations[] = {"get_string", "get_data",   "get_data", "get_data", "get_int",
                                      "get_data",   "get_string", "get_ints", "get_ints"};
    for (size_t i = 0; i < 9; ++i) {
        const FakeRequestRecord& request = agent.requests[i];
        ASSERT_FALSE(request.oids.empty()) << i;
        EXPECT_EQ(request.oids.front(), first[i]) << i;
        EXPECT_EQ(request.operation, operations[i]) << i;
        EXPECT_TRUE(request.initialised) << i;
        EXPECT_EQ(request.community, "opt") << i;
        EXPECT_TRUE(request.released) << i;
    }
    EXPECT_EQ(agent.live, 0);
    const std::vector<std::string> inputColumns = {
        "1.3.6.1.2.1.43.8.2.1.2",  "1.3.6.1.2.1.43.8.2.1.3",  "1.3.6.1.2.1.43.8.2.1.6",
        "1.3.6.1.2.1.43.8.2.1.7",  "1.3.6.1.2.1.43.8.2.1.8",  "1.3.6.1.2.1.43.8.2.1.9",
        "1.3.6.1.2.1.43.8.2.1.10", "1.3.6.1.2.1.43.8.2.1.13", "1.3.6.1.2.1.43.8.2.1.18",
        "1.3.6.1.2.1.43.8.2.1.21"};
    EXPECT_EQ(agent.requests[2].oids, inputColumns);
    const std::vector<std::string> deviceColumns = {
        "1.3.6.1.2.1.25.3.2.1.1", "1.3.6.1.2.1.25.3.2.1.3", "1.3.6.1.2.1.25.3.2.1.5"};
    EXPECT_EQ(agent.requests[1].oids, deviceColumns);
    const std::vector<std::string> outputColumns = {
        "1.3.6.1.2.1.43.9.2.1.2", "1.3.6.1.2.1.43.9.2.1.7", "1.3.6.1.2.1.43.9.2.1.24"};
    EXPECT_EQ(agent.requests[3].oids, outputColumns);
    EXPECT_EQ(agent.requests[7].oids.size(), 3u);
    EXPECT_EQ(agent.requests[7].oids[2], std::string(kFaxBase) + "3");
    const std::vector<std::string> detail = {
        std::string(kDetailBase) + "1.1.1", std::string(kDetailBase) + "1.1.2",
        std::string(kDetailBase) + "1.1.4", std::string(kDetailBase) + "1.1.5",
        std::string(kDetailBase) + "1.1.6", std::string(kDetailBase) + "104.1.1"};
    EXPECT_EQ(agent.requests[8].oids, detail);
}

TEST_F(OptionRefresh, WithoutFaxUnitNoFaxRequestAndNoFaxType)
{
    agent.remove(std::string(kHrDevice) + "1.104");
    agent.remove(std::string(kHrDevice) + "3.104");
    agent.remove(std::string(kHrDevice) + "5.104");
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_EQ(agent.requests.size(), 8u);
    EXPECT_TRUE(agent.requests_for(std::string(kFaxBase) + "1").empty());
    EXPECT_FALSE(flag("FAXUnit"));
    EXPECT_EQ(number("FAXType"), 0);
    EXPECT_EQ(number("FAXMaxSpeedDial"), 0);
    EXPECT_FALSE(flag("FAXISDNG4Kit"));
    EXPECT_EQ(agent.requests.back().oids.size(), 5u);
    EXPECT_EQ(number("MinPasswordLength"), 8);
}

TEST_F(OptionRefresh, NegativeDetailSettingsStayZero)
{
    agent.set_int(std::string(kDetailBase) + "1.1.1", -2);
    agent.remove(std::string(kDetailBase) + "1.1.4");  // the agent lacks it: reads as -1
    agent.set_int(std::string(kDetailBase) + "104.1.1", -7);
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_EQ(number("PaperSizeGroupSetting"), 0);
    EXPECT_EQ(number("PrintLimitedColorSetting"), 0);
    EXPECT_EQ(number("FAXType"), 0);
    EXPECT_EQ(number("MinPasswordLength"), 8);
}

TEST_F(OptionRefresh, ObjectsTheAgentLacksDoNotStopTheRefresh)
{
    agent.remove("1.3.6.1.2.1.1.5.0");
    agent.remove(kSapOid);
    agent.remove("1.3.6.1.2.1.25.2.2.0");
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_EQ(text("SysName"), "");
    EXPECT_EQ(text("NetWareSAPUnitName"), "");
    EXPECT_EQ(number("MemorySizeInKByte"), -1);
    EXPECT_EQ(number("UserPromptSetting"), 1) << "the steps after them ran";
}

TEST_F(OptionRefresh, KitsNeedTheValueOne)
{
    agent.set_int(std::string(kFaxBase) + "1", 2);
    agent.set_int(std::string(kFaxBase) + "2", 1);
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_FALSE(flag("FAXISDNG4Kit"));
    EXPECT_TRUE(flag("FAXLineSwitchKit"));
}

TEST_F(OptionRefresh, DuplexNeedsALongOrShortEdgeDuplexPath)
{
    agent.set_int(std::string(kMediaPath) + "2", 5);
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_FALSE(flag("DuplexModule"));
    agent.set_int(std::string(kMediaPath) + "1", 3);
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_TRUE(flag("DuplexModule"));
}

TEST_F(OptionRefresh, NoOffsetStackingNoOffsetCatch)
{
    add_output_tray(agent, 1, 3, "Center Tray", 4);
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_FALSE(flag("OffsetCatch"));
    EXPECT_FALSE(flag("OutputOffsetStacking", 0));
}

TEST_F(OptionRefresh, NoManualFeedNoMsi)
{
    add_input_tray(agent, 3, {4, 4, 297000, 210000, 8, 100, 100, "T3", "", ""});
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_FALSE(flag("InTrayMSI"));
    EXPECT_EQ(number("InputTrayCurrentLevelInPercent", 2), 100);
}

TEST_F(OptionRefresh, KeepsTheFirstTwentyOfTwentyFiveInputTrays)
{
    for (int32_t row = 4; row <= 25; ++row) {
        const int32_t type = row == 23 ? 5 : 4;
        add_input_tray(agent, row,
                       {type, 4, 297000, 210000, 8, 100, row, "T" + std::to_string(row), "", ""});
    }
    add_input_tray(agent, 3, {4, 4, 297000, 210000, 8, 100, 1, "T3", "", ""});
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_EQ(number("NumberOfInputTray"), 20);
    EXPECT_EQ(number("InputTrayIndex", 19), 20);
    EXPECT_EQ(text("InputTrayName", 19), "T20");
    int32_t value = 0;
    EXPECT_EQ(options.get_option("InputTrayIndex", &value, 20), PSW_ERR_INDEX);
    EXPECT_TRUE(flag("InTrayMSI")) << "a manual feed beyond the kept rows still counts";
}

TEST_F(OptionRefresh, KeepsTheFirstTwentyOutputTraysAndFiftyDevices)
{
    for (int32_t row = 3; row <= 22; ++row) {
        add_output_tray(agent, row, 3, "O" + std::to_string(row), row == 22 ? 3 : 4);
    }
    add_output_tray(agent, 1, 3, "O1", 4);
    for (int32_t index = 200; index < 260; ++index) {
        add_device(agent, index, "extra", 2);
    }
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_EQ(number("NumberOfOutputTray"), 20);
    EXPECT_TRUE(flag("OffsetCatch")) << "offset stacking on a row beyond the kept ones";
    EXPECT_EQ(options.m_deviceCount, 50);
    EXPECT_TRUE(options.has_device_index(141, nullptr));
    EXPECT_FALSE(options.has_device_index(243, nullptr)) << "row 51 is not kept";
}

TEST_F(OptionRefresh, LongTextsAreCutToTheirFields)
{
    const std::string longName(300, 'n');
    add_input_tray(agent, 1, {4, 4, 297000, 210000, 8, 500, 249, longName, longName, longName});
    agent.set_text("1.3.6.1.2.1.1.5.0", longName);
    add_output_tray(agent, 1, 3, longName, 3);
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_EQ(text("InputTrayName", 0), std::string(63, 'n'));
    EXPECT_EQ(text("InputTrayDescription", 0), std::string(255, 'n'));
    EXPECT_EQ(text("InputTrayMediaType", 0), std::string(255, 'n'));
    EXPECT_EQ(text("OutputTrayName", 0), std::string(63, 'n'));
    EXPECT_EQ(text("SysName"), std::string(255, 'n'));
}

TEST_F(OptionRefresh, AColumnThatEndsEarlyLeavesItsFieldsZero)
{
    // prtInputMediaType exists for the first tray only: later rows walk into the next column.
    agent.remove(std::string(kPrtInput) + "21.1.2");
    agent.remove(std::string(kPrtInput) + "21.1.3");
    agent.set_text("1.3.6.1.2.1.43.8.2.1.22.1.1", "next column");
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_EQ(text("InputTrayMediaType", 0), "stationery");
    EXPECT_EQ(text("InputTrayMediaType", 1), "");
    EXPECT_EQ(text("InputTrayMediaType", 2), "");
}

TEST_F(OptionRefresh, RefreshReplacesEarlierData)
{
    ASSERT_EQ(options.refresh_options(), 0);
    ASSERT_EQ(number("NumberOfInputTray"), 3);
    for (int32_t column : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 18, 21}) {
        agent.remove(std::string(kPrtInput) + std::to_string(column) + ".1.3");
    }
    agent.remove(std::string(kHrDevice) + "1.102");
    agent.remove(std::string(kHrDevice) + "3.102");
    agent.remove(std::string(kHrDevice) + "5.102");
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_EQ(number("NumberOfInputTray"), 2);
    EXPECT_FALSE(flag("Scanner"));
    EXPECT_FALSE(flag("InTrayMSI"));
}

TEST_F(OptionRefresh, UnreadableRomVersionFailsAfterTheDeviceTable)
{
    test::LogCapture& log = test::LogCapture::attach("PSW");
    add_device(agent, 10, "Controller 1.2.3", 2);
    EXPECT_EQ(options.refresh_options(), PSW_ERR_FAILED);
    EXPECT_TRUE(log.contains("invalid PrinterROMVersion format"));
    EXPECT_EQ(agent.requests.size(), 2u) << "no step after the device table";
    EXPECT_EQ(text("SysName"), "office-printer-3");
    EXPECT_TRUE(flag("FAXUnit")) << "the walk completed past device 10";
    EXPECT_EQ(text("PrinterRomVersion"), "Controller 1.2.3");
    EXPECT_EQ(number("NumberOfInputTray"), 0);
}

TEST_F(OptionRefresh, CreationFailureIsLoggedAndReturned)
{
    test::LogCapture& log = test::LogCapture::attach("PSW");
    agent.create_failure = PSW_ERR_NO_MEMORY;
    EXPECT_EQ(options.refresh_options(), PSW_ERR_NO_MEMORY);
    EXPECT_TRUE(log.contains("pmc_create_get_data()"));
}

TEST_F(OptionRefresh, InitFailureIsLoggedAndReturned)
{
    test::LogCapture& log = test::LogCapture::attach("PSW");
    agent.init_failure = PSW_ERR_ADDRESS;
    EXPECT_EQ(options.refresh_options(), PSW_ERR_ADDRESS);
    EXPECT_TRUE(log.contains("pGetData->init()"));
    EXPECT_EQ(agent.requests.size(), 1u);
    EXPECT_EQ(agent.live, 0) << "the failed request is released";
}

TEST_F(OptionRefresh, AddOidFailureIsLoggedAndStopsTheRefresh)
{
    test::LogCapture& log = test::LogCapture::attach("PSW");
    agent.add_failure_oid = "1.3.6.1.2.1.43.9.2.1.7";
    agent.add_failure = PSW_ERR_NO_MEMORY;
    EXPECT_EQ(options.refresh_options(), PSW_ERR_NO_MEMORY);
    EXPECT_TRUE(log.contains("pGetData->add_oid_string()"));
    EXPECT_EQ(agent.requests.size(), 4u);
    EXPECT_EQ(number("NumberOfInputTray"), 3) << "earlier steps keep their data";
    EXPECT_EQ(number("NumberOfOutputTray"), 0);
    EXPECT_EQ(number("MemorySizeInKByte"), 0);
    EXPECT_EQ(agent.live, 0);
}

TEST_F(OptionRefresh, WalkFailureIsLoggedAndStopsTheRefresh)
{
    test::LogCapture& log = test::LogCapture::attach("PSW");
    agent.read_failure_prefix = "1.3.6.1.2.1.43.8.2.1.2";
    agent.read_failure_code = PSW_ERR_TIMEOUT;
    EXPECT_EQ(options.refresh_options(), PSW_ERR_TIMEOUT);
    EXPECT_TRUE(log.contains("pGetData->get_data()"));
    EXPECT_EQ(agent.requests.size(), 3u);
    EXPECT_TRUE(flag("Scanner"));
    EXPECT_EQ(number("NumberOfInputTray"), 0);
}

TEST_F(OptionRefresh, ReadFailuresOfEachStepAreReturned)
{
    struct Case {
        std::string prefix;
        size_t requests;
    };
    const Case cases[] = {
        {"1.3.6.1.2.1.1.5.0", 1},         {"1.3.6.1.2.1.25.3.2.1.1", 2},
        {"1.3.6.1.2.1.43.9.2.1.2", 4},    {"1.3.6.1.2.1.25.2.2.0", 5},
        {"1.3.6.1.2.1.43.13.4.1.9", 6},   {kSapOid, 7},
        {std::string(kFaxBase) + "1", 8}, {std::string(kDetailBase) + "1.1.1", 9},
    };
    for (const Case& c : cases) {
        agent.requests.clear();
        agent.read_failure_prefix = c.prefix;
        agent.read_failure_code = PSW_ERR_TOO_LONG;
        EXPECT_EQ(options.refresh_options(), PSW_ERR_TOO_LONG) << c.prefix;
        EXPECT_EQ(agent.requests.size(), c.requests) << c.prefix;
    }
}

TEST_F(OptionRefresh, ShortIntegerReplyFails)
{
    // A reply with fewer values than asked ends the step with the request's -7.
    agent.read_failure_prefix = std::string(kDetailBase) + "1.1.1";
    agent.read_failure_code = PSW_ERR_TOO_LONG;
    EXPECT_EQ(options.refresh_options(), PSW_ERR_TOO_LONG);
    EXPECT_EQ(number("PaperSizeGroupSetting"), 0);
    EXPECT_EQ(number("FAXMaxSpeedDial"), 200) << "the FAX step before it ran";
}

}  // namespace
}  // namespace psw::test
