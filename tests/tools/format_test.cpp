// The parts of psw that need no printer: the command line, JSON, tables, names and messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "cli/command_line.h"
#include "cli/json_output.h"
#include "cli/messages.h"
#include "cli/mib_names.h"
#include "cli/option_names.h"
#include "cli/table.h"
#include "cli/text_format.h"
#include "psw/psw.h"
#include "tools/cli_runner.h"

namespace psw::cli {
namespace {

// ---- arguments -------------------------------------------------------------------------------

// A command as psw builds it, parsed from `args` (the words after the program name).
struct ParsedCommand {
    CLI::App app{"test"};
    CLI::App* command = nullptr;
    ConnectionOptions options;
    std::vector<std::string> filters;

    ParsedCommand() : command(add_command(app, "probe", "a probe", "ADDRESS", "Probes."))
    {
        add_connection_options(command, &options);
        add_repeatable_option(command, "--filter", &filters, "repeatable");
    }
    void parse(std::vector<std::string> args)
    {
        args.insert(args.begin(), "probe");
        std::reverse(args.begin(), args.end());  // CLI11 takes the words last first
        app.parse(args);
    }
};

TEST(CliCommandLine, SplitsOptionsValuesAndPositionals)
{
    ParsedCommand parsed;
    parsed.parse({"10.0.0.5", "--timeout", "300", "--json", "--filter=1.3.6", "--filter", "1.3.7",
                  "extra", "-c", "secret"});
    EXPECT_EQ(parsed.options.words, (std::vector<std::string>{"10.0.0.5", "extra"}));
    EXPECT_EQ(parsed.options.timeout, "300");
    EXPECT_EQ(parsed.options.community, "secret");
    EXPECT_FALSE(parsed.options.retries);
    EXPECT_TRUE(parsed.options.json);
    EXPECT_FALSE(parsed.options.ipv6);
    EXPECT_EQ(parsed.filters, (std::vector<std::string>{"1.3.6", "1.3.7"}));
    std::string error;
    EXPECT_TRUE(no_unknown_options(parsed.command, &error)) << error;
}

TEST(CliCommandLine, HelpIsAskedForAndListsTheOptions)
{
    for (const char* flag : {"-h", "--help"}) {
        ParsedCommand help;
        EXPECT_THROW(help.parse({flag}), CLI::CallForHelp) << flag;
    }
    ParsedCommand parsed;
    parsed.parse({"--community", "c"});
    EXPECT_EQ(parsed.command->help().rfind("usage: psw probe ADDRESS\n\nProbes.\n", 0), 0u)
        << parsed.command->help();
    EXPECT_NE(parsed.command->help().find("--community"), std::string::npos);
}

TEST(CliCommandLine, UnknownOptionsAreNamedAndMissingValuesRefused)
{
    for (const char* unknown : {"--nope", "-q"}) {
        ParsedCommand parsed;
        parsed.parse({"10.0.0.5", unknown});
        std::string error;
        EXPECT_FALSE(no_unknown_options(parsed.command, &error));
        EXPECT_EQ(error, std::string("unknown option '") + unknown + "'");
    }
    ParsedCommand missing;
    EXPECT_THROW(missing.parse({"--timeout"}), CLI::ParseError);
    ParsedCommand twice;
    EXPECT_THROW(twice.parse({"--json", "--json=maybe"}), CLI::ParseError);
}

// The program as psw builds it: two commands and the log options over all of them.
struct ParsedProgram {
    CLI::App app{"test"};
    ConnectionOptions status;
    ConnectionOptions jobs;
    LogOptions log;

    ParsedProgram()
    {
        add_connection_options(add_command(app, "status", "", "ADDRESS", "Reads."), &status);
        add_connection_options(add_command(app, "jobs", "", "ADDRESS", "Lists."), &jobs);
        add_log_options(app, &log);
    }
    void parse(std::vector<std::string> args)
    {
        std::reverse(args.begin(), args.end());  // CLI11 takes the words last first
        app.parse(args);
    }
};

TEST(CliCommandLine, LogOptionsAreTakenWhereverTheyStand)
{
    struct Case {
        std::vector<std::string> words;
        uint32_t verbosity;
        std::string log_file;           // empty: none
        std::vector<std::string> left;  // the words the command keeps
    };
    const std::vector<Case> cases = {
        {{"status", "10.0.0.5"}, 0, "", {"10.0.0.5"}},
        {{"status", "10.0.0.5", "-vvv", "--json"}, 3, "", {"10.0.0.5"}},
        {{"-v", "status", "--verbose", "-vv", "10.0.0.5"}, 4, "", {"10.0.0.5"}},
        {{"jobs", "--log-file", "/tmp/p.log", "x"}, 0, "/tmp/p.log", {"x"}},
        {{"jobs", "--log-file=/tmp/q.log", "-v"}, 1, "/tmp/q.log", {}},
        {{"--log-file", "/tmp/r.log", "-vv", "jobs", "x"}, 2, "/tmp/r.log", {"x"}},
        // Between the command's own words, and "-v" is no value of the option before it.
        {{"status", "x", "--log-file", "/tmp/s.log", "-v", "y", "-c", "c"},
         1,
         "/tmp/s.log",
         {"x", "y"}},
    };
    for (const Case& c : cases) {
        ParsedProgram program;
        ASSERT_NO_THROW(program.parse(c.words)) << c.words.size();
        EXPECT_EQ(program.log.verbosity, c.verbosity) << c.words.size();
        EXPECT_EQ(program.log.log_file.value_or(""), c.log_file);
        const ConnectionOptions& chosen =
            c.words[0] == "status" || c.words.back() == "10.0.0.5" ? program.status : program.jobs;
        EXPECT_EQ(chosen.words, c.left) << c.words.size();
    }
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"status", "--log-file"},
                                               {"status", "--log-file="},
                                               {"--log-file", "a", "--log-file", "b", "status"},
                                               {"--log-file", "a", "status", "--log-file", "b"}}) {
        ParsedProgram program;
        try {
            program.parse(bad);
            ADD_FAILURE() << "accepted: " << bad.back();
        } catch (const CLI::ParseError& refused) {
            EXPECT_NE(std::string(refused.what()).find("--log-file"), std::string::npos)
                << refused.what();
        }
    }
}

TEST(CliCommandLine, ParsesBoundedDecimalNumbersOnly)
{
    EXPECT_EQ(parse_uint("2000", 1, 600000), 2000u);
    EXPECT_EQ(parse_uint("0", 0, 5), 0u);
    EXPECT_EQ(parse_uint("4294967295", 0, UINT32_MAX), UINT32_MAX);
    EXPECT_FALSE(parse_uint("4294967296", 0, UINT32_MAX));
    EXPECT_FALSE(parse_uint("0", 1, 5));
    EXPECT_FALSE(parse_uint("6", 1, 5));
    EXPECT_FALSE(parse_uint("-1", 0, 5));
    EXPECT_FALSE(parse_uint("+1", 0, 5));
    EXPECT_FALSE(parse_uint("1s", 0, 5));
    EXPECT_FALSE(parse_uint("", 0, 5));
    EXPECT_FALSE(parse_uint("99999999999", 0, UINT32_MAX));
}

// ---- JSON ------------------------------------------------------------------------------------

TEST(CliJson, KeepsUtf8AndTakesOtherBytesAsLatin1)
{
    EXPECT_EQ(json_text("plain \"q\"\n"), "plain \"q\"\n");
    EXPECT_EQ(json_text("Gr\xC3\xBC\xC3\x9F"), "Gr\xC3\xBC\xC3\x9F");  // valid UTF-8 stays
    EXPECT_EQ(json_text("\xE2\x82\xAC"), "\xE2\x82\xAC");
    EXPECT_EQ(json_text("Gr\xFC\xDF"), "Gr\xC3\xBC\xC3\x9F");          // Latin-1
    EXPECT_EQ(json_text("\xC3"), "\xC3\x83");                          // cut sequence
    EXPECT_EQ(json_text("\xC0\xAF"), "\xC3\x80\xC2\xAF");              // overlong
    EXPECT_EQ(json_text("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // surrogate
}

TEST(CliJson, WritesDocumentsThatPythonReadsBack)
{
    const Json document = {
        {"name", json_text("Tray \"1\"\n\xFC")},
        {"count", -3},
        {"big", int64_t{1} << 40},
        {"ok", true},
        {"none", nullptr},
        {"empty", Json::array()},
        {"obj", Json::object()},
        {"list", {1, "x", {{"k", false}}}},
    };
    const std::string text = document.dump(2);
    EXPECT_EQ(psw::test::json_error(text), "");
    EXPECT_EQ(psw::test::json_eval(text, "d['name']"), "\"Tray \\\"1\\\"\\n\\u00fc\"");
    EXPECT_EQ(psw::test::json_eval(text, "[d['count'], d['big'], d['ok'], d['none']]"),
              "[-3, 1099511627776, true, null]");
    EXPECT_EQ(psw::test::json_eval(text, "[d['empty'], d['obj'], d['list']]"),
              "[[], {}, [1, \"x\", {\"k\": false}]]");
    EXPECT_EQ(psw::test::json_eval(text, "list(d.keys())[:3]"), "[\"name\", \"count\", \"big\"]")
        << "members keep their order";
}

TEST(CliJson, EveryByteValueGivesValidJson)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    const std::string text = Json::array({json_text(all)}).dump();
    EXPECT_EQ(psw::test::json_error(text), "");
    EXPECT_EQ(psw::test::json_eval(text, "len(d[0])"), "255");
}

// ---- tables ----------------------------------------------------------------------------------

TEST(CliTable, AlignsColumnsUnderTheirTitles)
{
    Table table({{"NAME"}, {"LEVEL", Align::right}, {"STATUS"}});
    table.add_row({"Tray 1", "50%", "idle"});
    table.add_row({"Bypass Tray", "5%", "busy, critical alert"});
    EXPECT_EQ(table.render(2),
              "  NAME         LEVEL  STATUS\n"
              "  Tray 1         50%  idle\n"
              "  Bypass Tray     5%  busy, critical alert\n");
}

TEST(CliTable, CountsUtf8CharactersAndHidesControlCharacters)
{
    Table table({{"A"}, {"B"}});
    table.add_row({"\xC3\xBC\xC3\xBC", "x"});
    table.add_row({"a\nb\x1b", "y"});
    EXPECT_EQ(table.render(),
              "A     B\n"
              "\xC3\xBC\xC3\xBC    x\n"
              "a?b?  y\n");
    EXPECT_EQ(display_width("\xE2\x82\xAC"
                            "1"),
              2u);
}

TEST(CliTable, CutsLongCellsWithoutSplittingCharacters)
{
    EXPECT_EQ(fit_width("short", 10), "short");
    EXPECT_EQ(fit_width("exactly 10", 10), "exactly 10");
    EXPECT_EQ(fit_width("eleven char", 10), "eleven ...");
    EXPECT_EQ(fit_width("\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC", 4), "\xC3\xBC...");
    Table table({{"A", Align::left, 6}, {"B"}});
    table.add_row({"abcdefgh", "x"});
    EXPECT_EQ(table.render(), "A       B\nabc...  x\n");
}

// ---- names -----------------------------------------------------------------------------------

// The names themselves are the table in mib_names.cpp; what can go wrong is reading the octets:
// bit 0 is the first octet's high bit, several bits keep their order, and the bits past the
// table (15 on) get a number.
TEST(CliNames, DetectedErrorBitsAreReadHighBitFirst)
{
    const uint8_t none[4] = {};
    EXPECT_TRUE(detected_error_names(none).empty());
    const uint8_t several[4] = {0x20, 0x04, 0x00, 0x00};  // lowToner, inputTrayEmpty
    EXPECT_EQ(detected_error_names(several),
              (std::vector<std::string>{"lowToner", "inputTrayEmpty"}));
    const uint8_t unnamed[4] = {0x00, 0x01, 0x00, 0x01};
    EXPECT_EQ(detected_error_names(unnamed), (std::vector<std::string>{"bit15", "bit31"}));
}

TEST(CliNames, SpecialQuantitiesAreWords)
{
    EXPECT_EQ(quantity_text(-1), "other");
    EXPECT_EQ(quantity_text(-2), "unknown");
    EXPECT_EQ(quantity_text(-3), "some remaining");
    EXPECT_EQ(quantity_text(-4), "invalid (-4)");
    EXPECT_EQ(quantity_text(0), "0");
    EXPECT_EQ(quantity_text(5500), "5500");
    EXPECT_EQ(level_text(-3, 500), "some remaining");
    EXPECT_EQ(level_text(-2, 500), "unknown");
    EXPECT_EQ(level_text(250, -2), "250");
    EXPECT_EQ(level_text(249, 500), " 50% [#####.....]");
    EXPECT_EQ(level_text(0, 520), "  0% [..........]");
    EXPECT_EQ(level_text(2000, 2000), "100% [##########]");
}

TEST(CliNames, PercentagesAndBars)
{
    EXPECT_EQ(level_percent(249, 500), 50);
    EXPECT_EQ(level_percent(1210, 5500), 22);
    EXPECT_EQ(level_percent(0, 520), 0);
    EXPECT_EQ(level_percent(600, 500), 100);
    EXPECT_FALSE(level_percent(-3, 500));
    EXPECT_FALSE(level_percent(10, 0));
    EXPECT_FALSE(level_percent(10, -2));
    EXPECT_EQ(level_bar(0), "[..........]");
    EXPECT_EQ(level_bar(100), "[##########]");
    EXPECT_EQ(level_bar(64), "[######....]");
    EXPECT_EQ(level_bar(150, 4), "[####]");
}

TEST(CliNames, SubunitStatusSpellsAvailabilityAndConditions)
{
    EXPECT_EQ(subunit_status_text(0), "idle");
    EXPECT_EQ(subunit_status_text(2), "standby");
    EXPECT_EQ(subunit_status_text(4), "active");
    EXPECT_EQ(subunit_status_text(6), "busy");
    EXPECT_EQ(subunit_status_text(3), "broken");
    EXPECT_EQ(subunit_status_text(5), "unknown");
    EXPECT_EQ(subunit_status_text(8 + 16 + 32 + 64),
              "idle, alert, critical alert, offline, transitioning");
    EXPECT_EQ(subunit_status_text(-2), "unknown");
}

TEST(CliNames, MediaSizes)
{
    EXPECT_EQ(media_size_text(4, 297000, 210000), "A4");
    EXPECT_EQ(media_size_text(4, 210000, 297000), "A4");
    EXPECT_EQ(media_size_text(4, 420000, 297000), "A3");
    EXPECT_EQ(media_size_text(3, 110000, 85000), "Letter");
    EXPECT_EQ(media_size_text(3, 140000, 85000), "Legal");
    EXPECT_EQ(media_size_text(4, 250000, 200000), "200x250 mm");
    EXPECT_EQ(media_size_text(3, 100000, 75000), "7.5x10 in");
    EXPECT_EQ(media_size_text(4, -2, 210000), "unknown");
    EXPECT_EQ(media_size_text(2, 297000, 210000), "unknown");
}

TEST(CliNames, EnumerationsAndFallbacks)
{
    EXPECT_EQ(printer_status_name(3), "idle");
    EXPECT_EQ(printer_status_name(4), "printing");
    EXPECT_EQ(printer_status_name(9), "status 9");
    EXPECT_EQ(printer_status_name(0), "not reported");
    EXPECT_EQ(output_type_name(-1), "other");
    EXPECT_EQ(alert_group_name(-2), "unknown");
    EXPECT_EQ(alert_severity_name(-7), "severity -7");
    EXPECT_EQ(alert_code_name(1104), "markerTonerAlmostEmpty");
    EXPECT_EQ(alert_code_name(808), "inputMediaSupplyEmpty");
    EXPECT_EQ(alert_code_name(4242), "code 4242");
    EXPECT_EQ(alert_severity_name(3), "critical");
    EXPECT_EQ(alert_group_name(11), "marker supplies");
    EXPECT_EQ(storage_type_name(PSW_STORAGE_FIXED_DISK), "fixed disk");
    EXPECT_EQ(device_type_name(5), "printer");
    EXPECT_EQ(device_type_name(154), "private 154");
    EXPECT_EQ(device_status_name(2), "running");
    EXPECT_EQ(supply_unit_name(19), "percent");
    EXPECT_EQ(bytes_text(512), "512 B");
    EXPECT_EQ(bytes_text(uint64_t{1024} * 262144), "256.0 MiB");
    EXPECT_EQ(bytes_text(uint64_t{4096} * 2441406), "9.3 GiB");
    PSWDateTime date{2007, 3, 15, 0, 20, 30};
    EXPECT_EQ(date_text(date), "2007-03-15 00:20:30");
    EXPECT_EQ(date_text(PSWDateTime{}), "-");
    EXPECT_EQ(job_kind_of("all"), PSW_JOB_KIND_ALL);
    EXPECT_EQ(job_kind_of("active"), PSW_JOB_KIND_OTHERS);
    EXPECT_EQ(job_kind_of("done"), PSW_JOB_KIND_SEPARATED);
    EXPECT_FALSE(job_kind_of("Done"));
    EXPECT_EQ(supply_type_name(9), "photoconductor");
    EXPECT_EQ(supply_type_name(32), "staples");
    EXPECT_EQ(supply_type_name(-2), "unknown");
    EXPECT_EQ(supply_type_name(99), "type 99");
    EXPECT_EQ(supply_class_name(4), "filled");
    EXPECT_EQ(counter_unit_name(7), "impressions");
    EXPECT_EQ(job_state_name(5), "processing");
    EXPECT_EQ(job_state_name(PSW_JOB_STATE_SEPARATED), "done");
    EXPECT_EQ(job_state_name(42), "state 42");
    EXPECT_EQ(job_type_name(0), "unlisted");
    EXPECT_EQ(uptime_text(0), "00:00:00");
    EXPECT_EQ(uptime_text(100 * (86400 + 3 * 3600 + 4 * 60 + 5) + 99), "1 day 03:04:05");
    EXPECT_EQ(uptime_text(724425094), "83 days 20:17:30");
}

TEST(CliNames, FailureLinesNameTheCodeAndItsMeaning)
{
    EXPECT_EQ(failure_text("reading", PSW_ERR_TIMEOUT, "10.0.0.5", 2000),
              "no answer from 10.0.0.5 within 2000 ms (-203)");
    EXPECT_EQ(failure_text("cannot set up 10.0.0.5", PSW_ERR_PARAMETER, "10.0.0.5", 2000),
              "cannot set up 10.0.0.5: bad or missing argument (-2)");
    EXPECT_EQ(failure_text("x", -9999, "a", 1), "x: unknown result code (-9999)");
}

TEST(CliOptionNames, KnownNamesAreUniqueAndFound)
{
    std::set<std::string> seen;
    for (const OptionName& option : known_options()) {
        EXPECT_TRUE(seen.insert(option.name).second) << option.name;
        EXPECT_EQ(find_option(option.name), &option);
    }
    EXPECT_EQ(seen.size(), 47u);
    ASSERT_NE(find_option("InputTrayName"), nullptr);
    EXPECT_EQ(find_option("InputTrayName")->index, OptionIndex::input_tray);
    EXPECT_EQ(find_option("OutputOffsetStacking")->type, OptionType::boolean);
    EXPECT_EQ(find_option("scanner"), nullptr);  // case-sensitive
}

}  // namespace
}  // namespace psw::cli
