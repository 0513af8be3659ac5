// What the fuzz targets share: a way back from a fatal error, and the input as text.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <string>

// errors() jumps here instead of ending the process: a fatal error is the game's own answer
// to bad input, not a finding. Set it with setjmp before running game code.
extern std::jmp_buf fatalEscape;

// The input as a NUL-terminated text (bytes after an inner NUL are cut off by the game anyway).
inline std::string textOf(const uint8_t* data, size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}
