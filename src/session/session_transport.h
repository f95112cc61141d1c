// The transport part of a request session: the one datagram socket of the current request.
// Reopening replaces the socket of the previous request; the socket is kept until then.
#pragma once

#include "net/datagram_socket.h"

namespace psw {

class CPmsSessionTransport {
public:
    // borrowed: `sockets` must outlive the transport
    explicit CPmsSessionTransport(IPmcDataGramSocketFactory& sockets) noexcept : m_sockets(sockets)
    {
    }
    CPmsSessionTransport(const CPmsSessionTransport&) = delete;
    CPmsSessionTransport& operator=(const CPmsSessionTransport&) = delete;
    virtual ~CPmsSessionTransport() { release(); }

    // Drops the socket, if any.
    virtual void release() noexcept
    {
        if (m_socket != nullptr) {
            m_socket->release();
            m_socket = nullptr;
        }
    }

    // Releases the previous socket and creates a new one bound to `port` (0: any). The factory
    // may do so by reopening the previous socket object in place (a new OS socket all the same).
    Result open(DataGramSocket::EProtocol protocol, uint16_t port) noexcept
    {
        DataGramSocket* previous = m_socket;
        m_socket = nullptr;
        DataGramSocket* socket = nullptr;
        const Result result = m_sockets.recreate(previous, protocol, port, &socket);
        if (result != PSW_SUCCESS) {
            if (socket != nullptr) {
                socket->release();
            }
            return result;
        }
        if (socket == nullptr) {
            return PSW_ERR_SOCKET;
        }
        m_socket = socket;
        return PSW_SUCCESS;
    }

    // not a transfer: owned by the transport until the next open() or release()
    DataGramSocket* socket() const noexcept { return m_socket; }

private:
    IPmcDataGramSocketFactory& m_sockets;
    DataGramSocket* m_socket = nullptr;
};

}  // namespace psw
