// Decodes arbitrary datagrams, full and header-only, and re-encodes whatever decodes.
#include <cstddef>
#include <cstdint>

#include "core/factory.h"
#include "snmp/pms_packet_coder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace psw;
    PmsPacketCoder* coder = pms_packet_coder();
    PmsPacketBuffer input;
    input.attach_received(data, size);

    int32_t status = 0;
    int32_t id = 0;
    coder->peek(&input, &status, &id, kPmsTranslateCommunity);

    OwnedPtr<IPmsSnmpPacket> packet(create_packet());
    if (!packet) {
        return 0;
    }
    if (coder->decode_packet(&input, packet.get(), kPmsTranslateCommunity) != PSW_SUCCESS) {
        return 0;
    }
    packet->target()->set_max_message_size(65535);
    PmsPacketBuffer output;
    uint32_t count = 0;
    if (coder->encode_packet(packet.get(), &output, &count) == PSW_SUCCESS) {
        // What we wrote must read back.
        OwnedPtr<IPmsSnmpPacket> again(create_packet());
        if (again && coder->decode_packet(&output, again.get(), kPmsTranslateCommunity) != PSW_SUCCESS) {
            __builtin_trap();
        }
    }
    return 0;
}
