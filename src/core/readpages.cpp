#include "core/readpages.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include <sys/stat.h>

#include "core/textfile.h"

namespace {

const char kHeader[] = "# Tessarc read pages\n";
const size_t kKeysAtMost = 200000;   // far more pages than a game has; what lies beyond is not read

std::unordered_set<std::uint64_t> seen;
bool loaded;
bool toldFailure;

// A line of exactly sixteen hex digits, its line end already taken off.
bool keyOf(const char* line, std::uint64_t* key)
{
    if (std::strlen(line) != 16) return false;
    std::uint64_t value = 0;
    for (const char* p = line; *p; ++p) {
        int digit = *p >= '0' && *p <= '9' ? *p - '0' : *p >= 'a' && *p <= 'f' ? *p - 'a' + 10 : -1;
        if (digit < 0) return false;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    *key = value;
    return true;
}

void load()
{
    loaded = true;
    std::FILE* file = openRegularFile(kReadPagesPath);
    if (!file) return;
    char line[64];
    while (seen.size() < kKeysAtMost && std::fgets(line, sizeof line, file)) {
        size_t length = std::strcspn(line, "\r\n");
        // A line longer than the buffer is no key: the rest of it is passed over.
        bool whole = line[length] != '\0' || std::feof(file);
        line[length] = '\0';
        std::uint64_t key;
        if (whole && keyOf(line, &key)) seen.insert(key);
        while (!whole && std::fgets(line, sizeof line, file)) whole = std::strchr(line, '\n') != nullptr;
    }
    std::fclose(file);
}

bool append(std::uint64_t key)
{
    if (mkdir("./save", 0777) != 0 && errno != EEXIST) return false;
    struct stat info;
    bool fresh = stat(kReadPagesPath, &info) != 0;
    // Something that is not a plain file there (a FIFO would block) is never written to.
    if (!fresh && !S_ISREG(info.st_mode)) return false;
    std::FILE* file = std::fopen(kReadPagesPath, "a");
    if (!file) return false;
    bool written = (!fresh && info.st_size > 0) || std::fputs(kHeader, file) >= 0;
    written = std::fprintf(file, "%016llx\n", static_cast<unsigned long long>(key)) > 0 && written;
    return std::fclose(file) == 0 && written;
}

}  // namespace

std::uint64_t pageKey(const char* scene, const char* text)
{
    // FNV-1a over the scene's name, a NUL, and the text.
    std::uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](const char* bytes, size_t length) {
        for (size_t i = 0; i < length; ++i) hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
    };
    add(scene, std::strlen(scene) + 1);
    add(text, std::strlen(text));
    return hash;
}

bool pageSeen(std::uint64_t key)
{
    if (!loaded) load();
    return seen.count(key) != 0;
}

void pageSeenNow(std::uint64_t key)
{
    if (pageSeen(key) || seen.size() >= kKeysAtMost) return;
    seen.insert(key);
    if (!append(key) && !toldFailure) {
        toldFailure = true;
        std::fprintf(stderr, "%sを書き込めませんでした（既読のページはこの回だけ覚えています）\n",
                     kReadPagesPath);
    }
}

void readPagesForget()
{
    seen.clear();
    loaded = false;
    toldFailure = false;
}
