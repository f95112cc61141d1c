// RequestSession: the library's own SNMPv1/SNMPv2c engine. It sends one request to one target
// over a fresh datagram socket, waits for the Response PDU from the target's own address and
// port with the matching request id (anything else is dropped; the target is never changed)
// (retrying
// with a per-try time-out), decodes the reply into the request PDU, and splits requests that
// are too large for the target or the agent into fragments whose replies it joins again. Its
// broadcast form collects one reply per answering address (broadcast_session.cpp).
//
// Internal header: the dispatcher creates sessions through create_request_session(); the
// fragmenting steps are public so that they can be exercised one by one.
#pragma once

#include <cstdint>

#include "core/factory.h"
#include "core/pms_packet_buffer.h"
#include "net/datagram_socket.h"
#include "session/request_session_interface.h"
#include "session/session_transport.h"
#include "session/tick_source.h"
#include "snmp/pms_packet_coder.h"
#include "snmp/pms_pdu.h"

namespace psw {

class RequestSession final : public IPmsRequestSession {
public:
    // Receive buffer of one wait.
    static constexpr uint32_t kReceiveCapacity = 2048;

    // borrowed: `sockets` and `ticks` must outlive the session
    RequestSession(IPmcDataGramSocketFactory& sockets, IPmsTickSource& ticks) noexcept;
    RequestSession(const RequestSession&) = delete;
    RequestSession& operator=(const RequestSession&) = delete;

    void release() noexcept override;
    Result send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept override;
    Result send_sync(IPmsSnmpPacket* packet) noexcept override;
    Result send_broad_cast_sync(IPmsSnmpPacket* packet,
                                IPmsSnmpPacketList** list) noexcept override;
    Result send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                IPmsSnmpPacketList** list) noexcept override;
    ~RequestSession() override;

    // One exchange with retries. When the request or its reply is too big, `*fragments` receives
    // the number of pieces to split the PDU into (and the result is PSW_ERR_MESSAGE_SIZE or
    // PSW_ERR_TOO_BIG).
    // borrowed: `pdu` and `target` stay the caller's; `pdu` is filled in place
    Result _send_and_receive(IPmsPdu* pdu, IPmsSnmpTarget* target, uint32_t* fragments) noexcept;
    // Moves the PDU's bindings into `count` new PDUs of the same header, earlier ones taking the
    // remainder; the PDU keeps its (then empty) binding list. Null with PSW_ERR_CANNOT_SPLIT when
    // there are fewer bindings than pieces (the PDU then keeps its bindings).
    // the caller owns the result (release()); `pdu` stays the caller's
    PmsPduList* fragment_pdu(IPmsPdu* pdu, uint32_t count, Result* error) noexcept;
    // Sends the PDU in `count` pieces (splitting again where needed) and joins the replies
    // into it, renumbering a reply's error-index to the joined list.
    // borrowed: `pdu` and `target` stay the caller's; `pdu` is filled in place
    Result fragment_process(IPmsPdu* pdu, IPmsSnmpTarget* target, uint32_t count) noexcept;
    // 0 for the reply to `pdu`, PSW_ERR_TOO_BIG for a tooBig reply to it, PSW_ERR_REQUEST_ID for a
    // reply to another request, PSW_ERR_MALFORMED when not even the header can be read or the PDU
    // is no Response.
    // borrowed: every argument is only read
    Result check_received_raw_packet(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                     const PmsPacketBuffer* raw) noexcept;

    // The socket of the current (or last) request; null before the first.
    // not a transfer: owned by the session's transport, replaced per request
    DataGramSocket* socket() const noexcept { return m_transport.socket(); }

private:
    Result open_transport(DataGramSocket::EProtocol protocol, uint16_t port) noexcept;
    // `*raw` receives the session's request buffer (valid until the next build); left untouched
    // on failure
    Result build_request(IPmsPdu* pdu, IPmsSnmpTarget* target, const PmsPacketBuffer** raw,
                         uint32_t* written) noexcept;
    // borrowed: `raw` and `target` are only read
    Result send_request(const PmsPacketBuffer* raw, const IPmsSnmpTarget* target) noexcept;
    // `*raw` receives the session's reply buffer and `*source` the session's source address
    // (both valid until the next receive); both cleared first
    Result receive(int32_t remaining, const PmsPacketBuffer** raw,
                   const IPmcNetworkAddress** source) noexcept;
    // One try's wait: every datagram (or receive failure) within `timeout` milliseconds goes to
    // `take(result, raw, source)`, which returns true to end the wait early.
    template <class Take>
    void wait_datagrams(int32_t timeout, Take&& take) noexcept;
    // borrowed: `raw` is only read; `pdu` and `target` are filled in place
    Result decode_reply(const PmsPacketBuffer* raw, IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept;
    // Broadcast helpers.
    // borrowed: both addresses are only read
    static bool source_accepted(const IPmcNetworkAddress* destination,
                                const IPmcNetworkAddress* source) noexcept;
    // borrowed: `raw`, `source` only read; a new packet goes into `list` (or is dropped)
    static void add_reply(IPmsSnmpPacketList* list, const PmsPacketBuffer* raw,
                          const IPmcNetworkAddress* source) noexcept;
    // borrowed: `list` stays the caller's and receives new packets
    Result broadcast_tries(const PmsPacketBuffer* request, int32_t request_id,
                           IPmsSnmpTarget* target, IPmsSnmpPacketList* list) noexcept;

    CPmsSessionTransport m_transport;
    IPmsTickSource& m_ticks;
    // Kept from one exchange to the next, so that a steady exchange allocates none of them: the
    // encoded request, the received datagram, and the PDU a reply is decoded into before it
    // replaces the request's bindings (it then holds the request's former bindings, which the
    // next decode of a reply of the same shape reuses).
    PmsPacketBuffer m_request;
    PmsPacketBuffer m_reply;
    uint8_t m_received[kReceiveCapacity];
    OwnedPtr<IPmsPdu> m_scratch;
    // The source of the last datagram received.
    OwnedPtr<IPmcNetworkAddress> m_source;
    // Where the header of each datagram is read to check its type and request id.
    OwnedPtr<IPmsSnmpPacket> m_peeked;
    // What the last check read of a community reply's header, for its decode.
    PmsMessageHeader m_header;
};

template <class Take>
void RequestSession::wait_datagrams(int32_t timeout, Take&& take) noexcept
{
    int64_t remaining = timeout;
    uint32_t start = m_ticks.tick_count();
    while (remaining > 0) {
        const PmsPacketBuffer* raw = nullptr;
        const IPmcNetworkAddress* source = nullptr;
        const Result result = receive(static_cast<int32_t>(remaining), &raw, &source);
        if (take(result, raw, source)) {
            return;
        }
        const uint32_t now = m_ticks.tick_count();
        remaining -= static_cast<uint32_t>(now - start);
        start = now;
    }
}

// A new session over the given socket factory and tick source (both must outlive it).
// the caller owns the result (release()); `sockets` and `ticks` are borrowed
IPmsRequestSession* create_request_session(IPmcDataGramSocketFactory& sockets,
                                           IPmsTickSource& ticks,
                                           Result* result = nullptr) noexcept;
// A new session over real sockets and the system tick count.
// the caller owns the result and releases it with release()
IPmsRequestSession* create_request_session(Result* result = nullptr) noexcept;

}  // namespace psw
