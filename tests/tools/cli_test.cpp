// The psw program as a user meets it: help, argument errors, transports, failure lines and exit
// status, JSON validity, and the spinner that only a terminal gets.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/loopback_pool.h"
#include "support/peer_requirements.h"
#include "tools/cli_runner.h"

namespace psw::test {
namespace {

const std::vector<std::string> kCommands = {"discover", "status",     "jobs", "cancel",
                                            "options",  "transports", "about"};

// A loopback address whose port 161 is bound by a socket that never answers.
class SilentAddress {
public:
    ::testing::AssertionResult open()
    {
        std::string error;
        lease_ = LoopbackLease::acquire(161, &error);
        if (!lease_) {
            return ::testing::AssertionFailure() << error;
        }
        fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(161);
        inet_pton(AF_INET, lease_->address().c_str(), &address.sin_addr);
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            return ::testing::AssertionFailure() << "cannot bind " << lease_->endpoint();
        }
        return ::testing::AssertionSuccess();
    }
    ~SilentAddress()
    {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    const std::string& address() const { return lease_->address(); }
    // Datagrams that arrived since the last call.
    int drain()
    {
        int count = 0;
        char buffer[2048];
        while (recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
            ++count;
        }
        return count;
    }

private:
    std::optional<LoopbackLease> lease_;
    int fd_ = -1;
};

struct TerminalRun {
    int exit_code = -1;
    std::string out;       // stdout (a pipe)
    std::string terminal;  // what the terminal on stderr received
};

// Runs psw with stderr (and stdin) on a pseudo-terminal and stdout on a pipe.
TerminalRun run_psw_on_terminal(const std::vector<std::string>& args)
{
    TerminalRun run;
    int out_pipe[2];
    if (pipe(out_pipe) != 0) {
        return run;
    }
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        dup2(out_pipe[1], STDOUT_FILENO);
        close(out_pipe[0]);
        close(out_pipe[1]);
        unsetenv("PSW_NO_PROGRESS");
        std::vector<char*> argv = {const_cast<char*>(PSW_CLI_PATH)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(PSW_CLI_PATH, argv.data());
        _exit(127);
    }
    close(out_pipe[1]);
    if (pid < 0) {
        close(out_pipe[0]);
        return run;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(master, buffer, sizeof buffer);
        if (got <= 0) {
            break;  // EIO once the child has closed the terminal
        }
        run.terminal.append(buffer, static_cast<size_t>(got));
    }
    for (;;) {
        const ssize_t got = read(out_pipe[0], buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        run.out.append(buffer, static_cast<size_t>(got));
    }
    close(out_pipe[0]);
    close(master);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

// ---- help and usage --------------------------------------------------------------------------

TEST(PswProgram, TopLevelHelpListsEveryCommand)
{
    const CommandResult help = run_psw({"--help"});
    ASSERT_EQ(help.exit_code, 0) << help.describe();
    for (const std::string& command : kCommands) {
        EXPECT_NE(help.out.find("\n  " + command + " "), std::string::npos) << command;
    }
    EXPECT_EQ(help.err, "");

    const CommandResult bare = run_psw({});
    EXPECT_EQ(bare.exit_code, 2);
    EXPECT_EQ(bare.out, "");
    EXPECT_EQ(bare.err, help.out);

    const CommandResult unknown = run_psw({"frobnicate"});
    EXPECT_EQ(unknown.exit_code, 2);
    EXPECT_EQ(unknown.err.substr(0, unknown.err.find('\n')), "psw: unknown command 'frobnicate'");
}

TEST(PswProgram, EveryCommandHasHelp)
{
    for (const std::string& command : kCommands) {
        for (const char* flag : {"--help", "-h"}) {
            const CommandResult help = run_psw({command, flag});
            EXPECT_EQ(help.exit_code, 0) << help.describe();
            EXPECT_EQ(help.out.rfind("usage: psw " + command, 0), 0u) << help.out;
            EXPECT_GT(help.out.size(), 60u) << command;
            EXPECT_EQ(help.err, "") << command;
        }
    }
}

TEST(PswProgram, ArgumentErrorsExitTwoWithOneReason)
{
    struct Case {
        std::vector<std::string> args;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {{"status"}, "psw: status: exactly one printer address is needed"},
        {{"status", "a", "b"}, "psw: status: exactly one printer address is needed"},
        {{"status", "127.0.0.1", "--timeout", "0"},
         "psw: status: --timeout takes milliseconds from 1 to 600000, not '0'"},
        {{"status", "127.0.0.1", "--timeout=2s"},
         "psw: status: --timeout takes milliseconds from 1 to 600000, not '2s'"},
        {{"status", "127.0.0.1", "--retries", "101"},
         "psw: status: --retries takes a number from 0 to 100, not '101'"},
        {{"status", "127.0.0.1", "--community", std::string(256, 'c')},
         "psw: status: --community holds at most 255 characters"},
        {{"status", "127.0.0.1", "--bogus"}, "psw: status: unknown option '--bogus'"},
        {{"status", ""}, "psw: status: the address is empty"},
        {{"status", std::string(64, ':')}, "psw: status: the address holds at most 63 characters"},
        {{"status", "no-such-host.invalid"},
         "psw: status: cannot resolve host name 'no-such-host.invalid': Name or service not known"},
        {{"cancel", "127.0.0.1", std::string(256, 'j')},
         "psw: cancel: a job identifier holds at most 255 characters"},
        {{"jobs", "127.0.0.1", "--kind", "finished"},
         "psw: jobs: --kind takes all, active or done, not 'finished'"},
        {{"jobs", "127.0.0.1", "--kind"}, "psw: jobs: --kind: 1 required TEXT missing"},
        {{"status", "127.0.0.1", "-q"}, "psw: status: unknown option '-q'"},
        {{"status", "127.0.0.1", "-l", "secret"},
         "psw: status: --level takes noAuthNoPriv, authNoPriv, authPriv, not 'secret'"},
        {{"discover", "127.0.0.1", "-aSHA-3"},
         "psw: discover: --auth-protocol takes MD5, SHA, SHA1, SHA-224, SHA-256, SHA-384, "
         "SHA-512, not 'SHA-3'"},
        {{"cancel", "127.0.0.1", "1046", "-u", std::string(33, 'u')},
         "psw: cancel: --user holds at most 32 characters"},
        {{"status", "127.0.0.1", "--log-file"}, "psw: status: --log-file: 1 required PATH missing"},
        {{"jobs", "127.0.0.1", "--log-file", "a", "--log-file", "b"},
         "psw: jobs: option '--log-file' given twice"},
        {{"cancel", "127.0.0.1"}, "psw: cancel: a printer address and a job identifier are needed"},
        {{"cancel", "127.0.0.1", "1046", "--json"},
         "psw: cancel: cancel writes to the printer and has no --json output"},
        {{"options"}, "psw: options: a printer address is needed"},
        {{"options", "127.0.0.1", "--list"}, "psw: options: --list takes no address"},
        // Several targets make a sweep; its words are checked before anything is sent.
        {{"discover", "10.0.0.0/8"},
         "psw: discover: '10.0.0.0/8' is no IPv4 block from /16 to /32 (e.g. 10.0.0.0/24)"},
        {{"discover", "10.1.2.3", "10.1.2.9-3"},
         "psw: discover: the range '10.1.2.9-3' ends before it starts"},
        {{"discover", "10.1.2.0/24", "--concurrency", "0"},
         "psw: discover: --concurrency takes a number from 1 to 1024, not '0'"},
        {{"discover", "127.0.0.1", "--concurrency", "3"},
         "psw: discover: --concurrency is for sweeps over several addresses"},
        {{"status", "127.0.0.1", "--format", "xml"},
         "psw: status: --format takes text, json or csv, not 'xml'"},
        {{"discover", "127.0.0.1", "--filter", std::string(64, '1')},
         "psw: discover: a filter holds 1 to 63 characters"},
        {{"discover", "127.0.0.1", "--retries", "-1"},
         "psw: discover: --retries takes a number from 0 to 100, not '-1'"},
        {{"transports", "extra"}, "psw: transports: no arguments expected"},
        {{"about", "--json"}, "psw: about: unknown option '--json'"},
    };
    for (const Case& c : cases) {
        const CommandResult result = run_psw(c.args);
        EXPECT_EQ(result.exit_code, 2) << result.describe();
        EXPECT_EQ(result.out, "") << result.command;
        const std::string command = c.args[0];
        EXPECT_EQ(result.err, c.reason + "\nTry 'psw " + command + " --help'.\n") << result.command;
    }
}

// ---- transports and lists --------------------------------------------------------------------

TEST(PswProgram, TransportsAgreeInTableAndJson)
{
    const CommandResult table = run_psw({"transports"});
    ASSERT_EQ(table.exit_code, 0) << table.describe();
    const CommandResult json = run_psw({"transports", "--json"});
    ASSERT_EQ(json.exit_code, 0) << json.describe();
    ASSERT_EQ(json_error(json.out), "") << json.out;
    EXPECT_EQ(json_eval(json.out, "[(t['name'], t['code']) for t in d['transports']]"),
              "[[\"udp-ipv4\", 1], [\"udp-ipv6\", 5], [\"ipx\", 2]]");
    // The table says what the JSON document says, in aligned columns.
    std::string expected = "TRANSPORT  CODE  STATE\n";
    const std::vector<std::pair<std::string, std::string>> transports = {
        {"udp-ipv4", "1"}, {"udp-ipv6", "5"}, {"ipx", "2"}};
    for (size_t i = 0; i < transports.size(); ++i) {
        const std::string available =
            json_eval(json.out, "d['transports'][" + std::to_string(i) + "]['available']");
        ASSERT_TRUE(available == "true" || available == "false") << available;
        const std::string& name = transports[i].first;
        expected += name + std::string(9 - name.size(), ' ') + "     " + transports[i].second +
                    "  " + (available == "true" ? "available" : "not available") + "\n";
    }
    EXPECT_EQ(table.out, expected);
}

TEST(PswProgram, OptionListIsValidJsonWithEveryName)
{
    const CommandResult list = run_psw({"options", "--list", "--json"});
    ASSERT_EQ(list.exit_code, 0) << list.describe();
    ASSERT_EQ(json_error(list.out), "") << list.out;
    EXPECT_EQ(json_eval(list.out, "len(d)"), "47");
    EXPECT_EQ(json_eval(list.out, "[o for o in d if o['name'] == 'InputTrayName'][0]"),
              "{\"name\": \"InputTrayName\", \"type\": \"text\", \"per\": \"input tray\"}");
    const CommandResult table = run_psw({"options", "--list"});
    ASSERT_EQ(table.exit_code, 0);
    EXPECT_NE(table.out.find("\nOutputOffsetStacking             boolean  output tray\n"),
              std::string::npos)
        << table.out;
}

TEST(PswProgram, AboutCreatesAndReleasesAHandle)
{
    const CommandResult about = run_psw({"about"});
    ASSERT_EQ(about.exit_code, 0) << about.describe();
    EXPECT_NE(about.out.find("library handle   created and released"), std::string::npos);
    EXPECT_NE(about.out.find("not initialised (no device set up) (-8) before a device is set up"),
              std::string::npos)
        << about.out;
}

// ---- failures against an address that never answers ------------------------------------------

class PswSilentPrinter : public ::testing::Test {
protected:
    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::python3);
        ASSERT_TRUE(silent_.open());
    }
    SilentAddress silent_;
};

TEST_F(PswSilentPrinter, ReadCommandsFailWithTheTimeOutLine)
{
    const std::string& address = silent_.address();
    const std::vector<std::vector<std::string>> runs = {
        {"status", address, "--timeout", "300", "--retries", "0"},
        {"status", address, "--timeout", "150", "--retries", "1", "--json"},
        {"jobs", address, "--timeout", "300", "--retries", "0", "--kind", "done"},
        {"options", address, "Scanner", "--timeout", "300", "--retries", "0"},
        {"cancel", address, "1046", "--timeout", "300", "--retries", "0"},
    };
    for (const auto& args : runs) {
        const auto start = std::chrono::steady_clock::now();
        const CommandResult result = run_psw(args);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        PSW_SKIP_IF_NO_DEVICE_LAYER(result);
        EXPECT_EQ(result.exit_code, 3) << result.describe();
        const bool json = args.back() == "--json";
        EXPECT_EQ(result.out.empty(), !json) << result.command;
        if (json) {
            EXPECT_EQ(json_eval(result.out, "[d['error']['kind'], d['error']['code']]"),
                      "[\"no_answer\", -203]");
        }
        // Silence under the default community names every likely cause.
        EXPECT_EQ(result.err, "psw: " + args[0] + ": no answer from " + address +
                                  " within 300 ms (-203): the printer is off or unreachable, no "
                                  "SNMP agent listens there, or the community \"public\" is wrong "
                                  "(agents ignore requests with a wrong community)\n")
            << result.command;
        EXPECT_GE(elapsed, std::chrono::milliseconds(290)) << result.command;
        EXPECT_GE(silent_.drain(), 1) << "no request reached " << address << ": " << result.command;
    }
}

TEST_F(PswSilentPrinter, DiscoveryOfASilentAddressFindsNothing)
{
    const std::string& address = silent_.address();
    const CommandResult human = run_psw({"discover", address, "--timeout", "300"});
    PSW_SKIP_IF_NO_DEVICE_LAYER(human);
    ASSERT_EQ(human.exit_code, 3) << human.describe();
    EXPECT_EQ(human.out, "");
    EXPECT_EQ(human.err.rfind("psw: discover: no answer from " + address + " within 300 ms", 0), 0u)
        << human.err;
    EXPECT_GE(silent_.drain(), 2) << "the discovery and the question that follows it";

    const CommandResult json = run_psw({"discover", address, "--timeout", "200", "--json"});
    ASSERT_EQ(json.exit_code, 3) << json.describe();
    ASSERT_EQ(json_error(json.out), "") << json.out;
    EXPECT_EQ(
        json_eval(json.out, "[d['error']['command'], d['error']['kind'], d['error']['address']]"),
        "[\"discover\", \"no_answer\", \"" + address + "\"]");
}

TEST_F(PswSilentPrinter, SpinnerOnlyOnATerminal)
{
    const std::string& address = silent_.address();
    const std::vector<std::string> args = {"status", address, "--timeout", "800", "--retries", "0"};
    const CommandResult piped = run_psw(args);
    PSW_SKIP_IF_NO_DEVICE_LAYER(piped);
    EXPECT_EQ(
        piped.err.rfind("psw: status: no answer from " + address + " within 800 ms (-203): ", 0),
        0u)
        << piped.err;
    EXPECT_EQ(piped.err.find('\r'), std::string::npos);

    const TerminalRun terminal = run_psw_on_terminal(args);
    EXPECT_EQ(terminal.exit_code, 3);
    EXPECT_EQ(terminal.out, "");
    EXPECT_NE(terminal.terminal.find("connecting to " + address + " ("), std::string::npos)
        << terminal.terminal;
    EXPECT_NE(terminal.terminal.find(" s left)"), std::string::npos) << terminal.terminal;
    // The spinner's line is cleared before the failure line is written.
    const size_t cleared = terminal.terminal.rfind("\r\033[K");
    ASSERT_NE(cleared, std::string::npos);
    EXPECT_NE(
        terminal.terminal.find("no answer from " + address + " within 800 ms (-203)", cleared),
        std::string::npos)
        << terminal.terminal;

    // With the library's log on the terminal (-v), no spinner tears its lines.
    std::vector<std::string> verbose = args;
    verbose.push_back("-v");
    const TerminalRun logged = run_psw_on_terminal(verbose);
    EXPECT_EQ(logged.exit_code, 3);  // no answer, as without -v
    EXPECT_EQ(logged.terminal.find("connecting to "), std::string::npos) << logged.terminal;
    EXPECT_NE(logged.terminal.find("no answer from " + address), std::string::npos)
        << logged.terminal;
}

}  // namespace
}  // namespace psw::test
