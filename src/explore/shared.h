// What the processes of a search share: the states met, the ways between them, the answers
// still to follow, the findings, the lines run and the moves between scenes. All of it lives
// in memory mapped shared before the first process is forked; every change is made under one
// lock (a process that dies holding it gives it up). Sizes are fixed when it is made; memory is
// taken only as it is used.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/decision.h"

// A state's identity: 128 bits of the hash of everything that decides its future.
struct StateKey128 {
    uint64_t a, b;
    bool operator==(const StateKey128& o) const { return a == o.a && b == o.b; }
};

// How a run ends, or what a finding is.
enum class FindingKind : int {
    Ending, GameOver, Title, Error, Busy, Crash, DeadEnd,
};

constexpr int kNoState = -1;   // before the first decision
constexpr int kFileName = 96;
constexpr int kMessage = 256;

struct StateRecord {
    StateKey128 key;
    int parent;          // the state it was first (or most shortly) reached from; kNoState
    int depth;           // decisions from the start along that way
    uint32_t words;      // the words of the answer taken there (offset into the text arena)
    Answer in;           // that answer
    int kind;            // its DecisionKind
    int file;            // where it stands: the scene file (index into the files) and line
    int line;
    char scene[64];      // the scene running
    std::atomic<int> flags;   // kEnds, kUnknown
    long work;           // its answers kept to follow: works [work, work + works)
    int works;
};

// StateRecord::flags
constexpr int kEnds = 1;      // an answer ends the run here (an ending, error...)
constexpr int kUnknown = 2;   // an answer leads past --max-states: its future is unknown

struct EdgeRecord {
    int from, to;
};

// An answer still to follow: from a state, or from the start (kNoState, no answer).
struct WorkRecord {
    int state;
    Answer answer;
    uint32_t words;
    bool taken;   // a run follows it already
};

// What a running process is on: the state its way left last and the words of the answer it
// gave there, so that a crash can be told with the way to it. Written by its runner alone.
struct RunnerRecord {
    int state;
    char words[2048];
};

constexpr int kRunnersAtMost = 256;

struct FindingRecord {
    FindingKind kind;
    int n;                  // the ending's number; the signal of a crash
    char file[kFileName];   // where (a fatal error, a busy loop, a dead end)
    int line;
    char message[kMessage];
    char scene[64];
    int from;               // the state the shortest way found leaves from
    int depth;              // its length
    uint32_t words;         // the words from that state on
    long count;             // how often it was met
};

struct FileRecord {
    char name[kFileName];   // "script/A001.txt"
};

constexpr int kFilesAtMost = 2048;
constexpr int kFileBytes = 131072;        // a scene's text at most: one bit per byte offset
constexpr int kFindingsAtMost = 4096;
constexpr int kMovesAtMost = 16384;

struct MoveRecord {
    char from[64], to[64];
};

struct SharedHead {
    std::atomic<long> runs;       // runs started
    int jobs;
    int maxStates;
    int states;
    long edges, edgeCapacity;
    long workHead, workTail, workCapacity;   // the answers still to follow: [head, tail)
    int idle;                     // runners waiting for an answer to follow
    bool over;                    // the search is over
    uint32_t text, textCapacity;
    int findings;
    int files;
    int moves;
    bool stopped;                 // a state was left unexplored for --max-states
    bool full;                    // a table filled up: the results are incomplete
    int timeCap;                  // elapsed scenes since a time mark count up to this
    // The entries some scene may read in a condition: the others never change what happens.
    bool liveItem[70], liveFlag[2800], liveCheck[56], livePara[10], liveMark[280];
    unsigned paraKept;            // bit D: some scene may read parameter D as it was on entry
    // The scene indexes more than one name of the game leads to: for those, which file was
    // loaded under the index counts (a scene once loaded is not read again in a game).
    bool sharedIndex[28000];
};

// Makes the shared memory for up to maxStates states; false when it cannot be mapped.
bool sharedMake(int maxStates, int jobs);

SharedHead& shared();
StateRecord& stateAt(int i);
const EdgeRecord& edgeAt(long i);
const FindingRecord& findingAt(int i);
const FileRecord& fileAt(int i);
const MoveRecord& moveAt(int i);
const char* textAt(uint32_t offset);

// The state of that key: its index with *added false when it was met before; a new index
// with *added true (parent, depth, words and the rest filled) when not; -1 when the table is
// full (--max-states).
struct NewState {
    StateKey128 key;
    bool mergeable;       // false: a state of its own whatever its key (never met again)
    int parent, depth;
    const std::string* words;
    const Answer* in;
    int kind, file, line;
    const char* scene;
};
int stateMeet(const NewState& state, bool* added);

// A way from one state to another (the answer kept when it is the shorter way there).
void edgeAdd(int from, int to, int depth, const std::string& words, const Answer& answer);

// The way kept from the start to state s: for each state on it before s, the state and the
// answer given there, in order.
std::vector<std::pair<int, Answer>> wayOfAnswers(int s);

// Keeps an answer to follow later, waking a runner that waits; false when the queue is full.
bool workPush(int state, const Answer& answer, const std::string& words);
// Keeps the answers of a state met for the first time, all together, to be followed later by
// a run of their own or taken by a run that meets the state again; answers how many were kept
// (fewer than given when the queue is full).
struct KeptAnswer {
    Answer answer;
    std::string words;
};
size_t workPushAll(int state, const std::vector<KeptAnswer>& answers);
// A run stands at state s, met before: takes one of its answers not yet followed, so that the
// run goes on with it instead of a new run replaying the way there; false when none is left.
bool workClaim(int s, WorkRecord* work);
// Takes the oldest answer to follow, waiting while the queue is empty and another runner may
// still add to it; false once the search is over: nothing waits and every runner waits.
bool workTake(WorkRecord* work);
long workWaiting();
// Ends the search: every runner that waits, or asks next, is told it is over.
void workStop();
// After a search cut short: the states whose answers were never followed to the end (still
// waiting, or on a run stopped midway) lead to the unknown.
void unfollowedUnknown(int jobs);

// The record of runner slot i (0 to kRunnersAtMost - 1).
RunnerRecord& runnerAt(int i);

// Sets a flag of a state (kNoState: of the start).
void stateFlag(int state, int flag);

// Records a finding met from state `from` through the answer's words; findings of the same
// kind, number, place and message are one, keeping the shortest way.
void findingAdd(FindingKind kind, int n, const char* file, int line, const char* message,
                const char* scene, int from, int depth, const std::string& words);

// The index of the scene file of that name, added when new; -1 when the table is full.
int fileIndex(const char* name);

// Marks byte offset `at` of file i as the start of a line that ran; whether it was unmarked.
void lineMark(int file, int at);
bool lineMarked(int file, int at);

// A move from one scene to another (or to "ending N", "game over", "title").
void moveAdd(const char* from, const char* to);

// A decision of that kind (a DecisionKind) in words: "a choice", "the field menu"...
const char* decisionWords(int kind);
