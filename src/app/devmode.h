// The author's dev mode (--dev, or --scene): an error screen that says where the error is and
// lets F5 start the scene again, and an overlay of the story's state on F12.
#pragma once

#include <string>
#include <vector>

#include <SDL.h>

// Thrown by the dev error screen on F5. Only the main loop catches it: it reads every scene
// again and starts the scene where the error happened from the state it began with. Without
// dev mode nothing throws it and the error screen ends the program as ever.
struct SceneRestart {};

// Whether an error now can start a scene again; the main loop says so around what it runs.
void setSceneRestartable(bool can);

// Draws the dev error screen over the picture showing: the heading, the place (FILE:LINE) and
// the message in a panel, and what the keys do. The fatal error screen then waits as ever,
// handing devErrorKey each event. Needs the fonts.
void drawDevError(const char* message);

// A key on the dev error screen: F12 shows the state; F5 throws SceneRestart when a scene can
// start again. True when the author quit meanwhile (the overlay took a quit request).
bool devErrorKey(const SDL_Event& ev);

// The overlay's text, one entry a line: HP and Guts, the named flags (and the unnamed ones
// set), the items held, the parameters, and what changed since the scene began.
std::vector<std::string> stateOverlayLines();

// Shows the overlay over the screen until the next key or click, and traces its lines.
void showStateOverlay();

// The author's keys where the game waits for the player: F12, the overlay.
void authorKey(const SDL_Event& ev);
