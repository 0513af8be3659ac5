#include "core/filewrite.h"

#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Makes a rename in the file's folder survive a power cut.
void syncFolderOf(const char* path)
{
    char folder[512];
    std::snprintf(folder, sizeof folder, "%s", path);
    char* slash = std::strrchr(folder, '/');
    if (slash == folder) slash[1] = '\0';
    else if (slash) *slash = '\0';
    else std::snprintf(folder, sizeof folder, ".");
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

bool writeFileAtomically(const char* path, const void* bytes, size_t length)
{
    char temporary[512];
    int n = std::snprintf(temporary, sizeof temporary, "%s.writing", path);
    if (n < 0 || n >= static_cast<int>(sizeof temporary)) return false;
    // Whatever stands under the temporary name (a FIFO could block the write) makes way.
    unlink(temporary);
    int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    std::FILE* file = fdopen(fd, "wb");
    bool written = file && std::fwrite(bytes, 1, length, file) == length;
    // The new bytes reach the disk before the file takes the name, and the name after.
    written = written && std::fflush(file) == 0 && fsync(fd) == 0;
    written = (file ? std::fclose(file) : close(fd)) == 0 && written;
    if (!written || std::rename(temporary, path) != 0) {
        unlink(temporary);
        return false;
    }
    syncFolderOf(path);
    return true;
}
