#include "cli/usm_options.h"

#include <strings.h>
#include <cstring>

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
    {"MD5", PSW_USM_AUTH_HMAC_MD5},        {"SHA", PSW_USM_AUTH_HMAC_SHA},
    {"SHA1", PSW_USM_AUTH_HMAC_SHA},       {"SHA-224", PSW_USM_AUTH_HMAC_SHA224},
    {"SHA-256", PSW_USM_AUTH_HMAC_SHA256}, {"SHA-384", PSW_USM_AUTH_HMAC_SHA384},
    {"SHA-512", PSW_USM_AUTH_HMAC_SHA512},
};
constexpr Named kPrivProtocols[] = {
    {"DES", PSW_USM_PRIV_DES},        {"AES", PSW_USM_PRIV_AES},
    {"AES-128", PSW_USM_PRIV_AES},    {"AES-192", PSW_USM_PRIV_AES192},
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

constexpr size_t kMaxUserLength = 32;

}  // namespace

bool read_usm(const UsmOptions& options, std::optional<PSWUSMSettings>* usm, std::string* error)
{
    const bool any = options.user || options.level || options.auth_protocol || options.auth_pass ||
                     options.priv_protocol || options.priv_pass || options.context;
    if (!any) {
        usm->reset();
        return true;
    }
    PSWUSMSettings settings;
    std::memset(&settings, 0, sizeof settings);
    const std::optional<std::string>& auth_pass = options.auth_pass;
    const std::optional<std::string>& priv_pass = options.priv_pass;

    settings.security_level = priv_pass   ? PSW_USM_AUTH_PRIV
                              : auth_pass ? PSW_USM_AUTH_NO_PRIV
                                          : PSW_USM_NO_AUTH_NO_PRIV;
    if (const auto& text = options.level) {
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
    if (const auto& text = options.auth_protocol) {
        auto protocol = code_of(kAuthProtocols, *text);
        if (!protocol) {
            *error = "--auth-protocol takes " + names_of(kAuthProtocols) + ", not '" + *text + "'";
            return false;
        }
        settings.auth_protocol = *protocol;
    }
    if (const auto& text = options.priv_protocol) {
        auto protocol = code_of(kPrivProtocols, *text);
        if (!protocol) {
            *error = "--priv-protocol takes " + names_of(kPrivProtocols) + ", not '" + *text + "'";
            return false;
        }
        settings.priv_protocol = *protocol;
    }

    const auto text_fits = [&](const char* option, const std::optional<std::string>& text,
                               auto& field) {
        if (text && !copy_field(field, *text)) {
            *error = std::string("--") + option + " holds at most " +
                     std::to_string(sizeof field - 1) + " characters";
            return false;
        }
        return true;
    };
    // The record holds more, but a security name has at most 32 characters (RFC 3414), and
    // the library refuses a longer one with the code that otherwise means "another model".
    if (options.user && options.user->size() > kMaxUserLength) {
        *error = "--user holds at most " + std::to_string(kMaxUserLength) + " characters";
        return false;
    }
    if (!text_fits("user", options.user, settings.user_name) ||
        !text_fits("auth-pass", options.auth_pass, settings.auth_pass_phrase) ||
        !text_fits("priv-pass", options.priv_pass, settings.priv_pass_phrase) ||
        !text_fits("context", options.context, settings.context_name)) {
        return false;
    }
    *usm = settings;
    return true;
}

}  // namespace psw::cli
