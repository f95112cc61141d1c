// Printer values as text for tables and JSON: quantities and levels with their bars, media
// sizes, uptime, byte counts and dates.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "psw/psw_records.h"

namespace psw::cli {

// A quantity as text: the number, its special word, or "invalid (N)" for other negatives.
std::string quantity_text(int32_t value);
// level * 100 / capacity rounded to the nearest whole, clamped to 0..100, when both are known
// (level >= 0, capacity > 0); nullopt otherwise.
std::optional<int> level_percent(int32_t level, int32_t capacity);
// A bar of `width` cells for a percentage: "[#####.....]".
std::string level_bar(int percent, int width = 10);
// A percentage and its bar, the number right-aligned in four columns: " 75% [########..]".
std::string percent_text(int percent);
// A level for a table: " 75% [########..]" when a percentage exists, otherwise the level's word
// ("some remaining", "unknown", "other") or its number.
std::string level_text(int32_t level, int32_t capacity);
// A media size from prtInputDimUnit and the feed and cross-feed dimensions: a standard name
// ("A4", "Letter", ...) when one fits within 2 mm, otherwise "210x297 mm" or "8.5x11 in";
// "unknown" when a dimension or the unit is not usable.
std::string media_size_text(int32_t unit, int32_t feed, int32_t cross_feed);
// Bytes as "512 B", "4.0 KiB", "256.0 MiB", "2.3 GiB".
std::string bytes_text(uint64_t bytes);
// "2007-03-15 10:20:30"; "-" for an all-zero date.
std::string date_text(const PSWDateTime& date);

}  // namespace psw::cli
