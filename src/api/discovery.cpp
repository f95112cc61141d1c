#include "api/discovery.h"

#include "core/factory.h"
#include "core/pms_octets.h"
#include "log/log_registry.h"
#include "net/network_address.h"
#include "query/mib_objects.h"
#include "query/plugin_usm.h"
#include "query/record_fields.h"
#include "snmp/pms_packet.h"
#include "snmp/pms_pdu.h"
#include "snmp/snmp_target.h"

namespace psw {

namespace {

constexpr uint16_t kUdpPort = 161;
constexpr uint16_t kIpxPort = 36879;

// Text of an answer's source address and of its first value, each cut to a 256-byte buffer;
// empty when the packet lacks them.
void answer_texts(const IPmsSnmpPacket* packet, char (&address)[256],
                  char (&sys_object_id)[256]) noexcept
{
    address[0] = '\0';
    sys_object_id[0] = '\0';
    const IPmsSnmpTarget* target = packet->target();
    const IPmcNetworkAddress* source = target != nullptr ? target->address() : nullptr;
    if (source != nullptr) {
        pmc_copy_text(address, sizeof address, source->text());
    }
    const IPmsPdu* pdu = packet->pdu();
    const PmsVarBindList* bindings = pdu != nullptr ? pdu->bindings() : nullptr;
    const PmsVarBind* first = bindings != nullptr ? bindings->at(0) : nullptr;
    const IPmsValue* value = first != nullptr ? first->value() : nullptr;
    if (value != nullptr) {
        OwnedPtr<PmsOctets> text(value->to_text());
        if (text != nullptr) {
            pmc_copy_text(sys_object_id, sizeof sys_object_id, text->c_str());
        }
    }
}

}  // namespace

const char* pmc_default_discovery_address(int32_t protocol) noexcept
{
    switch (protocol) {
        case 1:
        case 2: return "255.255.255.255";
        case 4: return "ff02::1";
        default: return nullptr;
    }
}

Result pmc_discover(PSWFinder* finder, const IPSWPluginUSM* usm, const PSWDiscoveryRequest& request,
                    int32_t* count, FindDeviceFactory factory) noexcept
{
    const char* destination = request.address != nullptr
                                  ? request.address
                                  : pmc_default_discovery_address(request.protocol);
    if (destination == nullptr) {
        return PSW_ERR_UNSUPPORTED;
    }
    Result result = PSW_SUCCESS;
    OwnedPtr<IPmcFindDeviceSnmp> find(factory(&result));
    if (find == nullptr) {
        if (result == PSW_SUCCESS) {
            result = PSW_ERR_NO_MEMORY;
        }
        pmc_log("PSW", 1, "pmc_create_find_device_snmp()", result);
        return result;
    }
    int32_t protocol = 0;
    result = find->protocol_of(destination, &protocol);
    if (result != PSW_SUCCESS) {
        return result;
    }
    if (protocol != request.protocol) {
        return PSW_ERR_PARAMETER;
    }

    const PmcUsmValues values = {usm->user_name(),        usm->security_level(),
                                 usm->auth_protocol(),    usm->priv_protocol(),
                                 usm->auth_pass_phrase(), usm->priv_pass_phrase(),
                                 usm->context_name()};
    const uint16_t port = request.protocol == 2 ? kIpxPort : kUdpPort;
    if (finder->community()[0] != '\0') {
        result = find->set_community(finder->community());
        if (result != PSW_SUCCESS) {
            pmc_log("PSW", 1, "m_pFindDeviceSnmp->set_community()", result);
            return result;
        }
    }
    result =
        find->init(destination, request.protocol, port, usm->security_mode(), values,
                   static_cast<int32_t>(request.timeout), static_cast<int32_t>(request.retries), 0);
    if (result != PSW_SUCCESS) {
        pmc_log("PSW", 1, "m_pFindDeviceSnmp->init()", result);
        return result;
    }

    finder->start_list();
    *count = 0;
    result = find->add_oid_string(mib::kSysObjectId);
    if (result != PSW_SUCCESS) {
        pmc_log("PSW", 1, "m_pFindDeviceSnmp->add_oid_string()", result);
        return result;
    }
    IPmsSnmpPacketList* received = nullptr;
    result = find->send_broad_cast(&received);
    OwnedPtr<IPmsSnmpPacketList> answers(received);
    if (result != PSW_SUCCESS) {
        pmc_log("PSW", 1, "m_pFindDeviceSnmp->send_broad_cast()", result);
        return result;
    }
    if (answers == nullptr) {
        return PSW_SUCCESS;
    }

    PmsListIterator* iterator = answers->new_iterator(&result);
    if (iterator == nullptr) {
        return result;
    }
    for (const IPmsSnmpPacket* packet = answers->at(iterator); packet != nullptr;
         packet = answers->at(iterator)) {
        char address[256];
        char sys_object_id[256];
        answer_texts(packet, address, sys_object_id);
        result = finder->consider(sys_object_id, address);
        if (result != PSW_SUCCESS) {
            break;
        }
        answers->advance(iterator);
    }
    answers->release_iterator(iterator);
    *count = finder->count();
    return result;
}

}  // namespace psw
