// The exporter command of a build without the HTTP library (the Windows cross build): the
// command exists, says why it cannot run, and exits with the usage code.
#include <cstdio>

#include "cli/command_line.h"
#include "cli/commands.h"

namespace psw::cli {

void add_exporter_command(CLI::App& app, int* exit_code)
{
    CLI::App* command = add_command(app, "exporter", "serve printer metrics to Prometheus",
                                    "[--config FILE] [--listen HOST:PORT]",
                                    "Not available in this build: it was made without the HTTP "
                                    "library the exporter serves with.");
    command->allow_extras();
    command->callback([=] {
        std::fprintf(stderr, "psw exporter: not available in this build (no HTTP library)\n");
        *exit_code = kExitUsage;
    });
}

}  // namespace psw::cli
