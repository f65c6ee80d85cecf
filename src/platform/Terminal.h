#pragma once

namespace Orvoinstaller {

// Whether standard error goes to a terminal, where a line can be redrawn in place.
bool standardErrorIsTerminal();

// From now on SIGINT and SIGTERM no longer end the process: they are noted, for a run to
// stop at its next safe point and still say how far it got.
void catchTermination();
bool terminationRequested();

} // namespace Orvoinstaller
