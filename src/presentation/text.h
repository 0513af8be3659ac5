// Showing story text in the message window, page by page, and the waits between pages.
#pragma once

#include <SDL_ttf.h>

#include "presentation/textlayout.h"

// The control code a screen sets to go back to the title and start a new game.
constexpr int kBackToTitle = 5;

// What the game menu asks of the page it was opened on once it closes.
enum class PageMenuAsks { Page, Backlog };

// The game menu that a right click (or M) on a waiting page opens, set at start-up by the top
// layer; null: none. It may set e to 0 (quit) or kBackToTitle; the page then is left.
extern PageMenuAsks (*pageMenu)();

// Shows the message (byte 0 is its opening "[") page by page, each drawn over a fresh base
// screen and waited on, until it is exhausted or e drops below 1. Mode 1 is the alternative
// layout; every other value lays out like 0. Layout errors are fatal. Each page is kept in the
// backlog once the player leaves it. With a text speed set, each page is first typed out.
void text(const char* message, int mode);

// Draws one laid-out page over window(mode), with the "AUTO" mark while auto-advance is on
// ("SKIP" while a held Ctrl skips) and the click-wait marker when the settings ask for it, and
// flips the display; answers its style.
book textDraw(const Page& page, int mode);

// Draws the page over window(mode) without marks and without flipping: its first
// `characters` characters in reading order (all of them when negative), as the typewriter
// shows it.
void drawPageBody(const Page& page, int mode, int characters);

// The characters on the page.
int pageCharacters(const Page& page);

// The font of a segment's typeface.
TTF_Font* faceFont(Face face);

// Waits for the next page: the wheel down, the left button, Return or Space (not with Alt);
// holding either Ctrl turns pages every 20 ms (only pages seen before, when the settings say
// so); with auto-advance on, the page also turns by itself after a while (1.5 s and 60 ms a
// character at the usual pace). The wheel up shows the backlog, A toggles auto-advance, a
// right click or M opens the game menu, and the player's own keys (playerkeys.h) are served.
// Escape or the close request sets e to 0.
void wait();

// Waits for the left or right button, Return or Space, serving the player's own keys; Escape
// or the close request sets e to 0.
void wait2();
