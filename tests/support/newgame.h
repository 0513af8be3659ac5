// Tests on the game state: each starts from a new game and leaves one behind, with the scene
// names, the per-scene marks and the replay clock cleared too.
#pragma once

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "core/replay.h"
#include "core/state.h"

class NewGameTest : public testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }

    static void reset()
    {
        resetNewGame();
        std::memset(findcheck, 0, sizeof findcheck);
        nextpoint[0] = prepoint[0] = '\0';
        reread = 0;
        std::string error;
        replayLoad("", "", &error);   // the clock back to 0
    }
};
