// The story's values by the names the author's options and test scripts give them: flagN,
// itemN, paraN, checkN, timecheckN (N an index into the table), hp, guts, hpmax, gutsmax.
#pragma once

#include <string>

// The keys as a list for messages: "flagN, itemN, ...".
extern const char kStateKeyList[];

enum class KeyFault { None, Unknown, Index, NoIndex };

struct StateKey {
    int* slot;          // the variable named; null with a fault
    KeyFault fault;     // Unknown: no such name; Index: a bad or missing N; NoIndex: N not wanted
    std::string name;   // the name without its number ("flag")
    int size;           // Index: the table's size (N runs from 0 to size - 1)
};

StateKey findStateKey(const std::string& key);

// The fault of a key as a clause, "flag takes a number from 0 to 2799"; empty for none.
std::string keyFaultText(const StateKey& key);
