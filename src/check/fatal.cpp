// The checker's fatal error screen: the engine code it runs reports a fault by throwing it
// back to the checker, which turns it into a diagnostic.
#include "core/errors.h"

#include "check/fault.h"

void errors(const char* message) { throw ScriptFault{message}; }
