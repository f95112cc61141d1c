// The installed-option names a printer answers by name, with their value type and whether they
// are asked per input tray or per output tray.
#pragma once

#include <string>
#include <vector>

namespace psw::cli {

enum class OptionType { text, integer, boolean };
enum class OptionIndex { none, input_tray, output_tray };

struct OptionName {
    const char* name;
    OptionType type;
    OptionIndex index;
};

// Every known option, in the order `psw options` lists them.
const std::vector<OptionName>& known_options();
// The known option of that exact (case-sensitive) name, or null.
const OptionName* find_option(const std::string& name);
const char* option_type_name(OptionType type);

}  // namespace psw::cli
