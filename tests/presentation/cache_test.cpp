// The resource caches: the list under them and the picture cache on real files.
#include "presentation/cache.h"
#include "presentation/cachelist.h"

#include <string>
#include <vector>

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
