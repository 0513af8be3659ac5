// The brace walkers: how loops find their head again and how blocks are skipped whole.
#include "interpreter/script.h"

#include "core/errors.h"
#include "interpreter/scanner.h"

const char* whileBack(const char* pos, int n, const char* start)
{
    bool seen = false;
    while (pos > start) {
        if (n < 0) errors("while文の｛｝の数が異常です");
        --pos;
        if (*pos == '}') ++n, seen = true;
        else if (*pos == '{') --n, seen = true;
        if (seen && n == 0) return GetLine_Back(pos, start);
    }
    errors("｛の数が足りません");
}

const char* whileFront(const char* pos, int n)
{
    bool seen = false;
    for (;;) {
        if (n < 0) errors("｛｝の数が異常です");
        if (!*pos || !*++pos) errors("｝が必要数見つかりません");
        if (*pos == '}') --n, seen = true;
        else if (*pos == '{') ++n, seen = true;
        if (seen && n == 0) return pos + 1;
    }
}
