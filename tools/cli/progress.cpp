#include "cli/progress.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace psw::cli {

namespace {
bool g_progress_disabled = false;
}  // namespace

bool progress_wanted()
{
    const char* off = std::getenv("PSW_NO_PROGRESS");
    return !g_progress_disabled && isatty(STDERR_FILENO) == 1 && (off == nullptr || *off == '\0');
}

void disable_progress()
{
    g_progress_disabled = true;
}

void draw_progress_frame(const std::string& label, int frame, std::chrono::milliseconds elapsed,
                         std::optional<std::chrono::milliseconds> total)
{
    static constexpr char kSpinner[] = {'|', '/', '-', '\\'};
    char timing[48];
    if (total) {
        const auto left = *total > elapsed ? *total - elapsed : std::chrono::milliseconds(0);
        std::snprintf(timing, sizeof timing, "%.1f s left",
                      static_cast<double>(left.count()) / 1000.0);
    } else {
        std::snprintf(timing, sizeof timing, "%.1f s",
                      static_cast<double>(elapsed.count()) / 1000.0);
    }
    std::fprintf(stderr, "\r%c %s (%s)\033[K", kSpinner[frame % 4], label.c_str(), timing);
    std::fflush(stderr);
}

void clear_progress()
{
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}

}  // namespace psw::cli
