// The scene commands: background, music, effects, statistics, parameters, items, flags,
// marks, time marks, chapter cards, endings and the move to the next scene.
#pragma once

// Carries out the command word with its first argument; line is the whole command line.
// Words it does not know do nothing. The result carries nothing of use.
int orders3(const char* word, const char* arg, const char* line);

// The value after applying the operator and number first written in expression to current:
// "+" adds, "-" subtracts down to 0, "=" sets, "%" takes the remainder; "rand %N" draws
// 0..N-1 through scriptDraw (core/decision.h), which seeds the generator with the time in
// seconds at every draw unless someone else takes the draw. No operator, no number, or a divisor of 0 leave current unchanged.
int Math_order(const char* expression, int current);

// Sets t, a, b, c from a scene name: a capital letter and a number, or a name beginning "OP".
void sceneFromName(const char* name);

// Leaves the current scene for the named one: marks it read, moves to the name's position,
// and shifts nextpoint into prepoint and the name into nextpoint.
void leaveScene(const char* name);
