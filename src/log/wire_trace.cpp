#include "log/wire_trace.h"

#include "log/log_channel.h"

namespace psw {

void pmc_write_wire_trace(IPmcLogger& logger, const char* what, const char* peer, unsigned port,
                          const uint8_t* bytes, size_t length) noexcept
{
    static constexpr char kDigits[] = "0123456789abcdef";
    const char* shown_peer = peer != nullptr ? peer : "";
    size_t offset = 0;
    do {
        char hex[kWireTraceBytesPerLine * 2 + 1];
        size_t used = 0;
        for (size_t i = offset; i < length && i < offset + kWireTraceBytesPerLine; ++i) {
            hex[used++] = kDigits[bytes[i] >> 4];
            hex[used++] = kDigits[bytes[i] & 0x0f];
        }
        hex[used] = '\0';
        logger.output(kLogDebug, "%s %s port %u, %zu bytes, at %zu: %s", what, shown_peer, port,
                      length, offset, hex);
        offset += kWireTraceBytesPerLine;
    } while (offset < length);
}

void pmc_trace_datagram(const char* what, const char* peer, unsigned port, const uint8_t* bytes,
                        size_t length) noexcept
{
    IPmcLogger* logger = pmc_snmp_channel().logger();
    if (!logger->accepts(kLogDebug) || (bytes == nullptr && length != 0)) {
        return;
    }
    pmc_write_wire_trace(*logger, what, peer, port, bytes, length);
}

}  // namespace psw
