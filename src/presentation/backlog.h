// The pages already shown in this game, kept as laid out (text, places, colours, typefaces
// and the layout mode) so that each can be drawn again exactly as it was. The last
// kBacklogPages are kept; a new game, a load or a continue starts an empty backlog.
#pragma once

#include "presentation/textlayout.h"

constexpr int kBacklogPages = 200;

void backlogClear();

// Keeps a page that was shown, with its layout mode; the oldest goes beyond kBacklogPages.
void backlogAdd(const Page& page, int mode);

// How many pages are kept.
int backlogCount();

// Lays page k (1 the newest, backlogCount() the oldest) back into *page; answers its mode, or
// -1 when there is no such page.
int backlogGet(int k, Page* page);
