// The SNMPv3 session: every request goes through Net-SNMP's single-session API with the user,
// level, protocols and keys of its USM target. Net-SNMP is initialised once per process and used
// by one request or discovery at a time (netsnmp_runtime.h).
#include "session/v3_request_session.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstring>

#include "core/factory.h"
#include "core/platform/clock.h"
#include "core/pmc_vector.h"
#include "log/log_channel.h"
#include "log/trace_scope.h"
#include "net/foreign_socket.h"
#include "net/network_address.h"
#include "session/netsnmp_runtime.h"
#include "session/v3_netsnmp_adapter.h"
#include "snmp/pms_packet_coder.h"

namespace psw {

namespace {

IPmcLogger* snmp_logger() noexcept
{
    return pmc_snmp_channel().logger();
}

// The USM targets found by an engine-id probe, one per answering address. Owns them.
class CPmsFoundEngines {
public:
    CPmsFoundEngines() = default;
    CPmsFoundEngines(const CPmsFoundEngines&) = delete;
    CPmsFoundEngines& operator=(const CPmsFoundEngines&) = delete;
    ~CPmsFoundEngines()
    {
        for (IPmsSnmpTarget* target : m_targets) {
            target->release();
        }
    }

    size_t size() const noexcept { return m_targets.size(); }
    IPmsSnmpTarget* at(size_t i) const noexcept { return m_targets[i]; }

    bool holds(const char* text) const noexcept
    {
        for (IPmsSnmpTarget* target : m_targets) {
            const IPmcNetworkAddress* address = target->address();
            if (address != nullptr && address->text() != nullptr &&
                std::strcmp(address->text(), text) == 0) {
                return true;
            }
        }
        return false;
    }

    // A new USM target for an answering address (port 0) and its engine id.
    Result add(const char* text, const uint8_t* engine, size_t engine_length) noexcept
    {
        Result result = PSW_SUCCESS;
        OwnedPtr<IPmsSnmpTarget> target(create_usm_target(&result));
        if (!target) {
            return result;
        }
        IPmcNetworkAddress* address = create_address(text, 0, &result);
        if (address == nullptr) {
            return result;
        }
        result = target->set_address(address);
        address->release();
        if (result == PSW_SUCCESS) {
            result = pms_usm_of(target.get())->set_engine_id(engine, engine_length);
        }
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (!m_targets.push_back(target.get())) {
            return PSW_ERR_NO_MEMORY;
        }
        target.release();
        return PSW_SUCCESS;
    }

private:
    PmcVector<IPmsSnmpTarget*> m_targets;
};

// What the probe's callback needs and leaves behind.
struct ProbeState {
    void* session = nullptr;
    long request_id = 0;
    CPmsFoundEngines* found = nullptr;
    bool done = false;
    int32_t snmp_error = 0;
};

int broadcast_callback(int operation, snmp_session* /*session*/, int request_id, snmp_pdu* pdu,
                       void* argument)
{
    CPmcTraceScope scope("broadcast_callback", snmp_logger());
    auto* state = static_cast<ProbeState*>(argument);
    if (state == nullptr || state->session == nullptr) {
        return 1;
    }
    const bool ours =
        pdu == nullptr || request_id == state->request_id || pdu->command == SNMP_MSG_REPORT;
    if (!ours) {
        return 1;
    }
    switch (operation) {
        case NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE: {
            char source[128];
            if (pdu != nullptr &&
                pms_v3_message_source(state->session, pdu, source, sizeof(source)) == PSW_SUCCESS &&
                !state->found->holds(source)) {
                state->found->add(source, pdu->securityEngineID, pdu->securityEngineIDLen);
            }
            break;
        }
        case NETSNMP_CALLBACK_OP_TIMED_OUT:
            state->done = true;
            if (state->found->size() == 0) {
                state->snmp_error = SNMPERR_TIMEOUT;
            }
            break;
        case NETSNMP_CALLBACK_OP_DISCONNECT:
            state->done = true;
            state->snmp_error = SNMPERR_ABORT;
            break;
        default: break;
    }
    return 1;
}

// Net-SNMP's request callback of the probe: hands every message to broadcast_callback and
// keeps the request open after a received message (return 0), so that the answers of every
// engine on the broadcast address match it, not only the first one.
int collect_callback(int operation, snmp_session* session, int request_id, snmp_pdu* pdu,
                     void* argument)
{
    broadcast_callback(operation, session, request_id, pdu, argument);
    return operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE ? 0 : 1;
}

class CPmsV3RequestSession final : public IPmsRequestSession {
public:
    void release() noexcept override { delete this; }

    Result send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept override
    {
        CPmcTraceScope scope("v3RequestSession::send_sync(IPmsSnmpPacket*)", snmp_logger());
        if (pdu == nullptr || target == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        CPmsNetSnmpUse netsnmp;
        return send_sync_internal(pdu, target);
    }

    Result send_sync(IPmsSnmpPacket* packet) noexcept override
    {
        CPmcTraceScope scope("v3RequestSession::send_sync(IPmsSnmpPacket*)", snmp_logger());
        if (packet == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        IPmsPdu* pdu = packet->detach_pdu();
        IPmsSnmpTarget* target = packet->detach_target();
        const Result result = send_sync(pdu, target);
        packet->set_pdu(pdu);
        packet->set_target(target);
        return result;
    }

    Result send_broad_cast_sync(IPmsSnmpPacket* packet, IPmsSnmpPacketList** list) noexcept override
    {
        CPmcTraceScope scope(
            "v3RequestSession::send_broad_cast_sync(IPmsSnmpPacket*, "
            "IPmsSnmpPacketList**)",
            snmp_logger());
        if (packet == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        IPmsPdu* pdu = packet->detach_pdu();
        IPmsSnmpTarget* target = packet->detach_target();
        const Result result = send_broad_cast_sync(pdu, target, list);
        packet->set_pdu(pdu);
        packet->set_target(target);
        return result;
    }

    Result send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                IPmsSnmpPacketList** list) noexcept override
    {
        CPmcTraceScope scope(
            "v3RequestSession::send_broad_cast_sync(IPmsPdu*, IPmsSnmpTarget*, "
            "IPmsSnmpPacketList**)",
            snmp_logger());
        if (pdu == nullptr || target == nullptr || list == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        CPmsNetSnmpUse netsnmp;
        CPmsFoundEngines found;
        Result result = get_engine_id_broad_cast(target, &found);
        if (result != PSW_SUCCESS) {
            return result;
        }
        OwnedPtr<IPmsSnmpPacketList> packets(create_packet_list(&result));
        if (!packets) {
            return result;
        }
        for (size_t i = 0; i < found.size(); ++i) {
            result = read_one(pdu, target, found.at(i), packets.get());
            if (result == PSW_ERR_MALFORMED || result == PSW_ERR_SECURITY ||
                result == PSW_ERR_RECEIVE || result == PSW_ERR_TIMEOUT) {
                result = PSW_SUCCESS;  // that device is skipped
            }
            if (result != PSW_SUCCESS) {
                return result;
            }
        }
        *list = packets.release();
        return PSW_SUCCESS;
    }

private:
    static Result send_sync_internal(IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept
    {
        CPmcTraceScope scope("v3RequestSession::send_sync_internal(IPmsPdu*, IPmsSnmpTarget*)",
                             snmp_logger());
        if (pdu == nullptr || target == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        pdu->set_request_id(next_request_id());
        CPmsNetSnmpAdapter adapter(false);
        Result result = adapter.prepare(target, pdu);
        if (result != PSW_SUCCESS) {
            return result;
        }
        snmp_pdu* reply = nullptr;
        const int status = snmp_sess_synch_response(adapter.session(), adapter.take_pdu(), &reply);
        if (status != STAT_SUCCESS) {
            const int32_t error = adapter.log_session_error("snmp_synch_response");
            result = pms_netsnmp_status_result(status, error);
        }
        if (reply == nullptr) {
            return result != PSW_SUCCESS ? result : PSW_ERR_RECEIVE;
        }
        CPmsV3ReplyConverter converter(reply, adapter.session());
        const Result converted = converter.convert(target, pdu);
        snmp_free_pdu(reply);
        return result != PSW_SUCCESS ? result : converted;
    }

    // One ordinary request to a device that answered the probe; a packet on success.
    static Result read_one(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsSnmpTarget* engine,
                           IPmsSnmpPacketList* packets) noexcept
    {
        IPmsUsmTarget* found = pms_usm_of(engine);
        if (pms_usm_of(target) == nullptr || found == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        OwnedPtr<IPmsSnmpTarget> clone(target->clone());
        OwnedPtr<IPmsPdu> copy(pdu->clone());
        if (!clone || !copy) {
            return PSW_SUCCESS;  // skipped
        }
        size_t engine_length = 0;
        const uint8_t* engine_id = found->engine_id(&engine_length);
        if (clone->set_address(engine->address()) != PSW_SUCCESS ||
            pms_usm_of(clone.get())->set_engine_id(engine_id, engine_length) != PSW_SUCCESS) {
            return PSW_SUCCESS;  // skipped
        }
        const Result result = send_sync_internal(copy.get(), clone.get());
        if (result != PSW_SUCCESS) {
            return result;
        }
        Result made = PSW_SUCCESS;
        IPmsSnmpPacket* packet = create_packet(&made);
        if (packet == nullptr) {
            return made;
        }
        packet->set_pdu(copy.release());
        packet->set_target(clone.release());
        return packets->push_back(packet);
    }

    // Sends the engine-id probe to the target's (broadcast) address and collects one USM
    // target per answering address until the time-out of all tries has passed.
    static Result get_engine_id_broad_cast(IPmsSnmpTarget* target, CPmsFoundEngines* found) noexcept
    {
        CPmcTraceScope scope("v3RequestSession::get_engine_id_broad_cast", snmp_logger());
        if (target == nullptr || found == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        Result result = PSW_SUCCESS;
        OwnedPtr<IPmsPdu> probe(create_pdu(&result));
        if (!probe) {
            return result;
        }
        probe->set_request_id(next_request_id());
        ProbeState state;
        state.found = found;
        CPmsNetSnmpAdapter adapter(true);
        adapter.set_callback(broadcast_callback, &state);
        result = adapter.prepare(target, probe.get());
        if (result != PSW_SUCCESS) {
            return result;
        }
        state.session = adapter.session();
        // Net-SNMP probes an unknown engine itself before the first send of a session; the
        // probe here is that probe, sent to every engine at once.
        snmp_sess_session(adapter.session())->flags |= SNMP_FLAGS_DONT_PROBE;
        const netsnmp_transport* transport = snmp_sess_transport(adapter.session());
        if (transport != nullptr) {
            pmc_allow_broadcast(transport->sock);
        }
        snmp_pdu* message = adapter.take_pdu();
        state.request_id = message->reqid;
        if (snmp_sess_async_send(adapter.session(), message, collect_callback, &state) == 0) {
            snmp_free_pdu(message);
            const int32_t error = adapter.log_session_error("snmp_sess_synch_response_cb");
            return pms_netsnmp_result(error);
        }

        const int32_t tries = target->retries() >= 0 ? target->retries() + 1 : 1;
        const uint32_t window =
            static_cast<uint32_t>(target->timeout() > 0 ? target->timeout() : 0) *
            static_cast<uint32_t>(tries);
        const uint32_t start = pmc_tick_count();
        while (!state.done) {
            const uint32_t elapsed = pmc_tick_count() - start;
            if (elapsed >= window) {
                break;
            }
            int count = 0;
            int block = 1;
            fd_set readable;
            FD_ZERO(&readable);
            timeval wait{};
            snmp_sess_select_info(adapter.session(), &count, &readable, &wait, &block);
            uint32_t milliseconds = window - elapsed;
            if (block == 0) {
                const auto next = static_cast<uint32_t>(wait.tv_sec * 1000 + wait.tv_usec / 1000);
                milliseconds = next < milliseconds ? next : milliseconds;
            }
            const int ready = pmc_wait_readable(count, &readable, milliseconds);
            if (ready > 0) {
                snmp_sess_read(adapter.session(), &readable);
            } else if (ready == 0) {
                snmp_sess_timeout(adapter.session());
            } else {
                state.snmp_error = SNMPERR_BAD_RECVFROM;
                break;
            }
        }
        if (state.snmp_error != 0 && state.snmp_error != SNMPERR_TIMEOUT) {
            snmp_logger()->output(kLogError, "%s(): ErrNo = %d, SnmpErrNo = %d, %s",
                                  "snmp_sess_synch_response_cb", 0, state.snmp_error,
                                  snmp_api_errstring(state.snmp_error));
            return pms_netsnmp_result(state.snmp_error);
        }
        return PSW_SUCCESS;  // a time-out is the normal end of the wait
    }
};

}  // namespace

IPmsRequestSession* create_v3_request_session(Result* result) noexcept
{
    IPmsRequestSession* session = pmc_new<CPmsV3RequestSession>();
    set_result(result, session != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return session;
}

}  // namespace psw
