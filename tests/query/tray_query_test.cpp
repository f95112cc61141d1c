// Input trays (plain and extended) and output trays: record mapping from scripted rows.
#include <gtest/gtest.h>

#include "query/query_fixture.h"

namespace psw::test {
namespace {

const std::string kInput = "1.3.6.1.2.1.43.8.2.1";
const std::string kExtension = "1.3.6.1.4.1.297.2.9999.43.8.2.1.2";
const std::string kOutput = "1.3.6.1.2.1.43.9.2.1";

using TrayQueryTest = QueryTest;

// A tray row whose numbers are base + column number, so each field shows where it came from.
Row input_row(int index, int32_t base, const std::string& tag)
{
    const std::string i = ".1." + std::to_string(index);
    Row row;
    for (int column : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11}) {
        row.push_back(Int(kInput + "." + std::to_string(column) + i, base + column));
    }
    row.push_back(Str(kInput + ".12" + i, tag + "-media"));
    row.push_back(Str(kInput + ".13" + i, tag + "-name"));
    row.push_back(Str(kInput + ".18" + i, tag + "-description"));
    row.push_back(Str(kInput + ".21" + i, tag + "-type"));
    row.push_back(Str(kInput + ".22" + i, tag + "-color"));
    return row;
}

void expect_tray(const PSWInputTrayInfo& tray, int32_t base, const std::string& tag)
{
    EXPECT_EQ(tray.type, base + 2);
    EXPECT_EQ(tray.dimension_unit, base + 3);
    EXPECT_EQ(tray.media_dim_feed_declared, base + 4);
    EXPECT_EQ(tray.media_dim_xfeed_declared, base + 5);
    EXPECT_EQ(tray.media_dim_feed_chosen, base + 6);
    EXPECT_EQ(tray.media_dim_xfeed_chosen, base + 7);
    EXPECT_EQ(tray.capacity_unit, base + 8);
    EXPECT_EQ(tray.max_capacity, base + 9);
    EXPECT_EQ(tray.current_level, base + 10);
    EXPECT_EQ(tray.status, base + 11);
    EXPECT_EQ(std::string(tray.media_name), tag + "-media");
    EXPECT_EQ(std::string(tray.name), tag + "-name");
    EXPECT_EQ(std::string(tray.description), tag + "-description");
    EXPECT_EQ(std::string(tray.media_type), tag + "-type");
    EXPECT_EQ(std::string(tray.media_color), tag + "-color");
}

std::vector<std::string> input_columns()
{
    std::vector<std::string> columns;
    for (int column : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 18, 21, 22}) {
        columns.push_back(kInput + "." + std::to_string(column));
    }
    return columns;
}

TEST_F(TrayQueryTest, InputTrayRowsBecomeRecords)
{
    script.tables[kInput + ".2"] = {input_row(1, 100, "a"), input_row(2, 200, "b")};
    ASSERT_EQ(query.query_input_trays(), PSW_SUCCESS);
    EXPECT_EQ(script.requests[0].oids, input_columns());
    EXPECT_EQ(script.requests[0].walks, std::vector<std::string>{kInput + ".2"});
    ASSERT_EQ(query.input_tray_table().size(), 2u);
    expect_tray(query.input_tray_table()[0], 100, "a");
    expect_tray(query.input_tray_table()[1], 200, "b");
}

TEST_F(TrayQueryTest, SpecialValuesPassThrough)
{
    Row row = input_row(1, 0, "x");
    row[7] = Int(kInput + ".9.1.1", -2);
    row[8] = Int(kInput + ".10.1.1", -3);
    script.tables[kInput + ".2"] = {row};
    ASSERT_EQ(query.query_input_trays(), PSW_SUCCESS);
    EXPECT_EQ(query.input_tray_table()[0].max_capacity, -2);
    EXPECT_EQ(query.input_tray_table()[0].current_level, -3);
}

TEST_F(TrayQueryTest, TrayTextsAreCutToTheirFields)
{
    Row row = input_row(1, 0, "x");
    row[11] = Str(kInput + ".13.1.1", std::string(100, 'n'));
    row[12] = Str(kInput + ".18.1.1", std::string(300, 'd'));
    script.tables[kInput + ".2"] = {row};
    ASSERT_EQ(query.query_input_trays(), PSW_SUCCESS);
    const PSWInputTrayInfo& tray = query.input_tray_table()[0];
    EXPECT_EQ(std::string(tray.name), std::string(63, 'n'));
    EXPECT_EQ(std::string(tray.description), std::string(255, 'd'));
    EXPECT_EQ(std::string(tray.media_type), "x-type") << "the next field is untouched";
}

TEST_F(TrayQueryTest, NoInputTrayIsACountOfZeroForThePlainQuery)
{
    ASSERT_EQ(query.query_input_trays(), PSW_SUCCESS);
    EXPECT_EQ(query.input_tray_table().size(), 0u);
}

TEST_F(TrayQueryTest, ExtendedQueryMatchesTheExtensionByPosition)
{
    script.tables[kInput + ".2"] = {input_row(1, 100, "a"), input_row(2, 200, "b"),
                                    input_row(3, 300, "c")};
    script.tables[kExtension] = {{Int(kExtension + ".1.7", 11)}, {Int(kExtension + ".1.9", 22)}};
    ASSERT_EQ(query.query_input_trays_ex(), PSW_SUCCESS);
    ASSERT_EQ(script.requests.size(), 1u) << "both walks use the same request";
    const FakeRequestRecord& seen = script.requests[0];
    EXPECT_EQ(seen.init_count, 2) << "initialised again for the extension walk";
    std::vector<std::string> columns = input_columns();
    columns.push_back(kExtension);
    EXPECT_EQ(seen.oids, columns);
    EXPECT_EQ(seen.walks, (std::vector<std::string>{kInput + ".2", kExtension}));

    const auto& table = query.input_tray_ex_table();
    ASSERT_EQ(table.size(), 3u);
    expect_tray(table[0].tray, 100, "a");
    expect_tray(table[2].tray, 300, "c");
    EXPECT_EQ(table[0].extension, 11);
    EXPECT_EQ(table[1].extension, 22);
    EXPECT_EQ(table[2].extension, -1) << "a tray beyond the last extension row";
    const uint8_t zero[8] = {};
    for (const PSWInputTrayInfoEx& record : {table[0], table[1], table[2]}) {
        EXPECT_EQ(std::memcmp(record.reserved, zero, sizeof zero), 0);
    }
}

TEST_F(TrayQueryTest, MissingExtensionTableIsNotAFailure)
{
    script.tables[kInput + ".2"] = {input_row(1, 100, "a"), input_row(2, 200, "b")};
    script.walk_failures[kExtension] = PSW_ERR_TOO_LONG;
    ASSERT_EQ(query.query_input_trays_ex(), PSW_SUCCESS);
    const auto& table = query.input_tray_ex_table();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].extension, -1);
    EXPECT_EQ(table[1].extension, -1);
}

TEST_F(TrayQueryTest, EmptyExtensionTableGivesMinusOneEverywhere)
{
    script.tables[kInput + ".2"] = {input_row(1, 100, "a")};
    ASSERT_EQ(query.query_input_trays_ex(), PSW_SUCCESS);
    EXPECT_EQ(query.input_tray_ex_table()[0].extension, -1);
}

TEST_F(TrayQueryTest, MoreExtensionRowsThanTraysAreIgnored)
{
    script.tables[kInput + ".2"] = {input_row(1, 100, "a")};
    script.tables[kExtension] = {{Int(kExtension + ".1.1", 5)}, {Int(kExtension + ".1.2", 6)}};
    ASSERT_EQ(query.query_input_trays_ex(), PSW_SUCCESS);
    ASSERT_EQ(query.input_tray_ex_table().size(), 1u);
    EXPECT_EQ(query.input_tray_ex_table()[0].extension, 5);
}

TEST_F(TrayQueryTest, NoInputTrayFailsTheExtendedQuery)
{
    EXPECT_EQ(query.query_input_trays_ex(), PSW_ERR_FAILED);
    EXPECT_EQ(query.input_tray_ex_table().size(), 0u);
}

TEST_F(TrayQueryTest, ExtendedQueryFailsWithTheTrayWalk)
{
    script.walk_failures[kInput + ".2"] = PSW_ERR_TIMEOUT;
    EXPECT_EQ(query.query_input_trays_ex(), PSW_ERR_TIMEOUT);
    EXPECT_EQ(script.requests[0].walks.size(), 1u);
}

TEST_F(TrayQueryTest, ExtendedQueryFailsWhenTheSecondInitFails)
{
    script.tables[kInput + ".2"] = {input_row(1, 100, "a")};
    script.init_failure = PSW_ERR_NO_MEMORY;
    script.init_failure_at = 2;
    EXPECT_EQ(query.query_input_trays_ex(), PSW_ERR_NO_MEMORY);
    EXPECT_TRUE(logged("pGetData->init()"));
}

TEST_F(TrayQueryTest, OutputTrayRowsBecomeRecords)
{
    script.tables[kOutput + ".2"] = {
        {Int(kOutput + ".2.1.1", 3), Int(kOutput + ".6.1.1", 4), Str(kOutput + ".7.1.1", "Center"),
         Str(kOutput + ".12.1.1", "Center tray")},
        {Int(kOutput + ".2.1.2", 4), Int(kOutput + ".6.1.2", 0),
         Str(kOutput + ".7.1.2", std::string(80, 'o')), Str(kOutput + ".12.1.2", "")},
    };
    ASSERT_EQ(query.query_output_trays(), PSW_SUCCESS);
    const std::vector<std::string> expected = {kOutput + ".2", kOutput + ".6", kOutput + ".7",
                                               kOutput + ".12"};
    EXPECT_EQ(script.requests[0].oids, expected);
    const auto& table = query.output_tray_table();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].type, 3);
    EXPECT_EQ(table[0].status, 4);
    EXPECT_STREQ(table[0].name, "Center");
    EXPECT_STREQ(table[0].description, "Center tray");
    EXPECT_EQ(table[1].type, 4);
    EXPECT_EQ(std::string(table[1].name), std::string(63, 'o'));
    EXPECT_STREQ(table[1].description, "");
}

}  // namespace
}  // namespace psw::test
