#include "snmp/pms_packet.h"

#include <utility>

#include "core/factory.h"

namespace psw {

namespace {

class CPmsSnmpPacket final : public IPmsSnmpPacket {
public:
    ~CPmsSnmpPacket() override
    {
        set_target(nullptr);
        set_pdu(nullptr);
    }

    void release() noexcept override { delete this; }

    IPmsSnmpPacket* clone(Result* result) const noexcept override
    {
        OwnedPtr<IPmsSnmpPacket> copy(create_packet(result));
        if (!copy) {
            return nullptr;
        }
        if (m_target != nullptr) {
            IPmsSnmpTarget* target = m_target->clone(result);
            if (target == nullptr) {
                return nullptr;
            }
            copy->set_target(target);
        }
        if (m_pdu != nullptr) {
            IPmsPdu* pdu = m_pdu->clone(result);
            if (pdu == nullptr) {
                return nullptr;
            }
            copy->set_pdu(pdu);
        }
        set_result(result, PSW_SUCCESS);
        return copy.release();
    }

    bool equals(const IPmsSnmpPacket* other) const noexcept override
    {
        if (other == nullptr) {
            return false;
        }
        const IPmsPdu* pdu = other->pdu();
        const bool pdus_equal =
            m_pdu == nullptr || pdu == nullptr ? m_pdu == pdu : m_pdu->equals(pdu);
        if (!pdus_equal) {
            return false;
        }
        const IPmsSnmpTarget* target = other->target();
        if (m_target == nullptr || target == nullptr) {
            return m_target == target;
        }
        return m_target->equals(target);
    }

    void set_target(IPmsSnmpTarget* target) noexcept override
    {
        if (m_target != nullptr && m_target != target) {
            m_target->release();
        }
        m_target = target;
    }

    void set_pdu(IPmsPdu* pdu) noexcept override
    {
        if (m_pdu != nullptr && m_pdu != pdu) {
            m_pdu->release();
        }
        m_pdu = pdu;
    }

    IPmsSnmpTarget* detach_target() noexcept override { return std::exchange(m_target, nullptr); }

    IPmsPdu* detach_pdu() noexcept override { return std::exchange(m_pdu, nullptr); }

    IPmsSnmpTarget* target() const noexcept override { return m_target; }
    IPmsPdu* pdu() const noexcept override { return m_pdu; }

private:
    IPmsSnmpTarget* m_target = nullptr;
    IPmsPdu* m_pdu = nullptr;
};

}  // namespace

IPmsSnmpPacket* create_packet(Result* result) noexcept
{
    return pmc_made(pmc_new<CPmsSnmpPacket>(), result);
}

}  // namespace psw
