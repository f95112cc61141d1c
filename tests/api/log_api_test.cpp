// The exported log calls: argument checks, the header layout a host receives, per-logger levels,
// the three outputs, and that detaching really stops the writing.
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "api/log_api_fixture.h"
#include "support/temp_dir.h"

namespace psw::test {
namespace {

std::string read_file(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

using LogApi = LogApiTest;

TEST_F(LogApi, RefusesBadArguments)
{
    TempDir dir("psw-log-api");
    struct Case {
        const char* what;
        int32_t result;
        int32_t expected;
    };
    const Case cases[] = {
        {"empty logger name", PSWLogSetLevel("", PSW_LOG_ERROR), PSW_ERR_PARAMETER},
        {"mask above All", PSWLogSetLevel(nullptr, 32), PSW_ERR_PARAMETER},
        {"mask with a high bit", PSWLogSetLevel("snmp", 0x80000001u), PSW_ERR_PARAMETER},
        {"null path", PSWLogAttachFile(nullptr, 0), PSW_ERR_PARAMETER},
        {"empty path", PSWLogAttachFile("", 0), PSW_ERR_PARAMETER},
        {"path in a missing folder", PSWLogAttachFile(dir.file("missing/psw.log").c_str(), 0),
         PSW_ERR_NOT_AVAILABLE},
        {"null callback", PSWLogAttachCallback(nullptr, nullptr), PSW_ERR_PARAMETER},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, c.expected) << c.what;
    }
    // A refused file leaves nothing attached: a logger that hears every level has no output.
    ASSERT_EQ(PSWLogSetLevel("log-api-probe", PSW_LOG_ALL), PSW_SUCCESS);
    EXPECT_FALSE(registry_->get_logger("log-api-probe", nullptr)->accepts(PSW_LOG_ALL));
}

TEST_F(LogApi, CallbackGetsLinesInTheLogLayoutUntilDetached)
{
    Lines got;
    // Attached but no level yet: still nothing.
    ASSERT_EQ(PSWLogAttachCallback(Lines::collect, &got), PSW_SUCCESS);
    pmc_log("PSW", PSW_LOG_ERROR, "not yet");
    EXPECT_EQ(got.size(), 0u);

    ASSERT_EQ(PSWLogSetLevel(nullptr, PSW_LOG_ALL), PSW_SUCCESS);
    // Attaching again (also with the same function) must not double the lines.
    ASSERT_EQ(PSWLogAttachCallback(Lines::collect, &got), PSW_SUCCESS);
    pmc_log("PSW", PSW_LOG_ERROR, "pGetData->add_oid_string()", -3);
    pmc_log("socket", PSW_LOG_TRACE, "[%s] enter.", "NPmcSocketAPI::set_api");
    ASSERT_EQ(got.size(), 2u);
    const std::regex header(
        "\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d:\\d{3}, [ \\d]{8}, [ \\d]{8}, ");
    EXPECT_TRUE(std::regex_search(got.lines[0], header)) << got.lines[0];
    EXPECT_EQ(got.lines[0].substr(45), "PSW             , Error, pGetData->add_oid_string()");
    EXPECT_EQ(got.lines[1].substr(45), "socket          , Trace, [NPmcSocketAPI::set_api] enter.");

    ASSERT_EQ(PSWLogDetachCallback(), PSW_SUCCESS);
    ASSERT_EQ(PSWLogDetachCallback(), PSW_SUCCESS);
    pmc_log("PSW", PSW_LOG_ERROR, "after detach");
    EXPECT_EQ(got.size(), 2u);
}

TEST_F(LogApi, ReplacedCallbackIsNotCalledAgain)
{
    Lines first;
    Lines second;
    ASSERT_EQ(PSWLogSetLevel(nullptr, PSW_LOG_ERROR), PSW_SUCCESS);
    ASSERT_EQ(PSWLogAttachCallback(Lines::collect, &first), PSW_SUCCESS);
    pmc_log("PSW", PSW_LOG_ERROR, "to first");
    ASSERT_EQ(PSWLogAttachCallback(Lines::collect, &second), PSW_SUCCESS);
    pmc_log("PSW", PSW_LOG_ERROR, "to second");
    EXPECT_EQ(first.size(), 1u);
    EXPECT_EQ(second.size(), 1u);
}

TEST_F(LogApi, LevelOfOneLoggerAndOfTheMaster)
{
    Lines got;
    ASSERT_EQ(PSWLogAttachCallback(Lines::collect, &got), PSW_SUCCESS);
    ASSERT_EQ(PSWLogSetLevel(nullptr, 0), PSW_SUCCESS);
    ASSERT_EQ(PSWLogSetLevel("snmp", PSW_LOG_DEBUG), PSW_SUCCESS);
    pmc_log("snmp", PSW_LOG_DEBUG, "snmp debug");
    pmc_log("snmp", PSW_LOG_ERROR, "snmp error");
    pmc_log("PSW", PSW_LOG_DEBUG, "api debug");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_NE(got.lines[0].find("snmp            , Debug, snmp debug"), std::string::npos);

    // "All" names the master too; its mask overrides the one set on "snmp" before.
    ASSERT_EQ(PSWLogSetLevel("All", PSW_LOG_ERROR), PSW_SUCCESS);
    pmc_log("snmp", PSW_LOG_DEBUG, "snmp debug again");
    pmc_log("PSW", PSW_LOG_ERROR, "api error");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_NE(got.lines[1].find("api error"), std::string::npos);
    // Level 0 switches everything off with the outputs still attached.
    ASSERT_EQ(PSWLogSetLevel(nullptr, 0), PSW_SUCCESS);
    pmc_log("PSW", PSW_LOG_ERROR, "silenced");
    EXPECT_EQ(got.size(), 2u);
}

TEST_F(LogApi, FileReceivesLinesRotatesAndIsReleasedOnDetach)
{
    TempDir dir("psw-log-api");
    const std::string path = dir.file("psw.log");
    ASSERT_EQ(PSWLogSetLevel(nullptr, PSW_LOG_ALL), PSW_SUCCESS);
    ASSERT_EQ(PSWLogAttachFile(path.c_str(), 0), PSW_SUCCESS);
    ASSERT_EQ(PSWLogAttachFile(path.c_str(), 0), PSW_SUCCESS);  // twice: one output, one line
    pmc_log("PSW", PSW_LOG_WARN, "to the file");
    std::string text = read_file(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_NE(text.find("PSW             , Warn , to the file\n"), std::string::npos) << text;

    // A second path replaces the first: the old file stops growing.
    const std::string small = dir.file("small.log");
    ASSERT_EQ(PSWLogAttachFile(small.c_str(), 300), PSW_SUCCESS);
    for (int i = 0; i < 5; ++i) {
        pmc_log("PSW", PSW_LOG_WARN, "line %d", i);  // 78 bytes each: the fourth rotates
    }
    EXPECT_EQ(read_file(path), text);
    EXPECT_NE(read_file(small + ".bak").find("line 0"), std::string::npos);
    EXPECT_NE(read_file(small).find("line 4"), std::string::npos);

    ASSERT_EQ(PSWLogDetachFile(), PSW_SUCCESS);
    const std::string before = read_file(small);
    pmc_log("PSW", PSW_LOG_WARN, "after detach");
    EXPECT_EQ(read_file(small), before);
}

TEST_F(LogApi, StdoutGetsEachLineOnce)
{
    ASSERT_EQ(PSWLogSetLevel(nullptr, PSW_LOG_INFO), PSW_SUCCESS);
    testing::internal::CaptureStdout();
    const int32_t first = PSWLogAttachStdout();
    const int32_t second = PSWLogAttachStdout();
    pmc_log("snmp", PSW_LOG_INFO, "to stdout");
    const int32_t detached = PSWLogDetachStdout();
    pmc_log("snmp", PSW_LOG_INFO, "not any more");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(first, PSW_SUCCESS);
    EXPECT_EQ(second, PSW_SUCCESS);
    EXPECT_EQ(detached, PSW_SUCCESS);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_NE(out.find("snmp            , Info , to stdout\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace psw::test
