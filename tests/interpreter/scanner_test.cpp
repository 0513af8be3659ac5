// The scanner's contract: what each routine copies, where it stops, and that a NULL result
// leaves the destination as it was.
#include "interpreter/scanner.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

// The offset of a result position in its text, or -1 for NULL.
long at(const char* text, const char* pos) { return pos ? pos - text : -1; }

}  // namespace

TEST(Scanner, ANullResultLeavesTheDestinationUntouched)
{
    char word[16] = "previous";
    EXPECT_EQ(GetWord(word, " \t\r\n  \n"), nullptr);
    EXPECT_EQ(GetLine(word, "\n\n"), nullptr);
    EXPECT_EQ(GetText(word, ""), nullptr);
    EXPECT_EQ(GetNumber(word, ""), nullptr);
    EXPECT_EQ(conditionSkip(word, nullptr), nullptr);
    EXPECT_EQ(GetWord(word, nullptr), nullptr);
    EXPECT_STREQ(word, "previous");
}

TEST(Scanner, WordsStopAtWhiteSpaceWithoutConsumingIt)
{
    const char text[] = "bg  room1\r\n";
    char word[16];
    const char* pos = GetWord(word, text);
    EXPECT_STREQ(word, "bg");
    EXPECT_EQ(at(text, pos), 2);
    pos = GetWord(word, pos);
    EXPECT_STREQ(word, "room1");
    EXPECT_EQ(at(text, pos), 9);   // the carriage return
    EXPECT_EQ(GetWord(word, pos), nullptr);

    // An ideographic space is text, not white space.
    const char joined[] = "古い　地図 x";
    GetWord(word, joined);
    EXPECT_STREQ(word, "古い　地図");
}

TEST(Scanner, LinesKeepTrailingBlanksAndEndBeforeTheLineFeed)
{
    const char text[] = "\n\n  abc \r\ndef";
    char line[16];
    const char* pos = GetLine(line, text);
    EXPECT_STREQ(line, "abc \r");
    EXPECT_EQ(at(text, pos), 9);
    pos = GetLine(line, pos);
    EXPECT_STREQ(line, "def");
    EXPECT_EQ(at(text, pos), 13);   // the terminating NUL: not NULL yet
    EXPECT_EQ(GetLine(line, pos), nullptr);
    EXPECT_STREQ(line, "def");
}

TEST(Scanner, TextRunsOverLinesToTheClosingBracket)
{
    const char text[] = "[first\nsecond]rest";
    char message[32];
    const char* pos = GetText(message, text);
    EXPECT_STREQ(message, "[first\nsecond");
    EXPECT_EQ(*pos, ']');
}

TEST(Scanner, NumbersSplitKeywordFromOperator)
{
    char word[16];
    const char item[] = "item12";
    EXPECT_EQ(at(item, GetNumber(word, item)), 4);
    EXPECT_STREQ(word, "item");
    const char hp[] = "hp >= 30";
    const char* pos = GetNumber(word, hp);
    EXPECT_STREQ(word, "hp ");
    EXPECT_EQ(*pos, '>');
    const char digit[] = "7up";
    EXPECT_EQ(at(digit, GetNumber(word, digit)), 0);
    EXPECT_STREQ(word, "");
    const char none[] = "abc";
    EXPECT_EQ(at(none, GetNumber(word, none)), 3);
    EXPECT_STREQ(word, "abc");
}

TEST(Scanner, TermsAndEntryTextsStopAtTheirDelimiters)
{
    char term[16];
    const char text[] = "flag3 & item2";
    const char* pos = conditionSkip(term, text);
    EXPECT_STREQ(term, "flag3 ");
    EXPECT_EQ(*pos, '&');
    EXPECT_EQ(conditionSkip(term, pos), pos);
    EXPECT_STREQ(term, "");

    const char entry[] = "森へ行く{";
    pos = IfSkip(term, entry);
    EXPECT_STREQ(term, "森へ行く");
    EXPECT_EQ(*pos, '{');
}

TEST(Scanner, LongPiecesAreCutToTheCapacityNotOverrun)
{
    char small[5];
    std::memset(small, '#', sizeof small);
    const char text[] = "abcdefgh ijk";
    const char* pos = GetWord(small, text);
    EXPECT_STREQ(small, "abcd");
    EXPECT_EQ(at(text, pos), 8);   // the position is still where the word ends
    char guarded[8] = "0123456";
    GetLine(guarded, 3, "xyz\n");
    EXPECT_EQ(std::string(guarded, 8), std::string("xy\0" "3456\0", 8));
}

TEST(Scanner, BackwardWalksStopAtTheStartOfTheText)
{
    const char text[] = "while flag1 {\nbody\n}";
    const char* brace = std::strchr(text, '}');
    EXPECT_EQ(at(text, GetLine_Back(brace, text)), 18);   // the LF in front of "}"
    const char* open = std::strchr(text, '{');
    EXPECT_EQ(GetLine_Back(open, text), text);            // first line: the start of the text
    EXPECT_EQ(at(text, GetWord_Back(open, text)), 11);    // the blank in front of "{"
    EXPECT_EQ(GetLine_Back(text + 20, text), nullptr);    // standing on the NUL
    const char blanks[] = "  \n x";
    EXPECT_EQ(SkipSpace_Back(blanks + 3, blanks), blanks);
    EXPECT_EQ(at(blanks, SkipSpace(blanks)), 4);
}

TEST(Scanner, NumbersReadLikeAtoiWithoutOverflow)
{
    EXPECT_EQ(readNumber("  -42abc"), -42);
    EXPECT_EQ(readNumber("+7"), 7);
    EXPECT_EQ(readNumber("x1"), 0);
    EXPECT_EQ(readNumber(nullptr), 0);
    EXPECT_EQ(readNumber("99999999999999"), 2147483647);
    EXPECT_EQ(readNumber("-99999999999999"), -2147483647 - 1);
}
