// An ordered list of network addresses that owns them: the library's owning object list.
#pragma once

#include "core/pms_object_list.h"
#include "net/network_address.h"

namespace psw {

using IPmcNetworkAddressList = IPmsObjectList<IPmcNetworkAddress>;

// the caller owns the result and releases it with release()
inline IPmcNetworkAddressList* create_address_list(Result* result) noexcept
{
    return create_object_list<IPmcNetworkAddress>(result);
}

}  // namespace psw
