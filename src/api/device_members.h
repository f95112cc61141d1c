// Destruction of the handle's device members (option set, device session), kept apart so the
// handle needs only their declarations.
#pragma once

namespace psw {

class CPSWBramblingOption;
class PSWDeviceQuery;

// Null is ignored.
// takes ownership of `options` and destroys it
void pmc_destroy_option_set(CPSWBramblingOption* options) noexcept;
// takes ownership of `query` and deletes it
void pmc_destroy_device_query(PSWDeviceQuery* query) noexcept;

}  // namespace psw
