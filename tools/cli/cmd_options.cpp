// psw options: the printer's installed options, answered by name.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/option_names.h"
#include "cli/progress.h"
#include "cli/session.h"
#include "cli/table.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

constexpr const char* kHelp =
    "usage: psw options ADDRESS [NAME...] [--community C] [--timeout MS] [--retries N] [--ipv6]\n"
    "                   [--json] [SNMPv3 options]\n"
    "\n"
    "Reads the printer's installed options (scanner, copier, fax unit, hard disk, duplex module,\n"
    "trays, memory size, ROM version, ...) and shows the named ones, or all of them. Names are\n"
    "case-sensitive; 'psw options --list' prints every known name.\n"
    "\n"
    "options:\n"
    "  --list          print the known option names and types, without asking a printer\n"
    "  --community C   read community (default \"public\")\n"
    "  --timeout MS    milliseconds per try (default 2000)\n"
    "  --retries N     extra tries (default 1)\n"
    "  --ipv6          use UDP over IPv6 (implied by an IPv6 address)\n"
    "  --json          one JSON document on stdout\n";

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

void json_value(JsonWriter& json, const Value& value)
{
    switch (value.type) {
    case OptionType::text: json.string(value.text); break;
    case OptionType::integer: json.number(value.integer); break;
    case OptionType::boolean: json.boolean(value.boolean); break;
    }
}

int list_names(bool as_json)
{
    if (as_json) {
        JsonWriter json;
        json.begin_array();
        for (const OptionName& option : known_options()) {
            json.begin_object()
                .key("name").string(option.name)
                .key("type").string(option_type_name(option.type))
                .key("per").string(option.index == OptionIndex::input_tray    ? "input tray"
                                   : option.index == OptionIndex::output_tray ? "output tray"
                                                                              : "printer")
                .end_object();
        }
        json.end_array();
        std::fputs(json.str().c_str(), stdout);
        return 0;
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

}  // namespace

int run_options(const Args& args)
{
    std::vector<OptionSpec> specs = connection_options();
    specs.push_back({"list", false});
    std::string error;
    auto parsed = parse_args(args, specs, &error);
    if (!parsed) {
        return usage_error("options", error);
    }
    if (parsed->has_flag("help")) {
        std::fputs(kHelp, stdout);
        std::fputs(usm_help(), stdout);
        return 0;
    }
    const bool as_json = parsed->has_flag("json");
    if (parsed->has_flag("list")) {
        if (!parsed->positionals.empty()) {
            return usage_error("options", "--list takes no address");
        }
        return list_names(as_json);
    }
    if (parsed->positionals.empty()) {
        return usage_error("options", "a printer address is needed");
    }
    Connection connection;
    if (!read_connection(*parsed, parsed->positionals[0], &connection, &error)) {
        return usage_error("options", error);
    }
    std::vector<std::string> names(parsed->positionals.begin() + 1, parsed->positionals.end());
    if (names.empty()) {
        for (const OptionName& option : known_options()) {
            names.emplace_back(option.name);
        }
    }
    DeviceSession session;
    if (const int32_t result = session.open(connection, std::nullopt); result != PSW_SUCCESS) {
        return report_failure("options", "cannot set up " + connection.address, result, connection);
    }
    const PSWHandle handle = session.handle();
    const int32_t refreshed = run_with_progress("reading options of " + connection.address,
                                                std::nullopt,
                                                [&] { return PSWRefreshOptions(handle); });
    if (refreshed != PSW_SUCCESS) {
        return report_failure("options", "reading the options", refreshed, connection);
    }
    int32_t input_trays = 0;
    int32_t output_trays = 0;
    int32_t result = PSWGetOptionValueInteger(handle, "NumberOfInputTray", 0, &input_trays);
    if (result == PSW_SUCCESS) {
        result = PSWGetOptionValueInteger(handle, "NumberOfOutputTray", 0, &output_trays);
    }
    if (result != PSW_SUCCESS) {
        return report_failure("options", "reading the number of trays", result, connection);
    }
    std::vector<Answer> answers;
    for (const std::string& name : names) {
        answers.push_back(ask(handle, name, input_trays, output_trays));
    }

    if (as_json) {
        JsonWriter json;
        json.begin_object().key("address").string(connection.address);
        json.key("options").begin_object();
        for (const Answer& answer : answers) {
            if (answer.code != PSW_SUCCESS) {
                continue;
            }
            json.key(answer.name);
            if (answer.indexed) {
                json.begin_array();
                for (const Value& value : answer.values) {
                    json_value(json, value);
                }
                json.end_array();
            } else {
                json_value(json, answer.values.front());
            }
        }
        json.end_object();
        json.key("errors").begin_array();
        for (const Answer& answer : answers) {
            if (answer.code != PSW_SUCCESS) {
                json.begin_object()
                    .key("name").string(answer.name)
                    .key("code").number(answer.code)
                    .key("meaning").string(psw_result_meaning(answer.code))
                    .end_object();
            }
        }
        json.end_array().end_object();
        std::fputs(json.str().c_str(), stdout);
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
            status = 1;
        }
    }
    return status;
}

}  // namespace psw::cli
