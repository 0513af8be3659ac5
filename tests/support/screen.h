// Tests that draw: the dummy display is opened for each test and closed after it.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include "core/state.h"
#include "presentation/cache.h"

class ScreenTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        screen = SDL_SetVideoMode(800, 600, 24, 0);
        ASSERT_NE(screen, nullptr);
    }

    void TearDown() override
    {
        ImgDeleteAll();
        SDL_Quit();
        screen = nullptr;
    }
};
