// psw check: one printer judged as a monitoring plugin judges: one status line with performance
// data, exit 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN (also for wrong arguments).
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/check_rules.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/printer_read.h"
#include "cli/session.h"

namespace psw::cli {

namespace {

struct Options {
    ConnectionOptions connection;
    std::optional<std::string> warning;
    std::optional<std::string> critical;
    std::optional<std::string> tray_low;
    std::vector<std::string> type_thresholds;
    std::vector<std::string> excludes;
};

int unknown(const std::string& message, bool json)
{
    CheckResult result;
    result.state = CheckState::unknown;
    result.summary = message;
    if (json) {
        print_json(Json{{"state", "UNKNOWN"}, {"exit_code", 3}, {"summary", json_text(message)}});
    } else {
        std::printf("%s\n", check_line(result).c_str());
    }
    return static_cast<int>(CheckState::unknown);
}

bool read_percent(const std::optional<std::string>& text, const char* option, int* value,
                  std::string* error)
{
    if (!text) {
        return true;
    }
    const auto parsed = parse_uint(*text, 0, 100);
    if (!parsed) {
        *error = std::string(option) + " takes a percentage from 0 to 100, not '" + *text + "'";
        return false;
    }
    *value = static_cast<int>(*parsed);
    return true;
}

bool read_settings(const Options& options, CheckSettings* settings, std::string* error)
{
    if (!read_percent(options.warning, "--warning", &settings->supplies.warning, error) ||
        !read_percent(options.critical, "--critical", &settings->supplies.critical, error) ||
        !read_percent(options.tray_low, "--tray-low", &settings->tray_low, error) ||
        !valid_thresholds(settings->supplies, error)) {
        return false;
    }
    for (const std::string& text : options.type_thresholds) {
        if (!parse_type_threshold(text, settings, error)) {
            return false;
        }
    }
    settings->excludes = options.excludes;
    return true;
}

void print_json_check(const CheckResult& result)
{
    Json problems = Json::array();
    for (const CheckProblem& problem : result.problems) {
        problems.push_back(
            {{"state", check_state_name(problem.state)}, {"text", json_text(problem.text)}});
    }
    Json perfdata = Json::array();
    for (const PerfDatum& datum : result.perfdata) {
        perfdata.push_back({{"label", json_text(datum.label)},
                            {"percent", datum.value},
                            {"warning", datum.warning},
                            {"critical", datum.critical}});
    }
    print_json(Json{{"state", check_state_name(result.state)},
                    {"exit_code", static_cast<int>(result.state)},
                    {"summary", json_text(result.summary)},
                    {"problems", problems},
                    {"perfdata", perfdata}});
}

int run_check(const CLI::App* command, const Options& options)
{
    const bool json = options.connection.json;
    std::string error;
    if (!no_unknown_options(command, &error)) {
        return unknown("psw check: " + error, json);
    }
    if (options.connection.words.size() != 1) {
        return unknown("psw check: exactly one printer address is needed", json);
    }
    CheckSettings settings;
    Connection connection;
    if (!read_settings(options, &settings, &error) ||
        !read_connection(options.connection, options.connection.words[0], &connection, &error)) {
        return unknown("psw check: " + error, json);
    }
    const PrinterSnapshot snapshot = read_printer(connection);
    const CheckResult result = evaluate_check(snapshot, connection.shown(), settings);
    if (json) {
        print_json_check(result);
    } else {
        std::printf("%s\n", check_line(result).c_str());
    }
    return static_cast<int>(result.state);
}

}  // namespace

void add_check_command(CLI::App& app, int* exit_code)
{
    auto options = std::make_shared<Options>();
    CLI::App* command = add_connection_command(
        app, exit_code, options, run_check, "check",
        "judge a printer as a monitoring plugin (exit 0 OK ... 3 UNKNOWN)",
        "ADDRESS [--warning PCT] [--critical PCT] [--supply-threshold TYPE=WARN,CRIT]...\n"
        "                 [--tray-low PCT] [--exclude TEXT]... [connection options] [--json]",
        "Reads one printer of any model and prints one line in the format of monitoring\n"
        "plugins: \"PRINTER <STATE> - <what is wrong, or a summary> | <performance data>\",\n"
        "with one datum per supply and tray percentage: 'Black Toner'=80%;20:;10:;0;100.\n"
        "Exit status: 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN (no answer, wrong arguments).\n"
        "A supply below --warning (default 20) percent warns, below --critical (default 10)\n"
        "is critical; --supply-threshold waste-toner=30,15 sets both for one supply type.\n"
        "An empty tray, or one below --tray-low (default 10) percent, warns. Printer error\n"
        "conditions (jammed, doorOpen, noToner, ... critical; lowToner, ... warning) and alerts\n"
        "of severity critical or warning count too. --exclude TEXT leaves out supplies, trays\n"
        "and alerts whose name contains TEXT (any case), and the error condition named TEXT.");
    command->add_option("--warning", options->warning, "supply warning percentage (default 20)")
        ->type_name("PCT");
    command->add_option("--critical", options->critical, "supply critical percentage (default 10)")
        ->type_name("PCT");
    command->add_option("--tray-low", options->tray_low, "tray low percentage (default 10)")
        ->type_name("PCT");
    add_repeatable_option(command, "--supply-threshold", &options->type_thresholds,
                          "TYPE=WARN,CRIT for one supply type (repeatable)");
    add_repeatable_option(command, "--exclude", &options->excludes,
                          "leave out what is named so (repeatable)");
}

}  // namespace psw::cli
