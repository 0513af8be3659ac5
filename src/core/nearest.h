// The nearest of a few known words to one that is not known, for "did you mean" in messages to
// authors. Words are compared by their characters (UTF-8), so a Japanese label one character
// off is as near as a command word one letter off.
#pragma once

#include <string>
#include <vector>

// The number of characters to insert, delete or replace to turn a into b.
int editDistance(const std::string& a, const std::string& b);

// Whether a word is near enough to another to have been meant: at most two characters off, and
// fewer than it has.
bool nearEnough(const std::string& word, const std::string& known);

// The candidates nearest to word among those near enough (several when they tie), none when no
// candidate is near enough; word itself is never among them.
std::vector<std::string> nearestWords(const std::string& word, const std::vector<std::string>& candidates);

// "; did you mean `a`?" or "; did you mean `a` or `b`?" for nearestWords' answer; "" for none.
std::string didYouMean(const std::vector<std::string>& nearest);
