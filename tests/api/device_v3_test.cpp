// The exported device session over SNMPv3: Net-SNMP snmpd with SNMPv3 users forwards a
// simulated printer (snmpsim) with proxy lines, so the same printer is read over SNMPv1 straight
// from snmpsim and over SNMPv3 through snmpd. Every record and option must come out the same,
// for every user level and protocol pair; job cancel needs a read-write user; bad credentials
// give their codes quickly and print nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "api/device_transcript.h"
#include "psw/psw.h"
#include "support/agent_harness.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr uint32_t kTimeout = 1500;
constexpr uint32_t kRetries = 1;
// Each suite starts its own agent, whose engine starts again at boots 1, time 0. Net-SNMP keeps
// the engine's boots and time for the whole process and never lets them go back, so an agent
// started again under the same engine id would refuse every authenticated request once more
// than the 150 s time window has passed (it does under valgrind): every start gets its own id.
std::string next_engine_id()
{
    static int starts = 0;
    char id[32];
    std::snprintf(id, sizeof id, "0x80001f8880c0ffee%04x", ++starts);
    return id;
}
constexpr const char* kAuthPass = "auth-pass-phrase";
constexpr const char* kPrivPass = "priv-pass-phrase";

struct V3User {
    const char* name;
    int32_t level;
    int32_t auth;
    int32_t priv;
    const char* agent_auth;  // snmpd createUser protocol names
    const char* agent_priv;
    const char* access;
};

const V3User kUsers[] = {
    {"plain", PSW_USM_NO_AUTH_NO_PRIV, PSW_USM_AUTH_NONE, PSW_USM_PRIV_NONE, "", "", "rwuser"},
    {"md5des", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_MD5, PSW_USM_PRIV_DES, "MD5", "DES", "rwuser"},
    {"shaaes", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA, PSW_USM_PRIV_AES, "SHA", "AES", "rwuser"},
    {"sha224", PSW_USM_AUTH_NO_PRIV, PSW_USM_AUTH_HMAC_SHA224, PSW_USM_PRIV_NONE, "SHA-224", "",
     "rwuser"},
    {"sha256aes192", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA256, PSW_USM_PRIV_AES192, "SHA-256",
     "AES-192", "rwuser"},
    {"sha384aes256", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA384, PSW_USM_PRIV_AES256, "SHA-384",
     "AES-256", "rwuser"},
    {"sha512aes256", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA512, PSW_USM_PRIV_AES256, "SHA-512",
     "AES-256", "rwuser"},
    {"reader", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA, PSW_USM_PRIV_AES, "SHA", "AES", "rouser"},
};

PSWUSMSettings settings_of(const char* user, int32_t level, int32_t auth, int32_t priv,
                           const char* auth_pass = kAuthPass, const char* priv_pass = kPrivPass)
{
    PSWUSMSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::snprintf(settings.user_name, sizeof settings.user_name, "%s", user);
    settings.security_level = level;
    settings.auth_protocol = auth;
    settings.priv_protocol = priv;
    std::snprintf(settings.auth_pass_phrase, sizeof settings.auth_pass_phrase, "%s", auth_pass);
    std::snprintf(settings.priv_pass_phrase, sizeof settings.priv_pass_phrase, "%s", priv_pass);
    return settings;
}

PSWUSMSettings settings_of(const V3User& user)
{
    return settings_of(user.name, user.level, user.auth, user.priv);
}

// Every record query, printer information, character sets and options of a set-up handle.
std::string read_everything(PSWHandle handle)
{
    static constexpr const char* kOptions[] = {
        "PrinterRomVersion", "SysName", "InputTrayName", "NumberOfInputTray",
        "MemorySizeInKByte", "Scanner", "DuplexModule",  "FAXUnit"};
    Transcript out;
    read_device(handle, out, kOptions, 1);
    return out.text();
}

class DeviceV3Test : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (peer_unavailable({Peer::root, Peer::snmpsim, Peer::snmpd, Peer::netsnmp_tools})) {
            return;
        }
        printer = new SnmpsimAgent();
        agent = new SnmpdAgent();
        started = printer->start({.files = {test_data("printers/rich.snmprec")}});
        if (!started) {
            return;
        }
        SnmpdOptions options;
        options.engine_id = next_engine_id();
        for (const V3User& user : kUsers) {
            const bool auth = user.level != PSW_USM_NO_AUTH_NO_PRIV;
            const bool priv = user.level == PSW_USM_AUTH_PRIV;
            options.users.push_back({.name = user.name,
                                     .auth_proto = user.agent_auth,
                                     .auth_pass = auth ? kAuthPass : "",
                                     .priv_proto = user.agent_priv,
                                     .priv_pass = priv ? kPrivPass : "",
                                     .access = user.access});
        }
        forward_printer(options, printer->address(), "rich");
        started = agent->start(options);
    }
    static void TearDownTestSuite()
    {
        delete agent;
        delete printer;
        agent = nullptr;
        printer = nullptr;
    }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::snmpd, Peer::netsnmp_tools);
        ASSERT_TRUE(agent != nullptr && static_cast<bool>(started)) << started.message();
        ASSERT_EQ(PSWInit(&handle), PSW_SUCCESS);
    }
    void TearDown() override { PSWUnInit(handle); }

    int32_t init_v3(const PSWUSMSettings& settings)
    {
        return PSWInitDeviceEx(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4,
                               PSW_SECURITY_MODE_V3, settings, kTimeout, kRetries);
    }

    // The reading over SNMPv1 straight from snmpsim, made once.
    static const std::string& v1_reading()
    {
        static std::string text;
        if (text.empty()) {
            PSWHandle v1 = nullptr;
            if (PSWInit(&v1) != PSW_SUCCESS) {
                return text;
            }
            PSWCommandString(v1, PSW_CMD_SET_COMMUNITY_GET_OPTION, "rich");
            if (PSWInitDevice(v1, printer->address().c_str(), PSW_TRANSPORT_UDP_IPV4, kTimeout,
                              kRetries) == PSW_SUCCESS) {
                text = read_everything(v1);
            }
            PSWUnInit(v1);
        }
        return text;
    }

    // The value of the cancel object of job 1046 as snmpsim holds it.
    static std::string cancel_object()
    {
        const CommandResult got =
            printer->tools().get(printer->target(), SnmpCredentials::v2c("rich"),
                                 {"1.3.6.1.4.1.253.8.76.3.2.1.1.101.4.49.48.52.54"});
        return got.out;
    }

    PSWHandle handle = nullptr;
    static SnmpsimAgent* printer;
    static SnmpdAgent* agent;
    static ::testing::AssertionResult started;
};

SnmpsimAgent* DeviceV3Test::printer = nullptr;
SnmpdAgent* DeviceV3Test::agent = nullptr;
::testing::AssertionResult DeviceV3Test::started = ::testing::AssertionFailure();

class DeviceV3UserTest : public DeviceV3Test, public ::testing::WithParamInterface<V3User> {};

TEST_P(DeviceV3UserTest, ReadsTheSameRecordsAsSnmpV1)
{
    const std::string& expected = v1_reading();
    ASSERT_NE(expected.find("count storage=0\n"), std::string::npos) << expected;
    ASSERT_NE(expected.find("refresh=0\n"), std::string::npos) << "the v1 reading is a real one";

    ASSERT_EQ(init_v3(settings_of(GetParam())), PSW_SUCCESS);
    EXPECT_EQ(read_everything(handle), expected);
}

INSTANTIATE_TEST_SUITE_P(EveryLevelAndProtocol, DeviceV3UserTest, ::testing::ValuesIn(kUsers),
                         [](const ::testing::TestParamInfo<V3User>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(DeviceV3Test, CancelNeedsAReadWriteUser)
{
    ASSERT_EQ(init_v3(settings_of(kUsers[7])), PSW_SUCCESS) << "reader";
    EXPECT_NE(PSWCancelJob(handle, "1046"), PSW_SUCCESS) << "a read-only user may not write";
    EXPECT_NE(cancel_object().find("= INTEGER: 0"), std::string::npos) << cancel_object();

    ASSERT_EQ(init_v3(settings_of(kUsers[2])), PSW_SUCCESS) << "shaaes";
    ASSERT_EQ(PSWCancelJob(handle, "1046"), PSW_SUCCESS);
    EXPECT_NE(cancel_object().find("= INTEGER: 1414"), std::string::npos) << cancel_object();
}

// The handle's settings object is rewritten by every discovery; a session set up before keeps
// the user it was set up with, texts included.
TEST_F(DeviceV3Test, ALaterDiscoveryLeavesTheSessionsUserAlone)
{
    ASSERT_EQ(init_v3(settings_of(kUsers[2])), PSW_SUCCESS) << "shaaes";
    int32_t found = -1;
    const PSWUSMSettings stranger =
        settings_of("nobody-here", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA, PSW_USM_PRIV_AES,
                    "another-pass-phrase", "another-pass-phrase");
    PSWFindDeviceSNMPEx(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4,
                        PSW_SECURITY_MODE_V3, stranger, 300, 0, &found);
    EXPECT_EQ(found, 0) << "the agent knows no such user";
    int32_t count = 0;
    EXPECT_EQ(PSWGetNumberOfStorageInfo(handle, &count), PSW_SUCCESS);
    EXPECT_GT(count, 0);
}

struct Refusal {
    const char* what;
    PSWUSMSettings settings;
    int32_t expected;
};

TEST_F(DeviceV3Test, BadCredentialsGiveTheirCodesQuicklyAndPrintNothing)
{
    const Refusal refusals[] = {
        {"wrong authentication pass phrase",
         settings_of("shaaes", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA, PSW_USM_PRIV_AES,
                     "not-the-pass-phrase"),
         PSW_ERR_SECURITY},
        {"wrong privacy pass phrase",
         settings_of("shaaes", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA, PSW_USM_PRIV_AES,
                     kAuthPass, "not-the-pass-phrase"),
         PSW_ERR_TIMEOUT},
        {"unknown user",
         settings_of("nobody-here", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA, PSW_USM_PRIV_AES),
         PSW_ERR_SECURITY},
        {"level the user lacks",
         settings_of("sha224", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA224, PSW_USM_PRIV_AES),
         PSW_ERR_SECURITY},
        {"pass phrase shorter than eight characters",
         settings_of("shaaes", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA, PSW_USM_PRIV_AES, "short"),
         PSW_ERR_SNMPV3},
        {"wrong authentication protocol",
         settings_of("shaaes", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_MD5, PSW_USM_PRIV_AES),
         PSW_ERR_SECURITY},
    };
    for (const Refusal& refusal : refusals) {
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const auto start = std::chrono::steady_clock::now();
        const int32_t result = init_v3(refusal.settings);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        const std::string out = ::testing::internal::GetCapturedStdout();
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, refusal.expected) << refusal.what;
        EXPECT_EQ(out + err, "") << refusal.what;
        // Refusals the agent reports come at once; a silent agent costs the time-out and retry.
        const auto limit = std::chrono::milliseconds(
            refusal.expected == PSW_ERR_TIMEOUT ? 3 * (kRetries + 1) * kTimeout : 1000);
        EXPECT_LT(elapsed, limit) << refusal.what;
    }
}

TEST_F(DeviceV3Test, UnsupportedLevelOrProtocolIsRefusedBeforeSending)
{
    // Out-of-range record values fall back to the built-in settings (level authPriv,
    // HMAC-MD5, DES, the built-in user), which this agent does not know.
    const Refusal refusals[] = {
        {"level 7 gives the built-in authPriv user",
         settings_of("shaaes", 7, PSW_USM_AUTH_HMAC_SHA, PSW_USM_PRIV_AES), PSW_SUCCESS},
        {"authentication protocol 9 gives HMAC-MD5",
         settings_of("shaaes", PSW_USM_AUTH_PRIV, 9, PSW_USM_PRIV_AES), PSW_ERR_SECURITY},
        {"authPriv without a privacy protocol",
         settings_of("shaaes", PSW_USM_AUTH_PRIV, PSW_USM_AUTH_HMAC_SHA, PSW_USM_PRIV_NONE),
         PSW_ERR_PARAMETER},
        {"authNoPriv without an authentication protocol",
         settings_of("sha224", PSW_USM_AUTH_NO_PRIV, PSW_USM_AUTH_NONE, PSW_USM_PRIV_NONE),
         PSW_ERR_PARAMETER},
    };
    for (const Refusal& refusal : refusals) {
        ::testing::internal::CaptureStderr();
        const int32_t result = init_v3(refusal.settings);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, refusal.expected) << refusal.what;
        EXPECT_EQ(err, "") << refusal.what;
    }
}

// Four handles, four users, SNMPv3 reads at once: Net-SNMP's process-wide state must not mix
// the users' keys or replies. Run under ThreadSanitizer as well (ctest -R Threads).
class DeviceV3ThreadsTest : public DeviceV3Test {};

TEST_F(DeviceV3ThreadsTest, FourHandlesReadAtOnceWhatOneHandleReads)
{
    const V3User* users[] = {&kUsers[1], &kUsers[2], &kUsers[4], &kUsers[6]};
    const std::string& expected = v1_reading();
    ASSERT_NE(expected.find("refresh=0\n"), std::string::npos) << "the v1 reading is a real one";

    std::string threaded[4];
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&, i] {
            PSWHandle own = nullptr;
            if (PSWInit(&own) != PSW_SUCCESS) {
                return;
            }
            const int32_t init =
                PSWInitDeviceEx(own, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4,
                                PSW_SECURITY_MODE_V3, settings_of(*users[i]), kTimeout, kRetries);
            threaded[i] =
                init == PSW_SUCCESS ? read_everything(own) : "init=" + std::to_string(init);
            PSWUnInit(own);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(threaded[i] == expected) << users[i]->name;
    }
}

}  // namespace
}  // namespace psw::test
