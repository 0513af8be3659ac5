// The moments of a scene where the game waits for the player (a text page, a choice, a move
// list, the field menu), and the ways back to one: a page save loaded, or a step back.
//
// As a scene runs, the state it began with is kept and every decision taken in it is logged
// (core/decision.h: pages turned, picks, menu choices, slot choices, random draws). A moment is
// that start with the decisions before it. To go back to one, the main loop puts the scene's
// start in place and runs the scene again in quiet mode, the log answering every decision,
// until the moment's own point: quiet mode ends there, the music catches up, and the screen
// shows itself and waits as it did. Nothing of it depends on timing. The last kRolledScenes
// scenes are kept for stepping back; a page save holds one scene.
#pragma once

#include <string>

#include <SDL.h>

constexpr int kRolledScenes = 16;

// Puts the logging answerer in front of the decision hooks in force (once; again when
// someone has replaced them since) and sets the page turn hooks.
void momentsInstall();

// ---- The main loop -------------------------------------------------------------------------

// A new game has begun (the title was left): the scenes of the last game are forgotten.
void momentsNewGame();

// The scene at index, whose text is text, begins (called just before it runs): its start is
// kept, or the quiet run to a moment begins.
void momentsSceneBegins(int index, const char* text);

// Whether a load or a step back has been asked for (e was set to 0 for it, so that every
// routine returned).
bool momentsJumpAsked();

// Makes the load or the step back asked for: the state its scene began with is put in place
// (the scene's text is then loaded as at any scene start, if it is not loaded), and the scene
// will run quietly to the moment. False when none was asked for.
bool momentsJump();

// The game quits in the middle of a scene: the automatic page save of the moment it waited
// at last.
void momentsQuit();

// ---- The player's keys and the list --------------------------------------------------------

// Whether the game now waits at a moment (a page, a choice, a move list, the field menu) of a
// scene that is logged: a page save can be made and a step back asked for.
bool momentWaits();

// Whether a load can be asked for: at a moment or at the title.
bool momentLoadable();

// Writes the moment waited at into the file, with a small picture of `picture` (the screen as
// the moment shows it); false when there is no moment or the file cannot be written.
bool momentSave(const std::string& path, SDL_Surface* picture);

// Asks for the page save in the file to be loaded (e becomes 0). False, with a notice, when it
// cannot be loaded: damaged, or its scene's file is missing.
bool momentLoad(const std::string& path);

// Asks for a step back to the moment before the one waited at (e becomes 0). False, with a
// notice, when there is none in the scenes kept.
bool momentStepBack();
