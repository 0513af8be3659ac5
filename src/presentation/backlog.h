// The pages already shown in this game, kept as laid out (text, places, colours, typefaces
// and the layout mode) so that each can be drawn again exactly as it was. The last
// kBacklogPages are kept; a new game, a load or a continue starts an empty backlog.
#pragma once

#include "presentation/textlayout.h"

constexpr int kBacklogPages = 200;

// Forgets every page and starts the count of pages again from 0.
void backlogClear();

// Keeps a page that was shown, with its layout mode; the oldest goes beyond kBacklogPages.
// Each page passed in the game counts: the page kept is number backlogSerial().
void backlogAdd(const Page& page, int mode);

// A page turned without being shown (a scene run again to a saved moment): counted, not kept.
void backlogPass();

// How many pages the game has passed: the number of the last one.
int backlogSerial();

// A step back: forgets the pages numbered `from` and above, and sets the count to `serial`.
void backlogRewind(int from, int serial);

// Keeps the page as number `serial`, the newest (a backlog read back from a file, oldest
// first); the count becomes serial.
void backlogPut(const Page& page, int mode, int serial);

// The number of page k (1 the newest), or 0 when there is no such page.
int backlogSerialOf(int k);

// How many pages are kept.
int backlogCount();

// Lays page k (1 the newest, backlogCount() the oldest) back into *page; answers its mode, or
// -1 when there is no such page.
int backlogGet(int k, Page* page);
