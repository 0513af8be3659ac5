// Laying a message out into pages: which text goes into which slot of which row, where, in
// which colour and typeface. A function of the message alone; drawing is text.h's.
//
// A page has 4 rows of 6 slots. Slot 0 of a row holds its emphasis dots; slots 1-5 hold
// segments, runs of text that share one colour and one typeface. Widths are counted, not
// measured: a half-width character is 13 px, a full-width one 26 px (1.5 times that in big
// type); a row holds 56 half-width or 28 full-width characters.
#pragma once

#include <SDL.h>

constexpr int kRows = 4;
constexpr int kSlots = 6;
constexpr int kSegmentSize = 1024;

enum class Face : unsigned char { Std, Change, Big };

// The colour and typeface of each slot of a page.
struct book {
    SDL_Color color[kRows][kSlots];
    Face font[kRows][kSlots];
};

struct Page {
    char text[kRows][kSlots][kSegmentSize];
    int x[kRows][kSlots];
    int y[kRows][kSlots];
    int emphasisX[kRows];
    book style;
};

struct PageLayout {
    int next;            // where the next page starts in the message
    bool ended;          // the message has no more text after this page
    bool empty;          // nothing was stored and no line was broken on this page
    const char* error;   // a fatal layout error, or null
};

// Lays out one page of message (whose byte 0 is the opening "[") from position pos. Mode 1
// places rows at x 300, y 150 + 70 r instead of x 35, y 402 + 45 r.
PageLayout layoutPage(const char* message, int pos, int mode, Page* page);

// The first position at or after pos whose byte is not a space, TAB or newline.
int spaceskip(const char* s, int pos);

// The first position at or after pos whose byte is ">" or NUL.
int textorder(const char* s, int pos);
