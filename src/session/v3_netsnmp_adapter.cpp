#include "session/v3_netsnmp_adapter.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/factory.h"
#include "log/log_channel.h"
#include "net/network_address.h"
#include "session/netsnmp_runtime.h"
#include "snmp/pms_packet_coder.h"
#include "snmp/pms_varbind.h"

namespace psw {

namespace {

struct CommandRow {
    int32_t pdu_type;
    int32_t sent_as;  // 0: never sent
    int32_t received_from;
};

constexpr CommandRow kCommands[] = {
    {kPmsGetRequest, SNMP_MSG_GET, SNMP_MSG_GET},
    {kPmsGetNextRequest, SNMP_MSG_GETNEXT, SNMP_MSG_GETNEXT},
    {kPmsResponse, 0, SNMP_MSG_RESPONSE},
    {kPmsSetRequest, SNMP_MSG_SET, SNMP_MSG_SET},
    {kPmsTrap, SNMP_MSG_TRAP2, SNMP_MSG_TRAP2},
    {kPmsGetBulkRequest, 0, SNMP_MSG_GETBULK},
    {kPmsInformRequest, 0, SNMP_MSG_INFORM},
    {kPmsReport, 0, SNMP_MSG_REPORT},
};

// A protocol code of the USM settings and its Net-SNMP protocol identifier.
struct ProtocolRow {
    int32_t code;
    const oid* identifier;
    size_t length;
};

const ProtocolRow kAuthProtocols[] = {
    {IPmsUsmTarget::kAuthHmacMd5, usmHMACMD5AuthProtocol, OID_LENGTH(usmHMACMD5AuthProtocol)},
    {IPmsUsmTarget::kAuthHmacSha1, usmHMACSHA1AuthProtocol, OID_LENGTH(usmHMACSHA1AuthProtocol)},
    {IPmsUsmTarget::kAuthHmacSha224, usmHMAC128SHA224AuthProtocol,
     OID_LENGTH(usmHMAC128SHA224AuthProtocol)},
    {IPmsUsmTarget::kAuthHmacSha256, usmHMAC192SHA256AuthProtocol,
     OID_LENGTH(usmHMAC192SHA256AuthProtocol)},
    {IPmsUsmTarget::kAuthHmacSha384, usmHMAC256SHA384AuthProtocol,
     OID_LENGTH(usmHMAC256SHA384AuthProtocol)},
    {IPmsUsmTarget::kAuthHmacSha512, usmHMAC384SHA512AuthProtocol,
     OID_LENGTH(usmHMAC384SHA512AuthProtocol)},
};

const ProtocolRow kPrivProtocols[] = {
    {IPmsUsmTarget::kPrivDes, usmDESPrivProtocol, OID_LENGTH(usmDESPrivProtocol)},
    {IPmsUsmTarget::kPrivAes, usmAESPrivProtocol, OID_LENGTH(usmAESPrivProtocol)},
    {IPmsUsmTarget::kPrivAes192, usmAES192PrivProtocol, OID_LENGTH(usmAES192PrivProtocol)},
    {IPmsUsmTarget::kPrivAes256, usmAES256PrivProtocol, OID_LENGTH(usmAES256PrivProtocol)},
};

template <size_t N>
const ProtocolRow* find_protocol(const ProtocolRow (&rows)[N], int32_t code) noexcept
{
    for (const ProtocolRow& row : rows) {
        if (row.code == code) {
            return &row;
        }
    }
    return nullptr;
}

// The request id for Net-SNMP: the PDU's own, or a fresh one from the counter when it is 0,
// which Net-SNMP's sends return as their failure.
long request_id_for_netsnmp(IPmsPdu* pdu) noexcept
{
    if (pdu->request_id() == 0) {
        pdu->set_request_id(next_request_id());
    }
    return pdu->request_id();
}

IPmcLogger* snmp_log_channel() noexcept
{
    return pmc_snmp_channel().logger();
}

void log_error(const char* function, int system_error, int snmp_error, const char* text) noexcept
{
    if (text != nullptr && text[0] != '\0') {
        snmp_log_channel()->output(kLogError, "%s(): ErrNo = %d, SnmpErrNo = %d, %s", function,
                                   system_error, snmp_error, text);
    } else {
        snmp_log_channel()->output(kLogError, "%s(): unknown", function);
    }
}

// Net-SNMP security levels 1..3 and the library's 0..2.
constexpr int kNetSnmpLevels[] = {SNMP_SEC_LEVEL_NOAUTH, SNMP_SEC_LEVEL_AUTHNOPRIV,
                                  SNMP_SEC_LEVEL_AUTHPRIV};

// Generates a key (Ku) from a pass phrase with the hash of `hash` into `key`.
Result generate_key(const ProtocolRow& hash, const char* phrase, u_char* key,
                    size_t* key_length) noexcept
{
    *key_length = USM_AUTH_KU_LEN;
    const int rc =
        generate_Ku(hash.identifier, static_cast<u_int>(hash.length),
                    reinterpret_cast<const u_char*>(phrase), std::strlen(phrase), key, key_length);
    if (rc != SNMPERR_SUCCESS) {
        log_error("generate_Ku", 0, rc, snmp_api_errstring(rc));
        *key_length = 0;
        return pms_netsnmp_result(rc);
    }
    return PSW_SUCCESS;
}

// Sets one protocol of the session settings and, when `phrase` is not empty, its key made with
// the hash of `hash`; the key length stays 0 without a phrase.
// borrowed: the protocol's identifier is a static table row; `phrase` is only read
Result set_protocol_key(const ProtocolRow& protocol, const ProtocolRow& hash, const char* phrase,
                        oid** identifier, size_t* identifier_length, u_char* key,
                        size_t* key_length) noexcept
{
    *identifier = const_cast<oid*>(protocol.identifier);
    *identifier_length = protocol.length;
    *key_length = 0;
    return phrase[0] != '\0' ? generate_key(hash, phrase, key, key_length) : PSW_SUCCESS;
}

// The PDU's binding list into *out, after giving the PDU a new empty one when it has none.
// not a transfer: the list stays the PDU's
Result bindings_of(IPmsPdu* pdu, PmsVarBindList** out) noexcept
{
    PmsVarBindList* list = pdu->bindings();
    if (list == nullptr) {
        Result result = PSW_SUCCESS;
        list = create_varbind_list(&result);
        if (list == nullptr) {
            return result;
        }
        pdu->set_bindings(list);
    }
    *out = list;
    return PSW_SUCCESS;
}

// The tag of a library value for a Net-SNMP variable type; 0 for a type without one.
uint32_t value_tag_of(u_char type) noexcept
{
    switch (type) {
        case ASN_INTEGER: return kPmsInteger;
        case ASN_OCTET_STR:
        case ASN_PRIV_IMPLIED_OCTET_STR: return kPmsOctetString;  // 196: an implied index string
        case ASN_NULL: return kPmsNull;
        case ASN_OBJECT_ID: return kPmsObjectId;
        case ASN_IPADDRESS: return kPmsIpAddress;
        case ASN_COUNTER: return kPmsCounter32;
        case ASN_GAUGE:
        case ASN_UINTEGER: return kPmsGauge32;
        case ASN_TIMETICKS: return kPmsTimeTicks;
        case ASN_OPAQUE: return kPmsOpaque;
        case ASN_COUNTER64: return kPmsCounter64;
        case SNMP_NOSUCHOBJECT: return kPmsNoSuchObject;
        case SNMP_NOSUCHINSTANCE: return kPmsNoSuchInstance;
        case SNMP_ENDOFMIBVIEW: return kPmsEndOfMibView;
        default: return 0;
    }
}

Result fill_value(IPmsValue* value, const netsnmp_variable_list& variable) noexcept
{
    switch (value->type()) {
        case kPmsInteger: return value->set_int(static_cast<int32_t>(*variable.val.integer));
        case kPmsOctetString:
        case kPmsOpaque:
        case kPmsIpAddress: return value->set_octets(variable.val.string, variable.val_len);
        case kPmsCounter32:
        case kPmsGauge32:
        case kPmsTimeTicks: return value->set_uint(static_cast<uint32_t>(*variable.val.integer));
        case kPmsCounter64: {
            const Result high =
                value->set_high(static_cast<uint32_t>(variable.val.counter64->high));
            return high != PSW_SUCCESS
                       ? high
                       : value->set_low(static_cast<uint32_t>(variable.val.counter64->low));
        }
        case kPmsObjectId: {
            IPmsOid* identifier = value->extension();
            identifier->clear();
            const size_t count = variable.val_len / sizeof(oid);
            for (size_t i = 0; i < count; ++i) {
                const Result result =
                    identifier->append(static_cast<uint32_t>(variable.val.objid[i]));
                if (result != PSW_SUCCESS) {
                    return result;
                }
            }
            return PSW_SUCCESS;
        }
        default: return PSW_SUCCESS;  // null and the exceptions carry nothing
    }
}

IPmsOid* oid_of(const netsnmp_variable_list& variable, Result* result) noexcept
{
    OwnedPtr<IPmsOid> name(create_oid(result));
    if (!name) {
        return nullptr;
    }
    for (size_t i = 0; i < variable.name_length; ++i) {
        const Result appended = name->append(static_cast<uint32_t>(variable.name[i]));
        if (appended != PSW_SUCCESS) {
            set_result(result, appended);
            return nullptr;
        }
    }
    return name.release();
}

// Overwrites `binding` (or makes a new one when null) from a reply variable.
Result convert_binding(PmsVarBindList& list, uint32_t index,
                       const netsnmp_variable_list& variable) noexcept
{
    const uint32_t tag = value_tag_of(variable.type);
    if (tag == 0) {
        return PSW_ERR_NOT_AVAILABLE;
    }
    Result result = PSW_SUCCESS;
    IPmsOid* name = oid_of(variable, &result);
    if (name == nullptr) {
        return result;
    }
    PmsVarBind* binding = list.at(index);
    if (binding == nullptr) {
        IPmsValue* value = create_value(tag, &result);
        if (value == nullptr) {
            name->release();
            return result;
        }
        result = list.add(name, value);
        if (result != PSW_SUCCESS) {
            return result;
        }
        binding = list.at(index);
    } else {
        binding->set_name(name);
        if (binding->value() == nullptr || binding->value()->type() != tag) {
            IPmsValue* value = create_value(tag, &result);
            if (value == nullptr) {
                return result;
            }
            binding->set_value(value);
        }
    }
    return fill_value(binding->value(), variable);
}

}  // namespace

int32_t pms_v3_command_of(int32_t pdu_type) noexcept
{
    for (const CommandRow& row : kCommands) {
        if (row.pdu_type == pdu_type) {
            return row.sent_as;
        }
    }
    return 0;
}

int32_t pms_v3_pdu_type_of(int32_t command) noexcept
{
    for (const CommandRow& row : kCommands) {
        if (row.received_from == command) {
            return row.pdu_type;
        }
    }
    return kPmsPduUnset;
}

Result pms_v3_peer_name(IPmcNetworkAddress::EProtocol protocol, const char* text,
                        uint16_t address_port, uint16_t target_port, char* out,
                        size_t size) noexcept
{
    if (text == nullptr || out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    const unsigned port = address_port != 0 ? address_port : target_port;
    int written = -1;
    switch (protocol) {
        case IPmcNetworkAddress::kUdpIpv4:
            written = port != 0 ? std::snprintf(out, size, "%s:%u", text, port)
                                : std::snprintf(out, size, "%s", text);
            break;
        case IPmcNetworkAddress::kUdpIpv6:
            written = port != 0 ? std::snprintf(out, size, "udp6:[%s]:%u", text, port)
                                : std::snprintf(out, size, "udp6:[%s]", text);
            break;
        case IPmcNetworkAddress::kIpx:
            written = port != 0 ? std::snprintf(out, size, "ipx:%s/%u", text, port)
                                : std::snprintf(out, size, "ipx:%s", text);
            break;
        default: return PSW_ERR_PARAMETER;
    }
    return written >= 0 && static_cast<size_t>(written) < size ? PSW_SUCCESS : PSW_ERR_TOO_LONG;
}

Result pms_v3_source_text(const char* formatted, char* out, size_t size) noexcept
{
    if (formatted == nullptr || out == nullptr || size == 0) {
        return PSW_ERR_PARAMETER;
    }
    const char* begin = std::strchr(formatted, '[');
    const char* end = begin != nullptr ? std::strchr(begin, ']') : nullptr;
    if (begin != nullptr && end != nullptr) {
        ++begin;
    } else {
        begin = formatted;
        end = formatted + std::strlen(formatted);
    }
    const size_t length = static_cast<size_t>(end - begin);
    if (length >= size) {
        return PSW_ERR_TOO_LONG;
    }
    std::memcpy(out, begin, length);
    out[length] = '\0';
    return PSW_SUCCESS;
}

Result pms_v3_message_source(void* session, const snmp_pdu* message, char* out,
                             size_t size) noexcept
{
    netsnmp_transport* transport = session != nullptr ? snmp_sess_transport(session) : nullptr;
    if (transport == nullptr || transport->f_fmtaddr == nullptr || message == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    char* formatted = transport->f_fmtaddr(transport, message->transport_data,
                                           static_cast<int>(message->transport_data_length));
    if (formatted == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    const Result result = pms_v3_source_text(formatted, out, size);
    SNMP_FREE(formatted);
    return result;
}

// ------------------------------------------------------------------------------------------
// Adapter

CPmsNetSnmpAdapter::~CPmsNetSnmpAdapter()
{
    if (m_pdu != nullptr) {
        snmp_free_pdu(m_pdu);
    }
    if (m_session != nullptr) {
        // Opening made a user with this session's keys for the engine; it must not serve a
        // later request of another pass phrase.
        const netsnmp_session* settings = snmp_sess_session(m_session);
        if (settings != nullptr && settings->securityName != nullptr) {
            usmUser* user = usm_get_user(settings->securityEngineID, settings->securityEngineIDLen,
                                         settings->securityName);
            if (user != nullptr) {
                usm_remove_user(user);  // answers the list's new head, not the user
                usm_free_user(user);
            }
        }
        snmp_sess_close(m_session);
    }
}

Result CPmsNetSnmpAdapter::prepare(IPmsSnmpTarget* target, IPmsPdu* pdu) noexcept
{
    if (target == nullptr || pdu == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    const Result opened = visit(target);
    return opened != PSW_SUCCESS ? opened : build_pdu(pdu);
}

Result CPmsNetSnmpAdapter::visit_usm(IPmsUsmTarget* target) noexcept
{
    return target != nullptr ? open(target) : PSW_ERR_PARAMETER;
}

snmp_pdu* CPmsNetSnmpAdapter::take_pdu() noexcept
{
    snmp_pdu* pdu = m_pdu;
    m_pdu = nullptr;
    return pdu;
}

void CPmsNetSnmpAdapter::set_callback(int (*callback)(int, snmp_session*, int, snmp_pdu*, void*),
                                      void* argument) noexcept
{
    m_callback = callback;
    m_callback_argument = argument;
}

int32_t CPmsNetSnmpAdapter::log_session_error(const char* function) const noexcept
{
    int system_error = 0;
    int snmp_error = m_open_error;
    char* text = nullptr;
    if (m_session != nullptr) {
        snmp_sess_error(m_session, &system_error, &snmp_error, &text);
    } else {
        text = m_open_error != 0 ? strdup(snmp_api_errstring(m_open_error)) : nullptr;
    }
    log_error(function, system_error, snmp_error, text);
    SNMP_FREE(text);
    return snmp_error;
}

Result CPmsNetSnmpAdapter::open(IPmsUsmTarget* usm) noexcept
{
    if (m_target->version() != kPmsVersion3) {
        return PSW_ERR_PARAMETER;
    }
    netsnmp_session settings;
    snmp_sess_init(&settings);
    settings.version = SNMP_VERSION_3;
    settings.retries = m_target->retries();
    settings.timeout = static_cast<long>(m_target->timeout()) * 1000L;

    char name[IPmsUsmTarget::kMaxSecurityName + 1] = {};
    const size_t name_length = std::strlen(usm->security_name());
    if (name_length > 0) {
        if (name_length > static_cast<size_t>(IPmsUsmTarget::kMaxSecurityName)) {
            return PSW_ERR_PARAMETER;
        }
        std::memcpy(name, usm->security_name(), name_length);
        settings.securityName = name;
        settings.securityNameLen = name_length;
    }

    const int32_t level = usm->security_level();
    if (level < IPmsUsmTarget::kNoAuthNoPriv || level > IPmsUsmTarget::kAuthPriv) {
        return PSW_ERR_PARAMETER;
    }
    settings.securityLevel = kNetSnmpLevels[level];
    if (level != IPmsUsmTarget::kNoAuthNoPriv) {
        const ProtocolRow* auth = find_protocol(kAuthProtocols, usm->auth_protocol());
        if (auth == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const Result keyed = set_protocol_key(
            *auth, *auth, usm->auth_pass_phrase(), &settings.securityAuthProto,
            &settings.securityAuthProtoLen, settings.securityAuthKey, &settings.securityAuthKeyLen);
        if (keyed != PSW_SUCCESS) {
            return keyed;
        }
        if (level == IPmsUsmTarget::kAuthPriv) {
            const ProtocolRow* priv = find_protocol(kPrivProtocols, usm->priv_protocol());
            if (priv == nullptr) {
                return PSW_ERR_PARAMETER;
            }
            const Result private_keyed =
                set_protocol_key(*priv, *auth, usm->priv_pass_phrase(), &settings.securityPrivProto,
                                 &settings.securityPrivProtoLen, settings.securityPrivKey,
                                 &settings.securityPrivKeyLen);
            if (private_keyed != PSW_SUCCESS) {
                return private_keyed;
            }
        }
    }

    const size_t context_length = std::strlen(usm->context_name());
    if (context_length > 0) {
        settings.contextName = const_cast<char*>(usm->context_name());
        settings.contextNameLen = context_length;
    }

    const IPmcNetworkAddress* address = m_target->address();
    if (address == nullptr || address->text() == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    const size_t peer_size = std::strlen(address->text()) + 14 + 1;
    char peer[300];
    if (peer_size > sizeof(peer)) {
        return PSW_ERR_PARAMETER;
    }
    const Result named = pms_v3_peer_name(address->protocol(), address->text(), address->port(),
                                          m_target->port(), peer, peer_size);
    if (named != PSW_SUCCESS) {
        return PSW_ERR_PARAMETER;
    }
    settings.peername = peer;

    size_t engine_length = 0;
    const uint8_t* engine = usm->engine_id(&engine_length);
    if (engine_length > 0) {
        settings.securityEngineID = const_cast<u_char*>(engine);
        settings.securityEngineIDLen = engine_length;
    }
    if (m_probe) {
        // The probe itself finds the engines; Net-SNMP must not probe the broadcast address.
        settings.flags |= SNMP_FLAGS_DONT_PROBE;
        settings.callback = m_callback;
        settings.callback_magic = m_callback_argument;
    }

    m_session = snmp_sess_open(&settings);
    if (m_session == nullptr) {
        m_open_error = settings.s_snmp_errno != 0 ? settings.s_snmp_errno : snmp_errno;
        log_error("snmp_open", settings.s_errno, m_open_error,
                  m_open_error != 0 ? snmp_api_errstring(m_open_error) : nullptr);
        const Result result = pms_netsnmp_result(m_open_error);
        return result == PSW_ERR_SNMPV3 ? PSW_ERR_PARAMETER : result;
    }
    return PSW_SUCCESS;
}

Result CPmsNetSnmpAdapter::build_pdu(IPmsPdu* pdu) noexcept
{
    if (m_probe) {
        m_pdu = snmp_pdu_create(SNMP_MSG_GET);
        if (m_pdu == nullptr) {
            log_error("snmpv3_build_probe_pdu", errno, SNMPERR_MALLOC, nullptr);
            return PSW_ERR_NO_MEMORY;
        }
        // An unauthenticated GET without bindings from the empty user: every engine answers
        // it with a report that carries its engine id.
        m_pdu->version = SNMP_VERSION_3;
        m_pdu->securityName = strdup("");
        m_pdu->securityNameLen = 0;
        m_pdu->securityLevel = SNMP_SEC_LEVEL_NOAUTH;
        m_pdu->securityModel = SNMP_SEC_MODEL_USM;
        m_pdu->reqid = request_id_for_netsnmp(pdu);
        if (usm_get_user(nullptr, 0, m_pdu->securityName) == nullptr) {
            usmUser* user = usm_create_user();
            if (user == nullptr || m_pdu->securityName == nullptr) {
                log_error("snmpv3_build_probe_pdu", errno, SNMPERR_MALLOC, nullptr);
                return PSW_ERR_NO_MEMORY;
            }
            user->name = strdup("");
            user->secName = strdup("");
            usm_add_user(user);
        }
        return PSW_SUCCESS;
    }

    m_pdu = snmp_pdu_create(pms_v3_command_of(pdu->type()));
    if (m_pdu == nullptr) {
        log_error("snmp_pdu_create", errno, SNMPERR_MALLOC, nullptr);
        return PSW_ERR_NO_MEMORY;
    }
    m_pdu->reqid = request_id_for_netsnmp(pdu);
    PmsVarBindList* list = nullptr;
    const Result listed = bindings_of(pdu, &list);
    if (listed != PSW_SUCCESS) {
        return listed;
    }
    for (uint32_t i = 0; i < list->count(); ++i) {
        const Result result = add_binding(list->at(i));
        if (result != PSW_SUCCESS) {
            return result;
        }
    }
    return PSW_SUCCESS;
}

Result CPmsNetSnmpAdapter::add_binding(const PmsVarBind* binding) noexcept
{
    if (binding == nullptr || binding->name() == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    // The object identifier's sub-identifiers, at most MAX_OID_LEN of them.
    oid name[MAX_OID_LEN];
    const IPmsOid* identifier = binding->name();
    const uint32_t count = identifier->count();
    if (count == 0 || count > MAX_OID_LEN) {
        log_error("snmp_parse_oid", 0, SNMPERR_LONG_OID, snmp_api_errstring(SNMPERR_LONG_OID));
        return PSW_ERR_PARAMETER;
    }
    for (uint32_t i = 0; i < count; ++i) {
        name[i] = static_cast<oid>(identifier->element(i));
    }
    const size_t length = count;

    const IPmsValue* value = binding->value();
    const uint32_t tag = value != nullptr ? value->type() : kPmsNull;
    netsnmp_variable_list* added = nullptr;
    switch (tag) {
        case kPmsNull: added = snmp_add_null_var(m_pdu, name, length); break;
        case kPmsInteger: {
            const long number = value->get_int();
            added =
                snmp_pdu_add_variable(m_pdu, name, length, ASN_INTEGER, &number, sizeof(number));
            break;
        }
        case kPmsCounter32:
        case kPmsGauge32:
        case kPmsTimeTicks: {
            const u_char type = tag == kPmsCounter32 ? ASN_COUNTER
                                : tag == kPmsGauge32 ? ASN_GAUGE
                                                     : ASN_TIMETICKS;
            const u_long number = value->get_uint();
            added = snmp_pdu_add_variable(m_pdu, name, length, type, &number, sizeof(number));
            break;
        }
        case kPmsCounter64: {
            counter64 number{};
            number.high = value->get_high();
            number.low = value->get_low();
            added =
                snmp_pdu_add_variable(m_pdu, name, length, ASN_COUNTER64, &number, sizeof(number));
            break;
        }
        case kPmsOctetString:
        case kPmsIpAddress: {
            size_t size = 0;
            const uint8_t* bytes = value->get_octets(&size);
            added = snmp_pdu_add_variable(m_pdu, name, length,
                                          tag == kPmsIpAddress ? ASN_IPADDRESS : ASN_OCTET_STR,
                                          bytes, size);
            break;
        }
        case kPmsObjectId: {
            const IPmsOid* object = const_cast<IPmsValue*>(value)->extension();
            oid contents[MAX_OID_LEN];
            const uint32_t sub_ids = object != nullptr ? object->count() : 0;
            if (sub_ids > MAX_OID_LEN) {
                return PSW_ERR_PARAMETER;
            }
            for (uint32_t i = 0; i < sub_ids; ++i) {
                contents[i] = static_cast<oid>(object->element(i));
            }
            added = snmp_pdu_add_variable(m_pdu, name, length, ASN_OBJECT_ID, contents,
                                          sub_ids * sizeof(oid));
            break;
        }
        default: return PSW_ERR_UNSUPPORTED;
    }
    if (added == nullptr) {
        log_error("snmp_add_var", errno, SNMPERR_MALLOC, snmp_api_errstring(SNMPERR_MALLOC));
        return PSW_ERR_NO_MEMORY;
    }
    return PSW_SUCCESS;
}

// ------------------------------------------------------------------------------------------
// Reply converter

Result CPmsV3ReplyConverter::convert(IPmsSnmpTarget* target, IPmsPdu* pdu) noexcept
{
    if (m_reply == nullptr || target == nullptr || pdu == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    if (m_reply->version != SNMP_VERSION_3) {
        return PSW_ERR_PARAMETER;
    }
    const Result filled = visit(target);
    return filled != PSW_SUCCESS ? filled : convert_pdu(pdu);
}

Result CPmsV3ReplyConverter::visit_usm(IPmsUsmTarget* usm) noexcept
{
    if (usm == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    char name[IPmsUsmTarget::kMaxSecurityName + 1] = {};
    if (m_reply->securityName != nullptr) {
        const size_t length = m_reply->securityNameLen < sizeof(name) - 1 ? m_reply->securityNameLen
                                                                          : sizeof(name) - 1;
        std::memcpy(name, m_reply->securityName, length);
    }
    Result result = usm->set_security_name(name);
    if (result != PSW_SUCCESS) {
        return result;
    }
    int32_t level = -1;
    for (int32_t i = 0; i < 3; ++i) {
        if (kNetSnmpLevels[i] == m_reply->securityLevel) {
            level = i;
        }
    }
    if (level < 0) {
        return PSW_ERR_PARAMETER;
    }
    usm->set_security_level(level);

    char context[513] = {};
    if (m_reply->contextName != nullptr) {
        const size_t length = m_reply->contextNameLen < sizeof(context) - 1
                                  ? m_reply->contextNameLen
                                  : sizeof(context) - 1;
        std::memcpy(context, m_reply->contextName, length);
    }
    result = usm->set_context_name(context);
    if (result != PSW_SUCCESS) {
        return result;
    }

    char source[128];
    result = pms_v3_message_source(m_session, m_reply, source, sizeof(source));
    if (result != PSW_SUCCESS) {
        return result;
    }
    IPmcNetworkAddress* address = create_address(source, 0, &result);
    if (address == nullptr) {
        return result;
    }
    result = m_target->set_address(address);
    address->release();
    if (result != PSW_SUCCESS) {
        return result;
    }
    return usm->set_engine_id(m_reply->securityEngineID, m_reply->securityEngineIDLen);
}

Result CPmsV3ReplyConverter::convert_pdu(IPmsPdu* pdu) noexcept
{
    PmsVarBindList* list = nullptr;
    const Result listed = bindings_of(pdu, &list);
    if (listed != PSW_SUCCESS) {
        return listed;
    }
    uint32_t index = 0;
    for (const netsnmp_variable_list* variable = m_reply->variables; variable != nullptr;
         variable = variable->next_variable, ++index) {
        const Result result = convert_binding(*list, index, *variable);
        if (result != PSW_SUCCESS) {
            return result;
        }
    }
    list->truncate(index);

    pdu->set_type(pms_v3_pdu_type_of(m_reply->command));
    pdu->set_request_id(static_cast<int32_t>(m_reply->reqid));
    pdu->set_error_index(static_cast<int32_t>(m_reply->errindex));
    const long status = m_reply->errstat;
    if (status < 0 || status > 18) {
        return PSW_ERR_V3_STATUS;
    }
    pdu->set_error_status(static_cast<int32_t>(status));
    if (status != 0) {
        list->mark_error(static_cast<int32_t>(status), static_cast<int32_t>(m_reply->errindex));
    } else {
        list->mark_all(0);
    }
    return PSW_SUCCESS;
}

}  // namespace psw
