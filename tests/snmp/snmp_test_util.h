// Helpers shared by the SNMP tests: hex conversion, owning pointers, encode/decode shortcuts
// (the "snmp" log lines through the shared ScopedLogCapture).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/factory.h"
#include "core/interface.h"
#include "snmp/pms_lists.h"
#include "snmp/pms_packet_coder.h"
#include "snmp/pms_value.h"
#include "support/log_capture.h"

namespace psw::test {

// (Not named from_hex: the harness's support library has a from_hex returning text.)
inline std::vector<uint8_t> hex_bytes(const std::string& hex)
{
    std::vector<uint8_t> bytes;
    std::string digits;
    for (char c : hex) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += c;
        }
    }
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

inline std::string to_hex(const uint8_t* bytes, size_t length)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (size_t i = 0; i < length; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
    }
    return hex;
}

inline std::string to_hex(const std::vector<uint8_t>& bytes)
{
    return to_hex(bytes.data(), bytes.size());
}

inline std::string buffer_hex(const PmsPacketBuffer& buffer)
{
    return to_hex(buffer.data(), buffer.data_length());
}

using ValuePtr = OwnedPtr<IPmsValue>;
using OidPtr = OwnedPtr<IPmsOid>;
using PduPtr = OwnedPtr<IPmsPdu>;
using TargetPtr = OwnedPtr<IPmsSnmpTarget>;
using PacketPtr = OwnedPtr<IPmsSnmpPacket>;

inline OidPtr oid(const char* text)
{
    return OidPtr(create_oid_from_text(text));
}

// A community target ready for encoding.
TargetPtr make_target(int32_t version, const char* community, size_t max_size = 1472);

// Encodes with the front; returns the message as hex, or "error <code>".
std::string encode_hex(IPmsPdu* pdu, IPmsSnmpTarget* target, uint32_t* count = nullptr);

// Decodes hex into a fresh PDU and target.
Result decode_hex(const std::string& hex, IPmsPdu* pdu, IPmsSnmpTarget* target);

// The text form of a value ("" for none).
std::string text_of(const IPmsValue* value);

}  // namespace psw::test
