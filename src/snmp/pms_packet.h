// A packet: a PDU and the target it goes to or came from, both owned, both possibly absent.
#pragma once

#include "core/result.h"
#include "snmp/snmp_target.h"
#include "snmp/pms_pdu.h"

namespace psw {

class IPmsSnmpPacket {
public:
    virtual void release() noexcept = 0;
    virtual IPmsSnmpPacket* clone(Result* result = nullptr) const noexcept = 0;
    virtual bool equals(const IPmsSnmpPacket* other) const noexcept = 0;
    virtual void set_target(IPmsSnmpTarget* target) noexcept = 0;
    virtual void set_pdu(IPmsPdu* pdu) noexcept = 0;
    virtual IPmsSnmpTarget* detach_target() noexcept = 0;
    virtual IPmsPdu* detach_pdu() noexcept = 0;
    virtual IPmsSnmpTarget* target() const noexcept = 0;
    virtual IPmsPdu* pdu() const noexcept = 0;

protected:
    virtual ~IPmsSnmpPacket() = default;
};

IPmsSnmpPacket* create_packet(Result* result = nullptr) noexcept;

}  // namespace psw
