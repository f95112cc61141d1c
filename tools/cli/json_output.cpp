#include "cli/json_output.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace psw::cli {

namespace {

// Length of the valid UTF-8 sequence starting at bytes[i], or 0 when there is none.
size_t utf8_sequence_length(std::string_view bytes, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    uint32_t min = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (byte(i + k) & 0x3Fu);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

std::string json_text(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const size_t length = utf8_sequence_length(bytes, i);
        if (length != 0) {
            out.append(bytes.substr(i, length));
            i += length;
            continue;
        }
        // Latin-1 U+0080..U+00FF in two bytes.
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
        ++i;
    }
    return out;
}

namespace {

OutputFormat g_output_format = OutputFormat::json;

std::string scalar_text(const Json& value)
{
    if (value.is_null()) {
        return {};
    }
    if (value.is_string()) {
        return value.get<std::string>();
    }
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The leaves below `value` as (path, text), paths joined with '.'.
void flatten(const Json& value, const std::string& path,
             std::vector<std::pair<std::string, std::string>>* leaves)
{
    if (value.is_object()) {
        for (const auto& [key, member] : value.items()) {
            flatten(member, path.empty() ? key : path + "." + key, leaves);
        }
    } else if (value.is_array()) {
        for (size_t i = 0; i < value.size(); ++i) {
            flatten(value[i], path.empty() ? std::to_string(i) : path + "." + std::to_string(i),
                    leaves);
        }
    } else {
        leaves->push_back({path, scalar_text(value)});
    }
}

std::string csv_line(const std::vector<std::string>& fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : ",") + csv_field(fields[i]);
    }
    return line + "\n";
}

// The one list of records of a document whose other members are plain values, or null.
const Json* record_list(const Json& document)
{
    const Json* list = nullptr;
    if (!document.is_object()) {
        return nullptr;
    }
    for (const auto& [key, member] : document.items()) {
        if (member.is_array() && !member.empty() && member.front().is_object()) {
            if (list != nullptr) {
                return nullptr;
            }
            list = &member;
        } else if (member.is_structured()) {
            return nullptr;
        }
    }
    return list;
}

}  // namespace

void set_output_format(OutputFormat format)
{
    g_output_format = format;
}

std::string csv_field(const std::string& text)
{
    const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) {
        return text;
    }
    std::string out = "\"";
    for (char c : text) {
        out += c == '"' ? "\"\"" : std::string(1, c);
    }
    return out + "\"";
}

std::string csv_document(const Json& document)
{
    std::string out;
    if (const Json* list = record_list(document)) {
        std::vector<std::string> columns;
        std::vector<std::vector<std::pair<std::string, std::string>>> rows;
        for (const Json& record : *list) {
            rows.emplace_back();
            flatten(record, "", &rows.back());
            for (const auto& [name, text] : rows.back()) {
                if (std::find(columns.begin(), columns.end(), name) == columns.end()) {
                    columns.push_back(name);
                }
            }
        }
        out += csv_line(columns);
        for (const auto& row : rows) {
            std::vector<std::string> fields(columns.size());
            for (const auto& [name, text] : row) {
                fields[static_cast<size_t>(std::find(columns.begin(), columns.end(), name) -
                                           columns.begin())] = text;
            }
            out += csv_line(fields);
        }
        return out;
    }
    out += csv_line({"section", "row", "field", "value"});
    for (const auto& [key, member] : document.items()) {
        if (member.is_array()) {
            for (size_t i = 0; i < member.size(); ++i) {
                std::vector<std::pair<std::string, std::string>> leaves;
                flatten(member[i], "", &leaves);
                for (const auto& [path, text] : leaves) {
                    out += csv_line({key, std::to_string(i), path, text});
                }
            }
        } else {
            std::vector<std::pair<std::string, std::string>> leaves;
            flatten(member, "", &leaves);
            for (const auto& [path, text] : leaves) {
                out += csv_line({key, "", path, text});
            }
        }
    }
    return out;
}

void print_json(const Json& document)
{
    if (g_output_format == OutputFormat::csv) {
        std::fputs(csv_document(document).c_str(), stdout);
        return;
    }
    // Every text went through json_text, so dump cannot meet invalid UTF-8; replace keeps the
    // program from throwing should one slip through.
    const std::string text = document.dump(2, ' ', false, Json::error_handler_t::replace);
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace psw::cli
