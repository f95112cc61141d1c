// Reads a PrinterSnapshot through the library on a handle of its own, so that several printers
// can be read at once from different threads.
#pragma once

#include "cli/printer_snapshot.h"
#include "cli/session.h"

namespace psw::cli {

// Binds a new handle to the connection's printer (any model) and reads the printer status,
// identity, supplies, input trays and alerts. A printer that does not answer the status read
// gives a snapshot with its code and a one-line failure; a later table that fails keeps its code
// in the table.
PrinterSnapshot read_printer(const Connection& connection);

}  // namespace psw::cli
