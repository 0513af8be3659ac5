// One loaded scene text.
#pragma once

constexpr int kScriptSize = 131072;   // a scene text and its NUL

class OpenScript {
public:
    // Reads "./script/<nextpoint>.txt" whole (CR LF arriving as LF) and points the scripttext
    // entry of the scene at t, a, b, c to it. A missing file, or one that does not fit the
    // buffer, ends the game through the fatal error screen.
    OpenScript();
    OpenScript(const OpenScript&) = delete;
    OpenScript& operator=(const OpenScript&) = delete;

    char text[kScriptSize];
};
