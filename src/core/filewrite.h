// Writing a whole file so that a reader only ever finds the old contents or the new ones.
#pragma once

#include <cstddef>

// Writes the bytes to path through "<path>.writing" and a rename, so that the file before
// survives anything that goes wrong on the way, a kill or a power cut (the bytes are flushed to
// the disk before the rename, and the folder after it). Answers false (the old file left as it was,
// the temporary removed) when any step fails.
bool writeFileAtomically(const char* path, const void* bytes, size_t length);
