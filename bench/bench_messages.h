// The two benchmark messages, byte for byte the same for the library and for libsnmp.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/factory.h"
#include "snmp/pms_packet_coder.h"

namespace {

const char kGet[] =
    "3081c702010004067075626c6963a081b90204123456780201000201003081aa300f060b2b060102012b0802"
    "0102010500300f060b2b060102012b08020103010500300f060b2b060102012b08020104010500300f060b2b"
    "060102012b08020105010500300f060b2b060102012b08020106010500300f060b2b060102012b0802010701"
    "0500300f060b2b060102012b08020108010500300f060b2b060102012b08020109010500300f060b2b060102"
    "012b0802010a010500300f060b2b060102012b0802010b010500";
const char kResponse[] =
    "3082011302010004067075626c6963a28201040204123456780201000201003081f53010060b2b060102012b08"
    "0201020102012a302f060b2b060102012b080201030104204142434445464748494a4b4c4d4e4f50515253545556"
    "5758595a303132333435301a060b2b060102012b0802010401060b2b060104018f650a0103013012060b2b0601"
    "02012b0802010501410301e2403012060b2b060102012b080201060143030f12063014060b2b060102012b0802"
    "010701420500ee6b28003010060b2b060102012b08020108010201fb3015060b2b060102012b08020109010406"
    "5472617920313013060b2b060102012b0802010a0140040a0102033018060b2b060102012b0802010b0106092b"
    "0601020119030105";

// The Response with its ten names ending in .2 instead of .1 (as hexadecimal text): decoded in
// turn with the Response, no decode finds the names it already holds.
inline std::string other_response()
{
    std::string other = kResponse;
    for (int column = 2; column <= 11; ++column) {
        char from[16];
        char to[16];
        std::snprintf(from, sizeof(from), "2b080201%02x01", column);
        std::snprintf(to, sizeof(to), "2b080201%02x02", column);
        other.replace(other.find(from), std::strlen(from), to);
    }
    return other;
}

inline std::vector<uint8_t> from_hex(const char* hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoul(std::string(hex + i, 2), nullptr, 16)));
    }
    return bytes;
}

// The request kGet encodes: a GetRequest for ten columns of the first input tray.
// The Response and the one with other names, received into two buffers to decode in turn.
struct AlternatingResponses {
    AlternatingResponses()
    {
        buffers[0].attach_received(first.data(), first.size());
        buffers[1].attach_received(second.data(), second.size());
    }
    AlternatingResponses(const AlternatingResponses&) = delete;
    AlternatingResponses& operator=(const AlternatingResponses&) = delete;

    std::vector<uint8_t> first = from_hex(kResponse);
    std::vector<uint8_t> second = from_hex(other_response().c_str());
    psw::PmsPacketBuffer buffers[2];
};

inline psw::OwnedPtr<psw::IPmsPdu> make_get_request()
{
    using namespace psw;
    OwnedPtr<IPmsPdu> pdu(create_pdu());
    pdu->set_type(kPmsGetRequest);
    pdu->set_request_id(0x12345678);
    for (int column = 2; column <= 11; ++column) {
        const std::string name = "1.3.6.1.2.1.43.8.2.1." + std::to_string(column) + ".1";
        pdu->add(create_oid_from_text(name.c_str()), nullptr);
    }
    return pdu;
}

// The target kGet is encoded for: version 1, community "public".
inline psw::OwnedPtr<psw::IPmsSnmpTarget> make_get_target()
{
    using namespace psw;
    OwnedPtr<IPmsSnmpTarget> target(create_community_target());
    target->set_version(0);
    target->set_max_message_size(1472);
    pms_community_of(target.get())->set_community("public");
    return target;
}

}  // namespace
