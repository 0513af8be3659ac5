// The bundled game played from the title to each of its endings, to the game over, and
// through a slot save, a slot load and a continue. The input scripts beside this file hold
// Ctrl down so that pages turn by themselves; only menus and choices take clicks.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/gamedir.h"

namespace fs = std::filesystem;

namespace {

const std::string kSource = TESSARC_SOURCE_DIR;

std::string inputOf(const std::string& name)
{
    std::ifstream in(kSource + "/tests/playthrough/" + name + ".txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A copy of the bundled game without its saves, so that every run starts afresh.
class Playthrough : public testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& entry : fs::directory_iterator(kSource + "/game"))
            if (entry.path().filename() != "save")
                fs::copy(entry.path(), game.file(entry.path().filename().string()),
                         fs::copy_options::recursive);
    }

    ReplayRun play(const std::string& name) { return runReplay(game, inputOf(name)); }

    // The names of the scenes entered, in order.
    static std::vector<std::string> scenes(const ReplayRun& run)
    {
        std::vector<std::string> names;
        for (const auto& scene : run.only("scene")) names.push_back(scene["name"]);
        return names;
    }

    // The tracks started, "off" left out.
    static std::vector<std::string> tracks(const ReplayRun& run)
    {
        std::vector<std::string> paths;
        for (const auto& track : run.only("music"))
            if (track["path"] != "off") paths.push_back(track["path"]);
        return paths;
    }

    // True when the run came back to the title after its scenes: the title's music again.
    static bool backAtTitle(const ReplayRun& run)
    {
        auto played = tracks(run);
        return played.size() >= 2 && played.back() == "./bgm/OP.ogg";
    }

    // The track that played when the game went back to the title.
    static std::string lastTheme(const ReplayRun& run)
    {
        auto played = tracks(run);
        return played.size() >= 2 ? played[played.size() - 2] : "";
    }

    GameDir game;
};

}  // namespace

TEST_F(Playthrough, TheTrueEndingRingsTheBellWithTheLetter)
{
    ReplayRun run = play("true_ending");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> expected = {"start", "A001", "A003", "B001", "B002", "B004",
                                         "C001",  "C002", "C003", "C001", "C004", "C001",
                                         "C002",  "C003", "D001"};
    EXPECT_EQ(scenes(run), expected);
    EXPECT_EQ(lastTheme(run), "./bgm/ED-2.ogg");
    EXPECT_TRUE(backAtTitle(run));
}

TEST_F(Playthrough, TheBellWithoutTheLetterIsTheSecondEnding)
{
    ReplayRun run = play("bell_without_letter");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(scenes(run).back(), "D001");
    EXPECT_EQ(lastTheme(run), "./bgm/ED-0.ogg");
    EXPECT_TRUE(backAtTitle(run));
}

TEST_F(Playthrough, TheBoatInTheCaveIsTheThirdEnding)
{
    ReplayRun run = play("sea_ending");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(scenes(run).back(), "D002");
    // The dead end leads back to the fork: the passages are offered twice.
    int forks = 0;
    for (const auto& choice : run.only("choice"))
        if (choice["options"][0] == "右の通路") ++forks;
    EXPECT_EQ(forks, 2);
    EXPECT_EQ(lastTheme(run), "./bgm/ED.ogg");
    EXPECT_TRUE(backAtTitle(run));
}

TEST_F(Playthrough, JumpingFromTheCliffEndsTheGame)
{
    ReplayRun run = play("game_over");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(scenes(run).back(), "B001");
    auto pages = run.only("page");
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages.back()["segments"][0]["text"], "Game Over……");
    EXPECT_TRUE(backAtTitle(run));
}

TEST_F(Playthrough, ASlotSaveLoadsAndTheResumeFileContinues)
{
    ReplayRun saved = play("save_slot");
    ASSERT_EQ(saved.status, 0) << saved.err;
    ASSERT_TRUE(game.exists("save/1"));
    EXPECT_EQ(fs::file_size(game.file("save/1")), 464u);
    EXPECT_EQ(fs::file_size(game.file("save/0")), 4474u);
    bool slotWritten = false;
    for (const auto& save : saved.only("save")) slotWritten |= save["file"] == "./save/1";
    EXPECT_TRUE(slotWritten);

    // The slot load goes on from the chapter's first place.
    ReplayRun loaded = play("load_slot");
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    std::vector<std::string> expected = {"restart", "A001"};
    EXPECT_EQ(scenes(loaded), expected);

    // The resume file holds the scene the last run was in when it ended.
    ReplayRun continued = play("continue");
    ASSERT_EQ(continued.status, 0) << continued.err;
    ASSERT_FALSE(scenes(continued).empty());
    EXPECT_EQ(scenes(continued).front(), "A001");
}

namespace {

// The input with its pictures kept in a folder of the test's own (SHOTS in the input).
std::string withShots(std::string input, const std::string& folder)
{
    for (size_t at; (at = input.find("SHOTS")) != std::string::npos;) input.replace(at, 5, folder);
    return input;
}

}  // namespace

TEST_F(Playthrough, APageSaveComesBackAfterARestartAsItWasAndABadOneIsRefused)
{
    fs::create_directories(game.file("saved"));
    fs::create_directories(game.file("loaded"));
    ReplayRun saved = runReplay(game, withShots(inputOf("page_save"), game.file("saved")));
    if (const char* keep = std::getenv("PLAYTHROUGH_KEEP")) fs::copy(game.path(), keep, fs::copy_options::recursive);
    ASSERT_EQ(saved.status, 0) << saved.err;
    bool quick = false;
    for (const auto& written : saved.only("save")) quick |= written["file"] == "./save/quick";
    EXPECT_TRUE(quick);
    std::string resume = game.read("save/0"), exact = game.read("save/0.more");
    // The quick save is the newest once the automatic ones are put aside.
    for (const char* automatic : {"save/auto0", "save/auto1", "save/auto2", "save/auto3"})
        fs::remove(game.file(automatic));

    // The program started again: F9 at the title shows the same page, pixel for pixel, and
    // the same backlog; quitting there writes the resume file the first run wrote, so items
    // (with their counts), flags, parameters, marks and the scene clock are as they were.
    ReplayRun loaded = runReplay(game, withShots(inputOf("page_load"), game.file("loaded")));
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    ASSERT_EQ(loaded.only("load").size(), 1u);
    EXPECT_EQ(loaded.only("load")[0]["file"], "./save/quick");
    EXPECT_EQ(scenes(loaded), std::vector<std::string>{"B001"});
    EXPECT_TRUE(game.read("saved/page.bmp") == game.read("loaded/page.bmp"));
    EXPECT_TRUE(game.read("saved/backlog.bmp") == game.read("loaded/backlog.bmp"));
    EXPECT_TRUE(game.read("saved/page.bmp") != game.read("saved/backlog.bmp"));
    EXPECT_EQ(game.read("save/0"), resume);
    EXPECT_EQ(game.read("save/0.more"), exact);
    // The track of the cliff plays again; the wind stopped before the page.
    auto music = tracks(loaded);
    ASSERT_EQ(music.size(), 2u);
    EXPECT_EQ(music[1], "./bgm/shore.ogg");

    // A page save cut short: a notice, nothing loaded, no crash.
    std::string quickSave = game.read("save/quick");
    for (const char* automatic : {"save/auto0", "save/auto1", "save/auto2", "save/auto3"})
        fs::remove(game.file(automatic));
    game.write("save/quick", quickSave.substr(0, quickSave.size() / 2));
    ReplayRun cut = runReplay(game, "press f9\nwait 500\n");
    EXPECT_EQ(cut.status, 0) << cut.err;
    EXPECT_TRUE(cut.only("load").empty());
    EXPECT_NE(cut.err.find("./save/quick: 壊れたページセーブは読み込みません"), std::string::npos) << cut.err;

    // A page save from a scene the author has changed since: loaded as far as the scene
    // still matches, with a notice.
    game.write("save/quick", quickSave);
    std::string cliff = game.read("script/B001.txt");
    size_t rocks = cliff.find("落石だ！");
    ASSERT_NE(rocks, std::string::npos);
    game.write("script/B001.txt", cliff.substr(0, rocks) + "崖が崩れた！" + cliff.substr(rocks + 12));
    ReplayRun changed = runReplay(game, "press f9\nwait 500\n");
    EXPECT_EQ(changed.status, 0) << changed.err;
    ASSERT_EQ(changed.only("load").size(), 1u);
    EXPECT_NE(changed.err.find("一致するところまで読み込みました"), std::string::npos) << changed.err;
    auto pages = changed.only("page");
    ASSERT_FALSE(pages.empty());
    EXPECT_NE(pages[0].dump().find("崖が崩れた"), std::string::npos) << pages[0].dump();
}

TEST_F(Playthrough, BackspaceStepsBackOverTheHerbAndTheOtherOptionKeepsItsState)
{
    ReplayRun stepped = play("step_back");
    ASSERT_EQ(stepped.status, 0) << stepped.err;
    auto rollbacks = stepped.only("rollback");
    ASSERT_EQ(rollbacks.size(), 1u);
    EXPECT_EQ(rollbacks[0]["page"], 7);   // the choice, after the seventh page
    // Stepping back wrote nothing: after it, the only writes are those of the quit.
    std::vector<std::string> writes;
    bool after = false;
    for (const auto& event : stepped.events) {
        after = after || event["ev"] == "rollback";
        if (after && (event["ev"] == "save" || event["ev"] == "autosave")) writes.push_back(event["file"]);
    }
    EXPECT_EQ(writes, (std::vector<std::string>{"./save/auto0", "./save/0"}));
    auto picks = stepped.only("pick");
    ASSERT_EQ(picks.size(), 2u);
    EXPECT_EQ(picks[1]["chosen"], nlohmann::json::array({2}));
    std::string resume = game.read("save/0"), exact = game.read("save/0.more");

    // As if the herb had been left at once: the same resume file, without the herb.
    ReplayRun left = play("leave_herb");
    ASSERT_EQ(left.status, 0) << left.err;
    EXPECT_EQ(game.read("save/0"), resume);
    EXPECT_EQ(game.read("save/0.more"), exact);
}
