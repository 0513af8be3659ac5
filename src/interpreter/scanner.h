// The script text scanner: small routines that walk a scene's NUL-terminated text byte by byte.
//
// A position is a pointer into the text; NULL means nothing is left. The forward copiers share
// one contract:
//   - a NULL source, or a source that (after the white-space skip, where the routine has one)
//     stands on the terminating NUL, gives NULL and leaves the destination untouched;
//   - otherwise the bytes up to the first delimiter or the NUL are copied, a NUL is written
//     after them, and the result is the position of the byte that stopped the copy (the
//     delimiter is not consumed).
// Every copier is told its destination's capacity; a longer piece is cut to capacity - 1 bytes
// (the result position is still where the piece ends in the text).
// White space is exactly space, tab, CR and LF; bytes of multi-byte UTF-8 are ordinary text.
#pragma once

#include <cstddef>

// First position at or after pos whose byte is not white space (the NUL when only white space
// remains). pos must not be NULL.
const char* SkipSpace(const char* pos);

// Walks back from pos itself over white space, never in front of start; returns the first
// position whose byte is not white space or is NUL, or start.
const char* SkipSpace_Back(const char* pos, const char* start);

// The common forward copier: copies up to any byte of delims (at most five are looked at).
const char* skipping(char* dest, size_t cap, const char* src, const char* delims);

// The common backward mover: from src steps back to the first byte of delims (at most four
// are looked at), never in front of start; the start of the text counts as if a line feed
// stood before it, and start itself is returned then. NULL or a NUL byte at src gives NULL.
const char* skipping_Back(const char* src, const char* delims, const char* start);

const char* GetWord(char* dest, size_t cap, const char* src);        // skips space; to white space
const char* GetLine(char* dest, size_t cap, const char* src);        // skips space; to LF
const char* GetText(char* dest, size_t cap, const char* src);        // to "]"
const char* IfSkip(char* dest, size_t cap, const char* src);         // to "{" or "}"
const char* conditionSkip(char* dest, size_t cap, const char* src);  // to "&" or "|"
const char* GetNumber(char* dest, size_t cap, const char* src);      // to "0123456789><=%+-"

// Backwards from src (after skipping white space back): the white-space byte in front of the
// word / the line feed in front of the line, or start.
const char* GetWord_Back(const char* src, const char* start);
const char* GetLine_Back(const char* src, const char* start);

// The same copiers for arrays, which pass their own capacity.
template <size_t N> const char* GetWord(char (&dest)[N], const char* src) { return GetWord(dest, N, src); }
template <size_t N> const char* GetLine(char (&dest)[N], const char* src) { return GetLine(dest, N, src); }
template <size_t N> const char* GetText(char (&dest)[N], const char* src) { return GetText(dest, N, src); }
template <size_t N> const char* IfSkip(char (&dest)[N], const char* src) { return IfSkip(dest, N, src); }
template <size_t N> const char* conditionSkip(char (&dest)[N], const char* src) { return conditionSkip(dest, N, src); }
template <size_t N> const char* GetNumber(char (&dest)[N], const char* src) { return GetNumber(dest, N, src); }

// The first digit or operator character ("0123456789><=%+-") at or after pos, or the position
// of the terminating NUL when there is none. pos must not be NULL.
const char* numberAt(const char* pos);

// Whether part occurs anywhere in text.
bool contains(const char* text, const char* part);

// The decimal number at pos with atoi's rules (leading white space, an optional sign, digits),
// saturating instead of overflowing; 0 when pos is NULL or holds no digits.
int readNumber(const char* pos);
