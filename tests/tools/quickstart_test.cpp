// The quick start as a new user runs it (without installing packages, with the psw built here):
// it must start the simulated printer, find it by its loopback address, show its status and
// stop the printer again.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/loopback_pool.h"
#include "support/peer_requirements.h"
#include "support/process.h"
#include "tools/cli_runner.h"

namespace psw::test {
namespace {

TEST(Quickstart, FindsTheSimulatedPrinterShowsItsStatusAndStopsIt)
{
    PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools, Peer::python3);
    CommandOptions options;
    options.timeout = std::chrono::milliseconds(120000);
    options.env = {{"PSW_NO_PROGRESS", std::nullopt}};
    const CommandResult run = run_command(
        {"bash", std::string(PSW_SOURCE_DIR) + "/tools/quickstart.sh", "--no-install", "--psw", PSW_CLI_PATH},
        options);
    PSW_SKIP_IF_NO_DEVICE_LAYER(run);
    ASSERT_EQ(run.exit_code, 0) << run.describe() << "\nstdout:\n" << run.out;

    std::smatch match;
    ASSERT_TRUE(std::regex_search(run.out, match,
                                  std::regex(R"(\$ psw discover (127\.0\.0\.[0-9]+) --community rich)")))
        << run.out;
    const std::string address = match[1];
    EXPECT_NE(run.err.find("starting a simulated printer on " + address + ":161"), std::string::npos)
        << run.err;
    // The device it must find: the supported model at the address it started it on.
    EXPECT_TRUE(std::regex_search(
        run.out, std::regex("\n" + std::regex_replace(address, std::regex(R"(\.)"), R"(\.)") +
                            R"( +Marlowen-K T7150X +1\.3\.6\.1\.4\.1\.297\.1\.11\.93\.1\.35\.27\.1\n1 device found\n)")))
        << run.out;
    EXPECT_NE(run.out.find("$ psw status " + address + " --community rich"), std::string::npos);
    EXPECT_NE(run.out.find("Printer " + address + "\n  status  idle\n  errors  lowToner, inputTrayEmpty\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\nHardware devices\n"), std::string::npos);
    // The simulated printer is gone once the script has ended.
    EXPECT_TRUE(udp_port_free(address, 161)) << "something still listens on " << address << ":161";
}

TEST(Quickstart, RefusesUnknownOptionsAndShowsHelp)
{
    const CommandResult help =
        run_command({"bash", std::string(PSW_SOURCE_DIR) + "/tools/quickstart.sh", "--help"});
    EXPECT_EQ(help.exit_code, 0) << help.describe();
    EXPECT_NE(help.out.find("tools/quickstart.sh ADDRESS"), std::string::npos) << help.out;
    const CommandResult wrong =
        run_command({"bash", std::string(PSW_SOURCE_DIR) + "/tools/quickstart.sh", "--frob"});
    EXPECT_EQ(wrong.exit_code, 2);
    EXPECT_EQ(wrong.err, "quickstart: unknown option '--frob'\n");
}

}  // namespace
}  // namespace psw::test
