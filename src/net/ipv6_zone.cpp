#include "net/ipv6_zone.h"

#include <cstring>

namespace psw {

Result pmc_split_ipv6_zone(const char* text, char* address, size_t size,
                           const char** zone) noexcept
{
    if (text == nullptr || address == nullptr || zone == nullptr || size == 0) {
        return PSW_ERR_PARAMETER;
    }
    const char* mark = std::strchr(text, '%');
    const size_t length = mark != nullptr ? static_cast<size_t>(mark - text) : std::strlen(text);
    if (length == 0 || (mark != nullptr && mark[1] == '\0')) {
        return PSW_ERR_PARAMETER;
    }
    if (length >= size) {
        return PSW_ERR_TOO_LONG;
    }
    std::memcpy(address, text, length);
    address[length] = '\0';
    *zone = mark != nullptr ? mark + 1 : nullptr;
    return PSW_SUCCESS;
}

Result pmc_ipv6_scope_of_zone(const char* zone, uint32_t* scope) noexcept
{
    if (zone == nullptr || scope == nullptr || *zone == '\0') {
        return PSW_ERR_PARAMETER;
    }
    if (*zone >= '0' && *zone <= '9') {
        uint64_t value = 0;
        for (const char* p = zone; *p != '\0'; ++p) {
            if (*p < '0' || *p > '9') {
                return PSW_ERR_PARAMETER;  // "3a" is neither a number nor looked up as a name
            }
            value = value * 10 + static_cast<uint64_t>(*p - '0');
            if (value > UINT32_MAX) {
                return PSW_ERR_PARAMETER;
            }
        }
        *scope = static_cast<uint32_t>(value);
        return PSW_SUCCESS;
    }
    const uint32_t index = pmc_interface_index_of_name(zone);
    if (index == 0) {
        return PSW_ERR_PARAMETER;
    }
    *scope = index;
    return PSW_SUCCESS;
}

bool pmc_ipv6_is_link_scope_multicast(const uint8_t address[16]) noexcept
{
    return address[0] == 0xff && (address[1] & 0x0f) == 0x02;
}

}  // namespace psw
