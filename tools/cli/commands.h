// The commands of psw. Each adds its subcommand to the program's CLI::App; when the command
// runs, its callback writes the exit status to *exit_code (see command_line.h for the codes).
#pragma once

#include <CLI/CLI.hpp>

namespace psw::cli {

void add_about_command(CLI::App& app, int* exit_code);
void add_transports_command(CLI::App& app, int* exit_code);
void add_discover_command(CLI::App& app, int* exit_code);
void add_status_command(CLI::App& app, int* exit_code);
void add_jobs_command(CLI::App& app, int* exit_code);
void add_cancel_command(CLI::App& app, int* exit_code);
void add_options_command(CLI::App& app, int* exit_code);
void add_check_command(CLI::App& app, int* exit_code);
void add_exporter_command(CLI::App& app, int* exit_code);

}  // namespace psw::cli
