// psw discover over many addresses: a /24 inside a test network with three simulated printers
// (two of the supported model, one of another) and 251 silent addresses, a range and a target
// file; and the expansion of blocks, ranges and files into addresses.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "cli/sweep_targets.h"
#include "support/agent_harness.h"
#include "support/netns.h"
#include "support/peer_requirements.h"
#include "support/temp_dir.h"
#include "tools/cli_runner.h"

namespace psw::test {
namespace {

TEST(SweepTargets, BlocksRangesAndFilesBecomeUnicastAddresses)
{
    TempDir dir("psw-sweep");
    const std::string file = dir.write(
        "targets.txt", "# the print room\n10.1.0.7\n\n10.1.0.8-9  # two more\n10.1.0.7\n");
    struct Case {
        std::vector<std::string> words;
        size_t count;
        std::string first;
        std::string last;
    };
    const std::vector<Case> cases = {
        {{"10.1.2.0/24"}, 254, "10.1.2.1", "10.1.2.254"},  // no network, no broadcast address
        {{"10.1.2.77/30"}, 2, "10.1.2.77", "10.1.2.78"},
        {{"10.1.2.9/32"}, 1, "10.1.2.9", "10.1.2.9"},
        {{"10.1.2.250-10.1.3.2"}, 9, "10.1.2.250", "10.1.3.2"},
        {{"10.1.2.10-12"}, 3, "10.1.2.10", "10.1.2.12"},
        {{"@" + file}, 3, "10.1.0.7", "10.1.0.9"},
        {{"10.1.0.9", "@" + file, "printer.example"}, 4, "10.1.0.9", "printer.example"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> targets;
        std::string error;
        for (const std::string& word : c.words) {
            ASSERT_TRUE(psw::cli::expand_targets(word, &targets, &error)) << word << error;
        }
        ASSERT_EQ(targets.size(), c.count) << c.words[0];
        EXPECT_EQ(targets.front(), c.first);
        EXPECT_EQ(targets.back(), c.last);
    }
    const std::vector<std::pair<std::string, std::string>> faults = {
        {"10.1.2.0/8", "'10.1.2.0/8' is no IPv4 block from /16 to /32 (e.g. 10.0.0.0/24)"},
        {"10.1.256.0/24", "'10.1.256.0/24' is no IPv4 block from /16 to /32 (e.g. 10.0.0.0/24)"},
        {"10.01.2.0/24", "'10.01.2.0/24' is no IPv4 block from /16 to /32 (e.g. 10.0.0.0/24)"},
        {"10.1.2.9-3", "the range '10.1.2.9-3' ends before it starts"},
        {"10.1.2.9-300",
         "'10.1.2.9-300' is no IPv4 range (e.g. 10.0.0.10-10.0.0.50 or "
         "10.0.0.10-50)"},
        {"@" + dir.file("none.txt"), "cannot read the target file '" + dir.file("none.txt") + "'"},
    };
    for (const auto& [word, message] : faults) {
        std::vector<std::string> targets;
        std::string error;
        EXPECT_FALSE(psw::cli::expand_targets(word, &targets, &error)) << word;
        EXPECT_EQ(error, message);
    }
}

TEST(PswSweep, SubnetOfMostlySilentAddressesTakesAboutOneTimeOutWindow)
{
    PSW_REQUIRE_PEERS(Peer::root, Peer::netns, Peer::snmpsim, Peer::python3);
    NetnsLab lab;
    ASSERT_TRUE(lab.create());
    SnmpsimAgent printers[3];
    const char* files[] = {"printers/rich.snmprec", "printers/other-model.snmprec",
                           "printers/rich.snmprec"};
    std::vector<std::pair<SnmpsimAgent*, SnmpsimOptions>> starts;
    for (int i = 0; i < 3; ++i) {
        starts.push_back({&printers[i],
                          {.files = {SnmprecSource(test_data(files[i]), "public")},
                           .ipv6 = true,  // in a namespace the harness waits for [::1] too
                           .netns = lab.host(i)}});
    }
    ASSERT_TRUE(SnmpsimAgent::start_all(starts));

    CommandOptions options;
    options.timeout = std::chrono::milliseconds(60000);
    options.env = {{"PSW_NO_PROGRESS", "1"}};
    const auto start = std::chrono::steady_clock::now();
    const CommandResult result = lab.exec(
        lab.client(),
        {PSW_CLI_PATH, "discover", "10.77.0.0/24", "--timeout", "1000", "--retries", "0", "--json"},
        options);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(result.exit_code, 0) << result.describe();
    EXPECT_EQ(json_eval(result.out, "[d['addresses_asked'], [x['address'] for x in d['devices']]]"),
              "[254, [\"" + lab.host_ipv4(0) + "\", \"" + lab.host_ipv4(2) + "\"]]")
        << result.out;
    // One window is 1 s; asked one after another the 251 silent addresses would take 251 s.
    EXPECT_LT(elapsed, std::chrono::seconds(6)) << "the sweep asks the addresses at once";

    // A range and a file with a bounded number of threads; the table names what was found.
    TempDir dir("psw-sweep-file");
    const std::string file = dir.write("targets", lab.host_ipv4(1) + "\n10.77.0.200\n");
    const CommandResult mixed =
        lab.exec(lab.client(),
                 {PSW_CLI_PATH, "discover", "10.77.0.11-12", "@" + file, "--timeout", "500",
                  "--retries", "0", "--concurrency", "2"},
                 options);
    EXPECT_EQ(mixed.exit_code, 0) << mixed.describe();
    EXPECT_NE(mixed.out.find(lab.host_ipv4(0) + "  "), std::string::npos) << mixed.out;
    EXPECT_NE(mixed.out.find("1 device found among 3 addresses\n"), std::string::npos) << mixed.out;

    const CommandResult none = lab.exec(
        lab.client(),
        {PSW_CLI_PATH, "discover", "10.77.0.100-110", "--timeout", "300", "--retries", "0"},
        options);
    EXPECT_EQ(none.exit_code, 3) << none.describe();
    EXPECT_EQ(none.err,
              "psw: discover: no supported device answered among 11 addresses within 300 ms "
              "each\n");
}

}  // namespace
}  // namespace psw::test
