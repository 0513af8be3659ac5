// tessarc-check end to end: a game with one seeded mistake of each kind, the bundled game, and
// the story map of a small game.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
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

namespace {

// The findings of a run in --json, and the messages by file and line.
struct Findings {
    std::multiset<Finding> found;
    std::map<std::pair<std::string, int>, std::string> messages;

    // The messages at a line, one a line.
    std::string at(const std::string& file, int line) { return messages[std::make_pair(file, line)]; }
};

Findings findingsOf(const CheckRun& run)
{
    Findings f;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        auto d = nlohmann::json::parse(line);
        std::string file = d["file"], severity = d["severity"], code = d["code"];
        int at = d["line"];
        f.found.insert({file, at, severity, code});
        f.messages[std::make_pair(file, at)] += d["message"].get<std::string>() + "\n";
    }
    return f;
}

}  // namespace

TEST(Check, FindsTheSlipsThatOnceRanOnSilently)
{
    GameDir game;
    game.write("script/itemlist.txt", "薬草\n鍵\n");
    game.write("bgm/shore.ogg", "");
    game.write("script/start.txt", lines({
        "flag+ 3",
        "item+ 1",
        "if (flag3)",                    // 3: no {
        "[a]",
        "}",
        "if (flag3) {",
        "[b]",
        "}lse{",                         // 8: misspelt
        "[c]",
        "}",
        "if (flag3) {",
        "[b]",
        "}else",                         // 13: no {
        "[c]",
        "}",
        "pick {",
        "開ける{",                       // 17: its block is left open
        "item+ 0",
        "閉じる none",
        "}",
        "if (flag3 | item1 & item0) {",  // 21: & and |
        "}",
        "flag+ 6]",                      // 23: ] in a command line
        "[<b灯台の鐘</b>が鳴った]",      // 24: the tag swallows its text
        "[x]flag+ 7",                    // 25: after the message
        "bgn shore",                     // 26: shore is music
        "whlie (flag3) {",               // 27: no block word
        "}",
        "if (flag3) {",
        "}else if (item0) {",            // 30: the condition is passed over
        "}",
        "if (flag6)",                    // 32: the { on the next line counts for nothing
        "{",
        "}",
        "moveto A0O1",                   // 35: near A001
        "*move*",                        // 36: no way on
        "{",
        "}",
    }));
    game.write("script/A001.txt", lines({"goto 分かれ路", "分かれ道", "moveto start"}));
    game.write("system/game.txt", "capton = 島\nchapter9 = x\ngameover = [短い\n");
    game.write("script/itemlist.txt", "薬草\n\n鍵\n薬草\n");
    CheckRun run = runCheck(game, "--json");
    EXPECT_EQ(run.status, 1);
    Findings f = findingsOf(run);
    const std::string s = "script/start.txt";
    for (const Finding& expected : std::vector<Finding>{
             {s, 3, "error", "brace-missing"},     {s, 8, "error", "block-word"},
             {s, 13, "error", "brace-missing"},    {s, 17, "error", "brace-unclosed"},
             {s, 21, "warning", "condition-mixed"}, {s, 23, "warning", "bracket"},
             {s, 24, "warning", "markup"},          {s, 25, "warning", "after-message"},
             {s, 26, "warning", "unknown-command"}, {s, 27, "error", "block-word"},
             {s, 30, "error", "block-word"},        {s, 32, "error", "brace-missing"},
             {s, 35, "error", "scene-missing"},     {s, 36, "error", "softlock"},
             {"script/A001.txt", 1, "error", "label-missing"}, {"script/A001.txt", 1, "warning", "unreachable"},
             {"script/A001.txt", 2, "warning", "unknown-command"},
             {"system/game.txt", 1, "warning", "game-text"}, {"system/game.txt", 2, "warning", "game-text"},
             {"system/game.txt", 3, "warning", "game-text"}, {"script/itemlist.txt", 2, "warning", "item-list"},
             {"script/itemlist.txt", 4, "warning", "item-list"}})
        EXPECT_EQ(f.found.count(expected), 1u) << std::get<0>(expected) << ":" << std::get<1>(expected) << " "
                                              << std::get<3>(expected) << "\n" << run.out;
    // One finding for each slip: the lines the author meant stay quiet.
    EXPECT_EQ(f.found.size(), 22u) << run.out;
    auto said = [&](const std::string& file, int line, const std::string& part) {
        EXPECT_NE(f.at(file, line).find(part), std::string::npos) << f.at(file, line);
    };
    said(s, 3, "`if (flag3) {`");
    said(s, 8, "`}else{`");
    said(s, 13, "`}else{`");
    said(s, 17, "`開ける`");
    said(s, 24, "`灯台の鐘` is not shown");
    said(s, 25, "`flag+ 7` is never run");
    said(s, 26, "did you mean `bgm`?");
    said(s, 27, "did you mean `while`?");
    said(s, 32, "stands on the next line");
    said(s, 35, "did you mean `A001`?");
    said("script/A001.txt", 1, "did you mean `分かれ道`?");
    said("system/game.txt", 1, "did you mean caption?");
    said("script/itemlist.txt", 2, "line 3 names item 1");
}

TEST(Check, AMoveListWithNoWayOnIsASoftlockOnlyWhenNoStateReachingItHasOne)
{
    GameDir game;
    game.write("script/itemlist.txt", "薬草\n");
    game.write("script/start.txt", lines({"flag+ 1", "moveto A001"}));
    const std::string move = "*move*\n";
    // A001..A003 can never move on; A004..A007 can, in some state, or leave through their search.
    game.write("script/A001.txt", move + lines({"{", "change 先へ (flag9) A002", "change 戻る (item0 & flag9) start", "}", "moveto A002"}));
    game.write("script/A002.txt", move + lines({"if (flag9) {", "先へ A003", "}elseif (route == 3) {", "先へ A003", "}", "moveto A003"}));
    game.write("script/A003.txt", lines({"check+ 25", "*move*", "{", "change 先へ (check2 | (0)) A004", "}", "moveto A004"}));
    game.write("script/A004.txt", lines({"*move*", "{", "change 先へ (flag1) A005", "}", "moveto A005"}));
    game.write("script/A005.txt", lines({"check+ 3", "*move*", "if (check3) {", "先へ A006", "}", "moveto A006"}));
    game.write("script/A006.txt", lines({"*search*", "moveto A007", "*move*", "{", "}"}));
    game.write("script/A007.txt", lines({"*move*", "if (!flag9 & hp > 10) {", "先へ start", "}else{", "}"}));
    Findings f = findingsOf(runCheck(game, "--json"));
    std::set<std::string> softlocks;
    for (const Finding& x : f.found)
        if (std::get<3>(x) == "softlock") softlocks.insert(std::get<0>(x));
    EXPECT_EQ(softlocks, (std::set<std::string>{"script/A001.txt", "script/A002.txt", "script/A003.txt"}));
    EXPECT_NE(f.at("script/A001.txt", 1).find("nothing raises flag 9"), std::string::npos)
        << f.at("script/A001.txt", 1);
    EXPECT_NE(f.at("script/A002.txt", 1).find("nothing raises flag 9"), std::string::npos);
}

TEST(Check, NamesAppearInMessagesAndTheMapAndTheirFileIsChecked)
{
    GameDir game;
    game.write("script/itemlist.txt", "薬草\n鍵\n");
    game.write("system/names.txt", lines({"# 名前", "flag 1 扉を開けた", "item 1 鍵", "flag 2 鍵",
                                          "flag 2800 遠すぎる", "item 1 二つ目", "para 3 hp", "luck 1 運", "flag 4"}));
    game.write("script/start.txt", lines({"flag+ 5", "if (flag1 & item1) {", "moveto A001", "}", "if (flag5) {",
                                          "}", "para3 = 1", "para4 = 2", "para4 +1", "moveto A001"}));
    game.write("script/A001.txt", lines({"item+ 1", "moveto start"}));
    CheckRun run = runCheck(game, "--json --map '" + game.file("map") + "'");
    Findings f = findingsOf(run);
    const std::string n = "system/names.txt";
    for (int line : {4, 5, 6, 7, 8, 9})
        EXPECT_EQ(f.found.count({n, line, "warning", "names"}), 1u) << line << "\n" << run.out;
    EXPECT_NE(f.at(n, 4).find("given twice"), std::string::npos);
    EXPECT_NE(f.at(n, 5).find("outside"), std::string::npos);
    EXPECT_NE(f.at(n, 6).find("named twice"), std::string::npos);
    // Numbers without a name: once each, where they are first used.
    EXPECT_EQ(f.found.count({"script/start.txt", 1, "warning", "name-missing"}), 1u) << run.out;
    EXPECT_EQ(f.found.count({"script/start.txt", 8, "warning", "name-missing"}), 1u) << run.out;
    EXPECT_EQ(f.found.count({"script/start.txt", 7, "warning", "name-missing"}), 1u) << run.out;
    EXPECT_EQ(f.found.count({"script/start.txt", 9, "warning", "name-missing"}), 0u) << run.out;
    EXPECT_NE(f.at("script/start.txt", 1).find("flag 5 has no name"), std::string::npos);
    EXPECT_NE(run.out.find("flag 1 (扉を開けた) is tested but no `flag+ 1` sets it"), std::string::npos) << run.out;
    EXPECT_NE(game.read("map.dot").find("\"start\" -> \"A001\" [label=\"扉を開けた & 鍵\"]"), std::string::npos)
        << game.read("map.dot");
}
