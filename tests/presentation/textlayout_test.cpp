// Laying messages out into pages: rows, wraps, markup, page ends, overflow and its errors.
#include "presentation/textlayout.h"

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/state.h"
#include "support/layouttext.h"

namespace {

Uint32 rgb(const SDL_Color& c) { return (Uint32(c.r) << 16) | (Uint32(c.g) << 8) | c.b; }

class TextLayout : public testing::Test {
protected:
    // Lays out the page of "[" + body that starts at pos. The message lives in a buffer of
    // exactly its size, so a read past its NUL is caught under AddressSanitizer.
    PageLayout lay(const std::string& body, int pos = 1, int mode = 0)
    {
        size = body.size() + 1;
        message.reset(new char[size + 1]);
        message[0] = '[';
        std::memcpy(message.get() + 1, body.c_str(), body.size() + 1);
        return again(pos, mode);
    }

    // Lays out another page of the same message.
    PageLayout again(int pos, int mode = 0)
    {
        std::memset(page.get(), 0x5a, sizeof(Page));   // nothing may survive from before
        PageLayout result = layoutPage(message.get(), pos, mode, page.get());
        for (int r = 0; r < kRows; ++r)
            for (int sl = 0; sl < kSlots; ++sl)
                EXPECT_LT(strnlen(page->text[r][sl], kSegmentSize), size_t(kSegmentSize));
        return result;
    }

    // Every page of the message, as the rows' texts, the way the display goes through it.
    std::vector<std::vector<std::string>> pages(const std::string& body)
    {
        std::vector<std::vector<std::string>> all;
        PageLayout result = lay(body);
        for (;;) {
            EXPECT_EQ(result.error, nullptr);
            if (result.error || (result.ended && result.empty)) break;
            std::vector<std::string> rows;
            for (int r = 0; r < kRows; ++r) rows.push_back(row(r));
            all.push_back(rows);
            if (result.ended || !message[result.next]) break;
            result = again(result.next);
        }
        return all;
    }

    std::string slot(int r, int sl) const { return page->text[r][sl]; }

    // The segments of a row, slot 0 (the emphasis dots) left out.
    std::string row(int r) const
    {
        std::string all;
        for (int sl = 1; sl < kSlots; ++sl) all += page->text[r][sl];
        return all;
    }

    Uint32 colour(int r, int sl) const { return rgb(page->style.color[r][sl]); }
    Face font(int r, int sl) const { return page->style.font[r][sl]; }

    std::unique_ptr<char[]> message;
    size_t size = 0;
    std::unique_ptr<Page> page = std::make_unique<Page>();
};

const Uint32 kWhite = 0xffffff, kRed = 0xff0000, kGreen = 0x00ff00, kBlue = 0x0000ff,
             kBlack = 0x000000;

}  // namespace

TEST_F(TextLayout, RowsStartAtTheLeftOfTheWindowInEitherMode)
{
    lay("abc");
    for (int r = 0; r < kRows; ++r) {
        EXPECT_EQ(page->x[r][1], 35);
        EXPECT_EQ(page->y[r][1], 402 + 45 * r);
        EXPECT_EQ(page->emphasisX[r], 40);
        EXPECT_EQ(colour(r, 1), kWhite);
        EXPECT_EQ(font(r, 1), Face::Std);
    }
    lay("abc", 1, 1);
    for (int r = 0; r < kRows; ++r) {
        EXPECT_EQ(page->x[r][1], 300);
        EXPECT_EQ(page->y[r][1], 150 + 70 * r);
    }
    EXPECT_EQ(row(0), "abc");
}

TEST_F(TextLayout, ARowHoldsTwentyEightFullWidthCharacters)
{
    PageLayout result = lay(rep("あ", 30));
    EXPECT_EQ(row(0), rep("あ", 28));
    EXPECT_EQ(row(1), rep("あ", 2));
    EXPECT_EQ(row(2), "");
    EXPECT_TRUE(result.ended);
    EXPECT_FALSE(result.empty);
    EXPECT_EQ(result.error, nullptr);

    // Control bytes other than TAB and newline count as thirds of a full-width character.
    lay(rep("\x01\x02\x03", 29));
    EXPECT_EQ(row(0), rep("\x01\x02\x03", 28));
    EXPECT_EQ(row(1), "\x01\x02\x03");
}

TEST_F(TextLayout, ARowHoldsFiftySixHalfWidthCharacters)
{
    lay(rep("a", 57));
    EXPECT_EQ(row(0), rep("a", 56));
    EXPECT_EQ(row(1), "a");

    // A full-width character needs two units: it fits after 54, not after 55.
    lay(rep("a", 54) + "あb");
    EXPECT_EQ(row(0), rep("a", 54) + "あ");
    EXPECT_EQ(row(1), "b");
    lay(rep("a", 55) + "あ");
    EXPECT_EQ(row(0), rep("a", 55));
    EXPECT_EQ(row(1), "あ");

    // A newline right after a nearly full row breaks it once, not twice.
    lay(rep("あ", 27) + "a\nい");
    EXPECT_EQ(row(0), rep("あ", 27) + "a");
    EXPECT_EQ(row(1), "い");

    // TABs are dropped and take no room.
    lay("\t" + rep("a", 28) + "\t" + rep("a", 28) + "\tb");
    EXPECT_EQ(row(0), rep("a", 56));
    EXPECT_EQ(row(1), "b");
}

TEST_F(TextLayout, CommaAndFullStopNeverBeginARow)
{
    for (std::string mark : {"、", "。"}) {
        // The mark goes onto the full row, and takes no room from the next.
        lay(rep("あ", 28) + mark + rep("い", 28) + "う");
        EXPECT_EQ(row(0), rep("あ", 28) + mark) << mark;
        EXPECT_EQ(row(1), rep("い", 28)) << mark;
        EXPECT_EQ(row(2), "う") << mark;
    }
    // It gets no emphasis dot.
    lay("<b>" + rep("あ", 28) + "。い");
    EXPECT_EQ(slot(0, 0), rep("・", 28));
    EXPECT_EQ(slot(1, 0), "・");

    // On the last row it keeps the page from overflowing into the next.
    PageLayout result = lay(rep("あ", 112) + "。");
    EXPECT_EQ(result.error, nullptr);
    EXPECT_TRUE(result.ended);
    EXPECT_EQ(row(3), rep("あ", 28) + "。");
}

TEST_F(TextLayout, SegmentTagsOpenTheNextSlotAtTheCountedWidth)
{
    lay("<c red>abc");
    EXPECT_EQ(slot(0, 1), "");
    EXPECT_EQ(slot(0, 2), "abc");
    EXPECT_EQ(page->x[0][2], 40);
    EXPECT_EQ(page->y[0][2], 402);
    EXPECT_EQ(colour(0, 2), kRed);

    lay("ab<c green>cdあ<c blue>e");
    EXPECT_EQ(slot(0, 1), "ab");
    EXPECT_EQ(slot(0, 2), "cdあ");
    EXPECT_EQ(page->x[0][2], 2 * 13 + 40);
    EXPECT_EQ(colour(0, 2), kGreen);
    EXPECT_EQ(slot(0, 3), "e");
    EXPECT_EQ(page->x[0][3], 6 * 13 + 40);
    EXPECT_EQ(colour(0, 3), kBlue);

    // The width times 13 is cut to whole pixels: 1.5 units are 19 px.
    lay("<s>a<c white>b");
    EXPECT_EQ(page->x[0][3], 19 + 40);

    // A closing tag opens a slot in white standard type; unknown tags do nothing at all.
    lay("<c red>a</c>b<x>c<  /  c  >d");
    EXPECT_EQ(slot(0, 3), "bc");
    EXPECT_EQ(colour(0, 3), kWhite);
    EXPECT_EQ(page->x[0][3], 13 + 40);
    EXPECT_EQ(slot(0, 4), "d");
    EXPECT_EQ(page->x[0][4], 3 * 13 + 40);
}

TEST_F(TextLayout, TheColourIsChosenByTheWordsLetters)
{
    struct Case {
        const char* tag;
        Uint32 expected;
    } cases[] = {{"<c red>", kRed},     {"<c green>", kGreen},   {"<c white>", kWhite},
                 {"<c blue>", kBlue},   {"<c black>", kBlack},   {"<c brown>", kBlack},
                 {"<c b>", kBlack},     {"<c yellow>", kWhite},  {"<\n c \t  rot>", kRed},
                 {"<c>", kWhite}};
    for (const Case& test : cases) {
        lay(std::string("x") + test.tag + "y");
        EXPECT_EQ(slot(0, 2), "y") << test.tag;
        EXPECT_EQ(colour(0, 2), test.expected) << test.tag;
        EXPECT_EQ(font(0, 2), Face::Std) << test.tag;
    }
}

TEST_F(TextLayout, BigTypeAndTheSecondTypefaceWithTheirWidths)
{
    // 18 big characters are 54 units, so a 19th still fits.
    lay("<s>" + rep("あ", 20));
    EXPECT_EQ(slot(0, 2), rep("あ", 19));
    EXPECT_EQ(font(0, 2), Face::Big);
    EXPECT_EQ(page->y[0][2], 402);
    EXPECT_EQ(slot(1, 1), "あ");
    EXPECT_EQ(font(1, 1), Face::Big);

    // Colour after big type is standard type, still counted at 1.5.
    lay("<s><c red>" + rep("あ", 21));
    EXPECT_EQ(slot(0, 3), rep("あ", 19));
    EXPECT_EQ(colour(0, 3), kRed);
    EXPECT_EQ(font(0, 3), Face::Std);
    EXPECT_EQ(slot(1, 1), rep("あ", 2));
    EXPECT_EQ(colour(1, 1), kRed);

    // Any word starting with s is big type.
    lay("<small>a");
    EXPECT_EQ(font(0, 2), Face::Big);

    lay("<f>ab</f>cd<c red>e");
    EXPECT_EQ(slot(0, 2), "ab");
    EXPECT_EQ(font(0, 2), Face::Change);
    EXPECT_EQ(slot(0, 3), "cd");
    EXPECT_EQ(font(0, 3), Face::Std);
    EXPECT_EQ(page->x[0][4], 4 * 13 + 40);

    // <f> keeps the scale; </s> and </f> both return it to 1.
    lay("<s>ab<f>c<c red>d");
    EXPECT_EQ(page->x[0][4], 58 + 40);
    lay("<s>ab</s>c<c red>d");
    EXPECT_EQ(font(0, 3), Face::Std);
    EXPECT_EQ(page->x[0][4], 4 * 13 + 40);
    lay("<s>ab</f>c<c red>d");
    EXPECT_EQ(page->x[0][4], 4 * 13 + 40);
}

TEST_F(TextLayout, AWrappedRowCarriesTheStyleALineBreakDoesNot)
{
    lay("<c red>" + rep("あ", 30));
    EXPECT_EQ(slot(1, 1), rep("あ", 2));
    EXPECT_EQ(colour(1, 1), kRed);
    lay("ab<f>" + rep("あ", 30));
    EXPECT_EQ(font(1, 1), Face::Change);

    lay("<c red>abc\ndef");
    EXPECT_EQ(slot(1, 1), "def");
    EXPECT_EQ(colour(1, 1), kWhite);

    // Big type ends with the row, its scale does not.
    lay("<s>ab\ncd<c red>e");
    EXPECT_EQ(font(1, 1), Face::Std);
    EXPECT_EQ(page->x[1][2], 39 + 40);
}

TEST_F(TextLayout, EmphasisPutsADotOverEachFullWidthCharacter)
{
    lay("ああ<b>いいab</b>うう");
    EXPECT_EQ(slot(0, 0), "・・");
    EXPECT_EQ(page->emphasisX[0], 4 * 13 + 38);
    EXPECT_EQ(row(0), "ああいいabうう");

    // Running emphasis goes on from x 40 on the rows that follow.
    lay("<b>" + rep("あ", 30) + "\nい");
    EXPECT_EQ(slot(0, 0), rep("・", 28));
    EXPECT_EQ(page->emphasisX[0], 38);
    EXPECT_EQ(slot(1, 0), "・・");
    EXPECT_EQ(page->emphasisX[1], 40);
    EXPECT_EQ(slot(2, 0), "・");

    // Nothing carries from one page to the next.
    PageLayout result = lay("<b><c red><s>あ<p>い<c blue>う");
    result = again(result.next);
    EXPECT_EQ(slot(0, 0), "");
    EXPECT_EQ(slot(0, 1), "い");
    EXPECT_EQ(colour(0, 1), kWhite);
    EXPECT_EQ(font(0, 1), Face::Std);
    EXPECT_EQ(page->x[0][2], 2 * 13 + 40);
}

TEST_F(TextLayout, PageTagsEndPagesWithoutAnEmptyOneAtTheEnd)
{
    PageLayout result = lay("abc<p>def");
    EXPECT_EQ(row(0), "abc");
    EXPECT_FALSE(result.ended);
    EXPECT_EQ(result.next, 7);
    result = again(result.next);
    EXPECT_EQ(row(0), "def");
    EXPECT_TRUE(result.ended);

    // One newline right after the tag goes with it; a second is dropped as a page's first.
    EXPECT_EQ(lay("abc<p>\ndef").next, 8);
    result = lay("abc<p>\n\ndef");
    EXPECT_EQ(result.next, 8);
    again(result.next);
    EXPECT_EQ(row(0), "def");

    // A message that ends in <p> and newlines has nothing left for another page.
    result = lay("abc<p>\n\n");
    result = again(result.next);
    EXPECT_TRUE(result.ended);
    EXPECT_TRUE(result.empty);
    EXPECT_TRUE(lay("\n\n").empty);

    // <p> on an empty page makes an empty page of its own.
    result = lay("<p>abc");
    EXPECT_TRUE(result.empty);
    EXPECT_FALSE(result.ended);
    EXPECT_EQ(result.next, 4);
}

TEST_F(TextLayout, NewlinesAndLineTagsBreakRows)
{
    lay("\nabc");
    EXPECT_EQ(row(0), "abc");

    PageLayout result = lay("<n>abc");
    EXPECT_EQ(row(0), "");
    EXPECT_EQ(row(1), "abc");
    EXPECT_FALSE(result.empty);

    lay("<n>\nabc");
    EXPECT_EQ(row(2), "abc");
    lay("a<n>\nb");
    EXPECT_EQ(row(1), "");
    EXPECT_EQ(row(2), "b");
    lay("a\n\nb");
    EXPECT_EQ(row(2), "b");

    // A break on the last row ends the page.
    result = lay("a\nb\nc\nd\ne");
    EXPECT_EQ(row(3), "d");
    EXPECT_FALSE(result.ended);
    EXPECT_EQ(result.next, 9);
    result = lay("a<n>b<n>c<n>d<n>  e");
    EXPECT_EQ(result.next, 17);
}

TEST_F(TextLayout, AParagraphThatOverflowsMovesWholeToTheNextPage)
{
    // Rows 2 and 3 are left empty; the next page begins with the whole paragraph.
    std::string first = rep("あ", 40) + "\n";
    PageLayout result = lay(first + rep("い", 60));
    EXPECT_EQ(row(0), rep("あ", 28));
    EXPECT_EQ(row(1), rep("あ", 12));
    EXPECT_EQ(row(2), "");
    EXPECT_EQ(row(3), "");
    EXPECT_EQ(result.error, nullptr);
    EXPECT_FALSE(result.ended);
    EXPECT_EQ(result.next, 1 + int(first.size()));
    result = again(result.next);
    EXPECT_EQ(row(0), rep("い", 28));
    EXPECT_EQ(row(2), rep("い", 4));
    EXPECT_TRUE(result.ended);

    // Three rows after a short line, with their emphasis dots; a paragraph after <n>.
    result = lay("ab\n<b>" + rep("あ", 100));
    EXPECT_EQ(row(0), "ab");
    for (int r = 1; r < kRows; ++r) {
        EXPECT_EQ(row(r), "") << r;
        EXPECT_EQ(slot(r, 0), "") << r;
    }
    EXPECT_EQ(result.next, 4);
    EXPECT_EQ(lay("ab<n>" + rep("あ", 100)).next, 6);

    // One row.
    result = lay("a\nb\nc\n" + rep("あ", 30));
    EXPECT_EQ(row(2), "c");
    EXPECT_EQ(row(3), "");
    EXPECT_EQ(result.next, 7);
}

TEST_F(TextLayout, AFullLastRowStaysWhenItsParagraphEndsThere)
{
    std::string lines = "a\nb\nc\n" + rep("あ", 28);
    PageLayout result = lay(lines + "\n \n\td");
    EXPECT_EQ(row(3), rep("あ", 28));
    EXPECT_EQ(result.next, 1 + int(lines.size()) + 4);
    EXPECT_EQ(message[result.next], 'd');

    result = lay(rep("あ", 112));
    EXPECT_EQ(result.error, nullptr);
    EXPECT_TRUE(result.ended);
    EXPECT_EQ(row(3), rep("あ", 28));
}

TEST_F(TextLayout, WhatFollowsAFullPageBeginsTheNextOne)
{
    const std::string full = rep("あ", 112);
    // A page or line break there is the page's own end: no empty page, no error.
    for (std::string end : {"<p>", "<p>\n", "<n>", "< n >\n\n"}) {
        auto all = pages(full + end);
        ASSERT_EQ(all.size(), 1u) << end;
        EXPECT_EQ(all[0][3], rep("あ", 28)) << end;
        all = pages(full + end + "い");
        ASSERT_EQ(all.size(), 2u) << end;
        EXPECT_EQ(all[1][0], "い") << end;
    }
    // Any other tag begins the next page and acts there.
    for (std::string end : {"</b>", "<c red>", "</s>", "<b>", "<x>"}) {
        auto all = pages(full + end + "いう");
        ASSERT_EQ(all.size(), 2u) << end;
        EXPECT_EQ(all[0][3], rep("あ", 28)) << end;
        EXPECT_EQ(all[1][0], "いう") << end;
    }
    lay(full + "<c red>abc");
    PageLayout result = lay(full + "<c red>abc");
    result = again(result.next);
    EXPECT_EQ(slot(0, 2), "abc");
    EXPECT_EQ(colour(0, 2), kRed);
    // A ">" written as text is shown on the next page, not dropped.
    auto all = pages(full + ">abc");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1][0], ">abc");
    // A half-width run that begins on row 2 in big type and fills row 3: only its part on row 3
    // goes to the next page, and nothing of it is shown twice.
    all = pages("a\nb\n<s>" + rep("あ", 17) + ">xx" + rep("y", 37) + "tail");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0][2], rep("あ", 17) + ">xx");
    EXPECT_EQ(all[0][3], "");
    EXPECT_EQ(all[1][0], rep("y", 37) + "tail");
}

TEST_F(TextLayout, NothingIsShownTwiceAndNoTagIsShown)
{
    // Every character of a message is shown once, in order, whatever its mix; only blanks and
    // line breaks may be dropped where a page ends.
    auto visible = [](const std::string& text) {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '<') {
                i = text.find('>', i);
                if (i == std::string::npos) break;
            } else if (text[i] != '\n' && text[i] != '\t' && text[i] != ' ') {
                out += text[i];
            }
        }
        return out;
    };
    const char* pieces[] = {"<s>", ">", "あ", "a", " ", "\n", "<p>", "<n>", "<c red>", "<b>",
                            "</b>", "、", "。", "</s>", "<f>", "</c>", "word ", "ab<c blue>cd"};
    std::mt19937 random(20261208);
    for (int trial = 0; trial < 3000; ++trial) {
        std::string body;
        int length = std::uniform_int_distribution<int>(0, 400)(random);
        int fullWidth = std::uniform_int_distribution<int>(20, 40)(random);
        while (int(body.size()) < length) {
            int pick = std::uniform_int_distribution<int>(0, 50)(random);
            body += pick < 18 ? pieces[pick] : pick < fullWidth ? "あ" : "b";
        }
        std::string shown;
        PageLayout result = lay(body);
        for (int count = 0; count < 1000 && !result.error; ++count) {
            if (result.ended && result.empty) break;
            for (int r = 0; r < kRows; ++r) shown += row(r);
            if (result.ended || !message[result.next]) break;
            result = again(result.next);
        }
        if (result.error) continue;
        ASSERT_EQ(visible(shown), visible(body)) << body;
    }
}

TEST_F(TextLayout, EnglishTextMovesItsLastRowToEachNextPage)
{
    std::string body = rep("hello ", 100);
    auto all = pages(body);
    ASSERT_EQ(all.size(), 4u);
    std::string shown;
    for (size_t p = 0; p < all.size(); ++p) {
        for (const std::string& line : all[p]) shown += line;
        if (p + 1 == all.size()) continue;
        for (int r = 0; r < 3; ++r) EXPECT_EQ(all[p][r].size(), 56u) << p << " " << r;
        EXPECT_EQ(all[p][3], "") << p;
    }
    EXPECT_EQ(shown, body);

    // A run of exactly 56 letters on the last row moves with it too.
    PageLayout result = lay("a\nb\nc\n" + rep("x", 57));
    EXPECT_EQ(result.error, nullptr);
    EXPECT_EQ(row(3), "");
    EXPECT_EQ(result.next, 7);
}

TEST_F(TextLayout, ARunWithATabOrATagInItMovesWholeToTheNextPage)
{
    // The TAB is skipped, so the run is one byte longer than its characters.
    const std::string lines = "a\nb\nc\n";
    const std::string run = rep("あ", 10) + "x" + rep("b", 35);
    auto withTab = pages(lines + rep("あ", 10) + "x\t" + rep("b", 35) + "tail");
    ASSERT_EQ(withTab.size(), 2u);
    EXPECT_EQ(withTab[0][3], "");
    EXPECT_EQ(withTab[1][0], run);
    EXPECT_EQ(withTab[1][1], "tail");
    EXPECT_EQ(withTab, pages(lines + run + "tail"));

    // The tag is stored as nothing: it is read again on the next page, and no ">" is shown.
    PageLayout result = lay(lines + rep("あ", 10) + "xy<c red >" + rep("a", 34) + "tail");
    EXPECT_EQ(row(3), "");
    result = again(result.next);
    EXPECT_EQ(slot(0, 1), rep("あ", 10) + "xy");
    EXPECT_EQ(slot(0, 2), rep("a", 34));
    EXPECT_EQ(colour(0, 2), kRed);
    EXPECT_EQ(row(1), "tail");
}

TEST_F(TextLayout, TextThatCannotBeMovedIsAnError)
{
    EXPECT_STREQ(lay(rep("a", 300)).error, kRunTooLong);
    // The run goes on across a wrap: two letters end row 2, 56 fill row 3.
    EXPECT_STREQ(lay("a\nb\n" + rep("あ", 27) + rep("x", 58)).error, kRunTooLong);

    EXPECT_STREQ(lay(rep("あ", 113)).error, kParagraphTooLong);
    EXPECT_STREQ(lay("a" + rep("あ", 120)).error, kParagraphTooLong);
}

TEST_F(TextLayout, BrokenMarkupStaysInsideTheMessage)
{
    for (std::string end : {"<", "</", "< \n", "<c red", "<c", "<b", "<s", "<n"}) {
        PageLayout result = lay("abc" + end);
        EXPECT_EQ(row(0) + row(1), "abc") << end;
        EXPECT_TRUE(result.ended) << end;
    }
    PageLayout result = lay("abc<p");
    EXPECT_EQ(row(0), "abc");
    EXPECT_EQ(result.next, 6);
    EXPECT_EQ(message[result.next], '\0');

    // A sixth segment tag on a row writes on in the fifth slot.
    lay("<c red>a<c green>b<c blue>c<f>d<s>e<c black>f");
    EXPECT_EQ(row(0), "abcdef");
    EXPECT_EQ(slot(0, 5), "def");
    EXPECT_EQ(font(0, 5), Face::Change);
    EXPECT_EQ(colour(0, 5), kWhite);
    lay(rep("<c red>a", 200));
    EXPECT_EQ(row(0), rep("a", 56));
}

TEST_F(TextLayout, LongUnbrokenRunsStayInsideTheBuffers)
{
    EXPECT_STREQ(lay(std::string(2000, 'a')).error, kRunTooLong);
    EXPECT_STREQ(lay(std::string(2000, '\x01')).error, kParagraphTooLong);
    EXPECT_STREQ(lay(std::string(2000, '\xff')).error, kParagraphTooLong);
    EXPECT_STREQ(lay("<b>" + rep("あ", 700)).error, kParagraphTooLong);
    EXPECT_STREQ(lay(rep("\r", 1000) + rep("\x1b", 1000)).error, kParagraphTooLong);
}

TEST_F(TextLayout, AnyMessageEndsInPagesThatStayInsideTheWindow)
{
    const char* pieces[] = {"あ", "a",  " ",     "\n",   "\t",  "<p>", "<n>", "<c red>",
                            "<b>", "</b>", "、", "。",   "<s>", "</s>", "<f>", "</c>",
                            "<",  ">",  "\x01",  "\xe3", "word ", "<c blue>"};
    std::mt19937 random(20240611);
    for (int trial = 0; trial < 300; ++trial) {
        std::string body;
        int length = std::uniform_int_distribution<int>(0, 3000)(random);
        while (int(body.size()) < length) {
            // Mostly text, so that paragraphs run long enough to overflow.
            int pick = std::uniform_int_distribution<int>(0, 60)(random);
            body += pick < 22 ? pieces[pick] : pick < 45 ? "あ" : "b";
        }
        PageLayout result = lay(body);
        int pos = 1;
        for (int count = 0; count < 2000; ++count) {
            for (int r = 0; r < kRows; ++r) {
                EXPECT_GE(page->emphasisX[r], 38);
                EXPECT_LT(page->emphasisX[r], 800);
                for (int sl = 1; sl < kSlots; ++sl) {
                    EXPECT_GE(page->x[r][sl], 35);
                    EXPECT_LT(page->x[r][sl], 800);
                }
            }
            if (result.error || result.ended) break;
            ASSERT_GT(result.next, pos) << trial;
            ASSERT_LE(result.next, int(size)) << trial;
            if (!message[result.next]) break;
            pos = result.next;
            result = again(pos);
        }
        if (HasFailure()) return;
    }
}
