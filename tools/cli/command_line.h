// The command line of psw, parsed by CLI11: every command is a subcommand of one CLI::App, and
// the options that several commands share are added by one call each, so a new option is one
// line in the function of its group.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace psw::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;          // a request failed for another reason
constexpr int kExitUsage = 2;           // the command line was wrong
constexpr int kExitNoAnswer = 3;        // nothing answered within time-out and retries
constexpr int kExitWrongCommunity = 4;  // the printer answers another community, not this one
constexpr int kExitOtherModel = 5;      // the printer is not of the supported model
constexpr int kExitRefused = 6;         // the printer refused a write

// The SNMPv3 options as given (Net-SNMP's tools name them so), checked later by read_usm
// (usm_options.h). Any of them makes the command speak SNMPv3.
struct UsmOptions {
    std::optional<std::string> user;           // -u, --user NAME
    std::optional<std::string> level;          // -l, --level LEVEL
    std::optional<std::string> auth_protocol;  // -a, --auth-protocol P
    std::optional<std::string> auth_pass;      // -A, --auth-pass PHRASE
    std::optional<std::string> priv_protocol;  // -x, --priv-protocol P
    std::optional<std::string> priv_pass;      // -X, --priv-pass PHRASE
    std::optional<std::string> context;        // -n, --context NAME
};

// The connection options as given, checked later by read_connection.
struct ConnectionOptions {
    std::vector<std::string> words;  // positionals: the address, then what the command takes
    std::optional<std::string> timeout;
    std::optional<std::string> retries;
    std::optional<std::string> community;
    bool ipv6 = false;
    bool json = false;
    UsmOptions usm;
};

// The options of the library's log, which the whole program takes.
struct LogOptions {
    uint32_t verbosity = 0;               // one per -v (-vv counts two) or --verbose
    std::optional<std::string> log_file;  // --log-file PATH
};

// A subcommand of `app` with psw's help (usage line, description, the options CLI11 lists) and
// extra words kept for the command to judge. `synopsis` follows "usage: psw NAME ".
CLI::App* add_command(CLI::App& app, const std::string& name, const std::string& summary,
                      const std::string& synopsis, const std::string& description);

// --community/-c, --timeout, --retries, --ipv6, the SNMPv3 options (add_usm_options) and the
// positional words; --json and --format (add_format_option) when `json`.
void add_connection_options(CLI::App* command, ConnectionOptions* options, bool json = true);

// --format text|json|csv: json and csv set *json (the command builds its JSON document) and
// make print_json write JSON or CSV (json_output.h).
void add_format_option(CLI::App* command, bool* json);

// The usual command on a printer: add_command, the connection options into
// `options->connection`, and a callback that runs `run(command, *options)` into *exit_code.
// Answers the command, for the options of its own.
template <class Options>
CLI::App* add_connection_command(CLI::App& app, int* exit_code,
                                 const std::shared_ptr<Options>& options,
                                 int (*run)(const CLI::App*, const Options&),
                                 const std::string& name, const std::string& summary,
                                 const std::string& synopsis, const std::string& description)
{
    CLI::App* command = add_command(app, name, summary, synopsis, description);
    add_connection_options(command, &options->connection);
    command->callback([=] { *exit_code = run(command, *options); });
    return command;
}

// -u/--user, -l/--level, -a/--auth-protocol, -A/--auth-pass, -x/--priv-protocol,
// -X/--priv-pass and -n/--context, listed in a group of their own in the help.
void add_usm_options(CLI::App* command, UsmOptions* options);

// -v/--verbose (repeatable: -vv counts two) and --log-file PATH on `app` and on every command
// added to it so far, so that they may stand before or after the command's name; the counts of
// all places add up. A --log-file given twice or with an empty path is a CLI::ParseError.
void add_log_options(CLI::App& app, LogOptions* options);

// An option that takes one value each time it is given and keeps them all, in order.
CLI::Option* add_repeatable_option(CLI::App* command, const std::string& name,
                                   std::vector<std::string>* values,
                                   const std::string& description);

// The words CLI11 left over: an unknown option becomes "unknown option '--x'"; returns false
// and writes the reason then.
bool no_unknown_options(const CLI::App* command, std::string* error);

// Decimal number in [min, max]; nullopt for anything else (signs, spaces, overflow, empty).
std::optional<uint32_t> parse_uint(const std::string& text, uint32_t min, uint32_t max);

// "all", "active", "done" → the PSW_JOB_KIND_... value, else nullopt.
std::optional<uint32_t> job_kind_of(const std::string& word);

// Prints "psw: <command>: <message>" and a pointer to --help on stderr; returns kExitUsage.
int usage_error(const std::string& command, const std::string& message);

struct CommandSummary {
    std::string name;
    std::string summary;
};
// The commands added so far, in order, for the program's own list.
const std::vector<CommandSummary>& command_summaries();

}  // namespace psw::cli
