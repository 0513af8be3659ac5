// The author's options, taken by both programs:
//   --scene NAME      the first game starts straight at scene NAME, skipping the title;
//                     implies --dev
//   --set KEY=VALUE   after each new-game reset KEY is set to VALUE, in the order given;
//                     KEY is flagN, itemN, paraN, checkN, timecheckN, hp, guts, hpmax, gutsmax,
//                     or a name of the game's system/names.txt
//   --dev             F5 reloads the scene files and starts the running scene again
#pragma once

#include <string>

// The usage text of the options, for the programs' own usage lines.
extern const char kAuthorUsage[];

// When argv[*i] is one of the options, takes it and its value (moving *i onto the value) and
// answers true; a bad one leaves a one-line message in *problem. Other arguments: false.
bool takeAuthorOption(int argc, char* argv[], int* i, std::string* problem);

// Tells a bad option on standard error in one line, "program: problem"; answers the exit
// status of a usage error, 2.
int badAuthorOption(const char* program, const std::string& problem);

// Run in the game folder once the options are taken: whether they fit the game (every --set
// key names a variable, the scene named by --scene has its file); if not, a one-line message
// in *problem. Reads the game's names file.
bool authorOptionsFit(std::string* problem);

// Sets the --set values into the game state.
void applyAuthorSets();

// The first time it is called with --scene given: points the game at that scene, as the
// title's start points it at "start", and answers true. Otherwise false.
bool startAtAuthorScene();

// As at a new launch: the next call of startAtAuthorScene points the game at --scene again.
void authorSceneAgain();

// Whether the first game opens on the title (no --scene).
bool titleComesFirst();

// Whether F5 reloads (--dev or --scene).
bool authorDevMode();
