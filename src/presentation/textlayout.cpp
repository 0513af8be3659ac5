#include "presentation/textlayout.h"

#include <cstring>

#include "core/state.h"

namespace {

const int kPageBytes = 1024;        // bytes a page stores at most, line breaks counting one
const int kLongestRun = 56;         // half-width characters that fit one row
const char kEmphasisDot[] = "・";

const char kRunTooLong[] = "半角文字が連続５６字以上あり、表示しきれません。";
const char kParagraphTooLong[] = "連続文字数が多すぎます。どこかで行替えしてください";

bool isHalfWidth(char ch) { return (ch >= 0x20 && ch <= 0x7e) || ch == '\t'; }

// Marks that may not begin a row: they stay on the row they follow.
bool isClosingMark(const char* s)
{
    return std::strncmp(s, "、", 3) == 0 || std::strncmp(s, "。", 3) == 0;
}

SDL_Color colourNamed(const char* word)
{
    switch (word[0]) {
    case 'g': return color_green;
    case 'r': return color_red;
    case 'w': return color_white;
    case 'b': return word[1] && word[2] == 'u' ? color_blue : color_black;
    default: return color_white;
    }
}

// One page being laid out.
struct Layout {
    const char* s;
    int mode;
    Page* page;
    int pos;                        // the read position
    int row = 0, slot = 1;
    double width = 0.0, scale = 1.0;
    bool emphasis = false;
    int halfRun = 0;                // consecutive half-width characters
    int runStart = 0;               // the byte where that run began (TABs and tags may lie in it)
    int runRow = 0, runSlot = 1;    // the slot it began in, and how long the slot was then
    int runKept = 0;
    int partial = 0;                // bytes of the full-width character being read
    int wraps = 0;                  // forced wraps since a half-width character, space or break
    int rowStart[kRows] = {};
    int stored = 0;
    bool brokeLine = false;
    int length[kRows][kSlots] = {};
    PageLayout result = {0, false, false, nullptr};
    bool closed = false;

    bool empty() const { return stored == 0 && !brokeLine; }
    int tagX() const { return static_cast<int>(width * 13) + 40; }

    void close(int next)
    {
        closed = true;
        result.next = next;
    }

    void append(int r, int sl, const char* bytes, int count)
    {
        char* segment = page->text[r][sl];
        for (int i = 0; i < count && length[r][sl] < kSegmentSize - 1; ++i)
            segment[length[r][sl]++] = bytes[i];
        segment[length[r][sl]] = '\0';
    }

    void reset()
    {
        // Every reader of a slot stops at its NUL: emptying the slots is enough.
        for (int r = 0; r < kRows; ++r) {
            for (int sl = 0; sl < kSlots; ++sl) {
                page->text[r][sl][0] = '\0';
                page->style.color[r][sl] = color_white;
                page->style.font[r][sl] = Face::Std;
                page->x[r][sl] = mode == 1 ? 300 : 35;
                page->y[r][sl] = mode == 1 ? 150 + 70 * r : 402 + 45 * r;
            }
            page->emphasisX[r] = 40;
        }
    }

    // Empties the slots of row r from slot from on.
    void clearRow(int r, int from = 0)
    {
        for (int sl = from; sl < kSlots; ++sl) {
            page->text[r][sl][0] = '\0';
            length[r][sl] = 0;
        }
    }

    // An explicit line break (a newline or <n>); the next row begins at nextStart.
    void lineBreak(int nextStart)
    {
        ++stored;
        brokeLine = true;
        halfRun = wraps = 0;
        if (++row >= kRows) return close(nextStart);
        rowStart[row] = nextStart;
        slot = 1;
        width = 0.0;
    }

    // A tag that starts a new segment; a row has room for five, and a sixth keeps writing
    // into the fifth in its own style.
    bool newSegment()
    {
        if (slot == kSlots - 1) return false;
        ++slot;
        page->x[row][slot] = tagX();
        return true;
    }

    void tag()
    {
        int at = spaceskip(s, pos + 1);
        bool closing = s[at] == '/';
        if (closing) at = spaceskip(s, at + 1);
        char letter = s[at];
        int end = textorder(s, at);
        int resume = s[end] == '>' ? end + 1 : end;
        pos = resume;
        book& style = page->style;
        switch (letter) {
        case 'p':
            if (closing) break;
            if (s[resume] == '\n') ++resume;
            return close(resume);
        case 'n':
            if (!closing) lineBreak(resume);
            break;
        case 'b':
            emphasis = !closing;
            if (emphasis) page->emphasisX[row] = static_cast<int>(width * 13) + 38;
            break;
        case 'c':
            if (newSegment() && !closing) style.color[row][slot] = colourNamed(s + spaceskip(s, at + 1));
            break;
        case 's':
            if (newSegment() && !closing) style.font[row][slot] = Face::Big;
            scale = closing ? 1.0 : 1.5;
            break;
        case 'f':
            if (newSegment() && !closing) style.font[row][slot] = Face::Change;
            if (closing) scale = 1.0;
            break;
        default:
            break;
        }
    }

    // Whether the tag at `at` is <p> or <n>; if so, *next is where the text after it begins:
    // behind one newline after <p>, behind every blank after <n>.
    bool breakTag(int at, int* next) const
    {
        int letter = spaceskip(s, at + 1);
        if (s[letter] != 'p' && s[letter] != 'n') return false;
        int end = textorder(s, letter);
        int resume = s[end] == '>' ? end + 1 : end;
        if (s[letter] == 'n') *next = spaceskip(s, resume);
        else *next = s[resume] == '\n' ? resume + 1 : resume;
        return true;
    }

    // Takes the half-width run off row 3; it may span several slots, or begin on a row above.
    void cutRun()
    {
        const int last = kRows - 1;
        if (runRow != last) return clearRow(last);
        length[last][runSlot] = runKept;
        page->text[last][runSlot][runKept] = '\0';
        clearRow(last, runSlot + 1);
    }

    // Rows 0-3 are full and the byte at last ended row 3.
    void overflow(int last)
    {
        if (halfRun > kLongestRun) {
            result.error = kRunTooLong;
            return close(last + 1);
        }
        int read = last;
        if (halfRun > 0) {
            cutRun();
            // What of the run stands on the rows above stays shown: only its part on row 3
            // goes to the next page.
            read = (runRow == kRows - 1 ? runStart : rowStart[kRows - 1]) - 1;
        }
        char after = s[read + 1];
        if (after == '\0') {
            result.ended = true;
            return close(read + 1);
        }
        if (after == '\n' || after == '\t' || after == ' ') return close(spaceskip(s, read + 2));
        // A ">" that is text is shown on the next page, not dropped.
        if (after == '>') return close(read + 1);
        if (after == '<') {
            // A page or line break right after a full page is the page's own end, as a
            // newline is; any other tag after a paragraph that filled the page begins the
            // next one.
            int next = 0;
            if (breakTag(read + 1, &next)) return close(next);
            if (wraps >= kRows) return close(read + 1);
        }
        if (wraps >= kRows) {
            result.error = kParagraphTooLong;
            return close(read + 1);
        }
        // The paragraph that ran into the overflow moves whole to the next page.
        int firstMoved = kRows - wraps;
        for (int r = firstMoved; r < kRows; ++r) clearRow(r);
        close(rowStart[firstMoved]);
    }

    void forcedWrap(int last)
    {
        if (isClosingMark(s + last + 1)) {
            append(row, slot, s + last + 1, 3);
            stored += 3;
            halfRun = 0;
            last += 3;
        }
        ++wraps;
        if (row + 1 >= kRows) return overflow(last);
        ++row;
        width = 0.0;
        rowStart[row] = last + 1;
        page->style.color[row][1] = page->style.color[row - 1][slot];
        page->style.font[row][1] = page->style.font[row - 1][slot];
        slot = 1;
        pos = last + 1;
    }

    void store(char ch)
    {
        int at = pos++;
        bool complete = isHalfWidth(ch);
        if (complete) {
            if (halfRun++ == 0) {
                runStart = at;
                runRow = row;
                runSlot = slot;
                runKept = length[row][slot];
            }
            width += scale;
            wraps = 0;
        } else {
            halfRun = 0;
            if (++partial == 3) {
                width += 2 * scale;
                partial = 0;
                complete = true;
                if (emphasis) append(row, 0, kEmphasisDot, 3);
            }
        }
        append(row, slot, &ch, 1);
        ++stored;
        if (ch == ' ') halfRun = wraps = 0;
        if (complete) {
            char next = s[at + 1];
            bool fullWidthNext = !isHalfWidth(next) && next != '\n' && next != '\0';
            if (width > 55.0 || (width > 54.0 && fullWidthNext)) forcedWrap(at);
        }
        if (!closed && stored >= kPageBytes) close(pos);
    }

    void layOut()
    {
        reset();
        while (!closed) {
            char ch = s[pos];
            if (ch == '\0') {
                result.ended = true;
                close(pos);
            } else if (ch == '\n') {
                if (empty()) ++pos;
                else lineBreak(++pos);
            } else if (ch == '\t') {
                ++pos;
            } else if (ch == '<') {
                tag();
            } else {
                store(ch);
            }
        }
        result.empty = empty();
    }
};

}  // namespace

int spaceskip(const char* s, int pos)
{
    while (s[pos] == ' ' || s[pos] == '\t' || s[pos] == '\n') ++pos;
    return pos;
}

int textorder(const char* s, int pos)
{
    while (s[pos] != '>' && s[pos] != '\0') ++pos;
    return pos;
}

PageLayout layoutPage(const char* message, int pos, int mode, Page* page)
{
    Layout layout{message, mode, page, pos};
    layout.layOut();
    return layout.result;
}
