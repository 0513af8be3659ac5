// What a line's first word is to the game, and what an author who wrote a word the game does
// not know most likely meant.
#pragma once

#include <functional>
#include <string>

// Whether the game knows word as a command: one of its command words, or a word holding a
// keyword it finds by containment (if, else, while, pick, hp, guts, para).
bool isCommandWord(const char* word);

// Words that act only as a line of their own, never as the action of an option.
bool lineOnly(const char* word);

// Whether a command word would take arg (and, for arithmetic, the line) as it stands: the file
// it names is in the game, the scene exists, the number is a number...
using ArgumentFits = std::function<bool(const std::string& command, const std::string& arg)>;

// "; did you mean `bgm`?" for an unknown command word: the near command words whose argument
// fits, else the nearest ones; "" when none is near.
std::string commandAdvice(const std::string& word, const std::string& arg, const ArgumentFits& fits);

// "; did you mean `}else{`?" for a first word beginning with "}" that is no block word, or
// "; did you mean `while`?" for an unknown word on a line with "{"; "" when none is near.
std::string blockWordAdvice(const std::string& word);

// Whether the line (first word, the text after it) reads like an option of a choice: TEXT{,
// TEXT {, change (...) ..., or TEXT followed by an action. isLabel tells the scene's labels.
bool looksLikeOption(const char* word, const char* rest, const std::function<bool(const char*)>& isLabel);
