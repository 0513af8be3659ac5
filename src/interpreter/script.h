// Running one scene.
#pragma once

// Runs the scene whose text starts at scene until it ends: on return e is 1 (the next scene
// is in nextpoint), 0 (quit) or 5 (back to the title with a new game).
void script(const char* scene);
