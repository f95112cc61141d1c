// RequestSession over real sockets: a fault-injecting responder on loopback for what agents do
// not do on demand, and real agents (snmpd, snmpsim) compared with Net-SNMP's snmpget.
#include <gtest/gtest.h>

#include "session/fault_responder.h"
#include "session/request_session.h"
#include "session/session_dispatcher.h"
#include "session/session_test_util.h"
#include "support/agent_harness.h"
#include "support/peer_requirements.h"
#include "support/snmp_tools.h"

namespace psw::test {
namespace {

std::vector<size_t> binding_counts(const std::vector<Bytes>& requests)
{
    std::vector<size_t> counts;
    for (const Bytes& request : requests) {
        counts.push_back(oids_of(decode_message(request).pdu.get()).size());
    }
    return counts;
}

Bytes too_big(const Bytes& request)
{
    return answer(request, "", [](IPmsPdu& reply) { reply.set_error_status(1); });
}

class FaultResponderTest : public ::testing::Test {
protected:
    FaultResponderTest() : session(create_request_session()) {}

    TargetPtr target_for(const FaultResponder& responder, int32_t timeout = 1000,
                         int32_t retries = 1, size_t max_size = 1472)
    {
        TargetSettings settings;
        settings.agent_port = responder.port();
        settings.timeout = timeout;
        settings.retries = retries;
        settings.max_size = max_size;
        return make_target(settings);
    }

    OwnedPtr<IPmsRequestSession> session;
};

TEST_F(FaultResponderTest, ForeignRequestIdBeforeTheAnswerIsDroppedWithoutResend)
{
    FaultResponder responder([](const Bytes& request, int) {
        return std::vector<Bytes>{
            answer(request, "old:", [](IPmsPdu& r) { r.set_request_id(r.request_id() - 1); }),
            answer(request)};
    });
    ASSERT_TRUE(responder.start());
    TargetPtr target = target_for(responder);
    PduPtr pdu = make_pdu({kSysObjectId});
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_EQ(responder.requests().size(), 1u);
    EXPECT_EQ(values_of(pdu.get()), std::vector<std::string>{std::string("v:") + kSysObjectId});
    EXPECT_EQ(target->address()->port(), responder.port());
}

TEST_F(FaultResponderTest, TooBigForTenBindingsGivesTwoPiecesJoinedInOrder)
{
    FaultResponder responder([](const Bytes& request, int index) {
        return std::vector<Bytes>{index == 0 ? too_big(request) : answer(request)};
    });
    ASSERT_TRUE(responder.start());
    TargetPtr target = target_for(responder);
    PduPtr pdu = make_pdu(numbered_oids(10));
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    const std::vector<Bytes> requests = responder.requests();
    EXPECT_EQ(binding_counts(requests), (std::vector<size_t>{10, 5, 5}));
    EXPECT_NE(request_id_of(requests[1]), request_id_of(requests[0]));
    EXPECT_NE(request_id_of(requests[2]), request_id_of(requests[1]));
    EXPECT_EQ(oids_of(pdu.get()), numbered_oids(10));
    EXPECT_EQ(values_of(pdu.get()).at(7), "v:" + numbered_oids(10).at(7));
}

TEST_F(FaultResponderTest, TooBigForOneBindingCannotBeSplit)
{
    FaultResponder responder([](const Bytes& request, int) {
        return std::vector<Bytes>{too_big(request)};
    });
    ASSERT_TRUE(responder.start());
    TargetPtr target = target_for(responder);
    PduPtr pdu = make_pdu({kSysDescr});
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), PSW_ERR_CANNOT_SPLIT);
    EXPECT_EQ(responder.requests().size(), 1u);
}

TEST_F(FaultResponderTest, ErrorInTheSecondPieceIsRenumbered)
{
    FaultResponder responder([](const Bytes& request, int index) {
        if (index == 0) {
            return std::vector<Bytes>{too_big(request)};
        }
        if (index == 2) {
            return std::vector<Bytes>{answer(request, "", [](IPmsPdu& r) {
                r.set_error_status(2);
                r.set_error_index(1);
            })};
        }
        return std::vector<Bytes>{answer(request)};
    });
    ASSERT_TRUE(responder.start());
    TargetPtr target = target_for(responder);
    PduPtr pdu = make_pdu(numbered_oids(8));
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_EQ(binding_counts(responder.requests()), (std::vector<size_t>{8, 4, 4}));
    EXPECT_EQ(pdu->error_status(), 2);
    EXPECT_EQ(pdu->error_index(), 5);
}

TEST_F(FaultResponderTest, RequestAboveTheMaximumSizeGoesInThreePieces)
{
    FaultResponder responder([](const Bytes& request, int) {
        return std::vector<Bytes>{answer(request)};
    });
    ASSERT_TRUE(responder.start());
    TargetPtr target = target_for(responder, 1000, 1, 484);
    const auto oids = numbered_oids(30, "1.3.6.1.4.1.99999.1.2.3.4.5.6.7.8.9.10.11.12.13.14.15.16.17.18.19.20.21.22.23");
    PduPtr pdu = make_pdu(oids);
    const size_t whole = encode_message(pdu.get()).size();
    EXPECT_GT(whole, 1100u);
    EXPECT_LT(whole, 1300u);
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    const std::vector<Bytes> requests = responder.requests();
    EXPECT_EQ(requests.size(), 3u);
    for (const Bytes& request : requests) {
        EXPECT_LE(request.size(), 484u);
    }
    EXPECT_EQ(oids_of(pdu.get()), oids);
}

TEST_F(FaultResponderTest, GarbageIsDroppedWhileTheWaitGoesOn)
{
    FaultResponder responder([](const Bytes& request, int) {
        return std::vector<Bytes>{Bytes{0x30, 0x84, 0xff, 0xff}, Bytes(3000, 0x30),
                                  Bytes{0x04, 0x00}, answer(request)};
    });
    ASSERT_TRUE(responder.start());
    TargetPtr target = target_for(responder);
    PduPtr pdu = make_pdu({kSysObjectId});
    // Including one longer than any reply the session reads.
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_EQ(responder.requests().size(), 1u);
    EXPECT_EQ(values_of(pdu.get()), std::vector<std::string>{std::string("v:") + kSysObjectId});

    FaultResponder small_garbage([](const Bytes& request, int) {
        return std::vector<Bytes>{Bytes{0x30, 0x84, 0xff, 0xff}, Bytes{0x04, 0x00},
                                  answer(request)};
    });
    ASSERT_TRUE(small_garbage.start());
    TargetPtr second = target_for(small_garbage);
    EXPECT_EQ(session->send_sync(pdu.get(), second.get()), PSW_SUCCESS);
    EXPECT_EQ(small_garbage.requests().size(), 1u);
    EXPECT_EQ(values_of(pdu.get()), std::vector<std::string>{std::string("v:") + kSysObjectId});
}

TEST_F(FaultResponderTest, SilenceMeansRetriesPlusOneSendsThenTimeOut)
{
    FaultResponder responder([](const Bytes&, int) { return std::vector<Bytes>{}; });
    ASSERT_TRUE(responder.start());
    TargetPtr target = target_for(responder, 150, 2);
    PduPtr pdu = make_pdu({kSysObjectId});
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), PSW_ERR_TIMEOUT);
    const std::vector<Bytes> requests = responder.requests();
    EXPECT_EQ(requests.size(), 3u);
    EXPECT_EQ(request_id_of(requests.front()), request_id_of(requests.back()));
}

// --- real agents ---------------------------------------------------------------------------

// snmpget -v1 of both objects, as oid -> value.
std::map<std::string, std::string> snmpget_v1(const TestAgent& agent, const std::string& community)
{
    const CommandResult got =
        agent.tools().get(agent.target(), SnmpCredentials::v1(community), {kSysObjectId, kSysDescr});
    EXPECT_TRUE(got.ok()) << got.describe();
    std::map<std::string, std::string> values;
    for (const SnmpRow& row : parse_snmpwalk_on(got.out)) {
        values[row.oid] = row.value;
    }
    return values;
}

std::map<std::string, std::string> library_get(const TestAgent& agent, const std::string& community)
{
    TargetSettings settings;
    settings.address = agent.address();
    settings.community = community;
    settings.timeout = 2000;
    OwnedPtr<SessionDispatcher> dispatcher(create_session_dispatcher());
    TargetPtr target = make_target(settings);
    PduPtr pdu = make_pdu({kSysObjectId, kSysDescr});
    EXPECT_EQ(dispatcher->send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_EQ(pdu->error_status(), 0);
    std::map<std::string, std::string> values;
    const std::vector<std::string> oids = oids_of(pdu.get());
    const std::vector<std::string> texts = values_of(pdu.get());
    for (size_t i = 0; i < oids.size(); ++i) {
        values[oids[i]] = texts[i];
    }
    return values;
}

TEST(RequestSessionAgents, GetFromSnmpdEqualsSnmpget)
{
    PSW_REQUIRE_PEERS(Peer::root, Peer::snmpd, Peer::netsnmp_tools);
    SnmpdAgent agent;
    ASSERT_TRUE(agent.start({}));
    const auto expected = snmpget_v1(agent, "public");
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(library_get(agent, "public"), expected);
}

TEST(RequestSessionAgents, GetFromSnmpsimEqualsSnmpget)
{
    PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools);
    SnmpsimAgent agent;
    ASSERT_TRUE(agent.start({.files = {SnmprecSource(harness_data("harness-small.snmprec"))
                                           .replace(kSysDescr, "4", "Session test printer")}}));
    const std::string community = agent.communities().front();
    const auto expected = snmpget_v1(agent, community);
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(expected.at(kSysDescr), "Session test printer");
    EXPECT_EQ(library_get(agent, community), expected);
}

}  // namespace
}  // namespace psw::test
