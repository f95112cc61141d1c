#include "cli/json.h"

#include <cstdio>

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

void append_u_escape(std::string& out, unsigned value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", value);
    out += buffer;
}

}  // namespace

std::string json_quote(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    append_u_escape(out, c);
                } else {
                    out += static_cast<char>(c);
                }
            }
            ++i;
            continue;
        }
        if (const size_t length = utf8_sequence_length(bytes, i); length != 0) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            append_u_escape(out, c);  // a Latin-1 character
            ++i;
        }
    }
    out += '"';
    return out;
}

void JsonWriter::newline_indent()
{
    out_ += '\n';
    out_.append(levels_.size() * 2, ' ');
}

void JsonWriter::before_value()
{
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (!levels_.empty()) {
        if (levels_.back().members++ > 0) {
            out_ += ',';
        }
        newline_indent();
    }
}

JsonWriter& JsonWriter::begin_object()
{
    before_value();
    out_ += '{';
    levels_.push_back({true, 0});
    return *this;
}

JsonWriter& JsonWriter::end_object()
{
    const bool had_members = levels_.back().members > 0;
    levels_.pop_back();
    if (had_members) {
        newline_indent();
    }
    out_ += '}';
    return *this;
}

JsonWriter& JsonWriter::begin_array()
{
    before_value();
    out_ += '[';
    levels_.push_back({false, 0});
    return *this;
}

JsonWriter& JsonWriter::end_array()
{
    const bool had_members = levels_.back().members > 0;
    levels_.pop_back();
    if (had_members) {
        newline_indent();
    }
    out_ += ']';
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    before_value();
    out_ += json_quote(name);
    out_ += ": ";
    after_key_ = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view text)
{
    before_value();
    out_ += json_quote(text);
    return *this;
}

JsonWriter& JsonWriter::number(int64_t value)
{
    before_value();
    out_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value)
{
    before_value();
    out_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null()
{
    before_value();
    out_ += "null";
    return *this;
}

std::string JsonWriter::str() const
{
    return levels_.empty() && !out_.empty() ? out_ + "\n" : out_;
}

}  // namespace psw::cli
