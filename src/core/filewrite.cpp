#include "core/filewrite.h"

#include <cstdio>

bool writeFileAtomically(const char* path, const void* bytes, size_t length)
{
    char temporary[512];
    int n = std::snprintf(temporary, sizeof temporary, "%s.writing", path);
    if (n < 0 || n >= static_cast<int>(sizeof temporary)) return false;
    std::FILE* file = std::fopen(temporary, "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes, 1, length, file) == length;
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary, path) != 0) {
        std::remove(temporary);
        return false;
    }
    return true;
}
