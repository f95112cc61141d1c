#include "cli/printer_read.h"

#include <chrono>

#include "cli/messages.h"

namespace psw::cli {

PrinterSnapshot read_printer(const Connection& connection)
{
    const auto start = std::chrono::steady_clock::now();
    PrinterSnapshot snapshot;
    snapshot.address = connection.address;
    PSWHandle handle = nullptr;
    int32_t result = PSWInit(&handle);
    if (result != PSW_SUCCESS) {
        snapshot.code = result == PSW_INIT_NO_MEMORY ? PSW_ERR_NO_MEMORY : result;
        snapshot.failure = failure_text("cannot create a library handle", snapshot.code,
                                        connection.shown(), connection.total_wait_ms());
        return snapshot;
    }
    result = set_up_any_device(handle, connection);
    if (result == PSW_SUCCESS) {
        result = PSWGetPrinterInfo(handle, &snapshot.printer);
    }
    snapshot.code = result;
    if (result != PSW_SUCCESS) {
        snapshot.failure = failure_text("reading the printer status", result, connection.shown(),
                                        connection.total_wait_ms());
    } else {
        snapshot.identity_code = PSWGetIdentityInfo(handle, &snapshot.identity);
        snapshot.supplies =
            read_records<PSWSupplyInfo>(handle, PSWGetNumberOfSupplyInfo, PSWGetSupplyInfo);
        snapshot.inputs = read_records<PSWInputTrayInfo>(handle, PSWGetNumberOfInputTrayInfo,
                                                         PSWGetInputTrayInfo);
        snapshot.alerts =
            read_records<PSWAlertInfo>(handle, PSWGetNumberOfAlertInfo, PSWGetAlertInfo);
    }
    PSWUnInit(handle);
    snapshot.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return snapshot;
}

}  // namespace psw::cli
