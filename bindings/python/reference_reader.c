/* The C side of the binding's tests: reads one printer through the C library and prints every
 * record as "<kind> <index> <hex of the record's bytes>", one line each, so that the Python
 * tests can compare the records they read with the ones a C caller gets.
 *   reference_reader ADDRESS COMMUNITY */
#include <psw/psw.h>
#include <stdio.h>

static void print_record(const char* kind, int index, const void* record, size_t size)
{
    const unsigned char* bytes = (const unsigned char*)record;
    printf("%s %d ", kind, index);
    for (size_t i = 0; i < size; ++i) {
        printf("%02x", bytes[i]);
    }
    printf("\n");
}

#define PRINT_TABLE(kind, Name, Type)                                            \
    do {                                                                         \
        int32_t count = 0;                                                       \
        if (PSWGetNumberOf##Name##Info(handle, &count) != PSW_SUCCESS) return 1; \
        for (int32_t i = 0; i < count; ++i) {                                    \
            Type record;                                                         \
            if (PSWGet##Name##Info(handle, i, &record) != PSW_SUCCESS) return 1; \
            print_record(kind, (int)i, &record, sizeof record);                  \
        }                                                                        \
    } while (0)

static int read_printer(PSWHandle handle)
{
    PSWPrinterInfo printer;
    PSWIdentityInfo identity;
    if (PSWGetPrinterInfo(handle, &printer) != PSW_SUCCESS) return 1;
    print_record("printer", 0, &printer, sizeof printer);
    if (PSWGetIdentityInfo(handle, &identity) != PSW_SUCCESS) return 1;
    print_record("identity", 0, &identity, sizeof identity);
    PRINT_TABLE("supply", Supply, PSWSupplyInfo);
    PRINT_TABLE("toner", Toner, PSWTonerInfo);
    PRINT_TABLE("input_tray", InputTray, PSWInputTrayInfo);
    PRINT_TABLE("output_tray", OutputTray, PSWOutputTrayInfo);
    PRINT_TABLE("alert", Alert, PSWAlertInfo);
    PRINT_TABLE("storage", Storage, PSWStorageInfo);
    PRINT_TABLE("device", Device, PSWDeviceInfo);
    return 0;
}

int main(int argc, char** argv)
{
    PSWHandle handle = 0;
    int failed = 1;
    if (argc != 3 || PSWInit(&handle) != PSW_SUCCESS) return 2;
    if (PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, argv[2]) == PSW_SUCCESS &&
        PSWInitAnyDevice(handle, argv[1], PSW_TRANSPORT_UDP_IPV4, 2000, 1) == PSW_SUCCESS) {
        failed = read_printer(handle);
    }
    PSWUnInit(handle);
    return failed;
}
