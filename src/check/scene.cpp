// The scene walk: every line of a scene read as the interpreter reads it, every branch taken.
#include "check/scene.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <sys/stat.h>
#include <vector>

#include "check/conditions.h"
#include "check/messages.h"
#include "interpreter/scanner.h"

namespace {

const int kLineSize = 600;          // the interpreter's line buffer
const int kArgSize = 300;           // its first-argument buffer
const int kLevelsAtMost = 19;       // block levels the interpreter keeps
const int kChoiceLevelsAtMost = 9;  // the deepest level of a choice whose entries own blocks

enum class Kind { Scene, If, Elseif, Else, While, Do, Pick, Entry, Other };

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::If: return "if";
    case Kind::Elseif: return "elseif";
    case Kind::Else: return "else";
    case Kind::While: return "while";
    case Kind::Do: return "do";
    case Kind::Pick: return "pick";
    case Kind::Entry: return "option";
    default: return "block";
    }
}

// An open block.
struct Frame {
    Kind kind;
    const char* at;         // its first word
    std::string gate;       // the condition that gates its lines, for the map
    bool ends = false;      // its last statement so far ends the scene
    bool allEnd = true;     // if chain: every branch before ended; pick: every entry ends
    int entries = 0;        // pick: entries read
    bool reported = false;  // pick: its depth is reported
};

const char* const kCommandWords[] = {
    "bg",     "bgm",   "bgmoff", "se",    "seoff",   "effect", "none",      "hp",      "guts",
    "hpmax",  "gutsmax", "para", "item+", "item-",   "flag+",  "flag-",     "check+",  "check-",
    "timecheck", "chapter", "ScenarioEnd", "moveto", "goto", "save", "inith", "menu", "pick",
    "if",     "elseif", "else",  "while", "do",      "break",
};

int editDistance(const std::string& a, const std::string& b)
{
    std::vector<int> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (size_t j = 1; j <= b.size(); ++j) {
            int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The nearest command word, when one is near enough to be meant.
std::string nearestCommand(const std::string& word)
{
    std::string best;
    int bestDistance = 3;
    for (const char* command : kCommandWords) {
        int d = editDistance(word, command);
        if (d < bestDistance) best = command, bestDistance = d;
    }
    return best;
}

// Words that act only as a line of their own, never as the action of an option.
bool lineOnly(const char* word)
{
    for (const char* only : {"inith", "save", "menu", "pick", "if", "elseif", "else", "while", "do"})
        if (std::strcmp(word, only) == 0) return true;
    return false;
}

std::string joinGates(const std::string& outer, const std::string& inner)
{
    if (outer.empty()) return inner;
    if (inner.empty()) return outer;
    return outer + ", " + inner;
}

struct Walker {
    Walker(const SourceText& text, const GameFolder& folder, Findings& findings)
        : src(text), game(folder), found(findings)
    {
    }

    const SourceText& src;
    const GameFolder& game;
    Findings& found;
    std::vector<Frame> stack;
    std::set<std::string> labels;   // every word a goto names in the scene
    bool chainAll = true;           // what a closed if or elseif hands on to the branch after it
    size_t moveDepth = 0;           // inside the move list: the stack size at "*move*"
    const char* menuAt = nullptr;   // the first line that opens the field menu
    const char* pendingPick = nullptr;
    bool nestingReported = false;
    const char* lineStart = nullptr;
    char line[kLineSize] = "";

    // ---- Positions -----------------------------------------------------------------------

    // The position in the text of a pointer into the line buffer.
    const char* inText(const char* inLine) const { return lineStart + (inLine - line); }
    Place placeOf(const char* inLine) const { return src.at(inText(inLine)); }
    Place linePlace() const { return placeOf(SkipSpace(line)); }

    std::string gates(const std::string& inner = "") const
    {
        std::string all;
        for (const Frame& f : stack) all = joinGates(all, f.gate);
        return joinGates(all, inner);
    }

    // ---- Blocks --------------------------------------------------------------------------

    void push(Kind kind, std::string gate = "", bool allEnd = true)
    {
        if (static_cast<int>(stack.size()) > kLevelsAtMost && !nestingReported) {
            nestingReported = true;
            found.error(linePlace(), "nesting", "blocks nest " + std::to_string(stack.size()) +
                                                    " deep here; the game keeps " +
                                                    std::to_string(kLevelsAtMost) + " levels");
        }
        Frame frame{kind, inText(SkipSpace(line)), std::move(gate)};
        frame.allEnd = allEnd;
        stack.push_back(frame);
    }

    bool inLoop() const
    {
        for (const Frame& f : stack)
            if (f.kind == Kind::While || f.kind == Kind::Do) return true;
        return false;
    }

    // A line holding "}": closes the innermost block. Answers the kind closed.
    Kind close(const char* word, const char* rest)
    {
        const char* brace = std::strchr(line, '}');
        if (stack.size() == 1) {
            found.error(placeOf(brace), "brace-stray", "this `}` closes nothing");
            return Kind::Scene;
        }
        Frame f = stack.back();
        stack.pop_back();
        Frame& parent = stack.back();
        bool chained = contains(word, "else");
        char second[kLineSize];
        const char* after = rest ? GetWord(second, rest) : nullptr;
        if (!chained && std::strcmp(word, "}") == 0 && after && contains(second, "else")) {
            const char* keyword = std::strstr(line, second);
            found.warning(placeOf(keyword), "else-blank",
                          "`} " + std::string(second) + "` with a blank is not the `" +
                              (contains(second, "elseif") ? "elseif" : "else") +
                              "` of the block before: its block runs whatever the condition; write `}" +
                              keyword + "`");
        }
        switch (f.kind) {
        case Kind::Do:
            if (!contains(line, "while"))
                found.error(linePlace(), "do-while", "the `}` of a `do` needs its `while (...)` on the same line");
            else
                checkCondition(line, inText(SkipSpace(line)), src, found);
            parent.ends = false;
            break;
        case Kind::If:
        case Kind::Elseif:
            if (chained) chainAll = f.allEnd && f.ends;
            else parent.ends = false;
            break;
        case Kind::Else: parent.ends = f.allEnd && f.ends; break;
        case Kind::Pick: parent.ends = f.entries > 0 && f.allEnd; break;
        case Kind::Entry:
            parent.allEnd = parent.allEnd && f.ends;
            ++parent.entries;
            break;
        default: parent.ends = false; break;
        }
        if (moveDepth && stack.size() <= moveDepth && !chained) moveDepth = 0;
        return f.kind;
    }

    // ---- Commands ------------------------------------------------------------------------

    void resource(const char* arg, const char* pattern, const char* ext1, const char* ext2, const char* what)
    {
        char path[kArgSize + 64];
        if (std::strstr(arg, ext1) || (ext2 && std::strstr(arg, ext2))) std::snprintf(path, sizeof path, "%s", arg);
        else std::snprintf(path, sizeof path, pattern, arg);
        const char* relative = std::strncmp(path, "./", 2) == 0 ? path + 2 : path;
        if (!game.has(relative))
            found.warning(linePlace(), "file-missing",
                          std::string("the ") + what + " " + quoted(relative) + " is not in the game folder");
    }

    void exitTo(const std::string& to, NodeKind kind, const std::string& gate, const Place& place)
    {
        found.exits.push_back({to, kind, gate, place});
    }

    void moveTarget(const char* scene, const std::string& gate, const Place& place)
    {
        if (!scene[0]) {
            found.error(place, "scene-missing", "no scene is named here");
        } else if (!game.hasScene(scene)) {
            found.error(place, "scene-missing", "no scene file " + quoted(std::string("script/") + scene + ".txt") +
                                                    " for " + quoted(scene));
        } else {
            exitTo(scene, NodeKind::Scene, gate, place);
        }
    }

    void jump(const char* label, const char* at)
    {
        const char* lineEnd = std::strchr(lineStart, '\n');
        if (!lineEnd) lineEnd = lineStart + std::strlen(lineStart);
        const char* first = label[0] ? std::strstr(src.text, label) : nullptr;
        if (!label[0] || (first >= lineStart && first < lineEnd)) {
            found.error(placeOf(at), "label-missing",
                        label[0] ? "the label " + quoted(label) + " stands nowhere before this `goto` in the scene; "
                                   "the game jumps to the first place it occurs"
                                 : std::string("`goto` names no label"));
            return;
        }
        // The jump goes to the first place the text occurs, which may be inside another line.
        const char* start = first;
        while (start > src.text && start[-1] != '\n') --start;
        if (SkipSpace(start) != first) {
            found.warning(placeOf(at), "label-shadowed",
                          "the game jumps to the first place " + quoted(label) + " occurs, inside line " +
                              std::to_string(src.at(first).line) + ", not to a label line");
        }
    }

    // A command of the scene table, or se and goto. Answers whether it ends the scene there.
    bool command(const char* word, const char* arg, const char* at, const std::string& gate)
    {
        Place place = placeOf(at);
        int number = readNumber(arg);
        auto is = [&](const char* keyword) { return std::strcmp(word, keyword) == 0; };
        if (is("bg")) resource(arg, "bg/%s.jpg", ".jpg", nullptr, "picture");
        else if (is("bgm")) resource(arg, "bgm/%s.ogg", ".mid", ".ogg", "music");
        else if (is("effect") || is("none")) {
        } else if (contains(word, "hpmax") || contains(word, "gutsmax") || contains(word, "guts")) {
        } else if (contains(word, "hp")) {
            // Any loss of HP may end the game; the map shows that once per scene.
            if (*numberAt(line) == '-') exitTo("game over", NodeKind::GameOver, "hp < 1", place);
        } else if (contains(word, "para")) found.use(Table::Parameter, readNumber(numberAt(line)), false, false, place);
        else if (is("item+") || is("item-")) found.use(Table::Item, number, false, false, place);
        else if (is("flag+") || is("flag-")) found.use(Table::Flag, number, is("flag+"), false, place);
        else if (is("check+") || is("check-")) found.use(Table::Mark, number, false, false, place);
        else if (is("timecheck")) found.use(Table::TimeMark, number, false, false, place);
        else if (is("chapter")) {
            char card[kArgSize + 40];
            std::snprintf(card, sizeof card, "system/picture/chapter/%s.png", arg);
            if (!game.has(card))
                found.warning(place, "file-missing", "the chapter card " + quoted(card) + " is not in the game folder");
            if (found.chapter.empty()) found.chapter = arg;
        } else if (is("ScenarioEnd")) {
            exitTo("ending " + std::to_string(number), NodeKind::Ending, gate, place);
            return true;
        } else if (is("moveto")) {
            moveTarget(arg, gate, place);
            return true;
        } else if (is("se")) resource(arg, "se/%s.wav", ".wav", ".ogg", "sound");
        else if (is("goto")) {
            jump(arg, at);
            return true;
        } else if (!labels.count(word) && word[0] != '}' && word[0] != '{') {
            std::string near = nearestCommand(word);
            found.warning(place, "unknown-command", "unknown command " + quoted(word) +
                                                        (near.empty() ? "; the game passes over the line"
                                                                      : "; did you mean " + quoted(near) + "?"));
        }
        return false;
    }

    // ---- Lines ---------------------------------------------------------------------------

    void statement(const char* word, const char* rest)
    {
        const char* at = SkipSpace(line);
        bool opens = std::strchr(line, '{') != nullptr;
        char arg[kArgSize] = "";
        GetWord(arg, rest ? rest : "");
        size_t depth = stack.size();
        bool ends = false;
        // What follows a closing brace that carries no keyword does nothing.
        if (word[0] == '}' && !contains(word, "else") && !contains(word, "while")) {
            if (opens) push(Kind::Other);
            return;
        }
        if (!std::strcmp(word, "bgmoff") || !std::strcmp(word, "seoff") || !std::strcmp(word, "save")) {
        } else if (!std::strcmp(word, "inith")) {
            exitTo("title", NodeKind::Title, gates(), placeOf(at));
            ends = true;
        } else if (contains(word, "while")) {
            std::string gate = checkCondition(line, inText(at), src, found);
            if (opens) push(Kind::While, gate);
        } else if (!std::strcmp(word, "do")) {
            if (opens) push(Kind::Do);
        } else if (!std::strcmp(word, "break")) {
            if (!inLoop()) found.error(placeOf(at), "break-outside", "`break` stands in no `while` or `do`");
        } else if (contains(word, "elseif") || contains(word, "if") || contains(word, "else")) {
            conditional(word, at, line);
        } else if (!std::strcmp(word, "menu") || word[0] == '*') {
            if (!menuAt) menuAt = inText(at);
            if (contains(word, "*move*")) moveDepth = stack.size();
        } else if (contains(word, "pick")) {
            if (opens) push(Kind::Pick);
            else pendingPick = inText(at);
            return;
        } else {
            ends = command(word, arg, at, gates());
        }
        if (stack.size() == depth && opens) push(Kind::Other);
        else if (stack.size() == depth) stack.back().ends = ends;
    }

    // if, elseif or else (condition at the first "(" of text, which the game reads from).
    void conditional(const char* word, const char* at, const char* text)
    {
        if (contains(word, "elseif")) push(Kind::Elseif, checkCondition(text, inText(at), src, found), chainAll);
        else if (contains(word, "if")) push(Kind::If, checkCondition(text, inText(at), src, found));
        else push(Kind::Else, "else", chainAll);
    }

    // An option that owns a block: the game keeps those only for choices up to level 9.
    void blockEntry(const std::string& gate)
    {
        int level = static_cast<int>(stack.size()) - 2;
        if (level > kChoiceLevelsAtMost && !stack.back().reported) {
            found.error(src.at(stack.back().at), "choice-nesting",
                        "a choice whose options own blocks stands " + std::to_string(level) +
                            " levels deep; the game allows it up to level " + std::to_string(kChoiceLevelsAtMost));
            stack.back().reported = true;
        }
        push(Kind::Entry, gate);
    }

    // One option line of a choice block.
    void entry(const char* word, const char* rest)
    {
        if (contains(word, "//") || contains(word, "[")) {
            found.warning(linePlace(), "unknown-command",
                          "every line of a choice list is an option: this " +
                              std::string(contains(word, "[") ? "message" : "comment") + " is offered as one");
            stack.back().allEnd = false;
            ++stack.back().entries;
            return;
        }
        std::string gate;
        char text[kLineSize], action[kLineSize] = "", arg[kArgSize] = "";
        std::snprintf(text, sizeof text, "%s", word);
        const char* words = rest;
        if (contains(word, "change")) {
            const char* open = std::strchr(line, '(');
            gate = checkCondition(open ? open : "", inText(SkipSpace(line)), src, found);
            const char* close = std::strchr(line, ')');
            words = GetWord(text, close ? close + 1 : "");
            if (!words) text[0] = '\0';
        }
        if (std::strchr(text, '{')) return blockEntry(gate);
        const char* actionAt = words ? SkipSpace(words) : line;
        words = words ? GetWord(action, words) : nullptr;
        if (std::strchr(action, '{')) return blockEntry(gate);
        GetWord(arg, words ? words : "");
        bool ends = false;
        if (contains(action, "off") || !action[0]) {
        } else if (!std::strcmp(action, "break")) {
            if (!inLoop()) found.error(placeOf(actionAt), "break-outside", "`break` stands in no `while` or `do`");
        } else if (lineOnly(action)) {
            found.warning(placeOf(actionAt), "unknown-command",
                          quoted(action) + " does nothing as the action of an option; give the option a block: `" +
                              text + "{` ... `}`");
        } else {
            ends = command(action, arg, actionAt, gates(gate));
        }
        Frame& pick = stack.back();
        pick.allEnd = pick.allEnd && ends;
        ++pick.entries;
    }

    // A line of the move list.
    void moveLine(const char* word, const char* rest)
    {
        const char* at = SkipSpace(line);
        if (contains(word, "elseif") || contains(word, "if") || contains(word, "else")) {
            const char* open = std::strchr(line, '(');
            return conditional(word, at, open ? open : "");
        }
        if (std::strchr(line, '{')) return push(Kind::Other);
        if (stack.size() <= moveDepth) return;
        char text[kLineSize], condition[kLineSize], scene[kLineSize] = "";
        const char* words = rest;
        std::string gate;
        if (contains(word, "change")) {
            if (const char* open = std::strchr(line, '(')) gate = checkCondition(open, inText(at), src, found);
            if (words && (words = GetWord(text, words)) && (words = GetWord(condition, words))) GetWord(scene, words);
        } else if (words) {
            GetWord(scene, words);
        }
        moveTarget(scene, gates(gate), placeOf(at));
    }

    void readLine(const char* start)
    {
        lineStart = start;
        size_t length = std::strcspn(start, "\n");
        if (length >= sizeof line) length = sizeof line - 1;
        std::memcpy(line, start, length);
        line[length] = '\0';
    }

    // Handles the line at start; answers where the next line starts.
    const char* walkLine(const char* start)
    {
        readLine(start);
        const char* next = start + std::strcspn(start, "\n");
        if (*next) ++next;
        char word[kLineSize];
        const char* rest = GetWord(word, line);
        if (!rest) return next;
        Kind closed = Kind::Scene;
        if (std::strchr(line, '}')) closed = close(word, rest);
        // The game reads a choice's entries line by line up to its "}", skipping the blocks
        // of options whole.
        if (closed == Kind::Entry) return next;
        if (closed != Kind::Pick && stack.back().kind == Kind::Pick) {
            entry(word, rest);
            return next;
        }
        if (contains(word, "[")) {
            const char* end = checkMessage(inText(std::strrchr(line, '[')), src, found);
            stack.back().ends = false;
            const char* after = std::strchr(end, '\n');
            return after ? after + 1 : end + std::strlen(end);
        }
        if (contains(word, "//") || contains(word, "]") || closed == Kind::Do) return next;
        if (pendingPick) {
            const char* pick = pendingPick;
            pendingPick = nullptr;
            if (std::strchr(line, '{')) {
                push(Kind::Pick);
                return next;
            }
            found.error(src.at(pick), "brace-unclosed", "`pick` needs a `{` on its line or the next");
        }
        if (moveDepth) moveLine(word, rest);
        else statement(word, rest);
        return next;
    }

    void collectLabels()
    {
        char word[kLineSize];
        const char* pos = src.text;
        bool afterGoto = false;
        while ((pos = GetWord(word, pos))) {
            if (afterGoto) labels.insert(word);
            afterGoto = std::strcmp(word, "goto") == 0;
        }
    }

    void finish()
    {
        for (size_t i = 1; i < stack.size(); ++i)
            found.error(src.at(stack[i].at), "brace-unclosed",
                        std::string("the `{` of this `") + kindName(stack[i].kind) + "` is never closed");
        if (pendingPick) found.error(src.at(pendingPick), "brace-unclosed", "`pick` needs a `{` on its line or the next");
        bool runsOut = !stack[0].ends;
        if ((menuAt || runsOut) && !std::strstr(src.text, "*move*")) {
            const char* at = menuAt ? menuAt : src.lines.back();
            if (!menuAt && !*at && src.lines.size() > 1) at = src.lines[src.lines.size() - 2];
            found.error(src.at(at), "move-missing",
                        std::string(menuAt ? "the field menu opens here" : "the scene's text can run out, which opens the field menu,") +
                            " but the scene has no `*move*` section; the game stops when the menu opens");
        }
    }

    void walk()
    {
        collectLabels();
        stack.push_back(Frame{Kind::Scene, src.text, ""});
        for (const char* pos = src.text; *pos;) pos = walkLine(pos);
        finish();
    }
};

bool exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool GameFolder::has(const std::string& path) const { return exists(dir + "/" + path); }

bool GameFolder::hasScene(const std::string& name) const
{
    return name.find('/') == std::string::npos && has("script/" + name + ".txt");
}

void checkScene(const SourceText& src, const GameFolder& game, Findings& found)
{
    Walker walker(src, game, found);
    walker.walk();
}
