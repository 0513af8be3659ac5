// A small game played with the keyboard alone, by the replay and by the live test.
#pragma once

#include "support/gamedir.h"

// A scene with a choice whose second option sets flag 2, then a field menu whose search shows
// a page and whose move list leads to A001 or A002; each of those shows a page.
inline void keyboardGame(const GameDir& game)
{
    game.write("script/itemlist.txt", "薬草\n鍵\n");
    game.write("script/start.txt", "item+ 0\n[はじめのページ]\npick {\n右へ flag+ 1\n左へ flag+ 2\n}\n"
                                   "*search*\n[何もない。]\n*move*\n{\n森 A001\n浜 A002\n}\n");
    game.write("script/A001.txt", "[森に着いた。]\n*move*\n{\n戻る start\n}\n");
    game.write("script/A002.txt", "[浜に着いた。]\n*move*\n{\n戻る start\n}\n");
}

// The keys of the play through it, as replay actions: 左へ, search, items, move to 浜.
inline constexpr char kKeyboardPlay[] =
    "press down\npress return\n"                  // the title: start
    "press return\n"                              // the first page
    "press down\npress down\npress return\n"      // the choice: 左へ
    "press down\npress return\n"                  // the field menu: search
    "press space\n"                               // its page
    "press down\npress down\npress return\n"      // items
    "press return\n"                              // the item window closes
    "press up\npress return\n"                    // move
    "press up\npress return\n";                   // the destinations: 浜, the last
