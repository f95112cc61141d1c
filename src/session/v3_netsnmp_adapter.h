// The two short-lived helpers of one SNMPv3 request, both visitors of the target:
//
//   CPmsNetSnmpAdapter   opens a Net-SNMP single session for a USM target (user, level,
//                        protocols, keys from the pass phrases, context, peer name, engine id)
//                        and builds the Net-SNMP PDU from the library's PDU; its end frees a PDU
//                        still held and closes the session.
//   CPmsV3ReplyConverter turns a Net-SNMP reply into the library's PDU (in place) and fills
//                        the USM target from it (user, level, context, source address, engine).
//
// Community targets are refused by both with -5. Both need a live CPmsNetSnmpUse.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"
#include "net/network_address.h"
#include "snmp/pms_pdu.h"
#include "snmp/snmp_target.h"

struct snmp_pdu;
struct snmp_session;

namespace psw {

// Net-SNMP command of a library PDU type for sending (0 for types that are never sent).
int32_t pms_v3_command_of(int32_t pdu_type) noexcept;
// Library PDU type of a received Net-SNMP command (-1 for any other command).
int32_t pms_v3_pdu_type_of(int32_t command) noexcept;

// The Net-SNMP peer name of an address: IPv4 "TEXT[:PORT]", IPv6 "udp6:[TEXT][:PORT]", IPX
// "ipx:TEXT[/PORT]", where PORT is the address's own port or else `target_port` (left out when 0).
// PSW_ERR_PARAMETER for another protocol or a missing text, PSW_ERR_TOO_LONG when `size` is too
// small.
Result pms_v3_peer_name(IPmcNetworkAddress::EProtocol protocol, const char* text,
                        uint16_t address_port, uint16_t target_port, char* out,
                        size_t size) noexcept;

// The address text inside a Net-SNMP transport's formatted address ("UDP: [10.0.0.1]:161->..."
// gives "10.0.0.1"); the whole text when it holds no brackets. PSW_ERR_TOO_LONG when `size` is too
// small.
Result pms_v3_source_text(const char* formatted, char* out, size_t size) noexcept;

// What both helpers share: they visit USM targets only, and keep the target they visit.
class CPmsUsmOnlyVisitor : public IPmsTargetVisitor {
public:
    Result visit_community(IPmsCommunityTarget* /*target*/) noexcept final
    {
        return PSW_ERR_UNSUPPORTED;
    }

protected:
    ~CPmsUsmOnlyVisitor() = default;

    // Keeps `target` for the visit and lets it accept this visitor; answers what the visit
    // answers. borrowed: `target` must outlive this helper's use of it
    Result visit(IPmsSnmpTarget* target) noexcept
    {
        m_target = target;
        return target->accept(this);
    }

    IPmsSnmpTarget* m_target = nullptr;
};

class CPmsNetSnmpAdapter final : public CPmsUsmOnlyVisitor {
public:
    // `probe`: build an engine-id probe instead of the library PDU, and open the session
    // without Net-SNMP's own engine-id discovery.
    explicit CPmsNetSnmpAdapter(bool probe) noexcept : m_probe(probe) {}
    ~CPmsNetSnmpAdapter();
    CPmsNetSnmpAdapter(const CPmsNetSnmpAdapter&) = delete;
    CPmsNetSnmpAdapter& operator=(const CPmsNetSnmpAdapter&) = delete;

    // Opens the session for `target` (through its accept) and builds the PDU from `pdu`.
    Result prepare(IPmsSnmpTarget* target, IPmsPdu* pdu) noexcept;

    Result visit_usm(IPmsUsmTarget* target) noexcept override;

    // The open single session (opaque Net-SNMP handle) or null.
    void* session() const noexcept { return m_session; }
    // Hands the built PDU to the caller (Net-SNMP takes it with the send).
    snmp_pdu* take_pdu() noexcept;
    // Session settings applied before opening (probe mode: callback and its argument).
    void set_callback(int (*callback)(int, snmp_session*, int, snmp_pdu*, void*),
                      void* argument) noexcept;
    // Logs "FUNCTION(): ErrNo = ..., SnmpErrNo = ..., TEXT" for the session's last error and
    // returns its error number.
    int32_t log_session_error(const char* function) const noexcept;

private:
    Result open(IPmsUsmTarget* usm) noexcept;
    Result build_pdu(IPmsPdu* pdu) noexcept;
    Result add_binding(const PmsVarBind* binding) noexcept;

    void* m_session = nullptr;
    snmp_pdu* m_pdu = nullptr;
    int (*m_callback)(int, snmp_session*, int, snmp_pdu*, void*) = nullptr;
    void* m_callback_argument = nullptr;
    int32_t m_open_error = 0;
    bool m_probe;
};

class CPmsV3ReplyConverter final : public CPmsUsmOnlyVisitor {
public:
    // `session`: the single session the reply came through (for its source address).
    CPmsV3ReplyConverter(snmp_pdu* reply, void* session) noexcept
        : m_reply(reply),
          m_session(session)
    {
    }
    CPmsV3ReplyConverter(const CPmsV3ReplyConverter&) = delete;
    CPmsV3ReplyConverter& operator=(const CPmsV3ReplyConverter&) = delete;

    // Fills `target` from the reply (through its accept), then `pdu`.
    Result convert(IPmsSnmpTarget* target, IPmsPdu* pdu) noexcept;

    Result visit_usm(IPmsUsmTarget* target) noexcept override;

private:
    Result convert_pdu(IPmsPdu* pdu) noexcept;

    snmp_pdu* m_reply;
    void* m_session;
};

// The source address text of a message that came through `session` into `out`.
Result pms_v3_message_source(void* session, const snmp_pdu* message, char* out,
                             size_t size) noexcept;

}  // namespace psw
