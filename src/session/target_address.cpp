// The target's only contact with the network address: copying and releasing it.
#include "snmp/snmp_target.h"

#if __has_include("net/network_address.h")
#include "net/network_address.h"
#define PSW_TARGET_HAS_ADDRESS 1
#endif

namespace psw {

IPmcNetworkAddress* pms_clone_target_address(const IPmcNetworkAddress* address,
                                             Result* result) noexcept
{
    if (address == nullptr) {
        set_result(result, PSW_SUCCESS);
        return nullptr;
    }
#ifdef PSW_TARGET_HAS_ADDRESS
    IPmcNetworkAddress* copy = nullptr;
    const Result cloned = const_cast<IPmcNetworkAddress*>(address)->clone(&copy);
    set_result(result, cloned);
    return cloned == PSW_SUCCESS ? copy : nullptr;
#else
    set_result(result, PSW_ERR_UNSUPPORTED);
    return nullptr;
#endif
}

void pms_release_target_address(IPmcNetworkAddress* address) noexcept
{
#ifdef PSW_TARGET_HAS_ADDRESS
    if (address != nullptr) {
        address->release();
    }
#else
    (void)address;
#endif
}

}  // namespace psw
