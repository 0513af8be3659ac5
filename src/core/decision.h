// Decision points: the places where the story waits for the player to decide (the title's
// buttons, a choice, the field menu, a move list, the slot screen) and the script's random
// draws, with a way for someone other than the player to take each decision: a search of
// every path, or a log of decisions played back.
//
// Every screen that waits for a decision first asks decisionAnswered(); when the answerer
// takes the decision the screen is neither drawn nor waited on, and does what the player's
// click would have made it do. Whoever took it, the screen then tells decisionTaken(), so that
// a log can be kept of a live game. Quiet mode goes with an answerer that takes every
// decision: nothing is drawn, played, waited for or written while it is on.
#pragma once

constexpr int kDecisionTextSize = 256;   // an option text or a destination, with its NUL
constexpr int kDecisionPicks = 5;        // the most picks of one choice

enum class DecisionKind {
    Title,      // 1 start, 2 load, 3 continue
    Choice,     // the options picked, in order (a script's pick block)
    MoveList,   // the destination picked from a field menu's move list
    Menu,       // 1 search, 2 items, 3 move
    Slot,       // 1-3 a slot, 0 none (the slot screen, to load or to save)
    Draw,       // a value from 0 to count - 1 (a script's rand)
};

struct Decision {
    DecisionKind kind;
    int count;       // the answers there are: options, destinations, values; 3 for the others
    int picks;       // Choice: options to pick one after another; 1 for the others
    const char (*texts)[kDecisionTextSize];    // Choice, MoveList: the option texts, count rows
    const char (*scenes)[kDecisionTextSize];   // MoveList: the destinations' scene names
    unsigned available;   // Title, Menu, Slot: bit i - 1 set when answer i can be given now
    int mode;             // Slot: 0 load, 1 save
};

// Choice: the option numbers picked (1-based) in order, then 0s; all 0 when the player backed
// out (a right click). Every other kind: its answer in value[0].
struct Answer {
    int value[kDecisionPicks];
};

struct DecisionHooks {
    // Takes the decision (true, with *answer filled) or leaves it to the player (false). The
    // answer must be one the decision offers.
    bool (*answer)(const Decision& decision, Answer* answer);
    // Told of every decision once taken, by the answerer or by the player.
    void (*taken)(const Decision& decision, const Answer& answer);
};

// Replaces the hooks; null members: none. decisionHooksNow answers those in force, so that
// new hooks can pass on to them.
void decisionHooks(const DecisionHooks& hooks);
const DecisionHooks& decisionHooksNow();

// Asks the answerer; true when it took the decision, with *answer filled.
bool decisionAnswered(const Decision& decision, Answer* answer);

// Tells the hooks the decision and its answer.
void decisionTaken(const Decision& decision, const Answer& answer);

// The page turn point: a page of story text about to wait for the player, with text what it
// shows (its rows joined by line feeds). The answerer may turn it (true): it is then neither
// shown nor waited on. A page the player turned is told to `turned`.
struct PageHooks {
    bool (*answer)(const char* text);
    void (*turned)(const char* text);
};
void pageHooks(const PageHooks& hooks);
bool pageTurnAnswered(const char* text);
void pageTurnTaken(const char* text);

// A random draw of the script: a value from 0 to |n| - 1 (n not 0). Unless the answerer takes
// it, the standard generator is seeded with platformTime() and its first value, kept to the
// range 0-32767, is taken modulo n: the same seed gives the same story.
int scriptDraw(int n);

// Quiet mode: nothing drawn, played, waited for or written. Pages are still laid out (a page
// the layout refuses is still fatal) and pictures named as the background are noted, to be
// read when next drawn.
void quietSet(bool on);
bool quietRun();
