// The resource caches: the list under them and the picture cache on real files.
#include "presentation/cache.h"
#include "presentation/cachelist.h"
#include "presentation/draw.h"

#include <cstdio>
#include <string>
#include <vector>

#include <SDL_image.h>
#include <gtest/gtest.h>

#include "support/gamedir.h"
#include "support/screen.h"

namespace {

struct Medium {
    int id;
};

std::vector<int> released;
void release(Medium* medium)
{
    released.push_back(medium->id);
    delete medium;
}

// The names from the head along next, checked against the walk from the tail along prev.
std::vector<std::string> walk(CacheNode<Medium>* head)
{
    std::vector<std::string> forward, backward;
    CacheNode<Medium>* tail = nullptr;
    for (CacheNode<Medium>* node = head; node; node = node->next) {
        forward.push_back(node->name);
        tail = node;
    }
    if (head) {
        EXPECT_EQ(head->prev, nullptr);
    }
    for (CacheNode<Medium>* node = tail; node; node = node->prev)
        backward.insert(backward.begin(), node->name);
    EXPECT_EQ(forward, backward);
    return forward;
}

class CacheList : public testing::Test {
protected:
    void SetUp() override { released.clear(); }
    void TearDown() override { cacheClear(head, release); }
    void push(const char* name, int id) { cachePush(head, name, new Medium{id}); }
    int find(const char* name)
    {
        CacheNode<Medium>* node = cacheFind(head, name);
        return node ? node->handle->id : -1;
    }
    CacheNode<Medium>* head = nullptr;
};

}  // namespace

TEST_F(CacheList, TheNewerOfTwoSameNamesIsFoundAndRemovedFirst)
{
    push("bg", 1);
    push("text", 2);
    push("bg", 3);
    EXPECT_EQ(find("bg"), 3);
    cacheRemove(head, "bg", release);
    EXPECT_EQ(find("bg"), 1);
    EXPECT_EQ(released, std::vector<int>{3});
    EXPECT_EQ(walk(head), (std::vector<std::string>{"text", "bg"}));
}

TEST_F(CacheList, RemovingHeadMiddleAndTailKeepsTheListConsistent)
{
    for (int i = 0; i < 5; ++i) push(("n" + std::to_string(i)).c_str(), i);
    cacheRemove(head, "n4", release);   // head
    EXPECT_EQ(walk(head), (std::vector<std::string>{"n3", "n2", "n1", "n0"}));
    cacheRemove(head, "n2", release);   // middle
    EXPECT_EQ(walk(head), (std::vector<std::string>{"n3", "n1", "n0"}));
    cacheRemove(head, "n0", release);   // tail
    EXPECT_EQ(walk(head), (std::vector<std::string>{"n3", "n1"}));
    cacheRemove(head, "absent", release);
    EXPECT_EQ(walk(head), (std::vector<std::string>{"n3", "n1"}));
    EXPECT_EQ(released, (std::vector<int>{4, 2, 0}));
    cacheClear(head, release);
    EXPECT_EQ(head, nullptr);
    EXPECT_EQ(released.size(), 5u);
}

TEST_F(CacheList, NamesAreKeptToSixtyThreeBytes)
{
    std::string exact(63, 'p');
    push(exact.c_str(), 1);
    EXPECT_EQ(find(exact.c_str()), 1);
    std::string longer = std::string(63, 'q') + "tail";
    push(longer.c_str(), 2);
    EXPECT_EQ(std::string(head->name), std::string(63, 'q'));
    EXPECT_EQ(find(longer.c_str()), 2);
    EXPECT_EQ(find(std::string(62, 'q').c_str()), -1);
}

using PictureCache = ScreenTest;

TEST_F(PictureCache, LoadsByContentAndIgnoresMissingFiles)
{
    GameDir dir;
    dir.picture("a.png", 4, 3, 0x112233);
    dir.picture("b.jpg", 5, 5, 0x445566);
    EXPECT_EQ(ImgLoad(dir.file("a.png").c_str(), "bg"), 1);
    EXPECT_EQ(ImgLoad(dir.file("missing.png").c_str(), "bg"), 0);
    ASSERT_NE(ImgGet("bg"), nullptr);
    EXPECT_EQ(ImgGet("bg")->w, 4);
    ImgReplace(dir.file("b.jpg").c_str(), "bg");
    EXPECT_EQ(ImgGet("bg")->w, 5);
    ImgDelete("bg");
    EXPECT_EQ(ImgGet("bg"), nullptr);
    EXPECT_EQ(ImgGet("never"), nullptr);

    dir.write("broken.png", "\x89PNG\r\n\x1a\n not really");
    EXPECT_EQ(ImgLoad(dir.file("broken.png").c_str(), "broken"), 0);
    EXPECT_EQ(sndLoad(dir.file("missing.wav").c_str(), "se"), 0);
    EXPECT_EQ(sndGet("se"), nullptr);
}

TEST_F(PictureCache, APicturePutOffIsReadWhenFirstAskedForOrDropsOut)
{
    GameDir dir;
    dir.picture("old.png", 4, 3, 0x112233);
    ASSERT_EQ(ImgLoad(dir.file("old.png").c_str(), "p"), 1);
    // The file is read at the first ask, not when the picture is put off.
    ImgLoadLater(dir.file("new.png").c_str(), "p");
    dir.picture("new.png", 6, 2, 0x445566);
    ASSERT_NE(ImgGet("p"), nullptr);
    EXPECT_EQ(ImgGet("p")->w, 6);
    ImgDelete("p");
    EXPECT_EQ(ImgGet("p")->w, 4);

    // One that cannot be read is gone, and the older picture of its name shows through.
    ImgLoadLater(dir.file("missing.png").c_str(), "p");
    EXPECT_EQ(ImgGet("p")->w, 4);
    ImgDelete("p");
    EXPECT_EQ(ImgGet("p"), nullptr);
    ImgLoadLater(dir.file("missing.png").c_str(), "q");
    ImgDelete("q");
    dir.picture("missing.png", 2, 2, 0);
    EXPECT_EQ(ImgGet("q"), nullptr);
}

namespace {

// The screen's bytes after drawing: one picture through the cache, or its file as loaded.
std::vector<Uint8> screenBytes()
{
    SDL_LockSurface(screen);
    const Uint8* pixels = static_cast<const Uint8*>(screen->pixels);
    std::vector<Uint8> bytes(pixels, pixels + screen->pitch * screen->h);
    SDL_UnlockSurface(screen);
    return bytes;
}

// A backdrop whose every pixel differs, so that any pixel drawn wrongly shows.
void backdrop()
{
    SDL_LockSurface(screen);
    Uint8* pixels = static_cast<Uint8*>(screen->pixels);
    for (int i = 0; i < screen->pitch * screen->h; ++i) pixels[i] = static_cast<Uint8>(i * 7 + i / 4093);
    SDL_UnlockSurface(screen);
}

}  // namespace

TEST_F(PictureCache, PicturesMadeReadyDrawTheSamePixelsAsTheirFiles)
{
    GameDir dir;
    // A mostly transparent overlay with soft edges (kept in part), an opaque picture in the
    // file's own byte order (converted), and a paletted one.
    SDL_Surface* overlay = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0x000000ff,
                                                0x0000ff00, 0x00ff0000, 0xff000000);
    SDL_FillRect(overlay, nullptr, 0);
    for (int y = 300; y < 360; ++y)
        for (int x = 250; x < 560; ++x) {
            SDL_Rect dot = {static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
            SDL_FillRect(overlay, &dot, SDL_MapRGBA(overlay->format, x & 255, y & 255, 90,
                                                    static_cast<Uint8>((x * 3 + y) & 255)));
        }
    dir.picture("overlay.png", overlay);
    SDL_FreeSurface(overlay);
    SDL_Surface* photo = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 24, 0x0000ff, 0x00ff00,
                                              0xff0000, 0);
    SDL_FillRect(photo, nullptr, 0x123456);
    dir.picture("photo.jpg", photo);
    SDL_FreeSurface(photo);
    SDL_Surface* paletted = SDL_CreateRGBSurface(SDL_SWSURFACE, 300, 200, 8, 0, 0, 0, 0);
    SDL_Color colours[4] = {{10, 20, 30, 0}, {200, 100, 50, 0}, {0, 255, 0, 0}, {9, 9, 9, 0}};
    SDL_SetPalette(paletted, SDL_LOGPAL, colours, 0, 4);
    for (int y = 0; y < 200; ++y) {
        SDL_Rect line = {0, static_cast<Sint16>(y), 300, 1};
        SDL_FillRect(paletted, &line, y % 4);
    }
    dir.picture("paletted.png", paletted);
    SDL_FreeSurface(paletted);

    struct Draw {
        const char* file;
        int sx, sy, w, h, x, y;   // w 0: the whole picture
    } draws[] = {
        {"overlay.png", 0, 0, 0, 0, 0, 0},     {"overlay.png", 0, 0, 0, 0, -30, 17},
        {"overlay.png", 200, 280, 100, 50, 10, 20},   // a piece straddling the kept part
        {"overlay.png", 0, 0, 100, 100, 5, 5},        // a piece entirely outside it
        {"photo.jpg", 0, 0, 0, 0, 0, 0},       {"paletted.png", 0, 0, 0, 0, 77, 310},
        {"paletted.png", 10, 20, 64, 48, 700, 560},
    };
    // Read now, or read ahead on the second thread: the same pixels either way.
    for (bool ahead : {false, true})
    for (const Draw& d : draws) {
        SCOPED_TRACE(d.file);
        SDL_Surface* raw = IMG_Load(dir.file(d.file).c_str());
        ASSERT_NE(raw, nullptr);
        if (ahead) ImgReadAhead({dir.file("overlay.png"), dir.file(d.file)});
        ASSERT_EQ(ImgLoad(dir.file(d.file).c_str(), "picture"), 1);
        backdrop();
        SDL_Rect from = {static_cast<Sint16>(d.sx), static_cast<Sint16>(d.sy),
                         static_cast<Uint16>(d.w), static_cast<Uint16>(d.h)};
        SDL_Rect to = {static_cast<Sint16>(d.x), static_cast<Sint16>(d.y), 0, 0};
        SDL_BlitSurface(raw, d.w ? &from : nullptr, screen, &to);
        std::vector<Uint8> expected = screenBytes();
        backdrop();
        if (d.w) blitPiece("picture", d.sx, d.sy, d.w, d.h, d.x, d.y);
        else blitPicture("picture", d.x, d.y);
        EXPECT_TRUE(screenBytes() == expected);
        ImgDelete("picture");
        SDL_FreeSurface(raw);
    }
    // The overlay is kept in part: only the rectangle around its visible pixels.
    ImgLoad(dir.file("overlay.png").c_str(), "overlay");
    int x, y;
    SDL_Surface* kept = ImgGetPlaced("overlay", &x, &y);
    ASSERT_NE(kept, nullptr);
    EXPECT_LT(kept->w, 800);
    EXPECT_GE(x, 250);
    EXPECT_GE(y, 300);
}

TEST_F(PictureCache, APictureTallerThanSixteenBitsDrawsItsRowsWhereTheyBelong)
{
    GameDir dir;
    SDL_Surface* tall = tallOverlay(0xff0000);
    dir.picture("tall.png", tall);
    SDL_FreeSurface(tall);
    ASSERT_EQ(ImgLoad(dir.file("tall.png").c_str(), "tall"), 1);
    int x, y;
    SDL_Surface* kept = ImgGetPlaced("tall", &x, &y);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(y, 32768);
    EXPECT_EQ(kept->h, 1);

    SDL_FillRect(screen, nullptr, 0);
    blitPicture("tall", 0, 0);
    blitPicture("tall", 0, 32768 + 20);   // 16-bit positions would wrap onto the screen
    EXPECT_EQ(pixelAt(screen, 50, 0), 0u);
    EXPECT_EQ(pixelAt(screen, 50, 20), 0u);
    blitPicture("tall", 300, 5 - 32768);
    EXPECT_EQ(pixelAt(screen, 350, 5), 0xff0000u);
    EXPECT_EQ(pixelAt(screen, 350, 4), 0u);
    EXPECT_EQ(pixelAt(screen, 350, 6), 0u);
}

TEST_F(PictureCache, APictureReadAheadIsTakenOnceAndAFileThatFailsFailsAsBefore)
{
    GameDir dir;
    dir.picture("a.png", 4, 3, 0x112233);
    dir.picture("b.png", 5, 3, 0x445566);
    ImgReadAhead({dir.file("a.png"), dir.file("missing.png"), dir.file("b.png")});
    // Whatever the thread has done so far, a load waits for what it needs.
    ASSERT_EQ(ImgLoad(dir.file("a.png").c_str(), "first"), 1);
    EXPECT_EQ(ImgLoad(dir.file("missing.png").c_str(), "missing"), 0);
    ImgLoadLater(dir.file("b.png").c_str(), "later");
    ASSERT_NE(ImgGet("later"), nullptr);
    EXPECT_EQ(ImgGet("later")->w, 5);
    // Taken once: the next load reads the file as it is now.
    std::remove(dir.file("a.png").c_str());
    EXPECT_EQ(ImgLoad(dir.file("a.png").c_str(), "again"), 0);
    EXPECT_EQ(ImgGet("first")->w, 4);
    // Pictures read ahead and never asked for are freed with the cache.
    ImgReadAhead({dir.file("b.png")});
    ImgDeleteAll();
    EXPECT_EQ(ImgGet("first"), nullptr);
}
