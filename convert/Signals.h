#pragma once
// HUP, INT and TERM are held back for the whole run and looked at where stopping is safe:
// before the commit point a pending one ends the run with nothing written; after it the run
// finishes and says what it wrote. A run that a signal could kill halfway would leave no
// true message behind.
#include <string>

namespace convert {

/// Blocks the three signals for this process (and ignores SIGPIPE).
void holdSignals();

/// Throws Failure(128 + signal, "ended by signal NAME") when one of them is pending.
void checkSignals();

}  // namespace convert
