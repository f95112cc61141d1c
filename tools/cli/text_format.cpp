#include "cli/text_format.h"

#include <cmath>
#include <cstdio>
#include <iterator>

#include "cli/mib_names.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

// Words for the library's medium-size codes that printers commonly hold; the dimensions behind
// each code are the library's (PSWGetMediumSize).
struct SizeName {
    int32_t code;
    const char* name;
};

constexpr SizeName kSizeNames[] = {
    {1, "Letter"},    {2, "Legal"},         {12, "Monarch"},      {24, "A3"},
    {25, "A4"},       {26, "A5"},           {27, "A6"},           {66, "C5"},
    {70, "DL"},       {85, "B4"},           {86, "B5"},           {10001, "Ledger"},
    {10002, "Folio"}, {10003, "Postcard"},  {10007, "Statement"}, {10009, "12x18"},
    {10012, "SRA3"},  {10014, "Executive"}, {10017, "Com-10"},
};

constexpr int32_t kUnitTenThousandthsInch = 3;
constexpr int32_t kUnitMicrometres = 4;

std::string format_number(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    std::string text = buffer;
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) {
        text.resize(text.size() - 2);
    }
    return text;
}

}  // namespace

std::string quantity_text(int32_t value)
{
    if (value >= 0) {
        return std::to_string(value);
    }
    if (auto word = special_quantity_word(value)) {
        return *word;
    }
    return "invalid (" + std::to_string(value) + ")";
}

std::optional<int> level_percent(int32_t level, int32_t capacity)
{
    if (level < 0 || capacity <= 0) {
        return std::nullopt;
    }
    const int64_t percent = (static_cast<int64_t>(level) * 100 + capacity / 2) / capacity;
    return static_cast<int>(percent > 100 ? 100 : percent);
}

std::string level_bar(int percent, int width)
{
    if (percent < 0) {
        percent = 0;
    }
    if (percent > 100) {
        percent = 100;
    }
    const int filled = (percent * width + 50) / 100;
    return "[" + std::string(static_cast<size_t>(filled), '#') +
           std::string(static_cast<size_t>(width - filled), '.') + "]";
}

std::string percent_text(int percent)
{
    std::string number = std::to_string(percent) + "%";
    if (number.size() < 4) {
        number.insert(0, 4 - number.size(), ' ');
    }
    return number + " " + level_bar(percent);
}

std::string level_text(int32_t level, int32_t capacity)
{
    if (auto percent = level_percent(level, capacity)) {
        return percent_text(*percent);
    }
    return quantity_text(level);
}

std::string media_size_text(int32_t unit, int32_t feed, int32_t cross_feed)
{
    double per_mm = 0;
    if (unit == kUnitMicrometres) {
        per_mm = 1000.0;
    } else if (unit == kUnitTenThousandthsInch) {
        per_mm = 10000.0 / 25.4;
    }
    if (per_mm == 0 || feed <= 0 || cross_feed <= 0) {
        return "unknown";
    }
    const double a = feed / per_mm;
    const double b = cross_feed / per_mm;
    int32_t code = 0;
    PSWGetMediumSize(unit, feed, cross_feed, &code);
    for (const SizeName& size : kSizeNames) {
        if (size.code == code) {
            return size.name;
        }
    }
    if (unit == kUnitTenThousandthsInch) {
        return format_number(cross_feed / 10000.0) + "x" + format_number(feed / 10000.0) + " in";
    }
    return format_number(b) + "x" + format_number(a) + " mm";
}

std::string uptime_text(uint32_t hundredths)
{
    const uint32_t seconds = hundredths / 100;
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02u:%02u:%02u", seconds / 3600 % 24, seconds / 60 % 60,
                  seconds % 60);
    const uint32_t days = seconds / 86400;
    return (days == 0 ? "" : std::to_string(days) + (days == 1 ? " day " : " days ")) + clock;
}

std::string bytes_text(uint64_t bytes)
{
    static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024) {
        return std::to_string(bytes) + " B";
    }
    double value = static_cast<double>(bytes) / 1024.0;
    size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f %s", value, kUnits[unit]);
    return buffer;
}

std::string date_text(const PSWDateTime& date)
{
    if (date.year == 0 && date.month == 0 && date.day == 0 && date.hour == 0 && date.minute == 0 &&
        date.second == 0) {
        return "-";
    }
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month,
                  date.day, date.hour, date.minute, date.second);
    return buffer;
}

}  // namespace psw::cli
