// The Windows build reads a simulated printer through the exported calls, as the Linux build
// does. tools/ci/windows.sh starts the printer (tests/data/printers/rich.snmprec) on a leased
// loopback address on the Linux side and names it in PSW_WINDOWS_PRINTER; Wine's sockets
// reach it there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "psw/psw.h"

namespace {

class WindowsDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* address = std::getenv("PSW_WINDOWS_PRINTER");
        if (address == nullptr || *address == '\0') {
            GTEST_SKIP() << "PSW_WINDOWS_PRINTER names no simulated printer";
        }
        m_address = address;
        ASSERT_EQ(PSWInit(&m_handle), PSW_SUCCESS);
        ASSERT_EQ(PSWCommandString(m_handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, "rich"),
                  PSW_SUCCESS);
    }
    void TearDown() override
    {
        if (m_handle != nullptr) {
            PSWUnInit(m_handle);
        }
    }

    PSWHandle m_handle = nullptr;
    std::string m_address;
};

TEST_F(WindowsDeviceTest, RecordCountsMatchTheRecording)
{
    ASSERT_EQ(PSWInitDevice(m_handle, m_address.c_str(), PSW_TRANSPORT_UDP_IPV4, 2000, 1),
              PSW_SUCCESS);
    struct Case {
        const char* what;
        int32_t (*count)(PSWHandle, int32_t*);
        int32_t expected;
    };
    const Case cases[] = {
        {"input trays", PSWGetNumberOfInputTrayInfo, 6},
        {"output trays", PSWGetNumberOfOutputTrayInfo, 4},
        {"toners", PSWGetNumberOfTonerInfo, 4},
        {"alerts", PSWGetNumberOfAlertInfo, 3},
        {"storage areas", PSWGetNumberOfStorageInfo, 5},
        {"devices", PSWGetNumberOfDeviceInfo, 16},
    };
    for (const Case& c : cases) {
        int32_t count = -1;
        EXPECT_EQ(c.count(m_handle, &count), PSW_SUCCESS) << c.what;
        EXPECT_EQ(count, c.expected) << c.what;
    }
}

TEST_F(WindowsDeviceTest, TrayNamesArriveInTableOrder)
{
    ASSERT_EQ(PSWInitDevice(m_handle, m_address.c_str(), PSW_TRANSPORT_UDP_IPV4, 2000, 1),
              PSW_SUCCESS);
    int32_t count = 0;
    ASSERT_EQ(PSWGetNumberOfInputTrayInfo(m_handle, &count), PSW_SUCCESS);
    ASSERT_GE(count, 3);
    const char* const names[] = {"Tray 1", "Tray 2", "Tray 3"};
    for (int32_t i = 0; i < 3; ++i) {
        PSWInputTrayInfo tray{};
        ASSERT_EQ(PSWGetInputTrayInfo(m_handle, i, &tray), PSW_SUCCESS);
        EXPECT_STREQ(tray.name, names[i]);
    }
}

// Net-SNMP is not part of the Windows build: SNMPv3 is refused with the documented code, and
// community reads on the same handle still work afterwards.
TEST_F(WindowsDeviceTest, SnmpV3IsNotAvailable)
{
    PSWUSMSettings settings{};
    std::strcpy(settings.user_name, "reader");
    EXPECT_EQ(PSWInitDeviceEx(m_handle, m_address.c_str(), PSW_TRANSPORT_UDP_IPV4,
                              PSW_SECURITY_MODE_V3, settings, 500, 0),
              PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(PSWInitDevice(m_handle, m_address.c_str(), PSW_TRANSPORT_UDP_IPV4, 2000, 1),
              PSW_SUCCESS);
}

}  // namespace
