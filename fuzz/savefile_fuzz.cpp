// Save files of any content: written as the resume file and a slot, then read as the game does.
#include "savegame/save.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "fuzz.h"

namespace {

bool enterScratch()
{
    static bool entered = false;
    if (entered) return true;
    char folder[] = "/tmp/tessarc-fuzz-save-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) return false;
    mkdir("save", 0777);
    return entered = true;
}

void writeFile(const char* path, const uint8_t* data, size_t size)
{
    if (std::FILE* file = std::fopen(path, "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!enterScratch()) std::abort();
    writeFile("save/0", data, size);
    writeFile("save/2", data, size);
    if (setjmp(fatalEscape) == 0) {
        dataLoad(4);
        load(1);
    }
    return 0;
}
