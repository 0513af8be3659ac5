#include "presentation/backlog.h"

#include <cstring>
#include <deque>
#include <string>

namespace {

// A page as kept: the fixed layout data, and the text of its slots one after another, each
// ended by a NUL, so that a page takes little more room than its text.
struct KeptPage {
    int mode;
    int serial;
    int x[kRows][kSlots];
    int y[kRows][kSlots];
    int emphasisX[kRows];
    book style;
    std::string texts;
};

std::deque<KeptPage> kept;   // newest first
int passed;                  // pages passed in this game

}  // namespace

void backlogClear()
{
    kept.clear();
    passed = 0;
}

void backlogAdd(const Page& page, int mode) { backlogPut(page, mode, passed + 1); }

void backlogPass() { ++passed; }

int backlogSerial() { return passed; }

void backlogRewind(int from, int serial)
{
    while (!kept.empty() && kept.front().serial >= from) kept.pop_front();
    passed = serial;
}

int backlogSerialOf(int k) { return k < 1 || k > backlogCount() ? 0 : kept[k - 1].serial; }

void backlogPut(const Page& page, int mode, int serial)
{
    passed = serial;
    KeptPage entry;
    entry.mode = mode;
    entry.serial = serial;
    std::memcpy(entry.x, page.x, sizeof entry.x);
    std::memcpy(entry.y, page.y, sizeof entry.y);
    std::memcpy(entry.emphasisX, page.emphasisX, sizeof entry.emphasisX);
    entry.style = page.style;
    for (int r = 0; r < kRows; ++r)
        for (int sl = 0; sl < kSlots; ++sl) {
            entry.texts.append(page.text[r][sl], strnlen(page.text[r][sl], kSegmentSize - 1));
            entry.texts.push_back('\0');
        }
    kept.push_front(std::move(entry));
    if (kept.size() > static_cast<size_t>(kBacklogPages)) kept.pop_back();
}

int backlogCount() { return static_cast<int>(kept.size()); }

int backlogGet(int k, Page* page)
{
    if (k < 1 || k > backlogCount()) return -1;
    const KeptPage& entry = kept[k - 1];
    std::memcpy(page->x, entry.x, sizeof entry.x);
    std::memcpy(page->y, entry.y, sizeof entry.y);
    std::memcpy(page->emphasisX, entry.emphasisX, sizeof entry.emphasisX);
    page->style = entry.style;
    const char* text = entry.texts.c_str();
    for (int r = 0; r < kRows; ++r)
        for (int sl = 0; sl < kSlots; ++sl) {
            size_t length = std::strlen(text);
            std::memcpy(page->text[r][sl], text, length + 1);
            text += length + 1;
        }
    return entry.mode;
}
