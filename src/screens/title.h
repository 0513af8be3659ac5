// The title screen.
#pragma once

// Shows the title until the player starts, loads or continues a game (e 1, nextpoint and
// prepoint naming the first scene to run) or quits (e 0).
void title();
