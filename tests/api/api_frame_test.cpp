// The exported frame: handle life cycle, commands, argument checks and their order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "api/library_handle.h"
#include "psw/psw.h"

namespace {

class ApiFrameTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(PSWInit(&handle), PSW_SUCCESS); }
    void TearDown() override { PSWUnInit(handle); }
    PSWHandle handle = nullptr;
};

TEST(ApiInitTest, NullOutAndNullHandle)
{
    EXPECT_EQ(PSWInit(nullptr), PSW_ERR_PARAMETER);
    PSWUnInit(nullptr);  // must simply return
}

TEST_F(ApiFrameTest, FreshHandleHasFinderAndBuiltInUser)
{
    ASSERT_NE(handle->m_pFinder, nullptr);
    ASSERT_NE(handle->m_pUsm, nullptr);
    EXPECT_EQ(handle->m_pOptionSet, nullptr);
    EXPECT_EQ(handle->m_pDeviceQuery, nullptr);
    EXPECT_EQ(handle->m_pUsm->security_mode(), -1);
    EXPECT_STREQ(handle->m_pUsm->user_name(), "Kolvaner");
    EXPECT_STREQ(handle->m_findCommunity, "");
}

TEST_F(ApiFrameTest, CommandStringMatchesNamesExactly)
{
    EXPECT_EQ(PSWCommandString(handle, "CmdSetCommunityFind", "x"), PSW_SUCCESS);
    EXPECT_STREQ(handle->m_findCommunity, "x");
    EXPECT_EQ(PSWCommandString(handle, "CmdSetCommunityFin", "y"), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(PSWCommandString(handle, "CmdSetCommunityFindX", "y"), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(PSWCommandString(handle, "cmdsetcommunityfind", "y"), PSW_ERR_UNSUPPORTED);
    EXPECT_STREQ(handle->m_findCommunity, "x");

    EXPECT_EQ(PSWCommandString(handle, "CmdSetCommunityGetOption", "reader"), PSW_SUCCESS);
    EXPECT_EQ(PSWCommandString(handle, "CmdSetCommunityWrite", "writer"), PSW_SUCCESS);
    EXPECT_STREQ(handle->m_readCommunity, "reader");
    EXPECT_STREQ(handle->m_writeCommunity, "writer");
    // A shorter value replaces the whole text, not just its first bytes.
    EXPECT_EQ(PSWCommandString(handle, "CmdSetCommunityGetOption", "r"), PSW_SUCCESS);
    EXPECT_STREQ(handle->m_readCommunity, "r");

    EXPECT_EQ(PSWCommandString(nullptr, "CmdSetCommunityFind", "x"), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWCommandString(handle, nullptr, "x"), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWCommandString(handle, "CmdSetCommunityFind", nullptr), PSW_ERR_PARAMETER);
}

TEST_F(ApiFrameTest, CommunityLongerThanItsFieldIsRefusedAndNothingStored)
{
    const std::string longest(255, 'c');
    EXPECT_EQ(PSWCommandString(handle, "CmdSetCommunityWrite", longest.c_str()), PSW_SUCCESS);
    EXPECT_EQ(std::string(handle->m_writeCommunity), longest);
    const std::string too_long(256, 'd');
    EXPECT_EQ(PSWCommandString(handle, "CmdSetCommunityWrite", too_long.c_str()),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(std::string(handle->m_writeCommunity), longest);
    const std::string huge(100000, 'e');
    EXPECT_EQ(PSWCommandString(handle, "CmdSetCommunityFind", huge.c_str()), PSW_ERR_PARAMETER);
    EXPECT_STREQ(handle->m_findCommunity, "");
    // The neighbouring member is intact.
    EXPECT_STREQ(handle->m_readCommunity, "");
}

TEST_F(ApiFrameTest, CommandIntegerDefinesNoCommand)
{
    int value = 0;
    EXPECT_EQ(PSWCommandInteger(handle, nullptr, &value), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(PSWCommandInteger(handle, "anything", &value), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(PSWCommandInteger(handle, "anything", nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWCommandInteger(nullptr, "anything", &value), PSW_ERR_PARAMETER);
}

TEST(ApiTransportTest, CodesWithoutTransportAreNeverAvailable)
{
    for (int32_t code : {3, 0, 4, 6, -1, 100}) {
        EXPECT_EQ(PSWTransportAvailable(code), 0) << code;
    }
}

TEST_F(ApiFrameTest, IsSupportedOidBeforeDeviceSetUp)
{
    EXPECT_EQ(PSWIsSupportedOID(nullptr, ""), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWIsSupportedOID(nullptr, "1.3.6"), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWIsSupportedOID(handle, ""), 0);
    EXPECT_EQ(PSWIsSupportedOID(handle, nullptr), 0);
}

TEST_F(ApiFrameTest, DeviceCallsCheckArgumentsBeforeTheMissingDevice)
{
    int32_t count = 0;
    PSWStorageInfo storage;
    PSWJobInfo job;
    PSWPrinterInfo printer;
    int32_t charset = 0;
    int16_t flag = 0;
    int32_t number = 0;
    uint32_t unsigned_number = 0;
    char text[PSW_OPTION_TEXT_SIZE];

    EXPECT_EQ(PSWRefreshOptions(handle), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWRefreshOptions(nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetOptionValueBoolean(handle, "Scanner", 0, &flag), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetOptionValueBoolean(handle, nullptr, 0, &flag), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetOptionValueInteger(handle, "Scanner", 0, &number), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetOptionValueInteger(handle, "Scanner", 0, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetOptionValueUInteger(handle, "Scanner", 0, &unsigned_number),
              PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetOptionValueString(handle, "Scanner", 0, text), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetOptionValueString(nullptr, "Scanner", 0, text), PSW_ERR_PARAMETER);

    EXPECT_EQ(PSWGetNumberOfStorageInfo(handle, &count), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetNumberOfStorageInfo(handle, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetStorageInfo(handle, 0, &storage), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetStorageInfo(nullptr, 0, &storage), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetNumberOfJobInfo(handle, 2, &count), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetNumberOfJobInfo(handle, 3, &count), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetJobInfo(handle, 0, &job), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetPrinterInfo(handle, &printer), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetPrinterInfo(handle, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetCharSet(handle, 1, &charset), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetCharSet(handle, 2, &charset), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWCancelJob(handle, "12"), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWCancelJob(handle, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(count, 0);
}

TEST_F(ApiFrameTest, InitDeviceRejectsUnknownTransportsBeforeBuildingAnything)
{
    for (int32_t transport : {0, 4, 6, -5}) {
        EXPECT_EQ(PSWInitDevice(handle, "127.0.0.1", transport, 100, 0), PSW_ERR_PARAMETER);
    }
    EXPECT_EQ(PSWInitDevice(handle, nullptr, 1, 100, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWInitDevice(nullptr, "127.0.0.1", 1, 100, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(handle->m_pOptionSet, nullptr);
}

TEST_F(ApiFrameTest, DiscoveryArgumentChecks)
{
    int32_t count = 7;
    EXPECT_EQ(PSWFindDeviceSNMP(nullptr, nullptr, 1, 100, 0, &count), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWFindDeviceSNMP(handle, nullptr, 1, 100, 0, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWFindDeviceSNMP(handle, nullptr, 4, 100, 0, &count), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWFindDeviceSNMP(handle, nullptr, 3, 100, 0, &count), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(count, 7);

    PSWUSMSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::strcpy(settings.user_name, "operator");
    EXPECT_EQ(PSWFindDeviceSNMPEx(handle, nullptr, 3, 2, settings, 100, 0, &count),
              PSW_ERR_UNSUPPORTED);
}

TEST_F(ApiFrameTest, FiltersAndDeviceListThroughTheExportedCalls)
{
    EXPECT_EQ(PSWFindAddFilter(handle, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWFindAddFilter(nullptr, "1.3"), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWFindAddFilter(handle, std::string(64, '1').c_str()), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWFindAddFilter(handle, std::string(63, '1').c_str()), PSW_SUCCESS);
    PSWFindClearFilter(handle);
    PSWFindClearFilter(nullptr);
    PSWFindResetPosition(nullptr);

    char address[PSW_DEVICE_TEXT_SIZE];
    char model[PSW_DEVICE_TEXT_SIZE];
    char reserved[1] = {'r'};
    char oid[PSW_DEVICE_TEXT_SIZE];
    // No discovery yet.
    EXPECT_EQ(PSWGetDeviceNext(handle, address, model, reserved, oid), 0);
    PSWFindResetPosition(handle);
    EXPECT_EQ(PSWGetDeviceNext(handle, address, model, reserved, oid), 0);

    handle->m_pFinder->start_list();
    handle->m_pFinder->consider("1.3.6.1.4.1.297.1.11.93.1.35.27.1", "10.0.0.1");
    handle->m_pFinder->consider("1.3.6.1.4.1.297.1.11.93.1.35.27.1.5", "10.0.0.2");
    EXPECT_EQ(PSWGetDeviceNext(handle, address, model, nullptr, oid), 0);
    ASSERT_EQ(PSWGetDeviceNext(handle, address, model, reserved, oid), 1);
    EXPECT_STREQ(address, "10.0.0.2");  // newest answer first
    EXPECT_STREQ(model, "Marlowen-K T7150X");
    EXPECT_STREQ(oid, "1.3.6.1.4.1.297.1.11.93.1.35.27.1.5");
    EXPECT_EQ(reserved[0], '\0');
    ASSERT_EQ(PSWGetDeviceNext(handle, address, model, reserved, oid), 1);
    EXPECT_STREQ(address, "10.0.0.1");
    EXPECT_EQ(PSWGetDeviceNext(handle, address, model, reserved, oid), 0);
    PSWFindResetPosition(handle);
    ASSERT_EQ(PSWGetDeviceNext(handle, address, model, reserved, oid), 1);
    EXPECT_STREQ(address, "10.0.0.2");
}

}  // namespace
