#include "platform/text.h"

namespace mv {

const char* const kCrLf = "\r\n";

Text foldPath(const Text& path) {
    Text folded = path;
    for (size_t i = 0; i < folded.size(); i += charLength(folded, i)) {
        folded[i] = static_cast<char>(foldAscii(folded[i]));
    }
    return folded;
}

std::vector<Text> splitCrLf(const Text& text) {
    std::vector<Text> pieces;
    if (text.empty()) return pieces;
    size_t start = 0, i = 0;
    bool endsWithDelimiter = false;
    while (i < text.size()) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            pieces.push_back(text.substr(start, i - start));
            i += 2;
            start = i;
            endsWithDelimiter = true;
            continue;
        }
        i += charLength(text, i);
        endsWithDelimiter = false;
    }
    if (!endsWithDelimiter) pieces.push_back(text.substr(start));
    return pieces;
}

long findText(const Text& haystack, const Text& needle, bool ignoreCase) {
    if (needle.empty()) return haystack.empty() ? -1 : 1;
    const size_t n = needle.size();
    for (size_t i = 0; i < haystack.size() && haystack.size() - i >= n; i += charLength(haystack, i)) {
        size_t k = 0;
        if (ignoreCase) {
            while (k < n && foldAscii(haystack[i + k]) == foldAscii(needle[k])) ++k;
        } else {
            while (k < n && haystack[i + k] == needle[k]) ++k;
        }
        if (k == n) return static_cast<long>(i) + 1;
    }
    return -1;
}

Text leftPart(const Text& text, size_t count) { return text.substr(0, count); }

Text rightPart(const Text& text, size_t count) {
    return count >= text.size() ? text : text.substr(text.size() - count);
}

Text bytesToText(const Text& bytes) { return bytes.substr(0, bytes.find('\0')); }

size_t lastBackslash(const Text& text) {
    size_t found = Text::npos;
    for (size_t i = 0; i < text.size(); i += charLength(text, i)) {
        if (text[i] == '\\') found = i;
    }
    return found;
}

bool endsWithBackslash(const Text& text) {
    return !text.empty() && lastBackslash(text) == text.size() - 1;
}

}  // namespace mv
