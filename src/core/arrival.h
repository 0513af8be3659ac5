// Whether the game's files have arrived. On the desktop every file is there from the start; a
// browser page fetches the game's files while the game plays, the title's first and the rest
// in story order, so a file may still be on its way when the game reads it.
#pragma once

// Returns once the game's file at path can be read, or at once when it never will be (no file
// of the game has that path). A file still on its way is fetched ahead of the others while the
// page shows a progress bar; presses made meanwhile are dropped. On the desktop: at once.
void fileAwait(const char* path);
