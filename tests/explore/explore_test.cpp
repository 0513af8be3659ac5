// tessarc-explore end to end: a small game with something of every kind to find, each found
// thing played again from its input in tessarc-replay; every order of a multi-pick and the
// values of a draw; the options and a search cut short.
#include <gtest/gtest.h>

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
