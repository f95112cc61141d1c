// A network endpoint as the library passes it around: address text, protocol and port.
//
// Texts are stored with their letters A-F lower-cased, so hexadecimal forms compare without
// regard to case. Whether two texts name the same address is decided by the address services
// after canonicalisation (address_services.h), never by the stored text alone.
#pragma once

#include <cstdint>

#include "core/pms_octets.h"
#include "core/result.h"

namespace psw {

class IPmcNetworkAddress {
public:
    // The values cross the exported interface.
    enum EProtocol : int32_t {
        kUnspecified = 0,
        kUdpIpv4 = 1,
        kIpx = 2,
        kNoAddressFamily = 3,  // a protocol without an address family; nothing here accepts it
        kUdpIpv6 = 4,
    };

    virtual void release() noexcept = 0;
    // Takes the text after checking it: PSW_ERR_PARAMETER for null or for a text of another
    // protocol than the address already has; the services' code when the text is no address. Port
    // stays.
    // borrowed: `text` is copied
    virtual Result set_address(const char* text) noexcept = 0;
    // Takes the text unchecked; protocol 0 and port 0 keep the current values.
    // borrowed: `text` is copied
    virtual Result set(const char* text, EProtocol protocol, uint16_t port) noexcept = 0;
    // The text, still owned by the address; null while the address has none.
    // not a transfer: owned by the address, valid until it next changes
    virtual PmsOctets* text_object() const noexcept = 0;
    // A new byte string with a copy of the text (owned by the caller); protocol and port where
    // their pointers are given. PSW_ERR_PARAMETER when `text` is null.
    // `*text` receives a new object the caller releases; left untouched on failure
    virtual Result get(PmsOctets** text, EProtocol* protocol, uint16_t* port) const noexcept = 0;
    virtual Result set_protocol(EProtocol protocol) noexcept = 0;
    virtual Result set_port(uint16_t port) noexcept = 0;
    virtual EProtocol protocol() const noexcept = 0;
    virtual uint16_t port() const noexcept = 0;
    // Same canonical text and protocol, and the other's port is 0 (any) or this port.
    // borrowed: `other` is only read
    virtual bool equals(const IPmcNetworkAddress* other) const noexcept = 0;
    // PSW_ERR_PARAMETER for a null out, for an address without text, and when the copy cannot be
    // made.
    // `*out` receives a new address the caller releases; left untouched on failure
    virtual Result clone(IPmcNetworkAddress** out) const noexcept = 0;
    virtual bool is_valid() const noexcept = 0;
    // Replaces the text by its canonical form; on a parse failure the text stays.
    virtual Result canonicalise() noexcept = 0;
    // Null while the text is empty.
    // not a transfer: owned by the address, valid until it next changes
    virtual const char* text() const noexcept = 0;

protected:
    ~IPmcNetworkAddress() = default;
};

// The protocol of a native address family (0 for any other family) and back (-1 for a
// protocol without a family).
IPmcNetworkAddress::EProtocol pmc_protocol_of_family(int family) noexcept;
int pmc_family_of_protocol(IPmcNetworkAddress::EProtocol protocol) noexcept;

// A new address with the protocol of `text`, that text and `port`. The services' code when
// the text is no address; PSW_ERR_NO_MEMORY when memory runs out.
// the caller owns the result and releases it with release(); `text` is copied
IPmcNetworkAddress* create_address(const char* text, uint16_t port, Result* result) noexcept;
// A new address without text, protocol 0, port 0; PSW_ERR_NO_MEMORY when memory runs out.
// the caller owns the result and releases it with release()
IPmcNetworkAddress* create_empty_address(Result* result) noexcept;
// A new address with `text` and the protocol and port of `like` into *out, written only on
// success: PSW_ERR_NO_MEMORY when memory runs out, else what set() answers.
// `*out` receives a new address the caller releases; `text` is copied, `like` only read
Result pmc_new_address_like(const char* text, const IPmcNetworkAddress& like,
                            IPmcNetworkAddress** out) noexcept;

}  // namespace psw
