// The line loop of a scene and its block levels.
#include "interpreter/script.h"

#include <cstring>
#include <string>

#include "core/errorplace.h"
#include "core/errors.h"
#include "core/platform.h"
#include "core/runwatch.h"
#include "core/state.h"
#include "interpreter/commands.h"
#include "interpreter/condition.h"
#include "interpreter/flow.h"
#include "interpreter/scanner.h"
#include "presentation/audio.h"
#include "presentation/sequences.h"
#include "presentation/text.h"
#include "presentation/window.h"
#include "savegame/save.h"
#include "screens/menu.h"

namespace {

constexpr int kLevels = 20;
constexpr int kLineSize = 600;
constexpr int kPickRows = 10;       // rows of worpcheck: choices with blocks stand at level 9 or less
constexpr int kPicksAtMost = 5;     // picks of one choice, each with at most one block

// Line states kept per level, and the codes orders1 answers.
enum : int {
    kNone = 0, kTrueBranch = 1, kWhile = 4, kBreak = 5, kDo = 6, kDoAgain = 7, kHandled = 9,
    kCommand = 10, kInith = 21, kSkipNext = 100,
};
// Control codes of e around a choice.
enum : int { kBreakOut = 12, kJump = 13, kPerBlock = 100 };

// A move picked beside other picks of the same choice, waiting for them to be done.
bool moveHeld;

// The state of one running scene.
struct Scene {
    const char* start;
    const char* pos;
    int level = 0;
    int run[kLevels];
    int state[kLevels];
    int repeat[kLevels];            // picked option blocks still to run for a choice at a level
    int after[kLevels];             // what follows them: 12 break out, 13 jump, else return
    const char* back[kLevels];      // where the scene goes on behind that choice
    bool moveAfter[kLevels];        // and whether a move picked with them ends the scene then
    char label[kArgSize] = "";      // the label of a picked goto entry, held over its blocks
    int stage = 0;                  // the command stage running (1-4 orders1-4), 0 none
    const char* word = nullptr;     // the command word running, while a stage runs

    explicit Scene(const char* text) : start(text), pos(text)
    {
        for (int l = 0; l < kLevels; ++l) {
            run[l] = 1;
            state[l] = repeat[l] = after[l] = 0;
            back[l] = nullptr;
            moveAfter[l] = false;
        }
    }

    void up()
    {
        if (level + 1 >= kLevels) errors("｛｝の入れ子が深すぎます（19段まで）");
        ++level;
    }

    // Leaves the loop around the current level; the rest of its body is skipped.
    void breakOut()
    {
        int from = level;
        while (state[level] != kWhile && state[level] != kDo) {
            if (level == 0) errors("breakがwhile文やdo文の外にあります");
            state[level] = kNone;
            run[level] = 1;
            --level;
        }
        state[level] = kNone;
        pos = whileBack(pos, from - level, start);
        char head[kLineSize];
        if (const char* next = GetLine(head, pos)) pos = next;
        up();
        run[level] = 0;
    }

    void jump(const char* text)
    {
        const char* found = std::strstr(start, text);
        if (!found) errors("スクリプト中に指定のラベルが見つかりません");
        pos = found;
        level = 0;
        for (int l = 0; l < kPickRows; ++l) {
            run[l] = 1;
            state[l] = kNone;
        }
    }

    // Moves to the next picked option block of the choice made at level at; false when none
    // is left.
    bool takeBlock(int at)
    {
        for (int k = 0; k < kPicksAtMost; ++k) {
            const char*& entry = worpcheck[at][k];
            if (!entry) continue;
            pos = entry;
            entry = nullptr;
            return true;
        }
        return false;
    }

    // Right after a choice whose picked entries own blocks: run them, one after another, at
    // two levels up.
    void startPickedBlocks()
    {
        if (level >= kPickRows) errors("ブロックを持つ選択肢は９段目までに置いてください");
        repeat[level] = e / kPerBlock;
        after[level] = e % kPerBlock;
        if (after[level] == kJump) std::memcpy(label, argument, sizeof label);
        back[level] = pos;
        moveAfter[level] = moveHeld;
        moveHeld = false;
        e = 1;
        if (!takeBlock(level)) {
            repeat[level] = 0;
            if (moveAfter[level]) e = 2;
            return;
        }
        up();
        run[level] = 0;
        up();
    }

    // A "}" has brought the level down to choice + 1 while blocks of that choice are pending.
    void pickedBlockClosed(int choice)
    {
        if (--repeat[choice] > 0 && takeBlock(choice)) {
            up();
            return;
        }
        repeat[choice] = 0;
        if (moveAfter[choice]) {
            moveAfter[choice] = false;
            if (e == 1) e = 2;
        }
        if (after[choice] == kJump) {
            after[choice] = 1;
            return jump(label);
        }
        level = choice;
        run[choice + 1] = 1;
        if (after[choice] == kBreakOut) {
            after[choice] = 1;
            pos = back[choice];
            return breakOut();
        }
        if (back[choice]) pos = back[choice];
    }

    void closeBlock(const char* line)
    {
        run[level] = 1;
        // A stray "}" at the outermost level closes nothing.
        if (level == 0) return;
        --level;
        if (state[level] == kWhile) pos = whileBack(pos, 0, start);
        if (state[level] == kDo && !contains(line, "while")) errors("do文の文法が間違っています");
        if (level > 0 && repeat[level - 1] != 0) pickedBlockClosed(level - 1);
    }

    void showMessage()
    {
        static char message[131072];
        // The message starts at the last "[" of its line and runs to the next "]".
        const char* open = pos;
        while (*open != '[') --open;
        const char* close = GetText(message, open);
        watchLinesRun(start, open, close);
        pos = close;
        text(message, 0);
    }

    void command(const char* word, const char* rest, const char* line)
    {
        this->word = word;
        int& s = state[level];
        if (s != kNone && s != kDo && !contains(word, "else")) s = kNone;
        stage = 1;
        s = orders1(word, pos, rest, line, s);
        stage = 0;
        if (s == kInith) {
            e = 5;
            return;
        }
        if (s >= kSkipNext) {
            s -= kSkipNext;
            if (level + 1 < kLevels) run[level + 1] = 0;
        }
        if (s >= kCommand) {
            s -= kCommand;
            GetWord(argument, rest);
            stage = 2;
            pos = orders2(word, pos, start);
            stage = 3;
            orders3(word, argument, line);
            stage = 4;
            pos = orders4(word, argument, start, pos, rest, line, level, state);
            stage = 0;
            if (e > kPerBlock) {
                startPickedBlocks();
            } else if (e == kBreakOut) {
                breakOut();
                e = 1;
            } else if (e == kJump) {
                jump(argument);
                e = 1;
            }
            if (moveHeld) {
                moveHeld = false;
                e = 2;
            }
            return;
        }
        switch (s) {
        case kBreak: return breakOut();
        case kDoAgain: pos = whileBack(pos, 0, start); return;
        case kHandled: s = kNone; return;
        default: return up();
        }
    }

    void runLines()
    {
        char line[kLineSize], word[kLineSize];
        // Lines run between two checks for the close request, across scenes too: a scene may
        // loop, or scenes may chain, without ever waiting for the player.
        static unsigned linesRun = 0;
        while (e == 1) {
            if (++linesRun % 256 == 0 && platformQuitPending()) {
                e = 0;
                break;
            }
            if (HP < 1) {
                GameOver();
                // A quit asked for on its pages ends the program, not only the pages.
                if (e != 0) e = 5;
                break;
            }
            const char* from = pos;
            const char* next = GetLine(line, pos);
            if (!next) {
                window(0);
                pos = menu(start);
                continue;
            }
            pos = next;
            placeLine(start, next);
            if (keystate[SDLK_ESCAPE] || event.type == SDL_QUIT) {
                e = 0;
                break;
            }
            const char* rest = GetWord(word, line);
            if (std::strchr(line, '}')) closeBlock(line);
            if (run[level] == 0) {
                if (std::strchr(line, '{')) {
                    up();
                    run[level] = 0;
                }
                continue;
            }
            watchLinesRun(start, from, next);
            if (contains(word, "[")) showMessage();
            else if (contains(word, "//") || contains(word, "]")) continue;
            else command(word, rest, line);
        }
    }

    char argument[kArgSize] = "";
};

const Scene* running;   // the scene script() runs, while it runs

// Whether a line opening the field menu ("menu", or a word starting with "*") does nothing
// else: no later stage knows its word, so that where it stood does not matter once the menu
// has answered where the scene goes on.
bool opensMenuOnly(const char* word)
{
    if (!word || (word[0] != '*' && std::strcmp(word, "menu") != 0)) return false;
    for (const char* part : {"hp", "guts", "para", "pick"})
        if (contains(word, part)) return false;
    return true;
}

// Appends the bytes of value to out.
template <typename T>
void put(std::string* out, const T& value)
{
    out->append(reinterpret_cast<const char*>(&value), sizeof value);
}

// A position in the scene's text as an offset, -1 for none.
long offsetOf(const char* at, const char* start) { return at ? at - start : -1; }

}  // namespace

const char* runningScene(std::string* out, int* stage)
{
    if (!running) return nullptr;
    const Scene& r = *running;
    *stage = r.stage;
    put(out, r.level);
    put(out, r.stage);
    put(out, r.stage == 2 && opensMenuOnly(r.word) ? -2L : offsetOf(r.pos, r.start));
    put(out, r.run);
    put(out, r.state);
    put(out, r.repeat);
    put(out, r.after);
    for (const char* back : r.back) put(out, offsetOf(back, r.start));
    for (const auto& row : worpcheck)
        for (const char* block : row) put(out, offsetOf(block, r.start));
    // The label is read only by a choice whose picked blocks end in its jump; once that has
    // jumped the label stays behind unread.
    bool jumpPending = false;
    for (int after : r.after) jumpPending = jumpPending || after == kJump;
    if (jumpPending) out->append(r.label);
    out->push_back('\0');
    // The argument of a command line is read by its own stages only: between two lines it
    // is dead, the next line writing it before any stage reads it.
    bool argumentRead = r.stage == 3 || r.stage == 4 || (r.stage == 2 && !opensMenuOnly(r.word));
    if (argumentRead) out->append(r.argument);
    out->push_back('\0');
    return r.start;
}

void script(const char* scene)
{
    HPtemp = HP;
    Gutstemp = Guts;
    std::memset(findcheck, 0, 20 * sizeof findcheck[0]);
    std::memset(chosen, 0, sizeof chosen);
    // Picked blocks a scene left behind (it moved on before running them) point into its
    // text; the next scene must never take them.
    std::memset(worpcheck, 0, sizeof worpcheck);
    moveHeld = false;
    Scene playing(scene);
    // Forgotten however the scene ends: a restart or a search's run may leave it by a throw.
    struct Forget {
        ~Forget() { running = nullptr; }
    } forget;
    running = &playing;
    playing.runLines();
    placeLine(nullptr, nullptr);
    if (e == 2) e = 1;
}

void moveWhenPicksAreDone() { moveHeld = true; }

int orders1(const char* word, const char*, const char*, const char* line, int state)
{
    if (std::strcmp(word, "bgmoff") == 0) {
        music("off");
        state = kHandled;
    } else if (std::strcmp(word, "seoff") == 0) {
        sound("off", 0);
        state = kHandled;
    }
    if (std::strcmp(word, "inith") == 0) return kInith;
    if (std::strcmp(word, "save") == 0) {
        save(0);
        return kHandled;
    }
    if (contains(word, "while") || state == kDo) {
        int holds = ifthrough(line, state);
        if (state == kDo) return holds == 1 ? kDoAgain : kHandled;
        return holds == 1 ? kWhile : kSkipNext;
    }
    if (std::strcmp(word, "do") == 0) return kDo;
    if (std::strcmp(word, "break") == 0) return kBreak;
    if (contains(word, "elseif")) {
        if (state != kNone) return state + kSkipNext;
        return ifthrough(line, state) == 1 ? kTrueBranch : kSkipNext;
    }
    if (contains(word, "if")) return ifthrough(line, state) == 1 ? kTrueBranch : kSkipNext;
    if (contains(word, "else")) return state == kTrueBranch ? kSkipNext : kNone;
    return state + kCommand;
}

const char* orders2(const char* word, const char* pos, const char* scene)
{
    if (std::strcmp(word, "menu") != 0 && word[0] != '*') return pos;
    window(0);
    return menu(scene);
}
