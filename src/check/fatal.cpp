// The checker's fatal error screen: the engine code it runs reports a fault by throwing it
// back to the checker, which turns it into a diagnostic. The search of every path links it
// too: a run it watches ends there first.
#include "core/errors.h"

#include "check/fault.h"
#include "core/runwatch.h"

void errors(const char* message)
{
    watchFatal(message);
    throw ScriptFault{message};
}
