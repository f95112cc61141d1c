// Allocation failure at every step of building, encoding and decoding a message, and the fuzz
// corpus replayed as an ordinary test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "snmp/snmp_test_util.h"
#include "support/alloc_failure.h"

namespace psw::test {
namespace {

const char kResponse[] =
    "3082011302010004067075626c6963a28201040204123456780201000201003081f53010060b2b060102012b08"
    "0201020102012a302f060b2b060102012b080201030104204142434445464748494a4b4c4d4e4f50515253545556"
    "5758595a303132333435301a060b2b060102012b0802010401060b2b060104018f650a0103013012060b2b0601"
    "02012b0802010501410301e2403012060b2b060102012b080201060143030f12063014060b2b060102012b0802"
    "010701420500ee6b28003010060b2b060102012b08020108010201fb3015060b2b060102012b08020109010406"
    "5472617920313013060b2b060102012b0802010a0140040a0102033018060b2b060102012b0802010b0106092b"
    "0601020119030105";

// Builds a request, encodes it, decodes a reply into a fresh packet and a trap into another.
// Returns the first failure code, or 0.
Result build_encode_decode(const std::vector<uint8_t>& reply, const std::vector<uint8_t>& trap)
{
    Result result = PSW_SUCCESS;
    PduPtr pdu(create_pdu(&result));
    if (!pdu) {
        return result;
    }
    pdu->set_type(kPmsGetNextRequest);
    for (const char* name : {"1.3.6.1.2.1.43.8.2.1.2", "1.3.6.1.2.1.25.3.2.1.3"}) {
        IPmsOid* id = create_oid_from_text(name, &result);
        if (id == nullptr) {
            return result;
        }
        IPmsValue* value = create_value_from_text("abc", kPmsOctetString, &result);
        if (value == nullptr) {
            id->release();
            return result;
        }
        result = pdu->add(id, value);
        if (result != PSW_SUCCESS) {
            return result;
        }
    }
    TargetPtr target(create_community_target(&result));
    if (!target) {
        return result;
    }
    target->set_version(0);
    target->set_max_message_size(484);
    result = pms_community_of(target.get())->set_community("public");
    if (result != PSW_SUCCESS) {
        return result;
    }
    PmsPacketBuffer out;
    result = pms_packet_coder()->encode(pdu.get(), target.get(), &out, nullptr);
    if (result != PSW_SUCCESS) {
        return result;
    }
    for (const auto* message : {&reply, &trap}) {
        PmsPacketBuffer in;
        in.attach_received(message->data(), message->size());
        PacketPtr packet(create_packet(&result));
        if (!packet) {
            return result;
        }
        result = pms_packet_coder()->decode_packet(&in, packet.get(), kPmsTranslateCommunity);
        if (result != PSW_SUCCESS) {
            return result;
        }
        PacketPtr copy(packet->clone(&result));
        if (!copy) {
            return result;
        }
    }
    return PSW_SUCCESS;
}

TEST(AllocationFailure, EveryAllocationFailsCleanly)
{
    const auto reply = hex_bytes(kResponse);
    const auto trap = hex_bytes("302702010004067075626c6963a41a06072b06010401822940040a00000102010602010a4301643000");
    AllocFailure::count_only();
    ASSERT_EQ(build_encode_decode(reply, trap), PSW_SUCCESS);
    const uint64_t total = AllocFailure::count();
    AllocFailure::disarm();
    ASSERT_GT(total, 20u);
    for (uint64_t k = 1; k <= total; ++k) {
        AllocFailure::fail_at(k);
        const Result result = build_encode_decode(reply, trap);
        const bool hit = AllocFailure::triggered();
        AllocFailure::disarm();
        EXPECT_TRUE(hit) << k;
        EXPECT_EQ(result, PSW_ERR_NO_MEMORY) << "allocation " << k << " of " << total;
    }
}

TEST(AllocationFailure, DecodeIntoAReusedPduAllocatesNothing)
{
    const auto reply = hex_bytes(kResponse);
    PmsPacketBuffer in;
    in.attach_received(reply.data(), reply.size());
    PduPtr pdu(create_pdu());
    TargetPtr target(create_community_target());
    ASSERT_EQ(pms_packet_coder()->decode(&in, pdu.get(), target.get(), 0), PSW_SUCCESS);
    AllocFailure::count_only();
    const Result again = pms_packet_coder()->decode(&in, pdu.get(), target.get(), 0);
    const uint64_t allocations = AllocFailure::count();
    AllocFailure::disarm();
    EXPECT_EQ(again, PSW_SUCCESS);
    EXPECT_EQ(allocations, 0u);
}

TEST(FuzzCorpus, ReplaysWithoutFault)
{
    const std::filesystem::path corpus = std::filesystem::path(PSW_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "corpus";
    ASSERT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
    size_t replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream file(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
        PmsPacketBuffer in;
        in.attach_received(bytes.data(), bytes.size());
        int32_t status = 0;
        int32_t id = 0;
        pms_packet_coder()->peek(&in, &status, &id, kPmsTranslateCommunity);
        PacketPtr packet(create_packet());
        const Result result = pms_packet_coder()->decode_packet(&in, packet.get(), kPmsTranslateCommunity);
        EXPECT_TRUE(result == PSW_SUCCESS || result == PSW_ERR_MALFORMED ||
                    result == PSW_ERR_UNSUPPORTED || result == PSW_ERR_PARAMETER)
            << entry.path() << " " << result;
        if (result == PSW_SUCCESS) {
            packet->target()->set_max_message_size(65535);
            PmsPacketBuffer out;
            const Result encoded = pms_packet_coder()->encode_packet(packet.get(), &out, nullptr);
            if (encoded == PSW_SUCCESS) {
                PacketPtr again(create_packet());
                EXPECT_EQ(pms_packet_coder()->decode_packet(&out, again.get(), 0), PSW_SUCCESS)
                    << entry.path();
            }
        }
        ++replayed;
    }
    EXPECT_GE(replayed, 4u);
}

}  // namespace
}  // namespace psw::test
