// The item list reader over arbitrary text.
#include "app/init.h"

#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text = textOf(data, size);
    readItemNames(text.c_str());
    return 0;
}
