// The commands of psw. Each takes the words after its name and returns the exit status:
// 0 success, 1 a library call failed (one line on stderr names the code and its meaning),
// 2 the command line was wrong.
#pragma once

#include <string>
#include <vector>

namespace psw::cli {

using Args = std::vector<std::string>;

int run_about(const Args& args);
int run_transports(const Args& args);
int run_discover(const Args& args);
int run_status(const Args& args);
int run_jobs(const Args& args);
int run_cancel(const Args& args);
int run_options(const Args& args);

}  // namespace psw::cli
