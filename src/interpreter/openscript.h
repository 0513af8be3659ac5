// One loaded scene text.
#pragma once

#include <cstddef>

#include "core/state.h"

constexpr int kScriptSize = 131072;   // a scene text and its NUL

class OpenScript {
public:
    // Reads "./script/<nextpoint>.txt" whole (CR LF arriving as LF) and points the scripttext
    // entry of the scene at t, a, b, c to it. A missing file, or one that does not fit the
    // buffer, ends the game through the fatal error screen.
    OpenScript();
    OpenScript(const OpenScript&) = delete;
    OpenScript& operator=(const OpenScript&) = delete;

    // Reads the file again. When it cannot be read whole, the text stays as it was and
    // false is answered with the reason in why (whySize bytes).
    bool reread(char* why, size_t whySize);

    char file[kNameSize + 16];   // "script/<name>.txt", relative to the game folder
    char text[kScriptSize];
};
