#include "cli/table.h"

#include <algorithm>

namespace psw::cli {

size_t display_width(const std::string& text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
    }));
}

std::string printable(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '?';
        }
    }
    return out;
}

std::string fit_width(const std::string& text, size_t width)
{
    if (width < 4) {
        width = 4;
    }
    if (display_width(text) <= width) {
        return text;
    }
    std::string out;
    size_t columns = 0;
    for (const char c : text) {
        const bool starts_character = (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
        if (starts_character && columns == width - 3) {
            break;
        }
        if (starts_character) {
            ++columns;
        }
        out += c;
    }
    return out + "...";
}

Table::Table(std::vector<Column> columns) : columns_(std::move(columns)) {}

void Table::add_row(std::vector<std::string> cells)
{
    cells.resize(columns_.size());
    for (size_t c = 0; c < cells.size(); ++c) {
        cells[c] = printable(cells[c]);
        if (columns_[c].max_width != 0) {
            cells[c] = fit_width(cells[c], columns_[c].max_width);
        }
    }
    rows_.push_back(std::move(cells));
}

std::string Table::render(size_t indent) const
{
    std::vector<size_t> widths(columns_.size(), 0);
    for (size_t c = 0; c < columns_.size(); ++c) {
        widths[c] = display_width(columns_[c].title);
        for (const auto& row : rows_) {
            widths[c] = std::max(widths[c], display_width(row[c]));
        }
    }
    std::string out;
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text(indent, ' ');
        for (size_t c = 0; c < cells.size(); ++c) {
            const size_t pad = widths[c] - display_width(cells[c]);
            const bool last = c + 1 == cells.size();
            if (columns_[c].align == Align::right) {
                text.append(pad, ' ');
                text += cells[c];
            } else {
                text += cells[c];
                if (!last) {
                    text.append(pad, ' ');
                }
            }
            if (!last) {
                text += "  ";
            }
        }
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        out += text;
        out += '\n';
    };
    std::vector<std::string> header;
    for (const Column& column : columns_) {
        header.push_back(column.title);
    }
    line(header);
    for (const auto& row : rows_) {
        line(row);
    }
    return out;
}

}  // namespace psw::cli
