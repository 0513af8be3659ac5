// Reading the game's own texts from system/game.txt.
#pragma once

#include <functional>
#include <string>

// Reads the text of a game.txt (one "key = value" a line; blank lines and lines starting
// with # are skipped) into the game texts: caption, gameover, chapter1 to chapter5; and into
// the game's own defaults of the player's settings (settingsDefaults): textspeed (instant or
// 10 to 200), autopace (1 to 9), skip (all or read), marker (on or off). A line
// that is not key = value, a key not among these, a value too long, or a narration not of the
// game-over form (or one the message window cannot lay out) is reported on standard error,
// naming file and line, and leaves the text as it was.
// report, when given, is told each refused line instead (its number and the problem, which
// says what the game does instead); the checker reads the file through it.
void readGameTexts(const char* text, const char* file,
                   const std::function<void(int line, const std::string& problem)>& report = nullptr);

// Reads ./system/game.txt when the game has one.
void loadGameTexts();
