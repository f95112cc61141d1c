#include "session/session_dispatcher.h"

#include <atomic>

#include "core/factory.h"
#include "core/platform/lock.h"
#include "log/log_channel.h"
#include "log/trace_scope.h"
#include "session/request_session.h"
#include "session/v3_request_session.h"

namespace psw {

namespace {

class CPmsSystemSessionFactory final : public IPmsSessionFactory {
public:
    IPmsRequestSession* create_request_session(Result* result) noexcept override
    {
        return psw::create_request_session(result);
    }
    IPmsRequestSession* create_v3_request_session(Result* result) noexcept override
    {
        return psw::create_v3_request_session(result);
    }
};

class CPmsSessionDispatcher final : public SessionDispatcher {
public:
    explicit CPmsSessionDispatcher(IPmsSessionFactory& sessions) noexcept : m_sessions(sessions)
    {
    }
    CPmsSessionDispatcher(const CPmsSessionDispatcher&) = delete;
    CPmsSessionDispatcher& operator=(const CPmsSessionDispatcher&) = delete;

    ~CPmsSessionDispatcher() override
    {
        release_session(m_pRequestSession);
        release_session(m_pV3Session);
    }

    void release() noexcept override { delete this; }

    Result send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept override
    {
        if (pdu == nullptr || target == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        IPmsRequestSession* session = nullptr;
        const Result result = select(target, &session);
        return result != PSW_SUCCESS ? result : session->send_sync(pdu, target);
    }

    Result send_sync(IPmsSnmpPacket* packet) noexcept override
    {
        if (packet == nullptr || packet->target() == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        IPmsRequestSession* session = nullptr;
        const Result result = select(packet->target(), &session);
        return result != PSW_SUCCESS ? result : session->send_sync(packet);
    }

    Result send_broad_cast_sync(IPmsSnmpPacket* packet,
                                IPmsSnmpPacketList** list) noexcept override
    {
        if (packet == nullptr || packet->target() == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        IPmsRequestSession* session = nullptr;
        const Result result = select(packet->target(), &session);
        return result != PSW_SUCCESS ? result : session->send_broad_cast_sync(packet, list);
    }

    Result send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                IPmsSnmpPacketList** list) noexcept override
    {
        CPmcTraceScope scope("SessionDispatcher::send_broad_cast_sync",
                             pmc_snmp_channel().logger());
        if (pdu == nullptr || target == nullptr || list == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        IPmsRequestSession* session = nullptr;
        const Result result = select(target, &session);
        return result != PSW_SUCCESS ? result
                                     : session->send_broad_cast_sync(pdu, target, list);
    }

private:
    static void release_session(std::atomic<IPmsRequestSession*>& slot) noexcept
    {
        IPmsRequestSession* session = slot.exchange(nullptr);
        if (session != nullptr) {
            session->release();
        }
    }

    Result select(IPmsSnmpTarget* target, IPmsRequestSession** out) noexcept
    {
        const int32_t version = target->version();
        const int32_t kind = target->kind();
        if (kind == kPmsCommunityTarget && (version == kPmsVersion1 || version == kPmsVersion2c)) {
            return session_in(m_pRequestSession, false, out);
        }
        if (kind == kPmsUsmTarget && version == kPmsVersion3) {
            return session_in(m_pV3Session, true, out);
        }
        return PSW_ERR_PARAMETER;
    }

    // The session of the slot, made under the lock the first time.
    Result session_in(std::atomic<IPmsRequestSession*>& slot, bool v3,
                      IPmsRequestSession** out) noexcept
    {
        IPmsRequestSession* session = slot.load(std::memory_order_acquire);
        if (session == nullptr) {
            PmcLockGuard guard(m_lock);
            session = slot.load(std::memory_order_relaxed);
            if (session == nullptr) {
                Result result = PSW_SUCCESS;
                session = v3 ? m_sessions.create_v3_request_session(&result)
                             : m_sessions.create_request_session(&result);
                if (session == nullptr) {
                    return result != PSW_SUCCESS ? result : PSW_ERR_NO_MEMORY;
                }
                slot.store(session, std::memory_order_release);
            }
        }
        *out = session;
        return PSW_SUCCESS;
    }

    IPmsSessionFactory& m_sessions;
    std::atomic<IPmsRequestSession*> m_pRequestSession{nullptr};
    std::atomic<IPmsRequestSession*> m_pV3Session{nullptr};
    PmcLock m_lock;
};

}  // namespace

IPmsSessionFactory& pms_system_session_factory() noexcept
{
    static CPmsSystemSessionFactory factory;
    return factory;
}

SessionDispatcher* create_session_dispatcher(IPmsSessionFactory& sessions,
                                             Result* result) noexcept
{
    SessionDispatcher* dispatcher = pmc_new<CPmsSessionDispatcher>(sessions);
    set_result(result, dispatcher != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return dispatcher;
}

SessionDispatcher* create_session_dispatcher(Result* result) noexcept
{
    return create_session_dispatcher(pms_system_session_factory(), result);
}

}  // namespace psw
