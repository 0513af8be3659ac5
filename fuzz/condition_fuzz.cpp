// Conditions over arbitrary text and game state.
#include "interpreter/condition.h"

#include "core/state.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text = textOf(data, size);
    resetNewGame();
    if (setjmp(fatalEscape) == 0) ifthrough(text.c_str(), 0);
    return 0;
}
