#include "cli/sweep_targets.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <unordered_set>

#include "cli/command_line.h"

namespace psw::cli {

namespace {

// Dotted-quad IPv4 text as the C library's inet_pton reads it: four decimal parts of at most
// 255, no leading zeros, nothing else.
std::optional<uint32_t> ipv4(const std::string& text)
{
    uint32_t value = 0;
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.') {
                return std::nullopt;
            }
            ++at;
        }
        const size_t start = at;
        uint32_t number = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 3) {
            number = number * 10 + static_cast<uint32_t>(text[at] - '0');
            ++at;
        }
        const size_t digits = at - start;
        if (digits == 0 || number > 255 || (digits > 1 && text[start] == '0')) {
            return std::nullopt;
        }
        value = (value << 8) | number;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string ipv4_text(uint32_t value)
{
    return std::to_string(value >> 24) + '.' + std::to_string((value >> 16) & 0xFF) + '.' +
           std::to_string((value >> 8) & 0xFF) + '.' + std::to_string(value & 0xFF);
}

bool add_span(uint64_t first, uint64_t last, std::vector<std::string>* targets, std::string* error,
              const std::string& word)
{
    if (last < first) {
        *error = "the range '" + word + "' ends before it starts";
        return false;
    }
    if (targets->size() + (last - first + 1) > kMaxSweepTargets) {
        *error = "a sweep takes at most " + std::to_string(kMaxSweepTargets) + " addresses";
        return false;
    }
    std::unordered_set<std::string> seen(targets->begin(), targets->end());
    for (uint64_t value = first; value <= last; ++value) {
        std::string text = ipv4_text(static_cast<uint32_t>(value));
        if (seen.insert(text).second) {
            targets->push_back(std::move(text));
        }
    }
    return true;
}

bool expand_file(const std::string& path, std::vector<std::string>* targets, std::string* error)
{
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read the target file '" + path + "'";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos) {
            continue;
        }
        const std::string word = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        if (word.front() == '@' || !expand_targets(word, targets, error)) {
            if (word.front() == '@') {
                *error = "a target file cannot name another one";
            }
            *error = path + ":" + std::to_string(number) + ": " + *error;
            return false;
        }
    }
    return true;
}

}  // namespace

bool is_sweep_word(const std::string& word)
{
    return !word.empty() && (word.front() == '@' || word.find('/') != std::string::npos ||
                             (word.find('-') != std::string::npos &&
                              word.find_first_not_of("0123456789.-") == std::string::npos));
}

bool expand_targets(const std::string& word, std::vector<std::string>* targets, std::string* error)
{
    if (word.empty()) {
        *error = "an empty target";
        return false;
    }
    if (word.front() == '@') {
        return expand_file(word.substr(1), targets, error);
    }
    const size_t slash = word.find('/');
    if (slash != std::string::npos) {
        const auto base = ipv4(word.substr(0, slash));
        const auto bits = parse_uint(word.substr(slash + 1), 16, 32);
        if (!base || !bits) {
            *error = "'" + word + "' is no IPv4 block from /16 to /32 (e.g. 10.0.0.0/24)";
            return false;
        }
        const uint32_t mask = *bits == 32 ? 0xffffffffu : ~(0xffffffffu >> *bits);
        const uint64_t network = *base & mask;
        const uint64_t broadcast = network | (~mask & 0xffffffffu);
        if (*bits >= 31) {
            return add_span(network, broadcast, targets, error, word);  // no such addresses
        }
        return add_span(network + 1, broadcast - 1, targets, error, word);
    }
    const size_t dash = word.find('-');
    if (dash != std::string::npos && is_sweep_word(word)) {
        const auto first = ipv4(word.substr(0, dash));
        std::string end = word.substr(dash + 1);
        if (first && end.find('.') == std::string::npos) {
            end = ipv4_text(*first).substr(0, ipv4_text(*first).rfind('.') + 1) +
                  word.substr(dash + 1);
        }
        const auto last = ipv4(end);
        if (!first || !last) {
            *error = "'" + word + "' is no IPv4 range (e.g. 10.0.0.10-10.0.0.50 or 10.0.0.10-50)";
            return false;
        }
        return add_span(*first, *last, targets, error, word);
    }
    for (const std::string& known : *targets) {
        if (known == word) {
            return true;
        }
    }
    targets->push_back(word);
    return true;
}

}  // namespace psw::cli
