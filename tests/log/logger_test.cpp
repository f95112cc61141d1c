#include <gtest/gtest.h>

#include <string>

#include "core/platform/process.h"
#include "log/capture_output.h"
#include "log/log_channel.h"
#include "log/log_registry.h"
#include "log/trace_scope.h"

namespace psw {
namespace {

using test::CaptureOutput;

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry = pmc_log_registry(nullptr);
        ASSERT_NE(registry, nullptr);
        registry->reset();
    }
    void TearDown() override { registry->reset(); }

    // A logger writing everything into `capture`, with a header of fixed width but no
    // time or ids so that lines compare exactly.
    IPmcLogger* quiet_logger(const char* name, CaptureOutput& capture)
    {
        IPmcLogger* logger = registry->get_logger(name, nullptr);
        logger->add_output(&capture);
        logger->set_level_mask(kLogAll);
        logger->set_flags(0);
        return logger;
    }

    static std::string blank_header(const std::string& padded_name)
    {
        return std::string(23, ' ') + ", " + std::string(8, ' ') + ", " + std::string(8, ' ') +
               ", " + padded_name + ", ";
    }

    // "YYYY/MM/DD hh:mm:ss:mmm"
    static bool matches_time_stamp(const std::string& line)
    {
        const std::string shape = "dddd/dd/dd dd:dd:dd:ddd";
        if (line.size() < shape.size()) {
            return false;
        }
        for (size_t i = 0; i < shape.size(); ++i) {
            const bool digit = line[i] >= '0' && line[i] <= '9';
            if (shape[i] == 'd' ? !digit : line[i] != shape[i]) {
                return false;
            }
        }
        return true;
    }

    static bool is_field(const std::string& field, const std::string& allowed)
    {
        return field.size() == 8 && field.find_first_not_of(allowed) == std::string::npos &&
               field.back() != ' ';
    }

    CPmcLogRegistry* registry = nullptr;
};

TEST_F(LoggerTest, NothingIsWrittenOutOfTheBox)
{
    CaptureOutput capture;
    IPmcLogger* logger = registry->get_logger("PSW", nullptr);
    EXPECT_EQ(logger->get_level_mask(), 0u);
    EXPECT_EQ(logger->get_flags(), 7u);
    EXPECT_EQ(logger->get_radix(), 10u);
    EXPECT_EQ(pmc_log("PSW", kLogError, "pmc_create_get_data()", -3), PSW_SUCCESS);
    logger->add_output(&capture);
    EXPECT_EQ(logger->output(kLogAll, "still filtered"), PSW_SUCCESS);
    EXPECT_TRUE(capture.lines.empty());
}

TEST_F(LoggerTest, HeaderWithoutFlagsIsBlankFieldsAndPaddedName)
{
    CaptureOutput capture;
    IPmcLogger* logger = quiet_logger("PSW", capture);
    logger->output(kLogError, "value %d", 42);
    logger->output(3, "two bits");
    logger->output(kLogAll, "all");
    ASSERT_EQ(capture.lines.size(), 3u);
    const std::string header = blank_header("PSW             ");
    EXPECT_EQ(capture.lines[0], header + "Error, value 42");
    EXPECT_EQ(capture.lines[1], header + "two bits");
    EXPECT_EQ(capture.lines[2], header + "All  , all");
}

TEST_F(LoggerTest, LevelWordsAndMaskFiltering)
{
    CaptureOutput capture;
    IPmcLogger* logger = quiet_logger("levels", capture);
    logger->set_level_mask(kLogWarn);
    logger->output(kLogError, "dropped");
    logger->output(kLogWarn, "kept");
    logger->output(3, "kept without word");
    logger->set_level_mask(kLogInfo | kLogDebug | kLogTrace);
    logger->output(kLogInfo, "i");
    logger->output(kLogDebug, "d");
    logger->output(kLogTrace, "t");
    ASSERT_EQ(capture.lines.size(), 5u);
    const std::string header = blank_header("levels          ");
    EXPECT_EQ(capture.lines[0], header + "Warn , kept");
    EXPECT_EQ(capture.lines[1], header + "kept without word");
    EXPECT_EQ(capture.lines[2], header + "Info , i");
    EXPECT_EQ(capture.lines[3], header + "Debug, d");
    EXPECT_EQ(capture.lines[4], header + "Trace, t");
}

TEST_F(LoggerTest, LongNamesAreCutToSixteenCharacters)
{
    CaptureOutput capture;
    IPmcLogger* logger = quiet_logger("abcdefghijklmnopqrst", capture);
    logger->output(kLogError, "x");
    ASSERT_EQ(capture.lines.size(), 1u);
    EXPECT_EQ(capture.lines[0], blank_header("abcdefghijklmnop") + "Error, x");
}

TEST_F(LoggerTest, FullHeaderHasTimeStampAndIdsInDecimalOrHex)
{
    CaptureOutput capture;
    IPmcLogger* logger = quiet_logger("socket", capture);
    logger->set_flags(7);
    {
        CPmcTraceScope scope("NPmcSocketAPI::set_api", logger);
    }
    ASSERT_EQ(capture.lines.size(), 2u);
    char ids[32];
    std::snprintf(ids, sizeof ids, "%8d", static_cast<int>(pmc_process_id()));
    for (const std::string& line : capture.lines) {
        ASSERT_TRUE(matches_time_stamp(line)) << line;
        EXPECT_EQ(line.substr(23, 2), ", ");
        EXPECT_EQ(line.substr(25, 8), ids);
        EXPECT_EQ(line.substr(33, 2), ", ");
        EXPECT_TRUE(is_field(line.substr(35, 8), " 0123456789")) << line;
        EXPECT_EQ(line.substr(43), ", socket          , Trace, [NPmcSocketAPI::set_api] " +
                                       std::string(&line == &capture.lines[0] ? "enter." : "exit."));
    }

    EXPECT_EQ(logger->set_radix(8), PSW_ERR_PARAMETER);
    EXPECT_EQ(logger->get_radix(), 10u);
    EXPECT_EQ(logger->set_radix(16), PSW_SUCCESS);
    logger->set_flags(kLogFlagProcessId | kLogFlagThreadId);
    logger->output(kLogError, "hex");
    const std::string& hex_line = capture.lines.back();
    std::snprintf(ids, sizeof ids, "%08X", pmc_process_id());
    EXPECT_EQ(hex_line.substr(0, 25), std::string(23, ' ') + ", ");
    EXPECT_EQ(hex_line.substr(25, 8), ids);
    EXPECT_TRUE(is_field(hex_line.substr(35, 8), "0123456789ABCDEF")) << hex_line;
    EXPECT_EQ(hex_line.substr(43), ", socket          , Error, hex");
}

TEST_F(LoggerTest, IndentNullFormatAndLineLimit)
{
    CaptureOutput capture;
    IPmcLogger* logger = quiet_logger("PSW", capture);
    logger->set_indent(2);
    EXPECT_EQ(logger->get_indent(), 2);
    logger->output(kLogError, nullptr);
    const std::string header = blank_header("PSW             ") + "Error, ";
    ASSERT_EQ(capture.lines.size(), 1u);
    EXPECT_EQ(capture.lines[0],
              header + "        (client was about to output null message...)");

    logger->set_indent(0);
    const std::string long_text(2000, 'x');
    logger->output(kLogError, "%s", long_text.c_str());
    ASSERT_EQ(capture.lines.size(), 2u);
    EXPECT_EQ(capture.lines[1].size(), 1024u);
    EXPECT_EQ(capture.lines[1].substr(0, header.size()), header);
}

TEST_F(LoggerTest, MasterSettingsReachExistingAndLaterLoggers)
{
    CaptureOutput capture("shared");
    IPmcLogger* early = registry->get_logger("early", nullptr);
    IPmcLogger* master = registry->get_logger("All", nullptr);
    master->set_level_mask(kLogError | kLogWarn);
    master->set_flags(0);
    master->set_indent(1);
    EXPECT_EQ(master->add_output(&capture), PSW_SUCCESS);
    EXPECT_EQ(master->add_output(&capture), PSW_SUCCESS);  // same name: attached once
    EXPECT_EQ(early->get_level_mask(), kLogError | kLogWarn);
    EXPECT_EQ(early->get_indent(), 1);

    IPmcLogger* late = registry->get_logger("late", nullptr);
    EXPECT_EQ(late->get_level_mask(), kLogError | kLogWarn);
    EXPECT_EQ(late->get_flags(), 0u);

    early->output(kLogError, "from early");
    late->output(kLogWarn, "from late");
    late->output(kLogDebug, "filtered");
    EXPECT_EQ(master->output(kLogError, "master never writes"), PSW_ERR_NOT_FOUND);
    ASSERT_EQ(capture.lines.size(), 2u);
    EXPECT_NE(capture.lines[0].find("early           , Error,     from early"), std::string::npos);
    EXPECT_NE(capture.lines[1].find("late            , Warn ,     from late"), std::string::npos);

    // The master keeps an odd radix but members refuse it.
    EXPECT_EQ(master->set_radix(8), PSW_SUCCESS);
    EXPECT_EQ(master->get_radix(), 8u);
    EXPECT_EQ(early->get_radix(), 10u);
    master->set_radix(16);
    EXPECT_EQ(early->get_radix(), 16u);
}

TEST_F(LoggerTest, SameLoggerForSameNameAndFailingOutputDoesNotStopOthers)
{
    EXPECT_EQ(registry->get_logger("PSW", nullptr), registry->get_logger("PSW", nullptr));
    EXPECT_NE(registry->get_logger("PSW", nullptr), registry->get_logger("psw", nullptr));

    CaptureOutput failing("failing");
    failing.result = PSW_ERR_NOT_AVAILABLE;
    CaptureOutput healthy("healthy");
    IPmcLogger* logger = quiet_logger("two", failing);
    logger->add_output(&healthy);
    EXPECT_EQ(logger->output(kLogError, "x"), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(healthy.lines.size(), 1u);
    EXPECT_EQ(logger->add_output(nullptr), PSW_ERR_PARAMETER);
}

TEST_F(LoggerTest, NullNameGivesTheNullLogger)
{
    Result result = 0;
    IPmcLogger* null_logger = registry->get_logger(nullptr, &result);
    ASSERT_NE(null_logger, nullptr);
    EXPECT_EQ(result, PSW_ERR_PARAMETER);
    EXPECT_STREQ(null_logger->name(), "null_session");
    null_logger->set_level_mask(kLogAll);
    EXPECT_EQ(null_logger->get_level_mask(), 0u);
    EXPECT_EQ(null_logger->get_radix(), 10u);
    EXPECT_EQ(null_logger->output(kLogError, "nothing"), PSW_SUCCESS);
    null_logger->destroy();  // embedded: stays usable
    EXPECT_STREQ(null_logger->name(), "null_session");
}

TEST_F(LoggerTest, ChannelFollowsTheRegistryAcrossReset)
{
    CaptureOutput capture;
    IPmcLogger* before = pmc_snmp_channel().logger();
    EXPECT_EQ(before, registry->get_logger("snmp", nullptr));
    EXPECT_EQ(pmc_snmp_channel().logger(), before);
    registry->reset();
    // The old logger was destroyed by the reset; the channel must not hand it out again.
    IPmcLogger* after = pmc_snmp_channel().logger();
    EXPECT_STREQ(after->name(), "snmp");
    after->add_output(&capture);
    after->set_level_mask(kLogError);
    after->output(kLogError, "written");
    EXPECT_EQ(capture.lines.size(), 1u);
}

}  // namespace
}  // namespace psw
