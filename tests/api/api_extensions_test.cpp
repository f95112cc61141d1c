// The extension calls without a printer: argument checks, the missing session, the version,
// and the percent rule of the supply record.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "api/library_handle.h"
#include "psw/psw.h"
#include "query/device_query.h"

namespace {

class ApiExtensionsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(PSWInit(&handle), PSW_SUCCESS); }
    void TearDown() override { PSWUnInit(handle); }
    PSWHandle handle = nullptr;
};

TEST(ApiVersionTest, LibraryTellsTheHeadersVersion)
{
    ASSERT_NE(PSWGetVersion(), nullptr);
    EXPECT_STREQ(PSWGetVersion(), PSW_VERSION);
    char composed[32];
    std::snprintf(composed, sizeof composed, "%d.%d.%d", PSW_VERSION_MAJOR, PSW_VERSION_MINOR,
                  PSW_VERSION_PATCH);
    EXPECT_STREQ(composed, PSW_VERSION);
    EXPECT_EQ(PSW_VERSION_NUMBER,
              PSW_VERSION_MAJOR * 10000 + PSW_VERSION_MINOR * 100 + PSW_VERSION_PATCH);
}

TEST_F(ApiExtensionsTest, InitAnyDeviceRejectsBadArgumentsAndBuildsNothing)
{
    for (int32_t transport : {0, PSW_TRANSPORT_NONE, 4, 6, -5}) {
        EXPECT_EQ(PSWInitAnyDevice(handle, "127.0.0.1", transport, 100, 0), PSW_ERR_PARAMETER)
            << transport;
    }
    EXPECT_EQ(PSWInitAnyDevice(handle, nullptr, PSW_TRANSPORT_UDP_IPV4, 100, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWInitAnyDevice(nullptr, "127.0.0.1", PSW_TRANSPORT_UDP_IPV4, 100, 0),
              PSW_ERR_PARAMETER);
    const std::string long_address(64, '1');
    EXPECT_EQ(PSWInitAnyDevice(handle, long_address.c_str(), PSW_TRANSPORT_UDP_IPV4, 100, 0),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(handle->m_pDeviceQuery, nullptr);
    EXPECT_EQ(handle->m_pOptionSet, nullptr);
}

TEST_F(ApiExtensionsTest, InitAnyDeviceSendsNothingAndBuildsOnlyTheSession)
{
    // 192.0.2.1 (documentation range) is never contacted: the set-up sends no request.
    PSWUSMSettings settings;
    std::memset(&settings, 0, sizeof settings);
    ASSERT_EQ(PSWInitAnyDeviceEx(handle, "192.0.2.1", PSW_TRANSPORT_UDP_IPV4,
                                 PSW_SECURITY_MODE_COMMUNITY, settings, 100, 0),
              PSW_SUCCESS);
    EXPECT_NE(handle->m_pDeviceQuery, nullptr);
    EXPECT_EQ(handle->m_pOptionSet, nullptr);
    EXPECT_EQ(PSWRefreshOptions(handle), PSW_ERR_UNSUPPORTED);
    int32_t number = 0;
    EXPECT_EQ(PSWGetOptionValueInteger(handle, "MemorySizeInKByte", 0, &number),
              PSW_ERR_UNSUPPORTED);
    uint32_t unsigned_number = 0;
    EXPECT_EQ(PSWGetOptionValueUInteger(handle, "Scanner", 0, &unsigned_number),
              PSW_ERR_UNSUPPORTED);
    PSWSupplyInfo supply;
    EXPECT_EQ(PSWGetSupplyInfo(handle, 0, &supply), PSW_ERR_INDEX) << "no count call yet";

    EXPECT_EQ(PSWIsSupportedOID(handle, nullptr), 0);

    // A supported-model set-up afterwards (failing in its option set, which it builds first)
    // releases the session and gives an ordinary handle again.
    EXPECT_EQ(PSWInitDevice(handle, "127.0.0.1", PSW_TRANSPORT_NONE, 100, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(handle->m_pDeviceQuery, nullptr);
    EXPECT_FALSE(handle->m_anyModel);
    EXPECT_EQ(PSWIsSupportedOID(handle, nullptr), 1);
}

TEST_F(ApiExtensionsTest, ReadsCheckArgumentsBeforeTheMissingSession)
{
    int32_t count = 0;
    PSWSupplyInfo supply;
    PSWIdentityInfo identity;
    EXPECT_EQ(PSWGetNumberOfSupplyInfo(handle, &count), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetNumberOfSupplyInfo(handle, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetNumberOfSupplyInfo(nullptr, &count), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetSupplyInfo(handle, 0, &supply), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetSupplyInfo(handle, 0, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetIdentityInfo(handle, &identity), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(PSWGetIdentityInfo(handle, nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetIdentityInfo(nullptr, &identity), PSW_ERR_PARAMETER);
    EXPECT_EQ(count, 0);
}

struct PercentCase {
    int32_t level;
    int32_t capacity;
    int32_t percent;
};

TEST(SupplyPercentTest, RoundsToNearestAndPassesSpecialLevelsOn)
{
    const PercentCase cases[] = {
        {0, 100, 0},
        {50, 100, 50},
        {1, 3, 33},
        {2, 3, 67},
        {1, 200, 1},
        {1, 201, 0},
        {150, 100, 100},
        {-1, 100, -1},
        {-2, 100, -2},
        {-3, 100, -3},
        {-3, -2, -3},
        {10, 0, -2},
        {10, -1, -2},
        {10, -2, -2},
        {2147483647, 2147483647, 100},
        {2147483646, 2147483647, 100},
    };
    for (const PercentCase& c : cases) {
        EXPECT_EQ(psw::pmc_supply_percent(c.level, c.capacity), c.percent)
            << c.level << " of " << c.capacity;
    }
}

}  // namespace
