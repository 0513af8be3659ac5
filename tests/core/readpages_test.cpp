// The pages a player has seen, kept in ./save/read across runs: what is noted is known again
// after the file is read anew; lines that are no keys, and things that are no file, never
// stop the game.
#include "core/readpages.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "support/gamedir.h"

namespace {

class ReadPages : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getcwd(before, sizeof before), nullptr);
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        readPagesForget();
    }
    void TearDown() override
    {
        readPagesForget();
        EXPECT_EQ(chdir(before), 0);
    }

    GameDir dir;
    char before[4096];
};

}  // namespace

TEST_F(ReadPages, APageSeenIsKnownInTheNextRunByItsSceneAndText)
{
    std::uint64_t page = pageKey("A001", "潮の匂いで目が覚めた。");
    EXPECT_NE(page, pageKey("A002", "潮の匂いで目が覚めた。"));
    EXPECT_NE(page, pageKey("A001", "潮の匂いで目が覚めた"));
    EXPECT_NE(pageKey("A0", "01x"), pageKey("A001", "x"));
    EXPECT_FALSE(pageSeen(page));
    pageSeenNow(page);
    pageSeenNow(page);   // noted once
    EXPECT_TRUE(pageSeen(page));
    readPagesForget();
    EXPECT_TRUE(pageSeen(page));
    std::string file = dir.read("save/read");
    EXPECT_EQ(file.rfind("# Tessarc read pages\n", 0), 0u);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 2);
}

TEST_F(ReadPages, LinesThatAreNoKeysArePassedOver)
{
    std::uint64_t page = pageKey("start", "p1");
    char line[32];
    std::snprintf(line, sizeof line, "%016llx", static_cast<unsigned long long>(page));
    dir.write("save/read", std::string("junk\n") + std::string(5000, 'f') + "\n" + "0123\n" +
                               "ABCDEF0123456789\n" + line + "\r\n" + "\x01\xff\n");
    EXPECT_TRUE(pageSeen(page));
    EXPECT_FALSE(pageSeen(0xffffffffffffffffull));   // the long line was no key
    EXPECT_FALSE(pageSeen(0xABCDEF0123456789ull));   // keys are written in small letters
}

TEST_F(ReadPages, AFifoWhereTheFileGoesIsNeitherReadNorWrittenAndTheRunGoesOn)
{
    ASSERT_EQ(mkdir("save", 0777), 0);
    ASSERT_EQ(mkfifo("save/read", 0666), 0);
    std::uint64_t page = pageKey("start", "p1");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(pageSeen(page));
    pageSeenNow(page);
    pageSeenNow(pageKey("start", "p2"));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(pageSeen(page));   // known for this run
    // Told once, not at every page.
    EXPECT_EQ(err.find("./save/read"), err.rfind("./save/read")) << err;
    EXPECT_NE(err.find("./save/read"), std::string::npos);
}
