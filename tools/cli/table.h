// Human output of psw: rows of text cells aligned in columns under a header line.
#pragma once

#include <string>
#include <vector>

namespace psw::cli {

enum class Align { left, right };

struct Column {
    std::string title;
    Align align = Align::left;
    size_t max_width = 0;  // longer cells are cut and end in "..."; 0: no limit
};

class Table {
public:
    explicit Table(std::vector<Column> columns);
    // Adds one row; missing cells are empty, extra cells are an error of the caller (dropped).
    void add_row(std::vector<std::string> cells);
    size_t rows() const { return rows_.size(); }
    // Header and rows, each line ending in '\n'; columns separated by two spaces, the last
    // column not padded. Every line is indented by `indent` spaces.
    std::string render(size_t indent = 0) const;

private:
    std::vector<Column> columns_;
    std::vector<std::vector<std::string>> rows_;
};

// Columns a text takes on a terminal: UTF-8 continuation bytes take none.
size_t display_width(const std::string& text);

// The text cut to at most `width` columns (at least 4), ending in "..." when it was cut; UTF-8
// sequences are never split.
std::string fit_width(const std::string& text, size_t width);

// The text with control characters (and DEL) replaced by '?', for terminal output.
std::string printable(const std::string& text);

}  // namespace psw::cli
