#include "screens/gamemenu.h"

#include "core/events.h"
#include "core/onscreen.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/audio.h"
#include "presentation/backlog.h"
#include "presentation/cache.h"
#include "screens/menuscreen.h"
#include "screens/pagelist.h"
#include "screens/settingsscreen.h"
#include "screens/systemlook.h"

namespace {

enum Entry { kSave = 1, kLoad, kSettings, kBacklog, kTitle, kQuit, kEntries = kQuit };

const char* const kLabels[kEntries] = {"セーブ", "ロード", "設定", "バックログ", "タイトルへ", "ゲーム終了"};

const LookBox kPanel = {290, 95, 220, 410};
const int kPlateX = 310, kPlateTop = 150, kPlateStep = 56, kPlateW = 180, kPlateH = 44;

LookBox plate(int entry) { return {kPlateX, kPlateTop + kPlateStep * (entry - 1), kPlateW, kPlateH}; }

// What the menu is drawn over, while it is open.
SDL_Surface* menuUnder;
unsigned menuOpen;

void drawMenu(int lit)
{
    lookUnder(menuUnder);
    lookPanel("gamemenu", kPanel);
    if (!ImgGet("gamemenu")) lookText("メニュー", kPanel.x + kPanel.w / 2, kPanel.y + 16, kLookGold, true, true);
    for (int entry = 1; entry <= kEntries; ++entry)
        lookPlate(plate(entry), kLabels[entry - 1], entry == lit, (menuOpen >> (entry - 1)) & 1u);
    platformFlip(screen);
}

int menuEntryAt(int x, int y)
{
    for (int entry = 1; entry <= kEntries; ++entry)
        if (plate(entry).holds(x, y)) return entry;
    return 0;
}

// ---- The question ------------------------------------------------------------------------------

const LookBox kQuestion = {195, 215, 410, 170};
const LookBox kAnswers[2] = {{215, 305, 180, 44}, {405, 305, 180, 44}};   // はい, いいえ
const char* const kAnswerLabels[2] = {"はい", "いいえ"};

SDL_Surface* questionUnder;
const char* questionText;

void drawQuestion(int lit)
{
    lookUnder(questionUnder);
    lookPanel("confirm", kQuestion);
    lookText(questionText, kQuestion.x + kQuestion.w / 2, kQuestion.y + 32, kLookLight, true, true);
    for (int answer = 1; answer <= 2; ++answer) lookPlate(kAnswers[answer - 1], kAnswerLabels[answer - 1], answer == lit);
    platformFlip(screen);
}

int answerAt(int x, int y)
{
    for (int answer = 1; answer <= 2; ++answer)
        if (kAnswers[answer - 1].holds(x, y)) return answer;
    return 0;
}

void showEntries(Shown kind, const char* const* labels, const LookBox* boxes, int count, unsigned open)
{
    shownOpens(kind);
    for (int i = 0; i < count; ++i)
        shownEntry(labels[i], {boxes[i].x, boxes[i].y, boxes[i].w, boxes[i].h}, (open >> i) & 1u);
}

}  // namespace

bool confirmAsk(const char* question, SDL_Surface* under)
{
    SDL_Surface* own = under ? nullptr : lookDimmedCopy();
    questionUnder = under ? under : own;
    questionText = question;
    traceScreen("confirm");
    showEntries(Shown::Confirm, kAnswerLabels, kAnswers, 2, 3u);
    int answer = runMenuScreen({2, 3u, MenuLayout::Row, drawQuestion, answerAt}, 2);
    if (own) SDL_FreeSurface(own);
    return answer == 1;
}

PageMenuAsks gameMenu()
{
    menuUnder = lookDimmedCopy();
    systemSound("paper");
    pageSaveKeysPaused = true;
    PageMenuAsks asks = PageMenuAsks::Page;
    int lit = 0;
    while (e == 1) {
        menuOpen = backlogCount() > 0 ? 0x3Fu : 0x3Fu & ~(1u << (kBacklog - 1));
        LookBox boxes[kEntries];
        for (int entry = 1; entry <= kEntries; ++entry) boxes[entry - 1] = plate(entry);
        traceScreen("gamemenu");
        showEntries(Shown::GameMenu, kLabels, boxes, kEntries, menuOpen);
        int picked = runMenuScreen({kEntries, menuOpen, MenuLayout::Column, drawMenu, menuEntryAt}, lit);
        if (picked <= 0) break;
        lit = picked;
        if (picked == kSave || picked == kLoad) {
            // A save written goes back to the page; a load asked for ends the menu (e 0).
            if (pageList(picked == kSave ? PageListMode::Save : PageListMode::Load)) break;
        } else if (picked == kSettings) {
            settingsScreen(menuUnder);
        } else if (picked == kBacklog) {
            asks = PageMenuAsks::Backlog;
            break;
        } else if (picked == kTitle) {
            if (confirmAsk("タイトルに戻りますか？", menuUnder)) e = kBackToTitle;
        } else if (picked == kQuit) {
            // The same as closing the window: every routine returns, and the resume file is
            // written on the way out.
            if (confirmAsk("ゲームを終了しますか？", menuUnder)) e = 0;
        }
    }
    // The key that closed the menu is still queued: it is not for the page.
    takeQuitEvents();
    pageSaveKeysPaused = false;
    if (menuUnder) SDL_FreeSurface(menuUnder);
    menuUnder = nullptr;
    return asks;
}
