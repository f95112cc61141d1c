// SessionDispatcher: takes every request and hands it to the session for the target's kind and
// version: the library's own RequestSession for community targets with SNMPv1 or SNMPv2c, the
// SNMPv3 session for USM targets with SNMPv3. Any other pair gives PSW_ERR_PARAMETER before
// anything is sent. Each session is made on its first use and lives as long as the dispatcher.
#pragma once

#include "session/request_session_interface.h"

namespace psw {

// The dispatcher offers the session operations itself (same slots).
class SessionDispatcher : public IPmsRequestSession {};

// Where a dispatcher gets its sessions from.
class IPmsSessionFactory {
public:
    // New sessions owned by the caller; null with PSW_ERR_NO_MEMORY when out of memory.
    // the caller owns the result and releases it with release()
    virtual IPmsRequestSession* create_request_session(Result* result) noexcept = 0;
    // the caller owns the result and releases it with release()
    virtual IPmsRequestSession* create_v3_request_session(Result* result) noexcept = 0;

protected:
    ~IPmsSessionFactory() = default;
};

// The factory of the real sessions (real sockets, system tick count).
// not a transfer: a static object that lives as long as the process
IPmsSessionFactory& pms_system_session_factory() noexcept;

// A new dispatcher without sessions, owned by the caller (release()); PSW_ERR_NO_MEMORY when out of
// memory.
// the caller owns the result and releases it with release()
SessionDispatcher* create_session_dispatcher(Result* result = nullptr) noexcept;
// The same over another session factory (which must outlive the dispatcher).
// the caller owns the result (release()); `sessions` is borrowed
SessionDispatcher* create_session_dispatcher(IPmsSessionFactory& sessions,
                                             Result* result = nullptr) noexcept;

}  // namespace psw
