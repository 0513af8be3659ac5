// The search, as its runners go. The search's first process makes the shared memory, starts
// the game headless and forks --jobs runners. A runner takes an answer still to follow, plays
// a new game quietly, answers the decisions along the way kept to the answer's state, gives
// the answer, and goes on from there: at every decision it reaches it looks the state up among
// those already met. A state met before ends the run (the rest of that way is known); a new
// one is recorded, every answer it offers but the first is kept to be followed by a run of its
// own, and the run follows the first. A run ends when its way ends: an ending, a game over,
// the return to the title, a fatal error, a game that no longer waits for the player, or a
// state met before; the runner then leaves the game where it stands and takes the next answer.
//
// Runs replay their way from a new game rather than forking a process where ways part: a
// process forked from one forked from another... costs the kernel more with every generation
// (each of its memory areas is chained to every ancestor's), so that forking at every decision
// grows slower the deeper the story goes; and a process kept for many runs touches its memory
// once, not at every run. Replaying costs only the interpreter's time.
#pragma once

// Runs the runner of slot `slot` (0 to --jobs - 1) in this process, a child of the search's
// first process; takes answers to follow until the search is over, then ends the process.
[[noreturn]] void searchRunner(int slot);
