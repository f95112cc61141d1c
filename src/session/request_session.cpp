// RequestSession: unicast exchanges, retries and fragmentation.
#include "session/request_session.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/factory.h"
#include "log/log_channel.h"
#include "snmp/pms_packet_coder.h"

namespace psw {

namespace {

IPmcLogger* log() noexcept
{
    return pmc_snmp_channel().logger();
}

// The logger when a line of `level` is heard, else null (CPmcLogChannel::listening).
IPmcLogger* heard(uint32_t level) noexcept
{
    return pmc_snmp_channel().listening(level);
}

const char* printable(const IPmcNetworkAddress* address) noexcept
{
    const char* text = address != nullptr ? address->text() : nullptr;
    return text != nullptr ? text : "";
}

// True when `source` is the address and port the request went to. A source of the very text,
// protocol and port asked is that address without canonicalising either text (the usual
// reply); any other spelling is compared by the address services.
bool from_target(const IPmsSnmpTarget* target, const IPmcNetworkAddress* source) noexcept
{
    const IPmcNetworkAddress* asked = target->address();
    if (source == nullptr || asked == nullptr || source->port() != asked->port()) {
        return false;
    }
    const char* asked_text = asked->text();
    const char* source_text = source->text();
    if (asked_text != nullptr && source_text != nullptr &&
        source->protocol() == asked->protocol() && std::strcmp(asked_text, source_text) == 0) {
        return true;
    }
    return asked->equals(source);
}

uint32_t ceil_div(size_t value, size_t divisor) noexcept
{
    return static_cast<uint32_t>((value + divisor - 1) / divisor);
}

// Lends a packet's PDU and target to a call and puts them back afterwards.
class CPmsPacketLoan {
public:
    explicit CPmsPacketLoan(IPmsSnmpPacket* packet) noexcept
        : m_packet(packet),
          m_pdu(packet->detach_pdu()),
          m_target(packet->detach_target())
    {
    }
    ~CPmsPacketLoan()
    {
        m_packet->set_pdu(m_pdu);
        m_packet->set_target(m_target);
    }
    CPmsPacketLoan(const CPmsPacketLoan&) = delete;
    CPmsPacketLoan& operator=(const CPmsPacketLoan&) = delete;

    IPmsPdu* pdu() const noexcept { return m_pdu; }
    IPmsSnmpTarget* target() const noexcept { return m_target; }

private:
    IPmsSnmpPacket* m_packet;
    IPmsPdu* m_pdu;
    IPmsSnmpTarget* m_target;
};

}  // namespace

RequestSession::RequestSession(IPmcDataGramSocketFactory& sockets, IPmsTickSource& ticks) noexcept
    : m_transport(sockets),
      m_ticks(ticks)
{
}

RequestSession::~RequestSession() = default;

void RequestSession::release() noexcept
{
    delete this;
}

Result RequestSession::send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept
{
    if (pdu == nullptr || target == nullptr || target->address() == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    const Result opened = open_transport(target->address()->protocol(), target->port());
    if (opened != PSW_SUCCESS) {
        return opened;
    }
    uint32_t fragments = 0;
    const Result result = _send_and_receive(pdu, target, &fragments);
    if (fragments == 0) {
        return result;
    }
    return fragment_process(pdu, target, fragments);
}

Result RequestSession::send_sync(IPmsSnmpPacket* packet) noexcept
{
    if (packet == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    CPmsPacketLoan loan(packet);
    return send_sync(loan.pdu(), loan.target());
}

Result RequestSession::send_broad_cast_sync(IPmsSnmpPacket* packet,
                                            IPmsSnmpPacketList** list) noexcept
{
    if (packet == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    CPmsPacketLoan loan(packet);
    return send_broad_cast_sync(loan.pdu(), loan.target(), list);
}

// T1: the socket of the previous request goes; a new one is bound to the port (0: any).
Result RequestSession::open_transport(DataGramSocket::EProtocol protocol, uint16_t port) noexcept
{
    return m_transport.open(protocol, port);
}

// T2: a new request id, and the PDU encoded for the target. `*written` receives the number of
// bindings the encoder wrote completely.
Result RequestSession::build_request(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                     const PmsPacketBuffer** raw, uint32_t* written) noexcept
{
    pdu->set_request_id(next_request_id());
    uint32_t count = 0;
    const Result result = pms_packet_coder()->encode(pdu, target, &m_request, &count);
    if (written != nullptr) {
        *written = count;
    }
    if (result != PSW_SUCCESS) {
        return result;
    }
    *raw = &m_request;
    return PSW_SUCCESS;
}

// T3.
Result RequestSession::send_request(const PmsPacketBuffer* raw,
                                    const IPmsSnmpTarget* target) noexcept
{
    DataGramSocket* socket = m_transport.socket();
    if (socket == nullptr) {
        return PSW_ERR_SEND;
    }
    return socket->send(raw->data(), static_cast<uint32_t>(raw->data_length()), target->address());
}

// T4: one datagram within `remaining` milliseconds, as a raw packet holding exactly its bytes.
// The source goes into the session's own address object, made once.
Result RequestSession::receive(int32_t remaining, const PmsPacketBuffer** raw,
                               const IPmcNetworkAddress** source) noexcept
{
    *raw = nullptr;
    *source = nullptr;
    DataGramSocket* socket = m_transport.socket();
    if (socket == nullptr) {
        return PSW_ERR_RECEIVE;
    }
    // The socket writes the length once a datagram was read, also when reading it failed.
    constexpr int32_t kNothingRead = INT32_MIN;
    int32_t received = kNothingRead;
    Result result = PSW_SUCCESS;
    if (!m_source) {
        m_source.reset(create_empty_address(nullptr));
    }
    if (m_source) {
        result = socket->receive_into(m_received, kReceiveCapacity, remaining, &received,
                                      m_source.get());
    } else {
        // Without memory for an address object of its own, the socket makes one (or fails to).
        IPmcNetworkAddress* from = nullptr;
        result = socket->receive(m_received, kReceiveCapacity, remaining, &received, &from);
        m_source.reset(from);
    }
    if (result != PSW_SUCCESS || received < 0 ||
        static_cast<uint32_t>(received) > kReceiveCapacity) {
        if (result == PSW_ERR_RECEIVE && received != kNothingRead) {
            // A datagram came but could not be read whole (longer than any reply we take):
            // an unreadable reply, dropped like one, rather than a broken socket.
            result = PSW_ERR_MALFORMED;
        }
        return result != PSW_SUCCESS ? result : PSW_ERR_RECEIVE;
    }
    m_reply.attach_received(m_received, static_cast<size_t>(received));
    *raw = &m_reply;
    *source = m_source.get();
    return PSW_SUCCESS;
}

Result RequestSession::check_received_raw_packet(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                                 const PmsPacketBuffer* raw) noexcept
{
    int32_t type = 0;
    int32_t error_status = 0;
    int32_t request_id = 0;
    Result peeked = PSW_SUCCESS;
    m_header = PmsMessageHeader{};
    if (target->kind() == kPmsTranslateCommunity) {
        // The session's own scratch packet: its target and PDU are made once. What the peek
        // read is kept, so that decoding the reply need not read its header again.
        if (!m_peeked) {
            m_peeked.reset(create_packet(&peeked));
        }
        peeked = m_peeked
                     ? pms_packet_coder()->peek_community_header(raw, m_peeked.get(), &m_header)
                     : peeked;
        if (peeked == PSW_SUCCESS) {
            type = m_header.pdu_type;
            error_status = m_header.error_status;
            request_id = m_header.request_id;
        }
    } else {
        peeked =
            pms_packet_coder()->peek_pdu(raw, &type, &error_status, &request_id, target->kind());
    }
    if (peeked != PSW_SUCCESS) {
        return peeked == PSW_ERR_NO_MEMORY ? peeked : PSW_ERR_MALFORMED;
    }
    if (type != kPmsResponse) {
        // A request, a trap or our own request reflected back: no answer to anything.
        log()->output(kLogDebug,
                      "[RequestSession::check_received_raw_packet] pdu type %d is no response.",
                      type);
        return PSW_ERR_MALFORMED;
    }
    if (request_id == pdu->request_id()) {
        return error_status == 1 ? PSW_ERR_TOO_BIG : PSW_SUCCESS;
    }
    log()->output(kLogDebug,
                  "[RequestSession::check_received_raw_packet] request id not match. "
                  "sended packet[%ud]:received packet[%ud].",
                  static_cast<unsigned>(pdu->request_id()), static_cast<unsigned>(request_id));
    return PSW_ERR_REQUEST_ID;
}

// Decodes the reply into a scratch PDU first, so that an undecodable reply leaves the request
// PDU as it was; a decoded reply then replaces the PDU's header fields and bindings.
Result RequestSession::decode_reply(const PmsPacketBuffer* raw, IPmsPdu* pdu,
                                    IPmsSnmpTarget* target) noexcept
{
    Result result = PSW_SUCCESS;
    if (!m_scratch) {
        m_scratch.reset(create_pdu(&result));
        if (!m_scratch) {
            return result;
        }
    }
    // After a community peek of this datagram the decode starts at its bindings.
    result = pms_packet_coder()->decode_after_peek(raw, m_header, m_scratch.get(), target);
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = pdu->copy_header(m_scratch.get());
    if (result != PSW_SUCCESS) {
        return result;
    }
    // The request's bindings go to the scratch PDU, to be decoded over by the next reply.
    PmsVarBindList* asked = pdu->detach_bindings();
    pdu->set_bindings(m_scratch->detach_bindings());
    m_scratch->set_bindings(asked);
    return PSW_SUCCESS;
}

Result RequestSession::_send_and_receive(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                         uint32_t* fragments) noexcept
{
    if (pdu == nullptr || target == nullptr || target->address() == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    const size_t max_size = target->max_message_size();
    if (max_size == 0) {
        // Nothing fits in nothing; and the size divides below.
        return PSW_ERR_PARAMETER;
    }
    if (target->timeout() <= 0) {
        // No wait means no reply: say so instead of ending without an answer.
        return PSW_ERR_TIMEOUT;
    }

    const PmsPacketBuffer* request = nullptr;
    uint32_t written = 0;
    Result result = build_request(pdu, target, &request, &written);
    if (result == PSW_ERR_MESSAGE_SIZE) {
        const uint32_t count = pdu->bindings() != nullptr ? pdu->bindings()->count() : 0;
        if (written == 0) {
            // Not even one binding fits: there is no piece size to split by.
            return PSW_ERR_PARAMETER;
        }
        if (fragments != nullptr) {
            *fragments = written >= count ? 2 : ceil_div(count, written);
        }
        return PSW_ERR_MESSAGE_SIZE;
    }
    if (result != PSW_SUCCESS) {
        return result;
    }
    if (request->data_length() > max_size) {
        if (fragments != nullptr) {
            *fragments = ceil_div(request->data_length(), max_size);
        }
        return PSW_ERR_MESSAGE_SIZE;
    }

    if (IPmcLogger* logger = heard(kLogInfo)) {
        logger->output(kLogInfo, "_send_and_receive(): timeout= %d, retries=%d", target->timeout(),
                       target->retries());
    }

    // Without a single try there is no reply either.
    result = PSW_ERR_TIMEOUT;
    bool ended = false;
    for (int32_t attempt = 0; !ended && attempt < target->retries() + 1; ++attempt) {
        if (IPmcLogger* logger = heard(kLogDebug)) {
            logger->output(kLogDebug, "_send_and_receive(): try %d, destination=%s", attempt,
                           printable(target->address()));
        }
        result = send_request(request, target);
        if (result != PSW_SUCCESS) {
            break;
        }
        wait_datagrams(target->timeout(), [&](Result received, const PmsPacketBuffer* reply,
                                              const IPmcNetworkAddress* from) noexcept {
            result = received;
            if (result == PSW_ERR_TIMEOUT) {
                log()->output(kLogError, "_send_and_receive(): receive timeout.");
                return true;
            }
            if (result != PSW_SUCCESS && result != PSW_ERR_MALFORMED) {
                log()->output(kLogError, "_send_and_receive(): error=%d.", result);
                ended = true;
                return true;
            }
            if (result == PSW_SUCCESS && !from_target(target, from)) {
                // Only the address and port asked may answer; anyone else is dropped.
                log()->output(kLogDebug, "_send_and_receive(): dropped a datagram from %s",
                              printable(from));
                result = PSW_ERR_REQUEST_ID;
            } else if (result == PSW_SUCCESS) {
                if (IPmcLogger* logger = heard(kLogDebug)) {
                    logger->output(kLogDebug, "_send_and_receive(): receive from %s",
                                   printable(target->address()));
                }
                result = check_received_raw_packet(pdu, target, reply);
            }
            if (result == PSW_ERR_TOO_BIG) {
                log()->output(kLogDebug, "_send_and_receive(): receive packet is too big.");
                ended = true;
                return true;
            }
            if (result == PSW_SUCCESS) {
                result = decode_reply(reply, pdu, target);
                if (result != PSW_ERR_MALFORMED) {
                    ended = true;
                    return true;
                }
            } else if (result != PSW_ERR_REQUEST_ID && result != PSW_ERR_MALFORMED) {
                ended = true;
                return true;
            }
            // A reply to another request, or one that cannot be read: dropped; the wait goes
            // on for what is left of this try.
            return false;
        });
    }

    if (result == PSW_ERR_TOO_BIG && fragments != nullptr) {
        *fragments = 2;
    }
    return result;
}

PmsPduList* RequestSession::fragment_pdu(IPmsPdu* pdu, uint32_t count, Result* error) noexcept
{
    if (pdu == nullptr || count == 0) {
        set_result(error, PSW_ERR_PARAMETER);
        return nullptr;
    }
    Result result = PSW_SUCCESS;
    OwnedPtr<PmsPduList> list(create_pdu_list(&result));
    if (!list) {
        set_result(error, result);
        return nullptr;
    }
    PmsVarBindList* bindings = pdu->detach_bindings();
    const uint32_t total = bindings != nullptr ? bindings->count() : 0;
    const uint32_t base = total / count;
    const uint32_t extra = total % count;
    if (base == 0) {
        log()->output(kLogError,
                      "[RequestSession::fragment_pdu] can't fragment the packet[%d] any more.",
                      pdu->request_id());
        pdu->set_bindings(bindings);
        set_result(error, PSW_ERR_CANNOT_SPLIT);
        return nullptr;
    }
    // The pieces are made of copies first, so that running out of memory half-way leaves the
    // request PDU as it was; only then are the originals dropped.
    uint32_t next = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t size = i < extra ? base + 1 : base;
        OwnedPtr<IPmsPdu> piece(create_pdu(&result));
        PmsVarBindList* part = nullptr;
        if (piece && (result = piece->copy_header(pdu)) == PSW_SUCCESS) {
            part = bindings->copy_range(next, size, &result);
        }
        if (part == nullptr) {
            pdu->set_bindings(bindings);
            set_result(error, result != PSW_SUCCESS ? result : PSW_ERR_NO_MEMORY);
            return nullptr;
        }
        piece->set_bindings(part);
        next += size;
        result = list->push_back(piece.release());
        if (result != PSW_SUCCESS) {
            pdu->set_bindings(bindings);
            set_result(error, result);
            return nullptr;
        }
    }
    bindings->truncate(0);
    pdu->set_bindings(bindings);
    if (bindings->count() != 0) {
        log()->output(kLogError,
                      "[RequestSession::fragment_pdu] vb size of a fragmented packet is zero.");
        set_result(error, PSW_ERR_FAILED);
        return nullptr;
    }
    set_result(error, PSW_SUCCESS);
    return list.release();
}

Result RequestSession::fragment_process(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                        uint32_t count) noexcept
{
    Result result = PSW_SUCCESS;
    OwnedPtr<PmsPduList> pieces(fragment_pdu(pdu, count, &result));
    if (!pieces) {
        return result;
    }
    log()->output(kLogInfo, "[RequestSession::fragment_process] packet[%d] is fragmented to %d.",
                  pdu->request_id(), static_cast<int>(pieces->count()));

    PmsListIterator* at = pieces->new_iterator(&result);
    if (at == nullptr) {
        return result;
    }
    for (IPmsPdu* piece = pieces->at(at); piece != nullptr; piece = pieces->at(at)) {
        uint32_t sub_count = 0;
        result = _send_and_receive(piece, target, &sub_count);
        if (sub_count != 0) {
            result = fragment_process(piece, target, sub_count);
        }
        if (result != PSW_SUCCESS) {
            pieces->release_iterator(at);
            return result;
        }
        pieces->advance(at);
    }

    // Join: the pieces' replies in request order, the first error renumbered to the whole.
    pieces->rewind(at);
    IPmsPdu* first = pieces->at(at);
    pdu->set_type(first->type());
    pdu->set_error_status(0);
    pdu->set_error_index(0);
    int32_t offset = 0;
    for (IPmsPdu* piece = first; piece != nullptr; piece = pieces->at(at)) {
        if (pdu->error_status() == 0 && piece->error_status() != 0) {
            pdu->set_error_status(piece->error_status());
            pdu->set_error_index(piece->error_index() + offset);
        }
        int32_t moved = 0;
        for (PmsVarBind* binding = piece->detach_first(); binding != nullptr;
             binding = piece->detach_first()) {
            result = pdu->append(binding);
            if (result != PSW_SUCCESS) {
                pieces->release_iterator(at);
                return result;
            }
            ++moved;
        }
        offset += moved;
        pieces->advance(at);
    }
    pieces->release_iterator(at);
    return PSW_SUCCESS;
}

IPmsRequestSession* create_request_session(IPmcDataGramSocketFactory& sockets,
                                           IPmsTickSource& ticks, Result* result) noexcept
{
    IPmsRequestSession* session = pmc_new<RequestSession>(sockets, ticks);
    set_result(result, session != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return session;
}

IPmsRequestSession* create_request_session(Result* result) noexcept
{
    return create_request_session(pmc_system_datagram_socket_factory(), pms_system_tick_source(),
                                  result);
}

}  // namespace psw
