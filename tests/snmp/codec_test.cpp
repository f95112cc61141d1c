// The BER codec: exact encodings, every documented decode failure with its log line, traps,
// status marks, reuse of a reply PDU, overflow and request ids.
#include <gtest/gtest.h>

#include <thread>

#include "snmp/snmp_test_util.h"

namespace psw::test {
namespace {

// A GetRequest of one binding whose value is `value` (owned by the PDU afterwards).
PduPtr get_with(IPmsValue* value, const char* name = "1.3.6.1.2.1.1.1.0")
{
    PduPtr pdu(create_pdu());
    pdu->set_type(kPmsGetRequest);
    pdu->set_request_id(1);
    pdu->add(create_oid_from_text(name), value);
    return pdu;
}

// The value's TLV as the encoder writes it inside a binding.
std::string value_tlv(IPmsValue* value)
{
    TargetPtr target = make_target(0, "");
    PduPtr pdu = get_with(value);
    std::string hex = encode_hex(pdu.get(), target.get());
    const std::string name = "06082b06010201010100";
    const size_t at = hex.find(name);
    return at == std::string::npos ? hex : hex.substr(at + name.size());
}

std::string oid_tlv(const char* text)
{
    OidPtr id(create_oid());
    id->set_text(text);
    return value_tlv(id.release());
}

TEST(Encode, NumbersFewestBytes)
{
    EXPECT_EQ(value_tlv(create_value_with_int(127, kPmsInteger)), "02017f");
    EXPECT_EQ(value_tlv(create_value_with_int(128, kPmsInteger)), "02020080");
    EXPECT_EQ(value_tlv(create_value_with_int(-129, kPmsInteger)), "0202ff7f");
    EXPECT_EQ(value_tlv(create_value_with_int(-128, kPmsInteger)), "020180");
    EXPECT_EQ(value_tlv(create_value_with_int(0, kPmsInteger)), "020100");
    EXPECT_EQ(value_tlv(create_value_with_int(INT32_MIN, kPmsInteger)), "020480000000");
    IPmsValue* gauge = create_value(kPmsGauge32);
    gauge->set_uint(0xFFFFFFFF);
    EXPECT_EQ(value_tlv(gauge), "420500ffffffff");
    IPmsValue* ticks = create_value(kPmsTimeTicks);
    ticks->set_uint(0x80);
    EXPECT_EQ(value_tlv(ticks), "43020080");
    IPmsValue* counter = create_value(kPmsCounter32);
    EXPECT_EQ(value_tlv(counter), "410100");
    IPmsValue* big = create_value(kPmsCounter64);
    big->set_high(0xFFFFFFFF);
    big->set_low(0xFFFFFFFF);
    EXPECT_EQ(value_tlv(big), "460900ffffffffffffffff");
}

TEST(Encode, OidsAndOtherValues)
{
    EXPECT_EQ(oid_tlv("1.3.6.1.2.1.1.1.0"), "06082b06010201010100");
    EXPECT_EQ(oid_tlv("2.999"), "06028837");
    EXPECT_EQ(oid_tlv(""), "0600");
    EXPECT_EQ(oid_tlv("1.3.6.1.4.1.4294967295"),
              "060a2b06010401"
              "8fffffff7f");
    EXPECT_EQ(value_tlv(create_value(kPmsNoSuchObject)), "8000");
    EXPECT_EQ(value_tlv(create_value(kPmsEndOfMibView)), "8200");
    EXPECT_EQ(value_tlv(create_value_from_text("10.1.2.3", kPmsIpAddress)), "40040a010203");
    EXPECT_EQ(value_tlv(create_value_from_text("xy", kPmsOpaque)), "44027879");
    EXPECT_EQ(value_tlv(create_value(kPmsIpv4Transport)), "error -5");
    EXPECT_EQ(value_tlv(create_value(kPmsIpxTransport)), "error -5");
}

TEST(Encode, SingleSubIdentifierOidIsRefused)
{
    ScopedLogCapture log("snmp");
    EXPECT_EQ(oid_tlv("1"), "error -2");
    EXPECT_TRUE(log.contains("encode error:oid size is 1."));
}

TEST(Encode, ReferenceGetAndLongLengths)
{
    PduPtr pdu = get_with(nullptr, "1.3.6.1.2.1.1.2.0");
    pdu->set_request_id(1234);
    TargetPtr target = make_target(0, "public");
    EXPECT_EQ(encode_hex(pdu.get(), target.get()),
              "302702010004067075626c6963a01a020204d2020100020100300e300c06082b060102010102000500");
    // A community of 200 bytes needs the length 81 c8; 256 bytes 82 01 00.
    std::string community(200, 'c');
    pms_community_of(target.get())->set_community(community.c_str());
    EXPECT_NE(encode_hex(pdu.get(), target.get()).find("0481c8636363"), std::string::npos);
    community.assign(256, 'c');
    pms_community_of(target.get())->set_community(community.c_str());
    EXPECT_NE(encode_hex(pdu.get(), target.get()).find("048201006363"), std::string::npos);
}

TEST(Encode, RefusesWhatHasNoWireForm)
{
    PduPtr pdu = get_with(nullptr);
    TargetPtr target = make_target(-1, "public");
    EXPECT_EQ(encode_hex(pdu.get(), target.get()), "error -2");  // version unset
    target->set_version(0);
    pdu->set_type(kPmsPduUnset);
    EXPECT_EQ(encode_hex(pdu.get(), target.get()), "error -2");
    pdu->set_type(kPmsTrap);
    target->set_version(1);
    EXPECT_EQ(encode_hex(pdu.get(), target.get()), "error -5");  // SNMPv2-Trap
    PmsPacketBuffer buffer;
    EXPECT_EQ(pms_packet_coder()->encode(nullptr, target.get(), &buffer, nullptr),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(pms_packet_coder()->encode_packet(nullptr, &buffer, nullptr), PSW_ERR_PARAMETER);
}

TEST(Encode, OverflowCountsBindingsFromTheEnd)
{
    PduPtr pdu(create_pdu());
    pdu->set_type(kPmsGetRequest);
    pdu->set_request_id(0x12345678);
    for (int i = 0; i < 10; ++i) {
        std::string name = "1.3.6.1.2.1.43.8.2.1." + std::to_string(i + 2) + ".1";
        pdu->add(create_oid_from_text(name.c_str()), nullptr);
    }
    TargetPtr target = make_target(0, "public", 202);  // the exact size of this message
    uint32_t count = 0;
    EXPECT_EQ(encode_hex(pdu.get(), target.get(), &count).size(), 404u);
    EXPECT_EQ(count, 10u);
    target->set_max_message_size(201);
    EXPECT_EQ(encode_hex(pdu.get(), target.get(), &count), "error -211");
    EXPECT_EQ(count, 10u);  // every binding fitted, the header did not
    target->set_max_message_size(100);
    EXPECT_EQ(encode_hex(pdu.get(), target.get(), &count), "error -211");
    EXPECT_EQ(count, 5u);  // 17 bytes a binding: five complete ones, the sixth overflowed
}

TEST(Encode, V1TrapFieldsFromTheTranslatedEnterprise)
{
    PduPtr trap(create_pdu());
    trap->set_type(kPmsTrap);
    TargetPtr target = make_target(0, "public");
    EXPECT_EQ(encode_hex(trap.get(), target.get()), "error -2");  // no time-stamp, no enterprise
    IPmsValue* ticks = create_value(kPmsTimeTicks);
    ticks->set_uint(100);
    trap->set_time_stamp(ticks);
    trap->set_enterprise(create_oid_from_text("1.3.6.1.4.1.297.5.10"));
    EXPECT_EQ(encode_hex(trap.get(), target.get()), "error -2");  // no 0 before the last
    trap->set_enterprise(create_oid_from_text("1.3.6.1.4.1.297.0.10"));
    EXPECT_EQ(encode_hex(trap.get(), target.get()),
              "302702010004067075626c6963a41a06072b0601040182294004000000000201060201"
              "0a4301643000");
    trap->set_enterprise(create_oid_from_text("1.3.6.1.6.3.1.1.5.0.3"));
    EXPECT_EQ(encode_hex(trap.get(), target.get()),
              "302802010004067075626c6963a41b06082b06010603010105400400000000020102020100"
              "4301643000");
}

TEST(Decode, ResponseWithStatusMarksAndReuse)
{
    // Response, request-id 7, noSuchName at index 2 over three bindings.
    const std::string reply =
        "303e02010004067075626c6963a231020107020102020102302630080604"
        "2b0601010500300a06042b0601020202002a300e06042b06010304067072696e74"
        "6572";
    // Fix the lengths by building the same message with the encoder instead of by hand.
    PduPtr pdu(create_pdu());
    pdu->set_type(kPmsResponse);
    pdu->set_request_id(7);
    pdu->set_error_status(2);
    pdu->set_error_index(2);
    pdu->add(create_oid_from_text("1.3.6.1.1"), nullptr);
    pdu->add(create_oid_from_text("1.3.6.1.2"), create_value_with_int(42, kPmsInteger));
    pdu->add(create_oid_from_text("1.3.6.1.3"), create_value_from_text("printer", kPmsOctetString));
    TargetPtr target = make_target(0, "public");
    const std::string hex = encode_hex(pdu.get(), target.get());
    (void)reply;

    PduPtr decoded(create_pdu());
    TargetPtr from(create_community_target());
    ASSERT_EQ(decode_hex(hex, decoded.get(), from.get()), PSW_SUCCESS);
    EXPECT_EQ(decoded->type(), kPmsResponse);
    EXPECT_EQ(decoded->request_id(), 7);
    EXPECT_EQ(from->version(), 0);
    EXPECT_STREQ(pms_community_of(from.get())->community(), "public");
    ASSERT_EQ(decoded->bindings()->count(), 3u);
    EXPECT_EQ(decoded->bindings()->at(0)->mark(), 100);
    EXPECT_EQ(decoded->bindings()->at(1)->mark(), 2);
    EXPECT_EQ(decoded->bindings()->at(2)->mark(), 100);
    EXPECT_EQ(text_of(decoded->bindings()->at(2)->value()), "printer");

    // Decoding a shorter reply into the same PDU reuses the first binding's objects and drops
    // the rest; a clean reply marks every binding 0.
    IPmsValue* first_value = decoded->bindings()->at(0)->value();
    PduPtr shorter(create_pdu());
    shorter->set_type(kPmsResponse);
    shorter->add(create_oid_from_text("1.3.6.1.9"), nullptr);
    ASSERT_EQ(decode_hex(encode_hex(shorter.get(), target.get()), decoded.get(), from.get()),
              PSW_SUCCESS);
    ASSERT_EQ(decoded->bindings()->count(), 1u);
    EXPECT_EQ(decoded->bindings()->at(0)->value(), first_value);
    EXPECT_STREQ(decoded->bindings()->at(0)->name()->text(), "1.3.6.1.9");
    EXPECT_EQ(decoded->bindings()->at(0)->mark(), 0);
}

struct DecodeFailure {
    const char* name;
    const char* hex;
    Result result;
    const char* log;  // "" when the failure logs nothing
};

// Printed by name, so gtest never dumps the struct's padding bytes.
void PrintTo(const DecodeFailure& failure, std::ostream* os)
{
    *os << failure.name;
}

class DecodeFailures : public ::testing::TestWithParam<DecodeFailure> {};

TEST_P(DecodeFailures, EndWithTheirCodeAndLine)
{
    ScopedLogCapture log("snmp");
    PduPtr pdu(create_pdu());
    TargetPtr target(create_community_target());
    EXPECT_EQ(decode_hex(GetParam().hex, pdu.get(), target.get()), GetParam().result);
    if (*GetParam().log != '\0') {
        EXPECT_TRUE(log.contains(GetParam().log)) << GetParam().log;
    } else if (std::string(GetParam().name) != "Empty" &&
               std::string(GetParam().name) != "NotASequence" &&
               std::string(GetParam().name) != "IndefiniteLength") {
        // The framing is right: the failure is the one the case is about.
        EXPECT_FALSE(log.contains("lack of received packet"));
        EXPECT_FALSE(log.contains("length of var bind"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codec, DecodeFailures,
    ::testing::Values(
        DecodeFailure{"Version3", "301802010304067075626c6963a00b0201010201000201003000", -250,
                      "decode error: unsupported snmp version."},
        DecodeFailure{"PduA9", "301802010004067075626c6963a90b0201010201000201003000", -250,
                      "decode error: unknown pdu type."},
        DecodeFailure{"PduLength", "301802010004067075626c6963a00a0201010201000201003000", -250,
                      "decode error: pdu length is wrong."},
        DecodeFailure{"ErrorStatus19", "301802010004067075626c6963a20b0201010201130201003000", -250,
                      "decode error: error_status's value is wrong."},
        DecodeFailure{"ListLength", "301902010004067075626c6963a20c020101020100020100300200", -250,
                      "decode error: length of var bind list is wrong."},
        DecodeFailure{
            "BindingLength",
            "302402010004067075626c6963a217020101020100020100300c300a06032b0601050000000000", -250,
            "decode error: length of var bind is wrong."},
        DecodeFailure{"UnknownAsnType",
                      "302002010004067075626c6963a213020101020100020100300830060602"
                      "2b0603 00",
                      -250, "decode error: unknown asn type."},
        DecodeFailure{
            "ShortDatagram",
            "302702010004067075626c6963a01a020204d2020100020100300e300c06082b0601020101020005",
            -250, "decode error: lack of received packet. can't go on decoding any more."},
        DecodeFailure{"NotASequence", "3102020100", -250, ""},
        DecodeFailure{"IndefiniteLength", "3080020100", -250, ""},
        DecodeFailure{"Empty", "", -250, ""},
        DecodeFailure{
            "IntegerFiveBytesNonZero",
            "302602010004067075626c6963a219020101020100020100300e300c06032b060102050100000000",
            -250, ""},
        DecodeFailure{
            "OidSubIdentifierOver32Bits",
            "302602010004067075626c6963a219020101020100020100300e300c06082b069080808080000500",
            -250, "decode error. oid format is wrong."},
        DecodeFailure{"NullWithContents",
                      "302202010004067075626c6963a215020101020100020100300a300806032b0601050100",
                      -250, ""},
        DecodeFailure{
            "GenericTrap7",
            "302502010004067075626c6963a41806072b060104018229400400000000020107020100430100"
            "3000",
            -250, "decode error: generic trap No. > 6. "},
        DecodeFailure{"V2cTrapPdu", "301802010104067075626c6963a70b0201010201000201003000", -5,
                      ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decode, SurplusBytesAreCutWithANotice)
{
    ScopedLogCapture log("snmp");
    PduPtr pdu(create_pdu());
    TargetPtr target(create_community_target());
    const std::string get =
        "302702010004067075626c6963a01a020204d2020100020100300e300c06082b060102010102000500";
    ASSERT_EQ(decode_hex(get + "aabbcc", pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_TRUE(log.contains("received packet is redundancy. be cut down."));
    EXPECT_EQ(pdu->request_id(), 1234);
    EXPECT_STREQ(pdu->bindings()->at(0)->name()->text(), "1.3.6.1.2.1.1.2.0");
}

TEST(Decode, IntegerContents)
{
    auto decode_value = [](const std::string& tlv, Result* result) {
        const std::string binding = "06032b0601" + tlv;
        char lengths[64];
        const size_t b = binding.size() / 2;
        std::snprintf(lengths, sizeof(lengths), "30%02zx", b);
        const std::string list = std::string(lengths) + binding;
        std::snprintf(lengths, sizeof(lengths), "30%02zx", list.size() / 2);
        const std::string seq = std::string(lengths) + list;
        const std::string body = "020101020100020100" + seq;
        std::snprintf(lengths, sizeof(lengths), "a2%02zx", body.size() / 2);
        const std::string pdu = std::string(lengths) + body;
        const std::string inner = "02010004067075626c6963" + pdu;
        std::snprintf(lengths, sizeof(lengths), "30%02zx", inner.size() / 2);
        PduPtr out(create_pdu());
        TargetPtr target(create_community_target());
        *result = decode_hex(std::string(lengths) + inner, out.get(), target.get());
        return *result == PSW_SUCCESS ? ValuePtr(out->bindings()->at(0)->value()->clone())
                                      : ValuePtr();
    };
    Result result = 0;
    EXPECT_EQ(decode_value("020500ffffffff", &result)->get_int(), -1);
    EXPECT_FALSE(decode_value("02050100000000", &result));
    EXPECT_EQ(result, PSW_ERR_MALFORMED);
    EXPECT_EQ(decode_value("0200", &result)->get_int(), 0);
    EXPECT_EQ(decode_value("0206010203040506", &result)->get_int(), 0x03040506);
    EXPECT_EQ(decode_value("4101ff", &result)->get_uint(), 0xFFFFFFFFu);  // sign-extended
    ValuePtr c64 = decode_value("4609010000000000000002", &result);
    ASSERT_TRUE(c64);
    EXPECT_EQ(c64->get_high(),
              0u);  // nine bytes: the bytes before the last four form the high half
    EXPECT_EQ(c64->get_low(), 2u);
    ValuePtr oid_value = decode_value("06028837", &result);
    ASSERT_TRUE(oid_value);
    EXPECT_EQ(text_of(oid_value.get()), "2.999");
    EXPECT_EQ(text_of(decode_value("0600", &result).get()), "");
    EXPECT_FALSE(decode_value("0602 2b86", &result));  // last group runs past the length
    EXPECT_EQ(result, PSW_ERR_MALFORMED);
    EXPECT_FALSE(decode_value("4800", &result));  // IPv6 is never accepted from the wire
}

TEST(Decode, V1TrapTranslation)
{
    PduPtr trap(create_pdu());
    TargetPtr target(create_community_target());
    // Enterprise 1.3.6.1.4.1.297, generic 6, specific 10, time-stamp 100.
    ASSERT_EQ(decode_hex("302702010004067075626c6963a41a06072b06010401822940040a0000010201060201"
                         "0a4301643000",
                         trap.get(), target.get()),
              PSW_SUCCESS);
    EXPECT_EQ(trap->type(), kPmsTrap);
    EXPECT_STREQ(trap->enterprise()->text(), "1.3.6.1.4.1.297.0.10");
    EXPECT_EQ(trap->time_stamp()->get_uint(), 100u);
    ASSERT_EQ(decode_hex("302702010004067075626c6963a41a06072b06010401822940040a0000010201020201"
                         "004301643000",
                         trap.get(), target.get()),
              PSW_SUCCESS);
    EXPECT_STREQ(trap->enterprise()->text(), "1.3.6.1.6.3.1.1.5.0.3");
    // And back: the translated enterprise encodes as the generic trap it came from.
    TargetPtr out = make_target(0, "public");
    EXPECT_NE(encode_hex(trap.get(), out.get()).find("020102020100"), std::string::npos);
}

TEST(Decode, MissingTargetIsMadeByTranslateType)
{
    ScopedLogCapture log("snmp");
    const auto bytes = hex_bytes(
        "302702010004067075626c6963a01a020204d2020100020100300e300c06082b060102010102000500");
    PmsPacketBuffer buffer;
    buffer.attach_received(bytes.data(), bytes.size());
    PacketPtr packet(create_packet());
    EXPECT_EQ(pms_packet_coder()->decode_packet(&buffer, packet.get(), kPmsTranslateUnknown),
              PSW_ERR_PARAMETER);
    EXPECT_TRUE(log.contains("decode error: unknown translate type."));
    EXPECT_EQ(pms_packet_coder()->decode_packet(&buffer, packet.get(), 5), PSW_ERR_PARAMETER);
    ASSERT_EQ(pms_packet_coder()->decode_packet(&buffer, packet.get(), kPmsTranslateCommunity),
              PSW_SUCCESS);
    ASSERT_NE(packet->target(), nullptr);
    EXPECT_STREQ(pms_community_of(packet->target())->community(), "public");
    EXPECT_EQ(packet->pdu()->request_id(), 1234);
}

TEST(Peek, HeaderOnly)
{
    // A tooBig Response whose binding list is garbage: peek never reads it.
    const auto bytes = hex_bytes("301a02010004067075626c6963a20d0202162e020101020100ffff00");
    PmsPacketBuffer buffer;
    buffer.attach_received(bytes.data(), bytes.size());
    int32_t status = -1;
    int32_t id = -1;
    ASSERT_EQ(pms_packet_coder()->peek(&buffer, &status, &id, kPmsTranslateCommunity), PSW_SUCCESS);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(id, 0x162e);
    EXPECT_EQ(pms_packet_coder()->peek(&buffer, nullptr, &id, 0), PSW_ERR_PARAMETER);
}

TEST(Peek, IntoAKeptScratchPacketReadsEachHeaderAnew)
{
    // The same scratch packet for a tooBig Response, a GetRequest and an unreadable message:
    // each peek reports its own message, as peek_pdu does with a new packet each time.
    const std::vector<std::string> messages = {
        "301a02010004067075626c6963a20d0202162e020101020100ffff00",
        "301a02010104067075626c6963a00d020204d2020100020100300100", "301a020103"};
    OwnedPtr<IPmsSnmpPacket> scratch(create_packet());
    ASSERT_TRUE(scratch);
    for (const std::string& hex : messages) {
        const auto bytes = hex_bytes(hex);
        PmsPacketBuffer buffer;
        buffer.attach_received(bytes.data(), bytes.size());
        int32_t type[2] = {-1, -1};
        int32_t status[2] = {-1, -1};
        int32_t id[2] = {-1, -1};
        const Result fresh = pms_packet_coder()->peek_pdu(&buffer, &type[0], &status[0], &id[0],
                                                          kPmsTranslateCommunity);
        const Result kept = pms_packet_coder()->peek_community_pdu(&buffer, scratch.get(), &type[1],
                                                                   &status[1], &id[1]);
        EXPECT_EQ(kept, fresh) << hex;
        EXPECT_EQ(type[1], type[0]) << hex;
        EXPECT_EQ(status[1], status[0]) << hex;
        EXPECT_EQ(id[1], id[0]) << hex;
    }
    PmsPacketBuffer empty;
    int32_t value = 0;
    EXPECT_EQ(pms_packet_coder()->peek_community_pdu(&empty, nullptr, &value, &value, &value),
              PSW_ERR_PARAMETER);
}

// What a decode left in a PDU and its target, and how many lines it logged, as one text.
std::string decoded_state(IPmsPdu* pdu, IPmsSnmpTarget* target, size_t lines)
{
    const char* community = pms_community_of(target)->community();
    std::string state =
        std::to_string(pdu->type()) + " id " + std::to_string(pdu->request_id()) + " status " +
        std::to_string(pdu->error_status()) + "/" + std::to_string(pdu->error_index()) + " v" +
        std::to_string(target->version()) + " " + (community != nullptr ? community : "-") +
        " lines " + std::to_string(lines);
    for (uint32_t i = 0; pdu->bindings() != nullptr && i < pdu->bindings()->count(); ++i) {
        const PmsVarBind* binding = pdu->bindings()->at(i);
        state += std::string(" ") + binding->name()->text() + "=" + text_of(binding->value()) +
                 "#" + std::to_string(binding->mark());
    }
    return state;
}

// Peek then decode_after_peek leaves the PDU, the target and the log as a peek followed by a
// whole decode does; a header read from other bytes is not trusted.
TEST(DecodeAfterPeek, GivesWhatAWholeDecodeGives)
{
    const std::string head = "02010004067075626c6963a21a020204d202";
    const std::string binding = "300e300c06082b060102010102000500";
    const std::vector<std::string> messages = {
        "3027" + head + "0100020100" + binding,                            // clean
        "3027" + head + "0102020101" + binding,                            // noSuchName at 1
        "3027" + head + "0100020100" + binding + "aabbcc",                 // surplus bytes cut
        "30280201010407707562006c6963a21a020204d2020100020100" + binding,  // "pub\0lic"
        "302402010004067075626c6963a217020101020100020100300c300a06032b0601050000000000",
        "302002010004067075626c6963a2130201010201000201003008300606022b060300"};
    const auto other = hex_bytes(
        "302802010004067075626c6963a21b020200ff020100020100300f300d0608"
        "2b0601020101030002012a");
    PmsPacketBuffer other_buffer;
    other_buffer.attach_received(other.data(), other.size());
    for (const std::string& hex : messages) {
        const auto bytes = hex_bytes(hex);
        PmsPacketBuffer buffer;
        buffer.attach_received(bytes.data(), bytes.size());
        // 0: whole decode; 1: resumed; 2: `other` whole; 3: `other` with the header of `hex`.
        std::string state[4];
        Result result[4] = {};
        for (int way = 0; way < 4; ++way) {
            OwnedPtr<IPmsSnmpPacket> scratch(create_packet());
            PduPtr pdu(create_pdu());
            TargetPtr target = make_target(1, "other");
            PmsMessageHeader header;
            ASSERT_EQ(pms_packet_coder()->peek_community_header(&buffer, scratch.get(), &header),
                      PSW_SUCCESS);
            EXPECT_NE(header.bindings_offset, 0u);
            ScopedLogCapture log("snmp");
            const PmsPacketBuffer* read = way < 2 ? &buffer : &other_buffer;
            result[way] = way % 2 == 0 ? pms_packet_coder()->decode(read, pdu.get(), target.get(),
                                                                    kPmsTranslateUnknown)
                                       : pms_packet_coder()->decode_after_peek(
                                             read, header, pdu.get(), target.get());
            state[way] = decoded_state(pdu.get(), target.get(), log.lines().size());
        }
        EXPECT_EQ(result[1], result[0]) << hex;
        EXPECT_EQ(state[1], state[0]) << hex;
        EXPECT_EQ(result[3], PSW_SUCCESS) << hex;
        EXPECT_EQ(state[3], state[2]) << hex;
    }
    OwnedPtr<IPmsSnmpPacket> scratch(create_packet());
    EXPECT_EQ(pms_packet_coder()->peek_community_header(&other_buffer, scratch.get(), nullptr),
              PSW_ERR_PARAMETER);
}

TEST(Front, SelectionAndLoadTimeRegistration)
{
    PmsPacketCoder* front = pms_packet_coder();
    EXPECT_STREQ(front->selected_name(), "TransStream");
    EXPECT_EQ(front->select("Other"), PSW_ERR_PARAMETER);
    ASSERT_EQ(front->select(nullptr), PSW_SUCCESS);
    EXPECT_EQ(front->selected_name(), nullptr);
    PmsPacketBuffer buffer;
    int32_t status = 0;
    int32_t id = 0;
    EXPECT_EQ(front->peek(&buffer, &status, &id, 0), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(front->encode_packet(nullptr, &buffer, nullptr), PSW_ERR_NOT_INITIALIZED);
    ASSERT_EQ(front->select("TransStream"), PSW_SUCCESS);
    EXPECT_STREQ(front->selected_name(), "TransStream");
}

// A name may have at most 128 sub-identifiers (SNMP's limit); one more makes the message
// malformed, whether the sub-identifiers take one byte each or several.
TEST(OidLimit, NamesOverOneHundredTwentyEightSubIdsAreMalformed)
{
    struct Case {
        uint32_t count;
        uint32_t sub_id;
        Result expected;
    };
    const Case cases[] = {{128, 1, PSW_SUCCESS},
                          {129, 1, PSW_ERR_MALFORMED},
                          {128, 300000, PSW_SUCCESS},
                          {129, 300000, PSW_ERR_MALFORMED}};
    for (const Case& c : cases) {
        std::string name = "1.3";
        for (uint32_t i = 2; i < c.count; ++i) {
            name += "." + std::to_string(c.sub_id);
        }
        PduPtr reply(create_pdu());
        reply->set_type(kPmsResponse);
        reply->add(create_oid_from_text(name.c_str()), create_value_with_int(1, kPmsInteger));
        TargetPtr target = make_target(1, "public", 8192);
        const std::string hex = encode_hex(reply.get(), target.get());
        ASSERT_EQ(hex.rfind("error", 0), std::string::npos) << hex;
        PduPtr decoded(create_pdu());
        TargetPtr into = make_target(1, "public", 8192);
        EXPECT_EQ(decode_hex(hex, decoded.get(), into.get()), c.expected)
            << c.count << " sub-identifiers of " << c.sub_id;
    }
}

TEST(RequestId, AtomicCounterDistinctAcrossThreads)
{
    constexpr int kPerThread = 10000;
    // Ids are compared as distances from one taken before, since the random start may lie
    // just below the wrap-around.
    const auto base = static_cast<uint32_t>(next_request_id());
    std::vector<uint32_t> seen[2];
    auto take = [base](std::vector<uint32_t>& into) {
        for (int i = 0; i < kPerThread; ++i) {
            into.push_back(static_cast<uint32_t>(next_request_id()) - base);
        }
    };
    std::thread a([&] { take(seen[0]); });
    std::thread b([&] { take(seen[1]); });
    a.join();
    b.join();
    std::vector<uint32_t> all(seen[0]);
    all.insert(all.end(), seen[1].begin(), seen[1].end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
    EXPECT_EQ(all.front(), 1u);
    EXPECT_EQ(all.back(), static_cast<uint32_t>(2 * kPerThread));
}

}  // namespace
}  // namespace psw::test
