// psw -v and --log-file against a simulated printer: the library's lines go to stderr (or the
// file) and never into the JSON on stdout, and at -vvv the wire trace shows the exchange's
// bytes, which tshark must decode as the same SNMP request and its response.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/agent_harness.h"
#include "support/peer_requirements.h"
#include "support/temp_dir.h"
#include "support/wire_trace_lines.h"
#include "tools/cli_runner.h"

namespace psw::test {
namespace {

constexpr const char* kSysObjectId = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";

// tshark's reading of one message: "key=value" lines (tests/snmp/peer_decode.py).
std::string tshark_fields(const std::string& hex)
{
    const CommandResult decoded =
        run_command({"/usr/bin/python3", std::string(PSW_SOURCE_DIR) + "/tests/snmp/peer_decode.py",
                     "tshark", hex});
    return decoded.ok() ? decoded.out : "error=" + decoded.describe();
}

// The value of "key=" in tshark_fields' output, or empty.
std::string field(const std::string& fields, const std::string& key)
{
    std::istringstream in(fields);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "";
}

class PswVerbose : public ::testing::Test {
protected:
    static void TearDownTestSuite() { agent_.reset(); }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools, Peer::python3);
        if (!agent_) {
            auto agent = std::make_unique<SnmpsimAgent>();
            ASSERT_TRUE(
                agent->start({.files = {SnmprecSource(test_data("printers/rich.snmprec"))}}));
            agent_ = std::move(agent);
        }
    }

    const std::string& address() const { return agent_->address(); }

    static std::unique_ptr<SnmpsimAgent> agent_;
};

std::unique_ptr<SnmpsimAgent> PswVerbose::agent_;

TEST_F(PswVerbose, DebugShowsTheExchangeBytesThatTsharkDecodes)
{
    PSW_REQUIRE_PEERS(Peer::tshark);
    const CommandResult run =
        run_psw({"status", address(), "--community", "rich", "--json", "-vvv"}, 60000);
    PSW_SKIP_IF_NO_DEVICE_LAYER(run);
    ASSERT_EQ(run.exit_code, 0) << run.describe();
    EXPECT_EQ(json_error(run.out), "") << "stdout must hold the JSON only:\n" << run.out;
    EXPECT_NE(run.err.find(", Debug, "), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(", Trace, "), std::string::npos);  // -vvv stops at debug

    const std::vector<TracedDatagram> datagrams = traced_datagrams(split_lines(run.err));
    ASSERT_GE(datagrams.size(), 2u) << run.err;
    size_t exchanges = 0;
    bool saw_model = false;
    for (size_t i = 0; i + 1 < datagrams.size(); ++i) {
        const TracedDatagram& request = datagrams[i];
        const TracedDatagram& reply = datagrams[i + 1];
        if (request.what != "send to" || reply.what != "receive from") {
            continue;
        }
        SCOPED_TRACE(request.hex);
        ASSERT_TRUE(request.complete() && reply.complete());
        EXPECT_EQ(request.peer, address());
        EXPECT_EQ(reply.peer, address());
        EXPECT_EQ(request.port, 161u);
        EXPECT_EQ(reply.port, 161u);
        // tshark takes a second or two a message: the first two exchanges are enough.
        if (exchanges < 2) {
            const std::string asked = tshark_fields(request.hex);
            const std::string answered = tshark_fields(reply.hex);
            EXPECT_EQ(field(asked, "error"), "") << asked;
            EXPECT_EQ(field(asked, "community"), "rich") << asked;
            EXPECT_TRUE(field(asked, "pdu") == "get" || field(asked, "pdu") == "getnext") << asked;
            EXPECT_EQ(field(answered, "pdu"), "response") << answered;
            EXPECT_EQ(field(answered, "request-id"), field(asked, "request-id")) << answered;
            EXPECT_FALSE(field(asked, "request-id").empty());
            saw_model = saw_model || answered.find(kSysObjectId) != std::string::npos;
        }
        ++exchanges;
    }
    EXPECT_GE(exchanges, 2u) << run.err;
    // The model check reads sysObjectID first: its answer is among the first exchanges.
    EXPECT_TRUE(saw_model);
}

TEST_F(PswVerbose, LogFileTakesTheLinesAndStderrStaysQuiet)
{
    TempDir dir("psw-verbose");
    const std::string path = dir.file("psw.log");
    const CommandResult run = run_psw(
        {"status", address(), "--community", "rich", "--log-file", path, "-vvv", "--json"}, 60000);
    PSW_SKIP_IF_NO_DEVICE_LAYER(run);
    ASSERT_EQ(run.exit_code, 0) << run.describe();
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(json_error(run.out), "") << run.out;
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const auto datagrams = traced_datagrams(split_lines(text.str()));
    ASSERT_FALSE(datagrams.empty()) << text.str();
    EXPECT_EQ(datagrams[0].what, "send to");

    // Without -v nothing is logged; a log file that cannot be written is refused before any
    // request goes out.
    const CommandResult quiet = run_psw({"status", address(), "--community", "rich", "--json"});
    EXPECT_EQ(quiet.err, "");
    const CommandResult refused =
        run_psw({"status", address(), "--log-file", dir.file("no/such/folder.log")});
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find("cannot write the log file"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace psw::test
