#include "core/nearest.h"

#include <algorithm>

namespace {

// The text as one entry per character (a UTF-8 lead byte and its continuation bytes).
std::vector<std::string> characters(const std::string& text)
{
    std::vector<std::string> out;
    for (char ch : text) {
        if ((static_cast<unsigned char>(ch) & 0xC0) == 0x80 && !out.empty()) out.back() += ch;
        else out.emplace_back(1, ch);
    }
    return out;
}

}  // namespace

int editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::string> x = characters(a), y = characters(b);
    std::vector<int> row(y.size() + 1);
    for (size_t j = 0; j <= y.size(); ++j) row[j] = static_cast<int>(j);
    for (size_t i = 1; i <= x.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (size_t j = 1; j <= y.size(); ++j) {
            int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] != y[j - 1])});
            diagonal = above;
        }
    }
    return row[y.size()];
}

bool nearEnough(const std::string& word, const std::string& known)
{
    int d = editDistance(word, known);
    return d > 0 && d <= 2 && d < static_cast<int>(characters(known).size());
}

std::vector<std::string> nearestWords(const std::string& word, const std::vector<std::string>& candidates)
{
    std::vector<std::string> best;
    int bestDistance = 3;
    for (const std::string& candidate : candidates) {
        if (!nearEnough(word, candidate)) continue;
        int d = editDistance(word, candidate);
        if (d < bestDistance) best.clear(), bestDistance = d;
        if (d == bestDistance && std::find(best.begin(), best.end(), candidate) == best.end())
            best.push_back(candidate);
    }
    return best;
}

std::string didYouMean(const std::vector<std::string>& nearest)
{
    if (nearest.empty()) return "";
    std::string text = "; did you mean `" + nearest[0] + "`";
    for (size_t i = 1; i < nearest.size(); ++i) text += (i + 1 == nearest.size() ? " or `" : ", `") + nearest[i] + "`";
    return text + "?";
}
