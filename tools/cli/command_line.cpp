#include "cli/command_line.h"

#include <cstdio>
#include <memory>

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
