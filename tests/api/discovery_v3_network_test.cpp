// SNMPv3 discovery through the exported call across test hosts: an engine-id probe to the
// limited broadcast, then one SNMPv3 request to each engine that answered.
//
//   client eth0 -- bridge -- h0 snmpd  10.77.0.11  user "fleet", supported model
//                         -- h1 snmpd  10.77.0.12  user "fleet", supported model
//                         -- h2 snmpd  10.77.0.13  user "fleet" with another privacy pass
//                                                  phrase: answers the probe, then stays silent
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "psw/psw.h"
#include "support/agent_harness.h"
#include "support/log_capture.h"
#include "support/netns.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr const char* kSupported = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";
constexpr const char* kInGetRequests = "1.3.6.1.2.1.11.15.0";  // snmpInGetRequests
constexpr uint32_t kTimeout = 800;
constexpr int kHosts = 3;
constexpr int kSilentHost = 2;

class DiscoveryV3NetworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (peer_unavailable({Peer::root, Peer::netns, Peer::snmpd, Peer::netsnmp_tools})) {
            return;
        }
        lab = new NetnsLab(NetnsLabOptions{.hosts = kHosts});
        set_up = build();
    }
    static void TearDownTestSuite()
    {
        for (SnmpdAgent*& agent : agents) {
            delete agent;
            agent = nullptr;
        }
        delete lab;
        lab = nullptr;
    }

    static ::testing::AssertionResult build()
    {
        if (auto r = lab->create(); !r) {
            return r;
        }
        for (int i = 0; i < kHosts; ++i) {
            SnmpdOptions options;
            options.netns = lab->host(i);
            options.ipv6 = true;  // the harness checks both families inside a namespace
            char engine[40];
            std::snprintf(engine, sizeof engine, "0x80001f8880d15c0e%02x", i);
            options.engine_id = engine;
            options.users = {
                {.name = "fleet",
                 .auth_proto = "SHA-256",
                 .auth_pass = "fleet-auth-pass",
                 .priv_proto = "AES",
                 .priv_pass = i == kSilentHost ? "another-priv-pass" : "fleet-priv-pass"}};
            options.extra_lines = {std::string("sysObjectID ") + kSupported};
            agents[i] = new SnmpdAgent();
            if (auto r = agents[i]->start(options); !r) {
                return r;
            }
        }
        return ::testing::AssertionSuccess();
    }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::netns, Peer::snmpd, Peer::netsnmp_tools);
        ASSERT_TRUE(lab != nullptr && static_cast<bool>(set_up)) << set_up.message();
        ASSERT_EQ(PSWInit(&handle), PSW_SUCCESS);
    }
    void TearDown() override { PSWUnInit(handle); }

    static PSWUSMSettings fleet_user()
    {
        PSWUSMSettings settings;
        std::memset(&settings, 0, sizeof settings);
        std::strcpy(settings.user_name, "fleet");
        settings.security_level = PSW_USM_AUTH_PRIV;
        settings.auth_protocol = PSW_USM_AUTH_HMAC_SHA256;
        settings.priv_protocol = PSW_USM_PRIV_AES;
        std::strcpy(settings.auth_pass_phrase, "fleet-auth-pass");
        std::strcpy(settings.priv_pass_phrase, "fleet-priv-pass");
        return settings;
    }

    // snmpInGetRequests of host i, read with the community (this GET counts itself).
    static long get_requests(int i)
    {
        const CommandResult got =
            agents[i]->tools().get(agents[i]->target(), agents[i]->ro(), {kInGetRequests});
        const size_t at = got.out.find("Counter32: ");
        return at == std::string::npos ? -1 : std::stol(got.out.substr(at + 11));
    }

    std::set<std::string> listed_addresses(size_t* entries)
    {
        std::set<std::string> addresses;
        *entries = 0;
        for (int guard = 0; guard < 20; ++guard) {
            char address[PSW_DEVICE_TEXT_SIZE];
            char model[PSW_DEVICE_TEXT_SIZE];
            char reserved[4];
            char oid[PSW_DEVICE_TEXT_SIZE];
            if (PSWGetDeviceNext(handle, address, model, reserved, oid) != 1) {
                break;
            }
            EXPECT_STREQ(oid, kSupported);
            addresses.insert(address);
            ++*entries;
        }
        return addresses;
    }

    PSWHandle handle = nullptr;
    static NetnsLab* lab;
    static SnmpdAgent* agents[kHosts];
    static ::testing::AssertionResult set_up;
};

NetnsLab* DiscoveryV3NetworkTest::lab = nullptr;
SnmpdAgent* DiscoveryV3NetworkTest::agents[kHosts] = {};
::testing::AssertionResult DiscoveryV3NetworkTest::set_up = ::testing::AssertionFailure();

TEST_F(DiscoveryV3NetworkTest, EveryEngineIsAskedOnceAndASilentOneIsSkipped)
{
    long before[kHosts];
    for (int i = 0; i < kHosts; ++i) {
        before[i] = get_requests(i);
        ASSERT_GE(before[i], 0) << "host " << i;
    }
    LogCapture& log = LogCapture::attach("snmp");
    int32_t count = -1;
    int32_t result = PSW_ERR_FAILED;
    ASSERT_TRUE(lab->run_in(lab->client(), [&] {
        result = PSWFindDeviceSNMPEx(handle, "255.255.255.255", PSW_TRANSPORT_UDP_IPV4,
                                     PSW_SECURITY_MODE_V3, fleet_user(), kTimeout, 0, &count);
    }));
    ASSERT_EQ(result, PSW_SUCCESS) << log.all();
    size_t entries = 0;
    const std::set<std::string> addresses = listed_addresses(&entries);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(entries, 2u);
    EXPECT_EQ(addresses, (std::set<std::string>{lab->host_ipv4(0), lab->host_ipv4(1)}));
    // One GET from the discovery on each answering engine, plus the counting GET itself. The
    // silent host got its request too, but could not decrypt it.
    EXPECT_EQ(get_requests(0) - before[0], 2);
    EXPECT_EQ(get_requests(1) - before[1], 2);
    EXPECT_EQ(get_requests(kSilentHost) - before[kSilentHost], 1);
}

TEST_F(DiscoveryV3NetworkTest, NoEngineAnsweringIsAnEmptyList)
{
    LogCapture& log = LogCapture::attach("snmp");
    int32_t count = -1;
    int32_t result = PSW_ERR_FAILED;
    // A subnet broadcast reaches no snmpd (they answer the limited broadcast only).
    ASSERT_TRUE(lab->run_in(lab->client(), [&] {
        result = PSWFindDeviceSNMPEx(handle, lab->broadcast_ipv4().c_str(), PSW_TRANSPORT_UDP_IPV4,
                                     PSW_SECURITY_MODE_V3, fleet_user(), 800, 0, &count);
    }));
    EXPECT_EQ(result, PSW_SUCCESS) << log.all();
    EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace psw::test
