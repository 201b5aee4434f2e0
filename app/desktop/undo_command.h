// The main screen's undo: the line that names the selected aircraft's last
// operation, the Undo button, and the command behind it (the undo of
// paintwell-cli undo).
#pragma once

#include "app/desktop/app_context.h"

namespace pw {

// Shows the last operation on frm_Main's lblLastOperation (time, operation,
// what it did; empty without history) and enables btn_Undo while there is
// an operation to undo.
void show_last_operation(AppContext& ctx);

// Asks, naming the operation, whether to undo it; takes it back with a
// record in Paintwell.log, refreshes the lists and the last operation, and
// says how it went (done, or why nothing was undone).
void run_undo_command(AppContext& ctx);

}  // namespace pw
