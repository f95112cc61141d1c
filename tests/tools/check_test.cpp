// psw check against simulated printers made to be OK, WARNING and CRITICAL: the exact plugin
// line with its performance data, the exit status, the exclusions and --json.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/agent_harness.h"
#include "support/peer_requirements.h"
#include "tools/cli_runner.h"

namespace psw::test {
namespace {

class PswCheck : public ::testing::Test {
protected:
    static void TearDownTestSuite() { agent_.reset(); }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::python3);
        if (!agent_) {
            auto agent = std::make_unique<SnmpsimAgent>();
            ASSERT_TRUE(agent->start({.files = {test_data("monitor/printer-ok.snmprec"),
                                                test_data("monitor/printer-warning.snmprec"),
                                                test_data("monitor/printer-critical.snmprec")}}));
            agent_ = std::move(agent);
        }
    }

    CommandResult check(const std::string& community, std::vector<std::string> extra = {})
    {
        std::vector<std::string> args = {"check", agent_->address(), "-c", community};
        args.insert(args.end(), extra.begin(), extra.end());
        return run_psw(args);
    }

    static std::unique_ptr<SnmpsimAgent> agent_;
};

std::unique_ptr<SnmpsimAgent> PswCheck::agent_;

const std::string kToners =
    " 'Magenta Toner'=45%;20:;10:;0;100 'Yellow Toner'=70%;20:;10:;0;100"
    " 'Imaging Drum'=75%;20:;10:;0;100";

TEST_F(PswCheck, EachPrinterStateHasItsLinePerformanceDataAndExitStatus)
{
    const std::string a = agent_->address();
    struct Case {
        std::string community;
        int exit_code;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"printer-ok", 0,
         "PRINTER OK - " + a +
             ": idle, 5 supplies and 3 trays ok | 'Black Toner'=80%;20:;10:;0;100 "
             "'Cyan Toner'=60%;20:;10:;0;100" +
             kToners +
             " 'Tray 1'=50%;10:;;0;100 'Tray 2'=80%;10:;;0;100 'Bypass Tray'=50%;10:;;0;100"},
        {"printer-warning", 1,
         "PRINTER WARNING - " + a +
             ": Cyan Toner at 15% (warning below 20%), Bypass Tray empty, printer reports "
             "lowToner, warning alert: Cyan toner low | 'Black Toner'=80%;20:;10:;0;100 "
             "'Cyan Toner'=15%;20:;10:;0;100" +
             kToners +
             " 'Tray 1'=50%;10:;;0;100 'Tray 2'=80%;10:;;0;100 'Bypass Tray'=0%;10:;;0;100"},
        {"printer-critical", 2,
         "PRINTER CRITICAL - " + a +
             ": Black Toner at 5% (critical below 10%), printer reports jammed, critical alert: "
             "Paper jam in tray 2, Tray 2 low (6%), printer reports lowToner, warning alert: "
             "Black toner low | 'Black Toner'=5%;20:;10:;0;100 'Cyan Toner'=60%;20:;10:;0;100" +
             kToners +
             " 'Tray 1'=50%;10:;;0;100 'Tray 2'=6%;10:;;0;100 'Bypass Tray'=50%;10:;;0;100"},
    };
    for (const Case& c : cases) {
        const CommandResult result = check(c.community);
        EXPECT_EQ(result.exit_code, c.exit_code) << result.describe();
        EXPECT_EQ(result.out, c.line + "\n");
        EXPECT_EQ(result.err, "");

        const CommandResult json = check(c.community, {"--json"});
        EXPECT_EQ(json.exit_code, c.exit_code) << json.describe();
        EXPECT_EQ(json_eval(json.out, "[d['exit_code'], len(d['perfdata']), d['perfdata'][0]]"),
                  "[" + std::to_string(c.exit_code) +
                      ", 8, {\"label\": \"Black Toner\", \"percent\": " +
                      (c.community == "printer-critical" ? "5" : "80") +
                      ", \"warning\": \"20:\", \"critical\": \"10:\"}]")
            << json.out;
    }
}

TEST_F(PswCheck, ThresholdsAndExclusionsChangeTheVerdict)
{
    const std::string a = agent_->address();
    struct Case {
        std::string community;
        std::vector<std::string> options;
        int exit_code;
        std::string line_start;
    };
    const std::vector<Case> cases = {
        // Raising the toner thresholds makes the OK printer's 45 % magenta toner critical.
        {"printer-ok",
         {"--supply-threshold", "toner=60,50"},
         2,
         "PRINTER CRITICAL - " + a + ": Magenta Toner at 45% (critical below 50%) |"},
        {"printer-ok",
         {"--warning", "50", "--critical", "5"},
         1,
         "PRINTER WARNING - " + a + ": Magenta Toner at 45% (warning below 50%) |"},
        // The type's own thresholds win over --warning/--critical for that type only.
        {"printer-ok",
         {"--warning", "50", "--critical", "5", "--supply-threshold", "toner=20,10"},
         0,
         "PRINTER OK - " + a + ": idle, 5 supplies and 3 trays ok |"},
        // An always-empty bypass tray, the cyan toner and its alert left out: only lowToner stays.
        {"printer-warning",
         {"--exclude", "BYPASS", "--exclude", "cyan"},
         1,
         "PRINTER WARNING - " + a + ": printer reports lowToner |"},
        {"printer-warning",
         {"--exclude", "bypass", "--exclude", "cyan", "--exclude", "lowToner"},
         0,
         "PRINTER OK - " + a + ": idle, 4 supplies and 2 trays ok |"},
        {"printer-critical",
         {"--tray-low", "5"},
         2,
         "PRINTER CRITICAL - " + a +
             ": Black Toner at 5% (critical below 10%), printer reports jammed, critical alert: "
             "Paper jam in tray 2, printer reports lowToner, warning alert: Black toner low |"},
    };
    for (const Case& c : cases) {
        const CommandResult result = check(c.community, c.options);
        EXPECT_EQ(result.exit_code, c.exit_code) << result.describe();
        EXPECT_EQ(result.out.rfind(c.line_start, 0), 0u) << result.out;
    }
}

TEST_F(PswCheck, SilenceAndWrongArgumentsAreUnknown)
{
    const std::string a = agent_->address();
    const CommandResult silent = check("no-such-community", {"--timeout", "200", "--retries", "0"});
    EXPECT_EQ(silent.exit_code, 3) << silent.describe();
    EXPECT_EQ(silent.out, "PRINTER UNKNOWN - no answer from " + a + " within 200 ms (-203)\n");

    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"check"}, "PRINTER UNKNOWN - psw check: exactly one printer address is needed\n"},
        {{"check", a, "--warning", "101"},
         "PRINTER UNKNOWN - psw check: --warning takes a percentage from 0 to 100, not '101'\n"},
        {{"check", a, "--warning", "10", "--critical", "20"},
         "PRINTER UNKNOWN - psw check: the critical percentage (20) is above the warning "
         "percentage (10)\n"},
        {{"check", a, "--supply-threshold", "tonner=20,10"},
         "PRINTER UNKNOWN - psw check: unknown supply type 'tonner' (types as 'psw status' names "
         "them, spaces as '-': toner, waste-toner, photoconductor, ...)\n"},
        {{"check", a, "--bogus"}, "PRINTER UNKNOWN - psw check: unknown option '--bogus'\n"},
    };
    for (const Case& c : cases) {
        const CommandResult result = run_psw(c.args);
        EXPECT_EQ(result.exit_code, 3) << result.describe();
        EXPECT_EQ(result.out, c.out);
    }
}

TEST_F(PswCheck, StatusAsCsvHoldsWhatTheJsonHolds)
{
    const std::string a = agent_->address();
    const CommandResult csv = run_psw({"status", a, "-c", "printer-warning", "--format", "csv"});
    ASSERT_EQ(csv.exit_code, 0) << csv.describe();
    EXPECT_EQ(csv.out.rfind("section,row,field,value\naddress,,," + a + "\n", 0), 0u) << csv.out;
    for (const char* line :
         {"supplies,1,description,Cyan Toner\n", "supplies,1,percent,15\n",
          "input_trays,2,name,Bypass Tray\n", "alerts,0,description,Cyan toner low\n",
          "identity,,location,\"Building B, floor 2\"\n"}) {
        EXPECT_NE(csv.out.find(line), std::string::npos) << line << csv.out;
    }
}

}  // namespace
}  // namespace psw::test
