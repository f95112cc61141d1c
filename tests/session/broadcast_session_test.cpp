// The broadcast form of RequestSession over a scripted network.
#include <gtest/gtest.h>

#include <map>

#include "session/request_session.h"
#include "session/session_test_util.h"

namespace psw::test {
namespace {

class BroadcastSessionTest : public ::testing::Test {
protected:
    BroadcastSessionTest() : log(test::LogCapture::attach("snmp")), session(net, net) {}

    TargetPtr broadcast_target(int32_t retries, int32_t timeout = 1000,
                               const std::string& address = "255.255.255.255")
    {
        TargetSettings settings;
        settings.address = address;
        settings.retries = retries;
        settings.timeout = timeout;
        return make_target(settings);
    }

    // address text -> reply value of each listed packet
    static std::map<std::string, std::string> collected(IPmsSnmpPacketList* list)
    {
        std::map<std::string, std::string> found;
        PmsListIterator* at = list->new_iterator();
        for (IPmsSnmpPacket* packet = list->at(at); packet != nullptr;
             list->advance(at), packet = list->at(at)) {
            const std::string address = packet->target()->address()->text();
            EXPECT_EQ(found.count(address), 0u) << address << " listed twice";
            found[address] = values_of(packet->pdu()).at(0);
        }
        list->release_iterator(at);
        return found;
    }

    test::LogCapture& log;
    FakeNet net;
    RequestSession session;
};

TEST_F(BroadcastSessionTest, EachAnsweringAddressIsListedOnceAcrossAllTries)
{
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(answer(sent.bytes, "a:"), "10.77.0.11", 5);
        n.queue(answer(sent.bytes, "b:"), "10.77.0.12", 5);
        n.queue(answer(sent.bytes, "b-again:"), "10.77.0.12", 5);  // twice per try
        n.queue(answer(sent.bytes, "c:"), "10.77.0.13", 5);
    };
    TargetPtr target = broadcast_target(1);
    PduPtr pdu = make_pdu({kSysObjectId});
    IPmsSnmpPacketList* raw = nullptr;
    const uint32_t start = net.now;

    ASSERT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_SUCCESS);
    PacketListPtr list(raw);

    EXPECT_EQ(net.sent.size(), 2u);
    EXPECT_EQ(net.broadcast_on, 1);
    EXPECT_EQ(net.now - start, 2000u) << "every try waits its full time-out";
    EXPECT_EQ(request_id_of(net.sent[0].bytes), request_id_of(net.sent[1].bytes));
    const std::string value = std::string(":") + kSysObjectId;
    EXPECT_EQ(collected(list.get()),
              (std::map<std::string, std::string>{{"10.77.0.11", "a" + value},
                                                  {"10.77.0.12", "b" + value},
                                                  {"10.77.0.13", "c" + value}}));
    PmsListIterator* at = list->new_iterator();
    IPmsSnmpPacket* first = list->at(at);
    list->release_iterator(at);
    EXPECT_EQ(first->target()->kind(), kPmsCommunityTarget);
    EXPECT_STREQ(pms_community_of(first->target())->community(), "public");
    EXPECT_EQ(first->pdu()->type(), kPmsResponse);
    EXPECT_STREQ(target->address()->text(), "255.255.255.255") << "the request's target stays";
    EXPECT_EQ(log.count("broad cast: receive from new address:"), 3);
    EXPECT_TRUE(log.contains("broad cast: timeout= 1000, retries=1, destination=255.255.255.255"));
    EXPECT_TRUE(log.contains("broad cast: try 1."));
    EXPECT_TRUE(log.contains("[RequestSession::send_broad_cast_sync] enter."));
    EXPECT_TRUE(log.contains("[RequestSession::send_broad_cast_sync] exit."));
}

// A reply is a repeat when its source names a kept reply's address in any spelling, with the same
// protocol and port; the first of each is kept, in the order they came.
TEST_F(BroadcastSessionTest, RepeatsAreDroppedWhateverTheSpellingAndOtherPortsKept)
{
    struct Reply {
        const char* source;
        uint16_t port;
        const char* value;
    };
    static const Reply replies[] = {
        {"fd77::11", 161, "a:"},
        {"10.77.0.12", 161, "b:"},
        {"FD77:0:0::11", 161, "a-capitals:"},
        {"fd77:0000:0000:0000:0000:0000:0000:0011", 161, "a-long:"},
        {"10.77.0.12", 161, "b-again:"},
        {"10.77.0.12", 1161, "b-other-port:"},
        {"10.77.0.13", 161, "c:"},
        {"10.77.0.12", 1161, "b-other-port-again:"},
    };
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        for (const Reply& reply : replies) {
            FakeNet::Incoming incoming;
            incoming.bytes = answer(sent.bytes, reply.value);
            incoming.source = reply.source;
            incoming.port = reply.port;
            n.queue(incoming);
        }
    };
    TargetPtr target = broadcast_target(1);
    PduPtr pdu = make_pdu({kSysObjectId});
    IPmsSnmpPacketList* raw = nullptr;
    ASSERT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_SUCCESS);
    PacketListPtr list(raw);

    std::vector<std::string> kept;
    PmsListIterator* at = list->new_iterator();
    for (IPmsSnmpPacket* packet = list->at(at); packet != nullptr;
         list->advance(at), packet = list->at(at)) {
        const IPmcNetworkAddress* address = packet->target()->address();
        kept.push_back(std::string(address->text()) + " " + std::to_string(address->port()) + " " +
                       values_of(packet->pdu()).at(0));
    }
    list->release_iterator(at);
    const std::string value = std::string(":") + kSysObjectId;
    EXPECT_EQ(kept, (std::vector<std::string>{"fd77::11 161 a" + value, "10.77.0.12 161 b" + value,
                                              "10.77.0.12 1161 b-other-port" + value,
                                              "10.77.0.13 161 c" + value}))
        << "both tries answered alike; the second added nothing";
    EXPECT_EQ(log.count("broad cast: receive from new address:"), 4);
}

// The replies of hundreds of devices arrive at once: the socket asks for room for them, and a
// system that refuses leaves the discovery going.
TEST_F(BroadcastSessionTest, AsksForALargeReceiveBufferAndGoesOnWithout)
{
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(answer(sent.bytes, "a:"), "10.77.0.11", 5);
    };
    net.receive_buffer_result = PSW_ERR_FAILED;
    TargetPtr target = broadcast_target(0);
    PduPtr pdu = make_pdu({kSysObjectId});
    IPmsSnmpPacketList* raw = nullptr;
    ASSERT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_SUCCESS);
    PacketListPtr list(raw);
    EXPECT_EQ(net.receive_buffer, 1 << 20);
    EXPECT_EQ(list->count(), 1u);
}

TEST_F(BroadcastSessionTest, SilenceGivesAnEmptyListAfterEveryWait)
{
    TargetPtr target = broadcast_target(2, 700);
    PduPtr pdu = make_pdu({kSysObjectId});
    IPmsSnmpPacketList* raw = nullptr;
    ASSERT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_SUCCESS);
    PacketListPtr list(raw);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 0u);
    EXPECT_EQ(net.sent.size(), 3u);
    EXPECT_EQ(net.waits, (std::vector<int32_t>{700, 700, 700}));
}

TEST_F(BroadcastSessionTest, RetriesMinusOneSendsNothing)
{
    TargetPtr target = broadcast_target(-1);
    PduPtr pdu = make_pdu({kSysObjectId});
    IPmsSnmpPacketList* raw = nullptr;
    ASSERT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_SUCCESS);
    PacketListPtr list(raw);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 0u);
    EXPECT_TRUE(net.sent.empty());
}

TEST_F(BroadcastSessionTest, UndecodableDatagramsAreDroppedEvenAsTheLastOfATry)
{
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(Bytes{0x30, 0x82, 0xff}, "10.77.0.66", 5);
        n.queue(answer(sent.bytes, "a:"), "10.77.0.11", 5);
        n.queue(Bytes{0x01, 0x02, 0x03}, "10.77.0.67", 5);
        n.queue(Bytes(3000, 0x30), "10.77.0.68", 5);  // too long to read; last of the try
    };
    TargetPtr target = broadcast_target(1);
    PduPtr pdu = make_pdu({kSysObjectId});
    IPmsSnmpPacketList* raw = nullptr;
    ASSERT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_SUCCESS);
    PacketListPtr list(raw);
    EXPECT_EQ(net.sent.size(), 2u) << "the stray datagram did not end the discovery";
    EXPECT_EQ(
        collected(list.get()),
        (std::map<std::string, std::string>{{"10.77.0.11", std::string("a:") + kSysObjectId}}));
    EXPECT_FALSE(log.contains("broad cast: error="));
}

// Only a Response to this request with error-status noError is an answer; the stranger's
// datagrams do not take the slot of the device that answers properly afterwards.
TEST_F(BroadcastSessionTest, OnlyRealAnswersAreTaken)
{
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(answer(sent.bytes, "a:", [](IPmsPdu& r) { r.set_request_id(r.request_id() + 5); }),
                "10.77.0.11", 5);
        n.queue(answer(sent.bytes, "a:", [](IPmsPdu& r) { r.set_error_status(5); }), "10.77.0.11",
                5);
        n.queue(answer(sent.bytes, "a:", [](IPmsPdu& r) { r.set_type(kPmsGetRequest); }),
                "10.77.0.11", 5);
        n.queue(answer(sent.bytes, "b:"), "10.77.0.11", 5);
    };
    TargetPtr target = broadcast_target(0);
    PduPtr pdu = make_pdu({kSysObjectId});
    IPmsSnmpPacketList* raw = nullptr;
    ASSERT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_SUCCESS);
    PacketListPtr list(raw);
    EXPECT_EQ(
        collected(list.get()),
        (std::map<std::string, std::string>{{"10.77.0.11", std::string("b:") + kSysObjectId}}));
}

TEST_F(BroadcastSessionTest, IpxRepliesAreAcceptedFromTheAskedNetworkOnly)
{
    const auto run = [this](const std::string& destination) {
        net.sent.clear();
        net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
            n.queue(answer(sent.bytes, "x:"), "0000000a:00000000000b", 5);
            n.queue(answer(sent.bytes, "y:"), "0000000c:00000000000d", 5);
        };
        TargetPtr target = broadcast_target(0, 1000, destination);
        PduPtr pdu = make_pdu({kSysObjectId});
        IPmsSnmpPacketList* raw = nullptr;
        EXPECT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_SUCCESS);
        PacketListPtr list(raw);
        std::vector<std::string> sources;
        for (const auto& [address, value] : collected(list.get())) {
            sources.push_back(address);
        }
        return sources;
    };
    EXPECT_EQ(net.last_protocol, IPmcNetworkAddress::kUnspecified);
    EXPECT_EQ(run("00000000:ffffffffffff"),
              (std::vector<std::string>{"0000000a:00000000000b", "0000000c:00000000000d"}));
    EXPECT_EQ(net.last_protocol, IPmcNetworkAddress::kIpx);
    EXPECT_EQ(run("0000000a:ffffffffffff"), std::vector<std::string>{"0000000a:00000000000b"});
}

TEST_F(BroadcastSessionTest, FailuresReleaseTheListAndWriteNothing)
{
    TargetPtr target = broadcast_target(1);
    PduPtr pdu = make_pdu({kSysObjectId});
    IPmsSnmpPacketList* untouched = reinterpret_cast<IPmsSnmpPacketList*>(0x1);
    IPmsSnmpPacketList* raw = untouched;

    EXPECT_EQ(session.send_broad_cast_sync(nullptr, target.get(), &raw), PSW_ERR_PARAMETER);
    EXPECT_EQ(session.send_broad_cast_sync(pdu.get(), nullptr, &raw), PSW_ERR_PARAMETER);
    EXPECT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), nullptr), PSW_ERR_PARAMETER);

    net.send_result = PSW_ERR_SEND;
    EXPECT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_ERR_SEND);
    EXPECT_TRUE(log.contains("broad cast: error=-205."));
    net.send_result = PSW_SUCCESS;

    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(answer(sent.bytes), "10.77.0.11", 5);
        FakeNet::Incoming failure;
        failure.error = PSW_ERR_RECEIVE;
        n.queue(failure);
    };
    EXPECT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_ERR_RECEIVE);
    EXPECT_EQ(raw, untouched);

    net.create_result = PSW_ERR_SOCKET;
    EXPECT_EQ(session.send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_ERR_SOCKET);
    EXPECT_EQ(raw, untouched);
}

TEST_F(BroadcastSessionTest, PacketFormUsesThePacketsPduAndTarget)
{
    net.responder = [](FakeNet& n, const FakeNet::Sent& sent) {
        n.queue(answer(sent.bytes, "a:"), "10.77.0.11", 5);
    };
    PacketPtr packet(create_packet());
    packet->set_pdu(make_pdu({kSysObjectId}).release());
    packet->set_target(broadcast_target(0).release());
    IPmsSnmpPacketList* raw = nullptr;
    ASSERT_EQ(session.send_broad_cast_sync(packet.get(), &raw), PSW_SUCCESS);
    PacketListPtr list(raw);
    EXPECT_EQ(list->count(), 1u);
    EXPECT_NE(packet->pdu(), nullptr);
    EXPECT_NE(packet->target(), nullptr);
}

}  // namespace
}  // namespace psw::test
