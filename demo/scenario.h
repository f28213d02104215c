// The scenario that Pellory runs against the library.
#ifndef PELLORY_SCENARIO_H_
#define PELLORY_SCENARIO_H_

#include <tamberlo/msg_base.h>

#include <cstdio>

/// Runs the exchanges on `root`, a family-15 root: position through
/// versions 4 and 2, then attitude through family 16 version 1 and velocity
/// through family 18 version 1.  Results go to `out`; a version that cannot
/// be reached skips its exchange with a line on `err`.  Returns the exit
/// code: 0, or 1 if `root` lacks what the position exchange needs.
int runScenario(MsgBase* root, std::FILE* out, std::FILE* err);

#endif  // PELLORY_SCENARIO_H_
