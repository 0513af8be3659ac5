// The screen effects: what each frame of fade, shake and the iris shows, how many frames they
// take, how Escape, Ctrl and the close request cut them short, and the effect command.
#include "presentation/effects.h"

#include <cstring>
#include <string>
#include <vector>

#include <limits.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/platform.h"
#include "core/replay.h"
#include "core/state.h"
#include "presentation/cache.h"
#include "support/gamedir.h"
#include "support/screen.h"

namespace {

void setPixel(SDL_Surface* surface, int x, int y, Uint32 value)
{
    Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch +
               x * surface->format->BytesPerPixel;
    std::memcpy(p, &value, surface->format->BytesPerPixel);
}

// Every pixel of a picture tells where it lies: 0x800000 | x << 10 | y, never black.
Uint32 coded(int x, int y) { return 0x800000u | Uint32(x) << 10 | Uint32(y); }

SDL_Surface* codedPicture()
{
    SDL_Surface* picture = solidSurface(800, 600, 0);
    SDL_LockSurface(picture);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) setPixel(picture, x, y, coded(x, y));
    SDL_UnlockSurface(picture);
    return picture;
}

// A strip whose pixels all differ: the colour comes from the position and a seed.
Uint32 stripColour(int x, int y, int seed)
{
    return (Uint32((x * 7 + y * 13 + seed) & 0xff) << 16) |
           (Uint32((x / 3 + seed * 5) & 0xff) << 8) | Uint32((y * 31 + x + seed) & 0xff);
}

SDL_Surface* opaqueStrip(int w, int h, int seed)
{
    SDL_Surface* strip = solidSurface(w, h, 0);
    SDL_LockSurface(strip);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) setPixel(strip, x, y, stripColour(x, y, seed));
    SDL_UnlockSurface(strip);
    return strip;
}

// The same with its own alpha in every pixel, from clear through half to opaque.
SDL_Surface* alphaStrip(int w, int h)
{
    SDL_Surface* strip = SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, w, h, 32, 0xff0000,
                                              0x00ff00, 0x0000ff, 0xff000000);
    SDL_LockSurface(strip);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Uint32 alpha = (x * 37 + y * 91) & 0xff;
            if (x % 4 == 0) alpha = 0;
            if (x % 4 == 3 && y == 1) alpha = 0xff;
            setPixel(strip, x, y, alpha << 24 | stripColour(x, y, 3));
        }
    SDL_UnlockSurface(strip);
    return strip;
}

// A paletted strip: 8-bit pixels through a palette of 256 distinct colours.
SDL_Surface* palettedStrip(int w, int h)
{
    SDL_Surface* strip = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0);
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {Uint8(i), Uint8(255 - i), Uint8((i * 7) & 0xff), 0};
    SDL_SetPalette(strip, SDL_LOGPAL | SDL_PHYSPAL, colours, 0, 256);
    SDL_LockSurface(strip);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) setPixel(strip, x, y, Uint32((x * 3 + y * 101) & 0xff));
    SDL_UnlockSurface(strip);
    return strip;
}

// Every pixel of a surface as 0xRRGGBB, row by row.
std::vector<Uint32> pixelsOf(SDL_Surface* surface)
{
    std::vector<Uint32> all;
    all.reserve(size_t(surface->w) * surface->h);
    SDL_LockSurface(surface);
    int bpp = surface->format->BytesPerPixel;
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x) {
            Uint32 value = 0;
            std::memcpy(&value,
                        static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bpp,
                        bpp);
            Uint8 r, g, b;
            SDL_GetRGB(value, surface->format, &r, &g, &b);
            all.push_back(Uint32(r) << 16 | Uint32(g) << 8 | b);
        }
    SDL_UnlockSurface(surface);
    return all;
}

// Counts the pixels of the screen that differ from expected(x, y) and reports the first.
template <typename Expected>
int mismatches(Expected expected, const std::string& what)
{
    std::vector<Uint32> shown = pixelsOf(screen);
    int count = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            Uint32 want = expected(x, y);
            if (shown[size_t(y) * 800 + x] == want) continue;
            if (count++ == 0)
                ADD_FAILURE() << what << ": first difference at (" << x << ", " << y
                              << "): 0x" << std::hex << shown[size_t(y) * 800 + x]
                              << " instead of 0x" << want;
        }
    return count;
}

// Frame k of the iris drawn the plain way: the background, then one 2x2 blit per cell.
void referenceIris(int k)
{
    SDL_Rect origin = {0, 0, 0, 0};
    if (ImgGet("bg")) SDL_BlitSurface(ImgGet("bg"), nullptr, screen, &origin);
    SDL_Surface* strip = ImgGet("fade_in");
    for (int y = 0; y < 600; y += 2)
        for (int x = 0; x < 800; x += 2) {
            long cx = x + 1 - 400, cy = y + 1 - 300;
            long d = 9 * cx * cx + 16 * cy * cy;
            int source = d > (10 - k) * 144000L ? 384 : d > (9 - k) * 144000L ? 256 : 64;
            SDL_Rect from = {Sint16(source), 0, 2, 2};
            SDL_Rect to = {Sint16(x), Sint16(y), 0, 0};
            SDL_BlitSurface(strip, &from, screen, &to);
        }
}

// The screen's bytes, to compare frames exactly.
std::vector<Uint8> screenBytes()
{
    std::vector<Uint8> bytes;
    SDL_LockSurface(screen);
    for (int y = 0; y < 600; ++y) {
        const Uint8* row = static_cast<const Uint8*>(screen->pixels) + y * screen->pitch;
        bytes.insert(bytes.end(), row, row + 800 * screen->format->BytesPerPixel);
    }
    SDL_UnlockSurface(screen);
    return bytes;
}

void expectIrisMatchesReference(const std::string& what)
{
    for (int k = 0; k < 10; ++k) {
        SDL_FillRect(screen, nullptr, 0x123456);
        referenceIris(k);
        std::vector<Uint8> want = screenBytes();
        SDL_FillRect(screen, nullptr, 0x654321);
        drawIrisFrame(k);
        std::vector<Uint8> shown = screenBytes();
        if (shown == want) continue;
        size_t at = 0;
        while (shown[at] == want[at]) ++at;
        size_t row = 800 * size_t(screen->format->BytesPerPixel);
        ADD_FAILURE() << what << ", frame " << k << ": first difference at ("
                      << at % row / screen->format->BytesPerPixel << ", " << at / row << ")";
    }
}

class Effects : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
        e = 1;
        event.type = SDL_NOEVENT;
        input("");
    }

    void TearDown() override
    {
        EXPECT_EQ(chdir(cwd_), 0);
        input("");
        e = 1;
        ScreenTest::TearDown();
    }

    // Starts the input over: virtual time 0, nothing held, then the actions given.
    void input(const std::string& actions)
    {
        std::string error;
        ASSERT_TRUE(replayLoad(actions, "", &error)) << error;
        platformPumpEvents();
    }

    void load(const std::string& name, SDL_Surface* picture)
    {
        dir.picture(name + ".bmp", picture);
        SDL_FreeSurface(picture);
        ImgReplace(dir.file(name + ".bmp").c_str(), name.c_str());
        ASSERT_NE(ImgGet(name.c_str()), nullptr) << name;
    }

    // Runs in the game folder, where "./bg/black.jpg" is a dark blue picture.
    void inGameFolder()
    {
        dir.picture("bg/black.jpg", 800, 600, kBlack);
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
    }

    static constexpr Uint32 kBlack = 0x000010;
    GameDir dir;
    char cwd_[PATH_MAX];
};

}  // namespace

TEST_F(Effects, TheIrisRunsMatchOneBlitPerCellForEveryKindOfStrip)
{
    load("bg", codedPicture());
    load("fade_in", opaqueStrip(448, 48, 0));
    expectIrisMatchesReference("opaque strip");

    // Another strip of the same size and format in its place, quite likely in the very
    // memory the first one held.
    SDL_Surface* first = ImgGet("fade_in");
    SDL_Surface* second = opaqueStrip(448, 48, 1);
    dir.picture("second.bmp", second);
    SDL_FreeSurface(second);
    for (int tries = 0; tries < 10; ++tries) {
        ImgReplace(dir.file("second.bmp").c_str(), "fade_in");
        if (ImgGet("fade_in") == first) break;
    }
    expectIrisMatchesReference("second opaque strip");

    load("fade_in", alphaStrip(448, 48));
    ASSERT_TRUE(ImgGet("fade_in")->format->Amask != 0) << "the alpha did not survive the file";
    expectIrisMatchesReference("strip with alpha");

    load("fade_in", palettedStrip(448, 48));
    expectIrisMatchesReference("paletted strip");

    // Too narrow for a whole outer piece, then for any but the inner one; one row high.
    load("fade_in", opaqueStrip(385, 48, 2));
    expectIrisMatchesReference("strip of 385 px");
    load("fade_in", opaqueStrip(257, 48, 4));
    expectIrisMatchesReference("strip of 257 px");
    load("fade_in", opaqueStrip(448, 1, 5));
    expectIrisMatchesReference("strip of one row");

    // Without a background the strip still goes over whatever lies on the screen.
    ImgDelete("bg");
    load("fade_in", opaqueStrip(448, 48, 6));
    expectIrisMatchesReference("no background");
}

TEST_F(Effects, TheIrisClosesFromTheEdgeToTheCentre)
{
    load("bg", codedPicture());
    SDL_Surface* strip = solidSurface(448, 48, 0);
    auto fill = [&](int x, Uint32 rgb) {
        SDL_Rect piece = {Sint16(x), 0, 2, 2};
        SDL_FillRect(strip, &piece, rgb);
    };
    fill(64, 0x0000aa);    // inside the inner ellipse
    fill(256, 0x00aa00);   // between the two
    fill(384, 0xaa0000);   // outside both
    load("fade_in", strip);

    drawIrisFrame(0);
    EXPECT_EQ(pixelAt(screen, 0, 0), 0xaa0000u);
    EXPECT_EQ(pixelAt(screen, 400, 0), 0x00aa00u);     // between the screen's own ellipse and
    EXPECT_EQ(pixelAt(screen, 0, 300), 0x00aa00u);     // the one nine tenths of it
    EXPECT_EQ(pixelAt(screen, 400, 300), 0x0000aau);
    EXPECT_EQ(pixelAt(screen, 401, 301), 0x0000aau);   // every pixel of the cell is covered
    drawIrisFrame(9);
    EXPECT_EQ(pixelAt(screen, 400, 300), 0x00aa00u);   // no inner ellipse left
    EXPECT_EQ(pixelAt(screen, 398, 298), 0x00aa00u);
    EXPECT_EQ(pixelAt(screen, 520, 300), 0x00aa00u);
    EXPECT_EQ(pixelAt(screen, 600, 300), 0xaa0000u);

    // No strip: only the background.
    ImgDelete("fade_in");
    drawIrisFrame(5);
    EXPECT_EQ(mismatches(coded, "iris without a strip"), 0);
}

TEST_F(Effects, FadeShowsEachTileFrameOverTheBackgroundTenMillisecondsApart)
{
    load("bg", codedPicture());
    // Tiles 40 px high: the background shows in the last 8 rows of every band of tiles.
    load("fade_in", opaqueStrip(448, 40, 0));
    load("fade_out", opaqueStrip(448, 40, 9));
    auto tiled = [](int k, int seed) {
        return [=](int x, int y) {
            return y % 48 < 40 ? stripColour(64 * k + x % 64, y % 48, seed) : coded(x, y);
        };
    };

    fade(0);
    EXPECT_EQ(platformTicks(), 70u);
    EXPECT_EQ(e, 1);
    EXPECT_EQ(mismatches(tiled(6, 0), "fade in"), 0);
    input("");
    fade(1);
    EXPECT_EQ(platformTicks(), 70u);
    EXPECT_EQ(mismatches(tiled(6, 9), "fade out"), 0);
    fade(7);   // any direction but 0 plays the fade-out strip
    EXPECT_EQ(mismatches(tiled(6, 9), "fade 7"), 0);

    // Escape held from frame k on stops the fade there, showing that frame.
    for (int k = 0; k < 7; ++k) {
        input("wait " + std::to_string(10 * k) + "\nkeydown escape\n");
        e = 1;
        fade(0);
        EXPECT_EQ(e, 0) << k;
        EXPECT_EQ(platformTicks(), 10u * k);
        EXPECT_EQ(mismatches(tiled(k, 0), "fade in stopped at frame " + std::to_string(k)), 0);
    }

    // Ctrl: one frame and 20 ms, and the game goes on.
    input("keydown rctrl\n");
    e = 1;
    fade(1);
    EXPECT_EQ(e, 1);
    EXPECT_EQ(platformTicks(), 20u);
    EXPECT_EQ(mismatches(tiled(0, 9), "fade with Ctrl"), 0);

    // A close request as the last event seen: one frame, e 0.
    input("");
    event.type = SDL_QUIT;
    fade(0);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(platformTicks(), 0u);

    // Without any of the pictures the seven frames still take their time.
    ImgDeleteAll();
    input("");
    event.type = SDL_NOEVENT;
    e = 1;
    fade(0);
    EXPECT_EQ(platformTicks(), 70u);
}

// A strip with transparency is blended straight over the background: the frames must be the
// background blitted, then every tile blitted over it.
TEST_F(Effects, FadeFramesOfATransparentStripMatchBlittingBackgroundThenTiles)
{
    load("bg", codedPicture());
    load("fade_in", alphaStrip(448, 48));
    ASSERT_TRUE(ImgGet("fade_in")->format->Amask != 0);
    for (int k : {2, 6}) {
        SDL_BlitSurface(ImgGet("bg"), nullptr, screen, nullptr);
        for (int y = 0; y < 600; y += 48)
            for (int x = 0; x < 800; x += 64) {
                SDL_Rect from = {Sint16(64 * k), 0, 64, 48};
                SDL_Rect to = {Sint16(x), Sint16(y), 0, 0};
                SDL_BlitSurface(ImgGet("fade_in"), &from, screen, &to);
            }
        std::vector<Uint8> want = screenBytes();
        SDL_FillRect(screen, nullptr, 0x123456);
        input("wait " + std::to_string(10 * k) + "\nkeydown escape\n");
        e = 1;
        fade(0);
        EXPECT_TRUE(screenBytes() == want) << "frame " << k;
    }
}

TEST_F(Effects, ShakeJoltsThePictureThroughEightOffsetsAndComesToRest)
{
    load("bg", codedPicture());
    const int offsets[8][2] = {{32, -31}, {64, 0}, {32, 31}, {0, 0},
                               {-32, -31}, {-64, 0}, {-32, 31}, {0, 0}};
    auto shifted = [](int dx, int dy) {
        return [=](int x, int y) {
            int px = x - dx, py = y - dy;
            return px >= 0 && px < 800 && py >= 0 && py < 600 ? coded(px, py) : 0u;
        };
    };

    SDL_FillRect(screen, nullptr, 0xffffff);
    shake();
    EXPECT_EQ(platformTicks(), 80u);   // eight frames
    EXPECT_EQ(e, 1);
    EXPECT_EQ(mismatches(shifted(0, 0), "shake at rest"), 0);

    // Escape falling due at the start of frame k stops the shake with that frame on show.
    for (int k = 0; k < 8; ++k) {
        input("wait " + std::to_string(10 * k) + "\nkeydown escape\n");
        e = 1;
        SDL_FillRect(screen, nullptr, 0xffffff);
        shake();
        EXPECT_EQ(e, 0) << k;
        EXPECT_EQ(platformTicks(), 10u * k);
        EXPECT_EQ(mismatches(shifted(offsets[k][0], offsets[k][1]),
                             "shake frame " + std::to_string(k)),
                  0);
    }
    // Due after the last frame, it finds the shake already over.
    input("wait 80\nkeydown escape\n");
    e = 1;
    shake();
    EXPECT_EQ(e, 1);
    EXPECT_EQ(platformTicks(), 80u);

    input("keydown lctrl\n");
    shake();
    EXPECT_EQ(platformTicks(), 20u);
    EXPECT_EQ(mismatches(shifted(32, -31), "shake with Ctrl"), 0);

    // Without a background the frames are black.
    ImgDelete("bg");
    input("");
    SDL_FillRect(screen, nullptr, 0xffffff);
    shake();
    EXPECT_EQ(platformTicks(), 80u);
    EXPECT_EQ(pixelAt(screen, 400, 300), 0u);
}

TEST_F(Effects, BlackOutEndsWithTheBlackPictureAsBackgroundHoweverItStops)
{
    inGameFolder();
    load("bg", codedPicture());
    load("fade_in", opaqueStrip(448, 48, 0));

    black_out();
    EXPECT_EQ(platformTicks(), 100u);   // ten frames
    EXPECT_EQ(e, 1);
    ASSERT_NE(ImgGet("bg"), nullptr);
    EXPECT_EQ(pixelAt(ImgGet("bg"), 400, 300), kBlack);
    // The black picture is not drawn: the last iris frame stays on the screen.
    EXPECT_EQ(pixelAt(screen, 0, 0), stripColour(384, 0, 0));
    EXPECT_EQ(pixelAt(screen, 401, 301), stripColour(257, 1, 0));

    // Escape: stopped in the first frame, e 0, and still black.
    load("bg", codedPicture());
    input("keydown escape\n");
    black_out();
    EXPECT_EQ(e, 0);
    EXPECT_EQ(platformTicks(), 0u);
    EXPECT_EQ(pixelAt(screen, 401, 301), stripColour(65, 1, 0));   // frame 0's centre
    ASSERT_NE(ImgGet("bg"), nullptr);
    EXPECT_EQ(pixelAt(ImgGet("bg"), 0, 0), kBlack);

    // Ctrl: 20 ms, e untouched.
    load("bg", codedPicture());
    input("keydown lctrl\n");
    e = 1;
    black_out();
    EXPECT_EQ(e, 1);
    EXPECT_EQ(platformTicks(), 20u);
    EXPECT_EQ(pixelAt(ImgGet("bg"), 0, 0), kBlack);

    // Only one picture is left under the name.
    ImgDelete("bg");
    EXPECT_EQ(ImgGet("bg"), nullptr);
}

TEST_F(Effects, EffectRunsTheAnimationForItsNumberThenDrawsTheBaseScreen)
{
    inGameFolder();
    load("fade_in", opaqueStrip(448, 48, 0));
    for (int n : {0, 3, -1, 100}) {
        load("bg", codedPicture());
        input("");
        SDL_FillRect(screen, nullptr, 0xffffff);
        effect(n);
        EXPECT_EQ(platformTicks(), 0u) << n;
        EXPECT_EQ(pixelAt(screen, 400, 300), coded(400, 300)) << n;
    }

    input("");
    effect(1);
    EXPECT_EQ(platformTicks(), 80u);
    EXPECT_EQ(mismatches(coded, "after effect 1"), 0);

    input("");
    effect(2);
    EXPECT_EQ(platformTicks(), 100u);
    EXPECT_EQ(pixelAt(screen, 0, 0), kBlack);
    EXPECT_EQ(pixelAt(screen, 400, 300), kBlack);
}

TEST(EffectCommand, TakesItsFramesBetweenTheSceneBackgrounds)
{
    GameDir game;
    game.picture("bg/black.jpg", 800, 600, 0x000000);
    game.picture("bg/room.jpg", 800, 600, 0x404040);
    game.picture("bg/hall.jpg", 800, 600, 0x808080);
    // Between two background commands lie a fade-out, the effect and a fade-in.
    auto gap = [&](const std::string& effect) {
        game.minimalGame("bg room\n" + effect + "\nbg hall\n*move* {\n出口 A001\n}\n");
        ReplayRun run = runFromStart(game, "");
        EXPECT_EQ(run.status, 0) << run.err;
        auto backgrounds = run.only("bg");
        EXPECT_EQ(backgrounds.size(), 3u) << effect;
        if (backgrounds.size() != 3u) return -1;
        EXPECT_EQ(backgrounds[1]["path"], "./bg/room.jpg");
        EXPECT_EQ(backgrounds[2]["path"], "./bg/hall.jpg");
        return int(backgrounds[2]["ms"]) - int(backgrounds[1]["ms"]);
    };
    EXPECT_EQ(gap("effect 3"), 140);
    EXPECT_EQ(gap("effect 0"), 140);
    EXPECT_EQ(gap("effect 1"), 140 + 80);

    game.minimalGame("bg room\neffect 2\n*move* {\n出口 A001\n}\n");
    ReplayRun run = runFromStart(game, "");
    EXPECT_EQ(run.status, 0) << run.err;
    auto backgrounds = run.only("bg");
    ASSERT_EQ(backgrounds.size(), 3u);
    EXPECT_EQ(backgrounds[1]["path"], "./bg/room.jpg");
    EXPECT_EQ(backgrounds[2]["path"], "./bg/black.jpg");
    EXPECT_EQ(int(backgrounds[2]["ms"]) - int(backgrounds[1]["ms"]), 70 + 100);

    // Held Ctrl: each animation stops after its first frame.
    game.minimalGame("bg room\neffect 2\n*move* {\n出口 A001\n}\n");
    run = runReplay(game, std::string("keydown lctrl\n") + kClickStart);
    backgrounds = run.only("bg");
    ASSERT_EQ(backgrounds.size(), 3u);
    EXPECT_EQ(int(backgrounds[2]["ms"]) - int(backgrounds[1]["ms"]), 20 + 20);
}
