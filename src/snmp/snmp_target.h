// Targets: where and how one SNMP request is sent.
//
// A target holds the transport settings every request needs (version, time-out, retries,
// maximum message size, port, the agent's address) and the security data of its kind: a
// community for SNMPv1/SNMPv2c (kind 0) or the user-based security settings (kind 1). A packet
// owns its target; release() destroys it with its address.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"

namespace psw {

class IPmcNetworkAddress;
class IPmsCommunityTarget;
class IPmsUsmTarget;

enum PmsSnmpVersion : int32_t {
    kPmsVersionUnset = -1,
    kPmsVersion1 = 0,
    kPmsVersion2c = 1,
    kPmsVersion3 = 2,
};

enum PmsTargetKind : int32_t {
    kPmsCommunityTarget = 0,
    kPmsUsmTarget = 1,
};

// Interface numbers answered by IPmsSnmpTarget::query.
enum PmsTargetInterface : uint32_t {
    kPmsTargetPrimary = 0,
    kPmsTargetCommon = 1,
    kPmsTargetCommunity = 2,
    kPmsTargetCommunityAgain = 3,
    kPmsTargetUsm = 4,
    kPmsTargetUsmAgain = 5,
};

// Visits a target by kind (the SNMPv3 session opens its session this way).
class IPmsTargetVisitor {
public:
    // borrowed: `target` (here and in visit_usm) is valid only during the call
    virtual Result visit_community(IPmsCommunityTarget* target) noexcept = 0;
    virtual Result visit_usm(IPmsUsmTarget* target) noexcept = 0;

protected:
    ~IPmsTargetVisitor() = default;
};

class IPmsSnmpTarget {
public:
    // borrowed: `visitor` is only used during the call
    virtual Result accept(IPmsTargetVisitor* visitor) noexcept = 0;
    virtual void release() noexcept = 0;
    // Component-model slot: not supported, PSW_ERR_UNSUPPORTED.
    virtual Result unsupported() noexcept = 0;
    // A new target of the same class with every setting copied (caller owns it).
    // the caller owns the result and releases it with release()
    virtual IPmsSnmpTarget* clone(Result* result = nullptr) const noexcept = 0;
    // Copies the common settings (a clone of the address), then the kind's own settings
    // through the other's kind interface (PSW_ERR_PARAMETER when it has none).
    // borrowed: `other` is only read
    virtual Result copy_from(const IPmsSnmpTarget* other) noexcept = 0;
    // Compares the kind's security settings only.
    // borrowed: `other` is only read
    virtual bool equals(const IPmsSnmpTarget* other) const noexcept = 0;
    virtual int32_t kind() const noexcept = 0;
    // The part for a PmsTargetInterface number, or null. Not a transfer.
    // not a transfer: the part lives as long as the target
    virtual void* query(uint32_t number) noexcept = 0;
    virtual Result set_version(int32_t version) noexcept = 0;
    virtual Result set_timeout(int32_t milliseconds) noexcept = 0;
    virtual Result set_retries(int32_t retries) noexcept = 0;
    virtual Result set_max_message_size(size_t bytes) noexcept = 0;
    virtual Result set_port(uint16_t port) noexcept = 0;
    virtual int32_t version() const noexcept = 0;
    virtual int32_t timeout() const noexcept = 0;
    virtual int32_t retries() const noexcept = 0;
    virtual size_t max_message_size() const noexcept = 0;
    virtual uint16_t port() const noexcept = 0;
    // Stores a clone of `address` (the caller keeps its own); null leaves no address.
    // borrowed: `address` is cloned, never kept
    virtual Result set_address(const IPmcNetworkAddress* address) noexcept = 0;
    // The stored address, still owned by the target; null when none.
    // not a transfer: owned by the target
    virtual IPmcNetworkAddress* address() const noexcept = 0;
    virtual ~IPmsSnmpTarget() = default;
};

// The community part of a kind-0 target.
class IPmsCommunityTarget {
public:
    // Copies the text; null clears it; PSW_ERR_NO_MEMORY when out of memory.
    // borrowed: `community` is copied
    virtual Result set_community(const char* community) noexcept = 0;
    // The community, or null when none is set.
    // not a transfer: owned by the target, valid until it next changes
    virtual const char* community() const noexcept = 0;
    // Sets the community from bytes that need not be terminated (the decoder's path).
    // borrowed: `bytes` are copied
    virtual Result set_community_bytes(const char* bytes, size_t length) noexcept = 0;

protected:
    ~IPmsCommunityTarget() = default;
};

// The user-based security part of a kind-1 target (SNMPv3).
class IPmsUsmTarget {
public:
    enum : int32_t {
        kMaxSecurityName = 32,
        // Security levels.
        kNoAuthNoPriv = 0,
        kAuthNoPriv = 1,
        kAuthPriv = 2,
        // Authentication protocols: usmHMACMD5AuthProtocol, usmHMACSHA1AuthProtocol, then the
        // SHA-2 protocols usmHMAC128SHA224AuthProtocol .. usmHMAC384SHA512AuthProtocol.
        kAuthHmacMd5 = 1,
        kAuthHmacSha1 = 2,
        kAuthHmacSha224 = 3,
        kAuthHmacSha256 = 4,
        kAuthHmacSha384 = 5,
        kAuthHmacSha512 = 6,
        // Privacy protocols: usmDESPrivProtocol, usmAESPrivProtocol (AES-128), then AES-192
        // and AES-256 with the key extension Net-SNMP uses for them.
        kPrivDes = 1,
        kPrivAes = 2,
        kPrivAes192 = 3,
        kPrivAes256 = 4,
    };

    // Texts are owned by the target and never null ("" when unset).
    // not a transfer: owned by the target (every text getter below)
    virtual const char* security_name() const noexcept = 0;
    virtual int32_t security_level() const noexcept = 0;
    virtual int32_t auth_protocol() const noexcept = 0;
    virtual int32_t priv_protocol() const noexcept = 0;
    // not a transfer: owned by the target
    virtual const char* auth_pass_phrase() const noexcept = 0;
    // not a transfer: owned by the target
    virtual const char* priv_pass_phrase() const noexcept = 0;
    // not a transfer: owned by the target
    virtual const char* context_name() const noexcept = 0;
    // The engine id bytes (owned by the target) and their count; `length` may be null.
    // not a transfer: owned by the target, valid until it next changes
    virtual const uint8_t* engine_id(size_t* length) const noexcept = 0;
    // Null sets ""; a name longer than kMaxSecurityName characters gives PSW_ERR_PARAMETER and
    // keeps the old.
    // borrowed: the text setters below copy their argument
    virtual Result set_security_name(const char* name) noexcept = 0;
    virtual Result set_security_level(int32_t level) noexcept = 0;
    virtual Result set_auth_protocol(int32_t protocol) noexcept = 0;
    virtual Result set_priv_protocol(int32_t protocol) noexcept = 0;
    // Null sets ""; PSW_ERR_NO_MEMORY when out of memory.
    // borrowed: the text setters below copy their argument
    virtual Result set_auth_pass_phrase(const char* phrase) noexcept = 0;
    virtual Result set_priv_pass_phrase(const char* phrase) noexcept = 0;
    virtual Result set_context_name(const char* name) noexcept = 0;
    // Null bytes or length 0 empty it; PSW_ERR_NO_MEMORY when out of memory.
    // borrowed: `bytes` are copied
    virtual Result set_engine_id(const uint8_t* bytes, size_t length) noexcept = 0;
    // Destroys the whole target.
    virtual void release() noexcept = 0;

protected:
    ~IPmsUsmTarget() = default;
};

// A new community target (kind 0) with the initial settings: version -1, time-out -1,
// retries 0, maximum size 0, port 0, no address, no community.
// the caller owns the result and releases it with release()
IPmsSnmpTarget* create_community_target(Result* result = nullptr) noexcept;

// A new USM target (kind 1) with the common initial settings, empty texts, level and
// protocols 0 and an empty engine id.
// the caller owns the result and releases it with release()
IPmsSnmpTarget* create_usm_target(Result* result = nullptr) noexcept;

// The community part of a target, or null when it is of another kind.
// not a transfer: a part of `target`, valid while it lives
inline IPmsCommunityTarget* pms_community_of(IPmsSnmpTarget* target) noexcept
{
    return target != nullptr ? static_cast<IPmsCommunityTarget*>(target->query(kPmsTargetCommunity))
                             : nullptr;
}

// The USM part of a target, or null when it is of another kind.
// not a transfer: a part of `target`; its release() destroys the whole target
inline IPmsUsmTarget* pms_usm_of(IPmsSnmpTarget* target) noexcept
{
    return target != nullptr ? static_cast<IPmsUsmTarget*>(target->query(kPmsTargetUsm)) : nullptr;
}

// Address hooks of the common target settings, in target_address.cpp.
// the caller owns the result (pms_release_target_address()); `address` only read
IPmcNetworkAddress* pms_clone_target_address(const IPmcNetworkAddress* address,
                                             Result* result) noexcept;
// takes ownership of `address` and releases it; null is ignored
void pms_release_target_address(IPmcNetworkAddress* address) noexcept;

}  // namespace psw
