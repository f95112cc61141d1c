// A spinner on stderr while a blocking library call runs, shown only when stderr is a terminal.
//
// Library calls block the calling thread, so the call runs on a second thread of the program and
// this thread draws the spinner (with the seconds left when the wait is known) until it ends.
// When stderr is not a terminal, or PSW_NO_PROGRESS is set, the call runs directly and nothing
// is written.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace psw::cli {

// True when progress should be drawn on stderr.
bool progress_wanted();
// No spinner for the rest of the run (the library's log lines go to stderr).
void disable_progress();
// Draws one frame: "\r<spinner> <label> (1.4 s left)" or "\r<spinner> <label> (2.0 s)".
void draw_progress_frame(const std::string& label, int frame, std::chrono::milliseconds elapsed,
                         std::optional<std::chrono::milliseconds> total);
// Clears the line of the spinner.
void clear_progress();

// Runs fn() and returns its result; `total` is how long the call may wait, when known.
template <typename Fn>
auto run_with_progress(const std::string& label, std::optional<std::chrono::milliseconds> total,
                       Fn&& fn) -> decltype(fn())
{
    if (!progress_wanted()) {
        return fn();
    }
    using Result = decltype(fn());
    std::mutex mutex;
    std::condition_variable done_signal;
    std::optional<Result> result;
    std::thread worker([&] {
        Result value = fn();
        std::lock_guard<std::mutex> lock(mutex);
        result.emplace(std::move(value));
        done_signal.notify_one();
    });
    const auto start = std::chrono::steady_clock::now();
    int frame = 0;
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!done_signal.wait_for(lock, std::chrono::milliseconds(100),
                                     [&] { return result.has_value(); })) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            draw_progress_frame(label, frame++, elapsed, total);
        }
    }
    worker.join();
    if (frame > 0) {
        clear_progress();
    }
    return std::move(*result);
}

}  // namespace psw::cli
