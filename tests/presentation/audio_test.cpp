// Audio on the dummy driver: what plays, what stops, and what the trace says.
#include "presentation/audio.h"

#include <cstdint>
#include <fstream>
#include <string>

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include "core/trace.h"
#include "presentation/cache.h"
#include "support/gamedir.h"

namespace {

// A second of quiet 16-bit stereo PCM at 44100 Hz.
void writeWav(const std::string& path)
{
    const uint32_t frames = 44100, bytes = frames * 4;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    out << std::string(bytes, '\0');
}

class Audio : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
        ASSERT_EQ(Mix_OpenAudio(44100, 0x8010, 2, 4096), 0) << Mix_GetError();
        writeWav(dir.file("a.wav"));
        writeWav(dir.file("b.wav"));
        ASSERT_TRUE(traceOpen(dir.file("trace.jsonl").c_str()));
    }

    void TearDown() override
    {
        traceClose();
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        mscDeleteAll();
        sndDeleteAll();
        Mix_CloseAudio();
        SDL_Quit();
    }

    std::string path(const char* name) { return dir.file(name); }
    GameDir dir;
};

}  // namespace

TEST_F(Audio, OneScriptEffectAtATimeUntilOff)
{
    sound(path("a.wav").c_str(), 0);
    EXPECT_EQ(Mix_Playing(-1), 1);
    sound(path("b.wav").c_str(), 2);
    EXPECT_EQ(Mix_Playing(-1), 1);   // the new effect cut the old one off
    systemSound("never-loaded");
    EXPECT_EQ(Mix_Playing(-1), 1);
    sound("off", 0);
    EXPECT_EQ(Mix_Playing(-1), 0);
    sound(path("missing.wav").c_str(), 1);
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(sndGet("se"), nullptr);
}

TEST_F(Audio, OffAlsoSilencesInterfaceSoundsAndABusyMixerDropsMore)
{
    sndLoad(path("a.wav").c_str(), "onmouse");
    for (int i = 0; i < 9; ++i) systemSound("onmouse");
    EXPECT_EQ(Mix_Playing(-1), 8);
    EXPECT_EQ(Mix_VolumeChunk(sndGet("onmouse"), -1), 40);
    sound("off", 0);
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(Audio, MusicReplacesTheTrackAndStopsOnOff)
{
    music(path("a.wav").c_str());
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    music(path("b.wav").c_str());
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_NE(mscGet("bgm"), nullptr);
    music("off");
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    music(path("missing.ogg").c_str());
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_EQ(mscGet("bgm"), nullptr);   // the old track was released all the same

    traceClose();
    std::string trace = dir.read("trace.jsonl");
    EXPECT_NE(trace.find("\"ev\":\"music\",\"path\":\"off\"}"), std::string::npos) << trace;
    EXPECT_NE(trace.find("missing.ogg"), std::string::npos);
}

TEST_F(Audio, EffectsAreTracedWithTheirCount)
{
    sound(path("a.wav").c_str(), 3);
    sound("off", 0);
    traceClose();
    std::string trace = dir.read("trace.jsonl");
    EXPECT_NE(trace.find("a.wav\",\"count\":3}"), std::string::npos) << trace;
    EXPECT_NE(trace.find("\"ev\":\"sound\",\"path\":\"off\",\"count\":0}"), std::string::npos)
        << trace;
}
