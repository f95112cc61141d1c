// psw's --json output, written with nlohmann-json: members keep the order in which they are
// set, and every text the printer sends becomes valid UTF-8 first.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace psw::cli {

using Json = nlohmann::ordered_json;

// `bytes` as UTF-8 text: valid UTF-8 sequences pass as they are, any other byte is taken as a
// Latin-1 character (so printers that send ISO 8859-1 keep their accents).
std::string json_text(std::string_view bytes);

// Writes the document to stdout, indented by two spaces, with a final line break.
void print_json(const Json& document);

}  // namespace psw::cli
