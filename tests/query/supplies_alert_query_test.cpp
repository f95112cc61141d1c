// Toner and alert queries: record mapping from scripted rows.
#include <gtest/gtest.h>

#include "query/query_fixture.h"

namespace psw::test {
namespace {

const std::string kSupplies = "1.3.6.1.2.1.43.11.1.1";
const std::string kAlert = "1.3.6.1.2.1.43.18.1.1";

using SuppliesAlertQueryTest = QueryTest;

Row supply_row(int index, int32_t type, int32_t unit, int32_t max, int32_t level,
               const std::string& description)
{
    const std::string i = ".1." + std::to_string(index);
    return {Int(kSupplies + ".5" + i, type), Int(kSupplies + ".7" + i, unit),
            Int(kSupplies + ".8" + i, max), Int(kSupplies + ".9" + i, level),
            Str(kSupplies + ".6" + i, description)};
}

TEST_F(SuppliesAlertQueryTest, OnlyTonerRowsAreKeptInTableOrder)
{
    script.tables[kSupplies + ".5"] = {
        supply_row(1, 3, 13, 100, 80, "Black Toner"), supply_row(2, 9, 7, 100, 50, "Drum K"),
        supply_row(3, 3, 13, 100, -3, "Cyan Toner"),   supply_row(4, 3, 13, -2, -2, "Magenta Toner"),
        supply_row(5, 9, 7, 100, 40, "Drum C"),        supply_row(6, 3, 13, 100, 0, "Yellow Toner"),
        supply_row(7, 4, 13, 100, 10, "Waste"),
    };
    ASSERT_EQ(query.query_toners(), PSW_SUCCESS);
    const std::vector<std::string> expected = {kSupplies + ".5", kSupplies + ".7", kSupplies + ".8",
                                               kSupplies + ".9", kSupplies + ".6"};
    EXPECT_EQ(script.requests[0].oids, expected);
    EXPECT_EQ(script.requests[0].walks, std::vector<std::string>{kSupplies + ".5"});
    const auto& table = query.toner_table();
    ASSERT_EQ(table.size(), 4u);
    EXPECT_STREQ(table[0].description, "Black Toner");
    EXPECT_EQ(table[0].supply_unit, 13);
    EXPECT_EQ(table[0].max_capacity, 100);
    EXPECT_EQ(table[0].level, 80);
    EXPECT_STREQ(table[1].description, "Cyan Toner");
    EXPECT_EQ(table[1].level, -3);
    EXPECT_STREQ(table[2].description, "Magenta Toner");
    EXPECT_EQ(table[2].max_capacity, -2);
    EXPECT_STREQ(table[3].description, "Yellow Toner");
    EXPECT_EQ(table[3].level, 0);
}

TEST_F(SuppliesAlertQueryTest, NoTonerRowGivesACountOfZero)
{
    script.tables[kSupplies + ".5"] = {supply_row(1, 9, 7, 100, 50, "Drum")};
    ASSERT_EQ(query.query_toners(), PSW_SUCCESS);
    EXPECT_EQ(query.toner_table().size(), 0u);
}

TEST_F(SuppliesAlertQueryTest, AlertRowsBecomeRecords)
{
    script.tables[kAlert + ".2"] = {
        {Int(kAlert + ".2.1.5", 3), Int(kAlert + ".4.1.5", 8), Int(kAlert + ".5.1.5", 2),
         Int(kAlert + ".6.1.5", 801), Int(kAlert + ".7.1.5", 808), Str(kAlert + ".8.1.5", "Tray 2 empty")},
        {Int(kAlert + ".2.1.9", 4), Int(kAlert + ".4.1.9", 11), Int(kAlert + ".5.1.9", -1),
         Int(kAlert + ".6.1.9", 0), Int(kAlert + ".7.1.9", 1), Str(kAlert + ".8.1.9", std::string(256, 'z'))},
    };
    ASSERT_EQ(query.query_alerts(), PSW_SUCCESS);
    const std::vector<std::string> expected = {kAlert + ".2", kAlert + ".4", kAlert + ".5",
                                               kAlert + ".6", kAlert + ".7", kAlert + ".8"};
    EXPECT_EQ(script.requests[0].oids, expected);
    const auto& table = query.alert_table();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].severity_level, 3);
    EXPECT_EQ(table[0].group, 8);
    EXPECT_EQ(table[0].group_index, 2);
    EXPECT_EQ(table[0].location, 801);
    EXPECT_EQ(table[0].code, 808);
    EXPECT_STREQ(table[0].description, "Tray 2 empty");
    EXPECT_EQ(table[1].severity_level, 4);
    EXPECT_EQ(table[1].group_index, -1);
    EXPECT_EQ(std::string(table[1].description), std::string(255, 'z'));
}

TEST_F(SuppliesAlertQueryTest, EmptyAlertTableGivesACountOfZero)
{
    ASSERT_EQ(query.query_alerts(), PSW_SUCCESS);
    EXPECT_EQ(query.alert_table().size(), 0u);
}

}  // namespace
}  // namespace psw::test
