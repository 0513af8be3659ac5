#include "check/messages.h"

#include <cctype>
#include <cstring>
#include <string>

#include "interpreter/openscript.h"
#include "interpreter/scanner.h"
#include "presentation/textlayout.h"

namespace {

const int kPagesAtMost = 100000;   // a layout that stops advancing is not followed further

// The colour the game takes from a colour word: its first letter decides.
const char* colourShown(const std::string& word)
{
    switch (word.empty() ? '\0' : word[0]) {
    case 'g': return "green";
    case 'r': return "red";
    case 'b': return word.size() > 2 && word[2] == 'u' ? "blue" : "black";
    default: return "white";
    }
}

bool knownColour(const std::string& word)
{
    return word == "red" || word == "green" || word == "blue" || word == "white" || word == "black";
}

// The tag word at s[at]: up to white space, ">" or the end.
std::string tagWord(const char* s, int at)
{
    int end = at;
    while (s[end] && s[end] != '>' && s[end] != ' ' && s[end] != '\t' && s[end] != '\n') ++end;
    return std::string(s + at, s + end);
}

// What the player would have read of a tag that ran on past its end: the text of span (from
// the tag's "<" to where the game ends it) without the tag's own word and the pieces of other
// tags in it, cut to a few words.
std::string swallowedText(const std::string& span)
{
    size_t at = span.find_first_not_of("</ \t", 0);
    if (at != std::string::npos && std::isalpha(static_cast<unsigned char>(span[at]))) {
        bool colour = span[at] == 'c';
        ++at;
        // A colour tag's word is no text either.
        if (colour) {
            at = span.find_first_not_of(" \t", at);
            while (at < span.size() && std::isalpha(static_cast<unsigned char>(span[at]))) ++at;
        }
    }
    std::string text;
    for (size_t i = at == std::string::npos ? span.size() : at; i < span.size();) {
        if (span[i] == '<') {
            ++i;
            while (i < span.size() && (span[i] == '/' || std::isalpha(static_cast<unsigned char>(span[i])))) ++i;
        } else if (span[i] == '>' || span[i] == '\n') {
            ++i;
        } else {
            text += span[i++];
        }
    }
    const size_t kShown = 60;   // bytes: twenty Japanese characters
    if (text.size() > kShown) {
        size_t cut = kShown;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text = text.substr(0, cut) + "…";
    }
    return text;
}

// Checks the tag whose "<" stands at message[pos]; answers where the game reads on after it.
int checkTag(const char* message, int pos, const char* open, const SourceText& src, Findings& found)
{
    Place place = src.at(open + pos);
    int end = textorder(message, pos);
    const char* inner = static_cast<const char*>(std::memchr(message + pos + 1, '<', end - pos - 1));
    if (message[end] != '>' || inner) {
        std::string span(message + pos, message + end + (message[end] == '>' ? 1 : 0));
        int letter = spaceskip(message, pos + 1);
        std::string start = "<";
        if (message[letter] == '/') start += '/', letter = spaceskip(message, letter + 1);
        if (std::isalpha(static_cast<unsigned char>(message[letter]))) start += message[letter];
        std::string hidden = swallowedText(span);
        found.warning(place, "markup",
                      "the tag " + quoted(start) + " has no `>` of its own: the game reads " +
                          (message[end] == '>' ? "up to the `>` of the next tag" : "the rest of the message") +
                          " as the tag" + (hidden.empty() ? "" : ", and " + quoted(hidden) + " is not shown"));
        return end;
    }
    int at = spaceskip(message, pos + 1);
    bool closing = message[at] == '/';
    if (closing) at = spaceskip(message, at + 1);
    std::string name = tagWord(message, at);
    std::string whole(message + pos, message + end + 1);
    if (name.size() != 1 || !std::strchr("npbcsf", name[0])) {
        bool readAsOther = !name.empty() && std::strchr("npbcsf", name[0]);
        found.warning(place, "markup",
                      "unknown tag " + quoted(whole) +
                          (readAsOther ? "; the game reads it as " + quoted(std::string("<") + (closing ? "/" : "") + name[0] + ">")
                                       : "; the game ignores it") +
                          " (tags are <n>, <p>, <b>, <c COLOUR>, <s>, <f>)");
        return end;
    }
    if (name != "c" || closing) return end;
    std::string colour = tagWord(message, spaceskip(message, at + 1));
    if (!knownColour(colour))
        found.warning(place, "markup", "unknown colour " + quoted(colour) + " in " + quoted(whole) +
                                           "; the game shows it " + colourShown(colour) +
                                           " (colours are red, green, blue, white, black)");
    return end;
}

void checkPages(const char* message, const char* open, const SourceText& src, Findings& found)
{
    static Page page;
    int pos = 1;
    for (int pages = 0; message[pos] && pages < kPagesAtMost; ++pages) {
        PageLayout layout = layoutPage(message, pos, 0, &page);
        if (layout.error) {
            bool run = std::strstr(layout.error, "５６") != nullptr;
            found.error(src.at(open + (layout.next > 0 ? layout.next - 1 : 0)), "layout",
                        std::string(run ? "more than 56 half-width characters without a blank"
                                        : "a paragraph fills the four rows of a page without a line break") +
                            "; the game stops on this page (\"" + layout.error + "\")");
            return;
        }
        if (layout.ended || layout.next <= pos) return;
        pos = layout.next;
    }
}

}  // namespace

const char* checkMessage(const char* open, const SourceText& src, Findings& found)
{
    static char message[kScriptSize];
    const char* close = GetText(message, open);
    if (!close) return open + std::strlen(open);
    if (!*close) {
        found.warning(src.at(open), "message-unclosed",
                      "the message has no closing `]`; the rest of the scene is shown as its text");
    } else if (const char* next = std::strchr(message + 1, '[')) {
        found.warning(src.at(open), "message-unclosed",
                      "the message has no closing `]` before the next `[` on line " +
                          std::to_string(src.at(open + (next - message)).line) +
                          "; the lines between are shown as its text");
    }
    // Tags are read as the game reads them: a tag ends at the next ">", whatever stands between.
    for (const char* tag = std::strchr(message, '<'); tag && *tag;) {
        int end = checkTag(message, static_cast<int>(tag - message), open, src, found);
        tag = message[end] ? std::strchr(message + end + 1, '<') : nullptr;
    }
    checkPages(message, open, src, found);
    return close;
}
