// tessarc-check end to end: a game with one seeded mistake of each kind, the bundled game, and
// the story map of a small game.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/gamedir.h"

namespace {

struct CheckRun {
    int status;
    std::string out;
};

CheckRun runCheck(const std::string& dir, const std::string& options, const std::string& outFile)
{
    std::string command = std::string("'") + TESSARC_CHECK + "' --dir '" + dir + "' " + options + " >'" + outFile + "' 2>/dev/null";
    int raw = std::system(command.c_str());
    std::ifstream in(outFile);
    std::stringstream text;
    text << in.rdbuf();
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text.str()};
}

CheckRun runCheck(const GameDir& game, const std::string& options = "")
{
    return runCheck(game.path(), options, game.file("check.txt"));
}

std::string lines(const std::vector<std::string>& all)
{
    std::string text;
    for (const std::string& line : all) text += line + "\n";
    return text;
}

using Finding = std::tuple<std::string, int, std::string, std::string>;   // file, line, severity, code

}  // namespace

TEST(Check, FindsEverySeededMistakeAtItsLine)
{
    GameDir game;
    game.write("script/itemlist.txt", "薬草\n鍵\n");
    game.write("bg/shore.jpg", "");
    game.write("script/start.txt", lines({
        "// One mistake a line.",
        "bg shore",
        "bgn shore",
        "flag+ 2800",
        "item+ 75",
        "item+ 5",
        "bg missing",
        "if (item0 and item1) {",
        "}",
        "if (item0 &) {",
        "}",
        "if item0 {",
        "}",
        "break",
        "goto nolabel",
        "[<c yellow>黄色</c>]",
        "[" + std::string(300, 'A') + "]",
        "if (item0) {",
        "[x]",
        "} else {",
        "[y]",
        "}",
        "flag+ 7",
        "para12 = 1",
        "check+ 56",
        "timecheck 280",
        "moveto Z999",
        "moveto A001",
    }));
    game.write("script/A001.txt", lines({
        "// Second scene.",
        "}",
        "[未完のメッセージ",
        "[次のメッセージ]",
        "if (flag8) {",
        "[z]",
        "}",
        "pick {",
        "行く moveto Y001",
        "留まる none",
        "}",
        "*move*",
        "{",
        "戻る start",
        "change 謎へ (item0) X001",
        "大きな場面へ B001",
        "次へ A002",
        "}",
    }));
    std::vector<std::string> deep = {"// Deep blocks.", "menu"};
    for (int i = 0; i < 20; ++i) deep.push_back("if (item0) {");
    for (int i = 0; i < 20; ++i) deep.push_back("}");
    for (int i = 0; i < 10; ++i) deep.push_back("if (item0) {");
    for (const char* line : {"pick {", "開ける{", "}", "}"}) deep.push_back(line);
    for (int i = 0; i < 10; ++i) deep.push_back("}");
    deep.push_back("if (item0) {");
    game.write("script/A002.txt", lines(deep));
    game.write("script/B001.txt", "moveto start\n// " + std::string(140000, 'x') + "\n");
    game.write("script/Z001.txt", "// Nobody comes here.\nmoveto start\n");

    CheckRun run = runCheck(game, "--json");
    EXPECT_EQ(run.status, 1);
    std::multiset<Finding> found;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        auto d = nlohmann::json::parse(line);
        found.insert({d["file"].get<std::string>(), d["line"].get<int>(), d["severity"].get<std::string>(),
                      d["code"].get<std::string>()});
        EXPECT_FALSE(d["message"].get<std::string>().empty());
        EXPECT_GE(d["column"].get<int>(), 1);
    }
    const std::string s = "script/start.txt", a1 = "script/A001.txt", a2 = "script/A002.txt";
    std::multiset<Finding> expected = {
        {s, 3, "warning", "unknown-command"},   {s, 4, "error", "range"},
        {s, 5, "error", "range"},               {s, 6, "warning", "item-unnamed"},
        {s, 7, "warning", "file-missing"},      {s, 8, "error", "condition"},
        {s, 10, "error", "condition"},          {s, 12, "error", "condition"},
        {s, 14, "error", "break-outside"},      {s, 15, "error", "label-missing"},
        {s, 16, "warning", "markup"},           {s, 17, "error", "layout"},
        {s, 20, "warning", "else-blank"},       {s, 23, "warning", "flag-unused"},
        {s, 24, "error", "range"},              {s, 25, "error", "range"},
        {s, 26, "error", "range"},              {s, 27, "error", "scene-missing"},
        {a1, 2, "error", "brace-stray"},        {a1, 3, "warning", "message-unclosed"},
        {a1, 5, "warning", "flag-unset"},       {a1, 9, "error", "scene-missing"},
        {a1, 15, "error", "scene-missing"},     {a2, 2, "error", "move-missing"},
        {a2, 22, "error", "nesting"},           {a2, 53, "error", "choice-nesting"},
        {a2, 67, "error", "brace-unclosed"},    {"script/B001.txt", 1, "error", "scene-size"},
        {"script/Z001.txt", 1, "warning", "unreachable"},
    };
    EXPECT_EQ(found, expected) << run.out;

    // The compiler form of the same, and the statuses of a clean game and of a folder that is
    // no game.
    CheckRun plain = runCheck(game);
    EXPECT_NE(plain.out.find("script/start.txt:3:1: warning: unknown command `bgn`; did you mean `bg`? [unknown-command]\n"),
              std::string::npos) << plain.out;
    GameDir clean;
    clean.minimalGame("moveto start\n");
    EXPECT_EQ(runCheck(clean).status, 0);
    EXPECT_EQ(runCheck(clean.path() + "/script", "", clean.file("none.txt")).status, 2);
}

TEST(Check, TheBundledGameIsClean)
{
    GameDir scratch;
    CheckRun run = runCheck(std::string(TESSARC_SOURCE_DIR) + "/game", "", scratch.file("out.txt"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
}

TEST(Check, TheStoryMapHasAnEdgePerWayOut)
{
    GameDir game;
    game.minimalGame(lines({"if (flag1) {", "moveto A001", "}else{", "moveto A002", "}"}));
    game.write("script/A001.txt", lines({"hp -10", "*move*", "{", "戻る start", "change 先へ (item0) A002", "}"}));
    game.write("script/A002.txt", lines({"chapter c9", "pick {", "終わる ScenarioEnd 1", "戻る{", "inith", "}", "}"}));
    CheckRun run = runCheck(game, "--map '" + game.file("map") + "'");
    EXPECT_TRUE(game.exists("map.svg"));
    std::set<std::tuple<std::string, std::string, std::string>> edges;
    std::regex edge(R"re(^  "([^"]*)" -> "([^"]*)"(?: \[label="([^"]*)"\])?;$)re");
    std::istringstream dot(game.read("map.dot"));
    for (std::string line; std::getline(dot, line);) {
        std::smatch m;
        if (std::regex_match(line, m, edge)) edges.insert({m[1], m[2], m[3]});
    }
    std::set<std::tuple<std::string, std::string, std::string>> expected = {
        {"start", "A001", "flag1"},      {"start", "A002", "else"},       {"A001", "game over", "hp < 1"},
        {"A001", "start", ""},           {"A001", "A002", "item0"},       {"A002", "ending 1", ""},
        {"A002", "title", ""},
    };
    EXPECT_EQ(edges, expected) << game.read("map.dot");
    EXPECT_NE(game.read("map.dot").find("label=\"A002\\nchapter c9\""), std::string::npos);
}
