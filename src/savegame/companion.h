// The companion record beside each save file ("./save/N.more"): the values that the save's
// own bytes cannot hold (item counts, time marks, the counters above 126, whole scene names),
// so that a load gives back exactly what was saved. The save file itself keeps its bytes; a
// companion belongs to one file's bytes by their checksum, and is ignored (the file then
// loads as it always has) when it is missing, damaged, of another version or another file's.
#pragma once

// The companion's path for save file n.
void companionPath(char* path, int size, int n);

// Encodes the game state's exact values for the record just written as save file bytes
// (length kSlotRecord or kResumeRecord) into out, which holds kCompanionSize bytes; answers
// the companion's length.
constexpr int kCompanionSize = 1612;
int encodeCompanion(const unsigned char* record, int length, unsigned char* out);

// Where the companion bytes belong to the record bytes (of a slot or of the resume file, by
// its length), puts its exact values into the game state as a load of that record would
// (a resume record's HPtemp and Gutstemp into HP and Guts, and its scene names) and answers
// true; otherwise answers false and changes nothing.
bool restoreFromCompanion(const unsigned char* companion, int companionLength,
                          const unsigned char* record, int length);
