#include "net/address_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace psw {

namespace {

int hex_value(char c) noexcept
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads `count` bytes of two hexadecimal digits each.
bool read_hex_bytes(const char* text, size_t count, uint8_t* out) noexcept
{
    for (size_t i = 0; i < count; ++i) {
        const int high = hex_value(text[2 * i]);
        const int low = hex_value(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}

}  // namespace

void pmc_format_ipv6_text(const uint8_t bytes[16], char* out, size_t size) noexcept
{
    if (out == nullptr || size == 0) {
        return;
    }
    unsigned groups[8];
    for (size_t i = 0; i < 8; ++i) {
        groups[i] = static_cast<unsigned>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    }
    // The longest run of zero groups (two or more), the first one of equal length.
    size_t best_start = 8;
    size_t best_length = 1;
    for (size_t i = 0; i < 8;) {
        size_t j = i;
        while (j < 8 && groups[j] == 0) {
            ++j;
        }
        if (j - i > best_length) {
            best_start = i;
            best_length = j - i;
        }
        i = j == i ? i + 1 : j;
    }
    // The C library's rule for a trailing dotted IPv4 address (compatible and mapped forms).
    const bool mapped =
        best_start == 0 && (best_length == 6 || (best_length == 5 && groups[5] == 0xffff));
    char text[48];
    size_t used = 0;
    const size_t last = mapped ? 6 : 8;
    for (size_t i = 0; i < last; ++i) {
        if (i == best_start) {
            text[used++] = ':';
            text[used++] = ':';
            i += best_length - 1;
            continue;
        }
        if (i > 0 && i != best_start + best_length) {
            text[used++] = ':';
        }
        used +=
            static_cast<size_t>(std::snprintf(text + used, sizeof text - used, "%x", groups[i]));
    }
    if (mapped) {
        if (text[used - 1] != ':') {
            text[used++] = ':';
        }
        used += static_cast<size_t>(std::snprintf(text + used, sizeof text - used, "%u.%u.%u.%u",
                                                  bytes[12], bytes[13], bytes[14], bytes[15]));
    }
    text[used] = '\0';
    std::snprintf(out, size, "%s", text);
}

bool pmc_parse_ipv4_text(const char* text, uint8_t out[4]) noexcept
{
    if (text == nullptr) {
        return false;
    }
    uint8_t bytes[4];
    const char* p = text;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (*p != '.') {
                return false;
            }
            ++p;
        }
        if (*p < '0' || *p > '9') {
            return false;
        }
        unsigned value = 0;
        while (*p >= '0' && *p <= '9') {
            value = value * 10 + static_cast<unsigned>(*p - '0');
            if (value > 255) {  // also stops long digit runs before they could wrap
                return false;
            }
            ++p;
        }
        bytes[part] = static_cast<uint8_t>(value);
    }
    if (*p != '\0') {
        return false;
    }
    std::memcpy(out, bytes, 4);
    return true;
}

void pmc_format_ipv4_text(const uint8_t bytes[4], char* out, size_t size) noexcept
{
    // "%u.%u.%u.%u" written by hand: every received datagram's source goes through here.
    char text[16];
    char* at = text;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            *at++ = '.';
        }
        const unsigned value = bytes[part];
        if (value >= 100) {
            *at++ = static_cast<char>('0' + value / 100);
        }
        if (value >= 10) {
            *at++ = static_cast<char>('0' + value / 10 % 10);
        }
        *at++ = static_cast<char>('0' + value % 10);
    }
    *at = '\0';
    if (size != 0) {
        const size_t length = static_cast<size_t>(at - text);
        const size_t kept = length < size - 1 ? length : size - 1;
        std::memcpy(out, text, kept);
        out[kept] = '\0';
    }
}

bool pmc_parse_ipx_text(const char* text, uint8_t network[4], uint8_t node[6]) noexcept
{
    if (text == nullptr || std::strlen(text) != kPmcIpxTextLength || text[8] != ':') {
        return false;
    }
    uint8_t net[4];
    uint8_t host[6];
    if (!read_hex_bytes(text, 4, net) || !read_hex_bytes(text + 9, 6, host)) {
        return false;
    }
    std::memcpy(network, net, 4);
    std::memcpy(node, host, 6);
    return true;
}

void pmc_format_ipx_text(const uint8_t network[4], const uint8_t node[6], char* out,
                         size_t size) noexcept
{
    std::snprintf(out, size, "%02x%02x%02x%02x:%02x%02x%02x%02x%02x%02x", network[0], network[1],
                  network[2], network[3], node[0], node[1], node[2], node[3], node[4], node[5]);
}

Result pmc_parse_ipv6_group_text(const char* text, uint8_t out[16]) noexcept
{
    if (text == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    // Eight valid groups take at most 39 characters, so cutting the expanded text short only
    // ever drops characters that are ignored anyway.
    constexpr size_t kUnexpandedLimit = 43;
    char expanded[128];
    size_t used = 0;
    auto put = [&](const char* from, size_t count) {
        for (size_t i = 0; i < count && used + 1 < sizeof expanded; ++i) {
            expanded[used++] = from[i];
        }
    };
    const char* gap = std::strstr(text, "::");
    if (gap != nullptr) {
        size_t colons = 0;
        for (const char* p = text; *p != '\0' && colons < 8; ++p) {
            colons += *p == ':' ? 1 : 0;
        }
        const size_t before = static_cast<size_t>(gap - text);
        size_t zero_groups = 0;
        if (before != 0) {
            put(text, before);
            put(":", 1);
            zero_groups = 8 - colons;
        } else {
            zero_groups = 9 - colons;
        }
        for (size_t i = 0; i < zero_groups; ++i) {
            put("0:", 2);
        }
        put(gap + 2, std::strlen(gap + 2));
    } else {
        put(text, std::min(std::strlen(text), kUnexpandedLimit));
    }
    expanded[used] = '\0';

    uint8_t bytes[16];
    const char* p = expanded;
    for (int group = 0; group < 8; ++group) {
        if (group > 0) {
            if (*p != ':') {
                return PSW_ERR_PARAMETER;
            }
            ++p;
        }
        unsigned value = 0;
        int digits = 0;
        for (int v = hex_value(*p); v >= 0 && digits < 5; v = hex_value(*p)) {
            value = value * 16 + static_cast<unsigned>(v);
            ++digits;
            ++p;
        }
        if (digits == 0 || digits > 4) {
            return PSW_ERR_PARAMETER;
        }
        bytes[2 * group] = static_cast<uint8_t>(value >> 8);
        bytes[2 * group + 1] = static_cast<uint8_t>(value & 0xff);
    }
    std::memcpy(out, bytes, 16);
    return PSW_SUCCESS;
}

}  // namespace psw
