// The configuration file of `psw exporter`: settings, named profiles (how to talk to a printer:
// community or SNMPv3 user, time-out, retries) and the printers of the status page.
//
//   # lines starting with '#' are comments
//   listen = 127.0.0.1:9631      # address:port, [v6]:port
//   concurrency = 4              # printers read at the same time, at most
//   scrape-timeout = 10000       # milliseconds a scrape may take, at most
//
//   [profile office]             # the profile "default" is used when a scrape names none
//   community = secret
//   timeout = 1500
//   retries = 1
//
//   [profile secure]
//   user = monitor               # and level, auth-protocol, auth-pass, priv-protocol,
//   auth-pass = a-long-phrase    #     priv-pass, context as the command line names them
//
//   [printer east-3]             # shown on the status page
//   address = 192.0.2.7
//   profile = office
//
// Parsing checks the form only; the values of a profile are checked by the exporter as the
// command line's are.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "cli/command_line.h"

namespace psw::cli {

constexpr uint16_t kExporterPort = 9631;

struct ExporterPrinter {
    std::string name;
    std::string address;
    std::string profile = "default";
    int line = 0;  // where it was defined, for messages
};

struct ExporterConfig {
    std::string listen_host = "127.0.0.1";
    uint16_t listen_port = kExporterPort;
    uint32_t concurrency = 4;
    uint32_t scrape_timeout_ms = 10000;
    std::map<std::string, ConnectionOptions> profiles;  // always holds "default"
    std::map<std::string, int> profile_lines;
    std::vector<ExporterPrinter> printers;
};

// Reads the text of a configuration file; `source` names it in messages ("FILE:LINE: ...").
// False with *error set on the first fault.
bool parse_exporter_config(const std::string& text, const std::string& source,
                           ExporterConfig* config, std::string* error);

// "HOST:PORT" or "[V6]:PORT" into host and port; false with *error set otherwise.
bool parse_listen_address(const std::string& text, std::string* host, uint16_t* port,
                          std::string* error);

}  // namespace psw::cli
