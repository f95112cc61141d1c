// The SNMPv3 options of psw: Net-SNMP's short forms, the level and protocols they imply, and
// the values refused before any library call.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/usm_options.h"

namespace psw::cli {
namespace {

// The settings of `args` given to a command with the SNMPv3 options, as psw parses them; nullopt
// with *error set when the command line or a value is refused.
std::optional<PSWUSMSettings> settings_of(std::vector<std::string> args, std::string* error)
{
    CLI::App app("test");
    CLI::App* command = add_command(app, "probe", "a probe", "ADDRESS", "Probes.");
    UsmOptions options;
    add_usm_options(command, &options);
    args.insert(args.begin(), "probe");
    std::reverse(args.begin(), args.end());  // CLI11 takes the words last first
    try {
        app.parse(args);
    } catch (const CLI::ParseError& refused) {
        *error = refused.what();
        return std::nullopt;
    }
    if (!no_unknown_options(command, error)) {
        return std::nullopt;
    }
    std::optional<PSWUSMSettings> usm;
    if (!read_usm(options, &usm, error)) {
        *error = "refused: " + *error;
        return std::nullopt;
    }
    return usm;
}

TEST(CliUsmOptions, ShortAndLongFormsGiveTheSameSettings)
{
    const std::vector<std::vector<std::string>> forms = {
        {"-u", "op", "-l", "authPriv", "-a", "SHA-256", "-A", "auth-pass", "-x", "AES-256", "-X",
         "priv-pass", "-n", "ctx"},
        {"-uop", "-lauthPriv", "-aSHA-256", "-Aauth-pass", "-xAES-256", "-Xpriv-pass", "-nctx"},
        {"--user", "op", "--level=authpriv", "--auth-protocol", "sha-256", "--auth-pass",
         "auth-pass", "--priv-protocol=aes-256", "--priv-pass", "priv-pass", "--context", "ctx"},
    };
    for (const auto& form : forms) {
        std::string error;
        const auto usm = settings_of(form, &error);
        ASSERT_TRUE(usm) << error;
        EXPECT_STREQ(usm->user_name, "op");
        EXPECT_EQ(usm->security_level, PSW_USM_AUTH_PRIV);
        EXPECT_EQ(usm->auth_protocol, PSW_USM_AUTH_HMAC_SHA256);
        EXPECT_EQ(usm->priv_protocol, PSW_USM_PRIV_AES256);
        EXPECT_STREQ(usm->auth_pass_phrase, "auth-pass");
        EXPECT_STREQ(usm->priv_pass_phrase, "priv-pass");
        EXPECT_STREQ(usm->context_name, "ctx");
    }
}

TEST(CliUsmOptions, LevelAndProtocolsFollowThePassPhrasesGiven)
{
    struct Case {
        std::vector<std::string> args;
        int32_t level;
        int32_t auth;
        int32_t priv;
    };
    const Case cases[] = {
        {{"-u", "op"}, PSW_USM_NO_AUTH_NO_PRIV, PSW_USM_AUTH_NONE, PSW_USM_PRIV_NONE},
        {{"-u", "op", "-A", "auth-pass"},
         PSW_USM_AUTH_NO_PRIV,
         PSW_USM_AUTH_HMAC_SHA,
         PSW_USM_PRIV_NONE},
        {{"-A", "auth-pass", "-X", "priv-pass"},
         PSW_USM_AUTH_PRIV,
         PSW_USM_AUTH_HMAC_SHA,
         PSW_USM_PRIV_AES},
        {{"-l", "authNoPriv", "-a", "MD5"},
         PSW_USM_AUTH_NO_PRIV,
         PSW_USM_AUTH_HMAC_MD5,
         PSW_USM_PRIV_NONE},
        {{"-x", "DES", "-X", "priv-pass"},
         PSW_USM_AUTH_PRIV,
         PSW_USM_AUTH_HMAC_SHA,
         PSW_USM_PRIV_DES},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto usm = settings_of(c.args, &error);
        ASSERT_TRUE(usm) << error << " " << c.args[0];
        EXPECT_EQ(usm->security_level, c.level) << c.args[0] << " " << c.args[1];
        EXPECT_EQ(usm->auth_protocol, c.auth) << c.args[0] << " " << c.args[1];
        EXPECT_EQ(usm->priv_protocol, c.priv) << c.args[0] << " " << c.args[1];
    }
    std::string error;
    EXPECT_FALSE(settings_of({}, &error).has_value()) << "no option: community-based";
    EXPECT_EQ(error, "");
}

TEST(CliUsmOptions, BadValuesAreRefusedWithTheirReason)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-l", "secret"},
         "refused: --level takes noAuthNoPriv, authNoPriv, authPriv, not 'secret'"},
        {{"-a", "SHA-3"},
         "refused: --auth-protocol takes MD5, SHA, SHA1, SHA-224, SHA-256, "
         "SHA-384, SHA-512, not 'SHA-3'"},
        {{"-x", "3DES"},
         "refused: --priv-protocol takes DES, AES, AES-128, AES-192, AES-256, "
         "not '3DES'"},
        {{"-A", std::string(64, 'p')}, "refused: --auth-pass holds at most 63 characters"},
        {{"-n", std::string(512, 'c')}, "refused: --context holds at most 511 characters"},
        {{"-u", std::string(33, 'u')}, "refused: --user holds at most 32 characters"},
        {{"-u"}, "--user: 1 required NAME missing"},
        {{"-q", "x"}, "unknown option '-q'"},
    };
    for (const auto& [args, reason] : cases) {
        std::string error;
        EXPECT_FALSE(settings_of(args, &error).has_value()) << args[0];
        EXPECT_EQ(error, reason);
    }
}

}  // namespace
}  // namespace psw::cli
