#include "explore/search.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <unistd.h>

#include "app/mainloop.h"
#include "app/options.h"
#include "core/decision.h"
#include "core/errorplace.h"
#include "core/onscreen.h"
#include "core/replay.h"
#include "core/runwatch.h"
#include "core/state.h"
#include "core/textfile.h"
#include "explore/hash.h"
#include "explore/liveness.h"
#include "explore/shared.h"
#include "interpreter/script.h"

namespace {

// ---- Where this process is on its way ----------------------------------------------------
// Each run starts afresh from the search's first process; these say where it has got to.

int runner;                 // this runner's slot
std::vector<std::pair<int, Answer>> way;   // the decisions to replay: state, answer
size_t wayAt;               // the next of them
WorkRecord work;            // the answer this run follows
int fromState = kNoState;   // the state the way left last
int fromDepth = 0;          // the depth of the next state: fromState's + 1
Answer lastAnswer;          // the answer taken there
std::string fromWords;      // the words of the answer taken there
bool started;               // the title's first decision is taken
bool atTitle;               // the way ended at the title, which has set the next game's
                            //   scene already: it ended in the scene entered last
unsigned outcomeSeen;       // the serial of the last ending or game over told
int lastScripttime = -1;    // scene entries seen
char lastScene[kNameSize];  // the scene entered last
int lastFile = -1;          // the line run last: its file and where it starts
int lastLineStart;          //   (a byte offset)
const char* watchedText;    // the scene text lines were run in last, and its file
int watchedFile = -1;
std::map<std::string, int> fileIndexes;
std::set<std::pair<std::string, std::string>> movesTold;

// Ends the run: the game is left where it stands, and the runner goes on to the next.
struct RunOver {};

[[noreturn]] void leave() { throw RunOver{}; }

int fileOf(const char* name)
{
    if (!name[0]) return -1;
    auto found = fileIndexes.find(name);
    if (found != fileIndexes.end()) return found->second;
    int index = fileIndex(name);
    fileIndexes[name] = index;
    return index;
}

void tellMove(const char* from, const char* to)
{
    if (!from[0] || !movesTold.insert({from, to}).second) return;
    moveAdd(from, to);
}

// A scene was entered since last looked: the move from the one before.
void noteScene()
{
    if (scripttime == lastScripttime) return;
    lastScripttime = scripttime;
    tellMove(lastScene, nextpoint);
    std::snprintf(lastScene, sizeof lastScene, "%s", nextpoint);
}

// ---- How a way ends ----------------------------------------------------------------------

void record(FindingKind kind, int n, const char* file, int line, const char* message)
{
    if (!atTitle) noteScene();
    findingAdd(kind, n, file, line, message, atTitle ? lastScene : nextpoint, fromState, fromDepth, fromWords);
    stateFlag(fromState, kEnds);
    if (kind == FindingKind::Ending) tellMove(lastScene, ("ending " + std::to_string(n)).c_str());
    if (kind == FindingKind::GameOver) tellMove(lastScene, "game over");
    if (kind == FindingKind::Title) tellMove(lastScene, "title");
}

[[noreturn]] void endRun(FindingKind kind, int n, const char* file, int line, const char* message)
{
    record(kind, n, file, line, message);
    leave();
}

// An ending or a game over that began since the last decision. It ends the way at the title
// that follows; one that the script goes on from is told here too.
bool outcomeBegan()
{
    const Outcome& o = lastOutcome();
    if (o.serial == outcomeSeen) return false;
    outcomeSeen = o.serial;
    return true;
}

void tellOutcome()
{
    const Outcome& o = lastOutcome();
    FindingKind kind = o.kind == EndKind::Ending ? FindingKind::Ending : FindingKind::GameOver;
    noteScene();
    findingAdd(kind, o.n, "", 0, "", nextpoint, fromState, fromDepth, fromWords);
    stateFlag(fromState, kEnds);
    tellMove(lastScene, kind == FindingKind::Ending ? ("ending " + std::to_string(o.n)).c_str() : "game over");
}

[[noreturn]] void endAtTitle()
{
    atTitle = true;
    if (outcomeBegan()) {
        const Outcome& o = lastOutcome();
        if (o.kind == EndKind::Ending) endRun(FindingKind::Ending, o.n, "", 0, "");
        endRun(FindingKind::GameOver, 0, "", 0, "");
    }
    endRun(FindingKind::Title, 0, "", 0, "");
}

void onFatal(const char* message)
{
    ErrorPlace place = placeNow();
    endRun(FindingKind::Error, 0, place.file, place.line, message);
}

// ---- Coverage ----------------------------------------------------------------------------

void onLinesRun(const char* text, const char* from, const char* to)
{
    noteScene();
    // The way replayed was played before to the end: its lines are marked already.
    if (wayAt < way.size()) return;
    if (text != watchedText) {
        watchedText = text;
        watchedFile = fileOf(placeNow().file);
    }
    // Blanks and line breaks at the ends belong to no line run.
    while (from < to && (*from == ' ' || *from == '\t' || *from == '\r' || *from == '\n')) ++from;
    if (from >= to) return;
    const char* start = from;
    while (start > text && start[-1] != '\n') --start;
    lineMark(watchedFile, static_cast<int>(start - text));
    for (const char* p = from; p + 1 < to; ++p)
        if (*p == '\n') lineMark(watchedFile, static_cast<int>(p + 1 - text));
    lastFile = watchedFile;
    lastLineStart = static_cast<int>(start - text);
}

// The line (from 1) that starts at byte `offset` of a file of the game; 0 when unknown.
int lineAt(const char* file, int offset)
{
    std::FILE* in = file[0] ? std::fopen(file, "rb") : nullptr;
    if (!in) return 0;
    int line = 1;
    for (int at = 0, ch; at < offset && (ch = std::fgetc(in)) != EOF; ++at)
        if (ch == '\n') ++line;
    std::fclose(in);
    return line;
}

// ---- The state at a decision -------------------------------------------------------------


template <typename T>
void put(std::string* out, const T& value)
{
    out->append(reinterpret_cast<const char*>(&value), sizeof value);
}

void putName(std::string* out, const char* name)
{
    out->append(name);
    out->push_back('\0');
}

// The entries of a table that some scene may read (the others are never looked at).
template <int N>
std::vector<int> liveOf(const bool (&live)[N])
{
    std::vector<int> indexes;
    for (int i = 0; i < N; ++i)
        if (live[i]) indexes.push_back(i);
    return indexes;
}

// The non-zero entries among those, as index and value.
template <int N>
void putLive(std::string* out, const int (&table)[N], const std::vector<int>& live)
{
    for (int i : live)
        if (table[i] != 0) {
            put(out, i);
            put(out, table[i]);
        }
    put(out, -1);
}

struct LiveEntries {
    std::vector<int> items, flags, checks, paras, marks;
};

const LiveEntries& liveEntries()
{
    static const LiveEntries live = [] {
        const SharedHead& head = shared();
        return LiveEntries{liveOf(head.liveItem), liveOf(head.liveFlag), liveOf(head.liveCheck),
                           liveOf(head.livePara), liveOf(head.liveMark)};
    }();
    return live;
}

// The scene indexes entered in this process's runs, in order: only those can be loaded or
// read-marked in a game (a load of a save is never explored).
std::vector<int> sceneIndexes;

void onSceneEntered(int index)
{
    auto at = std::lower_bound(sceneIndexes.begin(), sceneIndexes.end(), index);
    if (at == sceneIndexes.end() || *at != index) sceneIndexes.insert(at, index);
}

constexpr int kSceneMarks = 20;   // findcheck entries a scene start clears

// What the state needs of a loaded scene text: a hash of its content, whether it holds the
// words its conditions would test the read mark, the scene left and the marks by (they find
// their keywords by containment, so any occurrence may be one), and the parameters it names.
struct SceneFacts {
    uint64_t hash;
    bool read, from, check;
    unsigned paras;
};

// By the text's address: a text stays where it is for the whole of a game, and every run
// forgets them (the next game loads its scenes anew, perhaps where another scene stood).
std::unordered_map<const char*, SceneFacts> factsOf;

const SceneFacts& sceneFacts(const char* text)
{
    auto found = factsOf.find(text);
    if (found != factsOf.end()) return found->second;
    SceneFacts facts{hashBytes(text, std::strlen(text)).a, std::strstr(text, "read") != nullptr,
                     std::strstr(text, "from") != nullptr, std::strstr(text, "check") != nullptr,
                     paraMentions(text)};
    return factsOf.emplace(text, facts).first->second;
}

// Everything the future of the game at this decision depends on. Two states with the same
// bytes go on the same way whatever came before them: the game state, the block state of the
// running scene and where in its text it stands, the texts of the scenes loaded, and the
// decision itself. Left out is what nothing ahead can read:
// - an item, flag, mark, parameter or time mark that no scene can read (liveness.h);
// - the scene clock counts only through the scenes elapsed since each time mark, and those
//   only up to one past the largest number a time condition compares with;
// - a scene's read mark, and whether the running scene was read before, count only for a
//   scene whose text holds "read" (the condition);
// - a parameter that every scene sets afresh before reading it counts only while a scene
//   that names it runs, and the marks cleared at every scene start only while one that
//   tests marks runs;
// - which scenes were loaded counts only for an index more than one name leads to (else the
//   same file is read whenever it is loaded: liveness.h);
// - the scene left last counts only while the running scene's text holds "from" (the
//   condition): leaving the scene replaces it;
// - HP and Guts as the scene began, and the picks of the last choice, are read by the saves
//   and by the choice itself only.
// Merging is refused for a draw made while a choice carries out its picks: what the picks
// still to carry out do was read before the state changed.
std::string stateBytes(const Decision& d, bool* mergeable)
{
    std::string bytes;
    bytes.reserve(4096);
    put(&bytes, static_cast<int>(d.kind));
    put(&bytes, d.count);
    put(&bytes, d.picks);
    put(&bytes, d.available);
    put(&bytes, d.mode);
    for (int i = 0; d.texts && i < d.count; ++i) putName(&bytes, d.texts[i]);
    for (int i = 0; d.scenes && i < d.count; ++i) putName(&bytes, d.scenes[i]);
    int stage = 0;
    const char* text = runningScene(&bytes, &stage);
    const SceneFacts* running = text ? &sceneFacts(text) : nullptr;
    put(&bytes, running ? running->hash : 0);
    *mergeable = !(d.kind == DecisionKind::Draw && stage == 4);

    for (int v : {t, a, b, c, HP, Guts, HPmax, Gutsmax}) put(&bytes, v);
    put(&bytes, !running || running->read ? reread : 0);
    putName(&bytes, nextpoint);
    putName(&bytes, !running || running->from ? prepoint : "");
    const SharedHead& head = shared();
    const LiveEntries& live = liveEntries();
    putLive(&bytes, item, live.items);
    // A parameter every scene sets afresh counts only while a scene that names it runs.
    unsigned paraCounts = running ? head.paraKept | running->paras : 0x3ffu;
    for (int i : live.paras)
        if (parameter[i] != 0 && (paraCounts & (1u << i))) {
            put(&bytes, i);
            put(&bytes, parameter[i]);
        }
    put(&bytes, -1);
    // The marks below 20 are cleared as every scene starts: they count only in a scene that
    // tests them.
    bool sceneMarks = !running || running->check;
    for (int i : live.checks)
        if (findcheck[i] != 0 && (i >= kSceneMarks || sceneMarks)) {
            put(&bytes, i);
            put(&bytes, findcheck[i]);
        }
    put(&bytes, -1);
    putLive(&bytes, flag, live.flags);
    for (int i : live.marks) {
        long elapsed = static_cast<long>(scripttime) - timecheck[i];
        put(&bytes, elapsed > head.timeCap ? static_cast<long>(head.timeCap) : elapsed);
    }
    for (int i : sceneIndexes) {
        const char* loaded = scriptcheck[i] ? scripttext[i] : nullptr;
        if (loaded && head.sharedIndex[i]) {
            put(&bytes, i);
            put(&bytes, sceneFacts(loaded).hash);
        }
        // A read mark counts where the scene's text can test it; a scene not loaded (marked
        // by --set or a load) keeps its mark.
        if (scriptread[i] && (!loaded || sceneFacts(loaded).read)) put(&bytes, -i - 1);
    }
    return bytes;
}

// ---- The answers a decision offers -------------------------------------------------------

// "choose TEXT", or "choose #N" when the text would not name the option: an earlier option
// still offered has the same text, or the text is empty or starts with #.
std::string chooseWords(const Decision& d, int option, const int* picked, int pickedCount)
{
    const char* text = d.texts[option - 1];
    bool byText = text[0] && text[0] != '#' && !std::strpbrk(text, " \t\r\n");
    for (int j = 1; j < option && byText; ++j) {
        bool taken = false;
        for (int k = 0; k < pickedCount; ++k) taken = taken || picked[k] == j;
        if (!taken && std::strcmp(d.texts[j - 1], text) == 0) byText = false;
    }
    return byText ? std::string("choose ") + text : "choose #" + std::to_string(option);
}

// Every order of `picks` different options.
void orders(const Decision& d, Answer& partial, int k, std::string words, std::vector<KeptAnswer>* out)
{
    if (k == d.picks || k >= kDecisionPicks) {
        out->push_back({partial, words});
        return;
    }
    for (int option = 1; option <= d.count; ++option) {
        bool taken = false;
        for (int j = 0; j < k; ++j) taken = taken || partial.value[j] == option;
        if (taken) continue;
        partial.value[k] = option;
        std::string more = words + (k ? "\n" : "") + chooseWords(d, option, partial.value, k);
        orders(d, partial, k + 1, more, out);
        partial.value[k] = 0;
    }
}

// The values of a draw tried: every one of a range of ten or less; else ten spread over it,
// the first and the last among them.
std::vector<int> drawValues(int count)
{
    std::vector<int> values;
    if (count <= 10) {
        for (int v = 0; v < count; ++v) values.push_back(v);
        return values;
    }
    for (int i = 0; i < 10; ++i) values.push_back(static_cast<int>((static_cast<long long>(count - 1) * i + 4) / 9));
    return values;
}

std::vector<KeptAnswer> answersOf(const Decision& d)
{
    std::vector<KeptAnswer> answers;
    static const char* const kMenuWords[] = {"menu search", "menu items", "menu move"};
    switch (d.kind) {
    case DecisionKind::Choice: {
        Answer partial{};
        if (d.picks >= 1 && d.picks <= d.count) orders(d, partial, 0, "", &answers);
        break;
    }
    case DecisionKind::MoveList:
        for (int i = 0; i < d.count; ++i) {
            const char* scene = d.scenes[i];
            bool nameable = scene[0] && !std::strpbrk(scene, " \t#");
            bool again = false;
            for (int j = 0; j < i; ++j) again = again || std::strcmp(d.scenes[j], scene) == 0;
            // A later destination of the same name leads the same way as the first.
            if (nameable && again) continue;
            answers.push_back({Answer{{i + 1}}, nameable ? std::string("goto-scene ") + scene
                                                         : "choose #" + std::to_string(i + 1)});
        }
        break;
    case DecisionKind::Menu:
        for (int i = 0; i < 3; ++i)
            if (d.available & (1u << i)) answers.push_back({Answer{{i + 1}}, kMenuWords[i]});
        break;
    case DecisionKind::Slot:
        // Saving or loading a slot changes nothing of the story: the slot screen is left.
        answers.push_back({Answer{{0}}, "slot cancel"});
        break;
    case DecisionKind::Draw:
        for (int v : drawValues(d.count)) answers.push_back({Answer{{v}}, "draw " + std::to_string(v)});
        break;
    case DecisionKind::Title: break;
    }
    return answers;
}

// ---- Taking the decisions ----------------------------------------------------------------

void take(int state, const Answer& answer, const std::string& words, Answer* out)
{
    fromState = state;
    fromDepth = stateAt(state).depth + 1;
    fromWords = words;
    *out = answer;
    RunnerRecord& r = runnerAt(runner);
    std::snprintf(r.words, sizeof r.words, "%s", words.c_str());
    r.state = state;
}

// The way replayed went elsewhere than it went before: the game is not the same twice.
[[noreturn]] void strayed(const Decision& d, int state)
{
    std::string message = std::string("replaying its way, the run met ") + decisionWords(static_cast<int>(d.kind)) +
                          " where the way had " + decisionWords(stateAt(state).kind) +
                          ": the game did not play the same twice";
    endRun(FindingKind::Crash, 0, "", 0, message.c_str());
}

bool answer(const Decision& d, Answer* out)
{
    replayPlayerAnswered();
    if (d.kind == DecisionKind::Title) {
        if (started) endAtTitle();
        started = true;
        out->value[0] = 1;
        return true;
    }
    noteScene();
    if (wayAt < way.size()) {
        int state = way[wayAt].first;
        if (stateAt(state).kind != static_cast<int>(d.kind)) strayed(d, state);
        *out = way[wayAt++].second;
        if (wayAt == way.size()) {
            take(work.state, work.answer, textAt(work.words), out);
            lastAnswer = work.answer;
        }
        return true;
    }
    if (outcomeBegan()) tellOutcome();

    bool mergeable = true;
    std::string bytes = stateBytes(d, &mergeable);
    ErrorPlace place = placeNow();
    NewState s{hashBytes(bytes.data(), bytes.size()), mergeable, fromState, fromDepth, &fromWords,
               &lastAnswer, static_cast<int>(d.kind), fileOf(place.file), place.line, nextpoint};
    bool added = false;
    int state = stateMeet(s, &added);
    if (state < 0) {
        stateFlag(fromState, kUnknown);
        leave();
    }
    if (fromState >= 0) edgeAdd(fromState, state, fromDepth, fromWords, lastAnswer);
    if (!added) {
        // The rest of this way is known; the run goes on with an answer of the state that no
        // run has followed yet, if one is left, rather than a new run replaying the way here.
        WorkRecord claimed;
        if (!workClaim(state, &claimed)) leave();
        take(state, claimed.answer, textAt(claimed.words), out);
        lastAnswer = claimed.answer;
        return true;
    }

    std::vector<KeptAnswer> answers = answersOf(d);
    // No answer: the game cannot go on from here (a dead end, told by the analysis).
    if (answers.empty()) leave();
    std::vector<KeptAnswer> later(answers.begin() + 1, answers.end());
    if (workPushAll(state, later) < later.size()) stateFlag(state, kUnknown);
    take(state, answers[0].answer, answers[0].words, out);
    lastAnswer = answers[0].answer;
    return true;
}


// Plays the run of one answer to follow, from a new game.
void follow(const WorkRecord& followed)
{
    work = followed;
    way.clear();
    wayAt = 0;
    if (work.state >= 0) {
        way = wayOfAnswers(work.state);
        way.push_back({work.state, work.answer});
    }
    fromState = kNoState;
    fromDepth = 0;
    fromWords = titleComesFirst() ? "title new" : "";
    lastAnswer = Answer{};
    started = !titleComesFirst();
    outcomeSeen = lastOutcome().serial;
    lastScripttime = -1;
    lastScene[0] = '\0';
    atTitle = false;
    lastFile = -1;
    watchedText = nullptr;
    factsOf.clear();
    RunnerRecord& r = runnerAt(runner);
    r.state = work.state;
    std::snprintf(r.words, sizeof r.words, "%s", textAt(work.words));
    // What a new launch of the game starts from that a new game does not reset.
    std::memset(findcheck, 0, sizeof findcheck);
    authorSceneAgain();
    // A used-up input answers every poll with a quit request, which would end the ending
    // show (it polls for a quit) and any screen that polls; an hour of virtual time to wait
    // keeps it from running out, while a game that never looks for the player is still asked
    // to quit by the back end.
    std::string error;
    replayLoad("wait 3600000\n", "", &error);
    try {
        playGames();
        // The game ended without a decision: it was asked to quit for never waiting for the
        // player, or it waited for an hour on a screen that offers no decision.
        const char* file = lastFile >= 0 ? fileAt(lastFile).name : "";
        record(FindingKind::Busy, 0, file, lineAt(file, lastLineStart),
               replayStoppedBusy() ? "" : "it waited an hour for the player where nothing can be decided");
    } catch (const RunOver&) {
    }
    placeNone();
}

}  // namespace

void searchRunner(int slot)
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGCHLD, SIG_DFL);
    runner = slot;
    quietSet(true);
    textFilesKept(true);
    decisionHooks({answer, nullptr});
    runWatch({onLinesRun, onFatal, onSceneEntered});
    WorkRecord next;
    while (workTake(&next)) {
        shared().runs.fetch_add(1);
        follow(next);
    }
    _exit(0);
}
