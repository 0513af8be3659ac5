#include "core/textfile.h"

#include <cstring>
#include <map>
#include <string>
#include <utility>

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

namespace {

struct KeptFile {
    TextFile read;
    std::string text;
};

bool keeping;
std::map<std::pair<std::string, size_t>, KeptFile> kept;

TextFile readFromDisk(const char* path, char* buffer, size_t capacity);

}  // namespace

void textFilesKept(bool on)
{
    keeping = on;
    if (!on) kept.clear();
}

TextFile readTextFile(const char* path, char* buffer, size_t capacity)
{
    if (!keeping) return readFromDisk(path, buffer, capacity);
    auto key = std::make_pair(std::string(path), capacity);
    auto found = kept.find(key);
    if (found == kept.end()) {
        TextFile read = readFromDisk(path, buffer, capacity);
        found = kept.emplace(key, KeptFile{read, read.opened ? std::string(buffer, read.length) : ""}).first;
    }
    const KeptFile& file = found->second;
    if (file.read.opened) std::memcpy(buffer, file.text.c_str(), file.read.length + 1);
    return file.read;
}

namespace {

TextFile readFromDisk(const char* path, char* buffer, size_t capacity)
{
    TextFile result = {false, 0, false};
    std::FILE* file = openRegularFile(path);
    if (!file) return result;
    result.opened = true;
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
    // Read a block at a time: a byte at a time costs more than the rest of loading a scene.
    char block[8192];
    bool full = false;
    for (size_t got; !full && (got = std::fread(block, 1, sizeof block, file)) > 0;) {
        for (size_t i = 0; i < got; ++i) {
            char ch = block[i];
            if (pendingCr) {
                pendingCr = false;
                if (ch != '\n' && !store('\r')) {
                    full = true;
                    break;
                }
            }
            if (ch == '\r') {
                pendingCr = true;
                continue;
            }
            if (!store(ch)) {
                full = true;
                break;
            }
        }
    }
    if (pendingCr && !result.cut) store('\r');
    buffer[result.length] = '\0';
    std::fclose(file);
    return result;
}

}  // namespace

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
