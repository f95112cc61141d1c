#include "query/plugin_usm.h"

#include <cstring>
#include <new>

#include "core/factory.h"

namespace psw {

namespace {

// Copies a record text field that the caller may have filled to the last byte without a
// terminator: at most field size minus one bytes are taken, and the member is zero-filled
// first.
template <size_t N, size_t M>
void copy_text(char (&member)[N], const char (&field)[M]) noexcept
{
    static_assert(N >= M, "member must hold the whole field");
    std::memset(member, 0, N);
    const size_t length = strnlen(field, M - 1);
    std::memcpy(member, field, length);
}

template <size_t N>
void set_text(char (&member)[N], const char* text) noexcept
{
    std::memset(member, 0, N);
    std::strncpy(member, text, N - 1);
}

bool in_range(int32_t value, int32_t highest = 2) noexcept
{
    return value >= 0 && value <= highest;
}

class PSWPluginUSM final : public IPSWPluginUSM {
public:
    PSWPluginUSM() noexcept { reset(); }

    void set_settings(int32_t security_mode, const PSWUSMSettings& settings) noexcept override
    {
        reset();
        if (in_range(security_mode)) {
            m_security_mode = security_mode;
        }
        if (settings.user_name[0] != '\0') {
            copy_text(m_user_name, settings.user_name);
        }
        if (in_range(settings.security_level)) {
            m_security_level = settings.security_level;
        }
        if (in_range(settings.auth_protocol, PSW_USM_AUTH_PROTOCOL_MAX)) {
            m_auth_protocol = settings.auth_protocol;
        }
        if (in_range(settings.priv_protocol, PSW_USM_PRIV_PROTOCOL_MAX)) {
            m_priv_protocol = settings.priv_protocol;
        }
        if (settings.auth_pass_phrase[0] != '\0') {
            copy_text(m_auth_pass_phrase, settings.auth_pass_phrase);
        }
        if (settings.priv_pass_phrase[0] != '\0') {
            copy_text(m_priv_pass_phrase, settings.priv_pass_phrase);
        }
        if (settings.context_name[0] != '\0') {
            copy_text(m_context_name, settings.context_name);
        }
    }

    void release() noexcept override { delete this; }
    int32_t security_mode() const noexcept override { return m_security_mode; }
    const char* user_name() const noexcept override { return m_user_name; }
    int32_t security_level() const noexcept override { return m_security_level; }
    int32_t auth_protocol() const noexcept override { return m_auth_protocol; }
    int32_t priv_protocol() const noexcept override { return m_priv_protocol; }
    const char* auth_pass_phrase() const noexcept override { return m_auth_pass_phrase; }
    const char* priv_pass_phrase() const noexcept override { return m_priv_pass_phrase; }
    const char* context_name() const noexcept override { return m_context_name; }

private:
    void reset() noexcept
    {
        m_security_mode = kUsmDefaultSecurityMode;
        set_text(m_user_name, kUsmDefaultUserName);
        m_security_level = kUsmDefaultSecurityLevel;
        m_auth_protocol = kUsmDefaultAuthProtocol;
        m_priv_protocol = kUsmDefaultPrivProtocol;
        set_text(m_auth_pass_phrase, kUsmDefaultAuthPassPhrase);
        set_text(m_priv_pass_phrase, kUsmDefaultPrivPassPhrase);
        std::memset(m_context_name, 0, sizeof m_context_name);
    }

    int32_t m_security_mode;
    char m_user_name[64];
    int32_t m_security_level;
    int32_t m_auth_protocol;
    int32_t m_priv_protocol;
    char m_auth_pass_phrase[64];
    char m_priv_pass_phrase[64];
    char m_context_name[512];
};

}  // namespace

IPSWPluginUSM* pmc_create_plugin_usm(Result* result) noexcept
{
    return pmc_made(pmc_new<PSWPluginUSM>(), result);
}

}  // namespace psw
