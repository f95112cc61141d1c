// The SNMPv3 options every command takes, named as Net-SNMP's tools name them:
//   -u/--user NAME  -l/--level LEVEL  -a/--auth-protocol P  -A/--auth-pass PHRASE
//   -x/--priv-protocol P  -X/--priv-pass PHRASE  -n/--context NAME
// Any of them makes the command speak SNMPv3 (security mode 2).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "psw/psw.h"

namespace psw::cli {

std::vector<OptionSpec> usm_options();

// The "SNMPv3 options" block of every command's help.
const char* usm_help();

// The SNMPv3 settings of the options, nullopt when none was given. Without --level the level
// follows the pass phrases given (-X: authPriv, -A: authNoPriv, else noAuthNoPriv); without a
// protocol option a level that needs one uses SHA and AES. On a bad value returns false with
// *error set.
bool read_usm(const ParsedArgs& parsed, std::optional<PSWUSMSettings>* usm, std::string* error);

}  // namespace psw::cli
