// Byte-text rules for GBK texts: lengths, cuts and searches count bytes.
// Code page 936 starts a two-byte character with 0x81 to 0xFE; 0x80 is a
// character of its own (the euro sign). Splitting at CR LF and finding text
// keep an older rule of their own: every byte of 0x80 or above starts a pair.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/runtime.h"

namespace mv {

inline bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Length in bytes of the character starting at text[i].
inline size_t charLength(const Text& text, size_t i) {
    return isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// The split and find rule: a byte of 0x80 or above starts a pair.
inline bool isFindLead(unsigned char b) { return b >= 0x80; }
inline size_t findCharLength(const Text& text, size_t i) {
    return isFindLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

inline unsigned char foldAscii(unsigned char b) { return b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b; }

extern const char* const kCrLf;

// The text with the ASCII letters at character starts in lower case: two
// paths that Windows takes for one differ at most there.
Text foldPath(const Text& path);

// Pieces of text cut at every CR LF outside a two-byte character. An empty
// text gives none; a final CR LF gives no empty last piece.
std::vector<Text> splitCrLf(const Text& text);

// 1-based byte position of the first occurrence of needle that starts on a
// character start, or -1. With ignoreCase the ASCII letters match either
// case, wherever they stand. An empty needle is found at 1 in a non-empty text.
long findText(const Text& haystack, const Text& needle, bool ignoreCase);

// First / last count bytes; the whole text when it is shorter.
Text leftPart(const Text& text, size_t count);
Text rightPart(const Text& text, size_t count);

// Text up to the first zero byte.
Text bytesToText(const Text& bytes);

// Index of the last character that is a backslash, or npos.
size_t lastBackslash(const Text& text);

// True when the name matches the pattern as dir matches one name: * any
// run of characters, ? one character, ASCII letters in either case, every
// other character exactly.
bool wildcardMatch(const Text& pattern, const Text& name);

// What follows the last backslash character; the whole text without one.
Text lastComponent(const Text& path);

// True when the last character (not merely the last byte) is a backslash.
bool endsWithBackslash(const Text& text);

}  // namespace mv
