// The player's settings file: today's file and every older one still read, each new key is
// kept, and a damaged file means the defaults, the game's own where it chose them.
#include "core/settings.h"

#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "support/gamedir.h"

namespace {

class SettingsFile : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getcwd(before, sizeof before), nullptr);
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        settingsDefaults = kDefaultSettings;
    }
    void TearDown() override
    {
        settingsDefaults = kDefaultSettings;
        settings = kDefaultSettings;
        EXPECT_EQ(chdir(before), 0);
    }

    Settings read(const std::string& text)
    {
        dir.write("save/settings", text);
        return settingsRead(kSettingsPath);
    }

    GameDir dir;
    char before[4096];
};

bool same(const Settings& a, const Settings& b)
{
    return a.windowScale == b.windowScale && a.fullscreen == b.fullscreen &&
           a.musicLevel == b.musicLevel && a.soundLevel == b.soundLevel &&
           a.autoAdvance == b.autoAdvance && a.textSpeed == b.textSpeed &&
           a.autoPace == b.autoPace && a.skipReadOnly == b.skipReadOnly && a.marker == b.marker;
}

}  // namespace

TEST_F(SettingsFile, AFileOfTheEarlierVersionReadsWithTheNewSettingsAtTheirDefaults)
{
    // As the version before this one wrote it: five settings, nothing of the new ones.
    settingsDefaults.marker = true;   // the game turns the marker on (system/game.txt)
    Settings s = read("# Tessarc settings\nwindow 2\nfullscreen 1\nmusic 7\nsounds 3\nauto 1\n");
    EXPECT_EQ(s.windowScale, 2);
    EXPECT_TRUE(s.fullscreen);
    EXPECT_EQ(s.musicLevel, 7);
    EXPECT_EQ(s.soundLevel, 3);
    EXPECT_TRUE(s.autoAdvance);
    EXPECT_EQ(s.textSpeed, 0);
    EXPECT_EQ(s.autoPace, kAutoPaceUsual);
    EXPECT_FALSE(s.skipReadOnly);
    EXPECT_TRUE(s.marker);
    // A player's own choice wins over the game's.
    EXPECT_FALSE(read("marker 0\n").marker);
}

TEST_F(SettingsFile, EverySettingIsWrittenAndReadBack)
{
    Settings s = {3, true, 4, 9, true, 40, 8, true, true};
    ASSERT_TRUE(settingsWrite(kSettingsPath, s));
    EXPECT_TRUE(same(settingsRead(kSettingsPath), s));
    EXPECT_EQ(dir.read("save/settings"), "# Tessarc settings\nwindow 3\nfullscreen 1\nmusic 4\nsounds 9\n"
                                         "auto 1\ntextspeed 40\nautopace 8\nskipread 1\nmarker 1\n");
    for (int speed : {0, 10, 200}) {
        s.textSpeed = speed;
        ASSERT_TRUE(settingsWrite(kSettingsPath, s));
        EXPECT_EQ(settingsRead(kSettingsPath).textSpeed, speed);
    }
}

TEST_F(SettingsFile, ADamagedValueMeansTheDefaultsTheGameChose)
{
    settingsDefaults.textSpeed = 60;
    for (const char* damaged : {"textspeed 5\n", "textspeed 201\n", "textspeed -1\n", "autopace 0\n",
                                "autopace 10\n", "skipread 2\n", "marker yes\n", "marker 1 2\n",
                                "window 2\nbogus 1\n"}) {
        Settings s = read(damaged);
        EXPECT_TRUE(same(s, settingsDefaults)) << damaged;
    }
    EXPECT_EQ(settingsRead("./save/none").textSpeed, 60);
}

TEST(AutoPace, TheUsualPaceKeepsTheWaitOfEveryEarlierVersion)
{
    settings = kDefaultSettings;
    EXPECT_EQ(autoWaitMs(0), 1500);
    EXPECT_EQ(autoWaitMs(5), 1800);
    settings.autoPace = 1;
    EXPECT_EQ(autoWaitMs(5), 3600);
    settings.autoPace = kAutoPaces;
    EXPECT_EQ(autoWaitMs(5), 720);
    settings = kDefaultSettings;
}
