#include "explore/report.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "check/check.h"
#include "check/storymap.h"
#include "core/decision.h"
#include "explore/shared.h"

namespace fs = std::filesystem;

namespace {

using Json = nlohmann::ordered_json;

// ---- The ways back to the start ------------------------------------------------------------

// The words of the answers from the start to state s, one entry per decision.
std::vector<std::string> wayTo(int s)
{
    std::vector<std::string> words;
    // Parents only ever lie nearer the start; the bound guards the walk all the same.
    for (int steps = 0; s >= 0 && steps <= shared().states; ++steps) {
        const StateRecord& r = stateAt(s);
        words.push_back(textAt(r.words));
        s = r.parent;
    }
    std::reverse(words.begin(), words.end());
    return words;
}

// ---- Dead ends -----------------------------------------------------------------------------

struct DeadEnd {
    int state;
    std::string file, scene;
    int line, kind;
    long count;
};

// The states from which nothing ends the game: no ending, game over, return to the title,
// error or busy loop, and no way past --max-states. Only those a player first steps into are
// told (the others lie beyond them), one for each place, the nearest the start.
std::vector<DeadEnd> deadEnds()
{
    int n = shared().states;
    std::vector<std::vector<int>> into(static_cast<size_t>(n));
    for (long i = 0; i < shared().edges; ++i) {
        const EdgeRecord& e = edgeAt(i);
        if (e.from >= 0 && e.from < n && e.to >= 0 && e.to < n) into[static_cast<size_t>(e.to)].push_back(e.from);
    }
    std::vector<char> ends(static_cast<size_t>(n), 0);
    std::deque<int> open;
    for (int s = 0; s < n; ++s)
        if (stateAt(s).flags.load() & (kEnds | kUnknown)) {
            ends[static_cast<size_t>(s)] = 1;
            open.push_back(s);
        }
    while (!open.empty()) {
        int s = open.front();
        open.pop_front();
        for (int from : into[static_cast<size_t>(s)])
            if (!ends[static_cast<size_t>(from)]) {
                ends[static_cast<size_t>(from)] = 1;
                open.push_back(from);
            }
    }
    std::map<std::tuple<std::string, int, int>, DeadEnd> byPlace;
    for (int s = 0; s < n; ++s) {
        if (ends[static_cast<size_t>(s)]) continue;
        const StateRecord& r = stateAt(s);
        bool entered = r.parent < 0;
        for (int from : into[static_cast<size_t>(s)]) entered = entered || ends[static_cast<size_t>(from)];
        if (!entered) continue;
        std::string file = r.file >= 0 ? fileAt(r.file).name : "";
        auto key = std::make_tuple(file, r.line, r.kind);
        auto found = byPlace.find(key);
        if (found == byPlace.end()) {
            byPlace[key] = DeadEnd{s, file, r.scene, r.line, r.kind, 1};
        } else {
            ++found->second.count;
            if (r.depth < stateAt(found->second.state).depth) found->second.state = s;
        }
    }
    std::vector<DeadEnd> found;
    for (auto& [key, d] : byPlace) found.push_back(d);
    return found;
}

// ---- Coverage ----------------------------------------------------------------------------

struct SceneCoverage {
    std::string name;
    bool entered;
    int statements, run;
    std::vector<std::pair<int, int>> notRun;   // ranges of lines, from 1
};

std::string trimmed(const std::string& line)
{
    size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    size_t last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

// Whether a line is a statement that runs: not blank, not a comment, not a section header,
// not a brace alone, and in the move section not the header of a branch or a brace.
bool statement(const std::string& line, bool inMove)
{
    std::string text = trimmed(line);
    if (text.empty() || text[0] == '*') return false;
    std::string first = text.substr(0, text.find_first_of(" \t"));
    if (first.find("//") != std::string::npos) return false;
    if (text.find_first_not_of("{} \t") == std::string::npos) return false;
    if (inMove && (text.find("if") != std::string::npos || text.find("else") != std::string::npos ||
                   text.find_first_of("{}") != std::string::npos))
        return false;
    return true;
}

std::vector<SceneCoverage> coverage(const std::string& gamePath, std::set<std::string>* enteredScenes)
{
    std::vector<std::string> names;
    std::error_code failed;
    for (const auto& entry : fs::directory_iterator(gamePath + "/script", failed)) {
        std::string file = entry.path().filename().string();
        if (file.size() > 4 && file.compare(file.size() - 4, 4, ".txt") == 0 && file != "itemlist.txt")
            names.push_back(file.substr(0, file.size() - 4));
    }
    std::sort(names.begin(), names.end());
    std::map<std::string, int> indexOf;
    for (int i = 0; i < shared().files; ++i) indexOf[fileAt(i).name] = i;
    std::set<int> withStates;
    for (int s = 0; s < shared().states; ++s) withStates.insert(stateAt(s).file);

    std::vector<SceneCoverage> scenes;
    for (const std::string& name : names) {
        std::string relative = "script/" + name + ".txt";
        std::ifstream in(gamePath + "/" + relative, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        std::string all = text.str().substr(0, kFileBytes - 1);
        all = all.substr(0, all.find('\0'));
        auto index = indexOf.find(relative);
        int file = index == indexOf.end() ? -1 : index->second;
        SceneCoverage scene{name, withStates.count(file) > 0 && file >= 0, 0, 0, {}};
        size_t moveAt = all.find("*move*");
        bool openRange = false;
        size_t at = 0;
        for (int number = 1; at <= all.size(); ++number) {
            size_t end = all.find('\n', at);
            if (end == std::string::npos) end = all.size();
            std::string line = all.substr(at, end - at);
            bool inMove = moveAt != std::string::npos && at > moveAt;
            bool marked = lineMarked(file, static_cast<int>(at));
            scene.entered = scene.entered || marked;
            if (statement(line, inMove)) {
                ++scene.statements;
                if (marked) {
                    ++scene.run;
                    openRange = false;
                } else if (openRange) {
                    scene.notRun.back().second = number;
                } else {
                    scene.notRun.push_back({number, number});
                    openRange = true;
                }
            }
            if (end == all.size()) break;
            at = end + 1;
        }
        if (scene.entered) enteredScenes->insert(name);
        scenes.push_back(scene);
    }
    return scenes;
}

// ---- The story map -----------------------------------------------------------------------

bool drawMap(const std::string& gamePath, const std::set<std::string>& entered, const std::string& base,
             std::string* problem)
{
    std::vector<Diagnostic> diagnostics;
    Story story;
    if (!checkGame(gamePath, diagnostics, story)) {
        *problem = "no script folder to draw";
        return false;
    }
    std::set<std::pair<std::string, std::string>> taken;
    for (int i = 0; i < shared().moves; ++i) taken.insert({moveAt(i).from, moveAt(i).to});
    for (StoryEdge& edge : story.edges)
        edge.style = taken.count({edge.from, edge.to}) ? "color=\"#1a7f37\", penwidth=2"
                                                       : "style=dashed, color=\"#9a9a9a\", fontcolor=\"#9a9a9a\"";
    for (StoryNode& node : story.nodes)
        if (node.kind == NodeKind::Scene && !entered.count(node.name)) node.style = "color=\"#9a9a9a\", fontcolor=\"#9a9a9a\"";
    return writeStoryMap(story, base, *problem);
}

// ---- Writing the inputs ------------------------------------------------------------------

struct Written {
    std::string kind, what, place, input;
    int depth;
    long count;
    const FindingRecord* finding;
    const DeadEnd* dead;
};

std::string inputHeader(const SearchTotals& totals, const std::string& what, const std::string& file)
{
    std::string options = totals.replayOptions.empty() ? "" : " " + totals.replayOptions;
    return "# Found by tessarc-explore: " + what + ".\n# Replay it: tessarc-replay --dir " + totals.gameDir +
           options + " " + file + "\n";
}

bool writeInput(const std::string& path, const std::string& header, const std::vector<std::string>& words,
                const std::string& last)
{
    std::ofstream out(path, std::ios::binary);
    out << header;
    for (const std::string& w : words)
        if (!w.empty()) out << w << "\n";
    out << last;
    return static_cast<bool>(out.flush());
}

// Removes the inputs an earlier search wrote, so that none left over is taken for this one's.
void clearOldInputs(const std::string& dir)
{
    static const char* const kPrefixes[] = {"ending-", "gameover", "error-", "deadend-", "busy-", "crash-"};
    std::error_code failed;
    for (const auto& entry : fs::directory_iterator(dir, failed)) {
        std::string name = entry.path().filename().string();
        if (name.size() < 7 || name.compare(name.size() - 6, 6, ".input") != 0) continue;
        for (const char* prefix : kPrefixes)
            if (name.rfind(prefix, 0) == 0) fs::remove(entry.path(), failed);
    }
}

std::string placeOf(const char* file, int line)
{
    if (!file[0]) return "";
    return line > 0 ? std::string(file) + ":" + std::to_string(line) : std::string(file);
}

const char* kindWord(FindingKind kind)
{
    switch (kind) {
    case FindingKind::Ending: return "ending";
    case FindingKind::GameOver: return "gameover";
    case FindingKind::Title: return "title";
    case FindingKind::Error: return "error";
    case FindingKind::Busy: return "busy";
    case FindingKind::Crash: return "crash";
    case FindingKind::DeadEnd: return "deadend";
    }
    return "";
}

}  // namespace

int searchReport(const SearchTotals& totals)
{
    const SharedHead& head = shared();
    std::error_code failed;
    fs::create_directories(totals.outDir, failed);
    clearOldInputs(totals.outDir);

    // The findings, in a stable order: by kind, number and place.
    std::vector<const FindingRecord*> findings;
    for (int i = 0; i < head.findings; ++i) findings.push_back(&findingAt(i));
    std::sort(findings.begin(), findings.end(), [](const FindingRecord* l, const FindingRecord* r) {
        return std::make_tuple(static_cast<int>(l->kind), l->n, std::string(l->file), l->line, std::string(l->message)) <
               std::make_tuple(static_cast<int>(r->kind), r->n, std::string(r->file), r->line, std::string(r->message));
    });
    std::vector<DeadEnd> dead = deadEnds();

    std::vector<Written> written;
    std::map<FindingKind, int> numbered;
    bool faults = false;
    for (const FindingRecord* f : findings) {
        Written w{kindWord(f->kind), "", placeOf(f->file, f->line), "", f->depth, f->count, f, nullptr};
        std::string name, last;
        int k = ++numbered[f->kind];
        switch (f->kind) {
        case FindingKind::Ending:
            w.what = "ending " + std::to_string(f->n);
            name = "ending-" + std::to_string(f->n) + ".input";
            last = "expect ending " + std::to_string(f->n) + "\n";
            break;
        case FindingKind::GameOver:
            w.what = "the game over";
            name = "gameover.input";
            last = "expect gameover\n";
            break;
        case FindingKind::Title:
            w.what = "the return to the title (inith)";
            break;
        case FindingKind::Error:
            w.what = std::string("a fatal error: ") + f->message;
            name = "error-" + std::to_string(k) + ".input";
            last = "expect error\n";
            faults = true;
            break;
        case FindingKind::Busy:
            w.what = "a busy loop: the game keeps running without waiting for the player";
            name = "busy-" + std::to_string(k) + ".input";
            // Ctrl held turns the pages shown before the loop, as the search never waits on
            // them; the wait keeps the input from running out while the game runs on (a
            // used-up input would answer the loop's check for a quit request at once).
            last = "# The game now runs on without waiting for the player: after ten seconds\n"
                   "# tessarc-replay asks it to quit and says so on standard error.\n"
                   "keydown lctrl\n"
                   "wait 60000\n";
            faults = true;
            break;
        case FindingKind::Crash:
            w.what = f->message;
            name = "crash-" + std::to_string(k) + ".input";
            faults = true;
            break;
        case FindingKind::DeadEnd: break;
        }
        if (!name.empty()) {
            std::vector<std::string> words = wayTo(f->from);
            words.push_back(textAt(f->words));
            w.input = (fs::path(totals.outShown) / name).string();
            writeInput((fs::path(totals.outDir) / name).string(), inputHeader(totals, w.what, w.input), words, last);
        }
        written.push_back(w);
    }
    int k = 0;
    for (const DeadEnd& d : dead) {
        faults = true;
        std::string name = "deadend-" + std::to_string(++k) + ".input";
        Written w{"deadend", std::string("a dead end at ") + decisionWords(d.kind) + " in " + d.scene +
                                 ": no ending, game over or return to the title can be reached from it",
                  placeOf(d.file.c_str(), d.line), (fs::path(totals.outShown) / name).string(),
                  stateAt(d.state).depth, d.count, nullptr, &d};
        writeInput((fs::path(totals.outDir) / name).string(), inputHeader(totals, w.what, w.input), wayTo(d.state),
                   "expect scene " + d.scene + "\n");
        written.push_back(w);
    }

    std::set<std::string> entered;
    std::vector<SceneCoverage> scenes = coverage(totals.gamePath, &entered);
    std::string mapProblem, mapBase = (fs::path(totals.outDir) / "story-map").string();
    std::string mapShown = (fs::path(totals.outShown) / "story-map").string();
    bool mapDrawn = drawMap(totals.gamePath, entered, mapBase, &mapProblem);

    bool complete = !head.stopped && !head.full && !totals.interrupted;
    double perSecond = totals.seconds > 0 ? head.states / totals.seconds : 0;
    int sceneCount = static_cast<int>(scenes.size()), scenesEntered = 0, statements = 0, linesRun = 0;
    for (const SceneCoverage& s : scenes) {
        scenesEntered += s.entered;
        statements += s.statements;
        linesRun += s.run;
    }

    if (totals.json) {
        Json out = {{"game", totals.gameDir},
                    {"complete", complete},
                    {"stoppedAtMaxStates", head.stopped},
                    {"states", head.states},
                    {"runs", head.runs.load()},
                    {"seconds", totals.seconds},
                    {"statesPerSecond", perSecond},
                    {"jobs", totals.jobs},
                    {"peakMemoryMiB", totals.peakMiB}};
        Json list = Json::array();
        for (const Written& w : written) {
            Json item = {{"kind", w.kind}, {"what", w.what}};
            if (w.finding && w.finding->kind == FindingKind::Ending) item["n"] = w.finding->n;
            if (w.finding && w.finding->kind == FindingKind::Error) item["message"] = w.finding->message;
            const char* file = w.finding ? w.finding->file : w.dead->file.c_str();
            int line = w.finding ? w.finding->line : w.dead->line;
            const char* scene = w.finding ? w.finding->scene : w.dead->scene.c_str();
            if (file[0]) item["file"] = file;
            if (file[0] && line > 0) item["line"] = line;
            if (scene[0]) item["scene"] = scene;
            item["decisions"] = w.depth;
            item["times"] = w.count;
            if (!w.input.empty()) item["input"] = w.input;
            list.push_back(item);
        }
        out["findings"] = list;
        Json never = Json::array(), lines = Json::array();
        for (const SceneCoverage& s : scenes) {
            if (!s.entered) never.push_back(s.name);
            for (const auto& range : s.notRun)
                lines.push_back({{"file", "script/" + s.name + ".txt"}, {"from", range.first}, {"to", range.second}});
        }
        out["coverage"] = {{"scenes", sceneCount},      {"scenesEntered", scenesEntered},
                           {"lines", statements},       {"linesRun", linesRun},
                           {"scenesNeverEntered", never}, {"linesNeverRun", lines}};
        if (mapDrawn) out["storyMap"] = mapShown + ".svg";
        std::puts(out.dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
        return faults ? 1 : 0;
    }

    std::string state = totals.interrupted ? "stopped before the end (interrupted)"
                        : head.stopped     ? "stopped at --max-states " + std::to_string(head.maxStates)
                        : head.full        ? "stopped: a table of the search is full"
                                           : "complete";
    std::printf("tessarc-explore %s: the search is %s\n", totals.gameDir.c_str(), state.c_str());
    std::printf("  %d states, %ld runs, %.1f s (%.0f states/s) on %d jobs, peak memory %.1f MiB\n",
                head.states, head.runs.load(), totals.seconds, perSecond, totals.jobs, totals.peakMiB);
    for (const Written& w : written) {
        std::printf("%s%s: reached in %d decision%s", w.place.empty() ? "" : (w.place + ": ").c_str(),
                    w.what.c_str(), w.depth, w.depth == 1 ? "" : "s");
        if (w.count > 1) std::printf(" (met %ld times)", w.count);
        if (!w.input.empty()) std::printf(": %s", w.input.c_str());
        std::printf("\n");
    }
    if (written.empty()) std::printf("  no ending, game over or return to the title was reached\n");
    std::printf("coverage: %d of %d scenes entered, %d of %d lines run\n", scenesEntered, sceneCount, linesRun,
                statements);
    for (const SceneCoverage& s : scenes) {
        if (!s.entered) {
            std::printf("  script/%s.txt: never entered%s\n", s.name.c_str(),
                        s.name == "restart" ? " (a loaded save enters it)" : "");
            continue;
        }
        for (const auto& range : s.notRun) {
            if (range.first == range.second) std::printf("  script/%s.txt:%d: never run\n", s.name.c_str(), range.first);
            else std::printf("  script/%s.txt:%d-%d: never run\n", s.name.c_str(), range.first, range.second);
        }
    }
    if (mapDrawn) std::printf("story map: %s.svg (the ways taken solid, the others dashed)\n", mapShown.c_str());
    else std::printf("story map: not drawn: %s\n", mapProblem.c_str());
    return faults ? 1 : 0;
}
