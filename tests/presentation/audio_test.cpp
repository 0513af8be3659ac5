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

// Quiet PCM: a second of 16-bit stereo at 44100 Hz unless told otherwise.
void writeWav(const std::string& path, uint32_t rate = 44100, uint16_t channels = 2,
              uint16_t bits = 16, uint32_t bytes = 44100 * 4)
{
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const uint16_t frameBytes = channels * bits / 8;
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(channels);
    u32(rate);
    u32(rate * frameBytes);
    u16(frameBytes);
    u16(bits);
    out.write("data", 4);
    u32(bytes);
    out << std::string(bytes, bits == 8 ? '\x80' : '\0');
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

TEST_F(Audio, ASoundTooLargeOnceConvertedIsNotPlayedAndNamed)
{
    // 100 KB at 1 Hz would take 17 GB at the mixer's 44100 Hz; at 8000 Hz, 2.2 MB.
    writeWav(path("slow.wav"), 1, 1, 8, 100000);
    writeWav(path("low.wav"), 8000, 1, 8, 100000);
    testing::internal::CaptureStderr();
    EXPECT_EQ(sndLoad(path("slow.wav").c_str(), "se"), 0);
    EXPECT_EQ(sndLoad(path("low.wav").c_str(), "low"), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(path("slow.wav")), std::string::npos) << err;
    EXPECT_EQ(err.find(path("low.wav")), std::string::npos) << err;
    EXPECT_EQ(sndGet("se"), nullptr);
}

TEST_F(Audio, ASoundPutOffIsLoadedWhenFirstPlayedAndForgottenWithTheCache)
{
    sndLoadLater(path("a.wav").c_str(), "enter");
    sndLoadLater(path("missing.wav").c_str(), "start");
    sndLoadLater(path("b.wav").c_str(), "paper");
    systemSound("enter");
    EXPECT_EQ(Mix_Playing(-1), 1);
    EXPECT_NE(sndGet("enter"), nullptr);
    EXPECT_EQ(sndGet("start"), nullptr);
    sndDelete("paper");
    EXPECT_EQ(sndGet("paper"), nullptr);
    sndLoadLater(path("b.wav").c_str(), "return");
    sndDeleteAll();
    EXPECT_EQ(sndGet("return"), nullptr);
}
