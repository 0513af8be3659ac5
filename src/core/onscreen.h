// What the player has in front of them: the screen that waits for them, its entries with the
// texts shown and the areas a click must hit, and how the last game came to its end. The
// screens fill it as they open; a test driver reads it to act on a screen by its words instead
// of its pixels.
#pragma once

constexpr int kShownTextSize = 256;
constexpr int kShownEntries = 10;
constexpr int kShownPageSize = 4096;

enum class Shown {
    None,     // nothing waits yet
    Page,     // a message page (the text is in page)
    Items,    // the item window
    Choice,   // a choice list, or a move list when its entries lead to scenes
    Menu,     // the field menu: search, items, move
    Title,    // the title: start, load, continue
    Slots,    // the slot screen (mode 0 load, 1 save)
    Error,    // the fatal error screen (the message is in page)
    GameMenu, // the game menu over a page: its six plates
    Confirm,  // the game menu's question: はい, いいえ
    Settings, // the settings screen: its rows, then 戻る
};

// A rectangle of screen pixels, x..x+w-1 by y..y+h-1.
struct ShownArea {
    int x, y, w, h;
};

struct ShownEntry {
    char text[kShownTextSize];      // as shown; "search", "start", "slot 1"... for pictures
    char leadsTo[kShownTextSize];   // a move list's destination scene; empty otherwise
    ShownArea area;                 // where a click picks it (earlier entries win overlaps)
    bool available;                 // false: gray, or already picked
};

struct OnScreen {
    Shown kind;
    int mode;                       // Slots: 0 load, 1 save
    int count;
    ShownEntry entries[kShownEntries];
    char page[kShownPageSize];      // Page: its text, rows joined by newlines; Error: the message
};

// How a game ended most recently: an ending show or the game-over sequence began.
enum class EndKind { None, Ending, GameOver };

struct Outcome {
    EndKind kind;
    int n;            // the ending's number
    unsigned serial;  // counts outcomes, so that a new one can be told from the last
};

// A screen opens: the entries and text of the one before are forgotten.
void shownOpens(Shown kind, int mode = 0);
// Adds an entry to the screen just opened (up to kShownEntries; texts are cut to fit).
void shownEntry(const char* text, ShownArea area, bool available, const char* leadsTo = "");
// The text of the page or error shown (cut to fit).
void shownText(const char* text);
// Marks entry i (0-based) as no longer available (a multi-pick's first pick).
void shownTaken(int i);

const OnScreen& onScreen();

// An ending show (kind Ending, its number n) or the game-over sequence begins.
void outcomeBegins(EndKind kind, int n = 0);
const Outcome& lastOutcome();
