#include "net/address_services.h"

#include <atomic>

#include "core/factory.h"
#include "core/platform/lock.h"
#include "net/address_services_base.h"

namespace psw {

namespace {

struct CPmcAddressServicesHolder {
    ~CPmcAddressServicesHolder() { delete object.load(); }

    PmcLock lock;
    std::atomic<IPmcAddressServices*> object{nullptr};
};

}  // namespace

uint16_t pmc_port_of_text(const char* text) noexcept
{
    if (text == nullptr || *text == '\0') {
        return 0;
    }
    unsigned value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') {
            return 0;
        }
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > 0xffff) {
            return 0;
        }
    }
    return static_cast<uint16_t>(value);
}

IPmcAddressServices* create_address_services(CPmcSocketLibrary& library, Result* result) noexcept
{
    return library.has_extended_api() ? create_extended_address_services(library, result)
                                      : create_classic_address_services(library, result);
}

IPmcAddressServices* pmc_address_services(Result* result) noexcept
{
    // The binding first, so that it is torn down after the services that use it.
    CPmcSocketLibrary& library = pmc_socket_library();
    static CPmcAddressServicesHolder holder;

    IPmcAddressServices* services = holder.object.load(std::memory_order_acquire);
    if (services == nullptr) {
        PmcLockGuard guard(holder.lock);
        services = holder.object.load(std::memory_order_relaxed);
        if (services == nullptr) {
            services = create_address_services(library, nullptr);
            if (services == nullptr) {
                set_result(result, PSW_ERR_NO_MEMORY);
                return nullptr;
            }
            holder.object.store(services, std::memory_order_release);
        }
    }
    set_result(result, PSW_SUCCESS);
    return services;
}

Result parse_address(const char* text, PmsOctets* out) noexcept
{
    IPmcAddressServices* services = pmc_address_services(nullptr);
    return services != nullptr ? services->parse(text, out) : PSW_ERR_NO_MEMORY;
}

Result protocol_of(const char* text, IPmcNetworkAddress::EProtocol* out) noexcept
{
    IPmcAddressServices* services = pmc_address_services(nullptr);
    return services != nullptr ? services->protocol_of(text, out) : PSW_ERR_NO_MEMORY;
}

Result is_address(const char* text, bool* out) noexcept
{
    if (out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    IPmcNetworkAddress::EProtocol protocol = IPmcNetworkAddress::kUnspecified;
    const Result result = protocol_of(text, &protocol);
    if (result != PSW_SUCCESS) {
        return result;
    }
    *out = protocol != IPmcNetworkAddress::kUnspecified;
    return PSW_SUCCESS;
}

Result same_address(const char* a, const char* b, bool* out) noexcept
{
    if (out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    Result result = PSW_SUCCESS;
    OwnedPtr<PmsOctets> canonical_a(create_octets(&result));
    OwnedPtr<PmsOctets> canonical_b(create_octets(&result));
    if (!canonical_a || !canonical_b) {
        return PSW_ERR_NO_MEMORY;
    }
    result = parse_address(a, canonical_a.get());
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = parse_address(b, canonical_b.get());
    if (result != PSW_SUCCESS) {
        return result;
    }
    *out = canonical_a->equals(canonical_b.get());
    return PSW_SUCCESS;
}

Result transport_available(IPmcNetworkAddress::EProtocol protocol, bool* out) noexcept
{
    IPmcAddressServices* services = pmc_address_services(nullptr);
    return services != nullptr ? services->transport_available(protocol, out)
                               : PSW_ERR_NO_MEMORY;
}

}  // namespace psw
