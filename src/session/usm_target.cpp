// The user-based security target (kind 1) of SNMPv3 requests.
#include <cstring>

#include "core/factory.h"
#include "core/pmc_string.h"
#include "session/target_base.h"

namespace psw {

namespace {

// Copies `text` (null: "") into `into`; PSW_ERR_NO_MEMORY when the string could not hold it.
Result assign_text(CPmcString& into, const char* text) noexcept
{
    if (text == nullptr) {
        text = "";
    }
    const size_t length = std::strlen(text);
    into.assign(text, length);
    return into.length() == length ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
}

class CPmsUsmTarget final : public CPmsTargetBase, public IPmsUsmTarget {
public:
    Result accept(IPmsTargetVisitor* visitor) noexcept override
    {
        return visitor != nullptr ? visitor->visit_usm(this) : PSW_ERR_PARAMETER;
    }

    void release() noexcept override { delete this; }

    IPmsSnmpTarget* clone(Result* result) const noexcept override
    {
        OwnedPtr<CPmsUsmTarget> copy(pmc_new<CPmsUsmTarget>());
        if (!copy) {
            set_result(result, PSW_ERR_NO_MEMORY);
            return nullptr;
        }
        const Result copied = copy->copy_from(this);
        set_result(result, copied);
        return copied == PSW_SUCCESS ? static_cast<IPmsSnmpTarget*>(copy.release()) : nullptr;
    }

    Result copy_from(const IPmsSnmpTarget* other) noexcept override
    {
        if (other == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        Result result = copy_common(*other);
        if (result != PSW_SUCCESS) {
            return result;
        }
        const IPmsUsmTarget* usm = pms_usm_of(const_cast<IPmsSnmpTarget*>(other));
        if (usm == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (usm == this) {
            return PSW_SUCCESS;
        }
        size_t engine_length = 0;
        const uint8_t* engine = usm->engine_id(&engine_length);
        const Result steps[] = {
            set_security_name(usm->security_name()),
            set_security_level(usm->security_level()),
            set_auth_protocol(usm->auth_protocol()),
            set_priv_protocol(usm->priv_protocol()),
            set_auth_pass_phrase(usm->auth_pass_phrase()),
            set_priv_pass_phrase(usm->priv_pass_phrase()),
            set_context_name(usm->context_name()),
            set_engine_id(engine, engine_length),
        };
        for (const Result step : steps) {
            if (step != PSW_SUCCESS) {
                return step;
            }
        }
        return PSW_SUCCESS;
    }

    bool equals(const IPmsSnmpTarget* other) const noexcept override
    {
        const IPmsUsmTarget* usm = pms_usm_of(const_cast<IPmsSnmpTarget*>(other));
        if (usm == nullptr) {
            return false;
        }
        return m_security_name.equals(usm->security_name()) &&
               m_security_level == usm->security_level() &&
               m_auth_protocol == usm->auth_protocol() && m_priv_protocol == usm->priv_protocol() &&
               m_auth_pass_phrase.equals(usm->auth_pass_phrase()) &&
               m_priv_pass_phrase.equals(usm->priv_pass_phrase()) &&
               m_context_name.equals(usm->context_name());
    }

    int32_t kind() const noexcept override { return kPmsUsmTarget; }

    void* query(uint32_t number) noexcept override
    {
        switch (number) {
            case kPmsTargetPrimary:
            case kPmsTargetCommon: return static_cast<IPmsSnmpTarget*>(this);
            case kPmsTargetUsm:
            case kPmsTargetUsmAgain: return static_cast<IPmsUsmTarget*>(this);
            default: return nullptr;
        }
    }

    const char* security_name() const noexcept override { return m_security_name.c_str(); }
    int32_t security_level() const noexcept override { return m_security_level; }
    int32_t auth_protocol() const noexcept override { return m_auth_protocol; }
    int32_t priv_protocol() const noexcept override { return m_priv_protocol; }
    const char* auth_pass_phrase() const noexcept override { return m_auth_pass_phrase.c_str(); }
    const char* priv_pass_phrase() const noexcept override { return m_priv_pass_phrase.c_str(); }
    const char* context_name() const noexcept override { return m_context_name.c_str(); }
    const uint8_t* engine_id(size_t* length) const noexcept override
    {
        if (length != nullptr) {
            *length = static_cast<size_t>(m_engine_id.length());
        }
        return reinterpret_cast<const uint8_t*>(m_engine_id.c_str());
    }

    Result set_security_name(const char* name) noexcept override
    {
        if (name != nullptr && std::strlen(name) > static_cast<size_t>(kMaxSecurityName)) {
            return PSW_ERR_PARAMETER;
        }
        return assign_text(m_security_name, name);
    }
    Result set_security_level(int32_t level) noexcept override
    {
        return store_setting(m_security_level, level);
    }
    Result set_auth_protocol(int32_t protocol) noexcept override
    {
        return store_setting(m_auth_protocol, protocol);
    }
    Result set_priv_protocol(int32_t protocol) noexcept override
    {
        return store_setting(m_priv_protocol, protocol);
    }
    Result set_auth_pass_phrase(const char* phrase) noexcept override
    {
        return assign_text(m_auth_pass_phrase, phrase);
    }
    Result set_priv_pass_phrase(const char* phrase) noexcept override
    {
        return assign_text(m_priv_pass_phrase, phrase);
    }
    Result set_context_name(const char* name) noexcept override
    {
        return assign_text(m_context_name, name);
    }
    Result set_engine_id(const uint8_t* bytes, size_t length) noexcept override
    {
        if (bytes == nullptr || length == 0) {
            m_engine_id.clear();
            return PSW_SUCCESS;
        }
        m_engine_id.assign(reinterpret_cast<const char*>(bytes), length);
        return m_engine_id.length() == length ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    }

private:
    CPmcString m_security_name;
    int32_t m_security_level = 0;
    int32_t m_auth_protocol = 0;
    int32_t m_priv_protocol = 0;
    CPmcString m_auth_pass_phrase;
    CPmcString m_priv_pass_phrase;
    CPmcString m_context_name;
    CPmcString m_engine_id;
};

}  // namespace

IPmsSnmpTarget* create_usm_target(Result* result) noexcept
{
    IPmsSnmpTarget* target = pmc_new<CPmsUsmTarget>();
    set_result(result, target != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return target;
}

}  // namespace psw
