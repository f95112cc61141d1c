// The BER encoder and decoder behind the codec factory "TransStream". Internal to the codec.
#pragma once

#include "snmp/pms_packet_coder.h"
#include "snmp/pms_value.h"

namespace psw {

// the caller owns the result and releases it with release()
IPmsEncoder* pms_new_ber_encoder(Result* result) noexcept;
// built in borrowed `storage` (must outlive it); release() only ends its life
IPmsEncoder* pms_make_ber_encoder(PmsCoderStorage* storage) noexcept;
// the caller owns the result and releases it with release()
IPmsDecoder* pms_new_ber_decoder(Result* result) noexcept;
// built in borrowed `storage` (must outlive it); release() only ends its life
IPmsDecoder* pms_make_ber_decoder(PmsCoderStorage* storage) noexcept;

}  // namespace psw
