#include "cli/usm_options.h"

#include <cstring>
#include <strings.h>

namespace psw::cli {

namespace {

struct Named {
    const char* name;
    int32_t code;
};

// Names as Net-SNMP's tools accept them (compared without regard to case).
constexpr Named kLevels[] = {
    {"noAuthNoPriv", PSW_USM_NO_AUTH_NO_PRIV},
    {"authNoPriv", PSW_USM_AUTH_NO_PRIV},
    {"authPriv", PSW_USM_AUTH_PRIV},
};
constexpr Named kAuthProtocols[] = {
    {"MD5", PSW_USM_AUTH_HMAC_MD5},         {"SHA", PSW_USM_AUTH_HMAC_SHA},
    {"SHA1", PSW_USM_AUTH_HMAC_SHA},        {"SHA-224", PSW_USM_AUTH_HMAC_SHA224},
    {"SHA-256", PSW_USM_AUTH_HMAC_SHA256},  {"SHA-384", PSW_USM_AUTH_HMAC_SHA384},
    {"SHA-512", PSW_USM_AUTH_HMAC_SHA512},
};
constexpr Named kPrivProtocols[] = {
    {"DES", PSW_USM_PRIV_DES},         {"AES", PSW_USM_PRIV_AES},
    {"AES-128", PSW_USM_PRIV_AES},     {"AES-192", PSW_USM_PRIV_AES192},
    {"AES-256", PSW_USM_PRIV_AES256},
};

template <size_t N>
std::optional<int32_t> code_of(const Named (&table)[N], const std::string& text)
{
    for (const Named& row : table) {
        if (strcasecmp(row.name, text.c_str()) == 0) {
            return row.code;
        }
    }
    return std::nullopt;
}

template <size_t N>
std::string names_of(const Named (&table)[N])
{
    std::string names;
    for (const Named& row : table) {
        names += names.empty() ? "" : ", ";
        names += row.name;
    }
    return names;
}

// Copies an option's text into a record field; false when it does not fit.
template <size_t N>
bool copy_field(char (&field)[N], const std::string& text)
{
    if (text.size() >= N) {
        return false;
    }
    std::memcpy(field, text.c_str(), text.size() + 1);
    return true;
}

struct TextOption {
    const char* option;
    size_t max_length;
};

}  // namespace

std::vector<OptionSpec> usm_options()
{
    return {
        {"user", true, false, 'u'},          {"level", true, false, 'l'},
        {"auth-protocol", true, false, 'a'}, {"auth-pass", true, false, 'A'},
        {"priv-protocol", true, false, 'x'}, {"priv-pass", true, false, 'X'},
        {"context", true, false, 'n'},
    };
}

const char* usm_help()
{
    return "\n"
           "SNMPv3 options (any of them selects SNMPv3 with the user-based security model):\n"
           "  -u, --user NAME           security name (at most 32 characters)\n"
           "  -l, --level LEVEL         noAuthNoPriv, authNoPriv or authPriv (default: from the\n"
           "                            pass phrases given)\n"
           "  -a, --auth-protocol P     MD5, SHA, SHA-224, SHA-256, SHA-384 or SHA-512 (default SHA)\n"
           "  -A, --auth-pass PHRASE    authentication pass phrase (8 to 63 characters)\n"
           "  -x, --priv-protocol P     DES, AES, AES-192 or AES-256 (default AES)\n"
           "  -X, --priv-pass PHRASE    privacy pass phrase (8 to 63 characters)\n"
           "  -n, --context NAME        context name\n";
}

bool read_usm(const ParsedArgs& parsed, std::optional<PSWUSMSettings>* usm, std::string* error)
{
    bool any = false;
    for (const OptionSpec& spec : usm_options()) {
        any = any || parsed.value(spec.name).has_value();
    }
    if (!any) {
        usm->reset();
        return true;
    }
    PSWUSMSettings settings;
    std::memset(&settings, 0, sizeof settings);
    const std::optional<std::string> auth_pass = parsed.value("auth-pass");
    const std::optional<std::string> priv_pass = parsed.value("priv-pass");

    settings.security_level = priv_pass   ? PSW_USM_AUTH_PRIV
                              : auth_pass ? PSW_USM_AUTH_NO_PRIV
                                          : PSW_USM_NO_AUTH_NO_PRIV;
    if (auto text = parsed.value("level")) {
        auto level = code_of(kLevels, *text);
        if (!level) {
            *error = "--level takes " + names_of(kLevels) + ", not '" + *text + "'";
            return false;
        }
        settings.security_level = *level;
    }
    if (settings.security_level != PSW_USM_NO_AUTH_NO_PRIV) {
        settings.auth_protocol = PSW_USM_AUTH_HMAC_SHA;
    }
    if (settings.security_level == PSW_USM_AUTH_PRIV) {
        settings.priv_protocol = PSW_USM_PRIV_AES;
    }
    if (auto text = parsed.value("auth-protocol")) {
        auto protocol = code_of(kAuthProtocols, *text);
        if (!protocol) {
            *error = "--auth-protocol takes " + names_of(kAuthProtocols) + ", not '" + *text + "'";
            return false;
        }
        settings.auth_protocol = *protocol;
    }
    if (auto text = parsed.value("priv-protocol")) {
        auto protocol = code_of(kPrivProtocols, *text);
        if (!protocol) {
            *error = "--priv-protocol takes " + names_of(kPrivProtocols) + ", not '" + *text + "'";
            return false;
        }
        settings.priv_protocol = *protocol;
    }

    const auto text_fits = [&](const char* option, auto& field) {
        const std::optional<std::string> text = parsed.value(option);
        if (text && !copy_field(field, *text)) {
            *error = std::string("--") + option + " holds at most " +
                     std::to_string(sizeof field - 1) + " characters";
            return false;
        }
        return true;
    };
    if (!text_fits("user", settings.user_name) ||
        !text_fits("auth-pass", settings.auth_pass_phrase) ||
        !text_fits("priv-pass", settings.priv_pass_phrase) ||
        !text_fits("context", settings.context_name)) {
        return false;
    }
    *usm = settings;
    return true;
}

}  // namespace psw::cli
