#include "cli/args.h"

#include <algorithm>

namespace psw::cli {

bool ParsedArgs::has_flag(const std::string& name) const
{
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::optional<std::string> ParsedArgs::value(const std::string& name) const
{
    const auto it = values.find(name);
    if (it == values.end() || it->second.empty()) {
        return std::nullopt;
    }
    return it->second.back();
}

std::vector<std::string> ParsedArgs::all(const std::string& name) const
{
    const auto it = values.find(name);
    return it == values.end() ? std::vector<std::string>{} : it->second;
}

std::optional<ParsedArgs> parse_args(const std::vector<std::string>& args,
                                     const std::vector<OptionSpec>& specs, std::string* error)
{
    ParsedArgs parsed;
    bool options_ended = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (options_ended || word.size() < 2 || word[0] != '-' || word == "-") {
            parsed.positionals.push_back(word);
            continue;
        }
        if (word == "--") {
            options_ended = true;
            continue;
        }
        if (word == "-h" || word == "--help") {
            parsed.flags.push_back("help");
            continue;
        }
        std::string name;
        std::optional<std::string> inline_value;
        auto spec = specs.end();
        if (word.rfind("--", 0) == 0) {
            name = word.substr(2);
            if (const size_t equals = name.find('='); equals != std::string::npos) {
                inline_value = name.substr(equals + 1);
                name.resize(equals);
            }
            spec = std::find_if(specs.begin(), specs.end(),
                                [&](const OptionSpec& s) { return s.name == name; });
            if (spec == specs.end()) {
                *error = "unknown option '--" + name + "'";
                return std::nullopt;
            }
        } else {
            spec = std::find_if(specs.begin(), specs.end(),
                                [&](const OptionSpec& s) { return s.short_name == word[1]; });
            if (spec == specs.end() || (!spec->takes_value && word.size() > 2)) {
                *error = "unknown option '" + word + "'";
                return std::nullopt;
            }
            name = spec->name;
            if (word.size() > 2) {
                inline_value = word.substr(2);
            }
        }
        if (!spec->takes_value) {
            if (inline_value) {
                *error = "option '--" + name + "' takes no value";
                return std::nullopt;
            }
            if (!spec->repeatable && parsed.has_flag(name)) {
                *error = "option '--" + name + "' given twice";
                return std::nullopt;
            }
            parsed.flags.push_back(name);
            continue;
        }
        std::string value;
        if (inline_value) {
            value = *inline_value;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            *error = "option '--" + name + "' needs a value";
            return std::nullopt;
        }
        auto& slot = parsed.values[name];
        if (!spec->repeatable && !slot.empty()) {
            *error = "option '--" + name + "' given twice";
            return std::nullopt;
        }
        slot.push_back(value);
    }
    return parsed;
}

bool take_log_options(std::vector<std::string>* args, LogOptions* out, std::string* error)
{
    std::vector<std::string> kept;
    bool options_ended = false;
    for (size_t i = 0; i < args->size(); ++i) {
        const std::string& word = (*args)[i];
        if (options_ended) {
            kept.push_back(word);
            continue;
        }
        if (word == "--") {
            options_ended = true;
            kept.push_back(word);
        } else if (word.size() >= 2 && word[0] == '-' &&
                   word.find_first_not_of('v', 1) == std::string::npos) {
            out->verbosity += static_cast<uint32_t>(word.size() - 1);
        } else if (word == "--verbose") {
            ++out->verbosity;
        } else if (word == "--log-file" || word.rfind("--log-file=", 0) == 0) {
            if (out->log_file) {
                *error = "option '--log-file' given twice";
                return false;
            }
            if (word.size() > 10) {
                out->log_file = word.substr(11);
            } else if (i + 1 < args->size()) {
                out->log_file = (*args)[++i];
            }
            if (!out->log_file || out->log_file->empty()) {
                *error = "option '--log-file' needs a path";
                return false;
            }
        } else {
            kept.push_back(word);
        }
    }
    *args = std::move(kept);
    return true;
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

}  // namespace psw::cli
