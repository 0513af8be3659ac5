// The word actions of the replay's input scripts: acting on a screen by what it shows instead
// of by pixels, and expecting what the game shows or holds.
//
//   choose TEXT          the option whose text is TEXT, or else the first containing it
//   choose #N            the N-th option shown
//   menu search|items|move
//   goto-scene NAME      the move-list destination NAME (from the field menu: move first)
//   draw V               the next random draw of the script gives V
//   title new|load|continue
//   slot N|cancel        a slot of the slot screen, or none (a right click)
//   expect page TEXT     the page shown contains TEXT
//   expect scene NAME    the scene running is NAME
//   expect KEY OP VALUE  KEY as --set takes it, OP one of == != < <= > >=
//   expect ending N      the last game ended in ending N (its show began)
//   expect gameover      the last game ended in the game-over sequence
//   expect error         the fatal error screen is shown
//
// Each but draw waits, as click does, until the game waits for the player, and then looks at
// the screen (core/onscreen.h). The acting words and expect ending, gameover and error turn
// the pages (and close the item window) that stand before the screen they need, with Return.
#pragma once

#include <string>

struct WordAction {
    enum Verb {
        Choose, Menu, GotoScene, Draw, Title, Slot,
        ExpectPage, ExpectScene, ExpectValue, ExpectEnding, ExpectGameOver, ExpectError,
    } verb;
    std::string text;   // Choose's text; GotoScene's, ExpectScene's scene; ExpectPage's text;
                        // ExpectValue's key
    int number = 0;     // Choose #N (0: by text); Draw's value; Menu's and Title's entry
                        // (1-3); Slot's slot (0: cancel); ExpectValue's value; ExpectEnding's n
    std::string op;     // ExpectValue's comparison
    int line = 0;       // its line in the input script
    int turned = 0;     // pages it has turned so far
    bool clickedFirst = false;   // GotoScene: it has opened the move list
};

// Reads a word action from a line (comment already taken off). Answers false when the line's
// verb is not one of the word actions; true when it is, with *problem set when the rest of the
// line is not what the verb takes.
bool wordRead(const std::string& line, WordAction* action, std::string* problem);

// What a word action does now that the game waits for the player.
struct WordStep {
    enum What {
        Click,        // a left click at (x, y) does it
        ClickFirst,   // a left click at (x, y), then the action waits again (move, then its list)
        RightClick,   // a right click does it
        TurnPage,     // Return turns the page first; then the action waits again
        Held,         // an expectation that holds
        Failed,       // it cannot be done, or the expectation does not hold: failure says why
    } what;
    int x = 0, y = 0;
    std::string failure;   // "expected ..., got ..."
};

WordStep wordNow(const WordAction& action);

// What the word action expects or needs, for a failure at the end of the game:
// "an option containing 森".
std::string wordNeeds(const WordAction& action);

// The screen waiting for the player, in words: "a choice of 「一」「二」".
std::string shownInWords();
