// RequestSession over a scripted network: retries, time-outs, reply matching and fragmentation,
// counted exactly.
#include <gtest/gtest.h>

#include "session/request_session.h"
#include "session/session_test_util.h"

namespace psw::test {
namespace {

class RequestSessionTest : public ::testing::Test {
protected:
    RequestSessionTest() : log(test::LogCapture::attach("snmp")), session(net, net) {}

    // Every request answered like an agent would.
    void answer_everything(const std::string& prefix = "v:")
    {
        net.responder = [prefix](FakeNet& n, const FakeNet::Sent& sent) {
            n.queue(answer(sent.bytes, prefix));
        };
    }

    std::vector<int32_t> sent_ids() const
    {
        std::vector<int32_t> ids;
        for (const auto& sent : net.sent) {
            ids.push_back(request_id_of(sent.bytes));
        }
        return ids;
    }

    std::vector<size_t> sent_binding_counts() const
    {
        std::vector<size_t> counts;
        for (const auto& sent : net.sent) {
            counts.push_back(oids_of(decode_message(sent.bytes).pdu.get()).size());
        }
        return counts;
    }

    test::LogCapture& log;
    FakeNet net;
    RequestSession session;
};

TEST_F(RequestSessionTest, AnsweredRequestDecodesIntoThePduAndOpensOneSocket)
{
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        // A stranger answers first (dropped), then the address asked.
        n.queue(answer(sent.bytes, "stranger:"), "127.0.0.9");
        FakeNet::Incoming other_port;
        other_port.bytes = answer(sent.bytes, "stranger:");
        other_port.source = "127.0.0.255";
        other_port.port = 1161;
        n.queue(other_port);
        n.queue(answer(sent.bytes), "127.0.0.255");
    };
    TargetSettings settings;
    settings.address = "127.0.0.255";
    TargetPtr target = make_target(settings);
    target->set_port(5000);
    PduPtr pdu = make_pdu({kSysDescr, kSysObjectId});

    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_SUCCESS);

    ASSERT_EQ(net.sent.size(), 1u);
    EXPECT_EQ(net.sent[0].destination, "127.0.0.255");
    EXPECT_EQ(net.sent[0].port, 161);
    EXPECT_EQ(net.last_port, 5000) << "the target's port is the local port of the socket";
    EXPECT_EQ(net.last_protocol, IPmcNetworkAddress::kUdpIpv4);
    EXPECT_EQ(pdu->type(), kPmsResponse);
    EXPECT_EQ(pdu->request_id(), request_id_of(net.sent[0].bytes));
    EXPECT_EQ(values_of(pdu.get()), (std::vector<std::string>{std::string("v:") + kSysDescr,
                                                              std::string("v:") + kSysObjectId}));
    EXPECT_STREQ(target->address()->text(), "127.0.0.255") << "a reply never moves the target";
    EXPECT_EQ(net.sockets_alive, 1) << "the socket stays until the next request";
    EXPECT_TRUE(log.contains("_send_and_receive(): timeout= 1000, retries=2"));
    EXPECT_TRUE(log.contains("_send_and_receive(): try 0, destination=127.0.0.255"));
    EXPECT_TRUE(log.contains("_send_and_receive(): receive from 127.0.0.255"));

    // The next request replaces the socket and takes the next request id.
    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_EQ(net.sockets_created, 2);
    EXPECT_EQ(net.sockets_alive, 1);
    ASSERT_EQ(net.sent.size(), 2u);
    EXPECT_EQ(static_cast<uint32_t>(request_id_of(net.sent[1].bytes)),
              static_cast<uint32_t>(request_id_of(net.sent[0].bytes)) + 1);
}

TEST_F(RequestSessionTest, SilentAgentIsAskedRetriesPlusOneTimesThenTimesOut)
{
    TargetSettings settings;
    settings.timeout = 3000;
    settings.retries = 2;
    TargetPtr target = make_target(settings);
    PduPtr pdu = make_pdu({kSysObjectId});
    const uint32_t start = net.now;

    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_TIMEOUT);

    EXPECT_EQ(net.sent.size(), 3u);
    EXPECT_EQ(net.now - start, 9000u);
    EXPECT_EQ(net.waits, (std::vector<int32_t>{3000, 3000, 3000}));
    const std::vector<int32_t> ids = sent_ids();
    EXPECT_EQ(ids[0], ids[1]) << "retries resend the same message";
    EXPECT_EQ(ids[1], ids[2]);
    EXPECT_EQ(log.count("_send_and_receive(): receive timeout."), 3);
    EXPECT_TRUE(log.contains("_send_and_receive(): try 2, destination=127.0.0.1"));
    EXPECT_STREQ(target->address()->text(), "127.0.0.1");
    EXPECT_EQ(oids_of(pdu.get()), std::vector<std::string>{kSysObjectId});
}

TEST_F(RequestSessionTest, LateReplyOnTheSecondTryIsAccepted)
{
    TargetSettings settings;
    settings.timeout = 500;
    settings.retries = 3;
    TargetPtr target = make_target(settings);
    PduPtr pdu = make_pdu({kSysObjectId});
    bool first = true;
    net.responder = [&first](FakeNet& n, const FakeNet::Sent& sent) {
        if (first) {
            n.queue(answer(sent.bytes), "127.0.0.1", 700);  // arrives 200 ms into try 1
            first = false;
        }
    };

    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_EQ(net.sent.size(), 2u);
    EXPECT_EQ(values_of(pdu.get()), std::vector<std::string>{std::string("v:") + kSysObjectId});
}

TEST_F(RequestSessionTest, ForeignRequestIdIsDroppedWithoutResending)
{
    TargetSettings settings;
    settings.timeout = 1000;
    TargetPtr target = make_target(settings);
    PduPtr pdu = make_pdu({kSysObjectId});
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(answer(sent.bytes, "stale:",
                       [](IPmsPdu& reply) { reply.set_request_id(reply.request_id() + 7); }),
                "127.0.0.1", 100);
        n.queue(answer(sent.bytes), "127.0.0.1", 300);
    };

    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_SUCCESS);

    EXPECT_EQ(net.sent.size(), 1u);
    EXPECT_EQ(net.waits, (std::vector<int32_t>{1000, 900})) << "only the rest of the try is waited";
    EXPECT_EQ(values_of(pdu.get()), std::vector<std::string>{std::string("v:") + kSysObjectId});
    const unsigned id = static_cast<unsigned>(pdu->request_id());
    EXPECT_TRUE(
        log.contains("[RequestSession::check_received_raw_packet] request id not match. "
                     "sended packet[" +
                     std::to_string(id) + "d]:received packet[" + std::to_string(id + 7) + "d]."))
        << log.all();
}

TEST_F(RequestSessionTest, UndecodableRepliesAreDroppedAndThePduKeepsItsRequest)
{
    TargetSettings settings;
    settings.timeout = 1000;
    settings.retries = 0;
    TargetPtr target = make_target(settings);
    PduPtr pdu = make_pdu({kSysObjectId, kSysDescr});
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(Bytes{0x30, 0x03, 0x02, 0x01}, "127.0.0.1", 10);  // garbage
        Bytes cut = answer(sent.bytes);
        cut.resize(cut.size() - 6);  // the header reads, the bindings do not
        n.queue(cut, "127.0.0.1", 10);
    };

    // Both dropped; then the wait runs out.
    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_TIMEOUT);
    EXPECT_EQ(net.sent.size(), 1u);
    EXPECT_EQ(pdu->type(), kPmsGetRequest) << "a half-decoded reply must not leak into the PDU";
    EXPECT_EQ(oids_of(pdu.get()), (std::vector<std::string>{kSysObjectId, kSysDescr}));
    EXPECT_EQ(values_of(pdu.get()), (std::vector<std::string>{"", ""}));

    // Garbage followed by the answer within the same try: the answer counts.
    net.sent.clear();
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(Bytes{0xde, 0xad, 0xbe, 0xef}, "127.0.0.1", 10);
        n.queue(Bytes(3000, 0x30), "127.0.0.1", 10);  // longer than the receive buffer
        n.queue(answer(sent.bytes), "127.0.0.1", 10);
    };
    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_EQ(net.sent.size(), 1u);
    EXPECT_EQ(values_of(pdu.get()).at(1), std::string("v:") + kSysDescr);
}

TEST_F(RequestSessionTest, LastWaitRunningOutAfterADroppedReplyReportsTheDrop)
{
    TargetSettings settings;
    settings.timeout = 100;
    settings.retries = 0;
    TargetPtr target = make_target(settings);
    PduPtr pdu = make_pdu({kSysObjectId});
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(answer(sent.bytes, "x", [](IPmsPdu& r) { r.set_request_id(r.request_id() + 1); }),
                "127.0.0.1", 100);  // uses up the whole try
    };
    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_REQUEST_ID);
    EXPECT_STREQ(target->address()->text(), "127.0.0.1");
}

TEST_F(RequestSessionTest, TickCounterWrapDoesNotEndTheWait)
{
    net.now = 0xFFFFFF00u;
    TargetSettings settings;
    settings.timeout = 1000;
    settings.retries = 0;
    TargetPtr target = make_target(settings);
    PduPtr pdu = make_pdu({kSysObjectId});
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(answer(sent.bytes, "x", [](IPmsPdu& r) { r.set_request_id(r.request_id() + 1); }),
                "127.0.0.1", 400);  // the clock wraps here
        n.queue(answer(sent.bytes), "127.0.0.1", 100);
    };
    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_EQ(net.waits, (std::vector<int32_t>{1000, 600}));
}

TEST_F(RequestSessionTest, ArgumentsAndSettingsThatCannotWork)
{
    PduPtr pdu = make_pdu({kSysObjectId});
    TargetPtr target = make_target();
    EXPECT_EQ(session.send_sync(nullptr, target.get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(session.send_sync(pdu.get(), nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(session.send_sync(static_cast<IPmsSnmpPacket*>(nullptr)), PSW_ERR_PARAMETER);
    TargetPtr no_address(create_community_target());
    no_address->set_version(0);
    no_address->set_timeout(100);
    no_address->set_max_message_size(1472);
    EXPECT_EQ(session.send_sync(pdu.get(), no_address.get()), PSW_ERR_PARAMETER);

    // No time to wait: nothing could be answered, so it is a time-out, not "success".
    for (int32_t timeout : {0, -1, -5000}) {
        target->set_timeout(timeout);
        EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_TIMEOUT) << timeout;
    }
    target->set_timeout(1000);
    // A maximum message size of 0 fits nothing and would divide by zero when splitting.
    target->set_max_message_size(0);
    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_PARAMETER);
    // No try at all is no reply either.
    target->set_max_message_size(1472);
    target->set_retries(-1);
    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_TIMEOUT);
    EXPECT_TRUE(net.sent.empty());
    EXPECT_EQ(oids_of(pdu.get()), std::vector<std::string>{kSysObjectId});
}

TEST_F(RequestSessionTest, SocketFailuresAreReturned)
{
    PduPtr pdu = make_pdu({kSysObjectId});
    TargetPtr target = make_target();
    net.create_result = PSW_ERR_ADDRESS;
    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_ADDRESS);
    net.create_result = PSW_SUCCESS;

    net.send_result = PSW_ERR_SEND;
    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_SEND);
    EXPECT_EQ(net.waits.size(), 0u) << "a failed send ends the exchange";
    net.send_result = PSW_SUCCESS;

    net.responder = [](FakeNet& n, const FakeNet::Sent&) {
        FakeNet::Incoming failure;
        failure.error = PSW_ERR_RECEIVE;
        n.queue(failure);
    };
    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_RECEIVE);
    EXPECT_EQ(net.sent.size(), 1u) << "a receive failure is not retried";
    EXPECT_TRUE(log.contains("_send_and_receive(): error=-204."));
}

TEST_F(RequestSessionTest, PacketFormLendsAndReturnsPduAndTarget)
{
    answer_everything();
    PacketPtr packet(create_packet());
    PduPtr pdu = make_pdu({kSysObjectId});
    TargetPtr target = make_target();
    IPmsPdu* pdu_raw = pdu.get();
    IPmsSnmpTarget* target_raw = target.get();
    packet->set_pdu(pdu.release());
    packet->set_target(target.release());

    EXPECT_EQ(session.send_sync(packet.get()), PSW_SUCCESS);
    EXPECT_EQ(packet->pdu(), pdu_raw);
    EXPECT_EQ(packet->target(), target_raw);
    EXPECT_EQ(values_of(packet->pdu()), std::vector<std::string>{std::string("v:") + kSysObjectId});
}

// --- fragmentation -------------------------------------------------------------------------

// An agent that answers tooBig to any request of more than `limit` bindings.
void too_big_above(FakeNet& net, size_t limit)
{
    net.responder = [limit](FakeNet& n, const FakeNet::Sent& sent) {
        const size_t count = oids_of(decode_message(sent.bytes).pdu.get()).size();
        if (count > limit) {
            n.queue(answer(sent.bytes, "", [](IPmsPdu& reply) {
                reply.set_error_status(1);
                reply.set_error_index(0);
            }));
        } else {
            n.queue(answer(sent.bytes));
        }
    };
}

TEST_F(RequestSessionTest, TooBigSplitsIntoTwoRequestsAndJoinsInRequestOrder)
{
    too_big_above(net, 5);
    TargetPtr target = make_target();
    const std::vector<std::string> oids = numbered_oids(10);
    PduPtr pdu = make_pdu(oids);

    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_SUCCESS);

    EXPECT_EQ(sent_binding_counts(), (std::vector<size_t>{10, 5, 5}));
    const std::vector<int32_t> ids = sent_ids();
    EXPECT_NE(ids[1], ids[0]);
    EXPECT_NE(ids[2], ids[1]) << "every piece is a request of its own";
    EXPECT_EQ(oids_of(decode_message(net.sent[1].bytes).pdu.get()),
              std::vector<std::string>(oids.begin(), oids.begin() + 5));
    EXPECT_EQ(oids_of(pdu.get()), oids);
    std::vector<std::string> expected;
    for (const auto& oid : oids) {
        expected.push_back("v:" + oid);
    }
    EXPECT_EQ(values_of(pdu.get()), expected);
    EXPECT_EQ(pdu->type(), kPmsResponse);
    EXPECT_EQ(pdu->error_status(), 0);
    EXPECT_EQ(pdu->request_id(), ids[0]) << "the joined PDU keeps the unsplit request's id";
    EXPECT_TRUE(log.contains("_send_and_receive(): receive packet is too big."));
    EXPECT_TRUE(log.contains("[RequestSession::fragment_process] packet[" + std::to_string(ids[0]) +
                             "] is fragmented to 2."));
}

TEST_F(RequestSessionTest, PiecesStillTooBigAreSplitAgain)
{
    too_big_above(net, 2);
    TargetPtr target = make_target();
    const std::vector<std::string> oids = numbered_oids(10);
    PduPtr pdu = make_pdu(oids);

    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    // 10 -> 5 (-> 3 (-> 2, 1), 2) and 5 (-> 3 (-> 2, 1), 2)
    EXPECT_EQ(sent_binding_counts(), (std::vector<size_t>{10, 5, 3, 2, 1, 2, 5, 3, 2, 1, 2}));
    EXPECT_EQ(oids_of(pdu.get()), oids);
    EXPECT_EQ(values_of(pdu.get()).back(), "v:" + oids.back());
}

TEST_F(RequestSessionTest, TooBigForASingleBindingCannotBeSplit)
{
    too_big_above(net, 0);
    TargetPtr target = make_target();
    PduPtr pdu = make_pdu({kSysDescr});

    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_CANNOT_SPLIT);
    EXPECT_EQ(net.sent.size(), 1u);
    EXPECT_TRUE(log.contains("[RequestSession::fragment_pdu] can't fragment the packet[" +
                             std::to_string(pdu->request_id()) + "] any more."))
        << log.all();
    EXPECT_EQ(oids_of(pdu.get()), std::vector<std::string>{kSysDescr})
        << "a PDU that cannot be split keeps its binding";
}

TEST_F(RequestSessionTest, ErrorOfALaterPieceIsRenumberedToTheJoinedList)
{
    // 8 bindings answered tooBig, then pieces of 4 and 4; the second piece's first binding
    // fails.
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        const std::vector<std::string> oids = oids_of(decode_message(sent.bytes).pdu.get());
        if (oids.size() == 8) {
            n.queue(answer(sent.bytes, "", [](IPmsPdu& r) { r.set_error_status(1); }));
        } else if (oids.front() == "1.3.6.1.4.1.99999.4.0") {
            n.queue(answer(sent.bytes, "", [](IPmsPdu& r) {
                r.set_error_status(2);
                r.set_error_index(1);
            }));
        } else {
            n.queue(answer(sent.bytes));
        }
    };
    TargetPtr target = make_target();
    PduPtr pdu = make_pdu(numbered_oids(8));

    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_EQ(sent_binding_counts(), (std::vector<size_t>{8, 4, 4}));
    EXPECT_EQ(pdu->error_status(), 2);
    EXPECT_EQ(pdu->error_index(), 5);
    EXPECT_EQ(oids_of(pdu.get()), numbered_oids(8));
}

TEST_F(RequestSessionTest, RequestLargerThanTheMaximumIsSentInPieces)
{
    answer_everything();
    TargetSettings settings;
    settings.max_size = 484;
    TargetPtr target = make_target(settings);
    // 30 bindings of about 40 bytes: about 1200 bytes encoded.
    const std::vector<std::string> oids = numbered_oids(
        30, "1.3.6.1.4.1.99999.1.2.3.4.5.6.7.8.9.10.11.12.13.14.15.16.17.18.19.20.21.22.23");
    PduPtr pdu = make_pdu(oids);
    const Bytes whole = encode_message(pdu.get());
    ASSERT_GT(whole.size(), 1100u);
    ASSERT_LT(whole.size(), 1300u);

    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_SUCCESS);

    EXPECT_EQ(sent_binding_counts(), (std::vector<size_t>{10, 10, 10}))
        << "nothing is sent before splitting";
    for (const auto& sent : net.sent) {
        EXPECT_LE(sent.bytes.size(), 484u);
    }
    EXPECT_TRUE(log.contains("is fragmented to 3."));
    EXPECT_EQ(oids_of(pdu.get()), oids);
    EXPECT_EQ(values_of(pdu.get()).front(), "v:" + oids.front());
}

TEST_F(RequestSessionTest, FailedPieceEndsTheRequestWithItsResult)
{
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        const std::vector<std::string> oids = oids_of(decode_message(sent.bytes).pdu.get());
        if (oids.size() == 6) {
            n.queue(answer(sent.bytes, "", [](IPmsPdu& r) { r.set_error_status(1); }));
        } else if (oids.front() == "1.3.6.1.4.1.99999.0.0") {
            n.queue(answer(sent.bytes));
        }  // the second piece is never answered
    };
    TargetSettings settings;
    settings.retries = 1;
    TargetPtr target = make_target(settings);
    PduPtr pdu = make_pdu(numbered_oids(6));

    EXPECT_EQ(session.send_sync(pdu.get(), target.get()), PSW_ERR_TIMEOUT);
    EXPECT_EQ(sent_binding_counts(), (std::vector<size_t>{6, 3, 3, 3}));
}

TEST_F(RequestSessionTest, FragmentPduDistributesTheRemainderToTheFirstPieces)
{
    PduPtr pdu = make_pdu(numbered_oids(10), kPmsGetNextRequest);
    pdu->set_request_id(77);
    Result error = PSW_ERR_FAILED;
    OwnedPtr<PmsPduList> pieces(session.fragment_pdu(pdu.get(), 3, &error));
    ASSERT_EQ(error, PSW_SUCCESS);
    ASSERT_TRUE(pieces);
    std::vector<std::string> joined;
    std::vector<size_t> sizes;
    PmsListIterator* at = pieces->new_iterator();
    for (IPmsPdu* piece = pieces->at(at); piece != nullptr;
         pieces->advance(at), piece = pieces->at(at)) {
        EXPECT_EQ(piece->type(), kPmsGetNextRequest);
        EXPECT_EQ(piece->request_id(), 77);
        const auto oids = oids_of(piece);
        sizes.push_back(oids.size());
        joined.insert(joined.end(), oids.begin(), oids.end());
    }
    pieces->release_iterator(at);
    EXPECT_EQ(sizes, (std::vector<size_t>{4, 3, 3}));
    EXPECT_EQ(joined, numbered_oids(10));
    ASSERT_NE(pdu->bindings(), nullptr) << "the emptied list goes back into the PDU";
    EXPECT_EQ(pdu->bindings()->count(), 0u);

    PduPtr small = make_pdu(numbered_oids(2));
    EXPECT_EQ(session.fragment_pdu(small.get(), 3, &error), nullptr);
    EXPECT_EQ(error, PSW_ERR_CANNOT_SPLIT);
    EXPECT_EQ(oids_of(small.get()), numbered_oids(2));
    EXPECT_EQ(session.fragment_pdu(small.get(), 0, &error), nullptr);
    EXPECT_EQ(error, PSW_ERR_PARAMETER);
}

}  // namespace
}  // namespace psw::test
