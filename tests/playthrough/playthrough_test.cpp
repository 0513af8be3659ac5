// The bundled game played from the title to each of its endings, to the game over, and
// through a slot save, a slot load and a continue. The input scripts beside this file hold
// Ctrl down so that pages turn by themselves; only menus and choices take clicks.
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
