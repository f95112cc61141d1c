// Waiting on descriptors that another library opened (Net-SNMP's session sockets).
#pragma once

#include <sys/select.h>

namespace psw {

// Waits until one of the first `count` descriptors of `set` is readable or `milliseconds`
// have passed. Returns the number of ready descriptors (the set then holds only those), 0 on
// time-out, -1 on failure (the set is then undefined).
int pmc_wait_readable(int count, fd_set* set, unsigned milliseconds) noexcept;

}  // namespace psw
