// The SNMPv3 options every command takes, named as Net-SNMP's tools name them:
//   -u/--user NAME  -l/--level LEVEL  -a/--auth-protocol P  -A/--auth-pass PHRASE
//   -x/--priv-protocol P  -X/--priv-pass PHRASE  -n/--context NAME
// The command line (add_usm_options in command_line.h) collects them; this file turns them into
// the library's settings. Any of them makes the command speak SNMPv3 (security mode 2).
#pragma once

#include <optional>
#include <string>

#include "cli/command_line.h"
#include "psw/psw.h"

namespace psw::cli {

// The SNMPv3 settings of the options, nullopt when none was given. Without --level the level
// follows the pass phrases given (-X: authPriv, -A: authNoPriv, else noAuthNoPriv); without a
// protocol option a level that needs one uses SHA and AES. On a bad value returns false with
// *error set.
bool read_usm(const UsmOptions& options, std::optional<PSWUSMSettings>* usm, std::string* error);

}  // namespace psw::cli
