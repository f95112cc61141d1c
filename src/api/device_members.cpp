#include "api/device_members.h"

namespace psw {

// No device set-up creates these members yet, so there is never one to destroy; the device
// layer replaces these bodies when it builds them.
void pmc_destroy_option_set(CPSWBramblingOption*) noexcept {}
void pmc_destroy_device_query(PSWDeviceQuery*) noexcept {}

}  // namespace psw
