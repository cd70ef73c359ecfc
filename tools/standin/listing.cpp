#include "tools/standin/listing.h"

namespace mvcmd {

Wide widen(const Bytes& gbk) {
    if (gbk.empty()) return Wide();
    int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    Wide out(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()),
                        reinterpret_cast<wchar_t*>(&out[0]), n);
    return out;
}

bool sameLetter(char16_t a, char16_t b) {
    const wchar_t wa = a, wb = b;
    return CompareStringOrdinal(&wa, 1, &wb, 1, TRUE) == CSTR_EQUAL;
}

namespace {

FolderPtr read(const Bytes& folder) {
    auto out = std::make_shared<Folder>();
    Bytes pattern = folder + (!folder.empty() && lastSlash(folder) == folder.size() - 1 ? "*" : "\\*");
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        Bytes name = fd.cFileName;
        if (name == "." || name == "..") continue;
        DWORD a = fd.dwFileAttributes;
        if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT))
            out->subfolders.push_back(out->entries.size());
        out->entries.push_back({name, widen(name), a});
        out->prints.push_back(namePrint(out->entries.back().wide));
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    out->kept.resize(out->subfolders.size());
    return out;
}

// "D:\pics\" and "D:\pics" are one folder; "D:\" keeps its backslash.
Bytes key(const Bytes& folder) {
    size_t slash = lastSlash(folder);
    if (slash != Bytes::npos && slash + 1 == folder.size() && slash > 0 && folder[slash - 1] != ':')
        return folder.substr(0, slash);
    return folder;
}

}  // namespace

FolderPtr Listings::of(const Bytes& folder) {
    if (!keep_) return read(folder);
    FolderPtr& slot = kept_[key(folder)];
    if (!slot) slot = read(folder);
    return slot;
}

FolderPtr Listings::sub(const Folder& parent, size_t i, const Bytes& path) {
    if (!keep_) return read(path);
    if (!parent.kept[i]) parent.kept[i] = of(path);
    return parent.kept[i];
}

}  // namespace mvcmd
