#include "net/descriptor_wait.h"

#include <cerrno>

namespace psw {

int pmc_wait_readable(int count, fd_set* set, unsigned milliseconds) noexcept
{
    timeval wait{};
    wait.tv_sec = static_cast<time_t>(milliseconds / 1000u);
    wait.tv_usec = static_cast<suseconds_t>((milliseconds % 1000u) * 1000u);
    int ready = 0;
    do {
        ready = ::select(count, set, nullptr, nullptr, &wait);
    } while (ready < 0 && errno == EINTR);
    return ready;
}

}  // namespace psw
