// Broadcast discovery across test hosts: network namespaces on a bridge, snmpsim agents on
// 0.0.0.0:161 (and [::]:161), one host answering twice per try, and the session running in
// the client namespace.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "session/fault_responder.h"
#include "session/request_session.h"
#include "session/session_test_util.h"
#include "support/agent_harness.h"
#include "support/netns.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr int kAgents = 3;

struct Found {
    std::string address;
    std::string value;
};

class BroadcastNetworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::netns, Peer::snmpsim);
        ASSERT_TRUE(lab.create());
        for (int i = 0; i < kAgents; ++i) {
            const std::string id = "1.3.6.1.4.1.99999.50." + std::to_string(i);
            ASSERT_TRUE(agents[i].start(
                {.files = {SnmprecSource(harness_data("harness-small.snmprec"), "public")
                               .replace(kSysObjectId, "6", id)},
                 .ipv6 = true,
                 .netns = lab.host(i)}));
        }
        // The last host runs our responder, which answers every request twice.
        int fd = -1;
        ASSERT_TRUE(lab.run_in(lab.host(kAgents), [&] {
            fd = ::socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in any{};
            any.sin_family = AF_INET;
            any.sin_port = htons(161);
            ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any), 0) << errno;
        }));
        ASSERT_TRUE(twice.adopt(fd));
    }

    // Runs one broadcast from the client namespace; address -> sysObjectID value.
    std::map<std::string, std::string> discover(IPmcNetworkAddress* destination, int32_t retries,
                                                size_t* listed)
    {
        std::map<std::string, std::string> found;
        EXPECT_TRUE(lab.run_in(lab.client(), [&] {
            OwnedPtr<IPmsRequestSession> session(create_request_session());
            TargetPtr target(create_community_target());
            target->set_version(kPmsVersion1);
            target->set_timeout(800);
            target->set_retries(retries);
            target->set_max_message_size(1472);
            pms_community_of(target.get())->set_community("public");
            ASSERT_EQ(target->set_address(destination), PSW_SUCCESS);
            PduPtr pdu = make_pdu({kSysObjectId});
            IPmsSnmpPacketList* raw = nullptr;
            ASSERT_EQ(session->send_broad_cast_sync(pdu.get(), target.get(), &raw), PSW_SUCCESS);
            PacketListPtr list(raw);
            *listed = list->count();
            PmsListIterator* at = list->new_iterator();
            for (IPmsSnmpPacket* packet = list->at(at); packet != nullptr;
                 list->advance(at), packet = list->at(at)) {
                EXPECT_EQ(packet->pdu()->type(), kPmsResponse);
                found[packet->target()->address()->text()] = values_of(packet->pdu()).at(0);
            }
            list->release_iterator(at);
        }));
        return found;
    }

    std::map<std::string, std::string> expected_ipv4() const
    {
        std::map<std::string, std::string> expected;
        for (int i = 0; i < kAgents; ++i) {
            expected[lab.host_ipv4(i)] = "1.3.6.1.4.1.99999.50." + std::to_string(i);
        }
        expected[lab.host_ipv4(kAgents)] = std::string("twice:") + kSysObjectId;
        return expected;
    }

    NetnsLab lab{NetnsLabOptions{.hosts = kAgents + 1}};
    SnmpsimAgent agents[kAgents];
    FaultResponder twice{[](const Bytes& request, int) {
        return std::vector<Bytes>{answer(request, "twice:"), answer(request, "twice:")};
    }};
};

TEST_F(BroadcastNetworkTest, SubnetAndLimitedBroadcastListEachHostOnce)
{
    for (const std::string& text : {lab.broadcast_ipv4(), std::string("255.255.255.255")}) {
        AddressPtr destination = make_address(text, 161);
        size_t listed = 0;
        EXPECT_EQ(discover(destination.get(), 1, &listed), expected_ipv4()) << text;
        EXPECT_EQ(listed, static_cast<size_t>(kAgents + 1)) << text;
    }
    // Two tries, two answers each: four requests seen by the responder, one listing.
    EXPECT_EQ(twice.requests().size(), 4u);
}

TEST_F(BroadcastNetworkTest, AllNodesMulticastWithTheInterfaceAsScopeReachesTheAgents)
{
    Result result = PSW_SUCCESS;
    AddressPtr destination(create_empty_address(&result));
    ASSERT_TRUE(destination);
    const std::string scoped = "ff02::1%" + lab.interface_name();
    ASSERT_EQ(destination->set(scoped.c_str(), IPmcNetworkAddress::kUdpIpv6, 161), PSW_SUCCESS);
    size_t listed = 0;
    const auto found = discover(destination.get(), 0, &listed);
    std::multiset<std::string> values;
    for (const auto& [address, value] : found) {
        EXPECT_EQ(address.rfind("fe80:", 0), 0u) << address << " (agents answer from link-local)";
        values.insert(value);
    }
    std::multiset<std::string> expected;
    for (int i = 0; i < kAgents; ++i) {
        expected.insert("1.3.6.1.4.1.99999.50." + std::to_string(i));
    }
    EXPECT_EQ(values, expected);
    EXPECT_EQ(listed, static_cast<size_t>(kAgents));
}

}  // namespace
}  // namespace psw::test
