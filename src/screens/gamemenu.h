// The game menu, opened by a right click (or M) on a text page: セーブ and ロード (the page-save
// lists), 設定 (the settings screen), バックログ, タイトルへ and ゲーム終了, over the page as it
// stands, dimmed. Back to the title and quitting ask first.
#pragma once

#include "presentation/text.h"

// Runs the menu until the player backs out (the page is shown again), asks for the backlog,
// goes back to the title (e kBackToTitle) or quits (e 0, as closing the window does).
PageMenuAsks gameMenu();

// Asks the question with はい and いいえ, いいえ highlighted, over `under` (a dimmed copy of the
// screen, or null for what the screen shows); true for はい. Backing out answers いいえ.
bool confirmAsk(const char* question, SDL_Surface* under);

