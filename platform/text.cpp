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
        i += findCharLength(text, i);
        endsWithDelimiter = false;
    }
    if (!endsWithDelimiter) pieces.push_back(text.substr(start));
    return pieces;
}

long findText(const Text& haystack, const Text& needle, bool ignoreCase) {
    if (needle.empty()) return haystack.empty() ? -1 : 1;
    const size_t n = needle.size();
    for (size_t i = 0; i < haystack.size() && haystack.size() - i >= n; i += findCharLength(haystack, i)) {
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

namespace {

// Two characters of the same length; only a one-byte one folds.
bool sameChar(const Text& a, size_t i, const Text& b, size_t j, size_t length) {
    if (length == 1) return foldAscii(a[i]) == foldAscii(b[j]);
    return a.compare(i, length, b, j, length) == 0;
}

}  // namespace

bool wildcardMatch(const Text& pattern, const Text& name) {
    // Greedy with one backtrack point: the last * seen.
    size_t p = 0, n = 0, star = Text::npos, resume = 0;
    while (n < name.size()) {
        size_t pl = p < pattern.size() ? charLength(pattern, p) : 0;
        size_t nl = charLength(name, n);
        if (pl == 1 && pattern[p] == '*') {
            star = ++p;
            resume = n;
        } else if (pl == 1 && pattern[p] == '?') {
            ++p;
            n += nl;
        } else if (pl == nl && sameChar(pattern, p, name, n, pl)) {
            p += pl;
            n += nl;
        } else if (star != Text::npos) {
            p = star;
            resume += charLength(name, resume);
            n = resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

Text lastComponent(const Text& path) {
    size_t cut = lastBackslash(path);
    return cut == Text::npos ? path : path.substr(cut + 1);
}

bool endsWithBackslash(const Text& text) {
    return !text.empty() && lastBackslash(text) == text.size() - 1;
}

}  // namespace mv
