/* Switches the installed library's log on through the exported calls only, reads a printer, and
 * checks what arrived: lines at the callback (header layout, the wire trace of the exchange) and
 * in the file; switched off again, nothing more is written.
 *
 *   log_consumer ADDRESS COMMUNITY LOGFILE
 *
 * Prints "log consumer ok" and exits 0 on success; otherwise names the failed check. */
#include <psw/psw.h>
#include <stdio.h>
#include <string.h>

struct Seen {
    int lines;
    int sent;     /* "snmp", Debug, "send to ADDRESS port 161" */
    int received; /* "snmp", Debug, "receive from ADDRESS port 161" */
    int sockets;  /* "socket", Debug, "create socket." */
    int layout_ok;
    char send_prefix[160];
    char receive_prefix[160];
};

/* The fixed part of a header: "YYYY/MM/DD hh:mm:ss:mmm, pppppppp, tttttttt, name16, " is 63
 * characters, with ", " at 23, 33 and 43. */
static int header_ok(const char* line)
{
    static const char digits_at[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18, 20, 21, 22};
    size_t i;
    if (strlen(line) < 70) {
        return 0;
    }
    for (i = 0; i < sizeof digits_at; ++i) {
        if (line[(int)digits_at[i]] < '0' || line[(int)digits_at[i]] > '9') {
            return 0;
        }
    }
    return line[4] == '/' && line[7] == '/' && line[10] == ' ' && line[13] == ':' &&
           strncmp(line + 23, ", ", 2) == 0 && strncmp(line + 33, ", ", 2) == 0 &&
           strncmp(line + 43, ", ", 2) == 0 && strncmp(line + 61, ", ", 2) == 0;
}

static void on_line(void* context, const char* line)
{
    struct Seen* seen = (struct Seen*)context;
    seen->lines++;
    if (!header_ok(line)) {
        seen->layout_ok = 0;
        fprintf(stderr, "line out of layout: %s\n", line);
        return;
    }
    if (strncmp(line + 45, "snmp            , Debug, ", 25) == 0) {
        if (strncmp(line + 70, seen->send_prefix, strlen(seen->send_prefix)) == 0) {
            seen->sent++;
        } else if (strncmp(line + 70, seen->receive_prefix, strlen(seen->receive_prefix)) == 0) {
            seen->received++;
        }
    }
    if (strncmp(line + 45, "socket          , Debug, create socket. ", 40) == 0) {
        seen->sockets++;
    }
}

static long file_size(const char* path)
{
    long size = -1;
    FILE* file = fopen(path, "rb");
    if (file != NULL) {
        fseek(file, 0, SEEK_END);
        size = ftell(file);
        fclose(file);
    }
    return size;
}

/* One device read: set-up and the input tray table. */
static int32_t read_printer(const char* address, const char* community, int32_t* trays)
{
    PSWHandle handle = 0;
    int32_t result = PSWInit(&handle);
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, community);
    if (result == PSW_SUCCESS) {
        result = PSWInitDevice(handle, address, PSW_TRANSPORT_UDP_IPV4, 2000, 1);
    }
    if (result == PSW_SUCCESS) {
        result = PSWGetNumberOfInputTrayInfo(handle, trays);
    }
    PSWUnInit(handle);
    return result;
}

#define CHECK(condition)                                     \
    do {                                                     \
        if (!(condition)) {                                  \
            printf("log consumer failed: %s\n", #condition); \
            return 1;                                        \
        }                                                    \
    } while (0)

int main(int argc, char** argv)
{
    struct Seen seen;
    int32_t trays = 0;
    long size_before;
    int lines_before;
    if (argc != 4) {
        printf("usage: log_consumer ADDRESS COMMUNITY LOGFILE\n");
        return 2;
    }
    memset(&seen, 0, sizeof seen);
    seen.layout_ok = 1;
    snprintf(seen.send_prefix, sizeof seen.send_prefix, "send to %s port 161, ", argv[1]);
    snprintf(seen.receive_prefix, sizeof seen.receive_prefix, "receive from %s port 161, ",
             argv[1]);

    /* Out of the box nothing is written, even with outputs attached. */
    CHECK(PSWLogAttachCallback(on_line, &seen) == PSW_SUCCESS);
    CHECK(read_printer(argv[1], argv[2], &trays) == PSW_SUCCESS);
    CHECK(seen.lines == 0);

    CHECK(PSWLogAttachFile(argv[3], 0) == PSW_SUCCESS);
    CHECK(PSWLogSetLevel(NULL, PSW_LOG_ALL) == PSW_SUCCESS);
    CHECK(read_printer(argv[1], argv[2], &trays) == PSW_SUCCESS);
    CHECK(trays > 0);
    CHECK(seen.layout_ok);
    /* Every logger follows the master: the datagram socket's lines come too. */
    CHECK(seen.sent > 0 && seen.received > 0 && seen.sockets > 0);
    size_before = file_size(argv[3]);
    CHECK(size_before > 0);

    /* Level 0: outputs attached, nothing written. */
    lines_before = seen.lines;
    CHECK(PSWLogSetLevel(NULL, 0) == PSW_SUCCESS);
    CHECK(read_printer(argv[1], argv[2], &trays) == PSW_SUCCESS);
    CHECK(seen.lines == lines_before && file_size(argv[3]) == size_before);

    /* Detached (twice, harmlessly): nothing written at any level. */
    CHECK(PSWLogSetLevel(NULL, PSW_LOG_ALL) == PSW_SUCCESS);
    CHECK(PSWLogDetachCallback() == PSW_SUCCESS && PSWLogDetachCallback() == PSW_SUCCESS);
    CHECK(PSWLogDetachFile() == PSW_SUCCESS && PSWLogDetachFile() == PSW_SUCCESS);
    CHECK(read_printer(argv[1], argv[2], &trays) == PSW_SUCCESS);
    CHECK(seen.lines == lines_before && file_size(argv[3]) == size_before);

    printf("log consumer ok: %d lines, %d sent, %d received, %ld bytes in the file\n", seen.lines,
           seen.sent, seen.received, size_before);
    return 0;
}
