// Reads the library's wire trace back out of log lines: each datagram's direction, peer, port
// and bytes (hex), joined from its lines ("send to 127.0.0.2 port 161, 300 bytes, at 256: ...").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace psw::test {

struct TracedDatagram {
    std::string what;  // "send to" or "receive from"
    std::string peer;
    unsigned port = 0;
    size_t length = 0;  // as the lines state it
    std::string hex;    // the joined hex digits
    size_t lines = 0;
    bool complete() const { return hex.size() == 2 * length; }
};

// The datagrams of `lines` (whole log lines or the text after the header), in order. A line that
// continues a datagram (same peer and length, "at" where the previous line stopped) is joined
// to it; other lines are ignored.
std::vector<TracedDatagram> traced_datagrams(const std::vector<std::string>& lines);

// Lower-case hex digits of the bytes, the way the trace writes them.
std::string hex_of(const uint8_t* bytes, size_t length);

// `text` split at newlines.
std::vector<std::string> split_lines(const std::string& text);

}  // namespace psw::test
