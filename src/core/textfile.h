// Reading the game's text files (scenes, the item list) the way text mode reads them on the
// platform the scripts are written on: a CR LF pair arrives as one LF.
#pragma once

#include <cstddef>
#include <cstdio>

struct TextFile {
    bool opened;      // false: the file could not be opened; nothing was stored
    size_t length;    // bytes stored, not counting the NUL written after them
    bool cut;         // the file held more than capacity - 1 bytes; the rest was not read
};

// Opens path for reading, in binary mode, only when it is a regular file: a FIFO there would
// block for ever and a device could read without end. Null when it cannot be opened; *odd
// (when given) then tells whether something other than a regular file stands there.
std::FILE* openRegularFile(const char* path, bool* odd = nullptr);

// Reads the file into buffer (capacity bytes, at least 1) and terminates the text with a NUL.
TextFile readTextFile(const char* path, char* buffer, size_t capacity);

// While on, readTextFile reads each file once and answers later reads of it (with the same
// capacity) from memory: for a process that plays the same unchanging files again and again,
// as the runners of a search of every path do.
void textFilesKept(bool on);

// Shortens a NUL-terminated string so that it does not end inside a UTF-8 character.
void dropPartialCharacter(char* text);
