// The codec front, the BER codec factory "TransStream" and its registration at load time
// (kept in this file so that linking the front always links the registration), and the
// request-id counter.
#include "snmp/pms_packet_coder.h"

#include <atomic>
#include <cstring>
#include <utility>

#include "core/factory.h"
#include "core/platform/random.h"
#include "snmp/ber_codec.h"

namespace psw {

namespace {

constexpr char kTransStreamName[] = "TransStream";
constexpr int kMaxFactories = 4;

class CPmsTransStreamFactory final : public IPmsCodecFactory {
public:
    const char* name() const noexcept override { return kTransStreamName; }
    IPmsEncoder* create_encoder(Result* result) noexcept override
    {
        return pms_new_ber_encoder(result);
    }
    IPmsDecoder* create_decoder(Result* result) noexcept override
    {
        return pms_new_ber_decoder(result);
    }
    IPmsEncoder* create_encoder_in(PmsCoderStorage* storage) noexcept override
    {
        return pms_make_ber_encoder(storage);
    }
    IPmsDecoder* create_decoder_in(PmsCoderStorage* storage) noexcept override
    {
        return pms_make_ber_decoder(storage);
    }
};

// A packet on the caller's stack that lends a PDU and a target to the coder and hands them
// back afterwards; it owns nothing.
class CPmsLentPacket final : public IPmsSnmpPacket {
public:
    CPmsLentPacket(IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept : m_pdu(pdu), m_target(target) {}
    ~CPmsLentPacket() override = default;
    void release() noexcept override {}
    IPmsSnmpPacket* clone(Result* result) const noexcept override
    {
        set_result(result, PSW_ERR_UNSUPPORTED);
        return nullptr;
    }
    bool equals(const IPmsSnmpPacket*) const noexcept override { return false; }
    void set_target(IPmsSnmpTarget* target) noexcept override { m_target = target; }
    void set_pdu(IPmsPdu* pdu) noexcept override { m_pdu = pdu; }
    IPmsSnmpTarget* detach_target() noexcept override { return std::exchange(m_target, nullptr); }
    IPmsPdu* detach_pdu() noexcept override { return std::exchange(m_pdu, nullptr); }
    IPmsSnmpTarget* target() const noexcept override { return m_target; }
    IPmsPdu* pdu() const noexcept override { return m_pdu; }

private:
    IPmsPdu* m_pdu;
    IPmsSnmpTarget* m_target;
};

// Ends the life of an encoder or decoder when the call ends.
template <class T>
struct CoderScope {
    T* coder;
    ~CoderScope() { coder->release(); }
};

class CPmsPacketCoder final : public PmsPacketCoder {
public:
    Result select(const char* name) noexcept override
    {
        if (name == nullptr) {
            m_selected = nullptr;
            return PSW_SUCCESS;
        }
        for (int i = 0; i < m_count; ++i) {
            if (std::strcmp(m_factories[i]->name(), name) == 0) {
                m_selected = m_factories[i];
                return PSW_SUCCESS;
            }
        }
        return PSW_ERR_PARAMETER;
    }

    const char* selected_name() const noexcept override
    {
        return m_selected != nullptr ? m_selected->name() : nullptr;
    }

    Result encode(IPmsPdu* pdu, IPmsSnmpTarget* target, PmsPacketBuffer* buffer,
                  uint32_t* count) noexcept override
    {
        if (const Result ready = check_ready(pdu, target); ready != PSW_SUCCESS) {
            return ready;
        }
        CPmsLentPacket packet(pdu, target);
        return encode_packet(&packet, buffer, count);
    }

    Result encode_packet(IPmsSnmpPacket* packet, PmsPacketBuffer* buffer,
                         uint32_t* count) noexcept override
    {
        if (const Result ready = check_ready(packet, buffer); ready != PSW_SUCCESS) {
            return ready;
        }
        PmsCoderStorage storage;
        CoderScope<IPmsEncoder> encoder{m_selected->create_encoder_in(&storage)};
        encoder.coder->set_buffer(buffer);
        const Result result = encoder.coder->code_message(packet);
        if (count != nullptr) {
            *count = encoder.coder->bindings_written();
        }
        return result;
    }

    Result decode(const PmsPacketBuffer* buffer, IPmsPdu* pdu, IPmsSnmpTarget* target,
                  int32_t translate_type) noexcept override
    {
        if (const Result ready = check_ready(pdu, target); ready != PSW_SUCCESS) {
            return ready;
        }
        CPmsLentPacket packet(pdu, target);
        return decode_packet(buffer, &packet, translate_type);
    }

    Result decode_packet(const PmsPacketBuffer* buffer, IPmsSnmpPacket* packet,
                         int32_t translate_type) noexcept override
    {
        return run_decoder(buffer, packet, translate_type, false);
    }

    Result peek(const PmsPacketBuffer* buffer, int32_t* error_status, int32_t* request_id,
                int32_t translate_type) noexcept override
    {
        int32_t type = 0;
        return peek_pdu(buffer, &type, error_status, request_id, translate_type);
    }

    Result peek_pdu(const PmsPacketBuffer* buffer, int32_t* pdu_type, int32_t* error_status,
                    int32_t* request_id, int32_t translate_type) noexcept override
    {
        if (m_selected == nullptr) {
            return PSW_ERR_NOT_INITIALIZED;
        }
        if (pdu_type == nullptr || error_status == nullptr || request_id == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        Result result = PSW_SUCCESS;
        OwnedPtr<IPmsSnmpPacket> scratch(create_packet(&result));
        if (!scratch) {
            return result;
        }
        return peek_into(buffer, scratch.get(), pdu_type, error_status, request_id, translate_type);
    }

    Result peek_community_pdu(const PmsPacketBuffer* buffer, IPmsSnmpPacket* scratch,
                              int32_t* pdu_type, int32_t* error_status,
                              int32_t* request_id) noexcept override
    {
        if (m_selected == nullptr) {
            return PSW_ERR_NOT_INITIALIZED;
        }
        if (scratch == nullptr || pdu_type == nullptr || error_status == nullptr ||
            request_id == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        return peek_into(buffer, scratch, pdu_type, error_status, request_id,
                         kPmsTranslateCommunity);
    }

    Result peek_community_header(const PmsPacketBuffer* buffer, IPmsSnmpPacket* scratch,
                                 PmsMessageHeader* header) noexcept override
    {
        if (m_selected == nullptr) {
            return PSW_ERR_NOT_INITIALIZED;
        }
        if (scratch == nullptr || header == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        *header = PmsMessageHeader{};
        return run_decoder(buffer, scratch, kPmsTranslateCommunity, true, header, nullptr);
    }

    Result decode_after_peek(const PmsPacketBuffer* buffer, const PmsMessageHeader& header,
                             IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept override
    {
        if (const Result ready = check_ready(pdu, target); ready != PSW_SUCCESS) {
            return ready;
        }
        const bool resumable = buffer != nullptr && header.bindings_offset != 0 &&
                               header.pdu_type != kPmsTrap && header.data == buffer->data() &&
                               header.data_length == buffer->data_length();
        CPmsLentPacket packet(pdu, target);
        return run_decoder(buffer, &packet, kPmsTranslateUnknown, false, nullptr,
                           resumable ? &header : nullptr);
    }

    Result register_factory(IPmsCodecFactory* factory) noexcept override
    {
        if (factory == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (m_count == kMaxFactories) {
            return PSW_ERR_TOO_LONG;
        }
        m_factories[m_count++] = factory;
        m_selected = factory;
        return PSW_SUCCESS;
    }

private:
    // PSW_ERR_NOT_INITIALIZED before a version is selected, then PSW_ERR_PARAMETER when either
    // argument is missing.
    Result check_ready(const void* packet, const void* buffer) const noexcept
    {
        if (m_selected == nullptr) {
            return PSW_ERR_NOT_INITIALIZED;
        }
        return packet == nullptr || buffer == nullptr ? PSW_ERR_PARAMETER : PSW_SUCCESS;
    }

    // The header fields of the message, read into `scratch`.
    Result peek_into(const PmsPacketBuffer* buffer, IPmsSnmpPacket* scratch, int32_t* pdu_type,
                     int32_t* error_status, int32_t* request_id, int32_t translate_type) noexcept
    {
        const Result result = run_decoder(buffer, scratch, translate_type, true);
        if (result != PSW_SUCCESS) {
            return result;
        }
        *pdu_type = scratch->pdu()->type();
        *error_status = scratch->pdu()->error_status();
        *request_id = scratch->pdu()->request_id();
        return PSW_SUCCESS;
    }

    Result run_decoder(const PmsPacketBuffer* buffer, IPmsSnmpPacket* packet,
                       int32_t translate_type, bool header_only, PmsMessageHeader* record = nullptr,
                       const PmsMessageHeader* resume = nullptr) noexcept
    {
        if (const Result ready = check_ready(packet, buffer); ready != PSW_SUCCESS) {
            return ready;
        }
        PmsCoderStorage storage;
        CoderScope<IPmsDecoder> decoder{m_selected->create_decoder_in(&storage)};
        decoder.coder->set_input(buffer, translate_type, header_only);
        decoder.coder->record_header(record);
        decoder.coder->resume_after(resume);
        return decoder.coder->code_message(packet);
    }

    IPmsCodecFactory* m_factories[kMaxFactories] = {};
    int m_count = 0;
    IPmsCodecFactory* m_selected = nullptr;
};

// Registers "TransStream" with the front while the library loads.
struct TransStreamRegistration {
    TransStreamRegistration() noexcept
    {
        pms_packet_coder()->register_factory(pms_trans_stream_factory());
    }
};

}  // namespace

PmsPacketCoder* pms_packet_coder() noexcept
{
    static CPmsPacketCoder front;
    return &front;
}

IPmsCodecFactory* pms_trans_stream_factory() noexcept
{
    static CPmsTransStreamFactory factory;
    return &factory;
}

int32_t next_request_id() noexcept
{
    // Starts at a random value per process, so that a stranger cannot guess the ids in use.
    static std::atomic<uint32_t> counter{pmc_random_u32()};
    return static_cast<int32_t>(counter.fetch_add(1, std::memory_order_relaxed));
}

static const TransStreamRegistration g_trans_stream_registration;

}  // namespace psw
