// The SNMPv3 session: its translation tables, peer names and source texts, the refusals made
// before anything is sent, and real exchanges with a Net-SNMP snmpd (reply converted in place,
// target filled from the reply, error-status recorded on the bindings, log lines).
#include <gtest/gtest.h>

#include <string>

#include "session/netsnmp_runtime.h"
#include "session/request_session_interface.h"
#include "session/session_test_util.h"
#include "session/v3_netsnmp_adapter.h"
#include "session/v3_request_session.h"
#include "support/agent_harness.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

using SessionPtr = OwnedPtr<IPmsRequestSession>;

constexpr char kEngineHex[] = "80001f8880c0ffee0034";

struct UsmSettings {
    std::string address = "127.0.0.1";
    std::string user = "shaaes";
    int32_t level = IPmsUsmTarget::kAuthPriv;
    int32_t auth = IPmsUsmTarget::kAuthHmacSha1;
    int32_t priv = IPmsUsmTarget::kPrivAes;
    std::string auth_pass = "auth-pass-phrase";
    std::string priv_pass = "priv-pass-phrase";
    int32_t version = kPmsVersion3;
    int32_t timeout = 1000;
    int32_t retries = 1;
};

TargetPtr make_usm_target(const UsmSettings& settings)
{
    TargetPtr target(create_usm_target());
    target->set_version(settings.version);
    target->set_timeout(settings.timeout);
    target->set_retries(settings.retries);
    target->set_port(161);
    AddressPtr address = make_address(settings.address, 0);
    target->set_address(address.get());
    IPmsUsmTarget* usm = pms_usm_of(target.get());
    usm->set_security_name(settings.user.c_str());
    usm->set_security_level(settings.level);
    usm->set_auth_protocol(settings.auth);
    usm->set_priv_protocol(settings.priv);
    usm->set_auth_pass_phrase(settings.auth_pass.c_str());
    usm->set_priv_pass_phrase(settings.priv_pass.c_str());
    return target;
}

TEST(V3Tables, PduTypesAndCommands)
{
    struct Row {
        int32_t type;
        int32_t sent_as;
        int32_t received_from;
    };
    const Row rows[] = {{0, 0xA0, 0xA0}, {1, 0xA1, 0xA1}, {2, 0, 0xA2}, {3, 0xA3, 0xA3},
                        {4, 0xA7, 0xA7}, {5, 0, 0xA5},    {6, 0, 0xA6}, {8, 0, 0xA8}};
    for (const Row& row : rows) {
        EXPECT_EQ(pms_v3_command_of(row.type), row.sent_as) << row.type;
        EXPECT_EQ(pms_v3_pdu_type_of(row.received_from), row.type) << row.type;
    }
    EXPECT_EQ(pms_v3_command_of(7), 0);
    EXPECT_EQ(pms_v3_pdu_type_of(0xA4), -1) << "an SNMPv1 trap is no reply";
}

TEST(V3Tables, NetSnmpErrorNumbers)
{
    struct Row {
        int32_t first;
        int32_t last;
        Result result;
    };
    const Row rows[] = {
        {0, 0, 0},        {-66, -66, -10},  {-64, -64, -250}, {-50, -47, -250}, {-41, -41, -250},
        {-38, -38, -250}, {-31, -31, -250}, {-29, -29, -250}, {-13, -13, -250}, {-11, -11, -250},
        {-62, -62, -3},   {-61, -56, -2},   {-45, -45, -2},   {-28, -27, -2},   {-23, -23, -2},
        {-19, -19, -2},   {-17, -17, -2},   {-14, -14, -2},   {-5, -3, -2},     {-46, -46, -214},
        {-44, -42, -214}, {-37, -33, -214}, {-30, -30, -214}, {-32, -32, -204}, {-25, -25, -204},
        {-24, -24, -203}, {-12, -12, -205}, {-1, -1, -200},   {-2, -2, -200},   {-6, -10, -200},
        {-40, -39, -200}, {-69, -67, -200},
    };
    for (const Row& row : rows) {
        const int32_t low = row.first < row.last ? row.first : row.last;
        const int32_t high = row.first < row.last ? row.last : row.first;
        for (int32_t error = low; error <= high; ++error) {
            EXPECT_EQ(pms_netsnmp_result(error), row.result) << "SNMPERR " << error;
        }
    }
    // A send's time-out status wins over the error number.
    EXPECT_EQ(pms_netsnmp_status_result(2, -12), PSW_ERR_TIMEOUT);
    EXPECT_EQ(pms_netsnmp_status_result(1, -12), PSW_ERR_SEND);
    EXPECT_EQ(pms_netsnmp_status_result(0, -12), PSW_SUCCESS);
}

TEST(V3Tables, PeerNames)
{
    struct Row {
        IPmcNetworkAddress::EProtocol protocol;
        const char* text;
        uint16_t address_port;
        uint16_t target_port;
        const char* expected;
    };
    const Row rows[] = {
        {IPmcNetworkAddress::kUdpIpv4, "10.0.0.5", 0, 161, "10.0.0.5:161"},
        {IPmcNetworkAddress::kUdpIpv4, "10.0.0.5", 1161, 161, "10.0.0.5:1161"},
        {IPmcNetworkAddress::kUdpIpv4, "10.0.0.5", 0, 0, "10.0.0.5"},
        {IPmcNetworkAddress::kUdpIpv6, "fe80::1", 161, 0, "udp6:[fe80::1]:161"},
        {IPmcNetworkAddress::kUdpIpv6, "::1", 0, 0, "udp6:[::1]"},
        {IPmcNetworkAddress::kIpx, "00000001:0000c0ffee01", 0, 36879,
         "ipx:00000001:0000c0ffee01/36879"},
    };
    for (const Row& row : rows) {
        char peer[80];
        ASSERT_EQ(pms_v3_peer_name(row.protocol, row.text, row.address_port, row.target_port, peer,
                                   sizeof peer),
                  PSW_SUCCESS)
            << row.expected;
        EXPECT_STREQ(peer, row.expected);
    }
    char peer[8];
    EXPECT_EQ(pms_v3_peer_name(IPmcNetworkAddress::kNoAddressFamily, "x", 0, 0, peer, sizeof peer),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(pms_v3_peer_name(IPmcNetworkAddress::kUdpIpv4, "10.0.0.5", 0, 161, peer, sizeof peer),
              PSW_ERR_TOO_LONG);
}

TEST(V3Tables, SourceTextOfAFormattedTransportAddress)
{
    const std::pair<const char*, const char*> rows[] = {
        {"UDP: [10.77.0.11]:161->[10.77.0.2]:40000", "10.77.0.11"},
        {"UDP/IPv6: [fe80::1%eth0]:161", "fe80::1%eth0"},
        {"127.0.0.5", "127.0.0.5"},
    };
    for (const auto& [formatted, expected] : rows) {
        char text[64];
        ASSERT_EQ(pms_v3_source_text(formatted, text, sizeof text), PSW_SUCCESS) << formatted;
        EXPECT_STREQ(text, expected);
    }
    char small[4];
    EXPECT_EQ(pms_v3_source_text("UDP: [10.77.0.11]:161", small, sizeof small), PSW_ERR_TOO_LONG);
}

class V3SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.reset(create_v3_request_session());
        ASSERT_TRUE(session);
        log = &LogCapture::attach("snmp");
    }

    SessionPtr session;
    LogCapture* log = nullptr;
};

TEST_F(V3SessionTest, RefusalsBeforeAnythingIsSent)
{
    PduPtr pdu = make_pdu({kSysObjectId});
    struct Case {
        const char* what;
        UsmSettings settings;
        Result expected;
    };
    UsmSettings base;
    base.address = "127.0.0.1";
    const auto with = [&](auto change) {
        UsmSettings s = base;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"SNMPv1 version on a USM target", with([](UsmSettings& s) { s.version = kPmsVersion1; }),
         PSW_ERR_PARAMETER},
        {"security level 5", with([](UsmSettings& s) { s.level = 5; }), PSW_ERR_PARAMETER},
        {"authentication protocol 7", with([](UsmSettings& s) { s.auth = 7; }), PSW_ERR_PARAMETER},
        {"privacy protocol 5", with([](UsmSettings& s) { s.priv = 5; }), PSW_ERR_PARAMETER},
        {"privacy protocol 0 at authPriv", with([](UsmSettings& s) { s.priv = 0; }),
         PSW_ERR_PARAMETER},
        {"pass phrase shorter than Net-SNMP accepts",
         with([](UsmSettings& s) { s.auth_pass = "short"; }), PSW_ERR_SNMPV3},
    };
    for (const Case& c : cases) {
        log->clear();
        TargetPtr target = make_usm_target(c.settings);
        EXPECT_EQ(session->send_sync(pdu.get(), target.get()), c.expected) << c.what;
        EXPECT_TRUE(
            log->contains("[v3RequestSession::send_sync_internal(IPmsPdu*, "
                          "IPmsSnmpTarget*)] exit."))
            << c.what << "\n"
            << log->all();
    }
    EXPECT_TRUE(log->contains("generate_Ku(): ErrNo = 0, SnmpErrNo = ")) << log->all();

    TargetPtr community = make_target();
    community->set_version(kPmsVersion3);
    EXPECT_EQ(session->send_sync(pdu.get(), community.get()), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(session->send_sync(nullptr, community.get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(session->send_sync(static_cast<IPmsSnmpPacket*>(nullptr)), PSW_ERR_PARAMETER);
    IPmsSnmpPacketList* list = nullptr;
    EXPECT_EQ(session->send_broad_cast_sync(pdu.get(), community.get(), nullptr),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(session->send_broad_cast_sync(pdu.get(), community.get(), &list),
              PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(list, nullptr);
}

class V3AgentTest : public V3SessionTest {
protected:
    void SetUp() override
    {
        V3SessionTest::SetUp();
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpd, Peer::netsnmp_tools);
        SnmpdOptions options;
        options.engine_id = std::string("0x") + kEngineHex;
        options.users = {{.name = "shaaes",
                          .auth_proto = "SHA",
                          .auth_pass = "auth-pass-phrase",
                          .priv_proto = "AES",
                          .priv_pass = "priv-pass-phrase"}};
        ASSERT_TRUE(agent.start(options));
        settings.address = agent.address();
    }

    SnmpdAgent agent;
    UsmSettings settings;
};

TEST_F(V3AgentTest, ReplyIsConvertedInPlaceAndFillsTheTarget)
{
    // Three bindings asked, the reply's two overwrite them in place, the third is removed.
    PduPtr pdu =
        make_pdu({"1.3.6.1.2.1.1.3", "1.3.6.1.2.1.1.5", "1.3.6.1.2.1.1.7"}, kPmsGetNextRequest);
    pdu->bindings()->remove(2, nullptr);
    TargetPtr target = make_usm_target(settings);
    log->clear();
    ASSERT_EQ(session->send_sync(pdu.get(), target.get()), PSW_SUCCESS) << log->all();

    EXPECT_EQ(pdu->type(), kPmsResponse);
    EXPECT_EQ(pdu->error_status(), 0);
    EXPECT_EQ(oids_of(pdu.get()),
              (std::vector<std::string>{"1.3.6.1.2.1.1.3.0", "1.3.6.1.2.1.1.5.0"}));
    EXPECT_EQ(pdu->bindings()->at(0)->value()->type(), kPmsTimeTicks);
    EXPECT_EQ(pdu->bindings()->at(1)->value()->type(), kPmsOctetString);

    IPmsUsmTarget* usm = pms_usm_of(target.get());
    size_t engine_length = 0;
    const uint8_t* engine = usm->engine_id(&engine_length);
    EXPECT_EQ(to_hex(std::string(reinterpret_cast<const char*>(engine), engine_length)),
              kEngineHex);
    EXPECT_STREQ(target->address()->text(), agent.address().c_str());
    EXPECT_STREQ(usm->security_name(), "shaaes");
    EXPECT_EQ(usm->security_level(), IPmsUsmTarget::kAuthPriv);
    EXPECT_TRUE(log->contains("[v3RequestSession::send_sync(IPmsSnmpPacket*)] enter."));
}

TEST_F(V3AgentTest, ErrorStatusIsRecordedOnTheBindings)
{
    // sysUpTime.0 cannot be written: the agent answers with an error-status for binding 1.
    PduPtr pdu(create_pdu());
    pdu->set_type(kPmsSetRequest);
    ASSERT_EQ(pdu->add(create_oid_from_text("1.3.6.1.2.1.1.3.0"),
                       create_value_with_int(5, kPmsTimeTicks)),
              PSW_SUCCESS);
    TargetPtr target = make_usm_target(settings);
    ASSERT_EQ(session->send_sync(pdu.get(), target.get()), PSW_SUCCESS) << log->all();
    EXPECT_GT(pdu->error_status(), 0);
    EXPECT_EQ(pdu->error_index(), 1);
    EXPECT_EQ(pdu->bindings()->at(0)->mark(), pdu->error_status());
}

TEST_F(V3AgentTest, SecurityFailuresAreLoggedWithNetSnmpsErrorNumber)
{
    settings.auth_pass = "not-the-pass-phrase";
    PduPtr pdu = make_pdu({kSysObjectId});
    TargetPtr target = make_usm_target(settings);
    log->clear();
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), PSW_ERR_SECURITY);
    EXPECT_TRUE(log->contains("snmp_synch_response(): ErrNo = 0, SnmpErrNo = -35")) << log->all();
}

TEST_F(V3AgentTest, SilentAgentTimesOut)
{
    agent.stop();
    settings.timeout = 200;
    settings.retries = 0;
    PduPtr pdu = make_pdu({kSysObjectId});
    TargetPtr target = make_usm_target(settings);
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), PSW_ERR_TIMEOUT);
}

}  // namespace
}  // namespace psw::test
