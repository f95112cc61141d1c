#include "cli/logging.h"

#include <cstdio>

#include "cli/progress.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

void write_to_stderr(void*, const char* line)
{
    std::fprintf(stderr, "%s\n", line);
}

}  // namespace

uint32_t log_mask_of(uint32_t verbosity)
{
    constexpr uint32_t kMasks[] = {
        0, PSW_LOG_ERROR | PSW_LOG_WARN, PSW_LOG_ERROR | PSW_LOG_WARN | PSW_LOG_INFO,
        PSW_LOG_ALL & ~static_cast<uint32_t>(PSW_LOG_TRACE), PSW_LOG_ALL};
    return kMasks[verbosity < 4 ? verbosity : 4];
}

bool start_library_log(const LogOptions& options, std::string* error)
{
    if (options.verbosity == 0 && !options.log_file) {
        return true;
    }
    const int32_t attached = options.log_file ? PSWLogAttachFile(options.log_file->c_str(), 0)
                                              : PSWLogAttachCallback(write_to_stderr, nullptr);
    if (attached != PSW_SUCCESS) {
        *error = (options.log_file ? "cannot write the log file '" + *options.log_file + "': "
                                   : std::string("cannot switch the log on: ")) +
                 psw_result_meaning(attached) + " (" + std::to_string(attached) + ")";
        return false;
    }
    if (!options.log_file) {
        disable_progress();  // a spinner would tear the log lines on the terminal
    }
    PSWLogSetLevel(nullptr, log_mask_of(options.verbosity > 0 ? options.verbosity : 1));
    return true;
}

}  // namespace psw::cli
