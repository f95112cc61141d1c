// The option sets against simulated printers of the supported model (snmpsim, SNMPv1), with
// the library's own request objects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "option_test_support.h"
#include "support/agent_harness.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr uint32_t kTimeout = 2000;
constexpr uint32_t kRetries = 1;

class OptionPeer : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (peer_unavailable({Peer::root, Peer::snmpsim, Peer::netsnmp_tools})) {
            return;
        }
        s_agent = new SnmpsimAgent();
        SnmpsimOptions options;
        for (const char* name : {"rich", "many-trays", "odd-values", "other-model"}) {
            options.files.emplace_back(test_data(std::string("printers/") + name + ".snmprec"));
        }
        s_started = s_agent->start(options);
    }

    static void TearDownTestSuite()
    {
        delete s_agent;
        s_agent = nullptr;
    }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools);
        ASSERT_NE(s_agent, nullptr);
        ASSERT_TRUE(s_started);
    }

    // An option set of the library (its own request maker) on the printer `community`.
    int32_t init(CPSWBramblingOption& options, const char* community)
    {
        options.SetCommunityStr(community);
        return options.Init(1, s_agent->address().c_str(), nullptr, kTimeout, kRetries, 0);
    }

    static int32_t number(const CPSWBramblingOption& options, const char* name, int32_t index = 0)
    {
        int32_t value = -12345;
        EXPECT_EQ(options.get_option(name, &value, index), 0) << name << " " << index;
        return value;
    }
    static bool flag(const CPSWBramblingOption& options, const char* name, int32_t index = 0)
    {
        bool value = false;
        EXPECT_EQ(options.get_option(name, &value, index), 0) << name << " " << index;
        return value;
    }
    static std::string text(const CPSWBramblingOption& options, const char* name,
                            int32_t index = 0)
    {
        const char* value = nullptr;
        EXPECT_EQ(options.get_option(name, &value, index), 0) << name << " " << index;
        return value != nullptr ? value : "(null)";
    }

    struct Tray {
        int32_t type, size, direction, maximum, percent, feed, crossFeed;
        const char* name;
        const char* description;
        const char* mediaType;
    };

    static void expect_trays(const CPSWBramblingOption& options, const std::vector<Tray>& trays)
    {
        ASSERT_EQ(number(options, "NumberOfInputTray"), static_cast<int32_t>(trays.size()));
        for (size_t i = 0; i < trays.size(); ++i) {
            const int32_t n = static_cast<int32_t>(i);
            const Tray& t = trays[i];
            EXPECT_EQ(number(options, "InputTrayIndex", n), n + 1);
            EXPECT_EQ(number(options, "InputTrayType", n), t.type) << n;
            EXPECT_EQ(number(options, "InputTrayMediaSize", n), t.size) << n;
            EXPECT_EQ(number(options, "InputTrayMediaDirection", n), t.direction) << n;
            EXPECT_EQ(number(options, "InputTrayMaxCapacityInSheets", n), t.maximum) << n;
            EXPECT_EQ(number(options, "InputTrayCurrentLevelInPercent", n), t.percent) << n;
            EXPECT_EQ(number(options, "InputTrayMediaDimFeedDirChosen", n), t.feed) << n;
            EXPECT_EQ(number(options, "InputTrayMediaDimXFeedDirChosen", n), t.crossFeed) << n;
            EXPECT_EQ(text(options, "InputTrayName", n), t.name) << n;
            EXPECT_EQ(text(options, "InputTrayDescription", n), t.description) << n;
            EXPECT_EQ(text(options, "InputTrayMediaType", n), t.mediaType) << n;
        }
        int32_t value = 0;
        EXPECT_EQ(options.get_option("InputTrayType", &value, static_cast<int32_t>(trays.size())),
                  PSW_ERR_INDEX);
    }

    static SnmpsimAgent* s_agent;
    static bool s_started;
};

SnmpsimAgent* OptionPeer::s_agent = nullptr;
bool OptionPeer::s_started = false;

TEST_F(OptionPeer, RichPrinter)
{
    CPSWBramblingOption options;
    ASSERT_EQ(init(options, "rich"), 0);
    EXPECT_TRUE(options.is_supported_OID("1.3.6.1.4.1.297.1.11"));
    EXPECT_FALSE(options.is_supported_OID("1.3.6.1.4.1.253"));
    ASSERT_EQ(options.refresh_options(), 0);

    EXPECT_EQ(text(options, "PrinterRomVersion"),
              "Printer Controller v1.52.3 - Processor ARM Cortex-A9");
    EXPECT_EQ(text(options, "SysName"), "PRN-3F-EAST");
    EXPECT_EQ(text(options, "NetWareSAPUnitName"), "PRN3FEAST_NW");

    const std::pair<const char*, int32_t> numbers[] = {
        {"MemorySizeInKByte", 786432}, {"MemorySizeInMByte", 768},
        {"FAXMaxSpeedDial", 200},      {"FAXType", 2},
        {"NumberOfInputTray", 6},      {"NumberOfOutputTray", 4},
        {"PrinterRomVersionMajor", 1}, {"PrinterRomVersionMinor", 52},
        {"PrinterRomVersionRevision", 3}, {"FAXSIPStatus", 3},
        {"PaperSizeGroupSetting", 2},  {"PaperSize8KSetting", 1},
        {"PrintLimitedColorSetting", 0}, {"MinPasswordLength", 8},
        {"UserPromptSetting", 3}};
    for (const auto& [name, value] : numbers) {
        EXPECT_EQ(number(options, name), value) << name;
    }
    const std::pair<const char*, bool> flags[] = {
        {"Scanner", true},           {"Copier", true},
        {"FAXUnit", true},           {"HardDisk", true},
        {"DuplexModule", true},      {"OffsetCatch", true},
        {"InTrayMSI", true},         {"InTrayExistHCF", true},
        {"InTrayExistHCF2", false},  {"InTrayExistTTM", true},
        {"InTrayExistHCFA3", false}, {"InTrayExistHCFPF35", false},
        {"InTrayExistHCFPF32", true}, {"InTrayExistHCFPF31", false},
        {"FAXISDNG4Kit", true},      {"FAXLineSwitchKit", false}};
    for (const auto& [name, value] : flags) {
        EXPECT_EQ(flag(options, name), value) << name;
    }
    expect_trays(options,
                 {{3, 25, 2, 500, 50, 210000, 297000, "Tray 1", "Paper Tray 1", "stationery"},
                  {3, 24, 3, 520, 0, 420000, 297000, "Tray 2", "Paper Tray 2", "stationery"},
                  {3, 1, 2, 520, 26, 215900, 279400, "Tray 3", "Paper Tray 3", "recycled"},
                  {4, 25, 3, 2000, 100, 297000, 210000, "Tray 4 (HCF)", "High Capacity Feeder",
                   "stationery"},
                  {3, 10000, 1, 500, -1, 200000, 300000, "Tray 5", "Paper Tray 5",
                   "heavyweight"},
                  {5, 10017, 3, 100, -1, 241300, 104775, "Bypass Tray",
                   "Bypass Tray (Manual Feed)", "envelope"}});
    const char* const outputNames[] = {"Center Tray", "Right Tray", "Finisher Tray",
                                       "Mailbox Bin 1"};
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(text(options, "OutputTrayName", i), outputNames[i]);
        EXPECT_EQ(flag(options, "OutputOffsetStacking", i), i == 2) << i;
    }
}

TEST_F(OptionPeer, PrinterWithManyTrays)
{
    CPSWBramblingOption options;
    ASSERT_EQ(init(options, "many-trays"), 0);
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_EQ(text(options, "PrinterRomVersion"), "Printer Controller v2.0.17 - Processor");
    EXPECT_EQ(text(options, "SysName"), "PRN-WAREHOUSE-1");
    EXPECT_EQ(text(options, "NetWareSAPUnitName"), "") << "absent object, refresh goes on";
    const std::pair<const char*, int32_t> numbers[] = {
        {"MemorySizeInKByte", 263167}, {"MemorySizeInMByte", 256},
        {"FAXMaxSpeedDial", 0},        {"FAXType", 0},
        {"NumberOfOutputTray", 2},     {"PrinterRomVersionMajor", 2},
        {"PrinterRomVersionMinor", 0}, {"PrinterRomVersionRevision", 17},
        {"FAXSIPStatus", 0},           {"PaperSizeGroupSetting", 1},
        {"PaperSize8KSetting", 0},     {"PrintLimitedColorSetting", 2},
        {"MinPasswordLength", 4},      {"UserPromptSetting", 0}};
    for (const auto& [name, value] : numbers) {
        EXPECT_EQ(number(options, name), value) << name;
    }
    const std::pair<const char*, bool> flags[] = {
        {"Scanner", true},            {"Copier", false},
        {"FAXUnit", false},           {"HardDisk", false},
        {"DuplexModule", false},      {"OffsetCatch", false},
        {"InTrayMSI", false},         {"InTrayExistHCF", false},
        {"InTrayExistHCF2", true},    {"InTrayExistTTM", false},
        {"InTrayExistHCFA3", true},   {"InTrayExistHCFPF35", true},
        {"InTrayExistHCFPF32", false}, {"InTrayExistHCFPF31", true},
        {"FAXISDNG4Kit", false},      {"FAXLineSwitchKit", false}};
    for (const auto& [name, value] : flags) {
        EXPECT_EQ(flag(options, name), value) << name;
    }
    std::vector<Tray> trays = {
        {3, 25, 2, 550, 50, 210000, 297000, "Tray 1", "Paper Tray 1", "stationery"},
        {3, 24, 2, 550, 1, 297000, 420000, "Tray 2", "Paper Tray 2", "stationery"},
        {3, 10000, 1, 550, 100, 85000, 110000, "Tray 3", "Paper Tray 3", "stationery"},
        {3, 10000, 1, 550, -1, -1, -1, "Tray 4", "Paper Tray 4", "stationery"},
        {4, 25, 2, 0, -1, 211000, 296500, "Tray 5", "Paper Tray 5", "stationery"},
        {4, 25, 3, -1, -1, 297000, 212000, "Tray 6", "Paper Tray 6", "stationery"},
        {4, 10000, 1, -1, -1, 212001, 297000, "Tray 7", "Paper Tray 7", "stationery"},
        {4, 10017, 3, 50, 66, 241300, 104775, "Tray 8", "Paper Tray 8", "stationery"},
        {4, 10001, 2, 1500, 100, 279400, 431800, "Tray 9", "Paper Tray 9", "stationery"},
        {4, 86, 2, 250, 2, 182000, 257000, "Tray 10", "Paper Tray 10", "stationery"},
        {4, 24, 3, 2000, 50, 420000, 297000, "Tray 11", "Paper Tray 11", "stationery"},
        {4, 26, 2, 150, 99, 148000, 210000, "Tray 12", "Paper Tray 12", "stationery"},
        {4, 27, 2, 300, 100, 105000, 148000, "Tray 13", "Paper Tray 13", "stationery"},
        {4, 2, 2, 500, 50, 215900, 355600, "Tray 14", "Paper Tray 14", "stationery"},
        {4, 2, 3, 500, -1, 355600, 215900, "Tray 15", "Paper Tray 15", "stationery"},
        {4, 85, 2, 1, 100, 257000, 364000, "Tray 16", "Paper Tray 16", "stationery"},
        {4, 10024, 2, 250, 50, 330200, 482600, "Tray 17", "Paper Tray 17", "stationery"},
        {1, 10000, 1, 3, 67, 0, 0, "Tray 18", "Paper Tray 18", "stationery"},
        {2, 10003, 2, 7, 71, 100000, 148000, "Tray 19", "Paper Tray 19", "stationery"},
        {4, 10007, 2, 200, 100, 139700, 215900, "Tray 20", "Paper Tray 20", "stationery"}};
    expect_trays(options, trays);
    EXPECT_EQ(text(options, "OutputTrayName", 0), "Face Down Tray");
    EXPECT_EQ(text(options, "OutputTrayName", 1), "Stacker");
    EXPECT_FALSE(flag(options, "OutputOffsetStacking", 0));
    EXPECT_FALSE(flag(options, "OutputOffsetStacking", 1));
}

TEST_F(OptionPeer, UnreadableRomVersionStopsAfterTheDeviceTable)
{
    CPSWBramblingOption options;
    ASSERT_EQ(init(options, "odd-values"), 0);
    EXPECT_EQ(options.refresh_options(), PSW_ERR_FAILED);
    EXPECT_EQ(text(options, "SysName"), "PRN-LAB-ODD");
    EXPECT_EQ(text(options, "PrinterRomVersion"),
              "Printer Controller v3.7 - Processor (recovery image)");
    EXPECT_EQ(text(options, "NetWareSAPUnitName"), "");
    for (const char* name : {"PrinterRomVersionMajor", "PrinterRomVersionMinor",
                             "PrinterRomVersionRevision", "MemorySizeInKByte",
                             "NumberOfInputTray", "NumberOfOutputTray", "FAXMaxSpeedDial",
                             "FAXType", "FAXSIPStatus", "MinPasswordLength"}) {
        EXPECT_EQ(number(options, name), 0) << name;
    }
    EXPECT_FALSE(flag(options, "Scanner"));
    EXPECT_TRUE(flag(options, "Copier"));
    EXPECT_TRUE(flag(options, "FAXUnit"));
    EXPECT_TRUE(flag(options, "HardDisk"));
    EXPECT_TRUE(flag(options, "InTrayExistHCF2"));
    EXPECT_TRUE(flag(options, "InTrayExistTTM"));
    EXPECT_FALSE(flag(options, "InTrayExistHCF"));
    EXPECT_FALSE(flag(options, "DuplexModule"));
    int32_t value = 0;
    EXPECT_EQ(options.get_option("InputTrayIndex", &value, 0), PSW_ERR_INDEX);
}

TEST_F(OptionPeer, OtherModelIsRefused)
{
    CPSWBramblingOption options;
    EXPECT_EQ(init(options, "other-model"), PSW_ERR_PARAMETER);
    EXPECT_TRUE(options.is_supported_OID("1.3.6.1.4.1.297"));
    EXPECT_TRUE(options.is_supported_OID("1.3.6.1.4.1.297.1.11.93.1.35.27.1"));
    EXPECT_FALSE(options.is_supported_OID("1.3.6.1.4.1.297.1.11.93.1.35.27.10.1"));
    EXPECT_EQ(number(options, "NumberOfInputTray"), 0);
    EXPECT_FALSE(flag(options, "Scanner"));
    EXPECT_EQ(text(options, "SysName"), "");
}

TEST_F(OptionPeer, UnknownCommunityTimesOut)
{
    CPSWBramblingOption options;
    options.SetCommunityStr("nobody-knows-me");
    EXPECT_EQ(options.Init(1, s_agent->address().c_str(), nullptr, 200, 0, 0), PSW_ERR_TIMEOUT);
    EXPECT_FALSE(options.is_supported_OID("1"));
}

TEST_F(OptionPeer, AddressOfAnotherProtocolIsRefused)
{
    CPSWBramblingOption options;
    options.SetCommunityStr("rich");
    EXPECT_EQ(options.Init(4, s_agent->address().c_str(), nullptr, kTimeout, kRetries, 0),
              PSW_ERR_PARAMETER);
}

}  // namespace
}  // namespace psw::test
