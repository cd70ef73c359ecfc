// Folder listings for dir, copy, del and if exist, and the system's rule
// for comparing names without case. Win32.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "tools/standin/syntax.h"

namespace mvcmd {

// Bytes in code page 936 as UTF-16, for comparing names only.
Wide widen(const Bytes& gbk);

// The system's ordinal comparison without case (its upper-case table),
// which is how FindFirstFile compares names.
bool sameLetter(char16_t a, char16_t b);

struct Entry {
    Bytes name;  // as FindFirstFileA gives it
    Wide wide;   // the same name for matching
    DWORD attrs;
};

// A folder's entries in the order the file system gives them.
struct Folder {
    std::vector<Entry> entries;
    std::vector<uint64_t> prints;    // namePrint of each entry, side by side for a quick scan
    std::vector<size_t> subfolders;  // entries that are folders, links left out
    // Each subfolder's listing once it is kept, so later walks need no lookup.
    mutable std::vector<std::shared_ptr<const Folder>> kept;
};
using FolderPtr = std::shared_ptr<const Folder>;

// Listings of folders for dir and the others. Each folder is read once and kept until the stand-in itself creates, copies
// over or deletes a file, so the search loop's dir calls share one walk.
// Changes made by other programs meanwhile are not seen (see README). With
// keep off every call reads the folder again: a walk per dir call.
class Listings {
public:
    explicit Listings(bool keep) : keep_(keep) {}
    FolderPtr of(const Bytes& folder);
    // The listing of parent's i-th subfolder, which path names.
    FolderPtr sub(const Folder& parent, size_t i, const Bytes& path);
    // The stand-in has changed something on disk: read everything anew.
    void forget() { kept_.clear(); }

private:
    bool keep_;
    std::unordered_map<Bytes, FolderPtr> kept_;
};

}  // namespace mvcmd
