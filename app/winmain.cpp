// Program start and end: run directory, shell, name table, main window,
// message loop.
#include <windows.h>
#include <objbase.h>

#include "app/window.h"
#include "platform/win32/form.h"
#include "results/review.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showMode) {
    mv::Win32Runtime rt(mv::mainWindow(), instance);
    // The started script inherits this folder and writes its found list
    // there. The backslash keeps a drive root from meaning the drive's
    // current folder.
    SetCurrentDirectoryA((rt.runDirectory() + "\\").c_str());
    // The folder browser is a shell dialog.
    HRESULT com = CoInitialize(nullptr);
    mv::nameTable() = mv::NameTable{};
    if (rt.load(showMode)) rt.run();
    mv::releaseNameTable();
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
