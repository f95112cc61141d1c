// The machine's adapters from IP Helper's adapter-address list.
#include <winsock2.h>
#include <ws2tcpip.h>
// (iphlpapi.h after the socket headers)
#include <iphlpapi.h>

#include <cstring>
#include <new>

#include "net/adapter_addresses_windows.h"
#include "net/adapter_list.h"
#include "net/address_text.h"

namespace psw {

namespace {

constexpr unsigned long kBufferOverflow = 111;  // ERROR_BUFFER_OVERFLOW
constexpr unsigned long kIfTypeLoopback = 24;
constexpr unsigned long kIfTypeTunnel = 131;

bool all_zero(const uint8_t* bytes, size_t count) noexcept
{
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool PmcRecordBuffer::allocate(unsigned long bytes) noexcept
{
    delete[] m_words;
    const size_t words = (static_cast<size_t>(bytes) + sizeof(uint64_t) - 1) / sizeof(uint64_t);
    m_words = new (std::nothrow) uint64_t[words == 0 ? 1 : words]();
    return m_words != nullptr;
}

Result pmc_read_adapter_addresses(const NPmcIpHelpAPI& api, unsigned long family,
                                  PmcRecordBuffer* buffer) noexcept
{
    if (api.m_pGetAdaptersAddresses == nullptr) {
        return PSW_ERR_NOT_AVAILABLE;
    }
    unsigned long size = 0;
    if (api.m_pGetAdaptersAddresses(family, kPmcAdapterAddressFlags, nullptr, nullptr, &size) !=
        kBufferOverflow) {
        return PSW_ERR_TOO_LONG;
    }
    if (size == 0 || !buffer->allocate(size)) {
        return PSW_ERR_NO_MEMORY;
    }
    if (api.m_pGetAdaptersAddresses(family, kPmcAdapterAddressFlags, nullptr, buffer->data(),
                                    &size) != 0) {
        return PSW_ERR_TOO_LONG;
    }
    return PSW_SUCCESS;
}

Result pmc_read_adapters(const NPmcIpHelpAPI& api, PmcVector<PmcAdapter>* out) noexcept
{
    PmcRecordBuffer buffer;
    const Result read = pmc_read_adapter_addresses(api, AF_UNSPEC, &buffer);
    if (read != PSW_SUCCESS) {
        return read;
    }
    for (const auto* entry = static_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
         entry != nullptr; entry = entry->Next) {
        PmcAdapter adapter{};
        std::strncpy(adapter.name, entry->AdapterName != nullptr ? entry->AdapterName : "",
                     sizeof adapter.name - 1);
        adapter.index = entry->IfIndex != 0 ? entry->IfIndex : entry->Ipv6IfIndex;
        adapter.loopback = entry->IfType == kIfTypeLoopback;
        adapter.tunnel = entry->IfType == kIfTypeTunnel;
        if (entry->PhysicalAddressLength >= sizeof adapter.mac) {
            std::memcpy(adapter.mac, entry->PhysicalAddress, sizeof adapter.mac);
        }
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = entry->FirstUnicastAddress;
             unicast != nullptr; unicast = unicast->Next) {
            const sockaddr* address = unicast->Address.lpSockaddr;
            if (address == nullptr) {
                continue;
            }
            if (address->sa_family == AF_INET && adapter.ipv4[0] == '\0') {
                const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
                const auto* bytes = reinterpret_cast<const uint8_t*>(&ipv4->sin_addr);
                pmc_format_ipv4_text(bytes, adapter.ipv4, sizeof adapter.ipv4);
            } else if (address->sa_family == AF_INET6) {
                const auto* ipv6 = reinterpret_cast<const sockaddr_in6*>(address);
                if (adapter.ipv6_count == 0) {
                    adapter.has_ipv6 = !all_zero(ipv6->sin6_addr.s6_addr, 16);
                }
                if (adapter.ipv6_count < kPmcAdapterIpv6Max) {
                    PmcAdapterIpv6& slot = adapter.ipv6[adapter.ipv6_count++];
                    std::memcpy(slot.bytes, ipv6->sin6_addr.s6_addr, sizeof slot.bytes);
                    slot.scope = static_cast<uint32_t>(ipv6->sin6_scope_id);
                }
            }
        }
        if (!out->push_back(adapter)) {
            return PSW_ERR_NO_MEMORY;
        }
    }
    return out->empty() ? PSW_ERR_TOO_LONG : PSW_SUCCESS;
}

}  // namespace psw
