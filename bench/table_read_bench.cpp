// A table read through the exported API beside the same walk written on Net-SNMP's libsnmp,
// against one snmpd with Host Resources: hrStorageTable (4 columns) and hrDeviceTable (3 columns).
// bench/table_read.sh runs it; it is a driver of fixed work for callgrind, not a timed test.
//
//   psw_table_read psw ADDRESS K      K reads of both tables with PSWGetNumberOfStorageInfo and
//                                     PSWGetNumberOfDeviceInfo on one handle
//   psw_table_read netsnmp ADDRESS K  K reads of both tables on one libsnmp session: one GetNext
//                                     binding per column, snmp_synch_response, until the first
//                                     column leaves its table (what the library's walk sends)
//
// Each client prints the rows it read and the process CPU time of the K reads.
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "psw/psw.h"

namespace {

double cpu_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int read_with_library(const char* address, int reads)
{
    PSWHandle handle = nullptr;
    if (PSWInit(&handle) != PSW_SUCCESS ||
        PSWInitAnyDevice(handle, address, PSW_TRANSPORT_UDP_IPV4, 2000, 1) != PSW_SUCCESS) {
        std::fprintf(stderr, "device set-up failed\n");
        return 1;
    }
    int32_t storage = 0;
    int32_t devices = 0;
    const double start = cpu_seconds();
    for (int i = 0; i < reads; ++i) {
        if (PSWGetNumberOfStorageInfo(handle, &storage) != PSW_SUCCESS ||
            PSWGetNumberOfDeviceInfo(handle, &devices) != PSW_SUCCESS) {
            std::fprintf(stderr, "read %d failed\n", i);
            PSWUnInit(handle);
            return 1;
        }
    }
    const double cpu = cpu_seconds() - start;
    PSWUnInit(handle);
    std::printf("psw: %d reads, %d storage rows, %d device rows, %.1f us CPU per read\n", reads,
                storage, devices, cpu * 1e6 / reads);
    return 0;
}

struct Column {
    oid name[MAX_OID_LEN];
    size_t length;
};

std::vector<Column> columns(const std::vector<std::string>& texts)
{
    std::vector<Column> out;
    for (const std::string& text : texts) {
        Column column{};
        column.length = MAX_OID_LEN;
        if (read_objid(text.c_str(), column.name, &column.length) == 0) {
            std::fprintf(stderr, "bad OID %s\n", text.c_str());
            std::exit(2);
        }
        out.push_back(column);
    }
    return out;
}

// One table walk: GetNext of every column's current name until the first column's answer
// leaves its subtree; the rows are counted. -1 on a failure.
int walk(netsnmp_session* session, const std::vector<Column>& table)
{
    std::vector<Column> at = table;
    int rows = 0;
    for (;;) {
        netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_GETNEXT);
        for (const Column& column : at) {
            snmp_add_null_var(request, column.name, column.length);
        }
        netsnmp_pdu* response = nullptr;
        const int status = snmp_synch_response(session, request, &response);
        if (status != STAT_SUCCESS || response == nullptr) {
            return -1;
        }
        if (response->errstat != SNMP_ERR_NOERROR) {
            const bool end = response->errstat == SNMP_ERR_NOSUCHNAME;
            snmp_free_pdu(response);
            return end ? rows : -1;
        }
        const netsnmp_variable_list* first = response->variables;
        if (first == nullptr || first->type == SNMP_ENDOFMIBVIEW ||
            first->name_length <= table[0].length ||
            snmp_oid_compare(first->name, table[0].length, table[0].name, table[0].length) != 0) {
            snmp_free_pdu(response);
            return rows;
        }
        size_t i = 0;
        for (const netsnmp_variable_list* v = response->variables; v != nullptr && i < at.size();
             v = v->next_variable, ++i) {
            std::memcpy(at[i].name, v->name, v->name_length * sizeof(oid));
            at[i].length = v->name_length;
        }
        snmp_free_pdu(response);
        ++rows;
    }
}

int read_with_netsnmp(const char* address, int reads)
{
    init_snmp("psw_table_read");
    netsnmp_session settings;
    snmp_sess_init(&settings);
    settings.peername = const_cast<char*>(address);
    settings.version = SNMP_VERSION_1;
    settings.community = reinterpret_cast<u_char*>(const_cast<char*>("public"));
    settings.community_len = std::strlen("public");
    settings.timeout = 2000000;
    settings.retries = 1;
    netsnmp_session* session = snmp_open(&settings);
    if (session == nullptr) {
        snmp_perror("snmp_open");
        return 1;
    }
    const std::vector<Column> storage =
        columns({"1.3.6.1.2.1.25.2.3.1.2", "1.3.6.1.2.1.25.2.3.1.4", "1.3.6.1.2.1.25.2.3.1.5",
                 "1.3.6.1.2.1.25.2.3.1.3"});
    const std::vector<Column> devices =
        columns({"1.3.6.1.2.1.25.3.2.1.2", "1.3.6.1.2.1.25.3.2.1.5", "1.3.6.1.2.1.25.3.2.1.3"});
    int storage_rows = 0;
    int device_rows = 0;
    const double start = cpu_seconds();
    for (int i = 0; i < reads; ++i) {
        storage_rows = walk(session, storage);
        device_rows = walk(session, devices);
        if (storage_rows < 0 || device_rows < 0) {
            std::fprintf(stderr, "read %d failed\n", i);
            snmp_close(session);
            return 1;
        }
    }
    const double cpu = cpu_seconds() - start;
    snmp_close(session);
    snmp_shutdown("psw_table_read");
    std::printf("netsnmp: %d reads, %d storage rows, %d device rows, %.1f us CPU per read\n", reads,
                storage_rows, device_rows, cpu * 1e6 / reads);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if ((mode == "psw" || mode == "netsnmp") && argc == 4) {
        const int reads = std::atoi(argv[3]);
        return mode == "psw" ? read_with_library(argv[2], reads > 0 ? reads : 1)
                             : read_with_netsnmp(argv[2], reads > 0 ? reads : 1);
    }
    std::fprintf(stderr, "usage: %s psw ADDRESS K | netsnmp ADDRESS K\n", argv[0]);
    return 2;
}
