// Every scanner operation over arbitrary text, with destinations too small for what they copy.
#include "interpreter/scanner.h"

#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text = textOf(data, size);
    const char* start = text.c_str();
    char small[8], line[64];
    for (const char* pos = start; pos;) {
        const char* next = GetLine(line, pos);
        if (!next) break;
        const char* word = line;
        while ((word = GetWord(small, word))) {
        }
        IfSkip(small, line);
        conditionSkip(small, line);
        GetNumber(small, line);
        readNumber(numberAt(line));
        GetText(small, pos);
        GetLine_Back(next, start);
        GetWord_Back(next, start);
        pos = next;
    }
    return 0;
}
