// The SNMPv3 user settings of a library handle: a built-in user that every request falls back
// on, merged with what the caller passes to the Ex calls.
#pragma once

#include <cstdint>

#include "core/result.h"
#include "psw/psw_records.h"

namespace psw {

class IPSWPluginUSM {
public:
    // Starts from the built-in values and merges the record over them.
    virtual void set_settings(int32_t security_mode, const PSWUSMSettings& settings) noexcept = 0;
    virtual void release() noexcept = 0;
    virtual int32_t security_mode() const noexcept = 0;
    // The texts are owned by the object; the pointers stay valid until its end, and a later
    // set_settings changes what they show.
    // not a transfer: owned by the object (every text getter here)
    virtual const char* user_name() const noexcept = 0;
    virtual int32_t security_level() const noexcept = 0;
    virtual int32_t auth_protocol() const noexcept = 0;
    virtual int32_t priv_protocol() const noexcept = 0;
    // not a transfer: owned by the object
    virtual const char* auth_pass_phrase() const noexcept = 0;
    // not a transfer: owned by the object
    virtual const char* priv_pass_phrase() const noexcept = 0;
    // not a transfer: owned by the object
    virtual const char* context_name() const noexcept = 0;

protected:
    virtual ~IPSWPluginUSM() = default;
};

// A settings object with the built-in values; null (with PSW_ERR_NO_MEMORY) when memory runs out.
// the caller owns the result and releases it with release()
IPSWPluginUSM* pmc_create_plugin_usm(Result* result) noexcept;

// The built-in values.
inline constexpr int32_t kUsmDefaultSecurityMode = -1;
inline constexpr char kUsmDefaultUserName[] = "Kolvaner";
inline constexpr int32_t kUsmDefaultSecurityLevel = 2;
inline constexpr int32_t kUsmDefaultAuthProtocol = 1;
inline constexpr int32_t kUsmDefaultPrivProtocol = 1;
inline constexpr char kUsmDefaultAuthPassPhrase[] = "8rofEnIWAguN53odes4y";
inline constexpr char kUsmDefaultPrivPassPhrase[] = "KELPO48vinRaqusta7ne";

}  // namespace psw
