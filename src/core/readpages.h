// The pages this player has seen, in any game and any run of it, kept in "./save/read": a
// held Ctrl skips only these when the settings ask for it. A page is known by a key made
// from the scene it is shown in and the text it shows; the file holds one key a line, and a
// page seen for the first time adds its line at the end.
#pragma once

#include <cstdint>

constexpr char kReadPagesPath[] = "./save/read";

// The key of a page: the scene's name and the page's text.
std::uint64_t pageKey(const char* scene, const char* text);

// Whether the page has been seen before. The file is read the first time it is asked; a
// missing or damaged file, or lines that are not keys, mean pages not seen, never an error.
bool pageSeen(std::uint64_t key);

// Notes that the page has been seen; the first time, its line is added to the file (./save
// made first when needed). A file that cannot be written is told once on standard error, and
// the pages are still known for this run.
void pageSeenNow(std::uint64_t key);

// Forgets the pages known, so that the next question reads the file again.
void readPagesForget();
