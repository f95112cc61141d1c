// RequestSession's broadcast form: one request to a broadcast or multicast address, one reply
// kept per answering address across every try.
#include <cstring>

#include "core/factory.h"
#include "core/pmc_vector.h"
#include "log/log_channel.h"
#include "log/trace_scope.h"
#include "net/address_services.h"
#include "session/request_session.h"
#include "snmp/pms_packet_coder.h"

namespace psw {

namespace {

constexpr char kBroadcastScope[] = "RequestSession::send_broad_cast_sync";
// Room for the replies of several hundred devices: a small datagram takes about 0.8 KiB of
// buffer on a virtual link and 2 KiB or more from some network cards. Linux doubles what is
// asked, within net.core.rmem_max.
constexpr int32_t kBroadcastReceiveBuffer = 1 << 20;
// IPX texts start with the 8 hexadecimal digits of the network number.
constexpr size_t kIpxNetworkDigits = 8;

IPmcLogger* log() noexcept
{
    return pmc_snmp_channel().logger();
}

const char* printable(const IPmcNetworkAddress* address) noexcept
{
    const char* text = address != nullptr ? address->text() : nullptr;
    return text != nullptr ? text : "";
}

// A real answer to request `request_id`: a Response PDU with that request-id and error-status
// noError. Anything else (another request's reply, an error, a request or trap) is dropped.
bool is_answer(const PmsPacketBuffer* raw, int32_t request_id) noexcept
{
    int32_t type = 0;
    int32_t error_status = 0;
    int32_t id = 0;
    if (pms_packet_coder()->peek_pdu(raw, &type, &error_status, &id, kPmsTranslateCommunity) !=
        PSW_SUCCESS) {
        return false;
    }
    if (type != kPmsResponse || id != request_id || error_status != 0) {
        log()->output(kLogDebug, "broad cast: dropped pdu type %d, request id %d, error-status %d.",
                      type, id, error_status);
        return false;
    }
    return true;
}

// The sources of the replies kept so far, each canonicalised once when its reply is kept: a new
// datagram's source is canonicalised once and compared byte for byte with these, where comparing
// it with each kept reply's address (IPmcNetworkAddress::equals) canonicalised both texts again
// for every kept reply. Matches exactly what equals() decides: the same canonical text and
// protocol, and the source's port 0 or the kept one's.
class KeptSources {
public:
    KeptSources() noexcept = default;
    KeptSources(const KeptSources&) = delete;
    KeptSources& operator=(const KeptSources&) = delete;
    ~KeptSources()
    {
        for (const Key& key : m_keys) {
            key.canonical->release();
        }
        if (m_scratch != nullptr) {
            m_scratch->release();
        }
    }

    // PSW_ERR_NO_MEMORY when the source cannot be canonicalised for want of memory.
    // borrowed: `source` is only read
    Result contains(const IPmcNetworkAddress* source, bool* found) noexcept
    {
        *found = false;
        if (m_scratch == nullptr && (m_scratch = create_octets()) == nullptr) {
            return PSW_ERR_NO_MEMORY;
        }
        const Result parsed = parse_address(source->text(), m_scratch);
        if (parsed == PSW_ERR_NO_MEMORY) {
            return parsed;
        }
        if (parsed != PSW_SUCCESS) {
            return PSW_SUCCESS;  // a text that does not parse equals no address
        }
        for (const Key& key : m_keys) {
            if (key.protocol == source->protocol() &&
                (source->port() == 0 || source->port() == key.port) &&
                key.canonical->equals(m_scratch)) {
                *found = true;
                break;
            }
        }
        return PSW_SUCCESS;
    }

    // Remembers the source of a reply just kept (a copy of `source`: its text, protocol and
    // port). A text that does not parse equals no address and is not remembered.
    // borrowed: `source` is only read
    Result add(const IPmcNetworkAddress* source) noexcept
    {
        Result result = PSW_SUCCESS;
        OwnedPtr<PmsOctets> canonical(create_octets(&result));
        if (!canonical) {
            return result;
        }
        result = parse_address(source->text(), canonical.get());
        if (result != PSW_SUCCESS) {
            return result == PSW_ERR_NO_MEMORY ? result : PSW_SUCCESS;
        }
        if (!m_keys.push_back(Key{canonical.get(), source->protocol(), source->port()})) {
            return PSW_ERR_NO_MEMORY;
        }
        canonical.release();
        return PSW_SUCCESS;
    }

private:
    struct Key {
        PmsOctets* canonical;  // owned
        IPmcNetworkAddress::EProtocol protocol;
        uint16_t port;
    };
    PmcVector<Key> m_keys;
    PmsOctets* m_scratch = nullptr;  // owned; the last source's canonical text
};

}  // namespace

bool RequestSession::source_accepted(const IPmcNetworkAddress* destination,
                                     const IPmcNetworkAddress* source) noexcept
{
    const auto protocol = destination->protocol();
    if (protocol == IPmcNetworkAddress::kUdpIpv4 || protocol == IPmcNetworkAddress::kUdpIpv6) {
        return true;
    }
    const char* to = printable(destination);
    const char* from = printable(source);
    if (std::strncmp(to, "00000000", kIpxNetworkDigits) == 0) {
        return true;  // the local network: any source
    }
    return std::strlen(to) >= kIpxNetworkDigits && std::strncmp(to, from, kIpxNetworkDigits) == 0;
}

// Decodes one reply into a new packet with its own community target addressed to the source.
// A reply that cannot be decoded, or that cannot be kept for want of memory, is dropped.
void RequestSession::add_reply(IPmsSnmpPacketList* list, const PmsPacketBuffer* raw,
                               const IPmcNetworkAddress* source) noexcept
{
    OwnedPtr<IPmsSnmpTarget> target(create_community_target());
    OwnedPtr<IPmsPdu> pdu(create_pdu());
    OwnedPtr<IPmsSnmpPacket> packet(create_packet());
    if (!target || !pdu || !packet) {
        return;
    }
    if (pms_packet_coder()->decode(raw, pdu.get(), target.get(), kPmsTranslateCommunity) !=
            PSW_SUCCESS ||
        target->set_address(source) != PSW_SUCCESS) {
        return;
    }
    packet->set_pdu(pdu.release());
    packet->set_target(target.release());
    list->push_back(packet.release());  // releases the packet itself when it cannot be listed
}

// The tries of one broadcast; 0 when the last wait ran out, else the error that ended them.
// Only real answers to `request_id` are kept, one per source address.
Result RequestSession::broadcast_tries(const PmsPacketBuffer* request, int32_t request_id,
                                       IPmsSnmpTarget* target, IPmsSnmpPacketList* list) noexcept
{
    const IPmcNetworkAddress* destination = target->address();
    KeptSources kept;
    Result result = PSW_SUCCESS;
    for (int32_t attempt = 0; attempt < target->retries() + 1; ++attempt) {
        log()->output(kLogDebug, "broad cast: try %d.", attempt);
        result = send_request(request, target);
        if (result != PSW_SUCCESS) {
            return result;
        }
        bool failed = false;
        wait_datagrams(target->timeout(), [&](Result received, const PmsPacketBuffer* reply,
                                              const IPmcNetworkAddress* from) noexcept {
            if (received == PSW_ERR_TIMEOUT) {
                return true;
            }
            if (received != PSW_SUCCESS && received != PSW_ERR_MALFORMED) {
                result = received;
                failed = true;
                return true;
            }
            // An unreadable datagram (PSW_ERR_MALFORMED) is dropped like any other stray one.
            if (received == PSW_SUCCESS && from != nullptr && source_accepted(destination, from) &&
                is_answer(reply, request_id)) {
                bool known = false;
                result = kept.contains(from, &known);
                if (result != PSW_SUCCESS) {
                    log()->output(kLogError,
                                  "[RequestSession::send_broad_cast_sync] fail "
                                  "search_new_packet().");
                    failed = true;
                    return true;
                }
                if (!known) {
                    log()->output(kLogDebug, "broad cast: receive from new address:%s",
                                  printable(from));
                    // A reply that cannot be decoded is dropped like a repeated one: a stray
                    // datagram must not end the discovery.
                    const uint32_t before = list->count();
                    add_reply(list, reply, from);
                    if (list->count() != before && (result = kept.add(from)) != PSW_SUCCESS) {
                        log()->output(kLogError,
                                      "[RequestSession::send_broad_cast_sync] fail "
                                      "search_new_packet().");
                        failed = true;
                        return true;
                    }
                }
            }
            return false;
        });
        if (failed) {
            return result;
        }
        result = PSW_SUCCESS;
    }
    return result;
}

Result RequestSession::send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                            IPmsSnmpPacketList** list) noexcept
{
    CPmcTraceScope scope(kBroadcastScope, log());
    if (pdu == nullptr || target == nullptr || list == nullptr || target->address() == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    if (target->kind() != kPmsCommunityTarget) {
        // Replies are kept with community targets; other kinds have their own session.
        return PSW_ERR_PARAMETER;
    }
    Result result = open_transport(target->address()->protocol(), target->port());
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = socket()->set_broadcast(1);
    if (result != PSW_SUCCESS) {
        return result;
    }
    // Hundreds of devices answer within a few milliseconds; Linux's default buffer (212,992
    // bytes) holds some 250 small replies, and the rest would be dropped. A smaller buffer than
    // asked for (or none) only risks that loss, so it does not stop the discovery.
    static_cast<void>(socket()->set_receive_buffer(kBroadcastReceiveBuffer));
    const PmsPacketBuffer* request = nullptr;
    result = build_request(pdu, target, &request, nullptr);
    if (result != PSW_SUCCESS) {
        return result;
    }
    OwnedPtr<IPmsSnmpPacketList> replies(create_packet_list(&result));
    if (!replies) {
        return result;
    }
    log()->output(kLogInfo, "broad cast: timeout= %d, retries=%d, destination=%s",
                  target->timeout(), target->retries(), printable(target->address()));

    if (target->retries() != -1) {
        result = broadcast_tries(request, pdu->request_id(), target, replies.get());
    }
    if (result != PSW_SUCCESS && result != PSW_ERR_TIMEOUT) {
        log()->output(kLogError, "broad cast: error=%d.", result);
        return result;
    }
    *list = replies.release();
    return PSW_SUCCESS;
}

}  // namespace psw
