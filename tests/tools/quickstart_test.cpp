// The quick start as a new user runs it (without installing packages, with the psw built here):
// it must start the simulated printer, find it by its loopback address, show its status and
// stop the printer again.
#include <gtest/gtest.h>

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

    // "$ psw discover 127.0.0.N --community rich" names the address the agent was started on.
    const std::string marker = "$ psw discover 127.0.0.";
    const size_t at = run.out.find(marker);
    ASSERT_NE(at, std::string::npos) << run.out;
    const size_t begin = at + marker.size() - std::string("127.0.0.").size();
    const size_t end = run.out.find(' ', begin);
    ASSERT_NE(end, std::string::npos);
    const std::string address = run.out.substr(begin, end - begin);
    EXPECT_EQ(run.out.substr(end, 18), " --community rich\n") << run.out;
    EXPECT_NE(run.err.find("starting a simulated printer on " + address + ":161"), std::string::npos)
        << run.err;
    // The device it must find: the supported model at the address it started it on.
    const std::string pad(address.size() > 7 ? address.size() - 7 : 0, ' ');
    EXPECT_NE(run.out.find("ADDRESS  " + pad + "MODEL              SYSOBJECTID\n" + address +
                           "  Marlowen-K T7150X  1.3.6.1.4.1.297.1.11.93.1.35.27.1\n1 device found\n"),
              std::string::npos)
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
