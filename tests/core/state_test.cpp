#include "core/state.h"

#include <gtest/gtest.h>

#include "app/init.h"

TEST(State, ANewGameStartsFromScene1000WithFreshStatistics)
{
    item[69] = 3;
    flag[2799] = 1;
    timecheck[279] = 7;
    parameter[9] = -4;
    scriptcheck[27999] = 1;
    scriptread[1000] = 1;
    t = 4, a = 5, b = 6, c = 7;
    HP = 1, Guts = 2, HPmax = 3, Gutsmax = 4;
    reread = 1, scripttime = 99, e = 5;
    iname[0][0] = 'x';

    resetNewGame();

    EXPECT_EQ(item[69], 0);
    EXPECT_EQ(flag[2799], 0);
    EXPECT_EQ(timecheck[279], 0);
    EXPECT_EQ(parameter[9], 0);
    EXPECT_EQ(scriptcheck[27999], 0);
    EXPECT_EQ(scriptread[1000], 0);
    EXPECT_EQ(sceneIndex(), 1000);
    EXPECT_EQ(HP, 123);
    EXPECT_EQ(HPmax, 123);
    EXPECT_EQ(Guts, 72);
    EXPECT_EQ(Gutsmax, 72);
    EXPECT_EQ(reread, 0);
    EXPECT_EQ(scripttime, 0);
    EXPECT_EQ(e, 1);
    EXPECT_EQ(iname[0][0], 'x');   // item names are never reset
    iname[0][0] = '\0';
}

TEST(State, SceneIndexesOutsideTheSchemeStayInsideTheTables)
{
    t = 3, a = 1, b = 0, c = 5;
    EXPECT_EQ(sceneIndex(), 3105);
    t = 27, a = 9, b = 9, c = 9;
    EXPECT_EQ(sceneIndex(), 27999);
    t = 26, a = 120, b = 3, c = 4;   // a number above 999
    EXPECT_EQ(sceneIndex(), kSceneCount - 1);
    t = -3, a = b = c = 0;            // a position from a foreign save
    EXPECT_EQ(sceneIndex(), 0);
    resetNewGame();
}
