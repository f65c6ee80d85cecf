#pragma once

#include "base/Cancel.h"

namespace Orvoinstaller {

// Whether standard error goes to a terminal, where a line can be redrawn in place.
bool standardErrorIsTerminal();

// From now on SIGINT and SIGTERM no longer end the process: they cancel `token` (which must
// outlive the process, or be replaced with nullptr first), so a run stops at its next safe
// point and still says how far it got.
void cancelOnTermination(CancelToken* token);
// The signal that asked for the end, 0 when none came.
int terminationSignal();

} // namespace Orvoinstaller
