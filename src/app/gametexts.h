// Reading the game's own texts from system/game.txt.
#pragma once

// Reads the text of a game.txt (one "key = value" a line; blank lines and lines starting
// with # are skipped) into the game texts: caption, gameover, chapter1 to chapter5. A line
// that is not key = value, a key not among these, a value too long, or a narration not of the
// game-over form (or one the message window cannot lay out) is reported on standard error,
// naming file and line, and leaves the text as it was.
void readGameTexts(const char* text, const char* file);

// Reads ./system/game.txt when the game has one.
void loadGameTexts();
