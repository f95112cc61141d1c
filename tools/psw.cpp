// psw: a person's way into libpsw. Uses nothing but the public headers and the shared library.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const psw::cli::Args&);
    const char* summary;
};

constexpr Command kCommands[] = {
    {"discover", psw::cli::run_discover, "find printers of the supported model"},
    {"status", psw::cli::run_status, "printer status, trays, toner, alerts, storage, devices"},
    {"jobs", psw::cli::run_jobs, "the printer's jobs"},
    {"cancel", psw::cli::run_cancel, "cancel a job"},
    {"options", psw::cli::run_options, "installed options by name"},
    {"transports", psw::cli::run_transports, "which transports this machine can use"},
    {"about", psw::cli::run_about, "what this build of libpsw offers"},
};

int usage(FILE* out)
{
    std::fputs("usage: psw <command> [arguments]\n\ncommands:\n", out);
    for (const Command& command : kCommands) {
        std::fprintf(out, "  %-11s %s\n", command.name, command.summary);
    }
    std::fputs("\n'psw <command> --help' describes a command. Read commands take --json.\n"
               "Exit status: 0 success, 1 a request failed, 2 wrong arguments.\n",
               out);
    return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return usage(stderr);
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        return usage(stdout);
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const Command& command : kCommands) {
        if (name == command.name) {
            return command.run(args);
        }
    }
    std::fprintf(stderr, "psw: unknown command '%s'\n", name.c_str());
    return usage(stderr);
}
