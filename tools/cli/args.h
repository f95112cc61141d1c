// Command-line arguments of psw: options of the form --name VALUE, --name=VALUE or --flag, and
// positional words, checked against the options that one command accepts.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace psw::cli {

struct OptionSpec {
    std::string name;         // without the leading "--"
    bool takes_value = false; // --name VALUE
    bool repeatable = false;  // may be given more than once (values are kept in order)
    char short_name = '\0';   // also -c VALUE or -cVALUE (a flag: -c); kept under `name`
};

struct ParsedArgs {
    std::vector<std::string> positionals;
    std::map<std::string, std::vector<std::string>> values;  // options with a value
    std::vector<std::string> flags;                          // options without a value

    bool has_flag(const std::string& name) const;
    // The last value given for the option, or nullopt.
    std::optional<std::string> value(const std::string& name) const;
    // Every value given for a repeatable option, in order.
    std::vector<std::string> all(const std::string& name) const;
};

// Parses `args` (the words after the command name). "--" ends the options. "--help" and "-h" are
// always accepted as the flag "help". An option with a short name is also taken as "-c VALUE"
// or "-cVALUE" (Net-SNMP's tools write their SNMPv3 options that way). On a malformed or unknown option, or an option repeated
// that is not repeatable, returns nullopt and writes a one-line reason to *error.
std::optional<ParsedArgs> parse_args(const std::vector<std::string>& args,
                                     const std::vector<OptionSpec>& specs, std::string* error);

// The options every command takes for the library's log.
struct LogOptions {
    uint32_t verbosity = 0;               // one per -v (-vv counts two) or --verbose
    std::optional<std::string> log_file;  // --log-file PATH
};

// Takes -v, -vv..., --verbose, --log-file PATH and --log-file=PATH out of `args`, wherever they
// stand before a "--", and leaves the other words in order for the command's own parser. False
// with a one-line reason in *error when --log-file lacks its path or is given twice.
bool take_log_options(std::vector<std::string>* args, LogOptions* out, std::string* error);

// Decimal number in [min, max]; nullopt for anything else (signs, spaces, overflow, empty).
std::optional<uint32_t> parse_uint(const std::string& text, uint32_t min, uint32_t max);

}  // namespace psw::cli
