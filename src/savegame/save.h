// Save files: the resume file "./save/0", written after every scene, and the three slots
// "./save/1" to "./save/3", written from the story and read from the title.
#pragma once

constexpr int kSlotRecord = 464;      // bytes of a slot record
constexpr int kResumeRecord = 4474;   // bytes of the resume record

// The decoded contents of the save files. Row r holds file (r + 1) % 4: rows 0-2 are the
// slots, row 3 the resume file. Rows whose file does not exist are left as they were.
struct SaveData {
    int heads[4][6];          // t, HPmax, Gutsmax, scripttime; row 3 also HPtemp, Gutstemp
    int items[4][70];
    int flags[4][2800];
    int timechecks[4][280];
    int parameters[4][10];
    int reads[4][28000];      // row 3 only
    char prepoints[4][64];    // row 3 only
    char nextpoints[4][64];   // row 3 only
};

// Reads and decodes the files of rows 0 to count - 1 (3: the slots; 4: the resume file too).
// A damaged file (cut short, with a 0 byte in its record, or no regular file) leaves its row
// as it was and is told by saveCondition. The record answered is overwritten by the next call.
const SaveData& dataLoad(int count);

// What stands at save file n: nothing, a damaged save (shown as such, never loaded), or a
// save that loads. Reads the file.
enum class SaveCondition { Missing, Damaged, Sound };
SaveCondition saveCondition(int n);

// Mode 0: the slot save, through the slot screen. Mode 1: the resume save.
void save(int mode);

// Mode 0: the slot load, through the slot screen (e 2 when no slot was chosen). Mode 1: the
// resume load.
void load(int mode);

// Whether save file n exists. Anything there but a regular file counts, and is read as a
// damaged save.
bool saveExists(int n);

// Removes the temporary files of saves that a kill interrupted ("./save/N.writing" and those
// of the companion records); the saves themselves are as they were before.
void removeUnfinishedSaves();

// Encodes the game state as a slot record (mode 0) or a resume record (mode 1) into record,
// which holds kResumeRecord bytes; answers the record's length.
int encodeRecord(int mode, unsigned char* record);

// Decodes a record into row `row` of data (row 3 reads a resume record, others a slot record).
void decodeRecord(const unsigned char* bytes, int row, SaveData* data);

// Whether the bytes hold a record of the given length that reading accepts.
bool recordValid(const unsigned char* bytes, int length, int recordLength);
