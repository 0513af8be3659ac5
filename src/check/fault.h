// A fault the engine would have shown on its fatal error screen, thrown to the checker.
#pragma once

#include <string>

struct ScriptFault {
    std::string message;   // the game's own message
};
