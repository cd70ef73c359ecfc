// The interpreter's text rules, free of Win32 so the host can test them:
// percent expansion, the command parser, FOR variables, FOR /F lines and
// wildcard matching. All text is bytes in code page 936: a lead byte
// (0x81 to 0xFE) and the byte after it are one character; 0x80 is a
// character of its own (the euro sign).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace mvcmd {

using Bytes = std::string;

inline bool isLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Bytes of the character at s[i] (2 for a lead byte with a byte after it).
inline size_t charLen(const Bytes& s, size_t i) {
    return isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// ASCII letters folded to lower case; the bytes of double-byte characters
// are left alone, since a second byte may look like a letter.
Bytes foldCase(const Bytes& s);

// Environment variables: names compared without case, spelling kept.
class Env {
public:
    bool get(const Bytes& name, Bytes* value) const;
    // An empty value removes the variable, as SET does.
    void set(const Bytes& name, const Bytes& value);
    // "NAME=VALUE" lines, sorted by folded name.
    std::vector<Bytes> list() const;

private:
    std::map<Bytes, std::pair<Bytes, Bytes>> vars_;
};

// The first phase, applied when a line is read: %% gives %, %0 to %9 the
// batch arguments, %NAME% the variable's value. In a batch file an
// undefined variable and a lone % vanish; on a command line both stay.
Bytes expandPercent(const Bytes& line, const Env& env, const std::vector<Bytes>& args,
                    bool batch);

struct Redirect {
    int handle = 1;  // 0 for <, 1 for > and >>, 2 for 2> and 2>>
    bool append = false;
    Bytes target;    // as written, quotes included
};

struct Command {
    enum Kind { Simple, Block, For, If };
    enum Link { Always, IfOk, IfFail };  // how it follows the one before: &, &&, ||
    Kind kind = Simple;
    Link link = Always;
    Bytes text;  // Simple: the line with carets removed and redirections cut out
    std::vector<Redirect> redirects;
    std::vector<Command> body;  // Block: its commands; For and If: the one body
    // For
    Bytes forSwitch;   // "/f", or empty
    Bytes forOptions;  // inside the quotes
    char forVar = 0;
    Bytes forSet;      // between the parentheses
    // If
    bool ifNot = false;
    Bytes ifExist;     // the file name, quotes included
    bool ifBad = false;  // a form of IF this interpreter does not know
};

enum class Parse { Ok, NeedMore, Bad };

// The second phase over an expanded line, or over several joined by LF
// when a parenthesised block spans lines: carets, quotes, redirections,
// & && ||, blocks, FOR and IF. NeedMore means a block is still open.
Parse parseLine(const Bytes& text, std::vector<Command>* out);

using ForVars = std::vector<std::pair<char, Bytes>>;

// Puts the value of each active FOR variable in place of %V; runs after
// the parser, so the values are never parsed.
Bytes substitute(const Bytes& s, const ForVars& vars);

struct ForOptions {
    Bytes delims = " \t";
    char eol = ';';
    bool ok = true;
};
ForOptions parseForOptions(const Bytes& options);

// The first token of each line a FOR /F loop takes from a file's bytes:
// lines end at LF with a CR before it dropped, the last line needs no line
// end, and empty lines and lines starting with the eol character are skipped.
std::vector<Bytes> forFileLines(const Bytes& content, const ForOptions& opt);

// Arguments split at blanks outside quotes, quotes kept.
std::vector<Bytes> splitArgs(const Bytes& s);
Bytes unquote(const Bytes& s);

using Wide = std::u16string;

// Whether two UTF-16 units are the same letter without case. The caller
// supplies the system's ordinal rule, so this file stays free of Win32.
using SameLetter = bool (*)(char16_t, char16_t);

// A quick first look for comparing names without case: names that are
// equal without case share it. It takes the length and the ASCII
// characters that have no case (digits, punctuation, blanks), which no
// case table folds onto others; every other unit counts alike, ASCII
// letters too (a table may fold the dotless i or the Kelvin sign onto them).
uint64_t namePrint(const Wide& name);

// A pattern matched against names as FindFirstFile matches long names,
// both in UTF-16: * any run, ? one character (or none before a dot or the
// end), "*.*" everything, a trailing "*." only names without a dot, ".?"
// or ".*" also the end of a name without a dot. Letters are compared
// through `same`. Compiled once, matched against many names.
class Wildcard {
public:
    Wildcard(const Wide& pattern, SameLetter same);
    bool match(const Wide& name) const;
    // False when a name of that namePrint cannot match.
    bool mayMatch(uint64_t print) const { return !literal_ || print == print_; }

private:
    enum class Pat { Char, Star, Qm, DosStar, DosDot };
    struct Item {
        Pat kind;
        char16_t ch;
    };
    bool matchFrom(size_t pi, const Wide& name, size_t ni) const;

    std::vector<Item> items_;
    SameLetter same_;
    bool all_ = false;      // "*" or "*.*"
    bool literal_ = false;  // no wildcard: a comparison of equal lengths
    uint64_t print_ = 0;    // the pattern's namePrint when literal
};

bool hasWildcard(const Bytes& s);

// Index of the last backslash that is a character of its own, or npos.
size_t lastSlash(const Bytes& s);

}  // namespace mvcmd
