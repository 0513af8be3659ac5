// The whole game: every scene, the item list, and what only shows across scenes (flags set
// and tested, item names, scenes no path reaches).
#include "check/check.h"

#include <algorithm>
#include <dirent.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <tuple>

#include "check/findings.h"
#include "check/gamefiles.h"
#include "check/moves.h"
#include "check/scene.h"
#include "core/state.h"
#include "core/textfile.h"
#include "interpreter/openscript.h"
#include "interpreter/scanner.h"

namespace {

const char kItemList[] = "script/itemlist.txt";
// The save screen reads the chapter flags 51-55 itself.
const int kChapterFlagFirst = 51, kChapterFlagLast = 55;
const char* const kEntryScenes[] = {"start", "restart"};   // a new game; a loaded slot

bool isDirectory(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The scene names of dir/script/, sorted.
std::vector<std::string> sceneNames(const std::string& scriptDir)
{
    std::vector<std::string> names;
    if (DIR* folder = opendir(scriptDir.c_str())) {
        while (dirent* entry = readdir(folder)) {
            std::string file = entry->d_name;
            if (file.size() > 4 && file.compare(file.size() - 4, 4, ".txt") == 0 && file != "itemlist.txt")
                names.push_back(file.substr(0, file.size() - 4));
        }
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void checkFlags(const std::vector<NumberUse>& uses, Findings& found)
{
    std::map<int, const NumberUse*> firstSet, firstTest;
    for (const NumberUse& u : uses) {
        if (u.table != Table::Flag) continue;
        if (u.set && !firstSet.count(u.number)) firstSet[u.number] = &u;
        if (u.tested && !firstTest.count(u.number)) firstTest[u.number] = &u;
    }
    for (const auto& [number, use] : firstTest)
        if (!firstSet.count(number))
            found.warning(use->place, "flag-unset", entryLabel(Table::Flag, number) +
                                                        " is tested but no `flag+ " + std::to_string(number) +
                                                        "` sets it anywhere");
    for (const auto& [number, use] : firstSet)
        if (!firstTest.count(number) && (number < kChapterFlagFirst || number > kChapterFlagLast))
            found.warning(use->place, "flag-unused", entryLabel(Table::Flag, number) +
                                                         " is set but no condition tests it");
}

void checkItemNames(const std::vector<NumberUse>& uses, int named, Findings& found)
{
    std::set<int> reported;
    for (const NumberUse& u : uses)
        if (u.table == Table::Item && u.number >= named && reported.insert(u.number).second)
            found.warning(u.place, "item-unnamed", entryLabel(Table::Item, u.number) + " has no name in " +
                                                       kItemList + " (it names items 0-" +
                                                       std::to_string(named - 1) + ")");
}

// The ways out of each scene, by the scene's name.
using ExitsByScene = std::map<std::string, std::vector<const Exit*>>;

void checkReach(const std::vector<std::string>& scenes, const ExitsByScene& byScene, Findings& found)
{
    std::set<std::string> reached;
    std::vector<std::string> open;
    for (const char* entry : kEntryScenes) open.push_back(entry);
    while (!open.empty()) {
        std::string name = open.back();
        open.pop_back();
        if (!reached.insert(name).second) continue;
        auto out = byScene.find(name);
        if (out == byScene.end()) continue;
        for (const Exit* x : out->second)
            if (x->kind == NodeKind::Scene) open.push_back(x->to);
    }
    for (const std::string& name : scenes)
        if (!reached.count(name))
            found.warning({"script/" + name + ".txt", 1, 1}, "unreachable",
                          "no path from `start` reaches the scene " + quoted(name));
}

void buildStory(const std::vector<std::string>& scenes, const std::map<std::string, std::string>& chapters,
                const ExitsByScene& byScene, Story& story)
{
    std::set<std::string> others;
    std::set<std::tuple<std::string, std::string, std::string>> drawn;
    for (const std::string& name : scenes) {
        story.nodes.push_back({name, NodeKind::Scene, chapters.at(name)});
        auto out = byScene.find(name);
        if (out == byScene.end()) continue;
        for (const Exit* x : out->second) {
            if (drawn.insert({name, x->to, x->label}).second) story.edges.push_back({name, x->to, x->label});
            if (x->kind != NodeKind::Scene && others.insert(x->to).second)
                story.nodes.push_back({x->to, x->kind, ""});
        }
    }
}

}  // namespace

bool checkGame(const std::string& dir, std::vector<Diagnostic>& diagnostics, Story& story)
{
    if (!isDirectory(dir + "/script")) return false;
    Findings found;
    found.diagnostics = &diagnostics;
    GameFolder game{dir};
    std::vector<std::string> scenes = sceneNames(dir + "/script");
    int named = checkItemList(dir, found);
    checkGameTexts(dir, found);
    bool names = readNames(dir, found);
    std::map<std::string, MoveSection> moves;

    static char text[kScriptSize];
    std::map<std::string, std::string> chapters;
    std::map<std::string, std::pair<size_t, size_t>> exitRange;
    for (const std::string& name : scenes) {
        std::string file = "script/" + name + ".txt";
        TextFile read = readTextFile((dir + "/" + file).c_str(), text, sizeof text);
        if (!read.opened) text[0] = '\0';
        SourceText src(file, text);
        if (read.cut)
            found.error({file, 1, 1}, "scene-size", "the scene holds more than " + std::to_string(kScriptSize - 1) +
                                                        " bytes; the game refuses it");
        size_t first = found.exits.size();
        found.chapter.clear();
        checkScene(src, game, found);
        chapters[name] = found.chapter;
        moves[name] = found.move;
        exitRange[name] = {first, found.exits.size()};
    }
    ExitsByScene byScene;
    for (const auto& [name, range] : exitRange)
        for (size_t i = range.first; i < range.second; ++i) byScene[name].push_back(&found.exits[i]);

    checkFlags(found.numbers, found);
    checkItemNames(found.numbers, named, found);
    if (names) checkUnnamed(found.numbers, found);
    checkMoves(moves, found.numbers, found);
    checkReach(scenes, byScene, found);
    buildStory(scenes, chapters, byScene, story);

    std::stable_sort(diagnostics.begin(), diagnostics.end(), [](const Diagnostic& l, const Diagnostic& r) {
        if (l.file != r.file) return l.file < r.file;
        if (l.line != r.line) return l.line < r.line;
        return l.column < r.column;
    });
    return true;
}
