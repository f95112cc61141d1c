// The option name tables: names, types, indexes and argument checks.
#include <gtest/gtest.h>

#include <string>

#include "option_test_support.h"
#include "support/option_names.h"

namespace psw::test {
namespace {

class OptionTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        populate_printer(agent);
        ASSERT_EQ(options.Init(1, "192.0.2.10", nullptr, 1000, 1, 0), 0);
        ASSERT_EQ(options.refresh_options(), 0);
    }

    FakeAgent agent;
    ExposedBrambling options;
};

TEST_F(OptionTable, EveryNameAnswersOnlyItsOwnType)
{
    for (const char* name : kTextOptionNames) {
        const char* text = nullptr;
        int32_t number = 0;
        bool flag = false;
        EXPECT_EQ(options.get_option(name, &text, 0), 0) << name;
        EXPECT_NE(text, nullptr) << name;
        EXPECT_EQ(options.get_option(name, &number, 0), PSW_ERR_UNSUPPORTED) << name;
        EXPECT_EQ(options.get_option(name, &flag, 0), PSW_ERR_UNSUPPORTED) << name;
    }
    for (const char* name : kNumberOptionNames) {
        const char* text = nullptr;
        int32_t number = 0;
        bool flag = false;
        EXPECT_EQ(options.get_option(name, &number, 0), 0) << name;
        EXPECT_EQ(options.get_option(name, &text, 0), PSW_ERR_UNSUPPORTED) << name;
        EXPECT_EQ(options.get_option(name, &flag, 0), PSW_ERR_UNSUPPORTED) << name;
    }
    for (const char* name : kFlagOptionNames) {
        const char* text = nullptr;
        int32_t number = 0;
        bool flag = false;
        EXPECT_EQ(options.get_option(name, &flag, 0), 0) << name;
        EXPECT_EQ(options.get_option(name, &text, 0), PSW_ERR_UNSUPPORTED) << name;
        EXPECT_EQ(options.get_option(name, &number, 0), PSW_ERR_UNSUPPORTED) << name;
    }
}

TEST_F(OptionTable, NamesMatchExactly)
{
    int32_t number = 0;
    bool flag = false;
    EXPECT_EQ(options.get_option("scanner", &flag, 0), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(options.get_option("Scan", &flag, 0), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(options.get_option("Scanners", &flag, 0), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(options.get_option("MemorySizeInKByte ", &number, 0), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(options.get_option("", &number, 0), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(options.get_option("InTrayExistHCF", &flag, 0), 0);
    EXPECT_TRUE(flag);
    EXPECT_EQ(options.get_option("InTrayExistHCF2", &flag, 0), 0);
    EXPECT_FALSE(flag) << "HCF2 is its own device, not a prefix match of HCF";
}

TEST_F(OptionTable, NullArgumentsAreRefused)
{
    const char* text = nullptr;
    int32_t number = 7;
    uint32_t unsignedNumber = 7;
    bool flag = true;
    for (CPSWDevCommOption* set : {static_cast<CPSWDevCommOption*>(&options)}) {
        EXPECT_EQ(set->get_option(nullptr, &text, 0), PSW_ERR_PARAMETER);
        EXPECT_EQ(set->get_option(nullptr, &number, 0), PSW_ERR_PARAMETER);
        EXPECT_EQ(set->get_option(nullptr, &unsignedNumber, 0), PSW_ERR_PARAMETER);
        EXPECT_EQ(set->get_option(nullptr, &flag, 0), PSW_ERR_PARAMETER);
        EXPECT_EQ(set->get_option("SysName", static_cast<const char**>(nullptr), 0),
                  PSW_ERR_PARAMETER);
        EXPECT_EQ(set->get_option("FAXType", static_cast<int32_t*>(nullptr), 0), PSW_ERR_PARAMETER);
        EXPECT_EQ(set->get_option("Scanner", static_cast<bool*>(nullptr), 0), PSW_ERR_PARAMETER);
        EXPECT_EQ(set->get_option("Scanner", static_cast<uint32_t*>(nullptr), 0),
                  PSW_ERR_PARAMETER);
    }
    EXPECT_EQ(number, 7);
    EXPECT_TRUE(flag);
}

TEST_F(OptionTable, NoUnsignedOption)
{
    uint32_t value = 77;
    for (const char* name : {"Scanner", "MemorySizeInKByte", "SysName", "Anything"}) {
        EXPECT_EQ(options.get_option(name, &value, 0), PSW_ERR_UNSUPPORTED) << name;
    }
    EXPECT_EQ(value, 77u);
}

TEST_F(OptionTable, IndexedOptionsCheckTheirTable)
{
    int32_t number = 555;
    const char* text = nullptr;
    bool flag = false;
    ASSERT_EQ(options.get_option("NumberOfInputTray", &number, 0), 0);
    ASSERT_EQ(number, 3);
    number = 555;
    EXPECT_EQ(options.get_option("InputTrayIndex", &number, 3), PSW_ERR_INDEX);
    EXPECT_EQ(options.get_option("InputTrayIndex", &number, -1), PSW_ERR_INDEX);
    EXPECT_EQ(number, 555) << "nothing written on failure";
    EXPECT_EQ(options.get_option("InputTrayName", &text, 3), PSW_ERR_INDEX);
    EXPECT_EQ(options.get_option("InputTrayName", &text, 2), 0);
    // Output trays are indexed by their own count (2), not the input tray count.
    EXPECT_EQ(options.get_option("OutputTrayName", &text, 2), PSW_ERR_INDEX);
    EXPECT_EQ(options.get_option("OutputTrayName", &text, 1), 0);
    EXPECT_EQ(options.get_option("OutputOffsetStacking", &flag, 2), PSW_ERR_INDEX);
    EXPECT_EQ(options.get_option("OutputOffsetStacking", &flag, -5), PSW_ERR_INDEX);
    // Options that are not indexed ignore the index.
    EXPECT_EQ(options.get_option("FAXType", &number, 1000), 0);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(options.get_option("Scanner", &flag, -1), 0);
    EXPECT_TRUE(flag);
    EXPECT_EQ(options.get_option("SysName", &text, 65535), 0);
}

TEST_F(OptionTable, UnknownNameBeforeIndex)
{
    int32_t number = 0;
    EXPECT_EQ(options.get_option("InputTrayIndexX", &number, 99), PSW_ERR_UNSUPPORTED);
}

TEST_F(OptionTable, MemoryInMegabytesRoundsDown)
{
    int32_t number = 0;
    agent.set_int("1.3.6.1.2.1.25.2.2.0", 1023);
    ASSERT_EQ(options.refresh_options(), 0);
    ASSERT_EQ(options.get_option("MemorySizeInMByte", &number, 0), 0);
    EXPECT_EQ(number, 0);
    agent.set_int("1.3.6.1.2.1.25.2.2.0", 2047);
    ASSERT_EQ(options.refresh_options(), 0);
    ASSERT_EQ(options.get_option("MemorySizeInMByte", &number, 0), 0);
    EXPECT_EQ(number, 1);
    ASSERT_EQ(options.get_option("MemorySizeInKByte", &number, 0), 0);
    EXPECT_EQ(number, 2047);
}

TEST_F(OptionTable, DeviceFlagsFollowTheirIndexes)
{
    struct Case {
        const char* name;
        int32_t deviceIndex;
    };
    const Case cases[] = {{"Scanner", 102},
                          {"Copier", 103},
                          {"FAXUnit", 104},
                          {"HardDisk", 11},
                          {"InTrayExistHCF", 107},
                          {"InTrayExistHCF2", 133},
                          {"InTrayExistTTM", 135},
                          {"InTrayExistHCFA3", 136},
                          {"InTrayExistHCFPF35", 167},
                          {"InTrayExistHCFPF32", 163},
                          {"InTrayExistHCFPF31", 169}};
    for (const Case& c : cases) {
        FakeAgent only;
        add_device(only, 10, "Printer Controller v2.0.1 - Processor", 2);
        add_device(only, c.deviceIndex, "component", 2);
        ASSERT_EQ(options.refresh_options(), 0) << c.name;
        for (const Case& other : cases) {
            bool flag = !(other.deviceIndex == c.deviceIndex);
            ASSERT_EQ(options.get_option(other.name, &flag, 0), 0);
            EXPECT_EQ(flag, other.deviceIndex == c.deviceIndex)
                << other.name << " with device " << c.deviceIndex;
        }
    }
}

TEST_F(OptionTable, FaxSipStatusIsZeroWithoutTheDevice)
{
    int32_t status = -1;
    ASSERT_EQ(options.get_option("FAXSIPStatus", &status, 0), 0);
    EXPECT_EQ(status, 5);
    agent.remove(std::string(kHrDevice) + "1.141");
    ASSERT_EQ(options.refresh_options(), 0);
    status = -1;
    ASSERT_EQ(options.get_option("FAXSIPStatus", &status, 0), 0);
    EXPECT_EQ(status, 0);
}

TEST_F(OptionTable, HasDeviceIndexWritesTheStatus)
{
    int32_t status = -1;
    EXPECT_TRUE(options.has_device_index(103, &status));
    EXPECT_EQ(status, 3);
    EXPECT_TRUE(options.has_device_index(103, nullptr));
    status = -1;
    EXPECT_FALSE(options.has_device_index(999, &status));
    EXPECT_EQ(status, -1);
    options.initialize_data();
    EXPECT_FALSE(options.has_device_index(103, nullptr));
}

TEST_F(OptionTable, TextAnswersPointIntoTheObject)
{
    const char* first = nullptr;
    const char* second = nullptr;
    ASSERT_EQ(options.get_option("InputTrayName", &first, 0), 0);
    ASSERT_EQ(options.get_option("InputTrayName", &second, 1), 0);
    EXPECT_STREQ(first, "Tray 1");
    EXPECT_STREQ(second, "Tray 2");
    EXPECT_NE(first, second);
    agent.set_text(std::string(kPrtInput) + "13.1.1", "Renamed");
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_STREQ(first, "Renamed") << "valid until the next refresh, then shows the new text";
}

}  // namespace
}  // namespace psw::test
