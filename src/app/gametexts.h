// Reading the game's own texts from system/game.txt.
#pragma once

#include <functional>
#include <string>

// Reads the text of a game.txt (one "key = value" a line; blank lines and lines starting
// with # are skipped) into the game texts: caption, gameover, chapter1 to chapter5. A line
// that is not key = value, a key not among these, a value too long, or a narration not of the
// game-over form (or one the message window cannot lay out) is reported on standard error,
// naming file and line, and leaves the text as it was.
// report, when given, is told each refused line instead (its number and the problem, which
// says what the game does instead); the checker reads the file through it.
void readGameTexts(const char* text, const char* file,
                   const std::function<void(int line, const std::string& problem)>& report = nullptr);

// Reads ./system/game.txt when the game has one.
void loadGameTexts();
