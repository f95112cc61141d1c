// Helpers of the session tests: owning pointers, PDUs and targets, message bytes, and a
// scripted network (sockets and a clock) that sessions can be given instead of real sockets and
// the system tick count. The "snmp" log lines are read through the shared LogCapture.
#pragma once

#include "support/log_capture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/factory.h"
#include "core/pms_packet_buffer.h"
#include "log/log_registry.h"
#include "net/datagram_socket.h"
#include "net/network_address.h"
#include "session/tick_source.h"
#include "snmp/pms_lists.h"
#include "snmp/pms_packet.h"
#include "snmp/pms_packet_coder.h"
#include "snmp/pms_pdu.h"
#include "snmp/pms_value.h"
#include "snmp/snmp_target.h"

namespace psw::test {

using Bytes = std::vector<uint8_t>;
using PduPtr = OwnedPtr<IPmsPdu>;
using TargetPtr = OwnedPtr<IPmsSnmpTarget>;
using PacketPtr = OwnedPtr<IPmsSnmpPacket>;
using PacketListPtr = OwnedPtr<IPmsSnmpPacketList>;
using AddressPtr = OwnedPtr<IPmcNetworkAddress>;

// sysDescr.0 and sysObjectID.0
inline constexpr char kSysDescr[] = "1.3.6.1.2.1.1.1.0";
inline constexpr char kSysObjectId[] = "1.3.6.1.2.1.1.2.0";

// A PDU of `type` with one NULL-valued binding per OID.
inline PduPtr make_pdu(const std::vector<std::string>& oids, int32_t type = kPmsGetRequest)
{
    PduPtr pdu(create_pdu());
    pdu->set_type(type);
    pdu->set_error_status(0);
    pdu->set_error_index(0);
    for (const std::string& oid : oids) {
        EXPECT_EQ(pdu->add(create_oid_from_text(oid.c_str()), create_value(kPmsNull)), PSW_SUCCESS);
    }
    return pdu;
}

// "1.3.6.1.4.1.99999.<i>.0" for i in [0, count).
inline std::vector<std::string> numbered_oids(int count,
                                              const std::string& stem = "1.3.6.1.4.1.99999")
{
    std::vector<std::string> oids;
    for (int i = 0; i < count; ++i) {
        oids.push_back(stem + "." + std::to_string(i) + ".0");
    }
    return oids;
}

inline std::vector<std::string> oids_of(const IPmsPdu* pdu)
{
    std::vector<std::string> oids;
    const PmsVarBindList* list = pdu->bindings();
    for (uint32_t i = 0; list != nullptr && i < list->count(); ++i) {
        oids.emplace_back(list->at(i)->name()->text());
    }
    return oids;
}

inline std::string text_of(const IPmsValue* value)
{
    if (value == nullptr) {
        return {};
    }
    size_t length = 0;
    const uint8_t* bytes = value->get_octets(&length);
    return bytes != nullptr ? std::string(reinterpret_cast<const char*>(bytes), length)
                            : std::string();
}

inline std::vector<std::string> values_of(const IPmsPdu* pdu)
{
    std::vector<std::string> values;
    const PmsVarBindList* list = pdu->bindings();
    for (uint32_t i = 0; list != nullptr && i < list->count(); ++i) {
        values.push_back(text_of(list->at(i)->value()));
    }
    return values;
}

inline AddressPtr make_address(const std::string& text, uint16_t port)
{
    Result result = PSW_SUCCESS;
    AddressPtr address(create_address(text.c_str(), port, &result));
    EXPECT_EQ(result, PSW_SUCCESS) << text;
    return address;
}

struct TargetSettings {
    std::string address = "127.0.0.1";
    uint16_t agent_port = 161;
    int32_t version = kPmsVersion1;
    std::string community = "public";
    int32_t timeout = 1000;
    int32_t retries = 2;
    size_t max_size = 1472;
};

inline TargetPtr make_target(const TargetSettings& settings = {})
{
    TargetPtr target(create_community_target());
    target->set_version(settings.version);
    target->set_timeout(settings.timeout);
    target->set_retries(settings.retries);
    target->set_max_message_size(settings.max_size);
    pms_community_of(target.get())->set_community(settings.community.c_str());
    AddressPtr address = make_address(settings.address, settings.agent_port);
    EXPECT_EQ(target->set_address(address.get()), PSW_SUCCESS);
    return target;
}

// The message for a PDU under a community (no size limit worth the name).
inline Bytes encode_message(IPmsPdu* pdu, int32_t version = kPmsVersion1,
                            const char* community = "public")
{
    TargetPtr target(create_community_target());
    target->set_version(version);
    target->set_max_message_size(65507);
    pms_community_of(target.get())->set_community(community);
    OwnedPtr<PmsPacketBuffer> buffer(create_packet_buffer());
    const Result result = pms_packet_coder()->encode(pdu, target.get(), buffer.get(), nullptr);
    EXPECT_EQ(result, PSW_SUCCESS);
    if (result != PSW_SUCCESS) {
        return {};
    }
    return Bytes(buffer->data(), buffer->data() + buffer->data_length());
}

struct DecodedMessage {
    Result result = PSW_ERR_FAILED;
    PduPtr pdu;
    TargetPtr target;
};

inline DecodedMessage decode_message(const Bytes& bytes)
{
    DecodedMessage decoded;
    decoded.pdu.reset(create_pdu());
    decoded.target.reset(create_community_target());
    PmsPacketBuffer buffer;
    buffer.attach_received(bytes.data(), bytes.size());
    decoded.result =
        pms_packet_coder()->decode(&buffer, decoded.pdu.get(), decoded.target.get(), -1);
    return decoded;
}

// What a well-behaved agent answers to a request message: a Response with the same id whose
// values are "<prefix><oid>" octet strings. `edit` may change the reply before it is encoded.
inline Bytes answer(const Bytes& request, const std::string& prefix = "v:",
                    const std::function<void(IPmsPdu&)>& edit = {})
{
    DecodedMessage message = decode_message(request);
    EXPECT_EQ(message.result, PSW_SUCCESS);
    if (message.result != PSW_SUCCESS) {
        return {};
    }
    IPmsPdu& pdu = *message.pdu;
    pdu.set_type(kPmsResponse);
    pdu.set_error_status(0);
    pdu.set_error_index(0);
    PmsVarBindList* list = pdu.bindings();
    for (uint32_t i = 0; list != nullptr && i < list->count(); ++i) {
        const std::string text = prefix + list->at(i)->name()->text();
        list->at(i)->set_value(create_value_from_text(text.c_str(), kPmsOctetString));
    }
    if (edit) {
        edit(pdu);
    }
    return encode_message(&pdu, message.target->version(),
                          pms_community_of(message.target.get())->community());
}

// The request id of a message (-1 when it cannot be read).
inline int32_t request_id_of(const Bytes& message)
{
    DecodedMessage decoded = decode_message(message);
    return decoded.result == PSW_SUCCESS ? decoded.pdu->request_id() : -1;
}

// A scripted network: sockets that record what is sent and hand out queued datagrams, and a
// clock that only moves when a wait runs out or a datagram arrives after a delay.
class FakeNet final : public IPmcDataGramSocketFactory, public IPmsTickSource {
public:
    struct Sent {
        Bytes bytes;
        std::string destination;
        uint16_t port = 0;
    };
    struct Incoming {
        Bytes bytes;
        std::string source = "127.0.0.1";
        uint16_t port = 161;
        uint32_t delay_ms = 1;       // time from the start of the wait (or the previous datagram)
        Result error = PSW_SUCCESS;  // non-zero: receive fails with it instead
    };

    // Called on every send; may queue replies.
    std::function<void(FakeNet&, const Sent&)> responder;

    void queue(Incoming incoming) { inbox.push_back(std::move(incoming)); }
    void queue(Bytes bytes, std::string source = "127.0.0.1", uint32_t delay_ms = 1)
    {
        Incoming incoming;
        incoming.bytes = std::move(bytes);
        incoming.source = std::move(source);
        incoming.delay_ms = delay_ms;
        inbox.push_back(std::move(incoming));
    }

    // IPmsTickSource
    uint32_t tick_count() noexcept override { return now; }

    // IPmcDataGramSocketFactory
    Result create(DataGramSocket::EProtocol protocol, uint16_t port,
                  DataGramSocket** out) noexcept override
    {
        *out = nullptr;
        ++sockets_created;
        last_protocol = protocol;
        last_port = port;
        if (create_result != PSW_SUCCESS) {
            return create_result;
        }
        *out = new Socket(*this, protocol);
        return PSW_SUCCESS;
    }

    uint32_t now = 100000;
    std::vector<Sent> sent;
    std::deque<Incoming> inbox;
    std::vector<int32_t> waits;  // the time-out of every receive call
    int timeouts = 0;
    int sockets_created = 0;
    int sockets_alive = 0;
    int broadcast_on = 0;
    int32_t receive_buffer = 0;  // the last size a socket asked for; 0: never asked
    Result receive_buffer_result = PSW_SUCCESS;
    DataGramSocket::EProtocol last_protocol = IPmcNetworkAddress::kUnspecified;
    uint16_t last_port = 0;
    Result create_result = PSW_SUCCESS;
    Result send_result = PSW_SUCCESS;

private:
    class Socket final : public DataGramSocket {
    public:
        Socket(FakeNet& net, EProtocol protocol) : m_net(net), m_protocol(protocol)
        {
            ++m_net.sockets_alive;
        }
        ~Socket() override { --m_net.sockets_alive; }
        void release() noexcept override { delete this; }
        Result send(const uint8_t* buffer, uint32_t length,
                    const IPmcNetworkAddress* destination) noexcept override
        {
            if (m_net.send_result != PSW_SUCCESS) {
                return m_net.send_result;
            }
            Sent sent{Bytes(buffer, buffer + length), destination->text(), destination->port()};
            m_net.sent.push_back(sent);
            if (m_net.responder) {
                m_net.responder(m_net, sent);
            }
            return PSW_SUCCESS;
        }
        Result receive(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms, int32_t* received,
                       IPmcNetworkAddress** source) noexcept override
        {
            *source = nullptr;
            m_net.waits.push_back(timeout_ms);
            const uint32_t wait = timeout_ms < 0 ? 0 : static_cast<uint32_t>(timeout_ms);
            if (m_net.inbox.empty() || m_net.inbox.front().delay_ms > wait) {
                if (!m_net.inbox.empty()) {
                    m_net.inbox.front().delay_ms -= wait;
                }
                m_net.now += wait;
                ++m_net.timeouts;
                return PSW_ERR_TIMEOUT;
            }
            Incoming incoming = std::move(m_net.inbox.front());
            m_net.inbox.pop_front();
            m_net.now += incoming.delay_ms;
            if (incoming.error != PSW_SUCCESS) {
                return incoming.error;
            }
            if (incoming.bytes.size() > capacity) {
                *received = -1;
                return PSW_ERR_RECEIVE;
            }
            std::copy(incoming.bytes.begin(), incoming.bytes.end(), buffer);
            *received = static_cast<int32_t>(incoming.bytes.size());
            Result result = PSW_SUCCESS;
            *source = create_address(incoming.source.c_str(), incoming.port, &result);
            return result;
        }
        IPmcNetworkAddress* local_address() const noexcept override { return nullptr; }
        Result set_broadcast(int32_t on) noexcept override
        {
            m_net.broadcast_on = on;
            return PSW_SUCCESS;
        }
        Result set_receive_buffer(int32_t bytes) noexcept override
        {
            m_net.receive_buffer = bytes;
            return m_net.receive_buffer_result;
        }
        Result join_multicast(const char*) noexcept override { return PSW_ERR_UNSUPPORTED; }

    private:
        FakeNet& m_net;
        EProtocol m_protocol;
    };
};

}  // namespace psw::test
