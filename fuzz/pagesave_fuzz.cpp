// Page save files of any content: the checksum and the length made right, so that every field
// is read as the game reads it; the same bytes as a state image and as a backlog.
#include "savegame/pagefile.h"

#include <cstdlib>
#include <string>

#include "core/checksum.h"
#include "core/state.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    stateFromImage(bytes);
    restoreBacklog(bytes);
    if (bytes.size() >= 16) {
        uint32_t length = static_cast<uint32_t>(bytes.size());
        for (int i = 0; i < 4; ++i) bytes[8 + i] = static_cast<char>(length >> (8 * i));
        uint32_t crc = crc32Of(bytes.data(), bytes.size() - 4);
        for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
    }
    PageSave save;
    if (decodePageSave(bytes, &save)) restoreBacklog(save.backlog);
    resetNewGame();
    return 0;
}
