// The BER decoder: reads one datagram through a bounded reader into a packet, reusing the
// bindings and values the packet's PDU already holds. No read goes outside the datagram:
// every malformed input ends with a result code.
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
constexpr uint8_t kTagSequence = 0x30;
constexpr uint8_t kTagObjectId = 0x06;
constexpr uint8_t kTagOctetString = 0x04;
constexpr int32_t kMaxErrorStatus = 18;
constexpr uint32_t kGenericEnterpriseSpecific = 6;
// The most sub-identifiers a name may have (SNMP's limit); a longer one is malformed.
constexpr size_t kOidMaxSubIds = 128;

// Sub-identifiers in an OID's content: one per final byte of a group, the first counting two.
size_t sub_id_count(const uint8_t* bytes, size_t length) noexcept
{
    size_t ends = 0;
    for (size_t i = 0; i < length; ++i) {
        ends += (bytes[i] & 0x80) == 0 ? 1 : 0;
    }
    return ends + (ends != 0 ? 1 : 0);
}

void log_error(const char* text) noexcept
{
    pmc_snmp_channel().logger()->output(kLogError, "%s", text);
}

Result malformed(const char* text) noexcept
{
    log_error(text);
    return PSW_ERR_MALFORMED;
}

bool is_value_tag(uint8_t tag) noexcept
{
    switch (tag) {
        case kPmsInteger:
        case kPmsOctetString:
        case kPmsNull:
        case kPmsObjectId:
        case kPmsIpAddress:
        case kPmsCounter32:
        case kPmsGauge32:
        case kPmsTimeTicks:
        case kPmsOpaque:
        case kPmsCounter64:
        case kPmsNoSuchObject:
        case kPmsNoSuchInstance:
        case kPmsEndOfMibView: return true;
        default: return false;
    }
}

// PDU type of a PDU tag, or -1.
int32_t pdu_type_of(uint8_t tag) noexcept
{
    if (tag >= 0xA0 && tag <= 0xA8) {
        return tag == 0xA7 ? kPmsTrap : tag - 0xA0;
    }
    return -1;
}

class CPmsBerDecoder final : public IPmsDecoder, private IPmsValueCoder {
public:
    explicit CPmsBerDecoder(bool in_place) noexcept : m_in_place(in_place) {}

    // ---- message side ----
    Result code_header(IPmsSnmpTarget* target) noexcept override
    {
        int32_t version = 0;
        Result result = read_integer(kTagInteger, &version);
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (version != kPmsVersion1 && version != kPmsVersion2c) {
            return malformed("decode error: unsupported snmp version.");
        }
        m_version = version;
        target->set_version(version);
        uint32_t length = 0;
        const uint8_t* bytes = nullptr;
        if (!m_reader.expect_header(kTagOctetString, &length) || !m_reader.take(length, &bytes)) {
            return PSW_ERR_MALFORMED;
        }
        IPmsCommunityTarget* community = pms_community_of(target);
        if (community == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const void* nul = std::memchr(bytes, 0, length);
        const size_t used =
            nul != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - bytes) : length;
        if (m_record != nullptr) {
            m_record->version = version;
            m_record->community = bytes;
            m_record->community_length = used;
        }
        return community->set_community_bytes(reinterpret_cast<const char*>(bytes), used);
    }

    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }

    void release() noexcept override
    {
        if (m_in_place) {
            this->~CPmsBerDecoder();
        } else {
            delete this;
        }
    }

    Result code_message(IPmsSnmpPacket* packet) noexcept override
    {
        if (packet == nullptr || m_buffer == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const uint8_t* data = m_buffer->data();
        const size_t data_length = data != nullptr ? m_buffer->data_length() : 0;
        m_reader.reset(data, data_length);
        if (m_resume != nullptr) {
            return resume(packet);
        }
        if (m_record != nullptr) {
            m_record->data = data;
            m_record->data_length = data_length;
        }
        uint8_t tag = 0;
        uint32_t length = 0;
        if (!m_reader.read(&tag) || tag != kTagSequence) {
            return PSW_ERR_MALFORMED;
        }
        if (!m_reader.read_length(&length)) {
            return PSW_ERR_MALFORMED;
        }
        const size_t received = m_reader.left() + m_reader.offset();
        const size_t declared = m_reader.offset() + static_cast<size_t>(length);
        if (declared < received) {
            log_cut_down();
            m_reader.limit(length);
        } else if (declared > received) {
            return malformed(
                "decode error: lack of received packet. can't go on decoding any more.");
        }
        if (m_record != nullptr) {
            m_record->message_length = declared;
        }
        Result result = make_missing_parts(packet);
        if (result != PSW_SUCCESS) {
            return result;
        }
        result = code_header(packet->target());
        if (result != PSW_SUCCESS) {
            return result;
        }
        return code_pdu(packet->pdu());
    }

    // A missing target (by the translate type) and PDU of the packet, made new.
    Result make_missing_parts(IPmsSnmpPacket* packet) noexcept
    {
        Result result = PSW_SUCCESS;
        if (packet->target() == nullptr) {
            if (m_translate_type == kPmsTranslateUnknown) {
                log_error("decode error: unknown translate type.");
                return PSW_ERR_PARAMETER;
            }
            if (m_translate_type != kPmsTranslateCommunity) {
                return PSW_ERR_PARAMETER;
            }
            IPmsSnmpTarget* target = create_community_target(&result);
            if (target == nullptr) {
                return result;
            }
            packet->set_target(target);
        }
        if (packet->pdu() == nullptr) {
            IPmsPdu* pdu = create_pdu(&result);
            if (pdu == nullptr) {
                return result;
            }
            packet->set_pdu(pdu);
        }
        return PSW_SUCCESS;
    }

    void log_cut_down() noexcept
    {
        pmc_snmp_channel().logger()->output(kLogInfo,
                                            "received packet is redundancy. be cut down.");
    }

    // The rest of code_message after a header-only decode of the same input read `m_resume`:
    // what the header parts would have done to the packet, then the bindings.
    Result resume(IPmsSnmpPacket* packet) noexcept
    {
        const PmsMessageHeader& header = *m_resume;
        if (header.message_length < m_reader.left()) {
            log_cut_down();
            m_reader.limit(header.message_length);
        }
        Result result = make_missing_parts(packet);
        if (result != PSW_SUCCESS) {
            return result;
        }
        IPmsSnmpTarget* target = packet->target();
        m_version = header.version;
        target->set_version(header.version);
        IPmsCommunityTarget* community = pms_community_of(target);
        if (community == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        result = community->set_community_bytes(reinterpret_cast<const char*>(header.community),
                                                header.community_length);
        if (result != PSW_SUCCESS) {
            return result;
        }
        IPmsPdu* pdu = packet->pdu();
        pdu->set_type(header.pdu_type);
        pdu->set_request_id(header.request_id);
        pdu->set_error_status(header.error_status);
        pdu->set_error_index(header.error_index);
        const uint8_t* skipped = nullptr;
        if (!m_reader.take(header.bindings_offset, &skipped)) {
            return PSW_ERR_MALFORMED;
        }
        return code_bindings(pdu, header.pdu_type);
    }

    Result code_pdu(IPmsPdu* pdu) noexcept override
    {
        uint8_t tag = 0;
        if (!m_reader.read(&tag)) {
            return PSW_ERR_MALFORMED;
        }
        const int32_t type = pdu_type_of(tag);
        if (type < 0) {
            return malformed("decode error: unknown pdu type.");
        }
        pdu->set_type(type);
        uint32_t length = 0;
        if (!m_reader.read_length(&length)) {
            return PSW_ERR_MALFORMED;
        }
        if (length != m_reader.left()) {
            return malformed("decode error: pdu length is wrong.");
        }
        if (m_record != nullptr) {
            m_record->pdu_type = type;
        }
        Result result = PSW_SUCCESS;
        if (type != kPmsTrap) {
            result = code_pdu_fields(pdu);
        } else if (m_version == kPmsVersion1) {
            result = code_v1_trap(pdu);
        } else {
            result = code_v2_trap(pdu);
        }
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (m_header_only) {
            if (m_record != nullptr) {
                m_record->bindings_offset = m_reader.offset();
            }
            return PSW_SUCCESS;
        }
        return code_bindings(pdu, type);
    }

    // The binding list of a PDU of `type` whose header was read, and the marks it then gets.
    Result code_bindings(IPmsPdu* pdu, int32_t type) noexcept
    {
        Result result = PSW_SUCCESS;
        if (pdu->bindings() == nullptr) {
            PmsVarBindList* list = create_varbind_list(&result);
            if (list == nullptr) {
                return result;
            }
            pdu->set_bindings(list);
        }
        PmsVarBindList* list = pdu->bindings();
        result = code_varbind_list(list);
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (type != kPmsTrap && pdu->error_status() != 0) {
            list->mark_error(pdu->error_status(), pdu->error_index());
        } else {
            list->mark_all(0);
        }
        return PSW_SUCCESS;
    }

    Result code_varbind_list(PmsVarBindList* list) noexcept override
    {
        uint32_t length = 0;
        if (!m_reader.expect_header(kTagSequence, &length) || length != m_reader.left()) {
            return malformed("decode error: length of var bind list is wrong.");
        }
        uint32_t decoded = 0;
        while (!m_reader.at_end()) {
            PmsVarBind* binding = list->at(decoded);
            if (binding == nullptr) {
                Result result = PSW_SUCCESS;
                binding = create_varbind(&result);
                if (binding == nullptr) {
                    return result;
                }
                result = list->append(binding);
                if (result != PSW_SUCCESS) {
                    return result;
                }
            }
            const Result result = code_varbind(binding);
            if (result != PSW_SUCCESS) {
                return result;
            }
            ++decoded;
        }
        list->truncate(decoded);
        return PSW_SUCCESS;
    }

    Result code_varbind(PmsVarBind* binding) noexcept override
    {
        uint32_t length = 0;
        if (!m_reader.expect_header(kTagSequence, &length)) {
            return malformed("decode error: length of var bind is wrong.");
        }
        const size_t left_after = m_reader.left() - length;
        Result result = PSW_SUCCESS;
        IPmsOid* name = binding->name();
        if (name == nullptr) {
            name = create_oid(&result);
            if (name == nullptr) {
                return result;
            }
            binding->set_name(name);
        }
        result = name->accept(this);
        if (result != PSW_SUCCESS) {
            return result;
        }
        uint8_t tag = 0;
        if (!m_reader.peek(&tag)) {
            return PSW_ERR_MALFORMED;
        }
        if (!is_value_tag(tag)) {
            return malformed("decode error: unknown asn type.");
        }
        IPmsValue* value = binding->value();
        if (value == nullptr || value->type() != tag) {
            value = create_value(tag, &result);
            if (value == nullptr) {
                return result;
            }
            binding->set_value(value);
        }
        result = value->accept(this);
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (m_reader.left() != left_after) {
            return malformed("decode error: length of var bind is wrong.");
        }
        return PSW_SUCCESS;
    }

    Result code_pdu_fields(IPmsPdu* pdu) noexcept override
    {
        int32_t request_id = 0;
        int32_t error_status = 0;
        int32_t error_index = 0;
        Result result = read_integer(kTagInteger, &request_id);
        if (result == PSW_SUCCESS) {
            result = read_integer(kTagInteger, &error_status);
        }
        if (result == PSW_SUCCESS) {
            result = read_integer(kTagInteger, &error_index);
        }
        if (result != PSW_SUCCESS) {
            return result;
        }
        pdu->set_request_id(request_id);
        pdu->set_error_status(error_status);
        pdu->set_error_index(error_index);
        if (m_record != nullptr) {
            m_record->request_id = request_id;
            m_record->error_status = error_status;
            m_record->error_index = error_index;
        }
        if (error_status < 0 || error_status > kMaxErrorStatus) {
            return malformed("decode error: error_status's value is wrong.");
        }
        return PSW_SUCCESS;
    }

    Result code_v1_trap(IPmsPdu* pdu) noexcept override
    {
        Result result = PSW_SUCCESS;
        if (pdu->enterprise() == nullptr) {
            IPmsOid* enterprise = create_oid(&result);
            if (enterprise == nullptr) {
                return result;
            }
            pdu->set_enterprise(enterprise);
        }
        IPmsOid* enterprise = pdu->enterprise();
        result = enterprise->accept(this);
        if (result != PSW_SUCCESS) {
            return result;
        }
        uint32_t length = 0;
        const uint8_t* ignored = nullptr;
        if (!m_reader.expect_header(kPmsIpAddress, &length) || !m_reader.take(length, &ignored)) {
            return PSW_ERR_MALFORMED;
        }
        int32_t generic = 0;
        int32_t specific = 0;
        result = read_integer(kTagInteger, &generic);
        if (result == PSW_SUCCESS) {
            result = read_integer(kTagInteger, &specific);
        }
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (generic < 0 || static_cast<uint32_t>(generic) > kGenericEnterpriseSpecific) {
            return malformed("decode error: generic trap No. > 6. ");
        }
        if (static_cast<uint32_t>(generic) == kGenericEnterpriseSpecific) {
            result = enterprise->append(0);
            if (result == PSW_SUCCESS) {
                result = enterprise->append(static_cast<uint32_t>(specific));
            }
        } else {
            result = enterprise->set_text("1.3.6.1.6.3.1.1.5.0");
            if (result == PSW_SUCCESS) {
                result = enterprise->append(static_cast<uint32_t>(generic) + 1);
            }
        }
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (pdu->time_stamp() == nullptr) {
            IPmsValue* time_stamp = create_value(kPmsTimeTicks, &result);
            if (time_stamp == nullptr) {
                return result;
            }
            pdu->set_time_stamp(time_stamp);
        }
        return pdu->time_stamp()->accept(this);
    }

    Result code_v2_trap(IPmsPdu*) noexcept override { return PSW_ERR_UNSUPPORTED; }

    // ---- decoder ----
    void set_input(const PmsPacketBuffer* buffer, int32_t translate_type,
                   bool header_only) noexcept override
    {
        m_buffer = buffer;
        m_translate_type = translate_type;
        m_header_only = header_only;
    }
    IPmsValueCoder* value_coder() noexcept override { return this; }
    void record_header(PmsMessageHeader* header) noexcept override { m_record = header; }
    void resume_after(const PmsMessageHeader* header) noexcept override { m_resume = header; }

private:
    // ---- value side ----
    Result code_oid(PmsOidView& oid) noexcept override
    {
        uint32_t length = 0;
        const uint8_t* bytes = nullptr;
        if (!m_reader.expect_header(kTagObjectId, &length) || !m_reader.take(length, &bytes)) {
            oid.clear();
            return PSW_ERR_MALFORMED;
        }
        if (oid.holds_ber(bytes, length)) {
            return PSW_SUCCESS;  // the same contents as last time: nothing would change
        }
        if (length >= kOidMaxSubIds && sub_id_count(bytes, length) > kOidMaxSubIds) {
            oid.clear();
            return malformed("decode error. oid is longer than 128 sub-identifiers.");
        }
        // The numbers are gathered here and handed over at once. The check above bounds them:
        // a content of n bytes holds at most n + 1 sub-identifiers (the first group counts
        // two), and a longer content has been counted.
        uint32_t ids[kOidMaxSubIds + 1];
        ids[0] = 0;  // read by nothing when the contents are empty; keeps the compiler sure
        uint32_t* out = ids;
        const uint8_t* p = bytes;
        const uint8_t* const end = bytes + length;
        bool minimal = true;  // no sub-identifier starts with an empty group
        while (p != end) {
            // One sub-identifier: base-128 groups, the last without bit 0x80. The first one
            // carries 40 * first + second and so may exceed 32 bits by up to 80.
            const bool head = out == ids;
            const uint64_t limit = head ? 0xFFFFFFFFull + 80 : 0xFFFFFFFFull;
            uint64_t value = 0;
            uint8_t group = 0;
            minimal = minimal && *p != 0x80;
            do {
                if (p == end) {
                    // A group that runs past the declared length.
                    oid.clear();
                    return PSW_ERR_MALFORMED;
                }
                group = *p++;
                value = value << 7 | (group & 0x7F);
                if (value > limit) {
                    oid.clear();
                    return malformed("decode error. oid format is wrong.");
                }
            } while ((group & 0x80) != 0);
            if (head) {
                const uint64_t first = value / 40 < 2 ? value / 40 : 2;
                *out++ = static_cast<uint32_t>(first);
                *out++ = static_cast<uint32_t>(value - 40 * first);
            } else {
                *out++ = static_cast<uint32_t>(value);
            }
            // Most of the others are one group below 128.
            while (p != end && *p < 0x80) {
                *out++ = *p++;
            }
        }
        const auto count = static_cast<uint32_t>(out - ids);
        // Each content byte adds at most four characters ("127." or, first, "2.47").
        const Result result =
            oid.assign_decoded_sub_ids(ids, count, 4 * static_cast<size_t>(length));
        if (result == PSW_SUCCESS && minimal) {
            oid.remember_ber(bytes, length);  // what the encoder would write for these numbers
        }
        return result;
    }

    Result code_bytes(PmsBytesView& view, uint32_t tag) noexcept override
    {
        uint32_t length = 0;
        const uint8_t* bytes = nullptr;
        if (!m_reader.expect_header(static_cast<uint8_t>(tag), &length) ||
            !m_reader.take(length, &bytes)) {
            return PSW_ERR_MALFORMED;
        }
        return view.assign(bytes, length);
    }

    Result code_integer(PmsIntegerView& integer) noexcept override
    {
        return read_integer(kPmsInteger, &integer.value);
    }

    Result code_null(uint32_t tag) noexcept override
    {
        uint32_t length = 0;
        if (!m_reader.expect_header(static_cast<uint8_t>(tag), &length) || length != 0) {
            return PSW_ERR_MALFORMED;
        }
        return PSW_SUCCESS;
    }

    Result code_counter32(PmsUnsignedView& number) noexcept override
    {
        return code_gauge32(number, kPmsCounter32);
    }

    Result code_gauge32(PmsUnsignedView& number, uint32_t tag) noexcept override
    {
        int32_t value = 0;
        const Result result = read_integer(static_cast<uint8_t>(tag), &value);
        if (result == PSW_SUCCESS) {
            number.value = static_cast<uint32_t>(value);
        }
        return result;
    }

    Result code_time_ticks(PmsUnsignedView& number) noexcept override
    {
        return code_gauge32(number, kPmsTimeTicks);
    }

    Result code_counter64(PmsCounter64View& number) noexcept override
    {
        uint32_t length = 0;
        const uint8_t* bytes = nullptr;
        if (!m_reader.expect_header(kPmsCounter64, &length) || !m_reader.take(length, &bytes)) {
            return malformed("decode error: counter64 format is wrong.");
        }
        uint32_t high = 0;
        uint32_t low = 0;
        const uint32_t split = length > 4 ? length - 4 : 0;
        for (uint32_t i = 0; i < split; ++i) {
            high = high << 8 | bytes[i];
        }
        for (uint32_t i = split; i < length; ++i) {
            low = low << 8 | bytes[i];
        }
        number.high = high;
        number.low = low;
        return PSW_SUCCESS;
    }

    Result code_ip_address(PmsBytesView& bytes) noexcept override
    {
        return code_bytes(bytes, kPmsIpAddress);
    }

    Result code_ipv6_address(PmsBytesView&) noexcept override
    {
        return PSW_ERR_MALFORMED;  // never accepted from the wire
    }

    Result code_ipv4_transport(PmsBytesView&) noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result code_ipx_transport(PmsBytesView&) noexcept override { return PSW_ERR_UNSUPPORTED; }

    Result code_exception(PmsExceptionView& exception) noexcept override
    {
        return code_null(exception.tag);
    }

    // ---- primitives ----
    // A 32-bit number, sign-extended from its first byte. Five bytes only with a leading
    // zero; of six or more the last four count.
    Result read_integer(uint8_t tag, int32_t* out) noexcept
    {
        uint32_t length = 0;
        const uint8_t* bytes = nullptr;
        if (!m_reader.expect_header(tag, &length) || !m_reader.take(length, &bytes)) {
            return PSW_ERR_MALFORMED;
        }
        if (length == 5 && bytes[0] != 0) {
            return PSW_ERR_MALFORMED;
        }
        uint32_t value = length != 0 && (bytes[0] & 0x80) != 0 ? 0xFFFFFFFFu : 0u;
        for (uint32_t i = 0; i < length; ++i) {
            value = value << 8 | bytes[i];
        }
        *out = static_cast<int32_t>(value);
        return PSW_SUCCESS;
    }

    bool m_in_place;
    const PmsPacketBuffer* m_buffer = nullptr;
    int32_t m_version = kPmsVersionUnset;
    int32_t m_translate_type = kPmsTranslateUnknown;
    bool m_header_only = false;
    PmsMessageHeader* m_record = nullptr;
    const PmsMessageHeader* m_resume = nullptr;
    PmsBoundedReader m_reader;
};

static_assert(sizeof(CPmsBerDecoder) <= sizeof(PmsCoderStorage));

}  // namespace

IPmsDecoder* pms_new_ber_decoder(Result* result) noexcept
{
    return pmc_made(pmc_new<CPmsBerDecoder>(false), result);
}

IPmsDecoder* pms_make_ber_decoder(PmsCoderStorage* storage) noexcept
{
    return new (storage->bytes) CPmsBerDecoder(true);
}

}  // namespace psw
