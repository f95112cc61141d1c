#include "support/wire_trace_lines.h"

#include <regex>

namespace psw::test {

std::vector<TracedDatagram> traced_datagrams(const std::vector<std::string>& lines)
{
    static const std::regex kLine(
        "(send to|receive from) (\\S+) port (\\d+), (\\d+) bytes, at (\\d+): ([0-9a-f]*)$");
    std::vector<TracedDatagram> datagrams;
    for (const std::string& line : lines) {
        std::smatch match;
        if (!std::regex_search(line, match, kLine)) {
            continue;
        }
        TracedDatagram piece;
        piece.what = match[1];
        piece.peer = match[2];
        piece.port = static_cast<unsigned>(std::stoul(match[3]));
        piece.length = std::stoul(match[4]);
        const size_t at = std::stoul(match[5]);
        piece.hex = match[6];
        piece.lines = 1;
        if (at != 0 && !datagrams.empty()) {
            TracedDatagram& last = datagrams.back();
            if (last.what == piece.what && last.peer == piece.peer && last.port == piece.port &&
                last.length == piece.length && last.hex.size() == 2 * at) {
                last.hex += piece.hex;
                ++last.lines;
                continue;
            }
        }
        datagrams.push_back(piece);
    }
    return datagrams;
}

std::string hex_of(const uint8_t* bytes, size_t length)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (size_t i = 0; i < length; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0x0f];
    }
    return hex;
}

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

}  // namespace psw::test
