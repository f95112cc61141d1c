#include "net/network_address.h"

#include <cstring>

#include "core/factory.h"
#include "net/address_services.h"
#include "net/socket_platform.h"

namespace psw {

namespace {

using EProtocol = IPmcNetworkAddress::EProtocol;

// A new byte string holding `text` with A-F lower-cased; null with the failure code.
PmsOctets* lower_cased_copy(const char* text, Result& result) noexcept
{
    OwnedPtr<PmsOctets> octets(create_octets(&result));
    if (!octets) {
        return nullptr;
    }
    result = octets->assign(text);
    if (result != PSW_SUCCESS) {
        return nullptr;
    }
    // The copy is ours: lower-case it in place.
    auto* bytes = const_cast<uint8_t*>(octets->data());
    for (size_t i = 0; i < octets->length(); ++i) {
        if (bytes[i] >= 'A' && bytes[i] <= 'F') {
            bytes[i] = static_cast<uint8_t>(bytes[i] - 'A' + 'a');
        }
    }
    return octets.release();
}

// True when `stored` already holds `text` with A-F lower-cased, so that setting it again
// changes nothing (a reused address object keeps its text without a new copy).
bool holds_lower_cased(const PmsOctets* stored, const char* text) noexcept
{
    if (stored == nullptr) {
        return false;
    }
    const uint8_t* bytes = stored->data();
    const size_t length = stored->length();
    size_t i = 0;
    for (; i < length && text[i] != '\0'; ++i) {
        auto letter = static_cast<uint8_t>(text[i]);
        if (letter >= 'A' && letter <= 'F') {
            letter = static_cast<uint8_t>(letter - 'A' + 'a');
        }
        if (letter != bytes[i]) {
            return false;
        }
    }
    return i == length && text[i] == '\0';
}

class CPmcNetworkAddress final : public IPmcNetworkAddress {
public:
    void release() noexcept override { delete this; }

    Result set_address(const char* text) noexcept override
    {
        if (text == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        Result result = PSW_SUCCESS;
        OwnedPtr<PmsOctets> stored(lower_cased_copy(text, result));
        if (!stored) {
            return result;
        }
        EProtocol found = kUnspecified;
        result = psw::protocol_of(text, &found);
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (m_protocol != kUnspecified && m_protocol != found) {
            return PSW_ERR_PARAMETER;
        }
        m_protocol = found;
        m_text.reset(stored.release());
        return PSW_SUCCESS;
    }

    Result set(const char* text, EProtocol protocol, uint16_t port) noexcept override
    {
        if (text == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (!holds_lower_cased(m_text.get(), text)) {
            Result result = PSW_SUCCESS;
            PmsOctets* stored = lower_cased_copy(text, result);
            if (stored == nullptr) {
                return result;
            }
            m_text.reset(stored);
        }
        if (protocol != kUnspecified) {
            m_protocol = protocol;
        }
        if (port != 0) {
            m_port = port;
        }
        return PSW_SUCCESS;
    }

    PmsOctets* text_object() const noexcept override { return m_text.get(); }

    Result get(PmsOctets** text, EProtocol* protocol, uint16_t* port) const noexcept override
    {
        if (text == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        Result result = PSW_SUCCESS;
        OwnedPtr<PmsOctets> copy(create_octets(&result));
        if (!copy) {
            return result;
        }
        if (m_text) {
            result = copy->assign(m_text->data(), m_text->length());
            if (result != PSW_SUCCESS) {
                return result;
            }
        }
        *text = copy.release();
        if (protocol != nullptr) {
            *protocol = m_protocol;
        }
        if (port != nullptr) {
            *port = m_port;
        }
        return PSW_SUCCESS;
    }

    Result set_protocol(EProtocol protocol) noexcept override
    {
        return store_setting(m_protocol, protocol);
    }

    Result set_port(uint16_t port) noexcept override { return store_setting(m_port, port); }

    EProtocol protocol() const noexcept override { return m_protocol; }
    uint16_t port() const noexcept override { return m_port; }

    bool equals(const IPmcNetworkAddress* other) const noexcept override
    {
        if (other == nullptr) {
            return false;
        }
        bool same = false;
        if (same_address(text(), other->text(), &same) != PSW_SUCCESS || !same) {
            return false;
        }
        return m_protocol == other->protocol() && (other->port() == 0 || other->port() == m_port);
    }

    Result clone(IPmcNetworkAddress** out) const noexcept override
    {
        if (out == nullptr || text() == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        OwnedPtr<CPmcNetworkAddress> copy(pmc_new<CPmcNetworkAddress>());
        if (!copy || copy->set(text(), m_protocol, m_port) != PSW_SUCCESS) {
            return PSW_ERR_PARAMETER;
        }
        *out = copy.release();
        return PSW_SUCCESS;
    }

    bool is_valid() const noexcept override
    {
        bool valid = false;
        return is_address(text(), &valid) == PSW_SUCCESS && valid;
    }

    Result canonicalise() noexcept override
    {
        Result result = PSW_SUCCESS;
        OwnedPtr<PmsOctets> canonical(create_octets(&result));
        if (!canonical) {
            return result;
        }
        result = parse_address(text(), canonical.get());
        if (result == PSW_SUCCESS) {
            m_text.reset(canonical.release());
        }
        return result;
    }

    const char* text() const noexcept override
    {
        return m_text && m_text->length() != 0 ? m_text->c_str() : nullptr;
    }

private:
    OwnedPtr<PmsOctets> m_text;
    EProtocol m_protocol = kUnspecified;
    uint16_t m_port = 0;
};

}  // namespace

IPmcNetworkAddress::EProtocol pmc_protocol_of_family(int family) noexcept
{
    switch (family) {
        case kPmcFamilyInet: return IPmcNetworkAddress::kUdpIpv4;
        case kPmcFamilyIpx: return IPmcNetworkAddress::kIpx;
        case kPmcFamilyInet6: return IPmcNetworkAddress::kUdpIpv6;
        default: return IPmcNetworkAddress::kUnspecified;
    }
}

int pmc_family_of_protocol(IPmcNetworkAddress::EProtocol protocol) noexcept
{
    switch (protocol) {
        case IPmcNetworkAddress::kUnspecified: return AF_UNSPEC;
        case IPmcNetworkAddress::kUdpIpv4: return kPmcFamilyInet;
        case IPmcNetworkAddress::kIpx: return kPmcFamilyIpx;
        case IPmcNetworkAddress::kUdpIpv6: return kPmcFamilyInet6;
        default: return -1;
    }
}

IPmcNetworkAddress* create_address(const char* text, uint16_t port, Result* result) noexcept
{
    EProtocol protocol = IPmcNetworkAddress::kUnspecified;
    Result found = protocol_of(text, &protocol);
    if (found != PSW_SUCCESS) {
        set_result(result, found);
        return nullptr;
    }
    OwnedPtr<CPmcNetworkAddress> address(pmc_new<CPmcNetworkAddress>());
    if (!address) {
        set_result(result, PSW_ERR_NO_MEMORY);
        return nullptr;
    }
    found = address->set(text, protocol, port);
    if (found != PSW_SUCCESS) {
        set_result(result, found);
        return nullptr;
    }
    set_result(result, PSW_SUCCESS);
    return address.release();
}

IPmcNetworkAddress* create_empty_address(Result* result) noexcept
{
    IPmcNetworkAddress* address = pmc_new<CPmcNetworkAddress>();
    set_result(result, address != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return address;
}

Result pmc_new_address_like(const char* text, const IPmcNetworkAddress& like,
                            IPmcNetworkAddress** out) noexcept
{
    Result result = PSW_SUCCESS;
    OwnedPtr<IPmcNetworkAddress> made(create_empty_address(&result));
    if (!made) {
        return result;
    }
    result = made->set(text, like.protocol(), like.port());
    if (result == PSW_SUCCESS) {
        *out = made.release();
    }
    return result;
}

}  // namespace psw
