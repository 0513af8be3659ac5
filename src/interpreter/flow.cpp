#include "interpreter/flow.h"

// se, goto and pick come with their own work; until then every word is ignored.
const char* orders4(const char*, char*, const char*, const char* pos, const char*, const char*,
                    int, int*)
{
    return pos;
}
