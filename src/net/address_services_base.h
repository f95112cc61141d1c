// What both address services implementations share: the socket binding they use, the scoped
// start-up of the socket library, and the adapter questions that are not answered yet.
#pragma once

#include "core/factory.h"
#include "net/address_services.h"
#include "net/transport_availability.h"
#include "net/socket_api.h"

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

    Result best_local_address(const IPmcNetworkAddress*, IPmcNetworkAddress**) noexcept override
    {
        return PSW_ERR_UNSUPPORTED;
    }
    Result transport_available(EProtocol protocol, bool* out) noexcept override
    {
        return pmc_transport_available(pmc_ip_help_library(), protocol, out);
    }
    Result adapter_count(EProtocol, uint32_t*) noexcept override { return PSW_ERR_UNSUPPORTED; }
    Result mac_of_address(EProtocol, const char*, PmsOctets*) noexcept override
    {
        return PSW_ERR_UNSUPPORTED;
    }
    Result is_local_mac(const char*, bool*) noexcept override { return PSW_ERR_UNSUPPORTED; }

protected:
    CPmcSocketLibrary& library() const noexcept { return m_library; }
    const NPmcSocketAPI& api() const noexcept { return m_library.api(); }

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
