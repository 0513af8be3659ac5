// The item list and the text files under it.
#include "app/init.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "core/state.h"
#include "core/textfile.h"
#include "support/gamedir.h"

namespace {

void clearNames() { std::memset(iname, 0, sizeof iname); }

}  // namespace

TEST(ItemList, BlankLinesAndLeadingBlanksDoNotCount)
{
    clearNames();
    readItemNames("\n\n  薬草\n\t\n鍵 \n   \n古い地図");
    EXPECT_STREQ(iname[0], "薬草");
    EXPECT_STREQ(iname[1], "鍵 ");   // trailing blanks stay part of the name
    EXPECT_STREQ(iname[2], "古い地図");
    EXPECT_STREQ(iname[3], "");
}

TEST(ItemList, OnlySeventyNamesAreRead)
{
    clearNames();
    std::string list;
    for (int i = 0; i < 75; ++i) list += "item" + std::to_string(i) + "\n";
    readItemNames(list.c_str());
    EXPECT_STREQ(iname[0], "item0");
    EXPECT_STREQ(iname[69], "item69");
}

TEST(ItemList, LongNamesAreCutAtACharacterBoundary)
{
    clearNames();
    std::string ascii(80, 'n');
    std::string japanese;
    for (int i = 0; i < 30; ++i) japanese += "剣";   // 90 bytes
    readItemNames((ascii + "\n" + japanese + "\nnext\n").c_str());
    EXPECT_EQ(std::string(iname[0]), std::string(63, 'n'));
    // 63 bytes hold exactly 21 three-byte characters.
    EXPECT_EQ(std::strlen(iname[1]), 63u);
    EXPECT_STREQ(iname[2], "next");
    // A character that would be split by the cut is left out whole.
    readItemNames((std::string(61, 'n') + "剣\n").c_str());
    EXPECT_EQ(std::string(iname[0]), std::string(61, 'n'));
}

TEST(TextFile, ReadsCrLfAsLfAndCutsAtTheCapacity)
{
    GameDir dir;
    dir.write("a.txt", "one\r\ntwo\rthree\r\n\r");
    char buffer[64];
    TextFile file = readTextFile(dir.file("a.txt").c_str(), buffer, sizeof buffer);
    EXPECT_TRUE(file.opened);
    EXPECT_FALSE(file.cut);
    EXPECT_STREQ(buffer, "one\ntwo\rthree\n\r");
    EXPECT_EQ(file.length, 15u);

    dir.write("b.txt", std::string(10, 'z'));
    char small[10];
    file = readTextFile(dir.file("b.txt").c_str(), small, sizeof small);
    EXPECT_TRUE(file.cut);
    EXPECT_EQ(std::string(small), std::string(9, 'z'));
    dir.write("c.txt", std::string(9, 'z'));
    EXPECT_FALSE(readTextFile(dir.file("c.txt").c_str(), small, sizeof small).cut);

    file = readTextFile(dir.file("none.txt").c_str(), small, sizeof small);
    EXPECT_FALSE(file.opened);
}
