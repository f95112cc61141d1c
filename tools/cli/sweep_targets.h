// The targets of a sweep: single addresses or host names, IPv4 CIDR blocks (10.0.0.0/24),
// IPv4 ranges (10.0.0.10-10.0.0.50 or 10.0.0.10-50) and @FILE (one target of these forms a
// line; '#' starts a comment). Blocks and ranges never hold their network and broadcast
// addresses, so a sweep only ever sends unicast.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace psw::cli {

constexpr size_t kMaxSweepTargets = 65536;

// True when the word names more than one address: a block, a range or a file.
bool is_sweep_word(const std::string& word);

// Appends the addresses of `word` to *targets in order, without duplicates already present;
// false with *error set for a malformed word, an unreadable file or more than
// kMaxSweepTargets addresses.
bool expand_targets(const std::string& word, std::vector<std::string>* targets, std::string* error);

}  // namespace psw::cli
