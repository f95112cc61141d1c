// An ordered list of network addresses that owns them.
#pragma once

#include <cstddef>

#include "net/network_address.h"

namespace psw {

class IPmcNetworkAddressList {
public:
    // Takes `address` on success; -2 for null, -3 when memory runs out (the caller keeps it).
    virtual Result append(IPmcNetworkAddress* address) noexcept = 0;
    virtual size_t count() const noexcept = 0;
    // The address at `index`, still owned by the list; null past the end.
    virtual IPmcNetworkAddress* at(size_t index) const noexcept = 0;
    // Destroys the list with every address in it.
    virtual void destroy() noexcept = 0;

protected:
    ~IPmcNetworkAddressList() = default;
};

IPmcNetworkAddressList* create_address_list(Result* result) noexcept;

}  // namespace psw
