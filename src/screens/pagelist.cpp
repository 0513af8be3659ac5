#include "screens/pagelist.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <SDL_ttf.h>

#include "core/note.h"
#include "core/platform.h"
#include "core/state.h"
#include "presentation/audio.h"
#include "presentation/draw.h"
#include "presentation/playerkeys.h"
#include "savegame/moments.h"
#include "savegame/pagefile.h"

namespace {

const int kPerPage = 6;
const int kBoxW = 370, kBoxH = 160;
const int kTabW = 64, kTabH = 36, kTabGap = 70;
const int kTextW = 182;   // the width of the lines beside the picture
const char kNotWritten[] = "セーブできませんでした（saveフォルダに書き込めません）";

struct Place {
    std::string path;
    std::string label;
    PageFile found = PageFile::Missing;
    PageSave head{};
    SDL_Surface* picture = nullptr;
};

struct List {
    bool saving;
    std::vector<std::vector<Place>> pages;   // up to six places each
    int page = 0;         // the list's page shown
    int selected = 0;     // the place selected on it
};

SDL_Rect boxOf(int i)
{
    return {static_cast<Sint16>(20 + (i % 2) * 390), static_cast<Sint16>(64 + (i / 2) * 170), kBoxW, kBoxH};
}

int pagesOf(const List& list) { return static_cast<int>(list.pages.size()); }

int countOn(const List& list) { return static_cast<int>(list.pages[static_cast<size_t>(list.page)].size()); }

Place& selectedPlace(List& list) { return list.pages[static_cast<size_t>(list.page)][static_cast<size_t>(list.selected)]; }

SDL_Rect tabOf(const List& list, int t)
{
    int x = 800 - 20 - pagesOf(list) * kTabGap + t * kTabGap + (kTabGap - kTabW);
    return {static_cast<Sint16>(x), 14, kTabW, kTabH};
}

bool inside(const SDL_Rect& r, int x, int y) { return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h; }

// ---- The places ----------------------------------------------------------------------------

SDL_Surface* pictureOf(const PageSave& head)
{
    SDL_Surface* picture =
        SDL_CreateRGBSurface(SDL_SWSURFACE, kPictureW, kPictureH, 24, 0x0000ff, 0x00ff00, 0xff0000, 0);
    if (!picture || head.picture.size() != static_cast<size_t>(kPictureBytes)) return picture;
    SDL_LockSurface(picture);
    for (int y = 0; y < kPictureH; ++y)
        std::copy(head.picture.begin() + y * kPictureW * 3, head.picture.begin() + (y + 1) * kPictureW * 3,
                  static_cast<Uint8*>(picture->pixels) + y * picture->pitch);
    SDL_UnlockSurface(picture);
    return picture;
}

void readPlace(Place* place)
{
    if (place->picture) SDL_FreeSurface(place->picture);
    place->picture = nullptr;
    place->found = readPageSave(place->path, &place->head, false);
    if (place->found == PageFile::Sound) place->picture = pictureOf(place->head);
}

List listOf(bool saving)
{
    List list{saving, {}};
    if (!saving) {
        // The quick save and the automatic ones come first, the newest automatic one first.
        std::vector<Place> first = {{quickPath(), "クイック"}, {autoPath(0), "自動（終了時）"}};
        for (int n = 1; n <= kAutoSaves; ++n) first.push_back({autoPath(n), "自動"});
        for (Place& place : first) readPlace(&place);
        std::stable_sort(first.begin() + 2, first.end(), [](const Place& x, const Place& y) {
            return x.found == PageFile::Sound &&
                   (y.found != PageFile::Sound || x.head.sequence > y.head.sequence);
        });
        list.pages.push_back(std::move(first));
    }
    for (int n = 1; n <= kPagePlaces; ++n) {
        if ((n - 1) % kPerPage == 0) list.pages.emplace_back();
        list.pages.back().push_back({placePath(n), "No." + std::to_string(n)});
        readPlace(&list.pages.back().back());
    }
    // The list opens at the newest save.
    uint32_t newest = 0;
    for (size_t p = 0; p < list.pages.size(); ++p)
        for (size_t i = 0; i < list.pages[p].size(); ++i) {
            const Place& place = list.pages[p][i];
            if (place.found != PageFile::Sound || place.head.sequence <= newest) continue;
            newest = place.head.sequence;
            list.page = static_cast<int>(p);
            list.selected = static_cast<int>(i);
        }
    return list;
}

void freeList(List* list)
{
    for (auto& page : list->pages)
        for (Place& place : page)
            if (place.picture) SDL_FreeSurface(place.picture);
    list->pages.clear();
}

// ---- Drawing -------------------------------------------------------------------------------

void fill(const SDL_Rect& area, Uint8 r, Uint8 g, Uint8 b)
{
    SDL_Rect box = area;
    SDL_FillRect(screen, &box, SDL_MapRGB(screen->format, r, g, b));
}

void line(TTF_Font* font, const std::string& text, int x, int y, SDL_Color colour = color_white)
{
    if (!font || text.empty()) return;
    SDL_Surface* rendered = TTF_RenderUTF8_Solid(font, text.c_str(), colour);
    blitSurface(rendered, x, y);
    if (rendered) SDL_FreeSurface(rendered);
}

// The text cut into lines of at most width pixels, at whole characters.
std::vector<std::string> wrapped(const std::string& text, int width, size_t most)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size();) {
        size_t length = 1;
        while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
            ++length;
        std::string longer = lines.back() + text.substr(i, length);
        int w = 0, h = 0;
        if (itemFont && TTF_SizeUTF8(itemFont, longer.c_str(), &w, &h) == 0 && w > width &&
            !lines.back().empty()) {
            if (lines.size() == most) break;
            lines.push_back(text.substr(i, length));
        } else {
            lines.back() = longer;
        }
        i += length;
    }
    return lines;
}

void drawPlace(const Place& place, int i, bool selected)
{
    SDL_Rect box = boxOf(i);
    if (selected) fill(box, 70, 84, 140);
    else fill(box, 34, 40, 64);
    const int x = box.x, y = box.y;
    std::string title = place.label;
    if (place.found == PageFile::Sound) {
        const PlatformDate& d = place.head.date;
        char stamp[48];
        std::snprintf(stamp, sizeof stamp, "　%04d/%02d/%02d %02d:%02d", d.year, d.month, d.day, d.hour,
                      d.minute);
        title += stamp;
    }
    line(itemFont, title, x + 10, y + 5);
    SDL_Rect frame = {static_cast<Sint16>(x + 10), static_cast<Sint16>(y + 32), kPictureW, kPictureH};
    fill(frame, 16, 16, 20);
    if (place.found == PageFile::Missing) {
        line(itemFont, "（空き）", x + 180, y + 64, color_gray);
        return;
    }
    if (place.found == PageFile::Damaged) {
        line(itemFont, "このセーブは", x + 180, y + 64, {255, 128, 128, 0});
        line(itemFont, "壊れています", x + 180, y + 92, {255, 128, 128, 0});
        return;
    }
    blitSurface(place.picture, x + 10, y + 32);
    // The chapter's label and its name, each on a line of its own.
    std::string chapter = place.head.chapter;
    size_t gap = chapter.find("　");
    line(itemFont, wrapped(chapter.substr(0, gap), kTextW, 1)[0], x + 180, y + 32);
    if (gap != std::string::npos) line(itemFont, wrapped(chapter.substr(gap + 3), kTextW, 1)[0], x + 180, y + 58);
    std::vector<std::string> rows = wrapped(place.head.firstLine, kTextW, 2);
    for (size_t k = 0; k < rows.size(); ++k)
        line(itemFont, rows[k], x + 180, y + 94 + 28 * static_cast<int>(k), {255, 240, 200, 0});
}

void drawList(const List& list)
{
    fill({0, 0, 800, 600}, 16, 20, 36);
    line(stdFont, list.saving ? "セーブ" : "ロード", 24, 16);
    for (int t = 0; t < pagesOf(list); ++t) {
        SDL_Rect tab = tabOf(list, t);
        if (t == list.page) fill(tab, 110, 120, 180);
        else fill(tab, 50, 58, 90);
        std::string name = !list.saving && t == 0 ? "自動" : std::to_string(list.saving ? t + 1 : t);
        int w = 0, h = 0;
        if (itemFont) TTF_SizeUTF8(itemFont, name.c_str(), &w, &h);
        line(itemFont, name, tab.x + (kTabW - w) / 2, tab.y + (kTabH - h) / 2);
    }
    const std::vector<Place>& places = list.pages[static_cast<size_t>(list.page)];
    for (size_t i = 0; i < places.size(); ++i)
        drawPlace(places[i], static_cast<int>(i), static_cast<int>(i) == list.selected);
    line(itemFont, "矢印 選ぶ　Return 決定　PageUp・PageDown ページ　右クリック・Backspace 戻る", 24, 572,
         color_gray);
    platformFlip(screen);
}

// ---- Choosing ----------------------------------------------------------------------------

enum class Outcome { Stay, Done, Back };

// Saving: writes the moment into the place selected, with the picture of the screen as it was
// before the list, and shows the place for half a second. Loading: asks for the save there.
Outcome choose(List& list, SDL_Surface* before)
{
    Place& place = selectedPlace(list);
    if (!list.saving) {
        if (place.found != PageFile::Sound) return Outcome::Stay;
        systemSound("start");
        return momentLoad(place.path) ? Outcome::Done : Outcome::Stay;
    }
    if (!momentSave(place.path, before)) {
        noteShow(kNotWritten);
        return Outcome::Stay;
    }
    systemSound("save");
    readPlace(&place);
    drawList(list);
    platformDelay(500);
    return Outcome::Done;
}

void turnPage(List& list, int step)
{
    int pages = pagesOf(list);
    list.page = (list.page + step % pages + pages) % pages;
    list.selected = std::min(list.selected, countOn(list) - 1);
    drawList(list);
}

// Moves the selection by one place (dx across, dy down); off the side of a page, onto the
// next page or the one before.
void moveSelection(List& list, int dx, int dy)
{
    int column = list.selected % 2 + dx, row = list.selected / 2 + dy;
    if (column < 0 || column > 1) {
        list.page = (list.page + (column < 0 ? -1 : 1) + pagesOf(list)) % pagesOf(list);
        column = column < 0 ? 1 : 0;
    }
    int rows = (countOn(list) + 1) / 2;
    row = (row + rows) % rows;
    list.selected = std::min(row * 2 + column, countOn(list) - 1);
    systemSound("onmouse");
    drawList(list);
}

Outcome takeKey(List& list, SDLKey key, SDL_Surface* before)
{
    switch (key) {
    case SDLK_LEFT: moveSelection(list, -1, 0); break;
    case SDLK_RIGHT: moveSelection(list, 1, 0); break;
    case SDLK_UP: moveSelection(list, 0, -1); break;
    case SDLK_DOWN: moveSelection(list, 0, 1); break;
    case SDLK_PAGEUP: turnPage(list, -1); break;
    case SDLK_PAGEDOWN:
    case SDLK_TAB: turnPage(list, 1); break;
    case SDLK_HOME: turnPage(list, -list.page); break;
    case SDLK_END: turnPage(list, pagesOf(list) - 1 - list.page); break;
    case SDLK_BACKSPACE: return Outcome::Back;
    case SDLK_RETURN:
        if (altHeld()) break;
        return choose(list, before);
    default: break;
    }
    return Outcome::Stay;
}

// What the pointer is over: a place (0-5) or a tab (10 + t); -1 nothing.
int pointed(const List& list, int x, int y)
{
    for (int i = 0; i < countOn(list); ++i)
        if (inside(boxOf(i), x, y)) return i;
    for (int t = 0; t < pagesOf(list); ++t)
        if (inside(tabOf(list, t), x, y)) return 10 + t;
    return -1;
}

// Until no key or button used in the list is held any more, so that the screen below does not
// take them too.
void letGo()
{
    while (e != 0) {
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformPumpEvents();
        bool held = platformMouseState(nullptr, nullptr) != 0 || keystate[SDLK_RETURN] ||
                    keystate[SDLK_BACKSPACE] || keystate[SDLK_SPACE];
        if (!held) break;
        platformDelay(10);
        SDL_Event ev;
        while (platformPollEvent(&ev))
            if (ev.type == SDL_QUIT) e = 0;
    }
    platformWaitBegins();
}

Outcome runList(List& list, SDL_Surface* before)
{
    drawList(list);
    platformWaitBegins();
    int under = -2;
    bool released = false;
    while (e == 1) {
        platformDelay(10);
        noteTick();
        SDL_Event ev;
        while (platformPollEvent(&ev)) {
            if (ev.type == SDL_QUIT || (ev.type == SDL_KEYUP && ev.key.keysym.sym == SDLK_ESCAPE)) {
                e = 0;
                return Outcome::Back;
            }
            playerKey(ev);
            if (e == 0) return Outcome::Back;
            if (ev.type == SDL_MOUSEBUTTONDOWN && ev.button.button == SDL_BUTTON_RIGHT) return Outcome::Back;
            if (ev.type == SDL_MOUSEBUTTONDOWN && ev.button.button == SDL_BUTTON_WHEELUP) turnPage(list, -1);
            if (ev.type == SDL_MOUSEBUTTONDOWN && ev.button.button == SDL_BUTTON_WHEELDOWN) turnPage(list, 1);
            if (ev.type != SDL_KEYDOWN) continue;
            Outcome outcome = takeKey(list, ev.key.keysym.sym, before);
            if (outcome != Outcome::Stay) return outcome;
        }
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformPumpEvents();
        int x = 0, y = 0;
        Uint8 buttons = platformMouseState(&x, &y);
        int now = pointed(list, x, y);
        // Only a move onto another place changes the selection, so that the keys keep theirs.
        if (now != under) {
            under = now;
            if (now >= 0 && now < kPerPage && now != list.selected) {
                list.selected = now;
                systemSound("onmouse");
                drawList(list);
            }
        }
        if (!(buttons & SDL_BUTTON(SDL_BUTTON_LEFT))) {
            released = true;
            continue;
        }
        if (!released) continue;
        released = false;
        if (now >= 10) {
            turnPage(list, now - 10 - list.page);
        } else if (now >= 0) {
            Outcome outcome = choose(list, before);
            if (outcome != Outcome::Stay) return outcome;
        }
    }
    return Outcome::Back;
}

}  // namespace

bool pageList(PageListMode mode)
{
    if (!screen) return false;
    bool saving = mode == PageListMode::Save && momentWaits();
    if (!saving && !momentLoadable()) return false;
    SDL_Surface* before = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
    List list = listOf(saving);
    Outcome outcome = runList(list, before);
    freeList(&list);
    // A load leaves the list up until the moment shows.
    bool loading = outcome == Outcome::Done && !saving;
    if (!loading) {
        letGo();
        if (before) SDL_BlitSurface(before, nullptr, screen, nullptr);
        platformFlip(screen);
    }
    if (before) SDL_FreeSurface(before);
    return outcome == Outcome::Done;
}

bool pageKeys(const SDL_Event& ev)
{
    if (ev.type != SDL_KEYDOWN) return false;
    switch (ev.key.keysym.sym) {
    case SDLK_F6:
        if (!momentWaits()) return false;
        if (momentSave(quickPath(), screen)) {
            systemSound("save");
            noteShow("クイックセーブしました");
        } else {
            noteShow(kNotWritten);
        }
        return true;
    case SDLK_F9: {
        if (!momentLoadable()) return false;
        std::string damaged, newest = newestPageSave(&damaged);
        if (!damaged.empty()) {
            noteShow((damaged.substr(2) + "は壊れています（Lで他のセーブを選べます）").c_str());
            std::fprintf(stderr, "%s: 壊れたページセーブは読み込みません\n", damaged.c_str());
        } else if (newest.empty()) {
            noteShow("ページセーブがありません");
        } else {
            momentLoad(newest);
        }
        return true;
    }
    case SDLK_s:
        if (!momentWaits()) return false;
        pageList(PageListMode::Save);
        return true;
    case SDLK_l:
        if (!momentLoadable()) return false;
        pageList(PageListMode::Load);
        return true;
    case SDLK_BACKSPACE:
        if (!momentWaits()) return false;
        momentStepBack();
        return true;
    default: return false;
    }
}
