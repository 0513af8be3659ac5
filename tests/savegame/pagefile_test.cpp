// Page save files: what is written comes back whole; a file cut short, changed, of another
// version or holding counts it cannot hold is refused; the backlog and the state image come
// back with every value; the newest save is the one of the largest number.
#include "savegame/pagefile.h"

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "core/bytes.h"
#include "core/checksum.h"
#include "core/state.h"
#include "presentation/backlog.h"
#include "support/gamedir.h"
#include "support/newgame.h"

namespace fs = std::filesystem;

namespace {

PageSave sample()
{
    PageSave save{};
    save.sequence = 41;
    save.date = {2026, 3, 14, 15, 9, 26};
    save.kind = PointKind::Choice;
    save.page = 1234;
    std::snprintf(save.chapter, sizeof save.chapter, "第2章　灯台への道");
    std::snprintf(save.firstLine, sizeof save.firstLine, "選択：林へ向かう／海へ飛び込む");
    save.picture.resize(kPictureBytes);
    for (size_t i = 0; i < save.picture.size(); ++i) save.picture[i] = static_cast<unsigned char>(i * 7);
    save.scene.start = {stateImage(), "./bg/cliff.jpg", "./bgm/shore.ogg", "./se/wind.wav", 1200, 2001, 0xDEADBEEF};
    save.scene.points = {{PointKind::Page, {}, 11}, {PointKind::Draw, {7}, 12}, {PointKind::Choice, {3, 1}, 13}};
    save.at = {PointKind::Choice, {}, 99};
    save.backlog = encodeBacklog();
    return save;
}

// The bytes with the checksum at their end made right again.
std::string resealed(std::string bytes)
{
    uint32_t crc = crc32Of(bytes.data(), bytes.size() - 4);
    for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
    return bytes;
}

class PageFiles : public NewGameTest {
protected:
    void SetUp() override
    {
        NewGameTest::SetUp();
        backlogClear();
        home_ = fs::current_path();
        fs::current_path(game.path());
    }
    void TearDown() override
    {
        fs::current_path(home_);
        backlogClear();
        NewGameTest::TearDown();
    }
    GameDir game;
    fs::path home_;
};

}  // namespace

TEST_F(PageFiles, WhatIsWrittenComesBackWhole)
{
    PageSave save = sample();
    std::string bytes = encodePageSave(save);
    PageSave read;
    ASSERT_TRUE(decodePageSave(bytes, &read));
    EXPECT_EQ(read.sequence, 41u);
    EXPECT_EQ(read.date.year, 2026);
    EXPECT_EQ(read.date.second, 26);
    EXPECT_EQ(read.kind, PointKind::Choice);
    EXPECT_EQ(read.page, 1234);
    EXPECT_STREQ(read.chapter, save.chapter);
    EXPECT_STREQ(read.firstLine, save.firstLine);
    EXPECT_EQ(read.picture, save.picture);
    EXPECT_EQ(read.scene.start.state, save.scene.start.state);
    EXPECT_EQ(read.scene.start.background, "./bg/cliff.jpg");
    EXPECT_EQ(read.scene.start.loop, "./se/wind.wav");
    EXPECT_EQ(read.scene.start.pagesBefore, 1200);
    EXPECT_EQ(read.scene.start.textCheck, 0xDEADBEEFu);
    ASSERT_EQ(read.scene.points.size(), 3u);
    EXPECT_EQ(read.scene.points[2].kind, PointKind::Choice);
    EXPECT_EQ(read.scene.points[2].value[1], 1);
    EXPECT_EQ(read.at.check, 99u);

    // The head alone, as the list reads it; the checksum still covers the whole file.
    PageSave head;
    ASSERT_TRUE(decodePageSave(bytes, &head, false));
    EXPECT_STREQ(head.firstLine, save.firstLine);
    EXPECT_TRUE(head.scene.points.empty());

    ASSERT_TRUE(writePageSave(placePath(7), save));
    EXPECT_EQ(game.read("save/page07"), bytes);
    EXPECT_FALSE(game.exists("save/page07.writing"));
    EXPECT_EQ(readPageSave(placePath(7), &read), PageFile::Sound);
    EXPECT_EQ(readPageSave(placePath(8), &read), PageFile::Missing);
}

TEST_F(PageFiles, AnyCutOrChangedOrForeignFileIsDamagedAndNeverRead)
{
    std::string bytes = encodePageSave(sample());
    PageSave read;
    for (size_t length = 0; length < bytes.size(); length += 97)
        EXPECT_FALSE(decodePageSave(bytes.substr(0, length), &read)) << length;
    EXPECT_FALSE(decodePageSave(bytes.substr(0, bytes.size() - 1), &read));
    for (size_t at = 0; at < bytes.size(); at += 331) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ 0x10);
        EXPECT_FALSE(decodePageSave(changed, &read)) << at;
    }
    // Sealed again, so that only what the fields say refuses them: another version, bytes
    // after the last field, a kind of moment that is none.
    std::string version = bytes;
    version[4] = 2;
    EXPECT_FALSE(decodePageSave(resealed(version), &read));
    std::string longer = bytes.substr(0, bytes.size() - 4) + "xxxx" + "????";
    longer[8] = static_cast<char>(longer.size());
    longer[9] = static_cast<char>(longer.size() >> 8);
    longer[10] = static_cast<char>(longer.size() >> 16);
    EXPECT_FALSE(decodePageSave(resealed(longer), &read));
    std::string kind = bytes;
    kind[40] = 9;
    EXPECT_FALSE(decodePageSave(resealed(kind), &read));

    // A folder or a FIFO where a page save goes is damaged, never opened for reading.
    fs::create_directories(game.file("save/page01"));
    EXPECT_EQ(readPageSave(placePath(1), &read), PageFile::Damaged);
    ASSERT_EQ(mkfifo(game.file("save/page02").c_str(), 0600), 0);
    EXPECT_EQ(readPageSave(placePath(2), &read), PageFile::Damaged);
}

TEST_F(PageFiles, TheBacklogAndTheStateComeBackWithEveryValue)
{
    static Page page;
    std::memset(&page, 0, sizeof page);
    std::snprintf(page.text[0][1], kSegmentSize, "潮の匂い");
    std::snprintf(page.text[2][3], kSegmentSize, "赤い字");
    std::snprintf(page.text[2][0], kSegmentSize, "・・");
    page.x[2][3] = 301;
    page.y[2][3] = 492;
    page.emphasisX[2] = 77;
    page.style.color[2][3] = {255, 0, 0, 0};
    page.style.font[2][3] = Face::Big;
    backlogAdd(page, 0);
    backlogAdd(page, 1);
    backlogPass();
    std::string kept = encodeBacklog();
    backlogClear();
    ASSERT_TRUE(restoreBacklog(kept));
    ASSERT_EQ(backlogCount(), 2);
    EXPECT_EQ(backlogSerialOf(1), 2);
    EXPECT_EQ(backlogSerialOf(2), 1);
    static Page back;
    EXPECT_EQ(backlogGet(1, &back), 1);
    EXPECT_STREQ(back.text[2][3], "赤い字");
    EXPECT_STREQ(back.text[2][0], "・・");
    EXPECT_EQ(back.x[2][3], 301);
    EXPECT_EQ(back.emphasisX[2], 77);
    EXPECT_EQ(back.style.color[2][3].r, 255);
    EXPECT_EQ(back.style.color[2][3].g, 0);
    EXPECT_EQ(back.style.font[2][3], Face::Big);
    EXPECT_FALSE(restoreBacklog(kept.substr(0, kept.size() - 2)));
    EXPECT_EQ(backlogCount(), 2);   // left as it was

    // The state image: counts past one bit, values past a byte and below 0, long names.
    item[69] = 300;
    flag[2799] = 7;
    parameter[0] = -5000;
    timecheck[279] = 1000000;
    findcheck[55] = 1;
    scriptread[27999] = 1;
    HP = 999;
    Gutsmax = -3;
    scripttime = 4000;
    std::snprintf(nextpoint, sizeof nextpoint, "%s", std::string(63, 'N').c_str());
    std::string image = stateImage();
    char name[kNameSize];
    ASSERT_TRUE(stateImageScene(image, name));
    EXPECT_EQ(std::string(name), std::string(63, 'N'));
    resetNewGame();
    ASSERT_TRUE(stateFromImage(image));
    EXPECT_EQ(item[69], 300);
    EXPECT_EQ(flag[2799], 7);
    EXPECT_EQ(parameter[0], -5000);
    EXPECT_EQ(timecheck[279], 1000000);
    EXPECT_EQ(findcheck[55], 1);
    EXPECT_EQ(scriptread[27999], 1);
    EXPECT_EQ(HP, 999);
    EXPECT_EQ(Gutsmax, -3);
    EXPECT_EQ(scripttime, 4000);
    resetNewGame();
    EXPECT_FALSE(stateFromImage(image.substr(0, image.size() - 1)));
    EXPECT_EQ(item[69], 0);   // nothing changed by a cut image
    EXPECT_EQ(HP, 123);
}

TEST_F(PageFiles, TheNewestSaveIsTheOneOfTheLargestNumber)
{
    std::string damaged;
    EXPECT_EQ(newestPageSave(&damaged), "");
    EXPECT_EQ(nextPageSequence(), 1u);
    PageSave save = sample();
    for (uint32_t sequence : {5u, 9u, 7u}) {
        save.sequence = sequence;
        ASSERT_TRUE(writePageSave(placePath(static_cast<int>(sequence)), save));
    }
    EXPECT_EQ(newestPageSave(&damaged), placePath(9));
    EXPECT_EQ(damaged, "");
    EXPECT_EQ(nextPageSequence(), 10u);
    // A damaged file written after it is told; one written before is not.
    std::string bytes = game.read("save/page09");
    game.write("save/quick", bytes.substr(0, 500));
    auto written = fs::last_write_time(game.file("save/page09"));
    fs::last_write_time(game.file("save/quick"), written + std::chrono::seconds(1));
    EXPECT_EQ(newestPageSave(&damaged), placePath(9));
    EXPECT_EQ(damaged, quickPath());
    fs::last_write_time(game.file("save/quick"), written - std::chrono::seconds(1));
    newestPageSave(&damaged);
    EXPECT_EQ(damaged, "");
    // The automatic places fill up, then the oldest is taken.
    for (int n = 1; n <= kAutoSaves; ++n) {
        EXPECT_EQ(nextAutoPath(), autoPath(n));
        save.sequence = 20u - static_cast<uint32_t>(n);
        ASSERT_TRUE(writePageSave(nextAutoPath(), save));
    }
    EXPECT_EQ(nextAutoPath(), autoPath(kAutoSaves));
    // Left-over temporaries go at start-up.
    game.write("save/page03.writing", "half");
    removeUnfinishedPageSaves();
    EXPECT_FALSE(game.exists("save/page03.writing"));
}
