#include "net/foreign_socket.h"

#include <sys/socket.h>

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

int pmc_allow_broadcast(int descriptor) noexcept
{
    const int on = 1;
    return ::setsockopt(descriptor, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0 ? 0 : -1;
}

}  // namespace psw
