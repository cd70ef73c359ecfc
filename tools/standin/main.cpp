// The command-interpreter stand-in: runs the batch scripts that Morvane
// writes, as the Windows interpreter would, for tests and the Linux
// launcher under Wine. Never shipped. It goes through the ANSI Win32 calls
// so every name stays bytes in code page 936.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "tools/standin/listing.h"
#include "tools/standin/syntax.h"

namespace mvcmd {
namespace {

struct State {
    Env env;
    std::vector<Bytes> args;  // %0 to %9
    HANDLE out[3] = {};       // where the next command's 0, 1 and 2 go
    int errorLevel = 0;
    // One walk per run unless MVCMD_WALK=each asks for a walk per dir call.
    Listings listings{true};
};
State g;

void write(int handle, const Bytes& bytes) {
    DWORD done = 0;
    WriteFile(g.out[handle], bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
}
void say(const Bytes& line) { write(1, line + "\r\n"); }
void complain(const Bytes& line) { write(2, line + "\r\n"); }

Bytes systemMessage(DWORD err) {
    char buf[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             err, 0, buf, sizeof buf, nullptr);
    Bytes text(buf, n);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

Bytes fullPath(const Bytes& path) {
    char buf[4 * MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return n > 0 && n < sizeof buf ? Bytes(buf, n) : path;
}

bool endsWithSlash(const Bytes& s) { return !s.empty() && lastSlash(s) == s.size() - 1; }

Bytes joinPath(const Bytes& folder, const Bytes& name) {
    return endsWithSlash(folder) ? folder + name : folder + "\\" + name;
}

DWORD attributes(const Bytes& path) { return GetFileAttributesA(path.c_str()); }

bool isFolder(const Bytes& path) {
    DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A path split into its folder (made full) and its last part, which may
// hold wildcards. A folder named without wildcards stands for all it holds.
void splitPattern(const Bytes& path, Bytes* folder, Bytes* pattern) {
    size_t slash = lastSlash(path);
    size_t cut = slash != Bytes::npos ? slash + 1
                 : path.size() >= 2 && path[1] == ':' ? 2
                                                      : 0;
    Bytes last = path.substr(cut);
    if (!hasWildcard(last)) {
        Bytes full = fullPath(path);
        if (isFolder(full)) {
            *folder = full;
            *pattern = "*";
            return;
        }
        size_t s = lastSlash(full);
        *folder = full.substr(0, s + 1);
        *pattern = full.substr(s + 1);
        return;
    }
    *folder = fullPath(cut == 0 ? Bytes(".") : path.substr(0, cut));
    *pattern = last;
}

bool listed(const Entry& e) { return !(e.attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)); }

// DIR /S order: the folder's own matches, then each subfolder in turn,
// depth first. Hidden entries are not listed, but hidden folders are
// searched.
void listFolder(const Bytes& folder, const Folder& f, const Wildcard& pattern, bool recurse,
                int* found) {
    Bytes prefix = endsWithSlash(folder) ? folder : folder + "\\";
    for (size_t k = 0; k < f.entries.size(); ++k) {
        if (!pattern.mayMatch(f.prints[k])) continue;
        const Entry& e = f.entries[k];
        if (listed(e) && pattern.match(e.wide)) {
            say(prefix + e.name);
            ++*found;
        }
    }
    if (!recurse) return;
    for (size_t i = 0; i < f.subfolders.size(); ++i) {
        Bytes path = prefix + f.entries[f.subfolders[i]].name;
        FolderPtr sub = g.listings.sub(f, i, path);
        listFolder(path, *sub, pattern, recurse, found);
    }
}

// Switch letters of arguments such as "/b/s", folded.
Bytes switches(const Bytes& arg) {
    Bytes out;
    for (size_t i = 0; i + 1 < arg.size(); ++i)
        if (arg[i] == '/') out += foldCase(arg.substr(i + 1, 1));
    return out;
}

// Only the bare format is written, with or without /b.
bool cmdDir(const Bytes& rest) {
    bool recurse = false;
    std::vector<Bytes> paths;
    for (const Bytes& a : splitArgs(rest)) {
        if (a[0] == '/')
            recurse = recurse || switches(a).find('s') != Bytes::npos;
        else
            paths.push_back(unquote(a));
    }
    if (paths.empty()) paths.push_back(".");
    int found = 0;
    for (const Bytes& p : paths) {
        Bytes folder, pattern;
        splitPattern(p, &folder, &pattern);
        FolderPtr f = g.listings.of(folder);
        listFolder(folder, *f, Wildcard(widen(pattern), sameLetter), recurse, &found);
    }
    if (found == 0) complain("找不到文件");
    return found > 0;
}

bool sameFile(const Bytes& a, const Bytes& b) {
    if (foldCase(fullPath(a)) == foldCase(fullPath(b))) return true;
    auto id = [](const Bytes& p, BY_HANDLE_FILE_INFORMATION* info) {
        HANDLE h = CreateFileA(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        bool ok = GetFileInformationByHandle(h, info) != 0;
        CloseHandle(h);
        return ok;
    };
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return id(a, &ia) && id(b, &ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

Bytes copiedLine(int count) {
    char buf[64];
    snprintf(buf, sizeof buf, "已复制 %9d 个文件。", count);
    return buf;
}

// COPY SRC [DST]: no question before overwriting, as inside a batch file.
// A folder or a wildcard as SRC copies each file it names, listing them.
bool cmdCopy(const Bytes& rest) {
    std::vector<Bytes> names;
    for (const Bytes& a : splitArgs(rest))
        if (a[0] != '/') names.push_back(unquote(a));
    if (names.empty()) {
        complain("命令语法不正确。");
        return false;
    }
    Bytes folder, pattern;
    splitPattern(names[0], &folder, &pattern);
    bool many = pattern == "*" || hasWildcard(pattern);
    std::vector<Bytes> sources;
    if (!many) {
        DWORD a = attributes(joinPath(folder, pattern));
        if (a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY))
            sources.push_back(joinPath(folder, pattern));
    } else {
        Wildcard match(widen(pattern), sameLetter);
        FolderPtr all = g.listings.of(folder);
        for (const Entry& e : all->entries)
            if (!(e.attrs & FILE_ATTRIBUTE_DIRECTORY) && listed(e) && match.match(e.wide))
                sources.push_back(joinPath(folder, e.name));
    }
    if (sources.empty()) {
        complain("系统找不到指定的文件。");
        say(copiedLine(0));
        return false;
    }
    Bytes dst = names.size() > 1 ? names[1] : Bytes(".");
    Bytes dstFull = fullPath(dst);
    bool intoFolder = isFolder(dstFull) || endsWithSlash(dst);
    int copied = 0;
    for (const Bytes& src : sources) {
        Bytes target = intoFolder ? joinPath(dstFull, src.substr(lastSlash(src) + 1)) : dstFull;
        if (many) say(src);
        if (sameFile(src, target)) {
            complain("文件不能复制到其自身。");
            continue;
        }
        g.listings.forget();
        if (!CopyFileA(src.c_str(), target.c_str(), FALSE)) {
            complain(systemMessage(GetLastError()));
            continue;
        }
        ++copied;
    }
    say(copiedLine(copied));
    return copied == static_cast<int>(sources.size());
}

bool cmdDel(const Bytes& rest) {
    bool ok = true;
    for (const Bytes& a : splitArgs(rest)) {
        if (a[0] == '/') continue;
        Bytes folder, pattern;
        splitPattern(unquote(a), &folder, &pattern);
        int gone = 0;
        Wildcard match(widen(pattern), sameLetter);
        FolderPtr all = g.listings.of(folder);  // held while files go
        for (const Entry& e : all->entries) {
            if ((e.attrs & FILE_ATTRIBUTE_DIRECTORY) || !match.match(e.wide)) continue;
            Bytes path = joinPath(folder, e.name);
            if (DeleteFileA(path.c_str())) {
                g.listings.forget();
                ++gone;
            } else {
                complain(path + " - " + systemMessage(GetLastError()));
                ok = false;
            }
        }
        if (gone == 0 && ok) {
            complain("找不到 " + joinPath(folder, pattern));
            ok = false;
        }
    }
    return ok;
}

bool cmdEcho(const Bytes& rest) {
    Bytes text = rest.empty() ? rest : rest.substr(1);
    bool blankSep = !rest.empty() && (rest[0] == ' ' || rest[0] == '\t');
    if (rest.empty() || (blankSep && text.find_first_not_of(" \t") == Bytes::npos)) {
        say("ECHO 处于关闭状态。");
        return true;
    }
    if (blankSep) {
        Bytes word = foldCase(text.substr(text.find_first_not_of(" \t")));
        while (!word.empty() && (word.back() == ' ' || word.back() == '\t')) word.pop_back();
        if (word == "on" || word == "off") return true;  // commands are never echoed
    }
    say(text);
    return true;
}

bool cmdSet(const Bytes& rest) {
    size_t start = rest.find_first_not_of(" \t");
    Bytes arg = start == Bytes::npos ? Bytes() : rest.substr(start);
    if (!arg.empty() && arg[0] == '"') {
        size_t close = arg.rfind('"');
        arg = close > 0 ? arg.substr(1, close - 1) : arg.substr(1);
    }
    size_t eq = arg.find('=');
    if (eq == Bytes::npos) {
        bool any = false;
        for (const Bytes& line : g.env.list())
            if (foldCase(line).compare(0, arg.size(), foldCase(arg)) == 0) {
                say(line);
                any = true;
            }
        if (!any) complain("环境变量 " + arg + " 没有定义");
        return any;
    }
    if (eq == 0) {
        complain("命令语法不正确。");
        return false;
    }
    g.env.set(arg.substr(0, eq), arg.substr(eq + 1));
    return true;
}

// The file's bytes from the offset on; false when it cannot be opened.
bool readFileFrom(const Bytes& path, size_t offset, Bytes* content) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    content->clear();
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) content->append(buf, n);
    CloseHandle(h);
    return true;
}

bool readFile(const Bytes& path, Bytes* content) { return readFileFrom(path, 0, content); }

bool runSequence(const std::vector<Command>& cmds, ForVars& vars);

bool runSimple(const Bytes& text) {
    size_t i = text.find_first_not_of(" \t");
    if (i == Bytes::npos) return true;
    size_t j = i;
    while (j < text.size() && Bytes(" \t/.:(,;=+[]\"\\").find(text[j]) == Bytes::npos)
        j += charLen(text, j);
    Bytes word = foldCase(text.substr(i, j - i));
    Bytes rest = text.substr(j);
    if (word == "echo") return cmdEcho(rest);
    if (word == "set") return cmdSet(rest);
    if (word == "del" || word == "erase") return cmdDel(rest);
    if (word == "dir" || word == "copy") {
        bool ok = word == "dir" ? cmdDir(rest) : cmdCopy(rest);
        g.errorLevel = ok ? 0 : 1;
        return ok;
    }
    Bytes first = splitArgs(text).front();
    complain("'" + first + "' 不是内部或外部命令，也不是可运行的程序\r\n或批处理文件。");
    g.errorLevel = 9009;
    return false;
}

// Opens the command's redirections; false (with the message) when one
// cannot be opened, and then the command does not run.
bool openRedirects(const std::vector<Redirect>& rs, const ForVars& vars,
                   std::vector<HANDLE>* opened) {
    for (const Redirect& r : rs) {
        Bytes name = unquote(substitute(r.target, vars));
        HANDLE h = r.handle == 0
                       ? CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                       : CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, r.append ? OPEN_ALWAYS : CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            complain(systemMessage(GetLastError()));
            return false;
        }
        if (r.handle != 0 && GetLastError() != ERROR_ALREADY_EXISTS) g.listings.forget();  // created
        if (r.append) SetFilePointer(h, 0, nullptr, FILE_END);
        opened->push_back(h);
        g.out[r.handle] = h;
    }
    return true;
}

bool exists(const Bytes& path) {
    if (!hasWildcard(path)) return attributes(path) != INVALID_FILE_ATTRIBUTES;
    Bytes folder, pattern;
    splitPattern(path, &folder, &pattern);
    Wildcard match(widen(pattern), sameLetter);
    FolderPtr all = g.listings.of(folder);
    for (const Entry& e : all->entries)
        if (match.match(e.wide)) return true;
    return false;
}

bool runBody(const Command& c, const std::vector<Bytes>& items, ForVars& vars) {
    bool ok = true;
    for (const Bytes& item : items) {
        vars.push_back({c.forVar, item});
        ok = runSequence(c.body, vars);
        vars.pop_back();
    }
    return ok;
}

bool runFor(const Command& c, ForVars& vars) {
    if (c.forSwitch != "/f" && !c.forSwitch.empty()) {
        complain("此时不应有 " + c.forSwitch + "。");
        return false;
    }
    Bytes set = substitute(c.forSet, vars);
    std::vector<Bytes> items;
    if (c.forSwitch.empty()) {
        items = splitArgs(set);
    } else {
        ForOptions opt = parseForOptions(c.forOptions);
        if (!opt.ok) {
            complain("此时不应有 \"" + c.forOptions + "\"。");
            return false;
        }
        size_t start = set.find_first_not_of(" \t");
        if (start != Bytes::npos && set[start] == '"') {
            items = forFileLines(unquote(set), opt);
        } else {
            // Each file's lines run before the next file is read.
            bool ok = true;
            for (const Bytes& file : splitArgs(set)) {
                Bytes content;
                if (!readFile(unquote(file), &content)) {
                    complain("系统找不到文件 " + unquote(file) + "。");
                    g.errorLevel = 1;
                    return false;
                }
                ok = runBody(c, forFileLines(content, opt), vars);
            }
            return ok;
        }
    }
    return runBody(c, items, vars);
}

bool run(const Command& c, ForVars& vars) {
    if (c.kind == Command::For) return runFor(c, vars);
    if (c.kind == Command::If) {
        if (c.ifBad) {
            complain("命令语法不正确。");
            return false;
        }
        if (exists(unquote(substitute(c.ifExist, vars))) != c.ifNot) return runSequence(c.body, vars);
        return true;
    }
    HANDLE saved[3] = {g.out[0], g.out[1], g.out[2]};
    std::vector<HANDLE> opened;
    bool ok = openRedirects(c.redirects, vars, &opened);
    if (ok) ok = c.kind == Command::Block ? runSequence(c.body, vars) : runSimple(substitute(c.text, vars));
    for (HANDLE h : opened) CloseHandle(h);
    for (int k = 0; k < 3; ++k) g.out[k] = saved[k];
    return ok;
}

// & joins lists of alternatives; || joins alternatives, each a chain of
// commands joined by &&, which binds tighter: in a || b && c, b && c runs
// only when a fails.
bool runSequence(const std::vector<Command>& cmds, ForVars& vars) {
    bool chainOk = true;  // the current && chain so far
    bool done = false;    // an earlier chain of this || list succeeded
    for (const Command& c : cmds) {
        if (c.link == Command::Always) {
            chainOk = true;
            done = false;
        } else if (c.link == Command::IfFail) {
            done = done || chainOk;
            chainOk = true;
        }
        if (done || !chainOk) continue;
        chainOk = run(c, vars);
    }
    return done || chainOk;
}

// Gives the next line, false at the end.
using LineSource = std::function<bool(Bytes*)>;

// Runs lines as they come, expanding each line as it is read and a
// parenthesised block (or a line continued by a caret) whole before it runs.
void runLines(const LineSource& nextLine, bool batch) {
    Bytes line;
    while (nextLine(&line)) {
        Bytes text = expandPercent(line, g.env, g.args, batch);
        std::vector<Command> cmds;
        Parse r;
        while ((r = parseLine(text, &cmds)) == Parse::NeedMore && nextLine(&line))
            text += "\n" + expandPercent(line, g.env, g.args, batch);
        if (r == Parse::NeedMore) return;  // a block never closed does not run
        if (r == Parse::Bad) {
            // As the real interpreter, a syntax error ends the batch file.
            complain("命令语法不正确。");
            g.errorLevel = 255;
            return;
        }
        ForVars vars;
        runSequence(cmds, vars);
    }
}

// Lines split at LF with CRs dropped; the last needs no LF but must not be
// empty. Reads from *pos in content and moves it on.
bool takeLine(const Bytes& content, size_t* pos, Bytes* line) {
    line->clear();
    while (*pos < content.size()) {
        char ch = content[(*pos)++];
        if (ch == '\n') return true;
        if (ch != '\r') *line += ch;
    }
    return !line->empty();
}

LineSource linesOf(const Bytes& content) {
    auto pos = std::make_shared<size_t>(0);
    return [content, pos](Bytes* line) { return takeLine(content, pos.get(), line); };
}

// A batch file is read a line at a time as it runs, as the interpreter
// reads it: the file is opened anew at the offset after the last line
// taken, so lines changed or added meanwhile are the ones that run.
LineSource batchFile(const Bytes& path) {
    auto offset = std::make_shared<size_t>(0);
    return [path, offset](Bytes* line) {
        Bytes content;
        if (!readFileFrom(path, *offset, &content)) return false;
        size_t pos = 0;
        bool got = takeLine(content, &pos, line);
        *offset += pos;
        return got;
    };
}

bool isBatchName(const Bytes& path) {
    Bytes ext = path.size() >= 4 ? foldCase(path.substr(path.size() - 4)) : Bytes();
    return ext == ".bat" || ext == ".cmd";
}

// The text after /C with its quotes treated as CMD /? documents: kept when
// there is no /S, there are exactly two quotes around an existing file's
// name with a blank in it and no special characters; otherwise the first
// and the last quote go.
Bytes commandText(Bytes rest, bool s) {
    size_t start = rest.find_first_not_of(" \t");
    rest = start == Bytes::npos ? Bytes() : rest.substr(start);
    if (rest.empty() || rest[0] != '"') return rest;
    size_t close = rest.rfind('"');
    if (!s && close > 0 && std::count(rest.begin(), rest.end(), '"') == 2) {
        Bytes inner = rest.substr(1, close - 1);
        if (inner.find_first_of("&<>()@^|") == Bytes::npos && inner.find(' ') != Bytes::npos &&
            attributes(inner) != INVALID_FILE_ATTRIBUTES)
            return rest;
    }
    if (close == 0) return rest.substr(1);
    return rest.substr(1, close - 1) + rest.substr(close + 1);
}

void loadEnvironment() {
    char* block = GetEnvironmentStringsA();
    for (char* p = block; p && *p; p += strlen(p) + 1) {
        Bytes entry = p;
        size_t eq = entry.find('=', 1);
        if (entry[0] != '=' && eq != Bytes::npos) g.env.set(entry.substr(0, eq), entry.substr(eq + 1));
    }
    if (block) FreeEnvironmentStringsA(block);
}

int start() {
    g.out[0] = GetStdHandle(STD_INPUT_HANDLE);
    g.out[1] = GetStdHandle(STD_OUTPUT_HANDLE);
    g.out[2] = GetStdHandle(STD_ERROR_HANDLE);
    loadEnvironment();
    Bytes walk;
    g.listings = Listings(!(g.env.get("MVCMD_WALK", &walk) && foldCase(walk) == "each"));

    Bytes cl = GetCommandLineA();
    size_t i = 0;
    if (!cl.empty() && cl[0] == '"') {
        i = cl.find('"', 1);
        i = i == Bytes::npos ? cl.size() : i + 1;
    } else {
        while (i < cl.size() && cl[i] != ' ' && cl[i] != '\t') ++i;
    }
    bool sFlag = false, haveCommand = false;
    for (;;) {
        while (i < cl.size() && (cl[i] == ' ' || cl[i] == '\t')) ++i;
        if (i + 1 >= cl.size() || cl[i] != '/') break;
        char sw = static_cast<char>(tolower(static_cast<unsigned char>(cl[i + 1])));
        i += 2;
        if (sw == 'c' || sw == 'k') {
            haveCommand = true;
            break;
        }
        if (sw == 's') sFlag = true;
        if (i < cl.size() && cl[i] == ':')
            while (i < cl.size() && cl[i] != ' ' && cl[i] != '\t' && cl[i] != '/') ++i;
    }
    if (!haveCommand) {
        // No /C: take commands from standard input, one a line.
        Bytes input;
        char buf[4096];
        DWORD n = 0;
        while (ReadFile(g.out[0], buf, sizeof buf, &n, nullptr) && n > 0) input.append(buf, n);
        runLines(linesOf(input), false);
        return g.errorLevel;
    }
    Bytes text = commandText(cl.substr(i), sFlag);
    std::vector<Bytes> words = splitArgs(text);
    // An unquoted name with blanks: the first run of words that names a
    // batch file, as the interpreter tries longer and longer prefixes.
    for (size_t n = 1; n <= words.size(); ++n) {
        Bytes name = words[0];
        for (size_t k = 1; k < n; ++k) name += " " + words[k];
        if (!isBatchName(unquote(name))) continue;
        Bytes content;
        if (!readFile(unquote(name), &content)) {
            if (n > 1 || words.size() > 1) continue;
            complain("系统找不到指定的路径。");
            return 1;
        }
        g.args = {name};
        g.args.insert(g.args.end(), words.begin() + n, words.end());
        runLines(batchFile(unquote(name)), true);
        return g.errorLevel;
    }
    runLines(linesOf(text), false);
    return g.errorLevel;
}

}  // namespace
}  // namespace mvcmd

int main() { return mvcmd::start(); }
