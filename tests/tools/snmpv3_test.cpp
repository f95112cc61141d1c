// psw over SNMPv3: snmpd forwards the simulated printer (snmpsim) and knows one SNMPv3 user;
// every command with the SNMPv3 options shows what the community-based command shows straight
// from the printer.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/agent_harness.h"
#include "support/peer_requirements.h"
#include "tools/cli_runner.h"

namespace psw::test {
namespace {

constexpr const char* kAuthPass = "operator-auth";
constexpr const char* kPrivPass = "operator-priv";

class PswSnmpV3 : public ::testing::Test {
protected:
    static void TearDownTestSuite()
    {
        agent_.reset();
        printer_.reset();
    }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::snmpd, Peer::netsnmp_tools,
                          Peer::python3);
        if (!agent_) {
            auto printer = std::make_unique<SnmpsimAgent>();
            ASSERT_TRUE(printer->start({.files = {test_data("printers/rich.snmprec")}}));
            SnmpdOptions options;
            options.engine_id = "0x80001f8880c0ffee0056";
            options.users = {{.name = "operator",
                              .auth_proto = "SHA",
                              .auth_pass = kAuthPass,
                              .priv_proto = "AES",
                              .priv_pass = kPrivPass}};
            forward_printer(options, printer->address(), "rich");
            auto agent = std::make_unique<SnmpdAgent>();
            ASSERT_TRUE(agent->start(options));
            printer_ = std::move(printer);
            agent_ = std::move(agent);
        }
    }

    // The command's words for the snmpd address with the README's SNMPv3 options.
    static std::vector<std::string> over_v3(const std::string& command,
                                            const std::string& auth_pass = kAuthPass)
    {
        return {
            command, agent_->address(), "-u", "operator", "-l", "authPriv", "-a",        "SHA",
            "-A",    auth_pass,         "-x", "AES",      "-X", kPrivPass,  "--timeout", "1500"};
    }
    static std::vector<std::string> over_v1(const std::string& command)
    {
        return {command, printer_->address(), "--community", "rich", "--timeout", "1500"};
    }

    static std::unique_ptr<SnmpsimAgent> printer_;
    static std::unique_ptr<SnmpdAgent> agent_;
};

// `text` with every `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::unique_ptr<SnmpsimAgent> PswSnmpV3::printer_;
std::unique_ptr<SnmpdAgent> PswSnmpV3::agent_;

TEST_F(PswSnmpV3, StatusJobsAndOptionsShowWhatTheCommunityShows)
{
    for (const char* command : {"status", "jobs", "options"}) {
        for (const bool json : {false, true}) {
            std::vector<std::string> v3 = over_v3(command);
            std::vector<std::string> v1 = over_v1(command);
            if (json) {
                v3.push_back("--json");
                v1.push_back("--json");
            }
            const CommandResult expected = run_psw(v1);
            ASSERT_EQ(expected.exit_code, 0) << expected.describe();
            const CommandResult got = run_psw(v3);
            ASSERT_EQ(got.exit_code, 0) << got.describe();
            // The same printer, shown under the address it was asked at.
            EXPECT_EQ(got.out, replaced(expected.out, printer_->address(), agent_->address()))
                << command << (json ? " --json" : "");
            EXPECT_EQ(got.err, "") << command;
        }
    }
}

TEST_F(PswSnmpV3, DiscoverAsksTheEngineThatAnswersTheProbe)
{
    std::vector<std::string> args = over_v3("discover");
    args.push_back("--json");
    const CommandResult got = run_psw(args);
    ASSERT_EQ(got.exit_code, 0) << got.describe();
    EXPECT_EQ(json_eval(got.out, "[x['address'] for x in d['devices']]"),
              "[\"" + agent_->address() + "\"]");
}

TEST_F(PswSnmpV3, WrongPassPhraseIsASecurityFailure)
{
    const CommandResult got = run_psw(over_v3("status", "not-the-auth-pass"));
    EXPECT_EQ(got.exit_code, 1);
    EXPECT_EQ(got.out, "");
    EXPECT_NE(got.err.find("SNMPv3 security failure (-214)"), std::string::npos) << got.err;
}

}  // namespace
}  // namespace psw::test
