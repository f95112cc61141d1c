// The datagram socket of the library's own SNMP engine: one unconnected UDP (or IPX) socket,
// bound when it is created, that sends a buffer to an address and waits a bounded time for one
// datagram. Sessions own one socket per request and release it afterwards.
//
// Sessions create sockets through an IPmcDataGramSocketFactory, so that their tests can hand
// them sockets that fail or answer on cue without a network.
#pragma once

#include <cstdint>

#include "core/result.h"
#include "net/network_address.h"

namespace psw {

class CPmcSocketLibrary;

class DataGramSocket {
public:
    using EProtocol = IPmcNetworkAddress::EProtocol;

    virtual void release() noexcept = 0;
    // PSW_SUCCESS; PSW_ERR_PARAMETER for a null argument or a destination this socket cannot
    // reach; PSW_ERR_SEND when the datagram cannot be sent. A short send is only logged.
    // borrowed: `buffer` and `destination` are only read during the call
    virtual Result send(const uint8_t* buffer, uint32_t length,
                        const IPmcNetworkAddress* destination) noexcept = 0;
    // Waits up to `timeout_ms` (-1: without limit; 0: polls once) for one datagram. On success
    // `*received` holds its length and `*source` a new address the caller releases.
    // PSW_ERR_PARAMETER for a null argument; PSW_ERR_TIMEOUT on time-out; PSW_ERR_RECEIVE when
    // waiting or receiving fails (also for a datagram longer than `capacity`, which is then
    // dropped); PSW_ERR_NO_MEMORY or PSW_ERR_FAILED when the source address cannot be built.
    // `*source` is cleared first; `*received` is written once a datagram was read, even when that
    // read failed.
    // `*source` receives a new address the caller releases; `buffer` stays the caller's
    virtual Result receive(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                           int32_t* received, IPmcNetworkAddress** source) noexcept = 0;
    // As receive(), but the source is written into `source`, an address the caller keeps from
    // one datagram to the next (a repeated source is then stored without a new copy). On
    // success `source` holds the datagram's address text, protocol and port; on failure its
    // contents are unspecified. The sockets of the library override it; the default goes
    // through receive().
    // borrowed: `buffer` and `source` stay the caller's
    virtual Result receive_into(uint8_t* buffer, uint32_t capacity, int32_t timeout_ms,
                                int32_t* received, IPmcNetworkAddress* source) noexcept;
    // Closes the OS socket and opens and binds a new one for `protocol` on `port` (0: chosen by
    // the system), keeping this object, its address objects and what it has parsed: the same
    // system calls in the same order as releasing the socket and creating a new one. The codes
    // of create(); after a failure the socket is closed and can only be released.
    // PSW_ERR_UNSUPPORTED (the default, and for another protocol than the socket's) when it
    // cannot be reopened in place, with the socket untouched.
    virtual Result reopen(EProtocol protocol, uint16_t port) noexcept;
    // Protocol, bound address and the port the system chose; owned by the socket.
    // not a transfer: owned by the socket
    virtual IPmcNetworkAddress* local_address() const noexcept = 0;
    // Broadcast on (the low byte of `on` non-zero) or off; IPv6 sockets ignore it (PSW_SUCCESS).
    virtual Result set_broadcast(int32_t on) noexcept = 0;
    // Asks the system for a receive buffer of `bytes` (SO_RCVBUF; the system may give less, or
    // twice as much for its own bookkeeping): a socket that broadcasts gets a burst of replies to
    // one datagram, which must wait in the buffer until they are read. PSW_ERR_PARAMETER for
    // bytes below 1; PSW_ERR_FAILED (logged) when the system refuses.
    virtual Result set_receive_buffer(int32_t bytes) noexcept = 0;
    // Joins a multicast group on the system's default interface (IPv4 and IPv6 sockets).
    // borrowed: `group` is only read
    virtual Result join_multicast(const char* group) noexcept = 0;

    // A new bound socket for protocol 1 (UDP over IPv4), 2 (IPX) or 4 (UDP over IPv6) on `port` (0:
    // chosen by the system). `*out` is cleared first and receives the socket, owned by the caller.
    // PSW_ERR_PARAMETER for a null out or another protocol; PSW_ERR_NO_MEMORY without memory; the
    // start-up code of the socket library; PSW_ERR_SOCKET when the platform refuses the socket;
    // PSW_ERR_ADDRESS when the address cannot be bound; PSW_ERR_FAILED when the bound address
    // cannot be read back.
    // `*out` receives a new socket the caller releases; null on failure
    static Result create(EProtocol protocol, uint16_t port, DataGramSocket** out) noexcept;

protected:
    virtual ~DataGramSocket() = default;
};

// The same, over a given socket binding (which must outlive the socket).
// `*out` receives a new socket the caller releases; null on failure
Result create_datagram_socket(CPmcSocketLibrary& library, DataGramSocket::EProtocol protocol,
                              uint16_t port, DataGramSocket** out) noexcept;

// The component layer's two creator entries: a socket on a port the system chooses, and one
// on a given port. Null with the failure code in `result`.
// the caller owns the result and releases it with release()
DataGramSocket* pmc_create_datagram_socket(DataGramSocket::EProtocol protocol,
                                           Result* result) noexcept;
// the caller owns the result and releases it with release()
DataGramSocket* pmc_create_datagram_socket_on_port(DataGramSocket::EProtocol protocol,
                                                   uint16_t port, Result* result) noexcept;

// Where sessions get their sockets from.
class IPmcDataGramSocketFactory {
public:
    // As DataGramSocket::create.
    // `*out` receives a new socket the caller releases; null on failure
    virtual Result create(DataGramSocket::EProtocol protocol, uint16_t port,
                          DataGramSocket** out) noexcept = 0;
    // The socket of the next request: `previous` (may be null; taken over in every case) is
    // released and a new socket made as by create(). The default first asks `previous` to reopen
    // itself in place (DataGramSocket::reopen) and hands it back on success; when it cannot
    // (PSW_ERR_UNSUPPORTED) it is released and create() called; another failure of the reopen
    // releases it and is returned. `*out` is cleared first; after a failure nothing is left
    // open. PSW_ERR_PARAMETER for a null `out`.
    // `previous` is taken over; `*out` receives a socket the caller releases; null on failure
    virtual Result recreate(DataGramSocket* previous, DataGramSocket::EProtocol protocol,
                            uint16_t port, DataGramSocket** out) noexcept;

protected:
    ~IPmcDataGramSocketFactory() = default;
};

// The factory of real sockets over the process-wide socket binding.
// not a transfer: a static object that lives as long as the process
IPmcDataGramSocketFactory& pmc_system_datagram_socket_factory() noexcept;

}  // namespace psw
