// The scene walk: every line of a scene read as the interpreter reads it, every branch taken.
#include "check/scene.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include "check/conditions.h"
#include "check/messages.h"
#include "check/words.h"
#include "core/nearest.h"
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
    std::string text{};     // option: its shown text
};

std::string joinGates(const std::string& outer, const std::string& inner)
{
    if (outer.empty()) return inner;
    if (inner.empty()) return outer;
    return outer + ", " + inner;
}

bool isNumber(const std::string& word)
{
    size_t digits = word.find_first_not_of("+-");
    return digits != std::string::npos && digits <= 1 &&
           word.find_first_not_of("0123456789", digits) == std::string::npos;
}

// The line at line (up to its line feed) without its blanks around, for quoting.
std::string trimmedLine(const char* line)
{
    const char* start = SkipSpace(line);
    std::string text(start, start + std::strcspn(start, "\n"));
    while (!text.empty() && std::strchr(" \t\r", text.back())) text.pop_back();
    return text;
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
    std::set<std::string> labels;       // every word a goto names in the scene
    std::vector<std::string> labelLines; // the first words of lines no handler knows
    bool chainAll = true;           // what a closed if or elseif hands on to the branch after it
    size_t moveDepth = 0;           // inside the move list: the stack size at "*move*"
    const char* menuAt = nullptr;   // the first line that opens the field menu
    const char* pendingPick = nullptr;
    const char* braceMissing = nullptr;  // the last block line reported for its missing "{"
    bool inSearch = false;          // the lines after "*search*", up to the next "*" line
    bool nestingReported = false;
    const char* lineStart = nullptr;
    const char* previousLine = nullptr;
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

    bool isLabel(const char* word) const { return labels.count(word) != 0; }

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

    // An option's block ends: the choice learns whether it ends the scene.
    void endEntry(const Frame& f)
    {
        Frame& pick = stack.back();
        pick.allEnd = pick.allEnd && f.ends;
        ++pick.entries;
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
                              "` of the block before: the game closes the block and opens no other, so the "
                              "lines after it run whatever the condition and their `}` closes the block "
                              "around; write `}" + keyword + "`");
        }
        if (chained && after && (std::strcmp(word, "}else") == 0 || std::strcmp(word, "}else{") == 0) &&
            std::strncmp(second, "if", 2) == 0)
            found.error(placeOf(std::strstr(line, second)), "block-word",
                        "`" + std::string(word) + " if` is `}else` and words the game passes over: "
                        "its condition is never tested; write `}elseif (...) {`");
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
        case Kind::Entry: endEntry(f); break;
        default: parent.ends = false; break;
        }
        if (moveDepth && stack.size() <= moveDepth && !chained) moveDepth = 0;
        return f.kind;
    }

    // A block line of kind (its condition already read) whose "{" is not on it: the game opens
    // the block all the same and, when it skips it, skips to the next "}" at its level.
    void braceMissingOn(const char* keyword, bool moveList)
    {
        braceMissing = lineStart;
        std::string meant = trimmedLine(line) + (line[0] && SkipSpace(line)[0] == '}' && !std::strchr(line, ' ') ? "{" : " {");
        const char* next = lineStart + std::strcspn(lineStart, "\n");
        bool onNext = *next && std::strcmp(trimmedLine(next + 1).c_str(), "{") == 0;
        std::string what = onNext ? "the `{` of this `" + std::string(keyword) + "` stands on the next line, where it counts for nothing"
                                  : "this `" + std::string(keyword) + "` has no `{`";
        std::string effect = moveList ? "the field menu finds no list of destinations here"
                                      : "the game opens its block all the same, and when it skips it, "
                                        "it skips on to a `}` that closes some other block";
        found.error(linePlace(), "brace-missing", what + ": " + effect + "; write " + quoted(meant));
    }

    // ---- Commands ------------------------------------------------------------------------

    // The path a command builds for its argument: the argument itself when it has one of the
    // extensions, else the pattern around it.
    static std::string resourcePath(const std::string& arg, const char* pattern, const char* ext1, const char* ext2)
    {
        char path[kArgSize + 64];
        if (arg.find(ext1) != std::string::npos || (ext2 && arg.find(ext2) != std::string::npos))
            std::snprintf(path, sizeof path, "%s", arg.c_str());
        else
            std::snprintf(path, sizeof path, pattern, arg.c_str());
        return std::strncmp(path, "./", 2) == 0 ? path + 2 : path;
    }

    void resource(const char* arg, const char* folder, const char* ext, const char* ext2, const char* what)
    {
        std::string pattern = std::string(folder) + "/%s" + ext;
        std::string relative = resourcePath(arg, pattern.c_str(), ext, ext2);
        if (game.has(relative)) return;
        bool patterned = relative == std::string(folder) + "/" + arg + ext;
        found.warning(linePlace(), "file-missing",
                      std::string("the ") + what + " " + quoted(relative) + " is not in the game folder" +
                          (patterned ? didYouMean(nearestWords(arg, game.named(folder, ext))) : ""));
    }

    // Whether command would take arg as this line gives it.
    bool argumentFits(const std::string& command, const std::string& arg) const
    {
        if (command == "bg") return game.has(resourcePath(arg, "bg/%s.jpg", ".jpg", nullptr));
        if (command == "bgm") return game.has(resourcePath(arg, "bgm/%s.ogg", ".mid", ".ogg"));
        if (command == "se") return game.has(resourcePath(arg, "se/%s.wav", ".wav", ".ogg"));
        if (command == "chapter") return game.has("system/picture/chapter/" + arg + ".png");
        if (command == "moveto") return game.hasScene(arg);
        if (command == "goto") return !arg.empty() && std::strstr(src.text, arg.c_str());
        if (command == "hp" || command == "guts" || command == "hpmax" || command == "gutsmax" || command == "para")
            return *numberAt(line) != '\0';
        for (const char* numbered : {"item+", "item-", "flag+", "flag-", "check+", "check-", "timecheck",
                                     "effect", "ScenarioEnd"})
            if (command == numbered) return isNumber(arg);
        return arg.empty();
    }

    void exitTo(const std::string& to, NodeKind kind, const std::string& gate, const Place& place)
    {
        found.exits.push_back({to, kind, gate, place});
        if (inSearch && kind != NodeKind::GameOver) found.move.searchLeaves = true;
    }

    void moveTarget(const char* scene, const std::string& gate, const Place& place)
    {
        if (!scene[0]) {
            found.error(place, "scene-missing", "no scene is named here");
        } else if (!game.hasScene(scene)) {
            std::vector<std::string> scenes = game.named("script", ".txt");
            scenes.erase(std::remove(scenes.begin(), scenes.end(), "itemlist"), scenes.end());
            found.error(place, "scene-missing", "no scene file " + quoted(std::string("script/") + scene + ".txt") +
                                                    " for " + quoted(scene) + didYouMean(nearestWords(scene, scenes)));
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
                                   "the game jumps to the first place it occurs" +
                                       didYouMean(nearestWords(label, labelLines))
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
        if (is("bg")) resource(arg, "bg", ".jpg", nullptr, "picture");
        else if (is("bgm")) resource(arg, "bgm", ".ogg", ".mid", "music");
        else if (is("effect") || is("none")) {
        } else if (contains(word, "hpmax") || contains(word, "gutsmax") || contains(word, "guts")) {
        } else if (contains(word, "hp")) {
            // Any loss of HP may end the game; the map shows that once per scene.
            if (*numberAt(line) == '-') exitTo("game over", NodeKind::GameOver, "hp < 1", place);
        } else if (contains(word, "para")) found.use(Table::Parameter, readNumber(numberAt(line)), false, false, place);
        else if (is("item+") || is("item-")) found.use(Table::Item, number, is("item+"), false, place);
        else if (is("flag+") || is("flag-")) found.use(Table::Flag, number, is("flag+"), false, place);
        else if (is("check+") || is("check-")) found.use(Table::Mark, number, is("check+"), false, place);
        else if (is("timecheck")) found.use(Table::TimeMark, number, false, false, place);
        else if (is("chapter")) {
            char card[kArgSize + 40];
            std::snprintf(card, sizeof card, "system/picture/chapter/%s.png", arg);
            if (!game.has(card))
                found.warning(place, "file-missing", "the chapter card " + quoted(card) + " is not in the game folder" +
                                                         didYouMean(nearestWords(arg, game.named("system/picture/chapter", ".png"))));
            if (found.chapter.empty()) found.chapter = arg;
        } else if (is("ScenarioEnd")) {
            exitTo("ending " + std::to_string(number), NodeKind::Ending, gate, place);
            return true;
        } else if (is("moveto")) {
            moveTarget(arg, gate, place);
            return true;
        } else if (is("se")) resource(arg, "se", ".wav", ".ogg", "sound");
        else if (is("goto")) {
            jump(arg, at);
            return true;
        } else if (!isLabel(word) && word[0] != '}' && word[0] != '{') {
            std::string advice = commandAdvice(word, arg, [this](const std::string& c, const std::string& a) {
                return argumentFits(c, a);
            });
            found.warning(place, "unknown-command", "unknown command " + quoted(word) +
                                                        (advice.empty() ? "; the game passes over the line"
                                                                        : advice));
        }
        return false;
    }

    // ---- Lines ---------------------------------------------------------------------------

    // A line that opens no block although it holds "{": a word the game does not know as a
    // block word, "}" with words after it, or "{" alone. Answers whether it was reported.
    bool falseOpener(const char* word)
    {
        if (!std::strchr(line, '{') || isCommandWord(word) || isLabel(word)) return false;
        // The "{" that a block line missing its own is reported with that line.
        if (std::strcmp(word, "{") == 0 && braceMissing && braceMissing == previousLine) return true;
        std::string what = std::strcmp(word, "{") == 0 ? "a `{` on a line of its own"
                           : word[0] == '}'            ? quoted(trimmedLine(line)) + " is no block word: it"
                                                       : quoted(word) + " is no block word: it";
        found.error(linePlace(), "block-word",
                    what + " opens no block (only an `if`, `elseif`, `else`, `while`, `do` or `pick` line "
                           "does), so the lines after it run whatever they are under, and their `}` closes "
                           "the block around it" + (blockWordAdvice(word).empty() ? std::string("; join the `{` to the line it belongs to")
                                                                                    : blockWordAdvice(word)));
        return true;
    }

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
            if (opens) {
                char second[kLineSize] = "";
                if (!rest || !GetWord(second, rest) || !contains(second, "else")) falseOpener(word);
                push(Kind::Other);
            }
            return;
        }
        if (!std::strcmp(word, "bgmoff") || !std::strcmp(word, "seoff") || !std::strcmp(word, "save")) {
        } else if (!std::strcmp(word, "inith")) {
            exitTo("title", NodeKind::Title, gates(), placeOf(at));
            ends = true;
        } else if (contains(word, "while")) {
            size_t before = found.diagnostics->size();
            std::string gate = checkCondition(line, inText(at), src, found);
            if (!opens && found.diagnostics->size() == before) braceMissingOn("while", false);
            push(Kind::While, gate);
        } else if (!std::strcmp(word, "do")) {
            if (!opens) braceMissingOn("do", false);
            push(Kind::Do);
        } else if (!std::strcmp(word, "break")) {
            if (!inLoop()) found.error(placeOf(at), "break-outside", "`break` stands in no `while` or `do`");
        } else if (contains(word, "elseif") || contains(word, "if") || contains(word, "else")) {
            conditional(word, at, line, false);
        } else if (!std::strcmp(word, "menu") || word[0] == '*') {
            if (!menuAt) menuAt = inText(at);
            inSearch = contains(word, "*search*");
            if (contains(word, "*move*") && !found.move.present) startMoves(opens);
        } else if (contains(word, "pick")) {
            if (opens) push(Kind::Pick);
            else pendingPick = inText(at);
            return;
        } else if (opens && falseOpener(word)) {
            if (std::strcmp(word, "{") != 0 || braceMissing != previousLine) push(Kind::Other);
            return;
        } else {
            ends = command(word, arg, at, gates());
        }
        if (stack.size() == depth && opens) push(Kind::Other);
        else if (stack.size() == depth) stack.back().ends = ends;
    }

    // if, elseif or else (condition at the first "(" of text, which the game reads from).
    void conditional(const char* word, const char* at, const char* text, bool moveList)
    {
        bool opens = std::strchr(line, '{') != nullptr;
        size_t before = found.diagnostics->size();
        Kind kind = contains(word, "elseif") ? Kind::Elseif : contains(word, "if") ? Kind::If : Kind::Else;
        std::string gate = kind == Kind::Else ? "else" : checkCondition(text, inText(at), src, found);
        if (!opens && found.diagnostics->size() == before) braceMissingOn(kindName(kind), moveList);
        if (moveList) {
            const char* open = std::strchr(line, '(');
            found.move.branches.push_back({kind == Kind::Else ? "" : open ? open : "", kind == Kind::Else, !opens, {}});
        }
        push(kind, gate, kind == Kind::If ? true : chainAll);
    }

    // The "*move*" line: the list follows, on this line's "{" or the next lines.
    void startMoves(bool opens)
    {
        moveDepth = stack.size();
        found.move.present = true;
        found.move.place = linePlace();
        if (opens) found.move.branches.push_back({"", true, false, {}});
    }

    // An option that owns a block: the game keeps those only for choices up to level 9.
    void blockEntry(const std::string& gate, const std::string& text)
    {
        int level = static_cast<int>(stack.size()) - 2;
        if (level > kChoiceLevelsAtMost && !stack.back().reported) {
            found.error(src.at(stack.back().at), "choice-nesting",
                        "a choice whose options own blocks stands " + std::to_string(level) +
                            " levels deep; the game allows it up to level " + std::to_string(kChoiceLevelsAtMost));
            stack.back().reported = true;
        }
        push(Kind::Entry, gate);
        stack.back().text = text;
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
        std::string shown = text;
        if (size_t brace = shown.find('{'); brace != std::string::npos) shown.erase(brace);
        if (std::strchr(text, '{')) return blockEntry(gate, shown);
        const char* actionAt = words ? SkipSpace(words) : line;
        words = words ? GetWord(action, words) : nullptr;
        if (std::strchr(action, '{')) return blockEntry(gate, shown);
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
            return conditional(word, at, open ? open : "", true);
        }
        if (std::strchr(line, '{')) {
            if (found.move.branches.empty()) found.move.branches.push_back({"", true, false, {}});
            return push(Kind::Other);
        }
        if (stack.size() <= moveDepth) return;
        char text[kLineSize], condition[kLineSize], scene[kLineSize] = "";
        const char* words = rest;
        std::string gate, engineText;
        if (contains(word, "change")) {
            if (const char* open = std::strchr(line, '(')) {
                gate = checkCondition(open, inText(at), src, found);
                engineText = open;
            }
            if (words && (words = GetWord(text, words)) && (words = GetWord(condition, words))) GetWord(scene, words);
        } else if (words) {
            GetWord(scene, words);
        }
        moveTarget(scene, gates(gate), placeOf(at));
        if (!found.move.branches.empty()) found.move.branches.back().candidates.push_back({scene, engineText, placeOf(at)});
    }

    void readLine(const char* start)
    {
        lineStart = start;
        size_t length = std::strcspn(start, "\n");
        if (length >= sizeof line) length = sizeof line - 1;
        std::memcpy(line, start, length);
        line[length] = '\0';
    }

    // A "]" in a line that is no message: it ends nothing, and stays in the word it stands in.
    void strayBracket(const char* word)
    {
        if (contains(word, "[") || contains(word, "]") || contains(word, "//")) return;
        const char* bracket = std::strchr(line, ']');
        if (!bracket) return;
        const char* start = bracket;
        while (start > line && !std::strchr(" \t", start[-1])) --start;
        char held[kLineSize];
        GetWord(held, start);
        found.warning(placeOf(bracket), "bracket",
                      "a `]` in a command line ends no message: the game reads the word " + quoted(held) +
                          " as it stands; take the `]` out");
    }

    // What stands after a message's "]" on its line is never run.
    void afterMessage(const char* close)
    {
        if (!*close) return;
        const char* end = close + 1 + std::strcspn(close + 1, "\n");
        std::string rest(close + 1, end);
        size_t first = rest.find_first_not_of(" \t\r");
        if (first == std::string::npos || rest.compare(first, 2, "//") == 0) return;
        size_t last = rest.find_last_not_of(" \t\r");
        found.warning(src.at(close + 1 + first), "after-message",
                      "the game passes over the rest of the line that ends a message: " +
                          quoted(rest.substr(first, last - first + 1)) + " is never run; put it on a line of its own");
    }

    // Inside an option's block, a line that reads like the next option: the block was left open.
    bool optionLeftOpen(const char* word, const char* rest)
    {
        if (stack.back().kind != Kind::Entry || std::strchr(line, '}') ||
            !looksLikeOption(word, rest, [this](const char* w) { return isLabel(w); }))
            return false;
        Frame f = stack.back();
        found.error(src.at(f.at), "brace-unclosed",
                    "the block of the option " + quoted(f.text) + " is not closed before line " +
                        std::to_string(linePlace().line) + ", which reads like the next option; end the block with `}`");
        stack.pop_back();
        endEntry(f);
        entry(word, rest);
        return true;
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
        struct Previous {
            Walker& w;
            const char* start;
            ~Previous() { w.previousLine = start; }
        } previous{*this, start};
        strayBracket(word);
        if (optionLeftOpen(word, rest)) return next;
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
            afterMessage(end);
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

    // The words goto names, and the first words of lines that can be labels.
    void collectLabels()
    {
        char word[kLineSize];
        const char* pos = src.text;
        bool afterGoto = false;
        while ((pos = GetWord(word, pos))) {
            if (afterGoto) labels.insert(word);
            afterGoto = std::strcmp(word, "goto") == 0;
        }
        for (const char* start : src.lines) {
            if (!GetWord(word, start) || std::strchr("*{}", word[0]) || contains(word, "[") ||
                contains(word, "]") || contains(word, "//") || isCommandWord(word))
                continue;
            labelLines.push_back(word);
        }
    }

    void finish()
    {
        for (size_t i = 1; i < stack.size(); ++i)
            found.error(src.at(stack[i].at), "brace-unclosed",
                        stack[i].kind == Kind::Entry
                            ? "the block of the option " + quoted(stack[i].text) + " is never closed"
                            : std::string("the `{` of this `") + kindName(stack[i].kind) + "` is never closed");
        if (pendingPick) found.error(src.at(pendingPick), "brace-unclosed", "`pick` needs a `{` on its line or the next");
        bool runsOut = !stack[0].ends;
        found.move.menuOpens = menuAt || runsOut;
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

}  // namespace

void checkScene(const SourceText& src, const GameFolder& game, Findings& found)
{
    found.move = MoveSection{};
    Walker walker(src, game, found);
    walker.walk();
}
