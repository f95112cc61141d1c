// psw options: the printer's installed options, answered by name.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/option_names.h"
#include "cli/progress.h"
#include "cli/session.h"
#include "cli/table.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

struct Options {
    ConnectionOptions connection;
    bool list = false;
};

struct Value {
    OptionType type = OptionType::integer;
    std::string text;
    int32_t integer = 0;
    bool boolean = false;
};

// One option at one index; PSW_SUCCESS with *value filled, or the failing code.
int32_t read_value(PSWHandle handle, const std::string& name, OptionType type, uint16_t index,
                   Value* value)
{
    value->type = type;
    switch (type) {
        case OptionType::text: {
            char text[PSW_OPTION_TEXT_SIZE] = {};
            const int32_t result = PSWGetOptionValueString(handle, name.c_str(), index, text);
            if (result == PSW_SUCCESS) {
                text[PSW_OPTION_TEXT_SIZE - 1] = '\0';
                value->text = text;
            }
            return result;
        }
        case OptionType::integer:
            return PSWGetOptionValueInteger(handle, name.c_str(), index, &value->integer);
        case OptionType::boolean: {
            int16_t flag = 0;
            const int32_t result = PSWGetOptionValueBoolean(handle, name.c_str(), index, &flag);
            value->boolean = flag != 0;
            return result;
        }
    }
    return PSW_ERR_UNSUPPORTED;
}

struct Answer {
    std::string name;
    bool indexed = false;
    std::vector<Value> values;  // one per index (one when not indexed)
    int32_t code = PSW_SUCCESS;
};

Answer ask(PSWHandle handle, const std::string& name, int32_t input_trays, int32_t output_trays)
{
    Answer answer;
    answer.name = name;
    const OptionName* known = find_option(name);
    std::vector<OptionType> types;
    int32_t count = 1;
    if (known != nullptr) {
        types = {known->type};
        answer.indexed = known->index != OptionIndex::none;
        count = known->index == OptionIndex::input_tray    ? input_trays
                : known->index == OptionIndex::output_tray ? output_trays
                                                           : 1;
    } else {
        // A name this program does not know: ask each value type in turn.
        types = {OptionType::boolean, OptionType::integer, OptionType::text};
    }
    for (const OptionType type : types) {
        answer.values.clear();
        answer.code = PSW_SUCCESS;
        for (int32_t i = 0; i < count && answer.code == PSW_SUCCESS; ++i) {
            Value value;
            answer.code = read_value(handle, name, type, static_cast<uint16_t>(i), &value);
            if (answer.code == PSW_SUCCESS) {
                answer.values.push_back(value);
            }
        }
        if (answer.code != PSW_ERR_UNSUPPORTED) {
            break;
        }
    }
    return answer;
}

std::string value_text(const Value& value)
{
    switch (value.type) {
        case OptionType::text: return value.text;
        case OptionType::integer: return std::to_string(value.integer);
        case OptionType::boolean: return value.boolean ? "yes" : "no";
    }
    return {};
}

Json json_value(const Value& value)
{
    switch (value.type) {
        case OptionType::text: return json_text(value.text);
        case OptionType::integer: return value.integer;
        case OptionType::boolean: return value.boolean;
    }
    return nullptr;
}

int list_names(bool as_json)
{
    if (as_json) {
        Json list = Json::array();
        for (const OptionName& option : known_options()) {
            list.push_back({{"name", option.name},
                            {"type", option_type_name(option.type)},
                            {"per", option.index == OptionIndex::input_tray    ? "input tray"
                                    : option.index == OptionIndex::output_tray ? "output tray"
                                                                               : "printer"}});
        }
        print_json(list);
        return kExitOk;
    }
    Table table({{"NAME"}, {"TYPE"}, {"PER"}});
    for (const OptionName& option : known_options()) {
        table.add_row({option.name, option_type_name(option.type),
                       option.index == OptionIndex::input_tray    ? "input tray"
                       : option.index == OptionIndex::output_tray ? "output tray"
                                                                  : "printer"});
    }
    std::fputs(table.render().c_str(), stdout);
    return 0;
}

int run_options(const CLI::App* command, const Options& options)
{
    std::string error;
    if (!no_unknown_options(command, &error)) {
        return usage_error("options", error);
    }
    const bool as_json = options.connection.json;
    const std::vector<std::string>& words = options.connection.words;
    if (options.list) {
        if (!words.empty()) {
            return usage_error("options", "--list takes no address");
        }
        return list_names(as_json);
    }
    if (words.empty()) {
        return usage_error("options", "a printer address is needed");
    }
    Connection connection;
    if (!read_connection(options.connection, words[0], &connection, &error)) {
        return usage_error("options", error);
    }
    std::vector<std::string> names(words.begin() + 1, words.end());
    if (names.empty()) {
        for (const OptionName& option : known_options()) {
            names.emplace_back(option.name);
        }
    }
    DeviceSession session;
    if (auto failure = session.open(connection, std::nullopt, false,
                                    "model-specific options are not available")) {
        return report("options", *failure, connection, as_json);
    }
    const PSWHandle handle = session.handle();
    const int32_t refreshed =
        run_with_progress("reading options of " + connection.address, std::nullopt,
                          [&] { return PSWRefreshOptions(handle); });
    if (refreshed != PSW_SUCCESS) {
        return report("options", request_failure("reading the options", refreshed, connection),
                      connection, as_json);
    }
    int32_t input_trays = 0;
    int32_t output_trays = 0;
    int32_t result = PSWGetOptionValueInteger(handle, "NumberOfInputTray", 0, &input_trays);
    if (result == PSW_SUCCESS) {
        result = PSWGetOptionValueInteger(handle, "NumberOfOutputTray", 0, &output_trays);
    }
    if (result != PSW_SUCCESS) {
        return report("options", request_failure("reading the number of trays", result, connection),
                      connection, as_json);
    }
    std::vector<Answer> answers;
    for (const std::string& name : names) {
        answers.push_back(ask(handle, name, input_trays, output_trays));
    }

    if (as_json) {
        Json values = Json::object();
        Json errors = Json::array();
        for (const Answer& answer : answers) {
            if (answer.code != PSW_SUCCESS) {
                errors.push_back({{"name", json_text(answer.name)},
                                  {"code", answer.code},
                                  {"meaning", psw_result_meaning(answer.code)}});
                continue;
            }
            if (answer.indexed) {
                Json list = Json::array();
                for (const Value& value : answer.values) {
                    list.push_back(json_value(value));
                }
                values[json_text(answer.name)] = list;
            } else {
                values[json_text(answer.name)] = json_value(answer.values.front());
            }
        }
        print_json(Json{
            {"address", json_text(connection.address)}, {"options", values}, {"errors", errors}});
    } else {
        Table table({{"NAME"}, {"INDEX", Align::right}, {"VALUE"}});
        for (const Answer& answer : answers) {
            if (answer.code != PSW_SUCCESS) {
                continue;
            }
            if (answer.indexed && answer.values.empty()) {
                table.add_row({answer.name, "-", "(no trays)"});
            }
            for (size_t i = 0; i < answer.values.size(); ++i) {
                table.add_row({answer.name, answer.indexed ? std::to_string(i) : "-",
                               value_text(answer.values[i])});
            }
        }
        if (table.rows() > 0) {
            std::fputs(table.render().c_str(), stdout);
        }
    }
    int status = 0;
    for (const Answer& answer : answers) {
        if (answer.code != PSW_SUCCESS) {
            std::fprintf(stderr, "psw: options: %s: %s (%d)\n", answer.name.c_str(),
                         answer.code == PSW_ERR_UNSUPPORTED ? "no such option"
                                                            : psw_result_meaning(answer.code),
                         answer.code);
            status = kExitFailed;
        }
    }
    return status;
}

}  // namespace

void add_options_command(CLI::App& app, int* exit_code)
{
    auto options = std::make_shared<Options>();
    CLI::App* command = add_command(
        app, "options", "installed options by name",
        "ADDRESS [NAME...] [-c C] [--timeout MS] [--retries N] [--ipv6] [--json | --format csv]\n"
        "                   [SNMPv3 options]\n"
        "       psw options --list [--json]",
        "Reads the printer's installed options (scanner, copier, fax unit, hard disk, duplex "
        "module,\n"
        "trays, memory size, ROM version, ...) and shows the named ones, or all of them. Names "
        "are\n"
        "case-sensitive; 'psw options --list' prints every known name. The options are the\n"
        "supported model's own: a printer of another model gives exit 5.");
    add_connection_options(command, &options->connection);
    command->add_flag("--list", options->list,
                      "print the known option names and types, without asking a printer");
    command->callback([=] { *exit_code = run_options(command, *options); });
}

}  // namespace psw::cli
