#include "snmp/pms_lists.h"

#include "snmp/pms_packet.h"
#include "snmp/pms_pdu.h"

namespace psw {

IPmsSnmpPacketList* create_packet_list(Result* result) noexcept
{
    return create_object_list<IPmsSnmpPacket>(result);
}

PmsPduList* create_pdu_list(Result* result) noexcept
{
    return create_object_list<IPmsPdu>(result);
}

}  // namespace psw
