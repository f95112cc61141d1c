// The BER encoder: writes a packet backwards, last field first, into one buffer of the
// target's maximum message size. Each byte is written once; no length is computed ahead.
#include <cstring>
#include <new>

#include "core/factory.h"
#include "log/log_channel.h"
#include "snmp/ber_codec.h"
#include "snmp/ber_io.h"
#include "snmp/pms_value_views.h"

namespace psw {

namespace {

constexpr uint8_t kTagInteger = 0x02;
constexpr uint8_t kTagOctetString = 0x04;
constexpr uint8_t kTagObjectId = 0x06;
constexpr uint8_t kTagSequence = 0x30;
constexpr uint8_t kTagIpAddress = 0x40;
constexpr uint8_t kTagPduBase = 0xA0;

// The prefix that marks a generic trap in a translated enterprise OID.
constexpr char kGenericTrapPrefix[] = "1.3.6.1.6.3.1.1.5";

class CPmsBerEncoder final : public IPmsEncoder, private IPmsValueCoder {
public:
    explicit CPmsBerEncoder(bool in_place) noexcept : m_in_place(in_place) {}

    // ---- message side ----
    Result code_header(IPmsSnmpTarget* target) noexcept override
    {
        IPmsCommunityTarget* community = pms_community_of(target);
        if (community == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const char* text = community->community();
        const size_t length = text != nullptr ? std::strlen(text) : 0;
        const size_t mark = m_writer.written();
        m_writer.put(reinterpret_cast<const uint8_t*>(text), length);
        m_writer.put_header(kTagOctetString, mark);
        put_integer(m_version);
        return PSW_SUCCESS;
    }

    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }

    void release() noexcept override
    {
        if (m_in_place) {
            this->~CPmsBerEncoder();
        } else {
            delete this;
        }
    }

    Result code_message(IPmsSnmpPacket* packet) noexcept override
    {
        IPmsSnmpTarget* target = packet != nullptr ? packet->target() : nullptr;
        IPmsPdu* pdu = packet != nullptr ? packet->pdu() : nullptr;
        if (target == nullptr || pdu == nullptr || m_buffer == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        m_version = target->version();
        if (m_version != kPmsVersion1 && m_version != kPmsVersion2c) {
            return PSW_ERR_PARAMETER;  // only SNMPv1 and SNMPv2c messages are made here
        }
        if (!m_buffer->allocate(target->max_message_size())) {
            return PSW_ERR_NO_MEMORY;
        }
        m_writer.reset(m_buffer->base(), m_buffer->size());
        Result result = code_pdu(pdu);
        if (result != PSW_SUCCESS) {
            return result;
        }
        result = code_header(target);
        if (result != PSW_SUCCESS) {
            return result;
        }
        m_writer.put_header(kTagSequence, 0);
        if (m_writer.overflow()) {
            return PSW_ERR_MESSAGE_SIZE;
        }
        m_buffer->set_data_offset(static_cast<size_t>(m_writer.position() - m_buffer->base()));
        return PSW_SUCCESS;
    }

    Result code_pdu(IPmsPdu* pdu) noexcept override
    {
        if (pdu == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const int32_t type = pdu->type();
        if (type < kPmsGetRequest || type > kPmsReport || type == 7) {
            return PSW_ERR_PARAMETER;  // no tag on the wire for it
        }
        if (type == kPmsTrap && m_version != kPmsVersion1) {
            return code_v2_trap(pdu);
        }
        if (pdu->bindings() == nullptr) {
            Result made = PSW_SUCCESS;
            PmsVarBindList* list = create_varbind_list(&made);
            if (list == nullptr) {
                return made;
            }
            pdu->set_bindings(list);
        }
        const size_t mark = m_writer.written();
        Result result = code_varbind_list(pdu->bindings());
        if (result != PSW_SUCCESS) {
            return result;
        }
        result = type == kPmsTrap ? code_v1_trap(pdu) : code_pdu_fields(pdu);
        if (result != PSW_SUCCESS) {
            return result;
        }
        m_writer.put_header(static_cast<uint8_t>(kTagPduBase + type), mark);
        return m_writer.overflow() ? PSW_ERR_MESSAGE_SIZE : PSW_SUCCESS;
    }

    Result code_varbind_list(PmsVarBindList* list) noexcept override
    {
        if (list == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const size_t mark = m_writer.written();
        for (uint32_t i = list->count(); i-- > 0;) {
            const Result result = code_varbind(list->at(i));
            if (result != PSW_SUCCESS) {
                return result;
            }
            ++m_bindings_written;
        }
        m_writer.put_header(kTagSequence, mark);
        return m_writer.overflow() ? PSW_ERR_MESSAGE_SIZE : PSW_SUCCESS;
    }

    Result code_varbind(PmsVarBind* binding) noexcept override
    {
        IPmsOid* name = binding != nullptr ? binding->name() : nullptr;
        if (name == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const size_t mark = m_writer.written();
        Result result = PSW_SUCCESS;
        if (IPmsValue* value = binding->value(); value != nullptr) {
            result = value->accept(this);
        } else {
            result = code_null(kPmsNull);  // an absent value goes out as NULL
        }
        if (result != PSW_SUCCESS) {
            return result;
        }
        result = name->accept(this);
        if (result != PSW_SUCCESS) {
            return result;
        }
        m_writer.put_header(kTagSequence, mark);
        return m_writer.overflow() ? PSW_ERR_MESSAGE_SIZE : PSW_SUCCESS;
    }

    Result code_pdu_fields(IPmsPdu* pdu) noexcept override
    {
        put_integer(pdu->error_index());
        put_integer(pdu->error_status());
        put_integer(pdu->request_id());
        return PSW_SUCCESS;
    }

    Result code_v1_trap(IPmsPdu* pdu) noexcept override
    {
        IPmsValue* time_stamp = pdu->time_stamp();
        IPmsOid* enterprise = pdu->enterprise();
        if (time_stamp == nullptr || enterprise == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const uint32_t count = enterprise->count();
        if (count < 2 || enterprise->element(count - 2) != 0) {
            return PSW_ERR_PARAMETER;
        }
        const auto last = static_cast<uint32_t>(enterprise->element(count - 1));
        // The enterprise without its last two sub-identifiers: the text before the
        // second-last dot.
        const char* text = enterprise->text();
        size_t prefix = enterprise->text_length();
        for (int dots = 0; prefix > 0;) {
            if (text[--prefix] == '.' && ++dots == 2) {
                break;
            }
        }
        const bool generic = prefix == sizeof(kGenericTrapPrefix) - 1 &&
                             std::memcmp(text, kGenericTrapPrefix, prefix) == 0;
        Result result = time_stamp->accept(this);
        if (result != PSW_SUCCESS) {
            return result;
        }
        put_integer(generic ? 0 : static_cast<int32_t>(last));
        put_integer(generic ? static_cast<int32_t>(last - 1) : 6);
        static const uint8_t kNoAgent[4] = {};
        const size_t mark = m_writer.written();
        m_writer.put(kNoAgent, sizeof(kNoAgent));
        m_writer.put_header(kTagIpAddress, mark);
        void* view = nullptr;
        enterprise->get_view(kPmsViewOid, &view);
        const uint32_t* ids = view != nullptr ? static_cast<PmsOidView*>(view)->sub_ids() : nullptr;
        return ids != nullptr ? put_oid_ids(ids, count - 2) : put_oid(text, prefix, count - 2);
    }

    Result code_v2_trap(IPmsPdu*) noexcept override { return PSW_ERR_UNSUPPORTED; }

    // ---- encoder ----
    void set_buffer(PmsPacketBuffer* buffer) noexcept override { m_buffer = buffer; }
    IPmsValueCoder* value_coder() noexcept override { return this; }
    uint32_t bindings_written() const noexcept override { return m_bindings_written; }

private:
    // ---- value side ----
    Result code_oid(PmsOidView& oid) noexcept override
    {
        const size_t mark = m_writer.written();
        size_t length = 0;
        if (const uint8_t* contents = oid.ber(&length); contents != nullptr) {
            m_writer.put(contents, length);  // the contents written for these numbers before
            m_writer.put_header(kTagObjectId, mark);
            return PSW_SUCCESS;
        }
        return put_new_oid(oid, mark);
    }

    Result code_bytes(PmsBytesView& bytes, uint32_t tag) noexcept override
    {
        const size_t mark = m_writer.written();
        m_writer.put(bytes.data(), bytes.length());
        m_writer.put_header(static_cast<uint8_t>(tag), mark);
        return PSW_SUCCESS;
    }

    Result code_integer(PmsIntegerView& integer) noexcept override
    {
        put_integer(integer.value);
        return PSW_SUCCESS;
    }

    Result code_null(uint32_t tag) noexcept override
    {
        m_writer.put(0);
        m_writer.put(static_cast<uint8_t>(tag));
        return PSW_SUCCESS;
    }

    Result code_counter32(PmsUnsignedView& number) noexcept override
    {
        return code_gauge32(number, kPmsCounter32);
    }

    Result code_gauge32(PmsUnsignedView& number, uint32_t tag) noexcept override
    {
        put_unsigned(number.value, static_cast<uint8_t>(tag));
        return PSW_SUCCESS;
    }

    Result code_time_ticks(PmsUnsignedView& number) noexcept override
    {
        return code_gauge32(number, kPmsTimeTicks);
    }

    Result code_counter64(PmsCounter64View& number) noexcept override
    {
        put_unsigned(static_cast<uint64_t>(number.high) << 32 | number.low, kPmsCounter64);
        return PSW_SUCCESS;
    }

    Result code_ip_address(PmsBytesView& bytes) noexcept override
    {
        return code_bytes(bytes, kPmsIpAddress);
    }

    Result code_ipv6_address(PmsBytesView& bytes) noexcept override
    {
        return code_bytes(bytes, kPmsIpv6Address);
    }

    Result code_ipv4_transport(PmsBytesView&) noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result code_ipx_transport(PmsBytesView&) noexcept override { return PSW_ERR_UNSUPPORTED; }

    Result code_exception(PmsExceptionView& exception) noexcept override
    {
        return code_null(exception.tag);
    }

    // ---- primitives ----
    // Two's complement, the fewest bytes that keep the sign.
    void put_integer(int32_t value) noexcept
    {
        const size_t mark = m_writer.written();
        int64_t rest = value;
        uint8_t byte = 0;
        do {
            byte = static_cast<uint8_t>(rest);
            m_writer.put(byte);
            rest >>= 8;
        } while (!((rest == 0 && (byte & 0x80) == 0) || (rest == -1 && (byte & 0x80) != 0)));
        m_writer.put_header(kTagInteger, mark);
    }

    // Unsigned, the fewest bytes whose first is below 0x80.
    void put_unsigned(uint64_t value, uint8_t tag) noexcept
    {
        const size_t mark = m_writer.written();
        uint8_t byte = 0;
        do {
            byte = static_cast<uint8_t>(value);
            m_writer.put(byte);
            value >>= 8;
        } while (value != 0);
        if ((byte & 0x80) != 0) {
            m_writer.put(0);
        }
        m_writer.put_header(tag, mark);
    }

    void put_base128(uint64_t value) noexcept
    {
        m_writer.put(static_cast<uint8_t>(value & 0x7F));
        value >>= 7;
        while (value != 0) {
            m_writer.put(static_cast<uint8_t>(0x80 | (value & 0x7F)));
            value >>= 7;
        }
    }

    // An OID without remembered contents: written from its numbers (or text), and the contents
    // remembered for the next time when decoding them gives back the same numbers.
    Result put_new_oid(PmsOidView& oid, size_t mark) noexcept
    {
        const uint32_t* ids = oid.sub_ids();
        if (ids == nullptr) {
            return put_oid(oid.text(), oid.length(), oid.count());
        }
        const uint32_t count = oid.count();
        const Result result = put_oid_contents(ids, count);
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (count >= 2 && !m_writer.overflow() && (ids[0] == 2 || (ids[0] < 2 && ids[1] < 40))) {
            oid.remember_ber(m_writer.position(), m_writer.written() - mark);
        }
        m_writer.put_header(kTagObjectId, mark);
        return PSW_SUCCESS;
    }

    // The sub-identifiers from the last to the third, then 40 * first + second.
    Result put_oid_ids(const uint32_t* ids, uint32_t count) noexcept
    {
        const size_t mark = m_writer.written();
        const Result result = put_oid_contents(ids, count);
        if (result != PSW_SUCCESS) {
            return result;
        }
        m_writer.put_header(kTagObjectId, mark);
        return PSW_SUCCESS;
    }

    // The contents alone.
    Result put_oid_contents(const uint32_t* ids, uint32_t count) noexcept
    {
        if (count != 0) {
            if (count == 1) {
                pmc_snmp_channel().logger()->output(kLogError, "encode error:oid size is 1.");
                return PSW_ERR_PARAMETER;
            }
            // At most five bytes a sub-identifier, ten for the first two together.
            uint8_t* p = m_writer.room(static_cast<size_t>(count) * 5);
            if (p != nullptr) {
                for (uint32_t index = count; index-- > 2;) {
                    uint32_t value = ids[index];
                    *--p = static_cast<uint8_t>(value & 0x7F);
                    for (value >>= 7; value != 0; value >>= 7) {
                        *--p = static_cast<uint8_t>(0x80 | (value & 0x7F));
                    }
                }
                uint64_t head = 40 * static_cast<uint64_t>(ids[0]) + ids[1];
                *--p = static_cast<uint8_t>(head & 0x7F);
                for (head >>= 7; head != 0; head >>= 7) {
                    *--p = static_cast<uint8_t>(0x80 | (head & 0x7F));
                }
                m_writer.commit(p);
            } else {
                for (uint32_t index = count; index-- > 2;) {
                    put_base128(ids[index]);
                }
                put_base128(40 * static_cast<uint64_t>(ids[0]) + ids[1]);
            }
        }
        return PSW_SUCCESS;
    }

    // The same from dotted text, for an OID whose numbers could not be held.
    Result put_oid(const char* text, size_t length, uint32_t count) noexcept
    {
        const size_t mark = m_writer.written();
        if (length != 0) {
            if (count == 1) {
                pmc_snmp_channel().logger()->output(kLogError, "encode error:oid size is 1.");
                return PSW_ERR_PARAMETER;
            }
            size_t end = length;
            for (uint32_t index = count; index > 2; --index) {
                size_t start = end;
                while (start > 0 && text[start - 1] != '.') {
                    --start;
                }
                put_base128(pms_parse_decimal(text + start));
                end = start != 0 ? start - 1 : 0;
            }
            const char* second = static_cast<const char*>(std::memchr(text, '.', end));
            const uint64_t first = pms_parse_decimal(text);
            const uint64_t next = second != nullptr ? pms_parse_decimal(second + 1) : 0;
            put_base128(40 * first + next);
        }
        m_writer.put_header(kTagObjectId, mark);
        return PSW_SUCCESS;
    }

    bool m_in_place;
    PmsPacketBuffer* m_buffer = nullptr;
    int32_t m_version = kPmsVersionUnset;
    uint32_t m_bindings_written = 0;
    PmsReverseWriter m_writer;
};

static_assert(sizeof(CPmsBerEncoder) <= sizeof(PmsCoderStorage));

}  // namespace

IPmsEncoder* pms_new_ber_encoder(Result* result) noexcept
{
    return pmc_made(pmc_new<CPmsBerEncoder>(false), result);
}

IPmsEncoder* pms_make_ber_encoder(PmsCoderStorage* storage) noexcept
{
    return new (storage->bytes) CPmsBerEncoder(true);
}

}  // namespace psw
