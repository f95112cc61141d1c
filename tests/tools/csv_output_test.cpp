// --format csv: documents that list records become one row a record, any other one row a
// value; fields are quoted as RFC 4180 says; the program's transports agree with their JSON.
#include <gtest/gtest.h>

#include <string>

#include "cli/json_output.h"
#include "tools/cli_runner.h"

namespace psw::cli {
namespace {

TEST(CsvOutput, RecordListsBecomeRowsAndOtherDocumentsSectionRows)
{
    const Json jobs = {{"address", "10.0.0.5"},
                       {"count", 2},
                       {"jobs",
                        {{{"id", "1046"}, {"name", "Report, \"final\""}, {"pages", 3}},
                         {{"id", "1047"}, {"owner", {{"user", "ann"}}}, {"pages", nullptr}}}}};
    EXPECT_EQ(csv_document(jobs),
              "id,name,pages,owner.user\n"
              "1046,\"Report, \"\"final\"\"\",3,\n"
              "1047,,,ann\n");

    const Json status = {{"address", "10.0.0.5"},
                         {"printer", {{"status", 3}, {"detected_errors", {"lowToner"}}}},
                         {"supplies", {{{"description", " Black "}, {"percent", 22}}}},
                         {"alerts", Json::array()}};
    EXPECT_EQ(csv_document(status),
              "section,row,field,value\n"
              "address,,,10.0.0.5\n"
              "printer,,status,3\n"
              "printer,,detected_errors.0,lowToner\n"
              "supplies,0,description,\" Black \"\n"
              "supplies,0,percent,22\n");
    EXPECT_EQ(csv_field("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csv_field("plain"), "plain");
}

}  // namespace
}  // namespace psw::cli

namespace psw::test {
namespace {

TEST(PswProgram, TransportsAsCsvAgreeWithJson)
{
    const CommandResult csv = run_psw({"transports", "--format", "csv"});
    ASSERT_EQ(csv.exit_code, 0) << csv.describe();
    const CommandResult json = run_psw({"transports", "--format", "json"});
    ASSERT_EQ(json.exit_code, 0) << json.describe();
    std::string expected = "name,code,available\n";
    for (int i = 0; i < 3; ++i) {
        const std::string row = "d['transports'][" + std::to_string(i) + "]";
        expected += json_eval(json.out, row + "['name']").substr(1);
        expected.back() = ',';
        expected += json_eval(json.out, row + "['code']") + "," +
                    json_eval(json.out, row + "['available']") + "\n";
    }
    EXPECT_EQ(csv.out, expected);
}

}  // namespace
}  // namespace psw::test
