// Runs one codec operation a fixed number of times, for instruction counts under
//   valgrind --tool=callgrind build/bench/psw_codec_profile decode 10000
// Operations: encode, decode, decode-new-names, decode-new-names-text, encode-new-names (the
// library) and, when built with libsnmp, netsnmp-encode and netsnmp-decode. Start-up costs are the same for every count, so the difference between two
// counts divided by the difference of iterations is the cost of one message.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench_messages.h"
#include "core/factory.h"
#include "snmp/pms_packet_coder.h"

#ifdef PSW_BENCH_NETSNMP
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#endif

namespace {

int run_encode(long count)
{
    using namespace psw;
    OwnedPtr<IPmsPdu> pdu = make_get_request();
    OwnedPtr<IPmsSnmpTarget> target = make_get_target();
    PmsPacketBuffer buffer;
    const auto expected = from_hex(kGet);
    for (long i = 0; i < count; ++i) {
        if (pms_packet_coder()->encode(pdu.get(), target.get(), &buffer, nullptr) != PSW_SUCCESS) {
            return 1;
        }
    }
    return buffer.data_length() == expected.size() &&
                   std::memcmp(buffer.data(), expected.data(), expected.size()) == 0
               ? 0
               : 1;
}

int run_decode(long count)
{
    using namespace psw;
    const auto message = from_hex(kResponse);
    PmsPacketBuffer buffer;
    buffer.attach_received(message.data(), message.size());
    OwnedPtr<IPmsPdu> pdu(create_pdu());
    OwnedPtr<IPmsSnmpTarget> target(create_community_target());
    for (long i = 0; i < count; ++i) {
        if (pms_packet_coder()->decode(&buffer, pdu.get(), target.get(), 0) != PSW_SUCCESS) {
            return 1;
        }
    }
    return 0;
}

// Decodes the Response and the other one in turn into one PDU, so that every name differs from
// the one the PDU holds (a walk's case); with `read_text`, every name's text is read after
// each decode, as a reader of the rows does.
int run_decode_new_names(long count, bool read_text)
{
    using namespace psw;
    AlternatingResponses responses;
    PmsPacketBuffer* buffers = responses.buffers;
    OwnedPtr<IPmsPdu> pdu(create_pdu());
    OwnedPtr<IPmsSnmpTarget> target(create_community_target());
    size_t characters = 0;
    for (long i = 0; i < count; ++i) {
        if (pms_packet_coder()->decode(&buffers[i & 1], pdu.get(), target.get(), 0) !=
            PSW_SUCCESS) {
            return 1;
        }
        if (read_text) {
            for (uint32_t b = 0; b < pdu->bindings()->count(); ++b) {
                characters += std::strlen(pdu->bindings()->at(b)->name()->text());
            }
        }
    }
    const char* last = pdu->bindings()->at(9)->name()->text();
    const char* want = (count & 1) != 0 ? "1.3.6.1.2.1.43.8.2.1.11.1" : "1.3.6.1.2.1.43.8.2.1.11.2";
    return std::strcmp(last, want) == 0 && (!read_text || characters != 0) ? 0 : 1;
}

// The GetRequest with its names assigned anew before each encode, from the names of the
// Response and of the other one in turn (a walk asks next for the names of the last reply).
int run_encode_new_names(long count)
{
    using namespace psw;
    OwnedPtr<IPmsPdu> pdu = make_get_request();
    OwnedPtr<IPmsSnmpTarget> target = make_get_target();
    AlternatingResponses responses;
    PmsPacketBuffer* buffers = responses.buffers;
    OwnedPtr<IPmsPdu> replies[2] = {OwnedPtr<IPmsPdu>(create_pdu()),
                                    OwnedPtr<IPmsPdu>(create_pdu())};
    OwnedPtr<IPmsSnmpTarget> reply_target(create_community_target());
    for (int r = 0; r < 2; ++r) {
        if (pms_packet_coder()->decode(&buffers[r], replies[r].get(), reply_target.get(), 0) !=
            PSW_SUCCESS) {
            return 1;
        }
    }
    PmsPacketBuffer buffer;
    for (long i = 0; i < count; ++i) {
        PmsVarBindList* names = replies[i & 1]->bindings();
        for (uint32_t b = 0; b < names->count(); ++b) {
            if (pdu->bindings()->at(b)->name()->assign(names->at(b)->name()) != PSW_SUCCESS) {
                return 1;
            }
        }
        if (pms_packet_coder()->encode(pdu.get(), target.get(), &buffer, nullptr) != PSW_SUCCESS) {
            return 1;
        }
    }
    // The last message names what the last reply named.
    const auto expected = from_hex((count & 1) != 0 ? kGet : "");
    return count % 2 == 0 || (buffer.data_length() == expected.size() &&
                              std::memcmp(buffer.data(), expected.data(), expected.size()) == 0)
               ? 0
               : 1;
}

#ifdef PSW_BENCH_NETSNMP
void init_netsnmp()
{
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, 1);
    setenv("MIBS", "", 1);
    init_snmp("psw_profile");
}

int run_netsnmp_encode(long count)
{
    init_netsnmp();
    netsnmp_session session;
    snmp_sess_init(&session);
    session.version = SNMP_VERSION_1;
    static char community[] = "public";
    session.community = reinterpret_cast<u_char*>(community);
    session.community_len = 6;
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
    pdu->reqid = 0x12345678;
    pdu->version = SNMP_VERSION_1;
    for (int column = 2; column <= 11; ++column) {
        oid name[] = {1, 3, 6, 1, 2, 1, 43, 8, 2, 1, static_cast<oid>(column), 1};
        snmp_add_null_var(pdu, name, 12);
    }
    static u_char storage[1472];
    int failed = 0;
    for (long i = 0; i < count; ++i) {
        u_char* packet = storage;
        size_t length = sizeof(storage);
        size_t offset = 0;
        failed |= snmp_build(&packet, &length, &offset, &session, pdu);
    }
    snmp_free_pdu(pdu);
    return failed != 0 ? 1 : 0;
}

int run_netsnmp_decode(long count)
{
    init_netsnmp();
    auto message = from_hex(kResponse);
    for (long i = 0; i < count; ++i) {
        u_char community[128];
        size_t community_len = sizeof(community);
        long version = 0;
        size_t length = message.size();
        u_char* data =
            snmp_comstr_parse(message.data(), &length, community, &community_len, &version);
        netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_RESPONSE);
        pdu->version = version;
        const int parsed = data != nullptr ? snmp_pdu_parse(pdu, data, &length) : -1;
        snmp_free_pdu(pdu);
        if (parsed != 0) {
            return 1;
        }
    }
    return 0;
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    const std::string what = argc > 1 ? argv[1] : "";
    const long count = argc > 2 ? std::atol(argv[2]) : 10000;
    int failed = 2;
    if (what == "encode") {
        failed = run_encode(count);
    } else if (what == "decode") {
        failed = run_decode(count);
    } else if (what == "decode-new-names") {
        failed = run_decode_new_names(count, false);
    } else if (what == "decode-new-names-text") {
        failed = run_decode_new_names(count, true);
    } else if (what == "encode-new-names") {
        failed = run_encode_new_names(count);
#ifdef PSW_BENCH_NETSNMP
    } else if (what == "netsnmp-encode") {
        failed = run_netsnmp_encode(count);
    } else if (what == "netsnmp-decode") {
        failed = run_netsnmp_decode(count);
#endif
    } else {
        std::fprintf(stderr,
                     "usage: %s encode|decode|decode-new-names|decode-new-names-text|"
                     "encode-new-names|netsnmp-encode|netsnmp-decode [count]\n",
                     argv[0]);
        return 2;
    }
    if (failed != 0) {
        std::fprintf(stderr, "%s failed\n", what.c_str());
    }
    return failed;
}
