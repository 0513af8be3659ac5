// The replay back end's contract: virtual time, when scripted actions take effect, and the
// quit request once the script is used up.
#include "core/platform.h"
#include "core/replay.h"

#include <string>

#include <gtest/gtest.h>

namespace {

void load(const std::string& script)
{
    std::string error;
    ASSERT_TRUE(replayLoad(script, "", &error)) << error;
}

SDL_Event waitFor()
{
    SDL_Event ev{};
    platformWaitEvent(&ev);
    return ev;
}

}  // namespace

TEST(Replay, TimeMovesOnlyWhenTheGameSleepsOrWaits)
{
    load("wait 300\nkeydown return\n");
    EXPECT_EQ(platformTicks(), 0u);
    SDL_Event ev;
    EXPECT_EQ(platformPollEvent(&ev), 0);
    EXPECT_EQ(platformTicks(), 0u);
    platformDelay(120);
    EXPECT_EQ(platformTicks(), 120u);
    ev = waitFor();
    EXPECT_EQ(ev.type, SDL_KEYDOWN);
    EXPECT_EQ(ev.key.keysym.sym, SDLK_RETURN);
    EXPECT_EQ(platformTicks(), 300u);
    EXPECT_EQ(platformKeyHeld(SDLK_RETURN), 1);
    EXPECT_EQ(platformTime(), 0);
    platformDelay(2500);
    EXPECT_EQ(platformTime(), 2);

    // Waits add up in 64 bits: 2^32 ms is not 0.
    load("wait 2147483647\nwait 2147483647\nwait 2\nkeydown return\n");
    EXPECT_EQ(waitFor().type, SDL_KEYDOWN);
    EXPECT_EQ(platformTime(), 4294967);
}

TEST(Replay, ActionsFallingDueDuringASleepArriveTogetherAtTheNextPump)
{
    load("wait 30\nkeydown space\nwait 10\nkeyup space\nwait 20\nmove 5 6\nwait 1000\nkeydown escape\n");
    platformDelay(100);
    EXPECT_EQ(platformTicks(), 100u);
    // A sleep takes nothing in: the queue is empty until the game pumps.
    EXPECT_EQ(platformKeyHeld(SDLK_SPACE), 0);
    SDL_Event ev;
    ASSERT_EQ(platformPollEvent(&ev), 1);
    EXPECT_EQ(ev.type, SDL_KEYDOWN);
    // Pressed and released between two pumps: held for the reads until the next pump, once.
    EXPECT_EQ(platformKeyHeld(SDLK_SPACE), 1);
    EXPECT_EQ(platformKeyHeld(SDLK_SPACE), 1);
    int x = 0, y = 0;
    platformMouseState(&x, &y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
    ASSERT_EQ(platformPollEvent(&ev), 1);
    EXPECT_EQ(ev.type, SDL_KEYUP);
    EXPECT_EQ(platformKeyHeld(SDLK_SPACE), 0);
    // The actions after them count from when they fell due, not from when they were taken in.
    EXPECT_EQ(waitFor().type, SDL_MOUSEMOTION);
    EXPECT_EQ(waitFor().type, SDL_KEYDOWN);
    EXPECT_EQ(platformTicks(), 1060u);
}

TEST(Replay, AQuickClickIsSeenOnceAndForgottenPressesAreNot)
{
    load("wait 200\ndown left\nwait 5\nup left\nwait 300\nkeydown return\nwait 5\nkeyup return\n");
    platformDelay(210);
    platformPumpEvents();
    EXPECT_EQ(platformMouseState(nullptr, nullptr), SDL_BUTTON(SDL_BUTTON_LEFT));
    platformPumpEvents();
    EXPECT_EQ(platformMouseState(nullptr, nullptr), 0);
    // A tap while the game was not looking is let go of by platformForgetPresses.
    platformDelay(400);
    platformForgetPresses();
    EXPECT_EQ(platformKeyHeld(SDLK_RETURN), 0);
    EXPECT_EQ(waitFor().type, SDL_MOUSEBUTTONDOWN);
    EXPECT_EQ(waitFor().type, SDL_MOUSEBUTTONUP);
    EXPECT_EQ(waitFor().type, SDL_KEYDOWN);
    EXPECT_EQ(platformKeyHeld(SDLK_RETURN), 0);
}

TEST(Replay, ClickWaitsForThePlayerAndThenPressesAndReleases)
{
    load("click 300 200\nkeydown return\n");
    platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
    // An animation that only sleeps and pumps does not receive the click.
    for (int frame = 0; frame < 50; ++frame) {
        platformDelay(10);
        platformPumpEvents();
    }
    // Nor does a text page reading the pointer after an event it waited for; a menu screen,
    // reading it after polling the queue empty, does.
    int x = 0, y = 0;
    platformMouseState(&x, &y);
    EXPECT_EQ(x, 0);
    SDL_Event none;
    EXPECT_EQ(platformPollEvent(&none), 0);
    EXPECT_EQ(platformMouseState(&x, &y), 0);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(platformTicks(), 500u);

    SDL_Event ev = waitFor();
    EXPECT_EQ(ev.type, SDL_MOUSEBUTTONDOWN);
    EXPECT_EQ(ev.button.button, SDL_BUTTON_LEFT);
    EXPECT_EQ(ev.button.x, 300);
    EXPECT_EQ(platformTicks(), 550u);
    EXPECT_EQ(platformMouseState(nullptr, nullptr), SDL_BUTTON(SDL_BUTTON_LEFT));
    ev = waitFor();
    EXPECT_EQ(ev.type, SDL_MOUSEBUTTONUP);
    EXPECT_EQ(platformTicks(), 600u);
    ev = waitFor();
    EXPECT_EQ(ev.type, SDL_KEYDOWN);
    EXPECT_EQ(platformTicks(), 650u);
}

TEST(Replay, PressAndShotWaitForAnEventWait)
{
    load("press return\n");
    platformDelay(1000);
    platformPumpEvents();
    EXPECT_EQ(platformKeyHeld(SDLK_RETURN), 0);
    SDL_Event ev = waitFor();
    EXPECT_EQ(ev.type, SDL_KEYDOWN);
    EXPECT_EQ(platformTicks(), 1000u);
    ev = waitFor();
    EXPECT_EQ(ev.type, SDL_KEYUP);
    EXPECT_EQ(platformTicks(), 1050u);
}

TEST(Replay, MotionEventsFollowTheEventState)
{
    load("move 1 1\nmove 2 2\nwheel down\n");
    SDL_Event ev = waitFor();
    EXPECT_EQ(ev.type, SDL_MOUSEMOTION);
    EXPECT_EQ(platformEventState(SDL_MOUSEMOTION, SDL_IGNORE), SDL_ENABLE);
    EXPECT_EQ(platformEventState(SDL_MOUSEMOTION, SDL_QUERY), SDL_IGNORE);
    ev = waitFor();
    EXPECT_EQ(ev.type, SDL_MOUSEBUTTONDOWN);
    EXPECT_EQ(ev.button.button, SDL_BUTTON_WHEELDOWN);
    EXPECT_EQ(ev.button.x, 2);
    ev = waitFor();
    EXPECT_EQ(ev.type, SDL_MOUSEBUTTONUP);
}

TEST(Replay, AUsedUpScriptAnswersEveryWaitAndPollWithQuit)
{
    load("keydown lctrl\nwait 200\n");
    SDL_Event ev = waitFor();
    EXPECT_EQ(ev.type, SDL_KEYDOWN);
    EXPECT_FALSE(replayUsedUp());
    // The trailing wait keeps the script going for its time.
    EXPECT_EQ(platformPollEvent(&ev), 0);
    ev = waitFor();
    EXPECT_EQ(ev.type, SDL_QUIT);
    EXPECT_EQ(platformTicks(), 200u);
    EXPECT_TRUE(replayUsedUp());
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(platformPollEvent(&ev), 1);
        EXPECT_EQ(ev.type, SDL_QUIT);
    }
    EXPECT_EQ(platformKeyHeld(SDLK_LCTRL), 1);
}

TEST(Replay, QueuedEventsComeBeforeTheQuitRequest)
{
    load("keydown return\nquit\n");
    EXPECT_EQ(waitFor().type, SDL_KEYDOWN);
    EXPECT_EQ(waitFor().type, SDL_QUIT);
    EXPECT_TRUE(replayUsedUp());
    EXPECT_EQ(waitFor().type, SDL_QUIT);
}

TEST(Replay, BadLinesAreRefusedWithTheirNumber)
{
    std::string error;
    EXPECT_FALSE(replayLoad("# fine\n\nclick 1\n", "", &error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    for (const char* bad : {"press enter", "down middle", "wait -5", "wait", "jump", "shot",
                            "keydown", "move 1 2 3", "quit now", "wheel left"})
        EXPECT_FALSE(replayLoad(bad, "", &error)) << bad;
    for (const char* good : {"  press escape", "rclick -3 900", "shot a b.bmp", "wheel up",
                             "keyup rctrl", "up right", "\twait 0", "click 1 2   # start",
                             "shot a#1.bmp # kept"})
        EXPECT_TRUE(replayLoad(good, "", &error)) << good;
}

TEST(Replay, EveryKeyTheMenusReadCanBeNamed)
{
    const struct { const char* name; int key; } keys[] = {
        {"backspace", SDLK_BACKSPACE}, {"s", SDLK_s},       {"l", SDLK_l},
        {"tab", SDLK_TAB},             {"up", SDLK_UP},     {"down", SDLK_DOWN},
        {"left", SDLK_LEFT},           {"right", SDLK_RIGHT}, {"pageup", SDLK_PAGEUP},
        {"pagedown", SDLK_PAGEDOWN},   {"home", SDLK_HOME}, {"end", SDLK_END}};
    for (const auto& k : keys) {
        load(std::string("keydown ") + k.name + "\n");
        SDL_Event ev = waitFor();
        EXPECT_EQ(ev.type, SDL_KEYDOWN) << k.name;
        EXPECT_EQ(ev.key.keysym.sym, k.key) << k.name;
    }
}
