// A packet: a PDU and the target it goes to or came from, both owned, both possibly absent.
#pragma once

#include "core/result.h"
#include "snmp/pms_pdu.h"
#include "snmp/snmp_target.h"

namespace psw {

class IPmsSnmpPacket {
public:
    virtual void release() noexcept = 0;
    // the caller owns the result (a deep copy) and releases it with release()
    virtual IPmsSnmpPacket* clone(Result* result = nullptr) const noexcept = 0;
    // borrowed: `other` is only read
    virtual bool equals(const IPmsSnmpPacket* other) const noexcept = 0;
    // takes ownership of `target`; the previous target is released
    virtual void set_target(IPmsSnmpTarget* target) noexcept = 0;
    // takes ownership of `pdu`; the previous PDU is released
    virtual void set_pdu(IPmsPdu* pdu) noexcept = 0;
    // the caller owns the result (release()); the packet keeps none
    virtual IPmsSnmpTarget* detach_target() noexcept = 0;
    // the caller owns the result (release()); the packet keeps none
    virtual IPmsPdu* detach_pdu() noexcept = 0;
    // not a transfer: owned by the packet
    virtual IPmsSnmpTarget* target() const noexcept = 0;
    // not a transfer: owned by the packet
    virtual IPmsPdu* pdu() const noexcept = 0;

protected:
    virtual ~IPmsSnmpPacket() = default;
};

// the caller owns the result and releases it with release()
IPmsSnmpPacket* create_packet(Result* result = nullptr) noexcept;

}  // namespace psw
