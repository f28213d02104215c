// Pellory: exercises the library from a client's side and prints what it
// reads back.  Arguments are ignored.
#include <tamberlo/msg_base.h>

#include <cstdio>

#include "scenario.h"

int main() { return runScenario(MsgBase::getInstance(15), stdout, stderr); }
