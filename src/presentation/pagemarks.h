// The click-wait marker: a small animated mark just after the last character of a text page
// while the page waits for the player (when the settings ask for it). Its frames come from the
// game's picture "clickwait" (system/picture/clickwait.png: square frames side by side, shown
// in turn) or, without one, are drawn by the engine: a small white arrowhead that bobs.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include "presentation/textlayout.h"

constexpr Uint32 kMarkerFrameMs = 150;   // each frame of the marker stays this long

// The top-left corner of the marker's frame on the screen.
struct MarkerPlace {
    int x, y;
};

// Where the marker of the page goes: its frame's top-left corner, 6 px after the last
// character of the page's last row that holds text, 6 px below that row's top (the first row
// of an empty page); kept inside the message frame. `fontOf` gives each segment's font.
MarkerPlace markerPlace(const Page& page, TTF_Font* (*fontOf)(Face));

// Shows the marker at the place over what `screen` holds now (the page just drawn, not yet
// flipped): the frame of this moment. The page then waits with the marker on.
void markerShow(MarkerPlace place);

// The page no longer shows the marker (it is left, skipped, or something is drawn over it).
void markerOff();

// Whether the marker is on, and when its next frame is due.
bool markerOn();
Uint32 markerNextFrame();

// Draws the marker's frame of this moment, if it is another than the one shown, and shows it.
void markerTick();
