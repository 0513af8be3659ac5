// Decision points: the script's draws keep their sequence unless someone takes them, every
// screen that waits for a decision lets an answerer take it (nothing drawn) and tells what was
// decided, and each screen says what it offers and where a click picks it.
#include "core/decision.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/onscreen.h"
#include "core/platform.h"
#include "core/replay.h"
#include "core/state.h"
#include "interpreter/commands.h"
#include "presentation/text.h"
#include "savegame/slots.h"
#include "screens/choice.h"
#include "screens/menu.h"
#include "support/screen.h"

namespace {

// Answers from a list, in order, and keeps what was decided.
std::vector<Answer> queued;
std::vector<DecisionKind> asked;
std::vector<Answer> told;

bool answerFromQueue(const Decision& decision, Answer* answer)
{
    asked.push_back(decision.kind);
    if (queued.empty()) return false;
    *answer = queued.front();
    queued.erase(queued.begin());
    return true;
}

void keep(const Decision&, const Answer& answer) { told.push_back(answer); }

Answer one(int value) { return Answer{{value}}; }

class Decisions : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        resetNewGame();
        queued.clear();
        asked.clear();
        told.clear();
        decisionHooks({answerFromQueue, keep});
        std::string error;
        ASSERT_TRUE(replayLoad("", "", &error));
    }

    void TearDown() override
    {
        decisionHooks({});
        quietSet(false);
        resetNewGame();
        ScreenTest::TearDown();
    }

    char texts[kOptionsAtMost][kOptionSize] = {"一", "二", "三"};
};

}  // namespace

TEST(Draws, KeepTheSeededSequenceUnlessTaken)
{
    decisionHooks({});
    std::string error;
    ASSERT_TRUE(replayLoad("wait 7000\nkeydown return\n", "", &error));
    SDL_Event ev;
    platformWaitEvent(&ev);   // seven seconds of virtual time
    std::srand(7);
    int expected = (std::rand() % 32768) % 6;
    EXPECT_EQ(Math_order("= rand %6", 0), expected);
    // The same second gives the same draw; a negative divisor draws from 0 to 5 as well.
    EXPECT_EQ(scriptDraw(6), expected);
    EXPECT_EQ(scriptDraw(-6), expected);

    queued = {one(4)};
    told.clear();
    decisionHooks({answerFromQueue, keep});
    EXPECT_EQ(Math_order("= rand %6", 0), 4);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].value[0], 4);
    // Left to the generator once the answers run out, and told all the same.
    EXPECT_EQ(Math_order("hp = rand %6", 0), expected);
    EXPECT_EQ(told.size(), 2u);
    // Arithmetic without rand is no draw.
    EXPECT_EQ(Math_order("hp +5", 1), 6);
    EXPECT_EQ(told.size(), 2u);
    decisionHooks({});
}

TEST_F(Decisions, EveryScreenLetsTheAnswererDecideAndTellsTheAnswer)
{
    // Quiet, as a search runs: the item window is not shown either.
    quietSet(true);
    // A two-pick choice: both picks at once, in order, without drawing or waiting.
    queued = {Answer{{3, 1}}};
    pick(2, 3, texts);
    EXPECT_EQ(chosen[0], 3);
    EXPECT_EQ(chosen[1], 1);
    EXPECT_EQ(platformTicks(), 0u);
    // A move list is a decision of its own kind.
    queued = {one(2)};
    menuMove("*move*\n{\n森へ A002\n海へ B001\n}\n");
    EXPECT_EQ(std::string(nextpoint), "B001");
    EXPECT_EQ(e, 1);
    // The menu: search answers the position after "*search*".
    const char scene[] = "[a]\n*search*\n[b]\n*move*\n{\n森へ A002\n}\n";
    queued = {one(2), one(1)};   // the items, then search
    const char* after = menu(scene);
    EXPECT_EQ(after, std::strstr(scene, "*search*") + 8);
    // Slots: in load mode only a saved slot is offered; nothing is saved, so none is.
    queued = {one(0)};
    EXPECT_EQ(savePick(nullptr, 0, nullptr), 0);

    std::vector<DecisionKind> kinds = {DecisionKind::Choice, DecisionKind::MoveList,
                                       DecisionKind::Menu,   DecisionKind::Menu,
                                       DecisionKind::Slot};
    EXPECT_EQ(asked, kinds);
    ASSERT_EQ(told.size(), 5u);
    EXPECT_EQ(told[2].value[0], 2);
    EXPECT_EQ(told[3].value[0], 1);
    EXPECT_EQ(platformTicks(), 0u);   // no screen waited
}

TEST_F(Decisions, AScreenLeftToThePlayerSaysWhatItOffersAndWhere)
{
    std::string error;
    // The player picks the second option by hand, at its band; the screen told where it was.
    ASSERT_TRUE(replayLoad("click 400 225\n", "", &error));
    pick(1, 3, texts);
    EXPECT_EQ(chosen[0], 2);
    const OnScreen& shown = onScreen();
    EXPECT_EQ(shown.kind, Shown::Choice);
    ASSERT_EQ(shown.count, 3);
    EXPECT_STREQ(shown.entries[1].text, "二");
    // Three options: top 150; option 2's band is 200 < y < 250 and 228 < x <= 627.
    EXPECT_EQ(shown.entries[1].area.x, 229);
    EXPECT_EQ(shown.entries[1].area.y, 201);
    EXPECT_EQ(shown.entries[1].area.w, 399);
    EXPECT_EQ(shown.entries[1].area.h, 49);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].value[0], 2);

    // The second pick of a multi-pick offers the first one no longer.
    ASSERT_TRUE(replayLoad("click 400 175\n", "", &error));
    pick(2, 3, texts);
    EXPECT_FALSE(onScreen().entries[0].available);
    EXPECT_TRUE(onScreen().entries[1].available);
    // The quit that ended it is no decision.
    EXPECT_EQ(told.size(), 1u);

    // The menu, with search gray and the move list's destinations.
    e = 1;
    ASSERT_TRUE(replayLoad("click 600 250\nclick 400 225\n", "", &error));
    menu("*move*\n{\n森へ A002\n}\n");
    EXPECT_EQ(std::string(nextpoint), "A002");
    EXPECT_EQ(onScreen().kind, Shown::Choice);
    EXPECT_STREQ(onScreen().entries[0].leadsTo, "A002");
}

TEST_F(Decisions, QuietPagesAreLaidOutButNeitherShownNorWaitedOn)
{
    quietSet(true);
    shownOpens(Shown::None);
    text("[一ページ目<p>二ページ目", 0);
    EXPECT_EQ(onScreen().kind, Shown::None);
    EXPECT_EQ(platformTicks(), 0u);
    EXPECT_EQ(e, 1);
    quietSet(false);
    // Shown, the page tells its text.
    std::string error;
    ASSERT_TRUE(replayLoad("press return\n", "", &error));
    text("[一行目<n>二行目", 0);
    EXPECT_EQ(onScreen().kind, Shown::Page);
    EXPECT_NE(std::string(onScreen().page).find("一行目\n二行目"), std::string::npos)
        << onScreen().page;
}
