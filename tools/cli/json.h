// A small JSON writer for psw's --json output: one document, indented by two spaces, with
// strings escaped so that any byte string the printer sends gives valid JSON.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace psw::cli {

// The JSON string literal (with its quotes) of `bytes`. Quotes, backslashes and control
// characters are escaped; valid UTF-8 sequences pass as they are; any other byte is taken as a
// Latin-1 character and written as \u00XX, so the result is always valid UTF-8 JSON.
std::string json_quote(std::string_view bytes);

class JsonWriter {
public:
    JsonWriter& begin_object();
    JsonWriter& end_object();
    JsonWriter& begin_array();
    JsonWriter& end_array();
    // The member name of the next value; only inside an object.
    JsonWriter& key(std::string_view name);
    JsonWriter& string(std::string_view text);
    JsonWriter& number(int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    // The document so far, with a final line break once every container is closed.
    std::string str() const;

private:
    void before_value();
    void newline_indent();

    struct Level {
        bool object;
        int members;
    };
    std::string out_;
    std::vector<Level> levels_;
    bool after_key_ = false;
};

}  // namespace psw::cli
