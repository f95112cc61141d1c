// One discovery: a GET of sysObjectID.0 to a broadcast or multicast address through the
// find-device request, whose answers the finder keeps when they are of a supported model and
// pass the filters.
#pragma once

#include <cstdint>

#include "api/finder.h"
#include "core/result.h"
#include "request/request_objects.h"

namespace psw {

class IPSWPluginUSM;

// Makes a new find-device request; the seam through which tests put a scripted one in place.
// the caller owns the result and releases it with release()
using FindDeviceFactory = IPmcFindDeviceSnmp* (*)(Result* result) noexcept;

struct PSWDiscoveryRequest {
    // borrowed: must outlive the discovery call
    const char* address;  // null: the protocol's default destination
    int32_t protocol;     // network protocol number: 1 UDP/IPv4, 2 IPX, 4 UDP/IPv6
    uint32_t timeout;
    uint32_t retries;
};

// The destination used when the caller names none: "255.255.255.255" for UDP/IPv4 and IPX,
// "ff02::1" for UDP/IPv6; null for any other protocol.
// not a transfer: a static literal
const char* pmc_default_discovery_address(int32_t protocol) noexcept;

// Runs a discovery into `finder` (its list is replaced) with the SNMPv3 values of `usm` and the
// finder's community. `*count` is set to 0 before the exchange and to the number kept after
// it. Failures are logged under "PSW" with the failing operation.
// borrowed: `finder` and `usm` stay the caller's; `count` is the caller's
Result pmc_discover(PSWFinder* finder, const IPSWPluginUSM* usm, const PSWDiscoveryRequest& request,
                    int32_t* count,
                    FindDeviceFactory factory = pmc_create_find_device_snmp) noexcept;

}  // namespace psw
