#include "tests/unit/fake_runtime.h"

#include <stdexcept>
#include <tuple>

#include "platform/text.h"

namespace mv {

bool FakeRuntime::IniKey::operator<(const IniKey& o) const {
    return std::tie(file, section, key) < std::tie(o.file, o.section, o.key);
}

void FakeRuntime::start() {
    building_ = true;
    for (const ControlDesc& c : desc_.controls) {
        controls[c.name] = Control{c.kind, c.text, !c.enabled, c.visible};
    }
    building_ = false;
    raise(kWindowSource, Event::Created, "created");
}

void FakeRuntime::raise(const char* source, Event event, const char* eventName) {
    if (building_) return;
    events.push_back(std::string(source) + ":" + eventName);
    Handler h = findHandler(desc_, source, event);
    if (!h) return;
    ++handlerDepth_;
    h(*this);
    --handlerDepth_;
    deliverProgramEnded();
}

void FakeRuntime::endProgram() {
    // A program ends once.
    if (starts.empty() || lastEnded_) return;
    lastEnded_ = true;
    running = false;
    for (size_t i = 0; i < alive.size(); ++i) {
        if (alive[i].id == last_.id && alive[i].created == last_.created) alive.erase(alive.begin() + i);
    }
    endWaiting_ = true;
    deliverProgramEnded();
}

void FakeRuntime::deliverProgramEnded() {
    // As the Win32 runtime: not inside a handler, not over a box, not after
    // the window has closed.
    if (!endWaiting_ || handlerDepth_ > 0 || inBox_ || !open) return;
    endWaiting_ = false;
    raise(kWindowSource, Event::ProgramEnded, "programEnded");
}

FakeRuntime::Control& FakeRuntime::control(const char* name) {
    auto it = controls.find(name);
    if (it == controls.end()) throw std::logic_error(std::string("no control ") + name);
    return it->second;
}

void FakeRuntime::click(const char* button) {
    Control& c = control(button);
    if (c.kind != Kind::Button) throw std::logic_error("not a button");
    if (!c.disabled && c.visible) raise(button, Event::Clicked, "clicked");
}

void FakeRuntime::search(const Text& searchPath, const Text& savePath, const Text& names) {
    write(ctl::kSearchPath, searchPath);
    write(ctl::kSavePath, savePath);
    write(ctl::kNames, names);
    click(ctl::kStart);
}

void FakeRuntime::choose(const char* menuItem) { raise(menuItem, Event::Chosen, "chosen"); }

void FakeRuntime::type(const char* box, const Text& text) {
    control(box).text = text;
    raise(box, Event::Changed, "changed");
}

Text FakeRuntime::read(const char* name) {
    Control& c = control(name);
    if (c.kind != Kind::EditBox) throw std::logic_error("read of a non-edit control");
    return c.text;
}

void FakeRuntime::write(const char* name, const Text& text) {
    Control& c = control(name);
    if (c.kind != Kind::EditBox) throw std::logic_error("write of a non-edit control");
    c.text = text;
    raise(name, Event::Changed, "changed");
}

void FakeRuntime::setDisabled(const char* name, bool disabled) {
    Control& c = control(name);
    if (c.kind != Kind::Button) throw std::logic_error("setDisabled of a non-button");
    c.disabled = disabled;
    stateChanges.push_back(std::string(name) + (disabled ? "=1" : "=0"));
}

int FakeRuntime::messageBox(const Text& text, unsigned flags, const Text& title) {
    boxes.push_back({text, flags, title});
    inBox_ = true;
    if (duringBox) duringBox();
    inBox_ = false;
    if (boxAnswers.empty()) return kOk;
    int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

Text FakeRuntime::folderDialog(const Text& prompt) {
    prompts.push_back(prompt);
    if (folderAnswers.empty()) return "";
    Text answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

Text FakeRuntime::readSetting(const Text& file, const Text& section, const Text& k) {
    auto it = ini.find({file, section, k});
    return it == ini.end() ? Text() : it->second;
}

void FakeRuntime::writeSetting(const Text& file, const Text& section, const Text& k, const Text& value) {
    settingWrites.push_back({file, section, k, value});
    ini[{file, section, k}] = value;
}

Text FakeRuntime::shortPath(const Text& path) {
    auto it = shortPaths.find(path);
    return it == shortPaths.end() ? Text() : it->second;
}

Text FakeRuntime::key(const Text& path) const {
    Text k = foldPath(path);
    auto it = aliases.find(k);
    return it == aliases.end() ? k : it->second;
}

void FakeRuntime::putFile(const Text& path, const Text& bytes) {
    File& f = files[key(path)];
    if (f.path.empty()) f.path = path;
    f.bytes = bytes;
    if (f.index == 0) f.index = nextIndex_++;
}

void FakeRuntime::putFolder(const Text& path) { folders.insert(key(path)); }

void FakeRuntime::alias(const Text& path, const Text& samePath) {
    Text target = key(samePath);
    aliases[key(path)] = target;
}

void FakeRuntime::link(const Text& path, const Text& existing) {
    File f = *file(existing);
    f.path = path;
    files[key(path)] = f;
}

bool FakeRuntime::hasFile(const Text& path) const { return file(path) != nullptr; }

const FakeRuntime::File* FakeRuntime::file(const Text& path) const {
    auto it = files.find(key(path));
    return it == files.end() ? nullptr : &it->second;
}

FakeRuntime::File* FakeRuntime::file(const Text& path) {
    auto it = files.find(key(path));
    return it == files.end() ? nullptr : &it->second;
}

bool FakeRuntime::writeFile(const Text& path, const Text& bytes) {
    fileWrites.push_back(path);
    if (path.empty() || folders.count(key(path))) return false;
    size_t cut = lastBackslash(path);
    if (cut != Text::npos && unwritableFolders.count(key(path.substr(0, cut)))) return false;
    File* f = file(path);
    if (f && (f->readOnly || f->locked)) return false;
    putFile(path, bytes);
    return true;
}

Text FakeRuntime::readFile(const Text& path) {
    fileReads.push_back(path);
    const File* f = file(path);
    return f && !f->locked ? f->bytes : Text();
}

bool FakeRuntime::deleteFile(const Text& path) {
    deleteCalls.push_back(path);
    File* f = file(path);
    if (!f || f->readOnly || f->locked) return false;
    files.erase(key(path));
    return true;
}

namespace {

bool refusedName(const Text& path) { return path.find_first_of("*?") != Text::npos || path.size() > 259; }

}  // namespace

FileInfo FakeRuntime::fileInfo(const Text& path) {
    FileInfo info;
    if (refusedName(path)) return info;
    if (folders.count(key(path))) {
        info.exists = info.folder = true;
        info.index = std::hash<Text>()(key(path)) | (1ull << 63);
    } else if (const File* f = file(path)) {
        info.exists = true;
        info.index = f->index;
        info.size = f->bytes.size();
    }
    info.volume = info.exists ? 7 : 0;
    return info;
}

Opened FakeRuntime::readSharedFile(const Text& path, Text& bytes) {
    fileReads.push_back(path);
    bytes.clear();
    const File* f = file(path);
    if (refusedName(path) || folders.count(key(path)) || (f && f->locked)) return Opened::kFailed;
    if (!f) return Opened::kMissing;
    bytes = f->bytes;
    return Opened::kOk;
}

HeldFile FakeRuntime::holdFile(const Text& path) {
    HeldFile h;
    const File* f = file(path);
    if (refusedName(path) || (f && f->locked)) return h;
    if (!f && !folders.count(key(path))) {
        h.status = Opened::kMissing;
        return h;
    }
    // One file shares its sharing rules across its names: a name of a file
    // we hold already cannot be opened with delete access.
    for (const auto& [id, heldPath] : held) {
        if (sameFile(fileInfo(heldPath), fileInfo(path))) return h;
    }
    h.status = Opened::kOk;
    h.id = nextHeld_++;
    h.info = fileInfo(path);
    held[h.id] = path;
    return h;
}

Compared FakeRuntime::compareHeld(uint64_t id, const Text& path) {
    const Text& heldPath = held.at(id);
    contentCompares.push_back(heldPath);
    const File* original = file(heldPath);
    const File* other = file(path);
    // Opening the other file to read it needs the held one to share that.
    if (!original || !other || other->locked || refusedName(path) || other->index == original->index) {
        return Compared::kFailed;
    }
    return original->bytes == other->bytes ? Compared::kSame : Compared::kDifferent;
}

bool FakeRuntime::deleteHeld(uint64_t id) {
    const Text& heldPath = held.at(id);
    deleteCalls.push_back(heldPath);
    const File* f = file(heldPath);
    if (!f || f->readOnly) return false;
    deleting_.insert(id);
    return true;
}

void FakeRuntime::releaseFile(uint64_t id) {
    if (deleting_.erase(id)) files.erase(key(held.at(id)));
    held.erase(id);
}

void FakeRuntime::pause(unsigned ms) {
    pauses.push_back(ms);
    pausing_ = true;
    if (duringPause) duringPause();
    pausing_ = false;
}

bool FakeRuntime::startProgram(const Text& commandLine, bool wait, int showMode) {
    starts.push_back({commandLine, wait, showMode});
    endWaiting_ = false;
    lastEnded_ = false;
    last_ = {static_cast<uint32_t>(4000 + 4 * starts.size()), 130000000000000000ull + starts.size()};
    if (!startsEnded) alive.push_back(last_);
    return true;
}

bool FakeRuntime::processRuns(const ProcessStamp& p) {
    for (const ProcessStamp& a : alive) {
        if (a.id == p.id && a.created == p.created) return true;
    }
    return false;
}

std::vector<Text> FakeRuntime::folderFiles(const Text& folder) {
    Text prefix = foldPath(folder);
    if (!endsWithBackslash(prefix)) prefix += '\\';
    std::vector<Text> names;
    for (const auto& [k, f] : files) {
        if (k.compare(0, prefix.size(), prefix) == 0 && k.find('\\', prefix.size()) == Text::npos) {
            names.push_back(f.path.substr(prefix.size()));
        }
    }
    return names;
}

Text FakeRuntime::nameKey(const Text& name) {
    // ASCII letters, and the full-width Latin, Greek and Cyrillic letters of
    // code page 936, whose lower case stands 0x20 or 0x30 after the upper.
    Text k = name;
    for (size_t i = 0; i < k.size(); i += charLength(k, i)) {
        unsigned char b = k[i];
        if (charLength(k, i) == 1) {
            if (b >= 'a' && b <= 'z') k[i] = static_cast<char>(b - 0x20);
            continue;
        }
        unsigned char t = k[i + 1];
        if (b == 0xA3 && t >= 0xE1 && t <= 0xFA) k[i + 1] = static_cast<char>(t - 0x20);
        if (b == 0xA6 && t >= 0xC1 && t <= 0xD8) k[i + 1] = static_cast<char>(t - 0x20);
        if (b == 0xA7 && t >= 0xD1 && t <= 0xF1) k[i + 1] = static_cast<char>(t - 0x30);
    }
    return k;
}

bool FakeRuntime::canDelete(const Text& path) {
    const File* f = file(path);
    return !folders.count(key(path)) && (!f || (!f->readOnly && !f->locked));
}

void FakeRuntime::shellExecute(const Text& verb, const Text& file, const Text& params, const Text& dir, int show) {
    shellCalls.push_back({verb, file, params, dir, show});
}

}  // namespace mv
