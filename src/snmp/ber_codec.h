// The BER encoder and decoder behind the codec factory "TransStream". Internal to the codec.
#pragma once

#include "snmp/pms_packet_coder.h"
#include "snmp/pms_value.h"

namespace psw {

IPmsEncoder* pms_new_ber_encoder(Result* result) noexcept;
IPmsEncoder* pms_make_ber_encoder(PmsCoderStorage* storage) noexcept;
IPmsDecoder* pms_new_ber_decoder(Result* result) noexcept;
IPmsDecoder* pms_make_ber_decoder(PmsCoderStorage* storage) noexcept;

}  // namespace psw
