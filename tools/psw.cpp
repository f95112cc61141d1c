// psw: a person's way into libpsw. Uses nothing but the public headers and the shared library.
// The commands are CLI11 subcommands (cli/commands.h); this file lists them, answers the
// top-level help and --version, and turns parse errors into psw's usage lines.
#include <cstdio>
#include <string>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/logging.h"
#include "psw/psw.h"

namespace psw::cli {
namespace {

int top_level_usage(FILE* out)
{
    std::fputs("usage: psw <command> [arguments]\n       psw --version\n\ncommands:\n", out);
    for (const CommandSummary& command : command_summaries()) {
        std::fprintf(out, "  %-11s %s\n", command.name.c_str(), command.summary.c_str());
    }
    std::fputs(
        "\n'psw <command> --help' describes a command. Read commands take --json, which\n"
        "also writes a failure as one JSON object {\"error\": ...} on stdout, and\n"
        "--format text|json|csv.\n"
        "Printers are given by address or host name; -c is short for --community.\n"
        "Every device command takes the SNMPv3 options -u, -l, -a, -A, -x, -X and -n.\n"
        "Every command takes -v/--verbose (the library's log on stderr; repeat for more:\n"
        "warnings, info, debug with the datagrams' bytes, trace) and --log-file PATH\n"
        "(the log to PATH instead, rotated to PATH.bak at 4 MiB), before or after the\n"
        "command's name.\n"
        "Exit status: 0 success, 1 a request failed, 2 wrong arguments, 3 no answer,\n"
        "4 wrong community, 5 a printer of another model, 6 the printer refused a write.\n",
        out);
    return out == stdout ? kExitOk : kExitUsage;
}

}  // namespace

int run_program(int argc, char** argv)
{
    CLI::App app("psw: a person's way into libpsw", "psw");
    app.set_help_flag();  // the top-level help is psw's own list of commands
    int exit_code = kExitOk;
    add_discover_command(app, &exit_code);
    add_status_command(app, &exit_code);
    add_jobs_command(app, &exit_code);
    add_cancel_command(app, &exit_code);
    add_options_command(app, &exit_code);
    add_check_command(app, &exit_code);
    add_exporter_command(app, &exit_code);
    add_transports_command(app, &exit_code);
    add_about_command(app, &exit_code);

    // The options of the program itself stand before or after the command's name; the log is
    // switched on once they are all read, before the command runs (its callback comes later).
    LogOptions log_options;
    add_log_options(app, &log_options);
    app.parse_complete_callback([&log_options] {
        std::string error;
        if (!start_library_log(log_options, &error)) {
            std::fprintf(stderr, "psw: %s\n", error.c_str());
            throw CLI::RuntimeError(kExitFailed);  // the command does not run
        }
    });
    if (argc < 2) {
        return top_level_usage(stderr);
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        return top_level_usage(stdout);
    }
    if (first == "--version") {
        std::printf("psw %s (libpsw %s)\n", PSW_VERSION, PSWGetVersion());
        return kExitOk;
    }
    if (first.rfind('-', 0) != 0) {
        bool known = false;
        for (const CLI::App* candidate : app.get_subcommands({})) {
            known = known || candidate->get_name() == first;
        }
        if (!known) {
            std::fprintf(stderr, "psw: unknown command '%s'\n", first.c_str());
            return top_level_usage(stderr);
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::RuntimeError& stopped) {
        return stopped.get_exit_code();
    } catch (const CLI::CallForHelp&) {
        for (const CLI::App* command : app.get_subcommands()) {
            std::fputs(command->help().c_str(), stdout);
        }
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        const auto chosen = app.get_subcommands();
        if (chosen.empty()) {
            std::fprintf(stderr, "psw: %s\n", error.what());
            return top_level_usage(stderr);
        }
        if (chosen.front()->get_name() == "check") {
            // A monitoring plugin's wrong arguments are UNKNOWN (3), on stdout.
            std::printf("PRINTER UNKNOWN - psw check: %s\n", error.what());
            return 3;
        }
        return usage_error(chosen.front()->get_name(), error.what());
    }
    if (app.get_subcommands().empty()) {
        return top_level_usage(stderr);
    }
    return exit_code;
}

}  // namespace psw::cli

int main(int argc, char** argv)
{
    return psw::cli::run_program(argc, argv);
}
