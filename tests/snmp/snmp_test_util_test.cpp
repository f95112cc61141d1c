// The SNMP test helpers (compiled into the SNMP test program).
#include "snmp/snmp_test_util.h"

#include <gtest/gtest.h>

#include "core/pms_octets.h"
#include "core/pms_packet_buffer.h"

namespace psw::test {

TargetPtr make_target(int32_t version, const char* community, size_t max_size)
{
    TargetPtr target(create_community_target());
    target->set_version(version);
    target->set_max_message_size(max_size);
    pms_community_of(target.get())->set_community(community);
    return target;
}

std::string encode_hex(IPmsPdu* pdu, IPmsSnmpTarget* target, uint32_t* count)
{
    PmsPacketBuffer buffer;
    const Result result = pms_packet_coder()->encode(pdu, target, &buffer, count);
    if (result != PSW_SUCCESS) {
        return "error " + std::to_string(result);
    }
    return buffer_hex(buffer);
}

Result decode_hex(const std::string& hex, IPmsPdu* pdu, IPmsSnmpTarget* target)
{
    const std::vector<uint8_t> bytes = hex_bytes(hex);
    PmsPacketBuffer buffer;
    buffer.attach_received(bytes.data(), bytes.size());
    return pms_packet_coder()->decode(&buffer, pdu, target, kPmsTranslateCommunity);
}

std::string text_of(const IPmsValue* value)
{
    if (value == nullptr) {
        return "";
    }
    OwnedPtr<PmsOctets> text(value->to_text());
    return text ? std::string(text->c_str(), text->length()) : std::string("<no text>");
}

TEST(SnmpTestUtil, HexRoundTrip)
{
    EXPECT_EQ(to_hex(hex_bytes("30 0a FF")), "300aff");
}

}  // namespace psw::test
