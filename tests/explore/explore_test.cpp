// tessarc-explore end to end: a small game with something of every kind to find, each found
// thing played again from its input in tessarc-replay; every order of a multi-pick and the
// values of a draw; the options and a search cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/gamedir.h"

namespace fs = std::filesystem;

namespace {

struct ExploreRun {
    int status;
    std::string out, err;
    nlohmann::json report;   // the --json report, when it was asked for and could be read
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs tessarc-explore on the game; its output files go beside the game folder, in `out`.
ExploreRun runExplore(const GameDir& game, const std::string& options)
{
    std::string base = game.path() + ".explore";
    std::string command = std::string("timeout -s KILL 120 '") + TESSARC_EXPLORE + "' --dir '" + game.path() +
                          "' " + options + " >'" + base + ".out' 2>'" + base + ".err'";
    int raw = std::system(command.c_str());
    ExploreRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(base + ".out"), readFile(base + ".err"), {}};
    fs::remove(base + ".out");
    fs::remove(base + ".err");
    if (options.find("--json") != std::string::npos) run.report = nlohmann::json::parse(run.out, nullptr, false);
    return run;
}

// The files under a folder with their contents, to tell that nothing was written there.
std::map<std::string, std::string> contentsOf(const std::string& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        files[fs::relative(entry.path(), dir).string()] = entry.is_regular_file() ? readFile(entry.path()) : "/";
    return files;
}

std::string lines(const std::vector<std::string>& all)
{
    std::string text;
    for (const std::string& line : all) text += line + "\n";
    return text;
}

// Two endings, a game over, a fatal error behind two choices made together (west, then the
// red door: a break outside any loop), a move list that leads round in a circle, a loop that
// never waits, a line no way reaches and a scene no way enters.
void writeSmallGame(const GameDir& game)
{
    game.minimalGame(lines({
        "[分かれ道に立っている。]",
        "pick {",
        "東へ flag+ 1",
        "西へ flag+ 2",
        "}",
        "pick {",
        "赤い扉 flag+ 3",
        "青い扉 none",
        "}",
        "if (flag2 & flag3) {",
        "break",
        "}",
        "if (flag9) {",
        "[誰も読まない。]",
        "}",
        "*search*",
        "[何もない。]",
        "*move*",
        "{",
        "岬へ A001",
        "港へ A002",
        "崖へ A003",
        "迷路へ A004",
        "回廊へ A006",
        "change 隠し道へ (flag9) A007",
        "}",
    }));
    game.write("script/A001.txt", "[岬に着いた。]\nScenarioEnd 1\n");
    game.write("script/A002.txt", "[港に着いた。]\nScenarioEnd 2\n");
    game.write("script/A003.txt", "[足を滑らせた。]\nhp -200\n");
    game.write("script/A004.txt", "[迷路の中。]\n*move*\n{\n奥へ A005\n}\n");
    game.write("script/A005.txt", "[迷路の奥。]\n*move*\n{\n戻る A004\n}\n");
    game.write("script/A006.txt", "[長い回廊。]\n回廊\ngoto 回廊\n");
    game.write("script/A007.txt", "[隠された部屋。]\nScenarioEnd 3\n");
}

// The findings of a report by kind.
std::multimap<std::string, nlohmann::json> byKind(const nlohmann::json& report)
{
    std::multimap<std::string, nlohmann::json> found;
    for (const auto& finding : report["findings"]) found.insert({finding["kind"].get<std::string>(), finding});
    return found;
}

bool hasEvent(const ReplayRun& run, const std::string& kind, const std::string& key = "", int value = 0)
{
    for (const auto& event : run.only(kind))
        if (key.empty() || event.value(key, -1) == value) return true;
    return false;
}

}  // namespace

TEST(Explore, FindsEveryEndingErrorDeadEndAndBusyLoopAndEachInputReplaysIt)
{
    GameDir game;
    writeSmallGame(game);
    std::map<std::string, std::string> before = contentsOf(game.path());
    std::string out = game.path() + ".found";
    ExploreRun run = runExplore(game, "--json --jobs 2 --out '" + out + "'");
    ASSERT_EQ(run.status, 1) << run.out << run.err;
    ASSERT_TRUE(run.report.is_object()) << run.out;
    EXPECT_TRUE(run.report["complete"]);
    EXPECT_FALSE(run.report["stoppedAtMaxStates"]);
    EXPECT_GT(run.report["states"].get<int>(), 0);
    EXPECT_EQ(contentsOf(game.path()), before);   // the search never writes into the game

    auto found = byKind(run.report);
    std::set<int> endings;
    for (auto [at, end] = found.equal_range("ending"); at != end; ++at) endings.insert(at->second["n"].get<int>());
    EXPECT_EQ(endings, (std::set<int>{1, 2}));
    ASSERT_EQ(found.count("gameover"), 1u);
    ASSERT_EQ(found.count("error"), 1u);
    ASSERT_EQ(found.count("busy"), 1u);
    ASSERT_EQ(found.count("deadend"), 1u);
    const nlohmann::json& error = found.find("error")->second;
    EXPECT_EQ(error["message"], "breakがwhile文やdo文の外にあります");
    EXPECT_EQ(error["file"], "script/start.txt");
    EXPECT_EQ(error["line"], 11);
    EXPECT_EQ(found.find("busy")->second["file"], "script/A006.txt");
    std::string deadScene = found.find("deadend")->second["scene"];
    EXPECT_TRUE(deadScene == "A004" || deadScene == "A005") << deadScene;

    // Every input plays again, from a new game, to what it was found for.
    for (const auto& [kind, finding] : found) {
        SCOPED_TRACE(kind + ": " + finding.dump());
        ASSERT_TRUE(finding.contains("input"));
        std::string input = readFile(finding["input"]);
        EXPECT_EQ(input.find("click"), std::string::npos);   // words, not pixels
        ReplayRun replay = runReplay(game, input);
        if (kind == "ending") {
            EXPECT_EQ(replay.status, 0) << replay.err;
            EXPECT_TRUE(hasEvent(replay, "ending", "n", finding["n"].get<int>()));
        } else if (kind == "gameover") {
            EXPECT_EQ(replay.status, 0) << replay.err;
            EXPECT_TRUE(hasEvent(replay, "gameover"));
        } else if (kind == "error") {
            // Both choices are needed: the way names them.
            EXPECT_NE(input.find("choose 西へ\nchoose 赤い扉\n"), std::string::npos) << input;
            EXPECT_EQ(replay.status, 1);
            EXPECT_NE(replay.err.find("error: script/start.txt:11: breakがwhile文やdo文の外にあります"), std::string::npos)
                << replay.err;
        } else if (kind == "busy") {
            EXPECT_EQ(replay.status, 0);
            EXPECT_NE(replay.err.find("kept running without waiting for the player"), std::string::npos) << replay.err;
            EXPECT_EQ(replay.only("scene").back()["name"], "A006");
        } else if (kind == "deadend") {
            EXPECT_EQ(replay.status, 0) << replay.err;
            EXPECT_EQ(replay.only("scene").back()["name"], deadScene);
            EXPECT_FALSE(hasEvent(replay, "ending") || hasEvent(replay, "gameover"));
        }
    }

    // Coverage: the line behind flag 9 and the scene behind it were never reached.
    const nlohmann::json& coverage = run.report["coverage"];
    EXPECT_EQ(coverage["scenesNeverEntered"], nlohmann::json::array({"A007"}));
    bool lineTold = false;
    for (const auto& range : coverage["linesNeverRun"])
        lineTold = lineTold || (range["file"] == "script/start.txt" && range["from"] == 14 && range["to"] == 14);
    EXPECT_TRUE(lineTold) << coverage.dump();

    // The story map marks the ways taken apart from the one never taken.
    std::string dot = readFile(out + "/story-map.dot");
    auto edgeLine = [&](const std::string& to) {
        size_t at = dot.find("\"start\" -> \"" + to + "\"");
        return at == std::string::npos ? std::string() : dot.substr(at, dot.find('\n', at) - at);
    };
    EXPECT_EQ(edgeLine("A001").find("dashed"), std::string::npos) << dot;
    EXPECT_NE(edgeLine("A007").find("dashed"), std::string::npos) << dot;
    EXPECT_TRUE(fs::exists(out + "/story-map.svg"));
    fs::remove_all(out);
}

TEST(Explore, TriesEveryOrderOfAMultiPickAndTheValuesOfADraw)
{
    GameDir game;
    // Ending 1 only when red is opened before blue; ending 3 only for the last value of a
    // draw too wide to try every value of.
    game.minimalGame(lines({
        "para1 = rand %12",
        "if (para1 == 11) {",
        "ScenarioEnd 3",
        "}",
        "pick 2 {",
        "赤 flag+ 5",
        "青{",
        "if (flag5) {",
        "flag+ 6",
        "}",
        "}",
        "白 none",
        "}",
        "if (flag6) {",
        "ScenarioEnd 1",
        "}else{",
        "ScenarioEnd 2",
        "}",
    }));
    std::string out = game.path() + ".found";
    ExploreRun run = runExplore(game, "--json --jobs 1 --out '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    auto found = byKind(run.report);
    std::map<int, std::string> inputs;
    for (auto [at, end] = found.equal_range("ending"); at != end; ++at)
        inputs[at->second["n"].get<int>()] = readFile(at->second["input"]);
    ASSERT_EQ(inputs.size(), 3u) << run.out;
    EXPECT_NE(inputs[1].find("choose 赤\nchoose 青\n"), std::string::npos) << inputs[1];
    EXPECT_NE(inputs[3].find("draw 11\n"), std::string::npos) << inputs[3];
    for (const auto& [n, input] : inputs) {
        ReplayRun replay = runReplay(game, input);
        EXPECT_EQ(replay.status, 0) << replay.err;
        EXPECT_TRUE(hasEvent(replay, "ending", "n", n)) << input;
    }
    fs::remove_all(out);
}

TEST(Explore, RefusesBadOptionsAndTellsASearchCutShort)
{
    GameDir game;
    writeSmallGame(game);
    for (const std::string& bad : std::vector<std::string>{"--jobs 0", "--max-states x", "--frobnicate",
                                                           "--out '" + game.file("found") + "'", "--set nosuchkey=1",
                                                           "--scene Q123", "--jobs"}) {
        ExploreRun run = runExplore(game, bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.err.find("tessarc-explore: "), std::string::npos) << bad << ": " << run.err;
        EXPECT_FALSE(game.exists("found")) << bad;
    }

    // Cut short, the states left unexplored are no dead ends.
    std::string out = game.path() + ".found";
    ExploreRun cut = runExplore(game, "--json --max-states 3 --out '" + out + "'");
    ASSERT_TRUE(cut.report.is_object()) << cut.out << cut.err;
    EXPECT_FALSE(cut.report["complete"]);
    EXPECT_TRUE(cut.report["stoppedAtMaxStates"]);
    EXPECT_EQ(byKind(cut.report).count("deadend"), 0u) << cut.out;

    // --scene and --set start the search where an author points it; the text report says
    // where each input is and how to replay it.
    ExploreRun from = runExplore(game, "--scene A004 --set flag9=1 --out '" + out + "'");
    EXPECT_EQ(from.status, 1) << from.out << from.err;
    EXPECT_NE(from.out.find("the search is complete"), std::string::npos) << from.out;
    EXPECT_NE(from.out.find("a dead end"), std::string::npos) << from.out;
    EXPECT_EQ(from.out.find("\nending "), std::string::npos) << from.out;
    std::string input = readFile(out + "/deadend-1.input");
    EXPECT_NE(input.find("tessarc-replay --dir"), std::string::npos);
    EXPECT_NE(input.find("--scene A004 --set flag9=1"), std::string::npos) << input;
    ReplayRun replay = runReplay(game, input, "--scene A004 --set flag9=1");
    EXPECT_EQ(replay.status, 0) << replay.err;
    fs::remove_all(out);
}

TEST(Explore, MergesOnlyWhatNothingAheadReads)
{
    GameDir game;
    // A lamp taken or not at the start, read only two scenes later; a passage that counts an
    // item up on every lap and can be walked for ever.
    game.minimalGame(lines({
        "pick {",
        "灯りを持つ flag+ 1",
        "持たない none",
        "}",
        "moveto A001",
    }));
    game.write("script/A001.txt", lines({"item+ 0", "[通路。]", "*move*", "{", "奥へ A002", "戻る A001", "}"}));
    const std::string ends = lines({"if (flag1) {", "ScenarioEnd 1", "}else{", "ScenarioEnd 2", "}"});
    game.write("script/A002.txt", ends);
    std::string out = game.path() + ".found";
    fs::create_directories(out);
    std::ofstream(out + "/deadend-7.input") << "# from an earlier search\n";
    std::ofstream(out + "/notes.txt") << "the author's own\n";

    // The count no condition reads does not tell the laps apart: the search ends, and the lamp
    // read later keeps the two ways apart all along.
    ExploreRun run = runExplore(game, "--json --jobs 2 --out '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(run.report["complete"]) << run.out;
    EXPECT_LT(run.report["states"].get<int>(), 20);
    std::set<int> endings;
    for (const auto& finding : run.report["findings"])
        if (finding["kind"] == "ending") endings.insert(finding["n"].get<int>());
    EXPECT_EQ(endings, (std::set<int>{1, 2}));
    EXPECT_FALSE(fs::exists(out + "/deadend-7.input"));   // an earlier search's input is gone
    EXPECT_TRUE(fs::exists(out + "/notes.txt"));

    // Once a condition reads the count, every lap is a state of its own: the search stops at
    // the bound and takes none of the laps it never finished for a dead end.
    game.write("script/A002.txt", "if (item0 > 999) {\nScenarioEnd 3\n}\n" + ends);
    ExploreRun counted = runExplore(game, "--json --jobs 2 --max-states 200 --out '" + out + "'");
    ASSERT_EQ(counted.status, 0) << counted.out << counted.err;
    EXPECT_FALSE(counted.report["complete"]);
    EXPECT_TRUE(counted.report["stoppedAtMaxStates"]);
    EXPECT_EQ(counted.report["states"], 200);
    EXPECT_EQ(byKind(counted.report).count("deadend"), 0u) << counted.out;
    fs::remove_all(out);
}

namespace {

// A finding without what a run of the search may tell otherwise: where its input went.
nlohmann::json withoutInput(nlohmann::json finding)
{
    finding.erase("input");
    return finding;
}

std::vector<nlohmann::json> findingsOf(const nlohmann::json& report)
{
    std::vector<nlohmann::json> found;
    for (const auto& finding : report["findings"]) {
        found.push_back(withoutInput(finding));
        // A busy loop is caught wherever its run stands when the time is up: any of its lines.
        if (finding["kind"] == "busy") found.back().erase("line");
    }
    return found;
}

std::set<int> endingsOf(const nlohmann::json& report)
{
    std::set<int> endings;
    for (const auto& finding : report["findings"])
        if (finding["kind"] == "ending") endings.insert(finding["n"].get<int>());
    return endings;
}

// The line of the story map for the move from one node to another; empty when there is none.
std::string mapEdge(const std::string& dot, const std::string& from, const std::string& to)
{
    size_t at = dot.find("\"" + from + "\" -> \"" + to + "\"");
    return at == std::string::npos ? std::string() : dot.substr(at, dot.find('\n', at) - at);
}

}  // namespace

TEST(Explore, OneJobOrTwoFindTheSameAndTheJsonHoldsEveryDocumentedField)
{
    GameDir game;
    writeSmallGame(game);
    std::string out = game.path() + ".found";
    ExploreRun one = runExplore(game, "--json --jobs 1 --out '" + out + "'");
    ExploreRun two = runExplore(game, "--json --jobs 2 --out '" + out + "'");
    ASSERT_TRUE(one.report.is_object()) << one.out << one.err;
    ASSERT_TRUE(two.report.is_object()) << two.out << two.err;
    EXPECT_EQ(one.status, two.status);
    EXPECT_EQ(one.err, "");

    const nlohmann::json& r = two.report;
    for (const char* key : {"complete", "stoppedAtMaxStates"}) EXPECT_TRUE(r[key].is_boolean()) << key;
    for (const char* key : {"states", "runs", "jobs"}) EXPECT_TRUE(r[key].is_number_integer()) << key;
    for (const char* key : {"seconds", "statesPerSecond", "peakMemoryMiB"}) EXPECT_TRUE(r[key].is_number()) << key;
    EXPECT_EQ(r["game"], game.path());
    EXPECT_EQ(r["jobs"], 2);
    EXPECT_EQ(r["storyMap"], out + "/story-map.svg");
    for (const auto& finding : r["findings"]) {
        for (const char* key : {"kind", "what", "decisions", "times", "input"})
            EXPECT_TRUE(finding.contains(key)) << key << " in " << finding.dump();
        EXPECT_GE(finding["times"].get<int>(), 1);
        EXPECT_TRUE(fs::exists(finding["input"].get<std::string>()));
    }
    const nlohmann::json& coverage = r["coverage"];
    EXPECT_EQ(coverage["scenes"], 8);
    EXPECT_EQ(coverage["scenesEntered"], 7);
    EXPECT_EQ(coverage["lines"].get<int>() - coverage["linesRun"].get<int>(), 4) << coverage.dump();
    // The line behind flag 9, the move never offered, and the scene behind it.
    EXPECT_EQ(coverage["linesNeverRun"], nlohmann::json::parse(R"([{"file":"script/A007.txt","from":1,"to":2},
        {"file":"script/start.txt","from":14,"to":14},{"file":"script/start.txt","from":25,"to":25}])"));

    // The way the work is shared out changes how many runs it takes, never what is found.
    EXPECT_EQ(one.report["states"], r["states"]);
    EXPECT_EQ(findingsOf(one.report), findingsOf(r));
    EXPECT_EQ(one.report["coverage"], coverage);
    fs::remove_all(out);
}

TEST(Explore, KeepsWaysApartWhereALaterConditionReadsWhatTellsThemApart)
{
    // In each game the way tried first and the other differ only in what a later scene reads
    // (in a while, a choice's change entry, a move list's change entry, a parameter held on
    // entry, the scene left, the scenes since a time mark); taken for one state, the other
    // way's ending would be lost.
    const std::string takeKey = lines({"pick {", "持たない none", "持つ flag+ 4", "}", "moveto A001"});
    const std::string passage = lines({"[通路。]", "*move*", "{", "奥へ A002", "}"});
    struct Case {
        const char* what;
        std::map<std::string, std::string> scenes;
        std::set<int> endings;
    } cases[] = {
        {"while", {{"start", takeKey}, {"A001", passage},
                   {"A002", lines({"while (flag4) {", "ScenarioEnd 1", "}", "ScenarioEnd 2"})}}, {1, 2}},
        {"choice change", {{"start", takeKey}, {"A001", passage},
                           {"A002", lines({"pick {", "change (flag4) 開ける{", "ScenarioEnd 1", "}", "戻る{",
                                           "ScenarioEnd 2", "}", "}"})}}, {1, 2}},
        {"move change", {{"start", takeKey}, {"A001", passage},
                         {"A002", lines({"[扉の前。]", "*move*", "{", "change 扉へ (flag4) A003", "帰る A004", "}"})},
                         {"A003", "ScenarioEnd 1\n"}, {"A004", "ScenarioEnd 2\n"}}, {1, 2}},
        {"parameter on entry", {{"start", "para3 = rand %2\nmoveto A001\n"}, {"A001", passage},
                                {"A002", lines({"if (para3 == 1) {", "ScenarioEnd 1", "}else{", "ScenarioEnd 2", "}"})}},
         {1, 2}},
        {"scene left", {{"start", lines({"pick {", "近道 moveto A002", "回り道 moveto A001", "}"})}, {"A001", passage},
                        {"A002", lines({"[広間。]", "*search*", "if (from A001) {", "ScenarioEnd 1", "}else{",
                                        "ScenarioEnd 2", "}", "*move*", "{", "戻る A002", "}"})}}, {1, 2}},
        // Walked for ever, the two rooms keep counting the scenes since the mark; only up to
        // what the condition compares do the laps differ, so the search ends.
        {"time mark", {{"start", "timecheck 1\nmoveto A001\n"},
                       {"A001", lines({"[部屋。]", "*move*", "if (time 1 > 3) {", "出口へ A003", "隣へ A002", "}else{",
                                       "隣へ A002", "}"})},
                       {"A002", lines({"[隣の部屋。]", "*move*", "{", "戻る A001", "}"})}, {"A003", "ScenarioEnd 1\n"}},
         {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameDir game;
        game.minimalGame();
        for (const auto& [name, text] : c.scenes) game.write("script/" + name + ".txt", text);
        std::string out = game.path() + ".found";
        ExploreRun run = runExplore(game, "--json --jobs 1 --max-states 500 --out '" + out + "'");
        ASSERT_TRUE(run.report.is_object()) << run.out << run.err;
        EXPECT_EQ(run.status, 0) << run.out;
        EXPECT_TRUE(run.report["complete"]) << run.out;
        EXPECT_EQ(endingsOf(run.report), c.endings) << run.out;
        fs::remove_all(out);
    }
}

TEST(Explore, TellsEachOutcomeInItsSceneAndNamesEveryWayAsTheReplayTakesIt)
{
    GameDir game;
    // Two doors of the same text, a save's slot screen on the way, a return to the title, and
    // every outcome in a scene of its own.
    game.minimalGame(lines({"[扉が二つ並んでいる。]", "save", "pick {", "扉 moveto A001", "扉 moveto A002",
                            "戻る moveto A003", "}"}));
    game.write("script/A001.txt", "[左の部屋。]\nhp -200\n");
    game.write("script/A002.txt", "[右の部屋。]\nScenarioEnd 2\n");
    game.write("script/A003.txt", "[入口に戻った。]\ninith\n");
    std::string out = game.path() + ".found";
    ExploreRun run = runExplore(game, "--json --out '" + out + "'");
    // A return to the title is an end like any other: no dead end.
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    std::map<std::string, nlohmann::json> found;
    for (const auto& finding : run.report["findings"]) found[finding["kind"].get<std::string>()] = finding;
    ASSERT_EQ(found.size(), 3u) << run.out;
    EXPECT_EQ(found["gameover"]["scene"], "A001");
    EXPECT_EQ(found["ending"]["scene"], "A002");
    EXPECT_EQ(found["title"]["scene"], "A003");
    EXPECT_FALSE(found["title"].contains("input"));

    std::string dot = readFile(out + "/story-map.dot");
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"A001", "game over"}, {"A002", "ending 2"}, {"A003", "title"}, {"start", "A002"}}) {
        std::string edge = mapEdge(dot, from, to);
        EXPECT_FALSE(edge.empty()) << from << " -> " << to << "\n" << dot;
        EXPECT_EQ(edge.find("dashed"), std::string::npos) << edge;
    }

    // The second door is named by its place, the slot screen left without saving.
    std::string ending = readFile(found["ending"]["input"]);
    EXPECT_NE(ending.find("title new\nslot cancel\nchoose #2\nexpect ending 2\n"), std::string::npos) << ending;
    ReplayRun replay = runReplay(game, ending);
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_TRUE(hasEvent(replay, "ending", "n", 2));
    replay = runReplay(game, readFile(found["gameover"]["input"]));
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_TRUE(hasEvent(replay, "gameover"));
    fs::remove_all(out);
}

TEST(Explore, CoverageCountsOnlyStatementsAndTellsRangesAndScenesNeverRun)
{
    GameDir game;
    game.minimalGame(lines({"// 最初の場面", "[はじまり]", "", "if (flag9) {", "[一行目]", "[二行目]", "flag+ 3", "}",
                            "pick {", "進む moveto A001", "}"}));
    game.write("script/A001.txt", lines({"*move*", "if (flag1) {", "戻る start", "}else{", "奥へ A002", "}"}));
    game.write("script/A002.txt", "[出口。]\nScenarioEnd 1\n");
    game.write("script/restart.txt", "[再開。]\n");
    std::string out = game.path() + ".found";
    ExploreRun run = runExplore(game, "--out '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    // Comments, blank lines, braces alone and the branch lines of a move list are no
    // statements; the lines behind flag 9 are one range; restart is entered by a load only.
    EXPECT_NE(run.out.find("coverage: 3 of 4 scenes entered, 7 of 12 lines run\n"
                           "  script/A001.txt:3: never run\n"
                           "  script/restart.txt: never entered (a loaded save enters it)\n"
                           "  script/start.txt:5-7: never run\n"
                           "story map: "),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("ending 1: reached in 3 decisions: " + out + "/ending-1.input\n"), std::string::npos)
        << run.out;
    fs::remove_all(out);
}

TEST(Explore, UsageErrorsAreOneLineAndNoOutFolderReachesIntoTheGame)
{
    GameDir game;
    writeSmallGame(game);
    std::string link = game.path() + ".link";
    fs::create_directory_symlink(game.path(), link);
    std::string file = game.path() + ".file";
    std::ofstream(file) << "not a folder\n";
    std::map<std::string, std::string> before = contentsOf(game.path());
    for (const std::string& bad : std::vector<std::string>{
             "--jobs 257", "--max-states 0", "--max-states 12x", "--out '" + link + "/found'",
             "--out '" + game.path() + "'", "--out '" + file + "'", "--set flag1", "--dir"}) {
        ExploreRun run = runExplore(game, bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.err.rfind("tessarc-explore: ", 0), 0u) << bad << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << bad << ": " << run.err;
        EXPECT_EQ(run.out, "") << bad;
    }
    ExploreRun missing = runExplore(game, "--dir '" + game.path() + "/nowhere'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "tessarc-explore: " + game.path() + "/nowhere has no script/ folder\n");
    ExploreRun help = runExplore(game, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: tessarc-explore", 0), 0u) << help.out;
    EXPECT_EQ(contentsOf(game.path()), before);
    fs::remove(link);
    fs::remove(file);
}

TEST(Explore, AnErrorBeforeTheTitleOrJustAfterItHasAnInputThatPassesAsATest)
{
    struct Case {
        const char* what;
        bool itemList;
        const char* start;
        const char* file;
    } cases[] = {
        {"no item list: the game stops before its title", false, "[はじまり]\n", "script/itemlist.txt"},
        {"an error before the first decision", true, "[はじまり]\nbreak\n", "script/start.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameDir game;
        if (c.itemList) game.minimalGame(c.start);
        else game.write("script/start.txt", c.start);
        std::string out = game.path() + ".found";
        ExploreRun run = runExplore(game, "--json --out '" + out + "'");
        ASSERT_EQ(run.status, 1) << run.out << run.err;
        ASSERT_EQ(run.report["findings"].size(), 1u) << run.out;
        EXPECT_EQ(run.report["findings"][0]["file"], c.file);
        // Every input of the search, played as a test, does what it says.
        std::string command = std::string(TESSARC_REPLAY) + " --dir '" + game.path() + "' --test '" + out + "' >'" +
                              out + ".txt' 2>&1";
        int raw = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << readFile(out + ".txt");
        EXPECT_NE(readFile(out + ".txt").find("1 passed, 0 failed\n"), std::string::npos) << readFile(out + ".txt");
        fs::remove(out + ".txt");
        fs::remove_all(out);
    }
}
