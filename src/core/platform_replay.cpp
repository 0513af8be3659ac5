// The replay back end: virtual time and scripted input, so that a run is the same every time
// and never sleeps for real.
//
// The clock moves only when the game sleeps or blocks for an event. Each scripted action
// falls due a fixed time after the one before it, and reaches the event queue and the held
// state together when the game next pumps (polls, waits or pumps), as SDL's own pump takes in
// what the player did meanwhile. Gated actions (click, rclick, press, shot) wait until the
// game waits for the player; the actions after one count their time from when it was carried
// out. Quick presses are latched as in the live game. A snap is a shot that is not gated.
#include "core/platform.h"
#include "core/replay.h"

#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

#include "core/calendar.h"
#include "core/decision.h"
#include "core/madeinput.h"
#include "core/note.h"
#include "core/presslatch.h"
#include "core/replaywords.h"

namespace {

// Word: a word action (replaywords.h), carried out by the steps it becomes at a gate; Draw:
// the value of a script's next random draw; Done: a draw already taken.
enum class Kind { Move, Down, Up, Wheel, KeyDown, KeyUp, Quit, Shot, Word, Draw, Done, End };

struct Action {
    Kind kind;
    Uint64 delay;      // virtual ms after the previous action fell due
    bool gated;        // waits until the game waits for the player
    int x, y;          // Move
    int code;          // button number or key symbol
    std::string file;  // Shot
    int word = -1;     // Word, Draw: its index in Replay::words
};

struct Replay {
    std::vector<Action> actions{{Kind::End, 0, false, 0, 0, 0, {}}};
    size_t next = 0;
    Uint64 now = 0;
    Uint64 lastDue = 0;       // when the previous action fell due (a gated one: was carried out)
    SDL_Surface* lastFlip = nullptr;
    int shotsLeft = 0;
    bool drained = false;     // the last poll found the queue empty: a menu screen's loop
    bool awaiting = false;    // the pointer was read after such a poll: the player is awaited
    long busyChecks = 0;      // quit checks since the game last looked for the player's input
    Uint64 lastLooked = 0;    // when it last did
    bool busyStopped = false; // it was asked to quit because it never looked
    bool errorExpected = false;   // an expect error has held
    std::vector<WordAction> words;
    std::vector<int> armedDraws;   // draw actions carried out, their draws not yet made
    std::string inputName = "INPUT";
    std::string failure;
    void (*onFailure)(const std::string& line) = nullptr;
};

Replay replay;

// The game looks for the player's input: it polls, waits or reads the pointer.
void looked()
{
    replay.busyChecks = 0;
    replay.lastLooked = replay.now;
}

void resetState()
{
    replay.busyChecks = 0;
    replay.lastLooked = 0;
    replay.busyStopped = false;
    replay.errorExpected = false;
    replay.armedDraws.clear();
    replay.failure.clear();
    replay.drained = replay.awaiting = false;
    replay.next = 0;
    replay.now = replay.lastDue = 0;
    inputReset();
    if (replay.lastFlip) SDL_FreeSurface(replay.lastFlip);
    replay.lastFlip = nullptr;
}

void writeShot(const std::string& file)
{
    // Before the first flip nothing has been shown: the picture is black.
    SDL_Surface* picture = replay.lastFlip;
    SDL_Surface* black = nullptr;
    if (!picture) picture = black = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 24, 0, 0, 0, 0);
    if (!picture || SDL_SaveBMP(picture, file.c_str()) != 0)
        std::fprintf(stderr, "tessarc-replay: cannot write shot %s\n", file.c_str());
    if (black) SDL_FreeSurface(black);
}

// Keeps a copy of the frame just shown for the `shot` actions still to come.
void keepForShot(SDL_Surface* surface)
{
    if (replay.shotsLeft <= 0 || !surface) return;
    if (!replay.lastFlip) {
        replay.lastFlip = SDL_CreateRGBSurface(SDL_SWSURFACE, surface->w, surface->h, 24,
                                               0xff0000, 0x00ff00, 0x0000ff, 0);
        if (!replay.lastFlip) return;
    }
    SDL_BlitSurface(surface, nullptr, replay.lastFlip, nullptr);
}

void carryOut(const Action& action)
{
    switch (action.kind) {
    case Kind::Move:
        inputMove(action.x, action.y);
        break;
    case Kind::Down:
    case Kind::Up:
        inputButton(action.code, action.kind == Kind::Down);
        break;
    case Kind::Wheel:
        inputWheel(action.code);
        break;
    case Kind::KeyDown:
    case Kind::KeyUp:
        inputKey(action.code, action.kind == Kind::KeyDown);
        break;
    case Kind::Quit:
        inputQuit();
        break;
    case Kind::Shot:
        writeShot(action.file);
        --replay.shotsLeft;
        break;
    case Kind::Draw:
        replay.armedDraws.push_back(action.word);
        break;
    case Kind::Word:
    case Kind::Done:
    case Kind::End:
        break;
    }
}

bool actOnWord(Uint64 due);

Uint64 dueTime() { return replay.lastDue + replay.actions[replay.next].delay; }

// Carries out, in order, the actions that have fallen due by `until`; a gated action only when
// the game waits for the player, and then at its due time or now, whichever is later.
void runDue(Uint64 until, bool playerAwaited)
{
    while (replay.next < replay.actions.size()) {
        const Action& action = replay.actions[replay.next];
        Uint64 due = dueTime();
        if (due > until) return;
        if (action.gated && !playerAwaited) return;
        if (action.gated && due < replay.now) due = replay.now;
        if (due > replay.now) replay.now = due;
        if (action.kind == Kind::Word) {
            if (!actOnWord(due)) return;
            continue;
        }
        carryOut(action);
        replay.lastDue = due;
        ++replay.next;
    }
}

// A snap needs no pump: it is taken when it falls due, even in the middle of a sleep, as long as
// it is the next action.
void runSnapsDue(Uint64 until)
{
    while (replay.next < replay.actions.size()) {
        const Action& action = replay.actions[replay.next];
        Uint64 due = dueTime();
        if (action.kind != Kind::Shot || action.gated || due > until) return;
        if (due > replay.now) replay.now = due;
        carryOut(action);
        replay.lastDue = due;
        ++replay.next;
    }
}

// What the game did meanwhile reaches the queue and the held state together.
void pump(bool playerAwaited)
{
    latchPumpBegins();
    runDue(replay.now, playerAwaited);
}

void quitRequest(SDL_Event* ev)
{
    if (!ev) return;
    std::memset(ev, 0, sizeof *ev);
    ev->quit.type = SDL_QUIT;
}

// ---- Reading an input script ---------------------------------------------------------------

bool keyByName(const std::string& name, int* key)
{
    static const struct { const char* name; int key; } names[] = {
        {"return", SDLK_RETURN}, {"space", SDLK_SPACE}, {"escape", SDLK_ESCAPE},
        {"lctrl", SDLK_LCTRL},   {"rctrl", SDLK_RCTRL},
        {"f1", SDLK_F1},         {"f2", SDLK_F2},         {"f3", SDLK_F3},
        {"f4", SDLK_F4},         {"f5", SDLK_F5},         {"f6", SDLK_F6},
        {"f7", SDLK_F7},         {"f8", SDLK_F8},         {"f9", SDLK_F9},
        {"f10", SDLK_F10},       {"f11", SDLK_F11},       {"f12", SDLK_F12},
        {"a", SDLK_a},           {"alt", SDLK_LALT},      {"backspace", SDLK_BACKSPACE},
        {"s", SDLK_s},           {"l", SDLK_l},           {"tab", SDLK_TAB},
        {"up", SDLK_UP},         {"down", SDLK_DOWN},     {"left", SDLK_LEFT},
        {"right", SDLK_RIGHT},   {"pageup", SDLK_PAGEUP}, {"pagedown", SDLK_PAGEDOWN},
        {"home", SDLK_HOME},     {"end", SDLK_END},       {"m", SDLK_m},
    };
    for (const auto& entry : names)
        if (name == entry.name) {
            *key = entry.key;
            return true;
        }
    return false;
}

bool buttonByName(const std::string& name, int* button)
{
    if (name == "left") *button = SDL_BUTTON_LEFT;
    else if (name == "right") *button = SDL_BUTTON_RIGHT;
    else return false;
    return true;
}

bool wheelByName(const std::string& name, int* button)
{
    if (name == "up") *button = SDL_BUTTON_WHEELUP;
    else if (name == "down") *button = SDL_BUTTON_WHEELDOWN;
    else return false;
    return true;
}

// Reads the whole rest of a line as exactly `count` integers.
bool readInts(std::istringstream& in, int count, int* out)
{
    for (int i = 0; i < count; ++i)
        if (!(in >> out[i])) return false;
    std::string extra;
    return !(in >> extra);
}

bool readWord(std::istringstream& in, std::string* word)
{
    if (!(in >> *word)) return false;
    std::string extra;
    return !(in >> extra);
}

class ScriptBuilder {
public:
    explicit ScriptBuilder(std::vector<Action>* out) : out_(out) {}

    int line = 0;          // the line being read
    std::string problem;   // why it is not an action, when that can be said

    void wait(Uint64 ms) { pending_ += ms; }

    void add(Kind kind, bool gated, int x = 0, int y = 0, int code = 0, std::string file = {})
    {
        out_->push_back(Action{kind, pending_, gated, x, y, code, std::move(file)});
        pending_ = 0;
    }

    // The press-and-release forms: the first step waits for the player, the rest follow it.
    void pressRelease(Kind down, Kind up, int code, bool withMove, int x, int y)
    {
        if (withMove) {
            add(Kind::Move, true, x, y);
            wait(50);
            add(down, false, 0, 0, code);
        } else {
            add(down, true, 0, 0, code);
        }
        wait(50);
        add(up, false, 0, 0, code);
        wait(50);
    }

    void finish() { add(Kind::End, false); }

    void addWord(const WordAction& word)
    {
        add(word.verb == WordAction::Draw ? Kind::Draw : Kind::Word, word.verb != WordAction::Draw);
        out_->back().word = static_cast<int>(words_.size());
        words_.push_back(word);
    }

    Uint64 pending() const { return pending_; }
    std::vector<WordAction>& words() { return words_; }

private:
    std::vector<Action>* out_;
    Uint64 pending_ = 0;  // waits add up over 2^32 ms without wrapping
    std::vector<WordAction> words_;
};

// An action may be followed by a comment: a word starting with # ends the line.
std::string withoutComment(const std::string& line)
{
    size_t from = 1;
    // "choose #N" names an option by its number: that # starts no comment.
    if (line.compare(0, 7, "choose ") == 0) {
        size_t word = line.find_first_not_of(" \t", 7);
        if (word != std::string::npos && line[word] == '#' && word + 1 < line.size() &&
            line[word + 1] >= '0' && line[word + 1] <= '9')
            from = word + 1;
    }
    for (size_t i = from; i < line.size(); ++i)
        if (line[i] == '#' && (line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
    return line;
}

std::string resolve(const std::string& file, const std::string& baseDir)
{
    if (file.empty() || file[0] == '/' || baseDir.empty()) return file;
    return baseDir + "/" + file;
}

bool parseLine(const std::string& line, const std::string& baseDir, ScriptBuilder* script)
{
    std::istringstream in(line);
    std::string verb, word;
    in >> verb;
    int n[2];
    int code;
    if (verb == "wait") {
        long long ms;
        std::string extra;
        if (!(in >> ms) || ms < 0 || ms > 0x7fffffff || (in >> extra)) return false;
        script->wait(static_cast<Uint64>(ms));
    } else if (verb == "move" || verb == "click" || verb == "rclick") {
        if (!readInts(in, 2, n)) return false;
        if (verb == "move") script->add(Kind::Move, false, n[0], n[1]);
        else script->pressRelease(Kind::Down, Kind::Up,
                                  verb == "click" ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT, true,
                                  n[0], n[1]);
    } else if (verb == "down" || verb == "up") {
        if (!readWord(in, &word) || !buttonByName(word, &code)) return false;
        script->add(verb == "down" ? Kind::Down : Kind::Up, false, 0, 0, code);
    } else if (verb == "wheel") {
        if (!readWord(in, &word) || !wheelByName(word, &code)) return false;
        script->add(Kind::Wheel, false, 0, 0, code);
    } else if (verb == "keydown" || verb == "keyup" || verb == "press") {
        if (!readWord(in, &word) || !keyByName(word, &code)) return false;
        if (verb == "press") script->pressRelease(Kind::KeyDown, Kind::KeyUp, code, false, 0, 0);
        else script->add(verb == "keydown" ? Kind::KeyDown : Kind::KeyUp, false, 0, 0, code);
    } else if (verb == "quit") {
        if (in >> word) return false;
        script->add(Kind::Quit, false);
    } else if (verb == "shot" || verb == "snap") {
        // The file name is the rest of the line, so it may hold blanks.
        std::string file;
        std::getline(in >> std::ws, file);
        while (!file.empty() && (file.back() == ' ' || file.back() == '\t' || file.back() == '\r'))
            file.pop_back();
        if (file.empty()) return false;
        // A snap is taken when it falls due, whatever the game is doing then.
        script->add(Kind::Shot, verb == "shot", 0, 0, 0, resolve(file, baseDir));
    } else {
        WordAction word;
        std::string problem;
        if (!wordRead(line, &word, &problem) || !problem.empty()) {
            script->problem = problem;
            return false;
        }
        word.line = script->line;
        script->addWord(word);
    }
    return true;
}

}  // namespace

bool replayLoad(const std::string& text, const std::string& baseDir, std::string* error)
{
    const size_t kLongestLine = 4096;
    std::vector<Action> actions;
    ScriptBuilder script(&actions);
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        // No action needs a long line; one of binary junk would only be copied about.
        if (line.size() > kLongestLine) {
            if (error) *error = "line " + std::to_string(number) + ": longer than 4096 bytes";
            return false;
        }
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        script.line = number;
        if (!parseLine(withoutComment(line.substr(first)), baseDir, &script)) {
            if (error) *error = "line " + std::to_string(number) + ": not an action: " + line;
            if (error && !script.problem.empty()) *error += " (" + script.problem + ")";
            return false;
        }
    }
    script.finish();
    resetState();
    replay.actions = std::move(actions);
    replay.words = std::move(script.words());
    replay.shotsLeft = 0;
    for (const Action& action : replay.actions)
        if (action.kind == Kind::Shot) ++replay.shotsLeft;
    return true;
}

bool replayUsedUp() { return replay.next >= replay.actions.size(); }

// ---- The platform layer --------------------------------------------------------------------

Uint32 platformTicks() { return static_cast<Uint32>(replay.now); }

Uint64 platformTicks64() { return replay.now; }

void platformDelay(Uint32 ms)
{
    // A screen that waits for the player sleeps a few ms at a time, drawing between (the title
    // animates): a long wait in the script would be played out frame by frame. Only its last
    // minute is; the clock jumps over the rest.
    const Uint64 kPlayedOut = 60000;
    if (replay.awaiting && replay.next < replay.actions.size()) {
        Uint64 due = dueTime();
        if (due > replay.now + ms + kPlayedOut) replay.now = due - kPlayedOut;
    }
    Uint64 until = replay.now + ms;
    runSnapsDue(until);
    replay.now = until;
}

int platformPollEvent(SDL_Event* ev)
{
    looked();
    pump(false);
    replay.drained = replay.awaiting = false;
    if (inputTake(ev)) return 1;
    replay.drained = true;
    if (!replayUsedUp()) return 0;
    quitRequest(ev);
    return 1;
}

namespace {

// Blocks for the next event, the clock jumping to each scripted action in turn, until `until`
// (kForever: no end); 0 when that passed first.
const Uint64 kForever = ~Uint64(0);

int waitUntil(SDL_Event* ev, Uint64 until)
{
    for (;;) {
        // The game blocks only when nothing is queued: what is already there comes first, and
        // the player acts only on what is showing once the game waits.
        runDue(replay.now, false);
        if (inputTake(ev)) return 1;
        runDue(replay.now, true);
        if (inputTake(ev)) return 1;
        if (replayUsedUp()) {
            quitRequest(ev);
            return 1;
        }
        Uint64 due = dueTime();
        if (due > until) {
            runSnapsDue(until);
            replay.now = until;
            return 0;
        }
        if (due > replay.now) replay.now = due;
    }
}

}  // namespace

int platformWaitEvent(SDL_Event* ev)
{
    looked();
    latchPumpBegins();
    replay.drained = replay.awaiting = false;
    return waitUntil(ev, kForever);
}

int platformWaitEventTimeout(SDL_Event* ev, Uint32 ms)
{
    looked();
    latchPumpBegins();
    replay.drained = replay.awaiting = false;
    // A page that animates while it waits would play out a long wait of the script frame by
    // frame: only its last minute is, as in platformDelay.
    const Uint64 kPlayedOut = 60000;
    if (replay.next < replay.actions.size() && dueTime() > replay.now + ms + kPlayedOut)
        replay.now = dueTime() - kPlayedOut;
    return waitUntil(ev, replay.now + ms);
}

void platformPumpEvents()
{
    // A routine that only pumps (an effect, a fade) is not waiting for the player.
    replay.awaiting = false;
    pump(false);
}

void platformForgetPresses()
{
    pump(false);
    latchForget();
}

void platformWaitBegins() { latchForget(); }

Uint8 platformEventState(Uint8 type, int state) { return inputEventState(type, state); }

Uint8 platformKeyHeld(int key) { return inputKeyHeld(key); }

// A screen that has polled the queue empty and reads the pointer (a menu screen) waits for the
// player: a gated action may be carried out here, and is seen by this very read. A text page
// reads the pointer after an event it waited for: that read takes nothing in, as in SDL.
Uint8 platformMouseState(int* x, int* y)
{
    looked();
    if (replay.drained) {
        replay.awaiting = true;
        runDue(replay.now, true);
    }
    return inputMouseState(x, y);
}

long platformTime() { return static_cast<long>(replay.now / 1000); }

PlatformDate platformDate()
{
    const long long kFirstDay = 1767225600;   // 2026-01-01 00:00:00 UTC
    return calendarDate(kFirstDay + static_cast<long long>(replay.now / 1000), false);
}

void platformFlip(SDL_Surface* surface)
{
    runSnapsDue(replay.now);
    noteOver(surface);
    SDL_Flip(surface);
    keepForShot(surface);
    noteOff(surface);
}

void platformFlipArea(SDL_Surface* surface, int, int, int, int) { platformFlip(surface); }

bool platformQuitPending()
{
    // A game busy without looking for input (a loop of commands, or pages turned by a held
    // Ctrl) gets no time of its own; after this many checks it is given 10 ms per check. After
    // ten seconds of that, or a minute of virtual time without looking, it is asked to quit.
    const long kPatience = 1000, kStep = 10, kLimit = kPatience + 10000 / kStep;
    const Uint64 kMinute = 60000;
    long checks = ++replay.busyChecks;
    if (checks > kPatience) replay.now += kStep;
    pump(false);
    // A used-up script answers the next wait or poll with the quit request; only a game
    // that never gets to one is stopped here.
    if (inputQuitQueued()) return true;
    if (checks > kLimit || replay.now - replay.lastLooked > kMinute) replay.busyStopped = true;
    return replay.busyStopped;
}

// ---- Word actions and draws ------------------------------------------------------------

namespace {

// The run cannot go on as the script says: the driver is told (and may end the process);
// otherwise the run ends as when the script is used up.
void fail(int line, const std::string& why)
{
    replay.failure = replay.inputName + ":" + std::to_string(line) + ": " + why;
    if (replay.onFailure) replay.onFailure(replay.failure);
    replay.next = replay.actions.size();
    inputQuit();
}

// Pages turned by one word action at most: more, and the game shows page after page.
const int kTurnsAtMost = 100000;

// Replaces the word action that is next by the steps that carry it out now, the game waiting
// for the player; it stays behind them, waiting again, when they only prepare it. False when
// the run has failed.
bool actOnWord(Uint64 due)
{
    size_t at = replay.next;
    int index = replay.actions[at].word;
    WordAction& word = replay.words[index];
    WordStep step = wordNow(word);
    replay.lastDue = due;
    if (step.what == WordStep::TurnPage && ++word.turned > kTurnsAtMost)
        step = WordStep{WordStep::Failed, 0, 0, "expected " + wordNeeds(word) + ", got page after page"};
    if (step.what == WordStep::ClickFirst && word.clickedFirst)
        step = WordStep{WordStep::Failed, 0, 0, "expected " + wordNeeds(word) + ", got " + shownInWords() + " again"};
    if (step.what == WordStep::Failed) {
        fail(word.line, step.failure);
        return false;
    }
    if (step.what == WordStep::Held) {
        if (word.verb == WordAction::ExpectError) replay.errorExpected = true;
        ++replay.next;
        return true;
    }
    std::vector<Action> steps;
    ScriptBuilder build(&steps);
    bool again = step.what == WordStep::TurnPage || step.what == WordStep::ClickFirst;
    if (step.what == WordStep::TurnPage)
        build.pressRelease(Kind::KeyDown, Kind::KeyUp, SDLK_RETURN, false, 0, 0);
    else
        build.pressRelease(Kind::Down, Kind::Up,
                           step.what == WordStep::RightClick ? SDL_BUTTON_RIGHT : SDL_BUTTON_LEFT, true,
                           step.x, step.y);
    word.clickedFirst = word.clickedFirst || step.what == WordStep::ClickFirst;
    Uint64 trailing = build.pending();
    Action kept = replay.actions[at];
    replay.actions.erase(replay.actions.begin() + static_cast<long>(at));
    if (again) {
        kept.delay = trailing;
        steps.push_back(kept);
    } else {
        // The steps take the word action's place; what follows it counts from their end.
        replay.actions[at].delay += trailing;
    }
    replay.actions.insert(replay.actions.begin() + static_cast<long>(at), steps.begin(), steps.end());
    return true;
}

}  // namespace

void replayName(const std::string& name) { replay.inputName = name; }

void replayOnFailure(void (*handler)(const std::string& line)) { replay.onFailure = handler; }

const std::string& replayFailure() { return replay.failure; }

bool replayAnswer(const Decision& decision, Answer* answer)
{
    if (decision.kind != DecisionKind::Draw) return false;
    int index = -1;
    if (!replay.armedDraws.empty()) {
        index = replay.armedDraws.front();
        replay.armedDraws.erase(replay.armedDraws.begin());
    } else {
        // A draw action that follows the last action carried out, with nothing before it that
        // waits for the player, is the draw's: the game draws without pumping.
        for (size_t i = replay.next; i < replay.actions.size() && !replay.actions[i].gated; ++i)
            if (replay.actions[i].kind == Kind::Draw) {
                index = replay.actions[i].word;
                replay.actions[i].kind = Kind::Done;
                break;
            }
    }
    if (index < 0) return false;
    const WordAction& word = replay.words[index];
    if (word.number >= decision.count) {
        fail(word.line, "expected a draw from 0 to " + std::to_string(decision.count - 1) + ", got " +
                            std::to_string(word.number));
        return false;
    }
    answer->value[0] = word.number;
    return true;
}

std::string replayUnfinished()
{
    if (!replay.failure.empty()) return replay.failure;
    int line = 0;
    std::string needs;
    if (!replay.armedDraws.empty()) {
        line = replay.words[replay.armedDraws.front()].line;
        needs = "a random draw";
    }
    for (size_t i = replay.next; !line && i < replay.actions.size(); ++i) {
        const Action& action = replay.actions[i];
        if (action.kind != Kind::Word && action.kind != Kind::Draw) continue;
        line = replay.words[action.word].line;
        needs = wordNeeds(replay.words[action.word]);
    }
    if (!line) return "";
    return replay.inputName + ":" + std::to_string(line) + ": expected " + needs + ", got the end of the game";
}

bool replayStoppedBusy() { return replay.busyStopped; }

bool replayErrorExpected() { return replay.errorExpected; }

void replayPlayerAnswered() { looked(); }
