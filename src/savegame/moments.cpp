#include "savegame/moments.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <deque>
#include <vector>

#include "core/bytes.h"
#include "core/checksum.h"
#include "core/decision.h"
#include "core/note.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/textfile.h"
#include "core/trace.h"
#include "presentation/audio.h"
#include "presentation/backlog.h"
#include "presentation/cache.h"
#include "savegame/pagefile.h"
#include "savegame/slots.h"

namespace {

// ---- What is kept of the scenes ----------------------------------------------------------

std::deque<SceneRecord> scenes;   // the running scene last
bool logging;                     // the running scene is logged (not in another's quiet run)
bool firstLeft;                   // the scene's first moment has been left (or needs no save)

// A moment the game waits at: the point, the points decided before it, the number of its page
// (of the last page shown, for the others) and what the load list shows of it.
struct Wait {
    bool valid = false;
    Point at{};
    size_t points = 0;
    int page = 0;
    std::string firstLine;
};
Wait waiting;         // the moment waited at now
Wait lastWaited;      // the one waited at last in this scene
bool titleWaits;      // the title waits for the player
std::string lastPageLine;

// ---- Going back to a moment --------------------------------------------------------------

enum class Jump { None, Load, Back };

// The quiet run of a scene to a moment.
struct Run {
    bool armed = false;      // the next scene to begin runs to the moment
    bool on = false;
    Jump kind = Jump::None;
    size_t next = 0;         // the next logged point to answer
    size_t count = 0;        // the points before the moment
    Point at{};              // the moment's own point
    bool changed = false;    // the scene's text is not the one the moment was taken in
};
Run run;

Jump asked = Jump::None;
PageSave toLoad;
std::string loadFile;
size_t backScene, backPoint;

DecisionHooks passedOn;    // the hooks in force before ours
bool answeredByRun;        // the decision just answered came from the log

const char kSceneGone[] = "このセーブのシーンのファイルがありません";

// ---- Points ------------------------------------------------------------------------------

bool waits(PointKind kind) { return kind != PointKind::Slot && kind != PointKind::Draw; }

PointKind kindOf(DecisionKind kind)
{
    switch (kind) {
    case DecisionKind::Choice: return PointKind::Choice;
    case DecisionKind::MoveList: return PointKind::MoveList;
    case DecisionKind::Menu: return PointKind::Menu;
    case DecisionKind::Slot: return PointKind::Slot;
    default: return PointKind::Draw;
    }
}

// What a decision offers, as a checksum: the options and their destinations, the entries
// available; a slot screen only by its mode, since what it offers depends on the files there.
Point pointOf(const Decision& d)
{
    std::string offered;
    ByteWriter w{&offered};
    w.number(static_cast<uint32_t>(d.kind));
    w.signedNumber(d.count);
    w.signedNumber(d.picks);
    if (d.kind == DecisionKind::Slot) {
        w.signedNumber(d.mode);
    } else if (d.kind != DecisionKind::Draw) {
        w.number(d.available);
        for (int i = 0; i < d.count && d.texts; ++i) {
            w.text(d.texts[i]);
            if (d.scenes) w.text(d.scenes[i]);
        }
    }
    return Point{kindOf(d.kind), {}, crc32Of(offered.data(), offered.size())};
}

Point pagePoint(const char* text) { return Point{PointKind::Page, {}, crc32Of(text, std::strlen(text))}; }

// A line of the list: cut to fit, at a whole character.
std::string fitted(const std::string& text)
{
    char line[kFirstLineSize];
    std::snprintf(line, sizeof line, "%s", text.c_str());
    dropPartialCharacter(line);
    return line;
}

std::string firstLineOf(const char* text)
{
    // The first row that holds anything.
    for (const char* row = text; *row;) {
        const char* end = std::strchr(row, '\n');
        size_t length = end ? static_cast<size_t>(end - row) : std::strlen(row);
        if (length > 0) return fitted(std::string(row, length));
        if (!end) break;
        row = end + 1;
    }
    return "";
}

std::string offeredLine(const Decision& d)
{
    if (d.kind == DecisionKind::Menu) return lastPageLine;
    std::string line = "選択：";
    for (int i = 0; i < d.count && d.texts; ++i) line += (i ? "／" : "") + std::string(d.texts[i]);
    return fitted(line);
}

// ---- The quiet run -----------------------------------------------------------------------

void endRun(const Point& met, bool reached)
{
    run.on = false;
    if (!scenes.empty()) scenes.back().points.resize(run.next);
    // A run that stopped short of the moment leaves out the pages kept past where it got.
    backlogRewind(backlogSerial() + 1, backlogSerial());
    quietSet(false);
    traceHold(false);
    audioCatchUp();
    if (run.kind == Jump::Back) traceRollback(backlogSerial() + (met.kind == PointKind::Page ? 1 : 0));
    if (!run.changed && reached) return;
    // The author changed the scene since: it went as far as it still matched.
    const char* notice = reached          ? "シーンが書き換えられています（セーブした場面まで進めました）"
                         : run.next > 0 ? "シーンが書き換えられたため、一致するところまで読み込みました"
                                        : "シーンが書き換えられたため、シーンの始めから読み込みました";
    noteShow(notice);
    std::fprintf(stderr, "%s: %s\n", run.kind == Jump::Load ? loadFile.c_str() : "step back", notice);
}

// Whether logged values are an answer the decision offers (a file may hold anything).
bool answerFits(const Decision* d, const int* values)
{
    if (!d) return true;
    switch (d->kind) {
    case DecisionKind::Choice:
    case DecisionKind::MoveList:
        for (int k = 0; k < kDecisionPicks; ++k) {
            if (values[k] < 0 || values[k] > d->count || (k >= d->picks && values[k] != 0)) return false;
            for (int j = 0; j < k; ++j)
                if (values[k] != 0 && values[j] == values[k]) return false;
        }
        return true;
    case DecisionKind::Menu: return values[0] >= 1 && values[0] <= 3 && (d->available >> (values[0] - 1) & 1);
    case DecisionKind::Slot: return values[0] >= 0 && values[0] <= 3 && (values[0] == 0 || d->available >> (values[0] - 1) & 1);
    case DecisionKind::Draw: return values[0] >= 0 && values[0] < d->count;
    default: return false;
    }
}

// Answers a point from the log while the run to a moment goes on and the scene still offers
// what it logged. At the moment's own point, or at one that differs, the run ends: that point
// is the player's.
bool runAnswers(const Point& met, int* values, const Decision* d = nullptr)
{
    if (!run.on) return false;
    if (run.next < run.count) {
        const Point& logged = scenes.back().points[run.next];
        if (logged.kind == met.kind && logged.check == met.check && answerFits(d, logged.value)) {
            if (values) std::copy(logged.value, logged.value + 5, values);
            ++run.next;
            return true;
        }
        run.changed = true;
        endRun(met, false);
        return false;
    }
    bool same = run.at.kind == met.kind && run.at.check == met.check;
    if (!same) run.changed = true;
    endRun(met, same);
    return false;
}

// ---- Logging -----------------------------------------------------------------------------

void logPoint(Point point)
{
    if (logging && !scenes.empty()) scenes.back().points.push_back(point);
}

void waitBegins(const Point& at, int page, const std::string& firstLine)
{
    if (!logging || quietRun() || scenes.empty()) return;
    waiting = Wait{true, at, scenes.back().points.size(), page, firstLine};
    lastWaited = waiting;
}

PageSave saveOf(const Wait& moment, SDL_Surface* picture)
{
    PageSave save;
    save.sequence = nextPageSequence();
    save.date = platformDate();
    save.kind = moment.at.kind;
    save.page = moment.page;
    char lines[2][64];
    chapterNames(flag, lines);
    std::snprintf(save.chapter, sizeof save.chapter, "%s　%s", lines[0], lines[1]);
    std::snprintf(save.firstLine, sizeof save.firstLine, "%s", moment.firstLine.c_str());
    save.picture = smallPicture(picture);
    save.scene.start = scenes.back().start;
    const std::vector<Point>& points = scenes.back().points;
    save.scene.points.assign(points.begin(), points.begin() + std::min(moment.points, points.size()));
    save.at = moment.at;
    save.backlog = encodeBacklog();
    return save;
}

void autoSave(const std::string& path, const Wait& moment)
{
    if (!moment.valid || scenes.empty() || quietRun()) return;
    writePageSave(path, saveOf(moment, screen), true);
}

void waitLeft()
{
    if (!waiting.valid) return;
    // The scene's first moment, as the player leaves it (the screen still shows it).
    if (!firstLeft) autoSave(nextAutoPath(), waiting);
    firstLeft = true;
    waiting.valid = false;
}

// ---- The hooks ---------------------------------------------------------------------------

// A screen the quiet run reached opened while the trace was held: it is told now.
void traceOpened(const Decision& d)
{
    if (d.kind == DecisionKind::Menu) {
        traceMenu((d.available & 1) != 0, (d.available & 4) != 0);
    } else if (d.kind == DecisionKind::Choice || d.kind == DecisionKind::MoveList) {
        std::vector<const char*> options;
        for (int i = 0; i < d.count; ++i) options.push_back(d.texts[i]);
        traceChoice(options.data(), d.count);
    }
}

bool answerHook(const Decision& d, Answer* answer)
{
    answeredByRun = false;
    bool running = run.on;
    if (d.kind != DecisionKind::Title && runAnswers(pointOf(d), answer->value, &d)) {
        answeredByRun = true;
        return true;
    }
    if (running) traceOpened(d);
    if (passedOn.answer && passedOn.answer(d, answer)) return true;
    if (d.kind == DecisionKind::Title) titleWaits = true;
    else if (waits(kindOf(d.kind))) waitBegins(pointOf(d), backlogSerial(), offeredLine(d));
    return false;
}

void takenHook(const Decision& d, const Answer& answer)
{
    bool fromLog = answeredByRun;
    answeredByRun = false;
    if (d.kind == DecisionKind::Title) {
        titleWaits = false;
    } else if (!fromLog) {
        if (waits(kindOf(d.kind))) waitLeft();
        Point point = pointOf(d);
        std::copy(answer.value, answer.value + 5, point.value);
        logPoint(point);
    }
    if (passedOn.taken) passedOn.taken(d, answer);
}

bool pageAnswerHook(const char* text)
{
    Point point = pagePoint(text);
    if (runAnswers(point, nullptr)) return true;
    if (quietRun()) return false;
    lastPageLine = firstLineOf(text);
    waitBegins(point, backlogSerial() + 1, lastPageLine);
    return false;
}

void pageTurnedHook(const char* text)
{
    waitLeft();
    logPoint(pagePoint(text));
}

// ---- Jumps -------------------------------------------------------------------------------

// Puts the scene's start in place: the state, the background, the music and looping sound
// as the story had them (played once the quiet run is over).
void putStart(const SceneOpening& start)
{
    stateFromImage(start.state);
    if (start.background != backgroundPath()) ImgReplace(start.background.c_str(), "bg");
    music(start.music.c_str());
    sound(start.loop.empty() ? "off" : start.loop.c_str(), 0);
}

// The step back from the moment waited at: the stop before it, found in the scenes kept.
// A stop is a point the player saw: a page, a choice, a move list or the field menu (not the
// menu's visits to the item window, which come back to the same menu).
bool stopBefore(size_t* scene, size_t* point)
{
    size_t s = scenes.size() - 1, p = waiting.points;
    for (;;) {
        while (p > 0) {
            const Point& at = scenes[s].points[--p];
            bool itemsVisit = at.kind == PointKind::Menu && at.value[0] == 2;
            if (waits(at.kind) && !itemsVisit) {
                *scene = s;
                *point = p;
                return true;
            }
        }
        if (s == 0) return false;
        p = scenes[--s].points.size();
    }
}

// How many pages the game had passed when the scene reached point p.
int pagesAt(const SceneRecord& scene, size_t p)
{
    int pages = scene.start.pagesBefore;
    for (size_t i = 0; i < p && i < scene.points.size(); ++i) pages += scene.points[i].kind == PointKind::Page;
    return pages;
}

// The scene file a page save needs: there is one to read.
bool sceneFileThere(const PageSave& save)
{
    char name[kNameSize];
    if (!stateImageScene(save.scene.start.state, name)) return false;
    char path[kNameSize + 24];
    std::snprintf(path, sizeof path, "./script/%s.txt", name);
    std::FILE* file = openRegularFile(path);
    if (file) std::fclose(file);
    return file != nullptr;
}

}  // namespace

void momentsInstall()
{
    static const DecisionHooks ours = {answerHook, takenHook};
    const DecisionHooks& now = decisionHooksNow();
    if (now.answer != ours.answer || now.taken != ours.taken) {
        passedOn = now;
        decisionHooks(ours);
    }
    pageHooks({pageAnswerHook, pageTurnedHook});
}

void momentsNewGame()
{
    if (run.on) endRun(Point{}, false);
    scenes.clear();
    logging = false;
    waiting = lastWaited = Wait{};
}

void momentsSceneBegins(int index, const char* text)
{
    titleWaits = false;
    waiting = lastWaited = Wait{};
    // A scene that ended while it ran quietly to a moment did not reach it: it was changed.
    if (run.on) {
        run.changed = true;
        endRun(Point{}, false);
    }
    // Someone else's quiet run (a search of every path) is not logged, nor its text checked.
    if (!run.armed && quietRun()) {
        logging = false;
        return;
    }
    uint32_t textCheck = crc32Of(text, std::strlen(text));
    if (run.armed) {
        run.armed = false;
        run.on = true;
        logging = true;
        firstLeft = true;   // a moment gone back to writes no file
        if (textCheck != scenes.back().start.textCheck) run.changed = true;
        scenes.back().start.textCheck = textCheck;
        return;
    }
    logging = true;
    firstLeft = false;
    scenes.push_back(SceneRecord{
        {stateImage(), backgroundPath(), musicNow(), loopingSoundNow(), backlogSerial(), index, textCheck}, {}});
    if (scenes.size() > static_cast<size_t>(kRolledScenes)) scenes.pop_front();
}

bool momentsJumpAsked() { return asked != Jump::None; }

bool momentsJump()
{
    if (asked == Jump::None) return false;
    quietSet(true);
    if (asked == Jump::Load) {
        traceHold(false);
        traceLoad(loadFile.c_str());
        traceHold(true);
        resetNewGame();
        scenes.clear();
        scenes.push_back(toLoad.scene);
        restoreBacklog(toLoad.backlog);
        backlogRewind(INT_MAX, toLoad.scene.start.pagesBefore);
        run = Run{true, false, Jump::Load, 0, toLoad.scene.points.size(), toLoad.at, false};
        putStart(scenes.back().start);
        // Told as the scene of a continue is: the load, then the scene.
        traceHold(false);
        traceScene(nextpoint, sceneIndex());
        traceHold(true);
        toLoad = PageSave{};
    } else {
        scenes.erase(scenes.begin() + static_cast<long>(backScene) + 1, scenes.end());
        SceneRecord& scene = scenes.back();
        int pages = pagesAt(scene, backPoint);
        backlogRewind(pages + 1, scene.start.pagesBefore);
        run = Run{true, false, Jump::Back, 0, backPoint, scene.points[backPoint], false};
        putStart(scene.start);
    }
    asked = Jump::None;
    e = 1;
    return true;
}

void momentsQuit()
{
    autoSave(autoPath(0), waiting.valid ? waiting : lastWaited);
}

bool momentWaits() { return waiting.valid && logging && !quietRun() && !scenes.empty(); }

bool momentLoadable() { return momentWaits() || titleWaits; }

bool momentSave(const std::string& path, SDL_Surface* picture)
{
    if (!momentWaits()) return false;
    return writePageSave(path, saveOf(waiting, picture));
}

bool momentLoad(const std::string& path)
{
    PageSave save;
    if (readPageSave(path, &save) != PageFile::Sound) {
        noteShow(("このセーブは壊れています（" + path.substr(2) + "）").c_str());
        std::fprintf(stderr, "%s: 壊れたページセーブは読み込みません\n", path.c_str());
        return false;
    }
    if (!sceneFileThere(save)) {
        noteShow(kSceneGone);
        std::fprintf(stderr, "%s: %s\n", path.c_str(), kSceneGone);
        return false;
    }
    toLoad = std::move(save);
    loadFile = path;
    asked = Jump::Load;
    e = 0;
    // What a scene's routines do on their way out is not told: they only make way. (The
    // title's stopping its music is.)
    if (!titleWaits) traceHold(true);
    return true;
}

bool momentStepBack()
{
    if (!momentWaits()) return false;
    if (!stopBefore(&backScene, &backPoint)) {
        noteShow("これより前には戻れません");
        return false;
    }
    asked = Jump::Back;
    e = 0;
    traceHold(true);
    return true;
}
