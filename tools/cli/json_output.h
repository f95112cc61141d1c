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

// How print_json writes: JSON (the default) or CSV (--format csv).
enum class OutputFormat { json, csv };
void set_output_format(OutputFormat format);

// Writes the document to stdout, indented by two spaces, with a final line break; as CSV
// (csv_document) when the output format is CSV.
void print_json(const Json& document);

// A document as CSV (RFC 4180 quoting, '\n' line ends). A document whose one list of records
// stands beside plain values only (jobs, devices, transports) gives that list, one row a
// record with a column a member (nested members named "a.b"); any other gives one row a
// value: section,row,field,value (status: "supplies,0,description,Black Toner").
std::string csv_document(const Json& document);
// One CSV field: quoted when it holds a comma, a quote, a line break or outer spaces.
std::string csv_field(const std::string& text);

}  // namespace psw::cli
