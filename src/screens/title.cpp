#include "screens/title.h"

#include <cstdio>

#include "core/state.h"

// Until the title screen lands, every game starts at once from the "start" scene.
void title()
{
    std::snprintf(nextpoint, sizeof nextpoint, "%s", "start");
    std::snprintf(prepoint, sizeof prepoint, "%s", "start");
}
