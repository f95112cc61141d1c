// The codec front: turns a packet (a community target and a PDU) into the bytes of an SNMPv1 or
// SNMPv2c message and a received datagram back into a packet.
//
// One process-wide front delegates to the selected codec factory; the library registers its BER
// codec "TransStream" at load time, which selects it. Encoders and decoders are made per call
// and never shared; the front itself is only read after start-up.
#pragma once

#include <cstdint>

#include "core/pms_packet_buffer.h"
#include "core/result.h"
#include "snmp/pms_packet.h"
#include "snmp/pms_pdu.h"
#include "snmp/snmp_target.h"

namespace psw {

class IPmsValueCoder;

// Translate types of a decode: how to make the target when the packet has none.
enum PmsTranslateType : int32_t {
    kPmsTranslateUnknown = -1,
    kPmsTranslateCommunity = 0,
};

// The message side of an encoder or decoder, one operation per message part.
class IPmsMessageCoder {
public:
    // borrowed: the code_* arguments are only read or filled, never kept or released
    virtual Result code_header(IPmsSnmpTarget* target) noexcept = 0;
    virtual Result unsupported() noexcept = 0;
    virtual ~IPmsMessageCoder() = default;
    virtual void release() noexcept = 0;
    virtual Result code_message(IPmsSnmpPacket* packet) noexcept = 0;
    virtual Result code_pdu(IPmsPdu* pdu) noexcept = 0;
    virtual Result code_varbind_list(PmsVarBindList* list) noexcept = 0;
    virtual Result code_varbind(PmsVarBind* binding) noexcept = 0;
    virtual Result code_pdu_fields(IPmsPdu* pdu) noexcept = 0;
    virtual Result code_v1_trap(IPmsPdu* pdu) noexcept = 0;
    virtual Result code_v2_trap(IPmsPdu* pdu) noexcept = 0;
};

class IPmsEncoder : public IPmsMessageCoder {
public:
    // The buffer to fill (not owned) .
    virtual void set_buffer(PmsPacketBuffer* buffer) noexcept = 0;
    // not a transfer: a view of this encoder, valid while it lives
    virtual IPmsValueCoder* value_coder() noexcept = 0;
    // Bindings written completely, counted from the end of the list.
    virtual uint32_t bindings_written() const noexcept = 0;
};

// What a header-only decode read of a message, and where the rest begins, so that a later
// decode of the same bytes can start at the bindings instead of reading the header again.
struct PmsMessageHeader {
    // The bytes it was read from (not owned): a resumed decode checks it is given the same.
    const uint8_t* data = nullptr;
    size_t data_length = 0;
    // Bytes the message declares (less than data_length when the datagram was longer).
    size_t message_length = 0;
    int32_t version = kPmsVersionUnset;
    // The community up to its first NUL byte; points into `data`.
    const uint8_t* community = nullptr;
    size_t community_length = 0;
    int32_t pdu_type = -1;
    int32_t request_id = 0;
    int32_t error_status = 0;
    int32_t error_index = 0;
    // Offset of the binding list in `data`; 0 until a header was read whole.
    size_t bindings_offset = 0;
};

class IPmsDecoder : public IPmsMessageCoder {
public:
    // The datagram to read (not owned), how to make a missing target, and whether to stop
    // after the PDU's header fields.
    virtual void set_input(const PmsPacketBuffer* buffer, int32_t translate_type,
                           bool header_only) noexcept = 0;
    // not a transfer: a view of this decoder, valid while it lives
    virtual IPmsValueCoder* value_coder() noexcept = 0;
    // Where a header-only decode writes what it read besides filling the packet (null: nowhere).
    // borrowed: `header` must outlive the decode
    virtual void record_header(PmsMessageHeader* header) noexcept = 0;
    // Makes the next decode start from `header` (read from the same input by a header-only
    // decode of a PDU other than a trap): the packet's target and PDU receive the header fields
    // as a full decode gives them, then the bindings are read.
    // borrowed: `header` must outlive the decode
    virtual void resume_after(const PmsMessageHeader* header) noexcept = 0;
};

// Storage for an encoder or decoder made on the caller's stack.
struct alignas(16) PmsCoderStorage {
    uint8_t bytes[256];
};

class IPmsCodecFactory {
public:
    // not a transfer: owned by the factory
    virtual const char* name() const noexcept = 0;
    // New objects owned by the caller (release()); PSW_ERR_NO_MEMORY when memory runs out.
    virtual IPmsEncoder* create_encoder(Result* result = nullptr) noexcept = 0;
    // the caller owns the result and releases it with release()
    virtual IPmsDecoder* create_decoder(Result* result = nullptr) noexcept = 0;
    // The same, built in caller storage; release() then only ends the object's life.
    virtual IPmsEncoder* create_encoder_in(PmsCoderStorage* storage) noexcept = 0;
    // built in borrowed `storage` (must outlive it); release() only ends its life
    virtual IPmsDecoder* create_decoder_in(PmsCoderStorage* storage) noexcept = 0;

protected:
    ~IPmsCodecFactory() = default;
};

class PmsPacketCoder {
public:
    // Selects the registered factory of that name (PSW_ERR_PARAMETER when none); null clears the
    // selection.
    // borrowed: `name` is only read
    virtual Result select(const char* name) noexcept = 0;
    // "TransStream" once the library has loaded; null when nothing is selected.
    // not a transfer: owned by the selected factory
    virtual const char* selected_name() const noexcept = 0;
    // Encodes into `buffer` (its valid data are the message afterwards). `count` (optional)
    // receives the bindings written completely, counted from the end of the list;
    // PSW_ERR_MESSAGE_SIZE when the message exceeds the target's maximum message size.
    // borrowed: `pdu`, `target` and `buffer` are only used during the call
    virtual Result encode(IPmsPdu* pdu, IPmsSnmpTarget* target, PmsPacketBuffer* buffer,
                          uint32_t* count) noexcept = 0;
    // borrowed: `packet` and `buffer` are only used during the call
    virtual Result encode_packet(IPmsSnmpPacket* packet, PmsPacketBuffer* buffer,
                                 uint32_t* count) noexcept = 0;
    // Decodes the buffer's valid data into the PDU and target (reusing what they hold).
    // A failed decode leaves them partly filled.
    // borrowed: `pdu` and `target` are filled in place, never kept or released
    virtual Result decode(const PmsPacketBuffer* buffer, IPmsPdu* pdu, IPmsSnmpTarget* target,
                          int32_t translate_type) noexcept = 0;
    // As decode; a packet without a target or PDU gets new ones.
    // borrowed: `packet` keeps ownership of what it holds and of new parts it gets
    virtual Result decode_packet(const PmsPacketBuffer* buffer, IPmsSnmpPacket* packet,
                                 int32_t translate_type) noexcept = 0;
    // Reads the message only up to the PDU's header fields.
    // borrowed: `buffer` is only read
    virtual Result peek(const PmsPacketBuffer* buffer, int32_t* error_status, int32_t* request_id,
                        int32_t translate_type) noexcept = 0;
    // As peek, also giving the PDU type (kPmsResponse for a reply).
    virtual Result peek_pdu(const PmsPacketBuffer* buffer, int32_t* pdu_type, int32_t* error_status,
                            int32_t* request_id, int32_t translate_type) noexcept = 0;
    // As peek_pdu with kPmsTranslateCommunity, reading the header into `scratch`: a packet
    // without target or PDU gets new ones, which it keeps, so that repeated peeks with the same
    // scratch allocate nothing. Its target must be a community target (PSW_ERR_PARAMETER else).
    // borrowed: `scratch` keeps ownership of what it holds and of new parts it gets
    virtual Result peek_community_pdu(const PmsPacketBuffer* buffer, IPmsSnmpPacket* scratch,
                                      int32_t* pdu_type, int32_t* error_status,
                                      int32_t* request_id) noexcept = 0;
    // As peek_community_pdu, also keeping in `header` what was read, for decode_after_peek.
    // `header` is written also on failure (then it holds no binding offset).
    // borrowed: as peek_community_pdu; `header` stays the caller's
    virtual Result peek_community_header(const PmsPacketBuffer* buffer, IPmsSnmpPacket* scratch,
                                         PmsMessageHeader* header) noexcept = 0;
    // As decode() with kPmsTranslateUnknown, with the same results, effects and log lines, but
    // starting at the bindings of a message whose header peek_community_header read from the
    // same buffer; a header of a trap or of other bytes is ignored (the whole message is read).
    // borrowed: as decode(); `header` is only read
    virtual Result decode_after_peek(const PmsPacketBuffer* buffer, const PmsMessageHeader& header,
                                     IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept = 0;

    // Adds a factory (not owned; it must outlive the front) and selects it. PSW_ERR_TOO_LONG when
    // full.
    virtual Result register_factory(IPmsCodecFactory* factory) noexcept = 0;

protected:
    ~PmsPacketCoder() = default;
};

// The process-wide front, made on first use.
// not a transfer: a static object that lives as long as the process
PmsPacketCoder* pms_packet_coder() noexcept;

// The BER codec factory "TransStream".
// not a transfer: a static object that lives as long as the process
IPmsCodecFactory* pms_trans_stream_factory() noexcept;

// The next request id: one process-wide 32-bit counter, atomically incremented; the first id
// is a random value from the OS random source (pmc_random_u32), different in every process.
int32_t next_request_id() noexcept;

}  // namespace psw
