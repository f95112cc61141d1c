// The exported device session against simulated printers served by snmpsim: set-up, every
// count-and-copy pair, printer status, character sets, jobs, job cancel, options, discovery.
// The expected values are those of tests/data/printers/EXPECTED.md.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "psw/psw.h"
#include "support/agent_harness.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr uint32_t kTimeout = 1500;
constexpr uint32_t kRetries = 1;

class DeviceSessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (peer_unavailable({Peer::root, Peer::snmpsim, Peer::netsnmp_tools})) {
            return;
        }
        std::vector<SnmprecSource> files;
        for (const char* name :
             {"rich", "many-trays", "odd-values", "other-model", "sparse-rows"}) {
            files.emplace_back(test_data(std::string("printers/") + name + ".snmprec"));
        }
        agent.start(SnmpsimOptions{.files = files});
    }
    static void TearDownTestSuite() { agent.stop(); }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools);
        ASSERT_TRUE(agent.ready());
        ASSERT_EQ(PSWInit(&handle), PSW_SUCCESS);
    }
    void TearDown() override { PSWUnInit(handle); }

    // Binds the handle to the printer served under `community`.
    int32_t init_device(const char* community)
    {
        EXPECT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, community),
                  PSW_SUCCESS);
        return PSWInitDevice(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4, kTimeout,
                             kRetries);
    }

    PSWHandle handle = nullptr;
    static inline SuiteAgent<SnmpsimAgent> agent;
};

TEST_F(DeviceSessionTest, SetUpAcceptsTheSupportedModel)
{
    EXPECT_EQ(PSWIsSupportedOID(handle, ""), 0) << "no option set before set-up";
    ASSERT_EQ(init_device("rich"), PSW_SUCCESS);
    EXPECT_EQ(PSWIsSupportedOID(handle, "1.3.6.1.4.1.297.1.11"), 1);
    EXPECT_EQ(PSWIsSupportedOID(handle, "1.3.6.1.4.1.253"), 0);
    EXPECT_EQ(PSWIsSupportedOID(handle, ""), 1);
    PSWStorageInfo storage;
    EXPECT_EQ(PSWGetStorageInfo(handle, 0, &storage), PSW_ERR_INDEX) << "empty until counted";
}

TEST_F(DeviceSessionTest, SetUpRefusesAnotherModel)
{
    EXPECT_EQ(init_device("other-model"), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWIsSupportedOID(handle, "1.3.6.1.4.1.297"), 1)
        << "the option set answers from the refused printer's sysObjectID";
    int32_t count = -1;
    EXPECT_EQ(PSWGetNumberOfStorageInfo(handle, &count), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(count, -1);
}

TEST_F(DeviceSessionTest, SetUpRefusesAnAddressLongerThanItsField)
{
    const std::string address = agent->address() + std::string(64, ' ');
    EXPECT_EQ(PSWInitDevice(handle, address.c_str(), PSW_TRANSPORT_UDP_IPV4, kTimeout, kRetries),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWIsSupportedOID(handle, ""), 0) << "nothing was built";
}

TEST_F(DeviceSessionTest, StorageAndDevices)
{
    ASSERT_EQ(init_device("rich"), PSW_SUCCESS);
    int32_t count = -1;
    ASSERT_EQ(PSWGetNumberOfStorageInfo(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 5);
    PSWStorageInfo storage;
    ASSERT_EQ(PSWGetStorageInfo(handle, 1, &storage), PSW_SUCCESS);
    EXPECT_EQ(storage.storage_type, 4);
    EXPECT_EQ(storage.allocation_units, 4096);
    EXPECT_EQ(storage.size, 39062500);
    EXPECT_STREQ(storage.description, "Hard Disk 160 GB");
    ASSERT_EQ(PSWGetStorageInfo(handle, 2, &storage), PSW_SUCCESS);
    EXPECT_EQ(storage.storage_type, 0);
    EXPECT_STREQ(storage.description, "Flash ROM");
    EXPECT_EQ(PSWGetStorageInfo(handle, 5, &storage), PSW_ERR_INDEX);
    EXPECT_EQ(PSWGetStorageInfo(handle, -1, &storage), PSW_ERR_INDEX);

    ASSERT_EQ(PSWGetNumberOfDeviceInfo(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 16);
    PSWDeviceInfo device;
    ASSERT_EQ(PSWGetDeviceInfo(handle, 11, &device), PSW_SUCCESS);
    EXPECT_EQ(device.device_type, 151);
    EXPECT_EQ(device.device_status, 2);
    EXPECT_STREQ(device.description, "Tandem Tray Module");
    ASSERT_EQ(PSWGetDeviceInfo(handle, 15, &device), PSW_SUCCESS);
    EXPECT_EQ(device.device_type, 0);
    EXPECT_STREQ(device.description, "Card Reader");
}

TEST_F(DeviceSessionTest, PrinterStatusAndCharacterSets)
{
    ASSERT_EQ(init_device("rich"), PSW_SUCCESS);
    PSWPrinterInfo printer;
    ASSERT_EQ(PSWGetPrinterInfo(handle, &printer), PSW_SUCCESS);
    EXPECT_EQ(printer.printer_status, 3);
    const uint8_t error_state[4] = {0x20, 0x04, 0x00, 0x00};
    EXPECT_EQ(std::memcmp(printer.detected_error_state, error_state, 4), 0);
    int32_t charset = -1;
    ASSERT_EQ(PSWGetCharSet(handle, PSW_CHARSET_STANDARD, &charset), PSW_SUCCESS);
    EXPECT_EQ(charset, 4);
    ASSERT_EQ(PSWGetCharSet(handle, PSW_CHARSET_PRIVATE, &charset), PSW_SUCCESS);
    EXPECT_EQ(charset, 106);
    EXPECT_EQ(PSWGetCharSet(handle, 2, &charset), PSW_ERR_PARAMETER);
}

TEST_F(DeviceSessionTest, InputTraysPlainAndExtended)
{
    ASSERT_EQ(init_device("rich"), PSW_SUCCESS);
    int32_t count = -1;
    ASSERT_EQ(PSWGetNumberOfInputTrayInfo(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 6);
    PSWInputTrayInfo tray;
    ASSERT_EQ(PSWGetInputTrayInfo(handle, 5, &tray), PSW_SUCCESS);
    EXPECT_EQ(tray.type, 5);
    EXPECT_EQ(tray.media_dim_feed_declared, -1);
    EXPECT_EQ(tray.media_dim_feed_chosen, 241300);
    EXPECT_EQ(tray.media_dim_xfeed_chosen, 104775);
    EXPECT_EQ(tray.max_capacity, 100);
    EXPECT_EQ(tray.current_level, -2);
    EXPECT_STREQ(tray.media_name, "Envelope No. 10");
    EXPECT_STREQ(tray.name, "Bypass Tray");
    EXPECT_STREQ(tray.description, "Bypass Tray (Manual Feed)");
    EXPECT_STREQ(tray.media_type, "envelope");
    EXPECT_STREQ(tray.media_color, "white");

    ASSERT_EQ(PSWGetNumberOfInputTrayInfoEx(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 6);
    const int32_t extensions[] = {12, 0, 7, 3, 255, 1};
    for (int32_t i = 0; i < 6; ++i) {
        PSWInputTrayInfoEx record;
        std::memset(&record, 0x77, sizeof record);
        ASSERT_EQ(PSWGetInputTrayInfoEx(handle, i, &record), PSW_SUCCESS);
        EXPECT_EQ(record.extension, extensions[i]) << i;
        const uint8_t zero[8] = {};
        EXPECT_EQ(std::memcmp(record.reserved, zero, 8), 0);
    }
    PSWInputTrayInfoEx last;
    ASSERT_EQ(PSWGetInputTrayInfoEx(handle, 5, &last), PSW_SUCCESS);
    EXPECT_EQ(std::memcmp(&last.tray, &tray, sizeof tray), 0) << "the same 552 bytes";
}

TEST_F(DeviceSessionTest, TraysWithoutExtensionColumnGetMinusOne)
{
    ASSERT_EQ(init_device("many-trays"), PSW_SUCCESS);
    int32_t plain = -1;
    int32_t extended = -1;
    ASSERT_EQ(PSWGetNumberOfInputTrayInfo(handle, &plain), PSW_SUCCESS);
    ASSERT_EQ(PSWGetNumberOfInputTrayInfoEx(handle, &extended), PSW_SUCCESS);
    EXPECT_EQ(plain, 25);
    EXPECT_EQ(extended, plain);
    for (int32_t i = 0; i < extended; ++i) {
        PSWInputTrayInfoEx record;
        ASSERT_EQ(PSWGetInputTrayInfoEx(handle, i, &record), PSW_SUCCESS);
        EXPECT_EQ(record.extension, -1) << i;
    }
}

TEST_F(DeviceSessionTest, OutputTraysTonersAndAlerts)
{
    ASSERT_EQ(init_device("rich"), PSW_SUCCESS);
    int32_t count = -1;
    ASSERT_EQ(PSWGetNumberOfOutputTrayInfo(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 4);
    PSWOutputTrayInfo output;
    ASSERT_EQ(PSWGetOutputTrayInfo(handle, 2, &output), PSW_SUCCESS);
    EXPECT_EQ(output.type, 3);
    EXPECT_EQ(output.status, 8);
    EXPECT_STREQ(output.name, "Finisher Tray");
    EXPECT_STREQ(output.description, "Finisher Stacker Tray");

    ASSERT_EQ(PSWGetNumberOfTonerInfo(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 4);
    PSWTonerInfo toner;
    ASSERT_EQ(PSWGetTonerInfo(handle, 0, &toner), PSW_SUCCESS);
    EXPECT_EQ(toner.supply_unit, 13);
    EXPECT_EQ(toner.max_capacity, 5500);
    EXPECT_EQ(toner.level, 1210);
    EXPECT_STREQ(toner.description, "Black Toner Cartridge");
    ASSERT_EQ(PSWGetTonerInfo(handle, 3, &toner), PSW_SUCCESS);
    EXPECT_STREQ(toner.description, "Yellow Toner Cartridge");
    EXPECT_EQ(toner.level, 3);

    ASSERT_EQ(PSWGetNumberOfAlertInfo(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 3);
    PSWAlertInfo alert;
    ASSERT_EQ(PSWGetAlertInfo(handle, 0, &alert), PSW_SUCCESS);
    EXPECT_EQ(alert.severity_level, 4);
    EXPECT_EQ(alert.group, 11);
    EXPECT_EQ(alert.group_index, 5);
    EXPECT_EQ(alert.location, -1);
    EXPECT_EQ(alert.code, 1104);
    EXPECT_STREQ(alert.description, "Yellow toner is low.");
}

TEST_F(DeviceSessionTest, JobsByKind)
{
    ASSERT_EQ(init_device("rich"), PSW_SUCCESS);
    int32_t count = -1;
    EXPECT_EQ(PSWGetNumberOfJobInfo(handle, 3, &count), PSW_ERR_PARAMETER);
    ASSERT_EQ(PSWGetNumberOfJobInfo(handle, PSW_JOB_KIND_ALL, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 5);
    PSWJobInfo job;
    ASSERT_EQ(PSWGetJobInfo(handle, 1, &job), PSW_SUCCESS);
    EXPECT_EQ(job.job_type, 2);
    EXPECT_EQ(job.job_state, 4);
    EXPECT_STREQ(job.localized_text1, "Held");
    EXPECT_STREQ(job.localized_text2, "Held by user \xe2\x80\x93 release at the panel");
    EXPECT_STREQ(job.localized_text3, "Control Panel");
    EXPECT_STREQ(job.job_id, "1047");
    EXPECT_STREQ(job.text, "Copy job");
    EXPECT_EQ(std::vector<int>({job.date1.year, job.date1.month, job.date1.day, job.date1.hour,
                                job.date1.minute, job.date1.second}),
              std::vector<int>({2024, 5, 18, 0, 5, 9}));
    ASSERT_EQ(PSWGetJobInfo(handle, 3, &job), PSW_SUCCESS);
    EXPECT_EQ(job.job_type, 12);
    EXPECT_EQ(job.value_59_16_6, 4294967295u);
    ASSERT_EQ(PSWGetJobInfo(handle, 4, &job), PSW_SUCCESS);
    EXPECT_EQ(job.job_type, 0);
    EXPECT_STREQ(job.job_id, "SCN00815");

    ASSERT_EQ(PSWGetNumberOfJobInfo(handle, PSW_JOB_KIND_OTHERS, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(PSWGetNumberOfJobInfo(handle, PSW_JOB_KIND_SEPARATED, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 2);
    ASSERT_EQ(PSWGetJobInfo(handle, 0, &job), PSW_SUCCESS);
    EXPECT_STREQ(job.job_id, "1039");
}

TEST_F(DeviceSessionTest, CancelJobWritesWithTheWriteCommunity)
{
    ASSERT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_WRITE, "rich"), PSW_SUCCESS);
    ASSERT_EQ(init_device("rich"), PSW_SUCCESS);
    ASSERT_EQ(PSWCancelJob(handle, "1046"), PSW_SUCCESS);
    const auto got = agent->tools().get(agent->target(), SnmpCredentials::v2c("rich"),
                                        {"1.3.6.1.4.1.253.8.76.3.2.1.1.101.4.49.48.52.54"});
    ASSERT_TRUE(got.ok()) << got.describe();
    EXPECT_NE(got.out.find("1414"), std::string::npos) << got.out;
    EXPECT_EQ(PSWCancelJob(handle, "1039"), PSW_ERR_TOO_LONG) << "no such cancel object";
}

TEST_F(DeviceSessionTest, CancelJobDefaultsToThePrivateCommunity)
{
    ASSERT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, "rich"), PSW_SUCCESS);
    ASSERT_EQ(PSWInitDevice(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4, 300, 0),
              PSW_SUCCESS);
    // snmpsim serves no data under "private", so the write goes unanswered.
    EXPECT_EQ(PSWCancelJob(handle, "1046"), PSW_ERR_TIMEOUT);
}

TEST_F(DeviceSessionTest, OptionsAfterRefresh)
{
    ASSERT_EQ(init_device("rich"), PSW_SUCCESS);
    ASSERT_EQ(PSWRefreshOptions(handle), PSW_SUCCESS);
    int16_t flag = -1;
    ASSERT_EQ(PSWGetOptionValueBoolean(handle, "Scanner", 0, &flag), PSW_SUCCESS);
    EXPECT_EQ(flag, 1);
    ASSERT_EQ(PSWGetOptionValueBoolean(handle, "InTrayExistHCF2", 0, &flag), PSW_SUCCESS);
    EXPECT_EQ(flag, 0);
    int32_t number = -1;
    ASSERT_EQ(PSWGetOptionValueInteger(handle, "MemorySizeInMByte", 0, &number), PSW_SUCCESS);
    EXPECT_EQ(number, 768);
    ASSERT_EQ(PSWGetOptionValueInteger(handle, "InputTrayCurrentLevelInPercent", 0, &number),
              PSW_SUCCESS);
    EXPECT_EQ(number, 50) << "level 249 of 500 rounds to the nearest percent";
    EXPECT_EQ(PSWGetOptionValueInteger(handle, "InputTrayIndex", 6, &number), PSW_ERR_INDEX);
    char text[PSW_OPTION_TEXT_SIZE];
    ASSERT_EQ(PSWGetOptionValueString(handle, "SysName", 0, text), PSW_SUCCESS);
    EXPECT_STREQ(text, "PRN-3F-EAST");
    uint32_t unsigned_value = 7;
    EXPECT_EQ(PSWGetOptionValueUInteger(handle, "Scanner", 0, &unsigned_value),
              PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(unsigned_value, 7u);
    EXPECT_EQ(PSWGetOptionValueInteger(handle, "NoSuchOption", 0, &number), PSW_ERR_UNSUPPORTED);
}

TEST_F(DeviceSessionTest, OddValuesAreCutAndMissingObjectsTolerated)
{
    ASSERT_EQ(init_device("odd-values"), PSW_SUCCESS);
    PSWPrinterInfo printer;
    std::memset(&printer, 0x55, sizeof printer);
    ASSERT_EQ(PSWGetPrinterInfo(handle, &printer), PSW_SUCCESS);
    EXPECT_EQ(printer.printer_status, 0) << "no hrPrinterTable";
    int32_t charset = -1;
    ASSERT_EQ(PSWGetCharSet(handle, PSW_CHARSET_STANDARD, &charset), PSW_SUCCESS);
    EXPECT_EQ(charset, 0);

    int32_t count = -1;
    ASSERT_EQ(PSWGetNumberOfAlertInfo(handle, &count), PSW_SUCCESS);
    for (int32_t i = 0; i < count; ++i) {
        PSWAlertInfo alert;
        ASSERT_EQ(PSWGetAlertInfo(handle, i, &alert), PSW_SUCCESS);
        EXPECT_LT(std::strlen(alert.description), sizeof alert.description);
    }
    ASSERT_EQ(PSWGetNumberOfJobInfo(handle, PSW_JOB_KIND_ALL, &count), PSW_SUCCESS);
    EXPECT_GT(count, 0);
    bool long_id_cut = false;
    for (int32_t i = 0; i < count; ++i) {
        PSWJobInfo job;
        ASSERT_EQ(PSWGetJobInfo(handle, i, &job), PSW_SUCCESS);
        EXPECT_LE(std::strlen(job.job_id), 8u);
        long_id_cut = long_id_cut || std::string(job.job_id) == "LONGJOBI";
    }
    EXPECT_TRUE(long_id_cut) << "the 11-byte job id is cut to 8 bytes";
}

// Rows that lack a column leave that field zero; the rows after them keep their own values.
TEST_F(DeviceSessionTest, RowsLackingAColumnKeepTheirFieldsZero)
{
    ASSERT_EQ(init_device("sparse-rows"), PSW_SUCCESS);
    struct StorageRow {
        int32_t allocation_units;
        int32_t size;
        const char* description;
    };
    const StorageRow storage_rows[] = {{1024, 1023, "System RAM"},
                                       {4096, 0, ""},
                                       {512, 78125000, "Hard Disk"},
                                       {0, 16384, "Flash ROM"}};
    int32_t count = -1;
    ASSERT_EQ(PSWGetNumberOfStorageInfo(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 4);
    for (int32_t i = 0; i < count; ++i) {
        PSWStorageInfo storage;
        ASSERT_EQ(PSWGetStorageInfo(handle, i, &storage), PSW_SUCCESS);
        EXPECT_EQ(storage.allocation_units, storage_rows[i].allocation_units) << "row " << i;
        EXPECT_EQ(storage.size, storage_rows[i].size) << "row " << i;
        EXPECT_STREQ(storage.description, storage_rows[i].description) << "row " << i;
    }

    const int32_t statuses[] = {2, 0, 5};
    const char* descriptions[] = {"Printer", "Hard Disk Drive", "Scanner"};
    ASSERT_EQ(PSWGetNumberOfDeviceInfo(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 3);
    for (int32_t i = 0; i < count; ++i) {
        PSWDeviceInfo device;
        ASSERT_EQ(PSWGetDeviceInfo(handle, i, &device), PSW_SUCCESS);
        EXPECT_EQ(device.device_status, statuses[i]) << "row " << i;
        EXPECT_STREQ(device.description, descriptions[i]) << "row " << i;
    }
}

TEST_F(DeviceSessionTest, RepeatedSetUpReplacesTheSession)
{
    ASSERT_EQ(init_device("rich"), PSW_SUCCESS);
    int32_t count = -1;
    ASSERT_EQ(PSWGetNumberOfStorageInfo(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(init_device("rich"), PSW_SUCCESS);
    PSWStorageInfo storage;
    EXPECT_EQ(PSWGetStorageInfo(handle, 0, &storage), PSW_ERR_INDEX) << "a new, empty session";
    EXPECT_EQ(init_device("other-model"), PSW_ERR_PARAMETER);
    EXPECT_EQ(PSWGetStorageInfo(handle, 0, &storage), PSW_ERR_NOT_INITIALIZED);
}

TEST_F(DeviceSessionTest, DiscoveryKeepsTheSupportedModel)
{
    ASSERT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_FIND, "rich"), PSW_SUCCESS);
    int32_t count = -1;
    ASSERT_EQ(
        PSWFindDeviceSNMP(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4, 500, 0, &count),
        PSW_SUCCESS);
    ASSERT_EQ(count, 1);
    char address[64];
    char model[64];
    char reserved[4] = {'x', 'x', 'x', 'x'};
    char oid[64];
    ASSERT_EQ(PSWGetDeviceNext(handle, address, model, reserved, oid), 1);
    EXPECT_EQ(std::string(address), agent->address());
    EXPECT_STREQ(model, "Marlowen-K T7150X");
    EXPECT_STREQ(oid, "1.3.6.1.4.1.297.1.11.93.1.35.27.1");
    EXPECT_EQ(reserved[0], '\0');
    EXPECT_EQ(PSWGetDeviceNext(handle, address, model, reserved, oid), 0);
    PSWFindResetPosition(handle);
    EXPECT_EQ(PSWGetDeviceNext(handle, address, model, reserved, oid), 1);

    ASSERT_EQ(PSWFindAddFilter(handle, "1.3.6.1.4.1.253"), PSW_SUCCESS);
    ASSERT_EQ(
        PSWFindDeviceSNMP(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4, 500, 0, &count),
        PSW_SUCCESS);
    EXPECT_EQ(count, 0);

    PSWFindClearFilter(handle);
    ASSERT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_FIND, "other-model"), PSW_SUCCESS);
    ASSERT_EQ(
        PSWFindDeviceSNMP(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4, 500, 0, &count),
        PSW_SUCCESS);
    EXPECT_EQ(count, 0) << "another model is skipped";
}

TEST_F(DeviceSessionTest, DiscoveryRefusesAnAddressOfAnotherTransport)
{
    int32_t count = -1;
    EXPECT_EQ(PSWFindDeviceSNMP(handle, "ff02::1", PSW_TRANSPORT_UDP_IPV4, 100, 0, &count),
              PSW_ERR_PARAMETER);
}

}  // namespace
}  // namespace psw::test
