// psw on printers of any model: the captured real printers (served as recorded), the simulated
// printer of another model, wrong communities and refused writes, each with its message, its
// exit status and, with --json, a failure object that a JSON parser reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/agent_harness.h"
#include "support/peer_requirements.h"
#include "support/snmp_tools.h"
#include "tools/cli_runner.h"

namespace psw::test {
namespace {

constexpr const char* kCaptures[] = {"dell-s5830dn", "hp-m252dw", "ricoh-mpc3002", "sharp-mx3570n"};

class PswAnyPrinter : public ::testing::Test {
protected:
    static void TearDownTestSuite() { agent_.reset(); }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools, Peer::python3,
                          Peer::shared_printers);
        if (!agent_) {
            std::vector<SnmprecSource> files;
            for (const char* name : kCaptures) {
                files.emplace_back(shared_printer_file(std::string(name) + ".snmprec"));
            }
            files.emplace_back(test_data("printers/rich.snmprec"));
            files.emplace_back(test_data("printers/other-model.snmprec"));
            // The supported printer once more under "public", so that a wrong community can be
            // told from silence.
            files.emplace_back(test_data("printers/rich.snmprec"), "public");
            auto agent = std::make_unique<SnmpsimAgent>();
            ASSERT_TRUE(agent->start({.files = files}));
            agent_ = std::move(agent);
        }
    }

    const std::string& address() const { return agent_->address(); }

    std::vector<SnmpRow> walk(const std::string& community, const std::string& root)
    {
        const WalkResult result =
            agent_->tools().walk(agent_->target(), SnmpCredentials::v1(community), root);
        EXPECT_TRUE(result.ok()) << result.describe();
        return subtree(result.rows, root);
    }

    static std::unique_ptr<SnmpsimAgent> agent_;
};

std::unique_ptr<SnmpsimAgent> PswAnyPrinter::agent_;

TEST_F(PswAnyPrinter, StatusOfEveryCaptureShowsItsIdentityAndEverySupply)
{
    for (const char* name : kCaptures) {
        const CommandResult result = run_psw({"status", address(), "-c", name, "--json"});
        ASSERT_EQ(result.exit_code, 0) << result.describe();
        ASSERT_EQ(json_error(result.out), "") << result.out;
        const std::string& doc = result.out;
        EXPECT_EQ(json_eval(doc, "d['supported_model']"), "false") << name;
        EXPECT_EQ(json_eval(doc, "len(d['supplies'])"),
                  std::to_string(walk(name, "1.3.6.1.2.1.43.11.1.1.5").size()))
            << name;
        const std::vector<SnmpRow> descriptions = walk(name, "1.3.6.1.2.1.43.11.1.1.6");
        for (size_t i = 0; i < descriptions.size(); ++i) {
            EXPECT_EQ(json_eval(doc, "d['supplies'][" + std::to_string(i) + "]['description']"),
                      json_eval("[\"" + descriptions[i].value + "\"]", "d[0]"))
                << name;
        }
        const std::vector<SnmpRow> sys_descr = walk(name, "1.3.6.1.2.1.1.1");
        ASSERT_EQ(sys_descr.size(), 1u);
        EXPECT_EQ(json_eval(doc, "d['identity']['description']"),
                  json_eval("[\"" + sys_descr[0].value + "\"]", "d[0]"))
            << name;
        const std::vector<SnmpRow> serial = walk(name, "1.3.6.1.2.1.43.5.1.1.17");
        if (!serial.empty()) {
            EXPECT_EQ(json_eval(doc, "d['identity']['serial_number']"),
                      "\"" + serial[0].value + "\"")
                << name;
        }
        EXPECT_EQ(json_eval(doc, "d['errors']"), "[]") << name;

        const CommandResult human = run_psw({"status", address(), "--community", name});
        ASSERT_EQ(human.exit_code, 0) << human.describe();
        EXPECT_NE(human.out.find("  note    another model: model-specific options are not "
                                 "available\n"),
                  std::string::npos)
            << human.out;
        for (const char* title : {"\nIdentity\n", "\nSupplies\n", "\nInput trays\n"}) {
            EXPECT_NE(human.out.find(title), std::string::npos) << name << title;
        }
    }
}

TEST_F(PswAnyPrinter, SupportedModelShowsEverySupplyAndNoNote)
{
    const CommandResult result = run_psw({"status", address(), "-c", "rich"});
    ASSERT_EQ(result.exit_code, 0) << result.describe();
    EXPECT_EQ(result.out.find("note"), std::string::npos) << result.out;
    // Eleven supplies: toners, drum, waste toner, fuser, staples and the rest, by name.
    for (const char* type : {"  toner  ", "photoconductor", "waste toner", "staples"}) {
        EXPECT_NE(result.out.find(type), std::string::npos) << type << "\n" << result.out;
    }
    EXPECT_NE(result.out.find("  serial       MK7150X-0042317\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("  name         PRN-3F-EAST\n"), std::string::npos) << result.out;

    const CommandResult json = run_psw({"status", address(), "-c", "rich", "--json"});
    ASSERT_EQ(json.exit_code, 0) << json.describe();
    EXPECT_EQ(json_eval(json.out, "[d['supported_model'], len(d['supplies']), len(d['toner'])]"),
              "[true, 11, 4]");
    EXPECT_EQ(json_eval(json.out, "d['identity']['page_counters'][0]['life_count']"), "284113");
}

TEST_F(PswAnyPrinter, EachFailureHasItsMessageAndExitStatus)
{
    struct Case {
        std::vector<std::string> args;
        int exit_code;
        std::string kind;
        std::string message_start;
    };
    const std::string& a = address();
    const std::vector<Case> cases = {
        // "public" answers, "wrong" does not: the community is named as the cause.
        {{"status", a, "-c", "wrong"}, 4, "wrong_community", "psw: status: no answer from " + a},
        {{"options", a, "-c", "other-model"},
         5,
         "other_model",
         "psw: options: " + a +
             " is a printer of another model (sysObjectID "
             "1.3.6.1.4.1.297.1.11.93.1.35.27.10"},
        {{"jobs", a, "-c", "other-model"},
         5,
         "other_model",
         "psw: jobs: " + a + " is a printer of another model"},
        {{"discover", a, "-c", "other-model"},
         5,
         "other_model",
         "psw: discover: " + a + " answered but is a printer of another model"},
        {{"discover", a, "-c", "wrong"},
         4,
         "wrong_community",
         "psw: discover: no answer from " + a},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--timeout", "300", "--retries", "0"});
        const CommandResult human = run_psw(args);
        EXPECT_EQ(human.exit_code, c.exit_code) << human.describe();
        EXPECT_EQ(human.out, "") << human.command;
        EXPECT_EQ(human.err.rfind(c.message_start, 0), 0u) << human.err;
        EXPECT_EQ(std::count(human.err.begin(), human.err.end(), '\n'), 1) << human.err;

        args.push_back("--json");
        const CommandResult json = run_psw(args);
        EXPECT_EQ(json.exit_code, c.exit_code) << json.describe();
        EXPECT_EQ(json_eval(json.out, "[d['error']['kind'], d['error']['exit_code']]"),
                  "[\"" + c.kind + "\", " + std::to_string(c.exit_code) + "]")
            << json.out;
        EXPECT_EQ(json_eval(json.out, "d['error']['address']"), "\"" + a + "\"");
        EXPECT_EQ(json.err, human.err) << "the line on stderr stays";
    }
    // The wrong community is named; silence with "public" itself names every likely cause.
    const CommandResult wrong =
        run_psw({"status", a, "-c", "wrong", "--timeout", "300", "--retries", "0"});
    EXPECT_NE(wrong.err.find("answers the community \"public\" but not \"wrong\""),
              std::string::npos)
        << wrong.err;
}

TEST_F(PswAnyPrinter, RefusedCancelNamesTheLikelyCauses)
{
    // The recording has writable cancel objects for the two queued jobs only.
    const CommandResult unknown =
        run_psw({"cancel", address(), "1039", "-c", "rich", "--write-community", "rich"});
    EXPECT_EQ(unknown.exit_code, 6) << unknown.describe();
    EXPECT_EQ(unknown.err, "psw: cancel: " + address() +
                               " refused to cancel job '1039' (-7): the printer does not know the "
                               "job, or the write community \"rich\" may not write (see "
                               "--write-community)\n");

    const CommandResult silent =
        run_psw({"cancel", address(), "1046", "-c", "rich", "--timeout", "200", "--retries", "0"});
    EXPECT_EQ(silent.exit_code, 4) << silent.describe();
    EXPECT_NE(silent.err.find("not the write community \"private\""), std::string::npos)
        << silent.err;
}

TEST_F(PswAnyPrinter, HostNamesAreResolvedByTheProgram)
{
    // "localhost" is 127.0.0.1, where no agent of the test listens.
    const CommandResult result = run_psw(
        {"status", "localhost", "-c", "rich", "--timeout", "200", "--retries", "0", "--json"});
    EXPECT_EQ(result.exit_code, 3) << result.describe();
    EXPECT_EQ(json_eval(result.out, "[d['error']['kind'], d['error']['address']]"),
              "[\"no_answer\", \"127.0.0.1\"]");
    EXPECT_EQ(
        result.err.rfind("psw: status: no answer from localhost (127.0.0.1) within 200 ms", 0), 0u)
        << result.err;

    const CommandResult unknown = run_psw({"status", "no-such-host.invalid"});
    EXPECT_EQ(unknown.exit_code, 2) << unknown.describe();
    EXPECT_EQ(unknown.err.rfind("psw: status: cannot resolve host name 'no-such-host.invalid'", 0),
              0u)
        << unknown.err;
}

}  // namespace
}  // namespace psw::test
