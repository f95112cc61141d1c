// The SNMP instances of the owning object list: packets and PDUs.
#pragma once

#include "core/pms_object_list.h"

namespace psw {

class IPmsSnmpPacket;
class IPmsPdu;

using IPmsSnmpPacketList = IPmsObjectList<IPmsSnmpPacket>;
using PmsPduList = IPmsObjectList<IPmsPdu>;

// New empty lists, owned by the caller (destroy() or release()); null with PSW_ERR_NO_MEMORY in
// *result.
IPmsSnmpPacketList* create_packet_list(Result* result = nullptr) noexcept;
// the caller owns the result and releases it with release()
PmsPduList* create_pdu_list(Result* result = nullptr) noexcept;

}  // namespace psw
