// Sockets that another library opened and owns (Net-SNMP's session sockets): the few calls
// the library makes on them.
#pragma once

#include <sys/select.h>

namespace psw {

// Waits until one of the first `count` descriptors of `set` is readable or `milliseconds`
// have passed. Returns the number of ready descriptors (the set then holds only those), 0 on
// time-out, -1 on failure (the set is then undefined).
int pmc_wait_readable(int count, fd_set* set, unsigned milliseconds) noexcept;

// Lets the socket send to broadcast addresses (SO_BROADCAST). 0, or -1 on failure.
int pmc_allow_broadcast(int descriptor) noexcept;

}  // namespace psw
