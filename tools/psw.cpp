// psw: a person's way into libpsw. Uses nothing but the public headers and the shared library.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/logging.h"

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
               "Every command takes -v/--verbose (the library's log on stderr; repeat for more:\n"
               "warnings, info, debug with the datagrams' bytes, trace) and --log-file PATH\n"
               "(the log to PATH instead, rotated to PATH.bak at 4 MiB).\n"
               "Exit status: 0 success, 1 a request failed, 2 wrong arguments.\n",
               out);
    return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> words(argv + 1, argv + argc);
    psw::cli::LogOptions log_options;
    std::string error;
    if (!psw::cli::take_log_options(&words, &log_options, &error)) {
        std::fprintf(stderr, "psw: %s\n", error.c_str());
        return 2;
    }
    if (words.empty()) {
        return usage(stderr);
    }
    const std::string name = words.front();
    if (name == "--help" || name == "-h" || name == "help") {
        return usage(stdout);
    }
    const std::vector<std::string> args(words.begin() + 1, words.end());
    for (const Command& command : kCommands) {
        if (name == command.name) {
            if (!psw::cli::start_library_log(log_options, &error)) {
                std::fprintf(stderr, "psw: %s\n", error.c_str());
                return 1;
            }
            return command.run(args);
        }
    }
    std::fprintf(stderr, "psw: unknown command '%s'\n", name.c_str());
    return usage(stderr);
}
