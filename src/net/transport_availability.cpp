#include "net/transport_availability.h"

#include <cstring>

#include "core/factory.h"
#include "net/adapter_list.h"
#include "net/datagram_socket.h"

namespace psw {

namespace {

bool socket_opens(IPmcNetworkAddress::EProtocol protocol) noexcept
{
    DataGramSocket* socket = nullptr;
    const Result result =
        DataGramSocket::create(static_cast<DataGramSocket::EProtocol>(protocol), 0, &socket);
    OwnedPtr<DataGramSocket> released(socket);
    return result == PSW_SUCCESS && socket != nullptr;
}

}  // namespace

Result pmc_transport_available(CPmcIpHelpLibrary& library, IPmcNetworkAddress::EProtocol protocol,
                               bool* out) noexcept
{
    if (out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    if (protocol != IPmcNetworkAddress::kUdpIpv4 && protocol != IPmcNetworkAddress::kUdpIpv6) {
        *out = socket_opens(protocol);
        return PSW_SUCCESS;
    }
    PmcVector<PmcAdapter> adapters;
    Result result = library.load_ip_helper();
    if (result == PSW_SUCCESS) {
        result = pmc_read_adapters(library.api(), &adapters);
    }
    if (result == PSW_ERR_NO_MEMORY) {
        return result;
    }
    if (protocol == IPmcNetworkAddress::kUdpIpv4) {
        if (result == PSW_ERR_NOT_AVAILABLE) {
            *out = socket_opens(protocol);
            return PSW_SUCCESS;
        }
        bool available = false;
        for (const PmcAdapter& adapter : adapters) {
            available = available || (!adapter.loopback && adapter.ipv4[0] != '\0' &&
                                       std::strcmp(adapter.ipv4, "0.0.0.0") != 0);
        }
        *out = available;
        return PSW_SUCCESS;
    }
    bool available = false;
    for (const PmcAdapter& adapter : adapters) {
        available = available || (!adapter.loopback && !adapter.tunnel && adapter.has_ipv6);
    }
    *out = available;
    return PSW_SUCCESS;
}

}  // namespace psw
