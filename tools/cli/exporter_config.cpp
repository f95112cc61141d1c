#include "cli/exporter_config.h"

#include <algorithm>
#include <sstream>

namespace psw::cli {

namespace {

std::string trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool valid_name(const std::string& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_' || c == '.';
    });
}

bool set_profile_key(ConnectionOptions& profile, const std::string& key, const std::string& value)
{
    const std::pair<const char*, std::optional<std::string>*> keys[] = {
        {"community", &profile.community},     {"timeout", &profile.timeout},
        {"retries", &profile.retries},         {"user", &profile.usm.user},
        {"level", &profile.usm.level},         {"auth-protocol", &profile.usm.auth_protocol},
        {"auth-pass", &profile.usm.auth_pass}, {"priv-protocol", &profile.usm.priv_protocol},
        {"priv-pass", &profile.usm.priv_pass}, {"context", &profile.usm.context},
    };
    for (const auto& [name, field] : keys) {
        if (key == name) {
            *field = value;
            return true;
        }
    }
    if (key == "ipv6" && (value == "yes" || value == "no")) {
        profile.ipv6 = value == "yes";
        return true;
    }
    return false;
}

}  // namespace

bool parse_listen_address(const std::string& text, std::string* host, uint16_t* port,
                          std::string* error)
{
    const size_t colon = text.rfind(':');
    std::string name = colon == std::string::npos ? std::string() : text.substr(0, colon);
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
        name = name.substr(1, name.size() - 2);
    } else if (name.find(':') != std::string::npos) {
        name.clear();  // an IPv6 address needs its brackets here
    }
    const auto number =
        colon == std::string::npos ? std::nullopt : parse_uint(text.substr(colon + 1), 1, 65535);
    if (name.empty() || !number) {
        *error = "listen takes HOST:PORT or [IPV6]:PORT (port 1 to 65535), not '" + text + "'";
        return false;
    }
    *host = name;
    *port = static_cast<uint16_t>(*number);
    return true;
}

bool parse_exporter_config(const std::string& text, const std::string& source,
                           ExporterConfig* config, std::string* error)
{
    ExporterConfig result;
    result.profiles["default"] = ConnectionOptions{};
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    enum class Section { settings, profile, printer } section = Section::settings;
    std::string section_name;
    bool default_seen = false;
    const auto fail = [&](const std::string& message) {
        *error = source + ":" + std::to_string(number) + ": " + message;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        const size_t hash = line.find('#');
        const std::string content = trim(hash == std::string::npos ? line : line.substr(0, hash));
        if (content.empty()) {
            continue;
        }
        if (content.front() == '[') {
            if (content.back() != ']') {
                return fail("a section line is [profile NAME] or [printer NAME]");
            }
            std::istringstream words(content.substr(1, content.size() - 2));
            std::string kind;
            std::string name;
            std::string rest;
            words >> kind >> name >> rest;
            if ((kind != "profile" && kind != "printer") || !rest.empty()) {
                return fail("a section line is [profile NAME] or [printer NAME], not " + content);
            }
            if (!valid_name(name)) {
                return fail("a " + kind + " name holds letters, digits, '-', '_' and '.'");
            }
            section_name = name;
            if (kind == "profile") {
                section = Section::profile;
                if (result.profile_lines.count(name) != 0 || (name == "default" && default_seen)) {
                    return fail("profile '" + name + "' is defined twice");
                }
                default_seen = default_seen || name == "default";
                result.profiles[name] = ConnectionOptions{};
                result.profile_lines[name] = number;
            } else {
                section = Section::printer;
                for (const ExporterPrinter& printer : result.printers) {
                    if (printer.name == name) {
                        return fail("printer '" + name + "' is defined twice");
                    }
                }
                result.printers.push_back({name, "", "default", number});
            }
            continue;
        }
        const size_t equals = content.find('=');
        if (equals == std::string::npos) {
            return fail("expected KEY = VALUE, not '" + content + "'");
        }
        const std::string key = trim(content.substr(0, equals));
        const std::string value = trim(content.substr(equals + 1));
        if (value.empty()) {
            return fail("'" + key + "' needs a value");
        }
        if (section == Section::settings) {
            if (key == "listen") {
                if (!parse_listen_address(value, &result.listen_host, &result.listen_port, error)) {
                    return fail(*error);
                }
            } else if (key == "concurrency") {
                const auto parsed = parse_uint(value, 1, 256);
                if (!parsed) {
                    return fail("concurrency takes a number from 1 to 256, not '" + value + "'");
                }
                result.concurrency = *parsed;
            } else if (key == "scrape-timeout") {
                const auto parsed = parse_uint(value, 100, 600000);
                if (!parsed) {
                    return fail("scrape-timeout takes milliseconds from 100 to 600000, not '" +
                                value + "'");
                }
                result.scrape_timeout_ms = *parsed;
            } else {
                return fail("unknown setting '" + key +
                            "' (listen, concurrency, scrape-timeout; profiles and printers go "
                            "in their sections)");
            }
        } else if (section == Section::profile) {
            if (!set_profile_key(result.profiles[section_name], key, value)) {
                return fail("unknown key '" + key + "' in [profile " + section_name +
                            "] (community, timeout, retries, ipv6, user, level, auth-protocol, "
                            "auth-pass, priv-protocol, priv-pass, context)");
            }
        } else {
            ExporterPrinter& printer = result.printers.back();
            if (key == "address") {
                printer.address = value;
            } else if (key == "profile") {
                printer.profile = value;
            } else {
                return fail("unknown key '" + key + "' in [printer " + section_name +
                            "] (address, profile)");
            }
        }
    }
    for (const ExporterPrinter& printer : result.printers) {
        number = printer.line;
        if (printer.address.empty()) {
            return fail("printer '" + printer.name + "' has no address");
        }
        if (result.profiles.count(printer.profile) == 0) {
            return fail("printer '" + printer.name + "' names the unknown profile '" +
                        printer.profile + "'");
        }
    }
    *config = std::move(result);
    return true;
}

}  // namespace psw::cli
