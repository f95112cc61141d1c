// The community target (kind 0) of SNMPv1 and SNMPv2c requests.
#include <cstring>

#include "core/factory.h"
#include "core/pmc_string.h"
#include "session/target_base.h"

namespace psw {

namespace {

class CPmsCommunityTarget final : public CPmsTargetBase, public IPmsCommunityTarget {
public:
    Result accept(IPmsTargetVisitor* visitor) noexcept override
    {
        return visitor != nullptr ? visitor->visit_community(this) : PSW_ERR_PARAMETER;
    }

    void release() noexcept override { delete this; }

    IPmsSnmpTarget* clone(Result* result) const noexcept override
    {
        OwnedPtr<CPmsCommunityTarget> copy(pmc_new<CPmsCommunityTarget>());
        if (!copy) {
            set_result(result, PSW_ERR_NO_MEMORY);
            return nullptr;
        }
        const Result copied = copy->copy_from(this);
        set_result(result, copied);
        return copied == PSW_SUCCESS ? copy.release() : nullptr;
    }

    Result copy_from(const IPmsSnmpTarget* other) noexcept override
    {
        if (other == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const Result result = copy_common(*other);
        if (result != PSW_SUCCESS) {
            return result;
        }
        auto* community = pms_community_of(const_cast<IPmsSnmpTarget*>(other));
        if (community == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        return community == this ? PSW_SUCCESS : set_community(community->community());
    }

    bool equals(const IPmsSnmpTarget* other) const noexcept override
    {
        auto* community = pms_community_of(const_cast<IPmsSnmpTarget*>(other));
        if (community == nullptr) {
            return false;
        }
        const char* theirs = community->community();
        if (!m_has_community || theirs == nullptr) {
            return !m_has_community && theirs == nullptr;
        }
        return m_community.equals(theirs);
    }

    int32_t kind() const noexcept override { return kPmsCommunityTarget; }

    void* query(uint32_t number) noexcept override
    {
        switch (number) {
            case kPmsTargetPrimary:
            case kPmsTargetCommon: return static_cast<IPmsSnmpTarget*>(this);
            case kPmsTargetCommunity:
            case kPmsTargetCommunityAgain: return static_cast<IPmsCommunityTarget*>(this);
            default: return nullptr;
        }
    }

    Result set_community(const char* community) noexcept override
    {
        if (community == nullptr) {
            m_community.clear();
            m_has_community = false;
            return PSW_SUCCESS;
        }
        return set_community_bytes(community, std::strlen(community));
    }

    Result set_community_bytes(const char* bytes, size_t length) noexcept override
    {
        if (bytes == nullptr) {
            length = 0;
        }
        if (m_has_community && length == m_community.length() &&
            (length == 0 || std::memcmp(m_community.c_str(), bytes, length) == 0)) {
            return PSW_SUCCESS;  // a reply names the community of its request: nothing changes
        }
        m_community.assign(bytes, length);
        if (m_community.length() != length) {
            // The string empties itself when it cannot allocate.
            m_has_community = false;
            return PSW_ERR_NO_MEMORY;
        }
        m_has_community = true;
        return PSW_SUCCESS;
    }

    const char* community() const noexcept override
    {
        return m_has_community ? m_community.c_str() : nullptr;
    }

private:
    CPmcString m_community;
    bool m_has_community = false;
};

}  // namespace

IPmsSnmpTarget* create_community_target(Result* result) noexcept
{
    IPmsSnmpTarget* target = pmc_new<CPmsCommunityTarget>();
    set_result(result, target != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return target;
}

}  // namespace psw
