#include "core/textfile.h"

#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE* openRegularFile(const char* path, bool* odd)
{
    if (odd) *odd = false;
    struct stat info;
    if (stat(path, &info) != 0) return nullptr;
    if (!S_ISREG(info.st_mode)) {
        if (odd) *odd = true;
        return nullptr;
    }
    // Not blocking, and checked again, in case something else took the name meanwhile.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (odd) *odd = true;
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}

TextFile readTextFile(const char* path, char* buffer, size_t capacity)
{
    TextFile result = {false, 0, false};
    std::FILE* file = openRegularFile(path);
    if (!file) return result;
    result.opened = true;
    int ch;
    bool pendingCr = false;
    // A CR is held back until the next byte shows whether it ends a CR LF pair.
    auto store = [&](char byte) {
        if (result.length + 1 >= capacity) {
            result.cut = true;
            return false;
        }
        buffer[result.length++] = byte;
        return true;
    };
    while ((ch = std::fgetc(file)) != EOF) {
        if (pendingCr) {
            pendingCr = false;
            if (ch != '\n' && !store('\r')) break;
        }
        if (ch == '\r') {
            pendingCr = true;
            continue;
        }
        if (!store(static_cast<char>(ch))) break;
    }
    if (pendingCr && !result.cut) store('\r');
    buffer[result.length] = '\0';
    std::fclose(file);
    return result;
}

void dropPartialCharacter(char* text)
{
    size_t length = std::strlen(text);
    // Walk back over continuation bytes to the lead byte of the last character.
    size_t lead = length;
    while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) --lead;
    if (lead == 0) return;
    unsigned char first = static_cast<unsigned char>(text[lead - 1]);
    size_t need = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    if (length - (lead - 1) < need) text[lead - 1] = '\0';
}
