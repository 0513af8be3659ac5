// The flow and choice commands: se, goto and pick.
#pragma once

constexpr int kArgSize = 300;   // the interpreter's first-argument buffer

// Carries out se, goto and pick; answers the position the interpreter reads on from. arg is
// the interpreter's first-argument buffer (kArgSize bytes); a picked goto entry leaves its
// label there. level is the current block level; states the per-level line states.
const char* orders4(const char* word, char* arg, const char* scene, const char* pos,
                    const char* rest, const char* line, int level, int* states);
