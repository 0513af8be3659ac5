// The scene commands: background, music, effects, statistics, parameters, items, flags,
// marks, time marks, chapter cards, endings and the move to the next scene.
#pragma once

// Carries out the command word with its first argument; line is the whole command line.
// Words it does not know do nothing. The result carries nothing of use.
int orders3(const char* word, const char* arg, const char* line);
