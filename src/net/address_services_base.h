// What both address services implementations share: the socket binding they use, the scoped
// start-up of the socket library, and the adapter questions.
#pragma once

#include "core/factory.h"
#include "net/adapter_services.h"
#include "net/address_services.h"
#include "net/local_agent.h"
#include "net/socket_api.h"
#include "net/transport_availability.h"

namespace psw {

// Starts the socket library for one operation and cleans it up when the operation ends.
class CPmcSocketLibraryUse {
public:
    enum class Version { k11, k22 };

    CPmcSocketLibraryUse(CPmcSocketLibrary& library, Version version) noexcept
        : m_library(library),
          m_result(version == Version::k22 ? library.startup_v2_2() : library.startup_v1_1())
    {
    }
    ~CPmcSocketLibraryUse()
    {
        if (m_result == PSW_SUCCESS) {
            m_library.cleanup();
        }
    }
    CPmcSocketLibraryUse(const CPmcSocketLibraryUse&) = delete;
    CPmcSocketLibraryUse& operator=(const CPmcSocketLibraryUse&) = delete;

    Result result() const noexcept { return m_result; }

private:
    CPmcSocketLibrary& m_library;
    Result m_result;
};

class CPmcAddressServicesBase : public IPmcAddressServices {
public:
    explicit CPmcAddressServicesBase(CPmcSocketLibrary& library) noexcept : m_library(library) {}

    // IPv4 (and IPX, which it refuses) through the local agent's route lookup; IPv6 through the
    // interface the system would send on.
    Result best_local_address(const IPmcNetworkAddress* target,
                              IPmcNetworkAddress** out) noexcept override
    {
        if (target == nullptr || out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        switch (target->protocol()) {
            case IPmcNetworkAddress::kUdpIpv4:
            case IPmcNetworkAddress::kIpx: return pmc_route_lookup(pmc_local_agent(), target, out);
            case IPmcNetworkAddress::kUdpIpv6:
                return pmc_best_local_address_ipv6(pmc_ip_help_library(), m_library, target, out);
            default: return PSW_ERR_PARAMETER;
        }
    }
    Result transport_available(EProtocol protocol, bool* out) noexcept override
    {
        return pmc_transport_available(pmc_ip_help_library(), protocol, out);
    }
    Result adapter_count(EProtocol protocol, uint32_t* out) noexcept override
    {
        return pmc_adapter_count(pmc_ip_help_library(), protocol, out);
    }
    Result mac_of_address(EProtocol protocol, const char* text, PmsOctets* out) noexcept override
    {
        return pmc_mac_of_address(pmc_ip_help_library(), *this, protocol, text, out);
    }
    Result is_local_mac(const char* mac, bool* out) noexcept override
    {
        return pmc_is_local_mac(pmc_ip_help_library(), mac, out);
    }

protected:
    CPmcSocketLibrary& library() const noexcept { return m_library; }
    const NPmcSocketAPI& api() const noexcept { return m_library.api(); }

    // Answers `body()` with the socket library started at `version` for its length; a failing
    // start-up is answered instead and `body` is not called.
    template <class Body>
    Result with_library(CPmcSocketLibraryUse::Version version, Body&& body) const noexcept
    {
        CPmcSocketLibraryUse use(m_library, version);
        return use.result() != PSW_SUCCESS ? use.result() : body();
    }

    // A new list into *out of the addresses `make(item, address)` builds for each item from
    // `first` on (`next(item)` until null); *out is written only when every one is in the list.
    // `*out` receives a new list the caller releases; a failed one is destroyed here
    template <class Item, class Next, class Make>
    static Result collect_addresses(Item first, Next&& next, Make&& make,
                                    IPmcNetworkAddressList** out) noexcept
    {
        Result result = PSW_SUCCESS;
        DestroyedPtr<IPmcNetworkAddressList> list(create_address_list(&result));
        if (!list) {
            return result;
        }
        for (Item item = first; item != Item{}; item = next(item)) {
            OwnedPtr<IPmcNetworkAddress> address;
            result = add_address(*list, make(item, address), address);
            if (result != PSW_SUCCESS) {
                return result;
            }
        }
        *out = list.release();
        return PSW_SUCCESS;
    }

    // This machine's host name, always terminated; false when the platform cannot tell it.
    bool local_host_name(char (&name)[kPmcMaxHostText]) const noexcept
    {
        if (api().m_pGetHostName(name, sizeof name) != 0) {
            return false;
        }
        name[sizeof name - 1] = '\0';
        return true;
    }

    // A new address in `out` with the given text, protocol and port.
    // `out` takes a new address (kept even when set() fails); `text` is copied
    static Result new_address(const char* text, EProtocol protocol, uint16_t port,
                              OwnedPtr<IPmcNetworkAddress>& out) noexcept
    {
        Result result = PSW_SUCCESS;
        out.reset(create_empty_address(&result));
        if (!out) {
            return result;
        }
        return out->set(text, protocol, port);
    }

    // Moves `address` into `list` once `made` (the result of building it) is a success. The list
    // takes the address even when it fails to keep it.
    // when `made` succeeded `address` passes to `list` (released if it cannot be added)
    static Result add_address(IPmcNetworkAddressList& list, Result made,
                              OwnedPtr<IPmcNetworkAddress>& address) noexcept
    {
        if (made != PSW_SUCCESS) {
            return made;
        }
        return list.push_back(address.release());
    }

    // Hands a built address to the caller: `*out` is written only when `made` is a success.
    // `*out` takes over `address` on success (the caller releases it); else `address` keeps it
    static Result hand_over(Result made, OwnedPtr<IPmcNetworkAddress>& address,
                            IPmcNetworkAddress** out) noexcept
    {
        if (made == PSW_SUCCESS) {
            *out = address.release();
        }
        return made;
    }

private:
    CPmcSocketLibrary& m_library;
};

// The port a numeric service text names; 0 for anything that is not a port number.
// borrowed: `text` is only read
uint16_t pmc_port_of_text(const char* text) noexcept;

}  // namespace psw
