// Save records byte for byte, reading them back, the checks reading makes, writing through a
// temporary file, and whole runs that save into a slot, load it from the title and continue
// from the resume file.
#include "savegame/save.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "core/state.h"
#include "support/gamedir.h"

namespace fs = std::filesystem;

// What the game flushed to the disk, in order: the path of each file or folder given to
// fsync, which this test program takes over from the C library.
std::vector<std::string> synced;

extern "C" int fsync(int fd)
{
    char link[32], target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t length = readlink(link, target, sizeof target);
    synced.push_back(length > 0 ? std::string(target, static_cast<size_t>(length)) : "");
    return static_cast<int>(syscall(SYS_fsync, fd));
}

namespace {

using Bytes = std::vector<unsigned char>;

// Every test runs in a fresh game directory as the current directory, from a new game, and
// leaves a new game and the old directory behind.
class SaveFile : public testing::Test {
protected:
    void SetUp() override
    {
        reset();
        home_ = fs::current_path();
        fs::current_path(game.path());
    }

    void TearDown() override
    {
        fs::current_path(home_);
        reset();
    }

    static void reset()
    {
        resetNewGame();
        HPtemp = 123;
        Gutstemp = 72;
        prepoint[0] = nextpoint[0] = '\0';
    }

    GameDir game;

private:
    fs::path home_;
};

Bytes encode(int mode)
{
    Bytes record(kResumeRecord);
    record.resize(encodeRecord(mode, record.data()));
    return record;
}

Bytes toBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }
std::string toText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The record of a new game in scene 1000 after one scene: no marks, HP 123, Guts 72.
Bytes newGameSlot()
{
    Bytes record(410, 0x80);
    record.insert(record.end(), 10, 0x01);
    record.insert(record.end(), {0x02, 0x7C, 0x49, 0x02});
    record.insert(record.end(), 40, 0x80);
    return record;
}

bool valid(const Bytes& bytes, int recordLength)
{
    return recordValid(bytes.data(), static_cast<int>(bytes.size()), recordLength);
}

}  // namespace

TEST_F(SaveFile, ASlotRecordIsTheResumeRecordWithoutItsPosition)
{
    scripttime = 1;
    EXPECT_EQ(encode(0), newGameSlot());

    HPtemp = 99;
    Gutstemp = -7;
    std::strcpy(prepoint, "A001");
    std::strcpy(nextpoint, "B002");
    Bytes resume = encode(1);
    ASSERT_EQ(resume.size(), 4474u);
    Bytes slot = newGameSlot();
    EXPECT_TRUE(std::equal(slot.begin(), slot.begin() + 424, resume.begin()));
    EXPECT_TRUE(std::equal(slot.begin() + 424, slot.end(), resume.begin() + 4434));
    EXPECT_EQ(resume[424], 100);
    EXPECT_EQ(resume[425], 0xFA);
    EXPECT_EQ(toText(Bytes(resume.begin() + 426, resume.begin() + 434)), "A001B002");
    EXPECT_EQ(Bytes(resume.begin() + 434, resume.begin() + 4434), Bytes(4000, 0x80));
}

TEST_F(SaveFile, BitGroupsCarrySevenElementsPerByteAndOnlyOneBitEach)
{
    flag[0] = flag[8] = flag[2799] = 1;
    item[3] = 5;        // a count above 1 keeps one bit
    item[4] = -2;       // a negative count none
    item[69] = 1;
    timecheck[279] = 57;  // a scene count
    scriptread[1000] = 1;
    scriptread[27999] = 1;
    Bytes slot = encode(0);
    ASSERT_EQ(slot.size(), 464u);
    for (int i = 0; i < 400; ++i) {
        unsigned char expected = i == 0 ? 0x81 : i == 1 ? 0x82 : i == 399 ? 0xC0 : 0x80;
        EXPECT_EQ(slot[10 + i], expected) << "flag byte " << i;
    }
    EXPECT_EQ(slot[0], 0x88);
    EXPECT_EQ(slot[9], 0xC0);
    EXPECT_EQ(slot[463], 0xC0);

    Bytes resume = encode(1);
    EXPECT_EQ(resume[434 + 142], 0xC0);   // scene 1000 is bit 6 of byte 142
    EXPECT_EQ(resume[4433], 0xC0);
    EXPECT_EQ(resume[4473], 0xC0);

    // Reading takes bits 0-6 of each byte, whatever bit 7 holds.
    resetNewGame();
    slot[10] = 0x7F;
    game.write("save/1", toText(slot));
    const SaveData& data = dataLoad(3);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(data.flags[0][i], 1) << i;
    EXPECT_EQ(data.flags[0][7], 0);
    EXPECT_EQ(data.flags[0][8], 1);
    EXPECT_EQ(data.flags[0][2799], 1);
    EXPECT_EQ(data.items[0][3], 1);
    EXPECT_EQ(data.items[0][4], 0);
    EXPECT_EQ(data.timechecks[0][279], 1);
}

TEST_F(SaveFile, CounterBytesHoldTheValuePlusOneAndClampWhatDoesNotFit)
{
    const int written[10] = {9, 126, 127, -1, -128, -129, 0, -2, 1000, -1000};
    const unsigned char bytes[10] = {10, 0x7F, 0x7F, 0xFF, 0x81, 0x81, 1, 0xFF, 0x7F, 0x81};
    const int readBack[10] = {9, 126, 126, -2, -128, -128, 0, -2, 126, -128};
    std::memcpy(parameter, written, sizeof parameter);
    scripttime = 200;
    HPmax = -1;
    Bytes slot = encode(0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(slot[410 + i], bytes[i]) << "parameter " << i;
    EXPECT_EQ(slot[421], 0xFF);
    EXPECT_EQ(slot[423], 0x7F);

    game.write("save/2", toText(slot));
    const SaveData& data = dataLoad(3);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(data.parameters[1][i], readBack[i]) << i;
    EXPECT_EQ(data.heads[1][0], 1);
    EXPECT_EQ(data.heads[1][1], -2);
    EXPECT_EQ(data.heads[1][2], 72);
    EXPECT_EQ(data.heads[1][3], 126);

    // The byte 0x80 is what 127 would give unclamped: it reads back as -129.
    slot[410] = 0x80;
    game.write("save/2", toText(slot));
    EXPECT_EQ(dataLoad(3).parameters[1][0], -129);
}

TEST_F(SaveFile, SceneNamesKeepFourCharactersAndShortOnesArePadded)
{
    struct Case {
        const char *name, *field, *readBack;
    } cases[] = {
        {"start", "star", "start"},  {"restart", "rest", "restart"}, {"B123", "B123", "B123"},
        {"B1234", "B123", "B123"},   {"starting", "star", "start"}, {"OP", "OP  ", "OP"},
        {"A12", "A12 ", "A12"},      {"", "    ", ""},
    };
    for (const Case& test : cases) {
        std::strcpy(prepoint, "rest");
        std::strcpy(nextpoint, test.name);
        save(1);
        Bytes file = toBytes(game.read("save/0"));
        ASSERT_EQ(file.size(), 4474u) << test.name;
        EXPECT_EQ(toText(Bytes(file.begin() + 426, file.begin() + 434)),
                  std::string("rest") + test.field);
        const SaveData& data = dataLoad(4);
        EXPECT_STREQ(data.prepoints[3], "restart");
        EXPECT_STREQ(data.nextpoints[3], test.readBack) << test.name;
    }
}

TEST_F(SaveFile, AResumeSaveAndLoadCarryTheWholeProgress)
{
    ASSERT_FALSE(game.exists("save"));
    t = 2, a = 1, b = 2, c = 3;
    std::strcpy(prepoint, "B122");
    std::strcpy(nextpoint, "B123");
    HP = 50, HPtemp = 80, Guts = 10, Gutstemp = 30;
    HPmax = 110, Gutsmax = 90, scripttime = 17;
    item[3] = 1, flag[2799] = 1, timecheck[5] = 1, parameter[9] = -7;
    scriptread[2122] = 1;
    save(1);
    EXPECT_TRUE(saveExists(0));
    EXPECT_FALSE(saveExists(1));
    EXPECT_FALSE(game.exists("save/0.writing"));
    EXPECT_EQ(game.read("save/0").size(), 4474u);

    reset();
    t = 9, a = b = c = 9;
    load(1);
    EXPECT_EQ(t, 2);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
    EXPECT_STREQ(prepoint, "B122");
    EXPECT_STREQ(nextpoint, "B123");
    EXPECT_EQ(HP, 80);     // as the scene began
    EXPECT_EQ(Guts, 30);
    EXPECT_EQ(HPmax, 110);
    EXPECT_EQ(Gutsmax, 90);
    EXPECT_EQ(scripttime, 17);
    EXPECT_EQ(item[3], 1);
    EXPECT_EQ(flag[2799], 1);
    EXPECT_EQ(timecheck[5], 1);
    EXPECT_EQ(parameter[9], -7);
    EXPECT_EQ(scriptread[2122], 1);
    EXPECT_EQ(scriptread[2121], 0);

    // The position comes from the next scene's name: "OP" is scene 1000 whatever t was saved,
    // any other name keeps t and takes its digits.
    struct Case {
        const char* name;
        int t, a, b, c;
    } cases[] = {{"OP", 1, 0, 0, 0}, {"A12", 5, 0, 1, 2}, {"start", 5, 0, 0, 0},
                 {"restart", 5, 0, 0, 0}, {"", 5, 0, 0, 0}, {"Z999", 5, 9, 9, 9}};
    for (const Case& test : cases) {
        reset();
        t = 5;
        std::strcpy(nextpoint, test.name);
        save(1);
        t = 7, a = b = c = 4;
        load(1);
        EXPECT_STREQ(nextpoint, test.name);
        EXPECT_EQ(t, test.t) << test.name;
        EXPECT_EQ(a, test.a) << test.name;
        EXPECT_EQ(b, test.b) << test.name;
        EXPECT_EQ(c, test.c) << test.name;
    }
}

TEST_F(SaveFile, ReadingRefusesAZeroAfterTheFirstByteOrAShortRecord)
{
    scripttime = 1;
    Bytes slot = encode(0);
    Bytes resume = encode(1);
    for (auto [record, length] : {std::pair{slot, 464}, std::pair{resume, 4474}}) {
        EXPECT_TRUE(valid(record, length));
        for (int i = 1; i < length; ++i) {
            Bytes broken = record;
            broken[i] = 0;
            EXPECT_FALSE(valid(broken, length)) << "zero at " << i << " of " << length;
        }
        Bytes first = record;
        first[0] = 0;
        EXPECT_TRUE(valid(first, length));
        EXPECT_FALSE(valid(Bytes(record.begin(), record.end() - 1), length));
        Bytes longer = record;
        longer.insert(longer.end(), 100, 0);
        EXPECT_TRUE(valid(longer, length));
    }
    // A slot record is too short for the resume file.
    EXPECT_FALSE(valid(slot, 4474));
}

TEST_F(SaveFile, ReadingTakesOnlyTheFilesThatExistAndTheRecordAtTheirStart)
{
    scripttime = 1;
    Bytes slot = encode(0);
    slot[0] = 0x00;   // never checked: items 0-6 read as 0
    Bytes longer = slot;
    longer.insert(longer.end(), 200000, 0);   // past the read buffer
    game.write("save/3", toText(longer));
    EXPECT_FALSE(saveExists(1));
    EXPECT_FALSE(saveExists(2));
    EXPECT_TRUE(saveExists(3));
    const SaveData& data = dataLoad(3);
    EXPECT_EQ(data.heads[2][0], 1);
    EXPECT_EQ(data.heads[2][1], 123);
    EXPECT_EQ(data.heads[2][2], 72);
    EXPECT_EQ(data.heads[2][3], 1);
    EXPECT_EQ(data.items[2][0], 0);

    // A slot load decodes no position: a slot file of resume length is read as a slot.
    Bytes resume = encode(1);
    game.write("save/1", toText(resume));
    EXPECT_EQ(dataLoad(3).timechecks[0][0], 0);
}

TEST_F(SaveFile, AFailedWriteLeavesTheOldFile)
{
    std::strcpy(nextpoint, "A001");
    save(1);
    std::string before = game.read("save/0");
    // The temporary file cannot be created where a folder of its name stands.
    fs::create_directory(game.file("save/0.writing"));
    std::strcpy(nextpoint, "B002");
    HPmax = 10;
    save(1);
    EXPECT_EQ(game.read("save/0"), before);

    // Nor can ./save/ be made where a file of that name stands.
    fs::remove_all(game.file("save"));
    game.write("save", "not a folder");
    save(1);
    EXPECT_EQ(game.read("save"), "not a folder");
    EXPECT_FALSE(saveExists(0));
}

TEST_F(SaveFile, ASaveReachesTheDiskBeforeItTakesItsNameAndTheNameAfter)
{
    synced.clear();
    save(1);
    const std::string folder = fs::canonical(game.file("save")).string();
    // The companion record follows its file the same way.
    EXPECT_EQ(synced, (std::vector<std::string>{folder + "/0.writing", folder,
                                                 folder + "/0.more.writing", folder}));
    EXPECT_TRUE(saveExists(0));
    EXPECT_FALSE(fs::exists(game.file("save/0.writing")));
}

// ---- Whole runs ------------------------------------------------------------------------

namespace {

const char kMoveSection[] = "*move*\n{\n行く A001\n}\n";

// The title's buttons and the slots' cards.
const char kClickLoad[] = "click 410 427\n";
const char kClickContinue[] = "click 410 483\n";
const char kClickSlot2[] = "click 200 350\n";

// A story that raises HPmax and sets flag 5 on the way from the start scene into C001, saves
// there, and sets flag 6 and lowers HP after the save. After a slot load, "restart" goes on
// to B001 when the saved state came back; after a continue, C001 goes on to B002.
void story(const GameDir& game)
{
    game.minimalGame("flag+ 5\nhpmax = 110\npara3 = 42\nitem+ 1\nhp -23\nmoveto C001\n");
    game.write("script/C001.txt", std::string("if (flag6 & hp == 100 & hpmax == 110) {\n"
                                              "moveto B002\n}\nsave\nflag+ 6\nhp -50\n") +
                                      kMoveSection);
    game.write("script/restart.txt",
               std::string("if (flag5 & !flag6 & hpmax == 110 & para3 == 42 & item1 & "
                           "route == 3 & hp == 123) {\nmoveto B001\n}\n") +
                   kMoveSection);
    game.write("script/B001.txt", kMoveSection);
    game.write("script/B002.txt", kMoveSection);
}

std::vector<std::string> scenes(const ReplayRun& run)
{
    std::vector<std::string> names;
    for (const auto& scene : run.only("scene"))
        names.push_back(scene["name"].get<std::string>() + " " +
                        std::to_string(scene["index"].get<int>()));
    return names;
}

std::vector<std::string> saves(const ReplayRun& run)
{
    std::vector<std::string> files;
    for (const auto& written : run.only("save")) files.push_back(written["file"]);
    return files;
}

}  // namespace

TEST(SaveRun, ASlotSavedInAStoryIsLoadedFromTheTitle)
{
    GameDir game;
    story(game);
    ReplayRun saving = runFromStart(game, kClickSlot2);
    EXPECT_EQ(saving.status, 0) << saving.err;
    EXPECT_EQ(scenes(saving), (std::vector<std::string>{"start 1000", "C001 3001"}));
    EXPECT_EQ(saves(saving), (std::vector<std::string>{"./save/0", "./save/2", "./save/0"}));
    // The slot screen plays its own music, and it is not put back afterwards.
    auto tracks = saving.only("music");
    ASSERT_FALSE(tracks.empty());
    EXPECT_EQ(tracks.back()["path"], "./bgm/5.ogg");
    EXPECT_FALSE(game.exists("save/1"));
    EXPECT_FALSE(game.exists("save/3"));
    Bytes slot = toBytes(game.read("save/2"));
    ASSERT_EQ(slot.size(), 464u);
    EXPECT_EQ(slot[10], 0xA0);       // flag 5 only: flag 6 came after the save
    EXPECT_EQ(slot[413], 43);        // parameter 3
    EXPECT_EQ(slot[420], 4);         // t 3
    EXPECT_EQ(slot[421], 111);       // HPmax 110
    EXPECT_EQ(slot[423], 3);         // two scenes entered

    // The slot load starts at scene 3000 with the saved state and a new game's HP.
    ReplayRun loading = runReplay(game, std::string(kClickLoad) + kClickSlot2);
    EXPECT_EQ(loading.status, 0) << loading.err;
    EXPECT_EQ(scenes(loading), (std::vector<std::string>{"restart 3000", "B001 2001"}));
}

TEST(SaveRun, TheResumeFileContinuesWhereTheLastSceneLeftOff)
{
    GameDir game;
    story(game);
    ASSERT_EQ(runFromStart(game, kClickSlot2).status, 0);
    // Written when the input ran out in C001's field menu: still in C001, HP as C001 began.
    Bytes resume = toBytes(game.read("save/0"));
    ASSERT_EQ(resume.size(), 4474u);
    EXPECT_EQ(resume[10], 0xE0);     // flags 5 and 6
    EXPECT_EQ(resume[420], 4);
    EXPECT_EQ(resume[424], 101);     // HP 100 when C001 began
    EXPECT_EQ(toText(Bytes(resume.begin() + 426, resume.begin() + 434)), "starC001");
    EXPECT_EQ(resume[434 + 142], 0xC0);   // the start scene was read
    EXPECT_EQ(resume[434 + 3001 / 7], 0x80);

    ReplayRun continued = runReplay(game, kClickContinue);
    EXPECT_EQ(continued.status, 0) << continued.err;
    EXPECT_EQ(scenes(continued), (std::vector<std::string>{"C001 3001", "B002 2002"}));

    // Quitting in the middle of a scene writes the resume file too; a short scene name is
    // written padded and continues under its own name. (OP is scene 1000 as the start scene
    // is, so within one game it runs the start scene's text again.)
    game.write("script/start.txt",
               "if (!flag7) {\nflag+ 7\nmoveto OP\n}\n[待つ]\n" + std::string(kMoveSection));
    game.write("script/OP.txt", kMoveSection);
    ReplayRun quitting = runFromStart(game, "");
    EXPECT_EQ(saves(quitting), (std::vector<std::string>{"./save/0", "./save/0"}));
    resume = toBytes(game.read("save/0"));
    EXPECT_EQ(toText(Bytes(resume.begin() + 426, resume.begin() + 434)), "starOP  ");
    EXPECT_EQ(scenes(runReplay(game, kClickContinue)), (std::vector<std::string>{"OP 1000"}));
}

TEST(SaveRun, ADamagedSlotIsShownAsDamagedAndTheOthersWork)
{
    GameDir game;
    game.minimalGame("save\n" + std::string(kMoveSection));
    game.write("script/restart.txt", kMoveSection);
    std::string good = toText(newGameSlot());
    const char kClickSlot1[] = "click 400 150\n", kClickSlot3[] = "click 600 400\n";

    std::vector<std::string> damaged;
    for (size_t at : {size_t(1), size_t(200), size_t(463)}) {
        std::string broken = good;
        broken[at] = '\0';
        damaged.push_back(broken);
    }
    damaged.push_back(good.substr(0, 463));
    game.write("save/1", good);
    for (const std::string& broken : damaged) {
        game.write("save/3", broken);
        // The save screen opens, and a save into another slot leaves the damaged one alone.
        ReplayRun run = runFromStart(game, kClickSlot2);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(game.read("save/2").size(), 464u);
        EXPECT_EQ(game.read("save/3"), broken);
    }
    // The load screen: the damaged slot cannot be chosen, the others can.
    ReplayRun run = runReplay(game, std::string(kClickLoad) + kClickSlot3 + "wait 500\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.only("load").empty());
    run = runReplay(game, std::string(kClickLoad) + kClickSlot1);
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.only("load").size(), 1u);
    EXPECT_EQ(run.only("load")[0]["file"], "./save/1");
    EXPECT_EQ(scenes(run), (std::vector<std::string>{"restart 1000"}));

    // Saving over it first keeps its bytes beside it, under a name of their own each time.
    run = runFromStart(game, kClickSlot3);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(game.read("save/3.damaged"), damaged.back());
    EXPECT_EQ(toBytes(game.read("save/3")), newGameSlot());
    game.write("save/3", damaged[0]);
    runFromStart(game, kClickSlot3);
    EXPECT_EQ(game.read("save/3.damaged"), damaged.back());
    EXPECT_EQ(game.read("save/3.damaged-2"), damaged[0]);

    // A changed first byte and bytes after the record are fine.
    std::string lenient = good + std::string(50, '\0');
    lenient[0] = '\0';
    game.write("save/3", lenient);
    run = runReplay(game, std::string(kClickLoad) + kClickSlot3);
    ASSERT_EQ(run.only("load").size(), 1u);
    EXPECT_EQ(run.only("load")[0]["file"], "./save/3");

    // A damaged resume file (of slot length: short): continue is not offered, and the next
    // resume save keeps it beside it.
    game.write("save/0", good);
    run = runReplay(game, kClickContinue);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.only("load").empty());
    EXPECT_TRUE(run.only("scene").empty());
    run = runFromStart(game, "rclick 400 300\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(game.read("save/0.damaged"), good);
    EXPECT_EQ(game.read("save/0").size(), 4474u);
    EXPECT_EQ(scenes(runReplay(game, kClickContinue)), (std::vector<std::string>{"start 1000"}));
}

TEST(SaveRun, CountsTimeMarksAndLargeValuesComeBackExactlyThroughTheCompanion)
{
    GameDir game;
    // The checks pass only on exact values: two of item 2 (one is taken before), a time mark
    // set when two scenes had been entered, values above what a counter byte holds.
    const std::string exact = "item- 2\nif (item2 & time5 == 2 & para1 == 200 & hpmax == 300) {\n"
                              "[正確]\n}\n[終わり]\n" + std::string(kMoveSection);
    game.minimalGame("item+ 2\nitem+ 2\npara1 = 200\nhpmax = 300\nmoveto A001\n");
    game.write("script/A001.txt", "timecheck 5\nmoveto A002\n");
    game.write("script/A002.txt", "[待つ]\n" + exact);
    auto pagesOf = [](const ReplayRun& run) {
        std::vector<std::string> texts;
        for (const auto& page : run.only("page")) texts.push_back(page["segments"][0]["text"]);
        return texts;
    };
    // Quit on A002's first page, then continue there.
    ASSERT_EQ(runFromStart(game, "").status, 0);
    ASSERT_TRUE(game.exists("save/0.more"));
    const std::string resume = game.read("save/0"), companion = game.read("save/0.more");
    ReplayRun run = runReplay(game, std::string(kClickContinue) + "press return\npress return\n");
    EXPECT_EQ(pagesOf(run), (std::vector<std::string>{"待つ", "正確", "終わり"}));
    // The resume file itself is what it always was: the values as its bytes can hold them.
    EXPECT_EQ(toBytes(resume)[411], 127);   // parameter 1: 126 + 1

    // Missing, damaged or another file's: the file loads as its bytes say.
    auto continued = [&](const std::string& more) {
        game.write("save/0", resume);
        if (more.empty()) fs::remove(game.file("save/0.more"));
        else game.write("save/0.more", more);
        return pagesOf(runReplay(game, std::string(kClickContinue) + "press return\npress return\n"));
    };
    const std::vector<std::string> asBytesSay{"待つ", "終わり"};
    EXPECT_EQ(continued(""), asBytesSay);
    std::string flipped = companion;
    flipped[300] ^= 1;
    EXPECT_EQ(continued(flipped), asBytesSay);
    EXPECT_EQ(continued(companion.substr(0, companion.size() - 1)), asBytesSay);
    std::string otherFile = resume;
    otherFile[5] ^= 1;
    game.write("save/0", otherFile);
    game.write("save/0.more", companion);
    EXPECT_EQ(pagesOf(runReplay(game, std::string(kClickContinue) + "press return\npress return\n")),
              asBytesSay);
    EXPECT_EQ(continued(companion), (std::vector<std::string>{"待つ", "正確", "終わり"}));

    // A slot saved after the time mark, loaded from the title: the same exact values.
    game.write("script/A001.txt", "timecheck 5\nsave\n" + std::string(kMoveSection));
    game.write("script/restart.txt",
               "item- 2\nif (item2 & time5 == 1 & para1 == 200 & hpmax == 300) {\n[正確]\n}\n" +
                   std::string(kMoveSection));
    ASSERT_EQ(runFromStart(game, kClickSlot2).status, 0);
    ASSERT_TRUE(game.exists("save/2.more"));
    run = runReplay(game, std::string(kClickLoad) + kClickSlot2);
    EXPECT_EQ(pagesOf(run), std::vector<std::string>{"正確"});
}

TEST(SaveRun, LeavingTheSlotScreenWritesNoSlot)
{
    GameDir game;
    game.minimalGame("save\nmoveto B001\n");
    game.write("script/B001.txt", kMoveSection);
    std::string slot = toText(newGameSlot());
    for (const char* name : {"save/1", "save/2", "save/3"}) game.write(name, slot);

    ReplayRun run = runFromStart(game, "move 200 350\nwait 100\nrclick 200 350\n");
    EXPECT_EQ(run.status, 0) << run.err;
    // Only the resume saves after each scene; the story went on past the screen.
    EXPECT_EQ(saves(run), (std::vector<std::string>{"./save/0", "./save/0"}));
    EXPECT_EQ(scenes(run), (std::vector<std::string>{"start 1000", "B001 2001"}));
    for (const char* name : {"save/1", "save/2", "save/3"}) EXPECT_EQ(game.read(name), slot);

    // Escape quits the game from the screen: nothing but the resume file is written.
    run = runFromStart(game, "move 200 350\nwait 100\npress escape\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(saves(run), (std::vector<std::string>{"./save/0"}));
    EXPECT_EQ(scenes(run), (std::vector<std::string>{"start 1000"}));
    for (const char* name : {"save/1", "save/2", "save/3"}) EXPECT_EQ(game.read(name), slot);
}

TEST(SaveRun, OddFilesWhereSavesGoAreDamagedSavesAndUnfinishedOnesAreRemoved)
{
    GameDir game;
    story(game);
    game.write("save/1.writing", "cut short by a kill");
    game.write("save/0.writing", "");
    game.write("save/0.more.writing", "");
    ASSERT_EQ(mkfifo(game.file("save/2").c_str(), 0666), 0);
    // A FIFO would block the title and the slot screen for ever if it were opened: it is a
    // damaged save.
    ReplayRun run = runReplay(game, std::string(kClickLoad) + kClickSlot2 + "wait 500\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.only("load").empty());
    EXPECT_FALSE(fs::exists(game.file("save/1.writing")));
    EXPECT_FALSE(fs::exists(game.file("save/0.writing")));
    EXPECT_FALSE(fs::exists(game.file("save/0.more.writing")));
    // Saving over it moves it aside, unopened.
    run = runFromStart(game, kClickSlot2);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_fifo(game.file("save/2.damaged")));
    EXPECT_EQ(game.read("save/2").size(), 464u);
}
