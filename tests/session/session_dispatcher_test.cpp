// SessionDispatcher: which session serves which target, and lazy creation of the sessions.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "session/request_session.h"
#include "session/session_dispatcher.h"
#include "session/session_test_util.h"

namespace psw::test {
namespace {

// A session that records which operation reached it and answers a code of its own.
class RecordingSession final : public IPmsRequestSession {
public:
    explicit RecordingSession(Result answer, std::atomic<int>& alive)
        : m_answer(answer),
          m_alive(alive)
    {
        ++m_alive;
    }
    ~RecordingSession() override { --m_alive; }
    void release() noexcept override { delete this; }
    Result send_sync(IPmsPdu*, IPmsSnmpTarget*) noexcept override
    {
        record("send_sync(pdu,target)");
        return m_answer;
    }
    Result send_sync(IPmsSnmpPacket*) noexcept override
    {
        record("send_sync(packet)");
        return m_answer;
    }
    Result send_broad_cast_sync(IPmsSnmpPacket*, IPmsSnmpPacketList**) noexcept override
    {
        record("send_broad_cast_sync(packet)");
        return m_answer;
    }
    Result send_broad_cast_sync(IPmsPdu*, IPmsSnmpTarget*, IPmsSnmpPacketList**) noexcept override
    {
        record("send_broad_cast_sync(pdu,target)");
        return m_answer;
    }
    std::vector<std::string> calls;

private:
    void record(const char* call)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        calls.push_back(call);
    }
    std::mutex m_mutex;
    Result m_answer;
    std::atomic<int>& m_alive;
};

class CountingFactory final : public IPmsSessionFactory {
public:
    IPmsRequestSession* create_request_session(Result* result) noexcept override
    {
        ++v1_created;
        if (fail_next) {
            fail_next = false;
            set_result(result, PSW_ERR_NO_MEMORY);
            return nullptr;
        }
        // Give a racing thread time to arrive at the lock.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        last_v1 = new RecordingSession(101, alive);
        set_result(result, PSW_SUCCESS);
        return last_v1;
    }
    IPmsRequestSession* create_v3_request_session(Result* result) noexcept override
    {
        ++v3_created;
        last_v3 = new RecordingSession(303, alive);
        set_result(result, PSW_SUCCESS);
        return last_v3;
    }
    std::atomic<int> v1_created{0};
    std::atomic<int> v3_created{0};
    std::atomic<int> alive{0};
    bool fail_next = false;
    RecordingSession* last_v1 = nullptr;
    RecordingSession* last_v3 = nullptr;
};

TargetPtr target_of(int32_t kind, int32_t version)
{
    TargetPtr target(kind == kPmsCommunityTarget ? create_community_target() : create_usm_target());
    target->set_version(version);
    return target;
}

TEST(SessionDispatcher, SelectsTheSessionByKindAndVersion)
{
    CountingFactory factory;
    {
        OwnedPtr<SessionDispatcher> dispatcher(create_session_dispatcher(factory));
        PduPtr pdu = make_pdu({kSysObjectId});
        EXPECT_EQ(dispatcher->send_sync(pdu.get(), target_of(kPmsCommunityTarget, 0).get()), 101);
        EXPECT_EQ(dispatcher->send_sync(pdu.get(), target_of(kPmsCommunityTarget, 1).get()), 101);
        EXPECT_EQ(dispatcher->send_sync(pdu.get(), target_of(kPmsUsmTarget, 2).get()), 303);
        for (auto [kind, version] :
             std::vector<std::pair<int32_t, int32_t>>{{kPmsCommunityTarget, 2},
                                                      {kPmsCommunityTarget, -1},
                                                      {kPmsUsmTarget, 0},
                                                      {kPmsUsmTarget, 1},
                                                      {kPmsUsmTarget, -1},
                                                      {kPmsCommunityTarget, 3}}) {
            EXPECT_EQ(dispatcher->send_sync(pdu.get(), target_of(kind, version).get()),
                      PSW_ERR_PARAMETER)
                << kind << "/" << version;
        }
        EXPECT_EQ(factory.v1_created, 1);
        EXPECT_EQ(factory.v3_created, 1);
        EXPECT_EQ(factory.last_v1->calls.size(), 2u);
        EXPECT_EQ(factory.last_v3->calls.size(), 1u);
        EXPECT_EQ(factory.alive, 2);
    }
    EXPECT_EQ(factory.alive, 0) << "the dispatcher releases both sessions";
}

TEST(SessionDispatcher, EveryFormReachesTheSameNamedOperation)
{
    CountingFactory factory;
    OwnedPtr<SessionDispatcher> dispatcher(create_session_dispatcher(factory));
    PduPtr pdu = make_pdu({kSysObjectId});
    PacketPtr packet(create_packet());
    packet->set_target(target_of(kPmsCommunityTarget, 0).release());
    TargetPtr target = target_of(kPmsCommunityTarget, 0);
    IPmsSnmpPacketList* list = nullptr;

    EXPECT_EQ(dispatcher->send_sync(packet.get()), 101);
    EXPECT_EQ(dispatcher->send_broad_cast_sync(packet.get(), &list), 101);
    EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), target.get(), &list), 101);
    EXPECT_EQ(factory.last_v1->calls,
              (std::vector<std::string>{"send_sync(packet)", "send_broad_cast_sync(packet)",
                                        "send_broad_cast_sync(pdu,target)"}));

    EXPECT_EQ(dispatcher->send_sync(static_cast<IPmsSnmpPacket*>(nullptr)), PSW_ERR_PARAMETER);
    EXPECT_EQ(dispatcher->send_sync(nullptr, target.get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(dispatcher->send_sync(pdu.get(), nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), target.get(), nullptr),
              PSW_ERR_PARAMETER);
    PacketPtr empty(create_packet());
    EXPECT_EQ(dispatcher->send_sync(empty.get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(factory.last_v1->calls.size(), 3u);
}

TEST(SessionDispatcher, BroadcastIsTraced)
{
    test::LogCapture& log = test::LogCapture::attach("snmp");
    CountingFactory factory;
    OwnedPtr<SessionDispatcher> dispatcher(create_session_dispatcher(factory));
    PduPtr pdu = make_pdu({kSysObjectId});
    IPmsSnmpPacketList* list = nullptr;
    dispatcher->send_broad_cast_sync(pdu.get(), target_of(kPmsCommunityTarget, 0).get(), &list);
    EXPECT_TRUE(log.contains("[SessionDispatcher::send_broad_cast_sync] enter."));
    EXPECT_TRUE(log.contains("[SessionDispatcher::send_broad_cast_sync] exit."));
}

TEST(SessionDispatcher, FailedCreationIsRetriedByTheNextRequest)
{
    CountingFactory factory;
    factory.fail_next = true;
    OwnedPtr<SessionDispatcher> dispatcher(create_session_dispatcher(factory));
    PduPtr pdu = make_pdu({kSysObjectId});
    TargetPtr target = target_of(kPmsCommunityTarget, 0);
    EXPECT_EQ(dispatcher->send_sync(pdu.get(), target.get()), PSW_ERR_NO_MEMORY);
    EXPECT_EQ(dispatcher->send_sync(pdu.get(), target.get()), 101);
    EXPECT_EQ(factory.v1_created, 2);
}

TEST(SessionDispatcher, ConcurrentFirstRequestsCreateOneSession)
{
    CountingFactory factory;
    OwnedPtr<SessionDispatcher> dispatcher(create_session_dispatcher(factory));
    std::atomic<int> answered{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            PduPtr pdu = make_pdu({kSysObjectId});
            TargetPtr target = target_of(kPmsCommunityTarget, 0);
            IPmsSnmpPacketList* list = nullptr;
            answered += dispatcher->send_broad_cast_sync(pdu.get(), target.get(), &list) == 101;
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(factory.v1_created, 1);
    EXPECT_EQ(answered, 8);
}

// The SNMPv3 session checks its target before it opens Net-SNMP: no agent address, no request.
TEST(SessionDispatcher, SnmpV3RequestWithoutAnAddressIsRefusedBeforeSending)
{
    OwnedPtr<SessionDispatcher> dispatcher(create_session_dispatcher());
    ASSERT_TRUE(dispatcher);
    PduPtr pdu = make_pdu({kSysObjectId});
    TargetPtr target = target_of(kPmsUsmTarget, 2);
    IPmsSnmpPacketList* list = nullptr;
    EXPECT_EQ(dispatcher->send_sync(pdu.get(), target.get()), PSW_ERR_PARAMETER);
    EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), target.get(), &list), PSW_ERR_PARAMETER);
    EXPECT_EQ(list, nullptr);
}

}  // namespace
}  // namespace psw::test
