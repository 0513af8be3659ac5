#include "app/devmode.h"

#include <cstdio>
#include <cstring>

#include "core/errorplace.h"
#include "core/names.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/draw.h"
#include "presentation/playerkeys.h"

namespace {

bool restartable;

const SDL_Rect kErrorPanel = {60, 170, 680, 300};
const int kTextWidth = 620;            // the message wraps inside the panel
const SDL_Rect kOverlayPanel = {20, 20, 760, 560};
const int kOverlayLines = 20;          // 26 px apart in the panel
const int kOverlayColumns = 70;        // half-width columns of a line at the item font's size

// ---- The error screen -----------------------------------------------------------------------

void drawLine(TTF_Font* font, const std::string& text, int x, int y)
{
    if (!font || text.empty()) return;
    SDL_Surface* line = TTF_RenderUTF8_Solid(font, text.c_str(), color_white);
    blitSurface(line, x, y);
    if (line) SDL_FreeSurface(line);
}

// The text cut into lines no wider than width in font, between whole characters.
std::vector<std::string> wrapped(TTF_Font* font, const std::string& text, int width)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size();) {
        size_t next = i + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
        std::string longer = lines.back() + text.substr(i, next - i);
        int w = 0, h = 0;
        if (!lines.back().empty() && TTF_SizeUTF8(font, longer.c_str(), &w, &h) == 0 && w > width)
            lines.emplace_back(text.substr(i, next - i));
        else
            lines.back() = longer;
        i = next;
    }
    return lines;
}

// ---- The overlay ----------------------------------------------------------------------------

// Columns a text takes: two for each character that is not ASCII.
int columns(const std::string& text)
{
    int n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch < 0x80) ++n;
        else if ((ch & 0xC0) != 0x80) n += 2;
    }
    return n;
}

// A heading and its entries, joined by ideographic spaces and wrapped into lines.
void addGroup(std::vector<std::string>& lines, const std::string& heading, const std::vector<std::string>& entries,
              const char* none)
{
    const std::string gap = "\xE3\x80\x80";   // the ideographic space
    std::string line = heading;
    if (entries.empty()) line += gap + none;
    for (const std::string& entry : entries) {
        if (columns(line) + 2 + columns(entry) > kOverlayColumns) {
            lines.push_back(line);
            line = gap + gap;
        } else {
            line += gap;
        }
        line += entry;
    }
    lines.push_back(line);
}

// The name of an entry, else "flag12".
std::string entryName(Numbered kind, int number)
{
    if (const char* name = nameOf(kind, number)) return name;
    if (kind == Numbered::Item && iname[number][0]) return iname[number];
    return numberedWord(kind) + std::to_string(number);
}

std::string change(const std::string& what, int from, int to)
{
    return what + " " + std::to_string(from) + "→" + std::to_string(to);
}

// Entries of a table that differ from the kept start.
void tableChanges(std::vector<std::string>& out, Numbered kind, const int* now, const int* then)
{
    for (int n = 0; n < numberedSize(kind); ++n)
        if (now[n] != then[n]) out.push_back(change(entryName(kind, n), then[n], now[n]));
}

std::vector<std::string> changesSinceSceneBegan(const SceneStart& s)
{
    std::vector<std::string> out;
    const struct {
        const char* name;
        int now, then;
    } singles[] = {{"HP", HP, s.HP}, {"Guts", Guts, s.Guts}, {"HP最大", HPmax, s.HPmax}, {"Guts最大", Gutsmax, s.Gutsmax}};
    for (const auto& single : singles)
        if (single.now != single.then) out.push_back(change(single.name, single.then, single.now));
    tableChanges(out, Numbered::Flag, flag, s.flag);
    tableChanges(out, Numbered::Item, item, s.item);
    tableChanges(out, Numbered::Para, parameter, s.parameter);
    tableChanges(out, Numbered::Check, findcheck, s.findcheck);
    tableChanges(out, Numbered::Timecheck, timecheck, s.timecheck);
    return out;
}

}  // namespace

void setSceneRestartable(bool can) { restartable = can; }

void drawDevError(const char* message)
{
    SDL_Rect panel = kErrorPanel;   // the fill clips the rectangle it is given
    SDL_FillRect(screen, &panel, SDL_MapRGB(screen->format, 40, 8, 8));
    drawLine(BigFont, "※エラー！", 90, 185);
    ErrorPlace place = placeNow();
    std::string where = place.file;
    if (place.line > 0) where += ":" + std::to_string(place.line);
    drawLine(stdFont, where, 90, 245);
    std::vector<std::string> lines = wrapped(stdFont, message, kTextWidth);
    for (size_t i = 0; i < lines.size() && i < 3; ++i) drawLine(stdFont, lines[i], 90, 290 + 36 * static_cast<int>(i));
    drawLine(itemFont,
             restartable ? "F5　読み直して場面の最初から　　F12　状態　　Return　終了" : "F12　状態　　Return　終了",
             90, 430);
}

bool devErrorKey(const SDL_Event& ev)
{
    if (ev.type != SDL_KEYDOWN) return false;
    if (ev.key.keysym.sym == SDLK_F5 && restartable) throw SceneRestart{};
    if (ev.key.keysym.sym != SDLK_F12) return false;
    // The error may have come with a quit under way; the overlay waits for its key all the same.
    int was = e;
    e = 1;
    showStateOverlay();
    bool quit = e == 0;
    e = was;
    // The key that closed the overlay does not also acknowledge the error.
    platformForgetPresses();
    return quit;
}

std::vector<std::string> stateOverlayLines()
{
    std::vector<std::string> lines = {std::string("状態　場面 ") + nextpoint + "　（キーかクリックで閉じる）",
                                      "HP " + std::to_string(HP) + "/" + std::to_string(HPmax) + "　Guts " +
                                          std::to_string(Guts) + "/" + std::to_string(Gutsmax)};
    std::vector<std::string> flags, items, parameters;
    for (int n = 0; n < kFlagCount; ++n)
        if (nameOf(Numbered::Flag, n) || flag[n] != 0) flags.push_back(entryName(Numbered::Flag, n) + " " + std::to_string(flag[n]));
    for (int n = 0; n < kItemCount; ++n)
        if (item[n] > 0) items.push_back(entryName(Numbered::Item, n) + " " + std::to_string(item[n]));
    for (int n = 0; n < kParameterCount; ++n)
        if (nameOf(Numbered::Para, n) || parameter[n] != 0)
            parameters.push_back(entryName(Numbered::Para, n) + " " + std::to_string(parameter[n]));
    addGroup(lines, "フラグ", flags, "なし");
    addGroup(lines, "アイテム", items, "なし");
    addGroup(lines, "パラメータ", parameters, "すべて0");
    if (const SceneStart* start = keptSceneStart())
        addGroup(lines, "この場面で変わったもの", changesSinceSceneBegan(*start), "なし");
    if (lines.size() > static_cast<size_t>(kOverlayLines)) {
        lines.resize(kOverlayLines);
        lines.back() = "……";
    }
    return lines;
}

void showStateOverlay()
{
    std::vector<std::string> lines = stateOverlayLines();
    std::vector<const char*> texts;
    for (const std::string& line : lines) texts.push_back(line.c_str());
    traceOverlay(texts.data(), static_cast<int>(texts.size()));
    showUntilKey([&] { drawPanel(kOverlayPanel, lines, 40, 36, 26); });
}

void authorKey(const SDL_Event& ev)
{
    if (ev.type == SDL_KEYDOWN && ev.key.keysym.sym == SDLK_F12) showStateOverlay();
}
