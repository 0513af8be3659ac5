// The message layout over arbitrary messages: every page must move on and stay in the message.
#include "presentation/textlayout.h"

#include <cstdlib>
#include <cstring>

#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string message = "[" + textOf(data, size);
    const char* text = message.c_str();
    size_t length = std::strlen(text);
    static Page page;
    for (int pos = 1; text[pos];) {
        PageLayout layout = layoutPage(text, pos, size % 2, &page);
        if (layout.error || layout.ended) break;
        if (layout.next <= pos || static_cast<size_t>(layout.next) > length) std::abort();
        pos = layout.next;
    }
    return 0;
}
