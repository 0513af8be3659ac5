#include "explore/shared.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include <pthread.h>
#include <sys/mman.h>

namespace {

struct Region {
    pthread_mutex_t lock;
    pthread_cond_t work;   // an answer to follow was kept, or the search is over
    SharedHead head;
};

Region* region;
StateRecord* states;
int* slots;          // the hash table: state index + 1, 0 empty
uint64_t slotMask;
EdgeRecord* edges;
char* texts;
FindingRecord* findings;
FileRecord* files;
std::atomic<uint8_t>* lines;   // kFilesAtMost bitmaps of kFileBytes bits
MoveRecord* moves;
WorkRecord* works;
RunnerRecord* runners;

void* mapShared(size_t bytes)
{
    void* at = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                    MAP_SHARED | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return at == MAP_FAILED ? nullptr : at;
}

class Locked {
public:
    Locked()
    {
        // A process that died holding the lock left the tables as they were between two
        // whole changes: every change below is made in an order that a reader may meet.
        if (pthread_mutex_lock(&region->lock) == EOWNERDEAD) pthread_mutex_consistent(&region->lock);
    }
    ~Locked() { pthread_mutex_unlock(&region->lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// Keeps the text in the arena; answers its offset (0, the empty text, when it is full).
uint32_t keepText(const std::string& text)
{
    SharedHead& h = region->head;
    if (h.text + text.size() + 1 > h.textCapacity) {
        h.full = true;
        return 0;
    }
    uint32_t at = h.text;
    std::memcpy(texts + at, text.c_str(), text.size() + 1);
    h.text += static_cast<uint32_t>(text.size() + 1);
    return at;
}

void copyName(char* to, size_t size, const char* from) { std::snprintf(to, size, "%s", from ? from : ""); }

}  // namespace

bool sharedMake(int maxStates, int jobs)
{
    uint64_t slotCount = 1024;
    while (slotCount < 2ull * static_cast<uint64_t>(maxStates)) slotCount *= 2;
    long edgeCapacity = static_cast<long>(maxStates) * 16 + 4096;
    uint32_t textCapacity = 1u << 31;
    region = static_cast<Region*>(mapShared(sizeof(Region)));
    states = static_cast<StateRecord*>(mapShared(sizeof(StateRecord) * (static_cast<size_t>(maxStates) + 1)));
    slots = static_cast<int*>(mapShared(sizeof(int) * slotCount));
    edges = static_cast<EdgeRecord*>(mapShared(sizeof(EdgeRecord) * static_cast<size_t>(edgeCapacity)));
    texts = static_cast<char*>(mapShared(textCapacity));
    findings = static_cast<FindingRecord*>(mapShared(sizeof(FindingRecord) * kFindingsAtMost));
    files = static_cast<FileRecord*>(mapShared(sizeof(FileRecord) * kFilesAtMost));
    lines = static_cast<std::atomic<uint8_t>*>(mapShared(static_cast<size_t>(kFilesAtMost) * kFileBytes / 8));
    moves = static_cast<MoveRecord*>(mapShared(sizeof(MoveRecord) * kMovesAtMost));
    works = static_cast<WorkRecord*>(mapShared(sizeof(WorkRecord) * static_cast<size_t>(edgeCapacity)));
    runners = static_cast<RunnerRecord*>(mapShared(sizeof(RunnerRecord) * kRunnersAtMost));
    if (!region || !states || !slots || !edges || !texts || !findings || !files || !lines || !moves ||
        !works || !runners)
        return false;
    slotMask = slotCount - 1;
    new (&region->head) SharedHead{};
    SharedHead& h = region->head;
    h.jobs = jobs;
    h.maxStates = maxStates;
    h.edgeCapacity = edgeCapacity;
    h.workCapacity = edgeCapacity;
    h.text = 1;   // offset 0 is the empty text
    h.textCapacity = textCapacity;
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    pthread_mutex_init(&region->lock, &attributes);
    pthread_mutexattr_destroy(&attributes);
    pthread_condattr_t shared;
    pthread_condattr_init(&shared);
    pthread_condattr_setpshared(&shared, PTHREAD_PROCESS_SHARED);
    pthread_cond_init(&region->work, &shared);
    pthread_condattr_destroy(&shared);
    return true;
}

SharedHead& shared() { return region->head; }
StateRecord& stateAt(int i) { return states[i]; }
const EdgeRecord& edgeAt(long i) { return edges[i]; }
const FindingRecord& findingAt(int i) { return findings[i]; }
const FileRecord& fileAt(int i) { return files[i]; }
const MoveRecord& moveAt(int i) { return moves[i]; }
const char* textAt(uint32_t offset) { return texts + offset; }

int stateMeet(const NewState& s, bool* added)
{
    Locked hold;
    SharedHead& h = region->head;
    *added = false;
    uint64_t slot = s.key.a & slotMask;
    if (s.mergeable) {
        for (; slots[slot] != 0; slot = (slot + 1) & slotMask) {
            int i = slots[slot] - 1;
            if (states[i].key == s.key) return i;
        }
    }
    if (h.states >= h.maxStates) {
        h.stopped = true;
        return -1;
    }
    int i = h.states;
    StateRecord& r = states[i];
    r.key = s.key;
    r.parent = s.parent;
    r.depth = s.depth;
    r.words = keepText(*s.words);
    r.in = s.in ? *s.in : Answer{};
    r.kind = s.kind;
    r.file = s.file;
    r.line = s.line;
    copyName(r.scene, sizeof r.scene, s.scene);
    r.flags.store(0);
    r.work = 0;
    r.works = 0;
    if (s.mergeable) slots[slot] = i + 1;
    h.states = i + 1;
    *added = true;
    return i;
}

void edgeAdd(int from, int to, int depth, const std::string& words, const Answer& answer)
{
    Locked hold;
    SharedHead& h = region->head;
    if (h.edges >= h.edgeCapacity) {
        h.full = true;
    } else {
        edges[h.edges] = {from, to};
        ++h.edges;
    }
    // A shorter way to a state met before makes a shorter input to reproduce what follows.
    // Depths only ever fall, so that the ways back to the start stay free of loops.
    StateRecord& r = states[to];
    if (from != to && depth < r.depth) {
        r.parent = from;
        r.depth = depth;
        r.words = keepText(words);
        r.in = answer;
    }
}

std::vector<std::pair<int, Answer>> wayOfAnswers(int s)
{
    Locked hold;
    std::vector<std::pair<int, Answer>> way;
    for (int steps = 0; s >= 0 && steps <= region->head.states; ++steps) {
        int parent = states[s].parent;
        if (parent < 0) break;
        way.push_back({parent, states[s].in});
        s = parent;
    }
    return std::vector<std::pair<int, Answer>>(way.rbegin(), way.rend());
}

bool workPush(int state, const Answer& answer, const std::string& words)
{
    Locked hold;
    SharedHead& h = region->head;
    if (h.workTail >= h.workCapacity) {
        h.full = true;
        return false;
    }
    works[h.workTail] = {state, answer, keepText(words), false};
    ++h.workTail;
    pthread_cond_signal(&region->work);
    return true;
}

size_t workPushAll(int state, const std::vector<KeptAnswer>& answers)
{
    Locked hold;
    SharedHead& h = region->head;
    size_t kept = 0;
    long first = h.workTail;
    for (; kept < answers.size(); ++kept) {
        if (h.workTail >= h.workCapacity) {
            h.full = true;
            break;
        }
        works[h.workTail] = {state, answers[kept].answer, keepText(answers[kept].words), false};
        ++h.workTail;
    }
    if (state >= 0) {
        states[state].work = first;
        states[state].works = static_cast<int>(kept);
    }
    if (kept == 1) pthread_cond_signal(&region->work);
    if (kept > 1) pthread_cond_broadcast(&region->work);
    return kept;
}

bool workClaim(int s, WorkRecord* work)
{
    if (s < 0) return false;
    Locked hold;
    const StateRecord& r = states[s];
    for (long i = r.work; i < r.work + r.works; ++i) {
        if (works[i].taken) continue;
        works[i].taken = true;
        *work = works[i];
        return true;
    }
    return false;
}

bool workTake(WorkRecord* work)
{
    Locked hold;
    SharedHead& h = region->head;
    for (;;) {
        // Answers a run has taken on its way are passed over.
        while (h.workHead < h.workTail && works[h.workHead].taken) ++h.workHead;
        if (h.workHead < h.workTail) break;
        if (h.over) return false;
        // The last runner to find nothing left to follow ends the search: every other one
        // waits here too, so none can keep an answer any more.
        if (h.idle + 1 >= h.jobs) {
            h.over = true;
            pthread_cond_broadcast(&region->work);
            return false;
        }
        ++h.idle;
        if (pthread_cond_wait(&region->work, &region->lock) == EOWNERDEAD)
            pthread_mutex_consistent(&region->lock);
        --h.idle;
    }
    works[h.workHead].taken = true;
    *work = works[h.workHead++];
    return true;
}

void workStop()
{
    Locked hold;
    region->head.over = true;
    pthread_cond_broadcast(&region->work);
}

void unfollowedUnknown(int jobs)
{
    Locked hold;
    SharedHead& h = region->head;
    for (long i = h.workHead; i < h.workTail; ++i)
        if (!works[i].taken) stateFlag(works[i].state, kUnknown);
    for (int i = 0; i < jobs && i < kRunnersAtMost; ++i) stateFlag(runners[i].state, kUnknown);
}

long workWaiting()
{
    Locked hold;
    return region->head.workTail - region->head.workHead;
}

RunnerRecord& runnerAt(int i) { return runners[i]; }

void stateFlag(int state, int flag)
{
    if (state >= 0) states[state].flags.fetch_or(flag);
}

void findingAdd(FindingKind kind, int n, const char* file, int line, const char* message,
                const char* scene, int from, int depth, const std::string& words)
{
    Locked hold;
    SharedHead& h = region->head;
    for (int i = 0; i < h.findings; ++i) {
        FindingRecord& f = findings[i];
        // A busy loop is caught wherever it stands when the back end gives up on it: one loop
        // of a file is one finding, told at the line of its shortest way (the first, on a tie).
        bool anyLine = kind == FindingKind::Busy;
        if (f.kind != kind || f.n != n || (f.line != line && !anyLine) || std::strcmp(f.file, file) != 0 ||
            std::strcmp(f.message, message) != 0)
            continue;
        ++f.count;
        if (depth < f.depth || (anyLine && depth == f.depth && line < f.line)) {
            f.line = line;
            f.from = from;
            f.depth = depth;
            f.words = keepText(words);
            copyName(f.scene, sizeof f.scene, scene);
        }
        return;
    }
    if (h.findings >= kFindingsAtMost) {
        h.full = true;
        return;
    }
    FindingRecord& f = findings[h.findings];
    f.kind = kind;
    f.n = n;
    copyName(f.file, sizeof f.file, file);
    f.line = line;
    copyName(f.message, sizeof f.message, message);
    copyName(f.scene, sizeof f.scene, scene);
    f.from = from;
    f.depth = depth;
    f.words = keepText(words);
    f.count = 1;
    ++h.findings;
}

int fileIndex(const char* name)
{
    Locked hold;
    SharedHead& h = region->head;
    for (int i = 0; i < h.files; ++i)
        if (std::strcmp(files[i].name, name) == 0) return i;
    if (h.files >= kFilesAtMost) {
        h.full = true;
        return -1;
    }
    copyName(files[h.files].name, sizeof files[h.files].name, name);
    return h.files++;
}

void lineMark(int file, int at)
{
    if (file < 0 || at < 0 || at >= kFileBytes) return;
    std::atomic<uint8_t>& byte = lines[static_cast<size_t>(file) * (kFileBytes / 8) + at / 8];
    uint8_t bit = static_cast<uint8_t>(1u << (at % 8));
    // Read first: most lines run again and again, and a write would take the cache line.
    if (!(byte.load(std::memory_order_relaxed) & bit)) byte.fetch_or(bit);
}

bool lineMarked(int file, int at)
{
    if (file < 0 || at < 0 || at >= kFileBytes) return false;
    return lines[static_cast<size_t>(file) * (kFileBytes / 8) + at / 8].load() & (1u << (at % 8));
}

void moveAdd(const char* from, const char* to)
{
    Locked hold;
    SharedHead& h = region->head;
    for (int i = 0; i < h.moves; ++i)
        if (std::strcmp(moves[i].from, from) == 0 && std::strcmp(moves[i].to, to) == 0) return;
    if (h.moves >= kMovesAtMost) {
        h.full = true;
        return;
    }
    copyName(moves[h.moves].from, sizeof moves[h.moves].from, from);
    copyName(moves[h.moves].to, sizeof moves[h.moves].to, to);
    ++h.moves;
}

const char* decisionWords(int kind)
{
    switch (static_cast<DecisionKind>(kind)) {
    case DecisionKind::Choice: return "a choice";
    case DecisionKind::MoveList: return "a move list";
    case DecisionKind::Menu: return "the field menu";
    case DecisionKind::Slot: return "the slot screen";
    case DecisionKind::Draw: return "a random draw";
    case DecisionKind::Title: return "the title";
    }
    return "a decision";
}
