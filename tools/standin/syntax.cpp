#include "tools/standin/syntax.h"

#include <algorithm>

namespace mvcmd {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

Bytes foldCase(const Bytes& s) {
    Bytes out = s;
    for (size_t i = 0; i < out.size(); i += charLen(out, i))
        if (charLen(out, i) == 1) out[i] = lower(out[i]);
    return out;
}

bool Env::get(const Bytes& name, Bytes* value) const {
    auto it = vars_.find(foldCase(name));
    if (it == vars_.end()) return false;
    *value = it->second.second;
    return true;
}

void Env::set(const Bytes& name, const Bytes& value) {
    if (value.empty())
        vars_.erase(foldCase(name));
    else
        vars_[foldCase(name)] = {name, value};
}

std::vector<Bytes> Env::list() const {
    std::vector<Bytes> out;
    for (const auto& kv : vars_) out.push_back(kv.second.first + "=" + kv.second.second);
    return out;
}

Bytes expandPercent(const Bytes& line, const Env& env, const std::vector<Bytes>& args,
                    bool batch) {
    Bytes out;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] != '%') {
            size_t n = charLen(line, i);
            out.append(line, i, n);
            i += n;
            continue;
        }
        if (i + 1 < line.size() && batch) {
            char next = line[i + 1];
            if (next == '%') {
                out += '%';
                i += 2;
                continue;
            }
            if (next >= '0' && next <= '9') {
                size_t k = static_cast<size_t>(next - '0');
                if (k < args.size()) out += args[k];
                i += 2;
                continue;
            }
            if (next == '*') {
                for (size_t k = 1; k < args.size(); ++k) out += (k > 1 ? " " : "") + args[k];
                i += 2;
                continue;
            }
        }
        size_t close = i + 1;
        while (close < line.size() && line[close] != '%') close += charLen(line, close);
        if (close >= line.size()) {
            // A lone percent sign: dropped in a batch file, kept on a command line.
            if (!batch) out += '%';
            ++i;
            continue;
        }
        Bytes value;
        if (env.get(line.substr(i + 1, close - i - 1), &value))
            out += value;
        else if (!batch)
            out.append(line, i, close - i + 1);
        i = close + 1;
    }
    return out;
}

namespace {

// Where a sequence of commands ends.
enum class Until { End, CloseParen, LineEnd };

struct Parser {
    const Bytes& s;
    size_t i = 0;

    bool at(char c) const { return i < s.size() && s[i] == c; }
    void skipBlanks() {
        while (i < s.size() && isBlank(s[i])) ++i;
    }
    // The letters at i, folded, without moving.
    Bytes peekWord() const {
        size_t j = i;
        while (j < s.size() && (isAlpha(s[j]) || s[j] == '/')) ++j;
        return foldCase(s.substr(i, j - i));
    }
    bool takeWord(const char* w) {
        Bytes word = peekWord();
        if (word != w) return false;
        size_t end = i + word.size();
        if (end < s.size() && !isBlank(s[end]) && s[end] != '(' && s[end] != '"' && s[end] != '\n')
            return false;
        i = end;
        skipBlanks();
        return true;
    }
    void appendChar(Bytes* out) {
        size_t n = charLen(s, i);
        out->append(s, i, n);
        i += n;
    }
    // A caret at i takes the next character as it is. At the end of a line
    // it joins the next line and takes that line's first character; when
    // that line is empty, its line feed. NeedMore: the next line is wanted.
    Parse escape(Bytes* out) {
        ++i;
        if (at('\n')) ++i;
        if (i >= s.size()) return Parse::NeedMore;
        appendChar(out);
        return Parse::Ok;
    }

    // An operand of a redirection, up to a blank or an operator.
    Parse redirect(Command* c, bool inBlock) {
        Redirect r;
        if (s[i] == '<') {
            r.handle = 0;
            ++i;
        } else {
            ++i;
            if (at('>')) {
                r.append = true;
                ++i;
            }
            size_t n = c->text.size();
            if (n > 0 && (c->text[n - 1] == '1' || c->text[n - 1] == '2') &&
                (n == 1 || isBlank(c->text[n - 2]))) {
                r.handle = c->text[n - 1] - '0';
                c->text.pop_back();
            }
        }
        if (at('&')) return Parse::Bad;  // handle duplication is not needed here
        skipBlanks();
        bool quoted = false;
        while (i < s.size()) {
            char ch = s[i];
            if (!quoted && (isBlank(ch) || ch == '\n' || ch == '&' || ch == '|' || ch == '<' ||
                            ch == '>' || (ch == ')' && inBlock)))
                break;
            if (!quoted && ch == '^') {
                Parse e = escape(&r.target);
                if (e != Parse::Ok) return e;
                continue;
            }
            if (ch == '"') quoted = !quoted;
            appendChar(&r.target);
        }
        if (r.target.empty()) return Parse::Bad;
        c->redirects.push_back(r);
        return Parse::Ok;
    }

    Parse simple(Command* c, bool inBlock) {
        bool quoted = false;
        while (i < s.size()) {
            char ch = s[i];
            if (ch == '\n') break;
            if (!quoted) {
                if (ch == '&' || ch == '|' || (ch == ')' && inBlock)) break;
                if (ch == '^') {
                    Parse e = escape(&c->text);
                    if (e != Parse::Ok) return e;
                    continue;
                }
                if (ch == '>' || ch == '<') {
                    Parse r = redirect(c, inBlock);
                    if (r != Parse::Ok) return r;
                    continue;
                }
            }
            if (ch == '"') quoted = !quoted;
            appendChar(&c->text);
        }
        return Parse::Ok;
    }

    Parse forCommand(Command* c, bool inBlock) {
        c->kind = Command::For;
        while (at('/')) {
            size_t j = i;
            while (j < s.size() && !isBlank(s[j]) && s[j] != '\n') ++j;
            c->forSwitch = foldCase(s.substr(i, j - i));
            i = j;
            skipBlanks();
        }
        if (at('"')) {
            size_t close = s.find('"', i + 1);
            if (close == Bytes::npos) return Parse::Bad;
            c->forOptions = s.substr(i + 1, close - i - 1);
            i = close + 1;
            skipBlanks();
        }
        if (!at('%') || i + 1 >= s.size()) return Parse::Bad;
        c->forVar = s[i + 1];
        i += 2;
        skipBlanks();
        if (!takeWord("in") || !at('(')) return Parse::Bad;
        ++i;
        bool quoted = false;
        while (i < s.size() && (quoted || s[i] != ')') && s[i] != '\n') {
            if (s[i] == '"') quoted = !quoted;
            appendChar(&c->forSet);
        }
        if (!at(')')) return Parse::Bad;
        ++i;
        skipBlanks();
        if (!takeWord("do")) return Parse::Bad;
        if (i >= s.size() || s[i] == '\n') return Parse::Bad;
        return sequence(&c->body, Until::LineEnd, inBlock);
    }

    Parse ifCommand(Command* c, bool inBlock) {
        c->kind = Command::If;
        takeWord("/i");
        if (takeWord("not")) c->ifNot = true;
        if (!takeWord("exist")) {
            c->ifBad = true;
            while (i < s.size() && s[i] != '\n') ++i;
            return Parse::Ok;
        }
        bool quoted = false;
        while (i < s.size() && (quoted || !isBlank(s[i])) && s[i] != '\n') {
            if (s[i] == '"') quoted = !quoted;
            appendChar(&c->ifExist);
        }
        skipBlanks();
        if (i >= s.size() || s[i] == '\n') return Parse::Bad;
        return sequence(&c->body, Until::LineEnd, inBlock);
    }

    Parse command(Command* c, bool inBlock) {
        while (i < s.size() && (isBlank(s[i]) || s[i] == '@' || s[i] == ',' || s[i] == ';' ||
                                s[i] == '='))
            ++i;
        if (at(':')) {  // a label, or a comment written as one
            while (i < s.size() && s[i] != '\n') ++i;
            return Parse::Ok;
        }
        if (at('(')) {
            c->kind = Command::Block;
            ++i;
            Parse r = sequence(&c->body, Until::CloseParen, true);
            if (r != Parse::Ok) return r;
            ++i;
            skipBlanks();
            while (i < s.size() && (s[i] == '>' || s[i] == '<' ||
                                    ((s[i] == '1' || s[i] == '2') && i + 1 < s.size() &&
                                     s[i + 1] == '>'))) {
                if (s[i] == '1' || s[i] == '2') {
                    c->text += s[i];
                    ++i;
                }
                Parse rr = redirect(c, inBlock);
                if (rr != Parse::Ok) return rr;
                skipBlanks();
            }
            c->text.clear();
            return Parse::Ok;
        }
        if (takeWord("for")) return forCommand(c, inBlock);
        if (takeWord("if")) return ifCommand(c, inBlock);
        if (peekWord() == "rem" &&
            (i + 3 >= s.size() || isBlank(s[i + 3]) || s[i + 3] == '\n')) {
            // A remark is not parsed: its operators and redirections do nothing.
            while (i < s.size() && s[i] != '\n') ++i;
            return Parse::Ok;
        }
        return simple(c, inBlock);
    }

    Parse sequence(std::vector<Command>* out, Until until, bool inBlock) {
        Command::Link link = Command::Always;
        for (;;) {
            skipBlanks();
            if (until != Until::LineEnd)
                while (i < s.size() && (s[i] == '\n' || isBlank(s[i]))) ++i;
            if (i >= s.size()) return until == Until::CloseParen ? Parse::NeedMore : Parse::Ok;
            if (s[i] == '\n') return Parse::Ok;  // only LineEnd stops here
            if (s[i] == ')' && inBlock) return Parse::Ok;
            Command c;
            Parse r = command(&c, inBlock);
            if (r != Parse::Ok) return r;
            c.link = link;
            if (c.kind != Command::Simple || !c.text.empty() || !c.redirects.empty())
                out->push_back(std::move(c));
            skipBlanks();
            link = Command::Always;
            if (at('&')) {
                ++i;
                if (at('&')) {
                    ++i;
                    link = Command::IfOk;
                }
            } else if (at('|')) {
                ++i;
                if (!at('|')) return Parse::Bad;  // pipes are not needed here
                ++i;
                link = Command::IfFail;
            }
        }
    }
};

}  // namespace

Parse parseLine(const Bytes& text, std::vector<Command>* out) {
    Parser p{text};
    out->clear();
    return p.sequence(out, Until::End, false);
}

Bytes substitute(const Bytes& s, const ForVars& vars) {
    if (vars.empty()) return s;
    Bytes out;
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] == '%' && i + 1 < s.size()) {
            const Bytes* value = nullptr;
            for (auto it = vars.rbegin(); it != vars.rend() && !value; ++it)
                if (it->first == s[i + 1]) value = &it->second;
            if (value) {
                out += *value;
                i += 2;
                continue;
            }
        }
        size_t n = charLen(s, i);
        out.append(s, i, n);
        i += n;
    }
    return out;
}

ForOptions parseForOptions(const Bytes& options) {
    ForOptions opt;
    size_t i = 0;
    while (i < options.size()) {
        if (isBlank(options[i])) {
            ++i;
            continue;
        }
        Bytes rest = foldCase(options.substr(i));
        if (rest.compare(0, 7, "delims=") == 0) {
            // The delimiter set runs to the end, so it may hold a blank.
            opt.delims = options.substr(i + 7);
            break;
        }
        if (rest.compare(0, 4, "eol=") == 0 && i + 4 < options.size()) {
            opt.eol = options[i + 4];
            i += 5;
            continue;
        }
        if (rest.compare(0, 8, "tokens=1") == 0) {
            i += 8;
            continue;
        }
        opt.ok = false;
        break;
    }
    return opt;
}

std::vector<Bytes> forFileLines(const Bytes& content, const ForOptions& opt) {
    std::vector<Bytes> out;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == Bytes::npos) end = content.size();
        Bytes line = content.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto isDelim = [&](size_t i) {
            return charLen(line, i) == 1 && opt.delims.find(line[i]) != Bytes::npos;
        };
        size_t i = 0;
        while (i < line.size() && isDelim(i)) ++i;
        if (i >= line.size() || line[i] == opt.eol) continue;
        size_t j = i;
        while (j < line.size() && !isDelim(j)) j += charLen(line, j);
        out.push_back(line.substr(i, j - i));
    }
    return out;
}

std::vector<Bytes> splitArgs(const Bytes& s) {
    std::vector<Bytes> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlank(s[i])) ++i;
        if (i >= s.size()) break;
        Bytes arg;
        bool quoted = false;
        while (i < s.size() && (quoted || !isBlank(s[i]))) {
            if (s[i] == '"') quoted = !quoted;
            size_t n = charLen(s, i);
            arg.append(s, i, n);
            i += n;
        }
        out.push_back(arg);
    }
    return out;
}

Bytes unquote(const Bytes& s) {
    Bytes out;
    for (size_t i = 0; i < s.size(); i += charLen(s, i))
        if (s[i] != '"') out.append(s, i, charLen(s, i));
    return out;
}

uint64_t namePrint(const Wide& name) {
    uint64_t h = 14695981039346656037u;  // FNV-1a
    for (char16_t c : name) {
        bool letter = (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
        h = (h ^ (c < 0x80 && !letter ? c : 0xFFFF)) * 1099511628211u;
    }
    return h;
}

Wildcard::Wildcard(const Wide& p, SameLetter same) : same_(same) {
    all_ = p == u"*" || p == u"*.*";
    literal_ = p.find_first_of(u"*?") == Wide::npos;
    if (literal_) print_ = namePrint(p);
    for (size_t i = 0; i < p.size(); ++i) {
        char16_t c = p[i];
        bool last = i + 1 == p.size();
        if (c == u'*') {
            items_.push_back({Pat::Star, 0});
        } else if (c == u'?') {
            items_.push_back({Pat::Qm, 0});
        } else if (c == u'.' && last && !items_.empty() && items_.back().kind == Pat::Star) {
            items_.back().kind = Pat::DosStar;  // "*." at the end
        } else if (c == u'.' && !last && (p[i + 1] == u'?' || p[i + 1] == u'*')) {
            items_.push_back({Pat::DosDot, 0});
        } else {
            items_.push_back({Pat::Char, c});
        }
    }
}

namespace {

// ASCII letters fold as in the system's table; the rest goes to it.
inline bool sameUnit(char16_t a, char16_t b, SameLetter same) {
    if (a == b) return true;
    if (a < 0x80 && b < 0x80) {
        auto up = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
        return up(a) == up(b);
    }
    return same(a, b);
}

}  // namespace

bool Wildcard::match(const Wide& name) const {
    if (name.empty()) return false;
    if (all_) return true;
    if (literal_) {
        if (name.size() != items_.size()) return false;
        for (size_t i = 0; i < name.size(); ++i)
            if (!sameUnit(name[i], items_[i].ch, same_)) return false;
        return true;
    }
    return matchFrom(0, name, 0);
}

bool Wildcard::matchFrom(size_t pi, const Wide& name, size_t ni) const {
    if (pi == items_.size()) return ni == name.size();
    const Item& item = items_[pi];
    switch (item.kind) {
    case Pat::Star:
        for (size_t k = ni;; ++k) {
            if (matchFrom(pi + 1, name, k)) return true;
            if (k >= name.size()) return false;
        }
    case Pat::DosStar: {
        size_t lastDot = name.rfind(u'.');
        for (size_t k = ni;; ++k) {
            if (matchFrom(pi + 1, name, k)) return true;
            if (k >= name.size() || k == lastDot) return false;
        }
    }
    case Pat::Qm:
        if (ni == name.size() || name[ni] == u'.') {
            while (pi < items_.size() && items_[pi].kind == Pat::Qm) ++pi;
            return matchFrom(pi, name, ni);
        }
        return matchFrom(pi + 1, name, ni + 1);
    case Pat::DosDot:
        if (ni == name.size()) return matchFrom(pi + 1, name, ni);
        return name[ni] == u'.' && matchFrom(pi + 1, name, ni + 1);
    case Pat::Char:
        if (ni == name.size() || !sameUnit(name[ni], item.ch, same_)) return false;
        return matchFrom(pi + 1, name, ni + 1);
    }
    return false;
}

bool hasWildcard(const Bytes& s) {
    for (size_t i = 0; i < s.size(); i += charLen(s, i))
        if (s[i] == '*' || s[i] == '?') return true;
    return false;
}

size_t lastSlash(const Bytes& s) {
    size_t found = Bytes::npos;
    for (size_t i = 0; i < s.size(); i += charLen(s, i))
        if (s[i] == '\\') found = i;
    return found;
}

}  // namespace mvcmd
