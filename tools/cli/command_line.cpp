#include "cli/command_line.h"

#include <cstdio>
#include <memory>

#include "cli/json_output.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

// Help of a command: its usage line and description (kept together as the CLI11 description),
// then the options as CLI11 lists them.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode mode) const override
    {
        std::string out = app->get_description() + "\n";
        out += make_groups(app, mode);
        return out;
    }
};

std::vector<CommandSummary>& summaries()
{
    static std::vector<CommandSummary> list;
    return list;
}

}  // namespace

const std::vector<CommandSummary>& command_summaries()
{
    return summaries();
}

CLI::App* add_command(CLI::App& app, const std::string& name, const std::string& summary,
                      const std::string& synopsis, const std::string& description)
{
    summaries().push_back({name, summary});
    CLI::App* command =
        app.add_subcommand(name, "usage: psw " + name + " " + synopsis + "\n\n" + description);
    command->formatter(std::make_shared<HelpFormatter>());
    command->set_help_flag("-h,--help", "show this help");
    // Unknown options are reported by the command, in psw's words.
    command->allow_extras();
    return command;
}

void add_connection_options(CLI::App* command, ConnectionOptions* options, bool json)
{
    command->add_option("words", options->words)->expected(0, -1);
    command->add_option("-c,--community", options->community, "read community (default \"public\")")
        ->type_name("C");
    command->add_option("--timeout", options->timeout, "milliseconds per try (default 2000)")
        ->type_name("MS");
    command->add_option("--retries", options->retries, "extra tries (default 1)")->type_name("N");
    command->add_flag("--ipv6", options->ipv6,
                      "use UDP over IPv6 (implied by an IPv6 address; resolves host names to "
                      "IPv6)");
    if (json) {
        command->add_flag("--json", options->json, "one JSON document on stdout");
        add_format_option(command, &options->json);
    }
    add_usm_options(command, &options->usm);
}

void add_format_option(CLI::App* command, bool* json)
{
    command
        ->add_option_function<std::string>(
            "--format",
            [json](const std::string& format) {
                if (format == "json" || format == "csv") {
                    *json = true;
                    set_output_format(format == "csv" ? OutputFormat::csv : OutputFormat::json);
                } else if (format != "text") {
                    throw CLI::ValidationError("--format takes text, json or csv, not '" + format +
                                               "'");
                }
            },
            "text (default), json (as --json) or csv")
        ->type_name("FORMAT");
}

void add_usm_options(CLI::App* command, UsmOptions* options)
{
    const std::string group =
        "SNMPv3 options (any of them selects SNMPv3 with the user-based security model)";
    const auto add = [&](const std::string& names, std::optional<std::string>* value,
                         const std::string& type, const std::string& description) {
        command->add_option(names, *value, description)->type_name(type)->group(group);
    };
    add("-u,--user", &options->user, "NAME", "security name (at most 32 characters)");
    add("-l,--level", &options->level, "LEVEL",
        "noAuthNoPriv, authNoPriv or authPriv (default: from the pass phrases given)");
    add("-a,--auth-protocol", &options->auth_protocol, "P",
        "MD5, SHA, SHA-224, SHA-256, SHA-384 or SHA-512 (default SHA)");
    add("-A,--auth-pass", &options->auth_pass, "PHRASE",
        "authentication pass phrase (8 to 63 characters)");
    add("-x,--priv-protocol", &options->priv_protocol, "P",
        "DES, AES, AES-192 or AES-256 (default AES)");
    add("-X,--priv-pass", &options->priv_pass, "PHRASE",
        "privacy pass phrase (8 to 63 characters)");
    add("-n,--context", &options->context, "NAME", "context name");
}

void add_log_options(CLI::App& app, LogOptions* options)
{
    const auto add_to = [options](CLI::App* target) {
        const std::string group = "Log options (before or after the command)";
        target
            ->add_flag_function(
                "-v,--verbose",
                [options](int64_t count) { options->verbosity += static_cast<uint32_t>(count); },
                "the library's log on stderr; repeat for more: warnings, info, debug with the "
                "datagrams' bytes, trace")
            ->group(group);
        target
            ->add_option(
                "--log-file",
                [options](const CLI::results_t& paths) {
                    for (const std::string& path : paths) {
                        if (options->log_file) {
                            throw CLI::ArgumentMismatch("option '--log-file' given twice");
                        }
                        if (path.empty()) {
                            throw CLI::ArgumentMismatch("option '--log-file' needs a path");
                        }
                        options->log_file = path;
                    }
                    return true;
                },
                "the log to PATH instead of stderr (at least warnings; rotated to PATH.bak at "
                "4 MiB)")
            ->type_size(1)
            ->expected(1)
            ->allow_extra_args(false)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->type_name("PATH")
            ->group(group);
    };
    add_to(&app);
    for (CLI::App* command : app.get_subcommands({})) {
        add_to(command);
    }
}

CLI::Option* add_repeatable_option(CLI::App* command, const std::string& name,
                                   std::vector<std::string>* values, const std::string& description)
{
    return command->add_option(name, *values, description)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

bool no_unknown_options(const CLI::App* command, std::string* error)
{
    const std::vector<std::string> extra = command->remaining();
    if (extra.empty()) {
        return true;
    }
    *error = extra.front().rfind('-', 0) == 0 ? "unknown option '" + extra.front() + "'"
                                              : "unexpected argument '" + extra.front() + "'";
    return false;
}

std::optional<uint32_t> parse_uint(const std::string& text, uint32_t min, uint32_t max)
{
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    uint64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    if (number < min || number > max) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(number);
}

int usage_error(const std::string& command, const std::string& message)
{
    std::fprintf(stderr, "psw: %s: %s\nTry 'psw %s --help'.\n", command.c_str(), message.c_str(),
                 command.c_str());
    return kExitUsage;
}

std::optional<uint32_t> job_kind_of(const std::string& word)
{
    if (word == "all") {
        return PSW_JOB_KIND_ALL;
    }
    if (word == "active") {
        return PSW_JOB_KIND_OTHERS;
    }
    if (word == "done") {
        return PSW_JOB_KIND_SEPARATED;
    }
    return std::nullopt;
}

}  // namespace psw::cli
