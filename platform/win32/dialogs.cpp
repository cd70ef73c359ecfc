#include "platform/win32/dialogs.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace mv::win32 {

namespace {

int boxCode(int id) {
    switch (id) {
        case IDOK: return kOk;
        case IDCANCEL: return kCancel;
        case IDABORT: return kAbort;
        case IDRETRY: return kRetry;
        case IDIGNORE: return kIgnore;
        case IDYES: return kYes;
        case IDNO: return kNo;
        case 0: return kNoBox;
        default: return kOk;
    }
}

BOOL CALLBACK collectEnabled(HWND hwnd, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowEnabled(hwnd)) {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    }
    return TRUE;
}

// The enabled top-level windows of this process.
std::vector<HWND> enabledWindows() {
    std::vector<HWND> windows;
    EnumWindows(collectEnabled, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace

int messageBox(const Text& text, unsigned flags, const Text& title) {
    if (!(flags & MB_SYSTEMMODAL)) flags |= MB_TASKMODAL;
    const char* caption = title.empty() ? kDefaultTitle : title.c_str();
    HWND foreground = GetForegroundWindow();
    int id = MessageBoxA(nullptr, text.c_str(), caption, flags);
    // A box without owner hands the foreground to no one when it closes
    // (so under Wine); give it back to the window that had it.
    if (foreground && IsWindow(foreground) && GetForegroundWindow() != foreground) SetForegroundWindow(foreground);
    return boxCode(id);
}

Text folderDialog(const Text& prompt) {
    HWND foreground = GetForegroundWindow();
    HWND active = GetActiveWindow();
    std::vector<HWND> disabled = enabledWindows();
    for (HWND w : disabled) EnableWindow(w, FALSE);

    char name[MAX_PATH] = "";
    BROWSEINFOA bi = {};
    bi.hwndOwner = active;
    bi.pszDisplayName = name;
    bi.lpszTitle = prompt.c_str();
    bi.ulFlags = BIF_EDITBOX;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&bi);

    char path[MAX_PATH] = "";
    if (item) {
        if (!SHGetPathFromIDListA(item, path)) path[0] = '\0';
        CoTaskMemFree(item);
    }

    for (HWND w : disabled) EnableWindow(w, TRUE);
    if (foreground) SetForegroundWindow(foreground);
    if (active) SetActiveWindow(active);
    return Text(path);
}

}  // namespace mv::win32
