// The request-session interface: what the dispatcher, the library's own SNMPv1/SNMPv2c session
// and the SNMPv3 session all offer. One session serves one request at a time.
#pragma once

#include "core/result.h"
#include "snmp/pms_lists.h"
#include "snmp/pms_packet.h"
#include "snmp/pms_pdu.h"
#include "snmp/snmp_target.h"

namespace psw {

class IPmsRequestSession {
public:
    virtual void release() noexcept = 0;
    // Sends `pdu` to `target` and decodes the reply into `pdu`. Neither is taken.
    // borrowed: `pdu` and `target` stay the caller's; `pdu` is filled in place
    virtual Result send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept = 0;
    // The same with the packet's PDU and target, which stay in the packet.
    // borrowed: `packet` stays the caller's
    virtual Result send_sync(IPmsSnmpPacket* packet) noexcept = 0;
    // `*list` receives a new list the caller releases; left untouched on failure
    virtual Result send_broad_cast_sync(IPmsSnmpPacket* packet,
                                        IPmsSnmpPacketList** list) noexcept = 0;
    // Sends `pdu` to the target's broadcast or multicast address and collects one reply per
    // answering address. `*list` (owned by the caller) is written only on success.
    // `*list` receives a new list the caller releases; `pdu`, `target` stay the caller's
    virtual Result send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                        IPmsSnmpPacketList** list) noexcept = 0;
    virtual ~IPmsRequestSession() = default;
};

}  // namespace psw
