// Storage, device, printer status and character-set queries: record mapping from scripted rows.
#include <gtest/gtest.h>

#include "query/query_fixture.h"
#include "query/type_codes.h"
#include "snmp/pms_value.h"
#include "support/oid_numbers.h"

namespace psw::test {
namespace {

const std::string kStorage = "1.3.6.1.2.1.25.2.3.1";
const std::string kDevice = "1.3.6.1.2.1.25.3.2.1";
const std::string kPrinter = "1.3.6.1.2.1.25.3.5.1";

using HostResourcesQueryTest = QueryTest;

Row storage_row(int index, const std::string& type, int32_t units, int32_t size,
                const std::string& description)
{
    const std::string i = "." + std::to_string(index);
    return {Oid(kStorage + ".2" + i, type), Int(kStorage + ".4" + i, units),
            Int(kStorage + ".5" + i, size), Str(kStorage + ".3" + i, description)};
}

TEST_F(HostResourcesQueryTest, StorageColumnsAreAddedInRecordOrder)
{
    ASSERT_EQ(query.query_storage(), PSW_SUCCESS);
    ASSERT_EQ(script.requests.size(), 1u);
    const std::vector<std::string> expected = {kStorage + ".2", kStorage + ".4", kStorage + ".5",
                                               kStorage + ".3"};
    EXPECT_EQ(script.requests[0].oids, expected);
    EXPECT_EQ(script.requests[0].walks, std::vector<std::string>{kStorage + ".2"});
}

TEST_F(HostResourcesQueryTest, StorageRowsBecomeRecords)
{
    script.tables[kStorage + ".2"] = {
        storage_row(1, "1.3.6.1.2.1.25.2.1.2", 1024, 262144, "RAM"),
        storage_row(2, "1.3.6.1.2.1.25.2.1.4", 4096, -5, "Hard Disk"),
        storage_row(3, "1.3.6.1.2.1.25.2.1.40", 1, 1, "Odd"),
    };
    ASSERT_EQ(query.query_storage(), PSW_SUCCESS);
    const auto& table = query.storage_table();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].storage_type, 2);
    EXPECT_EQ(table[0].allocation_units, 1024);
    EXPECT_EQ(table[0].size, 262144);
    EXPECT_STREQ(table[0].description, "RAM");
    EXPECT_EQ(table[1].storage_type, 4);
    EXPECT_EQ(table[1].size, -5);
    EXPECT_STREQ(table[1].description, "Hard Disk");
    EXPECT_EQ(table[2].storage_type, 0) << "the type table compares exactly, not by prefix";
}

TEST_F(HostResourcesQueryTest, LongDescriptionsAreCutAndTerminated)
{
    const std::string long_text(400, 'x');
    script.tables[kStorage + ".2"] = {storage_row(1, "1.3.6.1.2.1.25.2.1.2", 1, 1, long_text)};
    ASSERT_EQ(query.query_storage(), PSW_SUCCESS);
    const PSWStorageInfo& record = query.storage_table()[0];
    EXPECT_EQ(std::string(record.description), std::string(255, 'x'));
    EXPECT_EQ(record.description[255], '\0');
}

TEST_F(HostResourcesQueryTest, MissingColumnsStayZero)
{
    script.tables[kStorage + ".2"] = {{Oid(kStorage + ".2.1", "1.3.6.1.2.1.25.2.1.3")}};
    ASSERT_EQ(query.query_storage(), PSW_SUCCESS);
    const PSWStorageInfo& record = query.storage_table()[0];
    EXPECT_EQ(record.storage_type, 3);
    EXPECT_EQ(record.allocation_units, 0);
    EXPECT_EQ(record.size, 0);
    EXPECT_STREQ(record.description, "");
}

TEST_F(HostResourcesQueryTest, StorageTypeTable)
{
    for (int code = 1; code <= 8; ++code) {
        EXPECT_EQ(pmc_storage_type_code(("1.3.6.1.2.1.25.2.1." + std::to_string(code)).c_str()),
                  code);
    }
    // Only the plain decimal spelling right after the prefix names a code.
    for (const char* other :
         {"1.3.6.1.2.1.25.2.1.9", "1.3.6.1.2.1.25.2.1", "1.3.6.1.2.1.25.2.1.",
          "1.3.6.1.2.1.25.2.1.04", "1.3.6.1.2.1.25.2.1.0", "1.3.6.1.2.1.25.2.1.+4",
          "1.3.6.1.2.1.25.2.1.4.1", "1.3.6.1.2.1.25.2.1.4 ", "1.3.6.1.2.1.25.2.14",
          "1.3.6.1.2.1.25.2.1.4294967300", "1.3.6.1.2.1.25.2.1.99999999999999999999",
          "1.3.6.1.2.1.25.2", ""}) {
        EXPECT_EQ(pmc_storage_type_code(other), 0) << other;
    }
    EXPECT_EQ(pmc_storage_type_code(nullptr), 0);
}

TEST_F(HostResourcesQueryTest, DeviceTypeTable)
{
    int rows = 0;
    for (int code = 0; code <= 30; ++code) {
        const int32_t found =
            pmc_device_type_code(("1.3.6.1.2.1.25.3.1." + std::to_string(code)).c_str());
        const bool listed = (code >= 1 && code <= 6) || (code >= 10 && code <= 21);
        EXPECT_EQ(found, listed ? code : 0) << code;
        rows += found != 0 ? 1 : 0;
    }
    for (int code = 100; code <= 210; ++code) {
        const int32_t found =
            pmc_device_type_code(("1.3.6.1.4.1.253.8.52.2." + std::to_string(code)).c_str());
        const bool listed = (code >= 101 && code <= 109) || (code >= 151 && code <= 154) ||
                            (code >= 201 && code <= 207);
        EXPECT_EQ(found, listed ? code : 0) << code;
        rows += found != 0 ? 1 : 0;
    }
    EXPECT_EQ(rows, 38);
    EXPECT_EQ(pmc_device_type_code("1.3.6.1.2.1.25.3.1.7"), 0);
    EXPECT_EQ(pmc_device_type_code("1.3.6.1.2.1.25.3.1.3.1"), 0);
}

// A type value read as numbers (its text unwritten) gives the code its text gives; a value
// spelt otherwise, or not an OID, is left to the text.
TEST_F(HostResourcesQueryTest, TypeCodesFromNumbersAreTheTextCodes)
{
    std::vector<std::string> texts = {"1.3.6.1.2.1.25.2.1",
                                      "1.3.6.1.2.1.25.2.1.0",
                                      "1.3.6.1.2.1.25.2.1.4.1",
                                      "1.3.6.1.2.1.25.2.14",
                                      "1.3.6.1.2.1.25.2.10.1",
                                      "1.3.6.1.2.1.25.2",
                                      "1.3.6.1.2.1.25.2.1.4294967295",
                                      "1.3.6.1.2.1.25.3.1.7",
                                      "1.3.6.1.2.1.25.3.1.3.1",
                                      "1.3.6.1.4.1.253.8.52.2.0",
                                      "1.3.6.1.4.1.253.8.52.2.4294967295",
                                      "",
                                      "0",
                                      "1.3.6.1.2.1.25.2.1.1.0"};
    for (int code = 0; code <= 30; ++code) {
        texts.push_back("1.3.6.1.2.1.25.2.1." + std::to_string(code));
        texts.push_back("1.3.6.1.2.1.25.3.1." + std::to_string(code));
    }
    for (int code = 100; code <= 210; ++code) {
        texts.push_back("1.3.6.1.4.1.253.8.52.2." + std::to_string(code));
    }
    for (const std::string& text : texts) {
        // As a reply leaves it: decoded from the wire, its text not written yet.
        OwnedPtr<IPmsValue> decoded(create_value(kPmsObjectId));
        assign_numbers(decoded.get(), oid_numbers(text));
        int32_t code = -1;
        ASSERT_TRUE(pmc_storage_type_code_of(decoded.get(), &code)) << text;
        EXPECT_EQ(code, pmc_storage_type_code(text.c_str())) << text;
        code = -1;
        ASSERT_TRUE(pmc_device_type_code_of(decoded.get(), &code)) << text;
        EXPECT_EQ(code, pmc_device_type_code(text.c_str())) << text;
    }
    // Spellings whose numbers are not their text, and values that are no OID.
    int32_t code = -1;
    for (const char* other : {"1.3.6.1.2.1.25.2.1.04", "1.3.6.1.2.1.25.2.1.4294967300"}) {
        OwnedPtr<IPmsValue> value(create_value(kPmsObjectId));
        ASSERT_EQ(value->set_text(other), PSW_SUCCESS);
        EXPECT_FALSE(pmc_storage_type_code_of(value.get(), &code)) << other;
        EXPECT_FALSE(pmc_device_type_code_of(value.get(), &code)) << other;
    }
    OwnedPtr<IPmsValue> octets(create_value_from_text("1.3.6.1.2.1.25.2.1.4", kPmsOctetString));
    EXPECT_FALSE(pmc_storage_type_code_of(octets.get(), &code));
    EXPECT_FALSE(pmc_device_type_code_of(nullptr, &code));
    EXPECT_EQ(code, -1);
}

TEST_F(HostResourcesQueryTest, DeviceRowsBecomeRecords)
{
    script.tables[kDevice + ".2"] = {
        {Oid(kDevice + ".2.1", "1.3.6.1.2.1.25.3.1.5"), Int(kDevice + ".5.1", 2),
         Str(kDevice + ".3.1", "Printer")},
        {Oid(kDevice + ".2.154", "1.3.6.1.4.1.253.8.52.2.154"), Int(kDevice + ".5.154", 5),
         Str(kDevice + ".3.154", "Finisher")},
    };
    ASSERT_EQ(query.query_devices(), PSW_SUCCESS);
    const std::vector<std::string> expected = {kDevice + ".2", kDevice + ".5", kDevice + ".3"};
    EXPECT_EQ(script.requests[0].oids, expected);
    const auto& table = query.device_table();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].device_type, 5);
    EXPECT_EQ(table[0].device_status, 2);
    EXPECT_STREQ(table[0].description, "Printer");
    EXPECT_EQ(table[1].device_type, 154);
    EXPECT_EQ(table[1].device_status, 5);
    EXPECT_STREQ(table[1].description, "Finisher");
}

TEST_F(HostResourcesQueryTest, PrinterStatusTakesTheLastRowAndTheErrorOctetsByPosition)
{
    script.tables[kPrinter + ".1"] = {
        {Int(kPrinter + ".1.1", 4), Bytes(kPrinter + ".2.1", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {Int(kPrinter + ".1.2", 3), Bytes(kPrinter + ".2.2", {0x00, 0x80})},
    };
    PSWPrinterInfo info;
    std::memset(&info, 0x55, sizeof info);
    ASSERT_EQ(query.query_printer(&info), PSW_SUCCESS);
    const std::vector<std::string> expected = {kPrinter + ".1", kPrinter + ".2"};
    EXPECT_EQ(script.requests[0].oids, expected);
    EXPECT_EQ(info.printer_status, 3);
    EXPECT_EQ(info.detected_error_state[0], 0x00);
    EXPECT_EQ(info.detected_error_state[1], 0x80);
    EXPECT_EQ(info.detected_error_state[2], 0x00);
    EXPECT_EQ(info.detected_error_state[3], 0x00);
}

TEST_F(HostResourcesQueryTest, PrinterStatusWithOneErrorOctet)
{
    script.tables[kPrinter + ".1"] = {
        {Int(kPrinter + ".1.1", 5), Bytes(kPrinter + ".2.1", {0x42})}};
    PSWPrinterInfo info;
    ASSERT_EQ(query.query_printer(&info), PSW_SUCCESS);
    EXPECT_EQ(info.printer_status, 5);
    const uint8_t expected[4] = {0x42, 0, 0, 0};
    EXPECT_EQ(std::memcmp(info.detected_error_state, expected, 4), 0);
}

TEST_F(HostResourcesQueryTest, EmptyPrinterTableGivesZeroes)
{
    PSWPrinterInfo info;
    std::memset(&info, 0x55, sizeof info);
    ASSERT_EQ(query.query_printer(&info), PSW_SUCCESS);
    EXPECT_EQ(info.printer_status, 0);
    const uint8_t zero[4] = {};
    EXPECT_EQ(std::memcmp(info.detected_error_state, zero, 4), 0);
}

TEST_F(HostResourcesQueryTest, FailedPrinterQueryLeavesTheOutputAlone)
{
    script.walk_failures[kPrinter + ".1"] = PSW_ERR_MALFORMED;
    PSWPrinterInfo info;
    std::memset(&info, 0x55, sizeof info);
    EXPECT_EQ(query.query_printer(&info), PSW_ERR_MALFORMED);
    EXPECT_EQ(info.printer_status, 0x55555555);
}

const std::string kLocalization = "1.3.6.1.2.1.43.5.1.1.2";
const std::string kCharSetValue = "1.3.6.1.2.1.43.7.1.1.4";
const std::string kPrivateLocalization = "1.3.6.1.4.1.253.8.51.3.1.1.1";
const std::string kPrivateCharSetValue = "1.3.6.1.4.1.253.8.51.4.1.1.7";

TEST_F(HostResourcesQueryTest, StandardCharSetFollowsTheCurrentLocalizationOfEachRow)
{
    script.tables[kLocalization] = {{Int(kLocalization + ".1", 3)},
                                    {Int(kLocalization + ".2.7", 5)}};
    script.ints[kCharSetValue + ".1.3"] = 3;
    script.ints[kCharSetValue + ".2.5"] = 106;
    int32_t value = -1;
    ASSERT_EQ(query.query_char_set(0, &value), PSW_SUCCESS);
    EXPECT_EQ(value, 106) << "the last row wins; only the first instance arc is the row index";
    EXPECT_EQ(query.standard_char_set(), 106);
    EXPECT_EQ(query.private_char_set(), 0);
    ASSERT_EQ(script.requests.size(), 3u) << "one walk and one read per row";
    EXPECT_EQ(script.requests[1].reads, std::vector<std::string>{kCharSetValue + ".1.3"});
    EXPECT_EQ(script.requests[2].reads, std::vector<std::string>{kCharSetValue + ".2.5"});
}

TEST_F(HostResourcesQueryTest, PrivateCharSetUsesThePrivateColumns)
{
    script.tables[kPrivateLocalization] = {{Int(kPrivateLocalization + ".1", 2)}};
    script.ints[kPrivateCharSetValue + ".1.2"] = 2026;
    int32_t value = 0;
    ASSERT_EQ(query.query_char_set(1, &value), PSW_SUCCESS);
    EXPECT_EQ(value, 2026);
    EXPECT_EQ(query.private_char_set(), 2026);
    EXPECT_EQ(query.standard_char_set(), 0);
}

TEST_F(HostResourcesQueryTest, EmptyLocalizationTableKeepsTheMember)
{
    int32_t value = -1;
    ASSERT_EQ(query.query_char_set(0, &value), PSW_SUCCESS);
    EXPECT_EQ(value, 0);
}

TEST_F(HostResourcesQueryTest, FailedCharSetReadEndsTheWalkKeepingTheLastGoodRow)
{
    script.tables[kLocalization] = {{Int(kLocalization + ".1", 3)},
                                    {Int(kLocalization + ".2", 4)},
                                    {Int(kLocalization + ".3", 5)}};
    script.ints[kCharSetValue + ".1.3"] = 3;
    script.read_failures[kCharSetValue + ".2.4"] = PSW_ERR_TIMEOUT;
    int32_t value = -1;
    EXPECT_EQ(query.query_char_set(0, &value), PSW_ERR_TIMEOUT);
    EXPECT_EQ(value, -1) << "the output is written on success only";
    EXPECT_EQ(query.standard_char_set(), 3);
    EXPECT_EQ(script.requests.size(), 3u) << "the third row is not read";
}

TEST_F(HostResourcesQueryTest, CharSetSelectorAboveOneIsRefused)
{
    int32_t value = 0;
    EXPECT_EQ(query.query_char_set(2, &value), PSW_ERR_PARAMETER);
    EXPECT_TRUE(script.requests.empty());
}

}  // namespace
}  // namespace psw::test
