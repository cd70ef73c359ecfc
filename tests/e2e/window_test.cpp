// The main window as the running program builds it, seen from outside:
// frame, controls, menu, keyboard, and the executable's own conventions.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/window.h"
#include "platform/win32/build.h"
#include "platform/win32/form.h"
#include "tests/e2e/driver.h"

namespace mv {
namespace {

using e2e::App;

const char* kindClass(Kind kind) {
    switch (kind) {
        case Kind::EditBox: return "Edit";
        case Kind::Label: return "Static";
        case Kind::Button:
        case Kind::GroupBox: return "Button";
    }
    return "";
}

TEST(MainWindow, CaptionFrameSizeAndCentredPosition) {
    App app;
    ASSERT_TRUE(app.start());
    HWND w = app.window();
    EXPECT_EQ(e2e::windowText(w), "Morvane");

    RECT r;
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_EQ(r.right - r.left, 312);
    EXPECT_EQ(r.bottom - r.top, 458);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 312) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 458) / 2);

    LONG style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_POPUP | WS_CHILD));
    LONG exStyle = GetWindowLongA(w, GWL_EXSTYLE);
    EXPECT_FALSE(exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);  // unowned: shown in the task bar
    EXPECT_NE(GetMenu(w), nullptr);
}

TEST(MainWindow, ControlsAsTheDescriptionGivesThem) {
    App app;
    ASSERT_TRUE(app.start());
    int count = 0;
    for (const ControlDesc& c : mainWindow().controls) {
        SCOPED_TRACE(c.name);
        HWND h = app.control(c.name);
        ASSERT_NE(h, nullptr);
        ++count;
        EXPECT_EQ(e2e::className(h), kindClass(c.kind));
        EXPECT_EQ(e2e::windowText(h), c.text);
        EXPECT_EQ(IsWindowVisible(h) != 0, c.visible);
        EXPECT_EQ(IsWindowEnabled(h) != 0, c.enabled);

        HWND container = c.container ? app.control(c.container) : app.window();
        EXPECT_EQ(GetParent(h), container);
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, c.left);
        EXPECT_EQ(r.top, c.top);
        EXPECT_EQ(r.right - r.left, c.width);
        EXPECT_EQ(r.bottom - r.top, c.height);
    }
    EXPECT_EQ(count, 14);
    EXPECT_EQ(app.text(ctl::kBatch).size(), 369u);
}

HWND childById(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } s{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM p) {
            auto* s = reinterpret_cast<Search*>(p);
            if (GetDlgCtrlID(h) != s->id) return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Font, background and colours cannot be asked of another process under
// Wine, so the runtime builds the same window here, hidden.
TEST(WindowInThisProcess, FontBackgroundAndTextColours) {
    Win32Runtime rt(mainWindow(), GetModuleHandleA(nullptr));
    ASSERT_TRUE(rt.load(SW_HIDE));
    HWND w = rt.window();
    HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(GetClassLongPtrA(w, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)), guiFont);
    HDC dc = CreateCompatibleDC(nullptr);
    for (const ControlDesc& c : mainWindow().controls) {
        SCOPED_TRACE(c.name);
        HWND h = childById(w, c.id);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), guiFont);
        if (c.kind != Kind::Label && c.kind != Kind::GroupBox) continue;
        // Asked of the control's own parent, as the control itself asks.
        SetTextColor(dc, RGB(1, 2, 3));
        LRESULT brush = SendMessageA(GetParent(h), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(h));
        EXPECT_EQ(GetTextColor(dc), c.kind == Kind::Label ? RGB(0, 0, 255) : RGB(0, 0, 0));
        EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_BTNFACE));
    }
    DeleteDC(dc);
    DestroyWindow(w);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// Styles that make each kind behave as the window needs.
TEST(MainWindow, ControlStyles) {
    App app;
    ASSERT_TRUE(app.start());
    struct Case {
        const char* name;
        LONG set;
        LONG clear;
    };
    const Case cases[] = {
        {ctl::kNames, ES_MULTILINE | WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
         ES_READONLY | ES_PASSWORD | ES_UPPERCASE | ES_LOWERCASE | ES_NUMBER | ES_NOHIDESEL},
        {ctl::kBatch, ES_MULTILINE | WS_VSCROLL, ES_AUTOHSCROLL | WS_HSCROLL | ES_READONLY},
        {ctl::kSearchPath, ES_AUTOHSCROLL, ES_MULTILINE | ES_READONLY | ES_PASSWORD | ES_NOHIDESEL},
        {ctl::kSavePath, ES_AUTOHSCROLL, ES_MULTILINE | ES_READONLY | ES_PASSWORD | ES_NOHIDESEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND h = app.control(c.name);
        LONG style = GetWindowLongA(h, GWL_STYLE);
        EXPECT_EQ(style & c.set, c.set);
        EXPECT_EQ(style & c.clear, 0);
        EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        // No length limit: a long pasted list is never cut.
        EXPECT_GE(static_cast<unsigned long>(SendMessageA(h, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEul);
    }
    for (const ControlDesc& c : mainWindow().controls) {
        if (c.kind != Kind::Button) continue;
        SCOPED_TRACE(c.name);
        LONG type = GetWindowLongA(app.control(c.name), GWL_STYLE) & BS_TYPEMASK;
        EXPECT_EQ(type, BS_PUSHBUTTON);  // none is the default button
    }
    EXPECT_EQ(GetWindowLongA(app.control("分组框1"), GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX);
}

TEST(MainWindow, TypedTextBeyondTheDefaultEditLimitIsKept) {
    App app;
    ASSERT_TRUE(app.start());
    std::string names;
    for (int i = 0; names.size() < 100000; ++i) names += "文件" + std::to_string(i) + ".jpg\r\n";
    app.type(ctl::kNames, names);
    EXPECT_EQ(app.text(ctl::kNames), names);
}

// The menu bar as the runtime builds it from the description (a menu of
// another process cannot be read under Wine, so it is built here).
TEST(MainWindow, MenuBarHoldsTwoMenusAndFourItems) {
    HMENU bar = createMenuBar(mainWindow());
    ASSERT_NE(bar, nullptr);
    struct Item {
        int id;
        const char* caption;
    };
    struct Menu {
        const char* caption;
        std::vector<Item> items;
    };
    const Menu expected[] = {
        {"设置", {{2001, "选择搜索路径"}, {2002, "选择保存路径"}, {2003, "关于"}}},
        {"帮助", {{2004, "使用说明"}}},
    };
    auto caption = [](HMENU m, UINT pos) {
        char text[64] = "";
        GetMenuStringA(m, pos, text, sizeof text, MF_BYPOSITION);
        return std::string(text);
    };
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    for (UINT i = 0; i < 2; ++i) {
        SCOPED_TRACE(expected[i].caption);
        EXPECT_EQ(caption(bar, i), expected[i].caption);
        HMENU popup = GetSubMenu(bar, i);
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected[i].items.size()));
        for (UINT k = 0; k < expected[i].items.size(); ++k) {
            EXPECT_EQ(caption(popup, k), expected[i].items[k].caption);
            EXPECT_EQ(GetMenuItemID(popup, k), static_cast<UINT>(expected[i].items[k].id));
            UINT state = GetMenuState(popup, k, MF_BYPOSITION);
            EXPECT_EQ(state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR | MF_POPUP), 0u);
        }
    }
    DestroyMenu(bar);
}

// The real menu bar, by keys: F10 opens 设置, Right moves to 帮助.
TEST(MainWindow, MenuItemsByKeysInTheirOrder) {
    struct Case {
        const char* keys;
        bool folderBrowser;
        const char* text;  // the browser's prompt or the box's title
    };
    const Case cases[] = {
        {"F10 Down Return", true, "搜索路径"},
        {"F10 Down Down Return", true, "保存路径"},
        {"F10 Down Down Down Return", false, "Morvane"},
        {"F10 Down Down Down Down Return", true, "搜索路径"},  // three items: wraps to the first
        {"F10 Right Down Return", false, "使用帮助"},
    };
    App app;
    ASSERT_TRUE(app.start());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        ASSERT_TRUE(e2e::waitUntil([&] { return GetForegroundWindow() == app.window(); }));
        ASSERT_TRUE(e2e::pressKeys(c.keys));
        if (c.folderBrowser) {
            HWND dialog = app.waitFolderBrowser();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(e2e::dialogText(dialog), c.text);
            ASSERT_TRUE(e2e::pressKeys("Escape"));
        } else {
            HWND box = app.waitMessageBox();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(e2e::windowText(box), c.text);
            e2e::press(box, IDOK);
        }
        ASSERT_TRUE(app.waitDialogsClosed());
    }
}

TEST(MainWindow, TabAndShiftTabFollowCreationOrderOverEnabledControls) {
    App app;
    ASSERT_TRUE(app.start());
    const char* order[] = {ctl::kStart, ctl::kSearchPath, ctl::kSavePath, "按钮_选择搜索路径", "按钮_选择保存路径",
                           ctl::kNames};
    const int n = 6;
    ASSERT_TRUE(e2e::waitUntil([&] { return app.focus() == app.control(order[0]); }));
    for (int step = 1; step <= n; ++step) {  // once round and back to the start
        SCOPED_TRACE(step);
        ASSERT_TRUE(e2e::pressKeys("Tab"));
        EXPECT_TRUE(e2e::waitUntil([&] { return app.focus() == app.control(order[step % n]); }));
    }
    for (int step = 1; step <= n; ++step) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(e2e::pressKeys("shift+Tab"));
        EXPECT_TRUE(e2e::waitUntil([&] { return app.focus() == app.control(order[(n - step) % n]); }));
    }
}

TEST(MainWindow, EnterBreaksLinesOnlyInTheNamesBox) {
    App app;
    ASSERT_TRUE(app.start());
    // From 按钮_开始搜索: Enter there, then Tab to the save path box and
    // Enter, then on to the names box.
    ASSERT_TRUE(e2e::waitUntil([&] { return app.focus() == app.control(ctl::kStart); }));
    ASSERT_TRUE(e2e::pressKeys("Return Tab Tab a Return Tab Tab Tab a Return b"));
    ASSERT_TRUE(e2e::waitUntil([&] { return app.text(ctl::kNames) == "a\r\nb"; }));
    EXPECT_EQ(app.text(ctl::kSavePath), "a");
    EXPECT_EQ(app.focus(), app.control(ctl::kNames));
    EXPECT_EQ(app.waitMessageBox(0), nullptr);
    EXPECT_FALSE(e2e::fileExists(app.runDir() + "\\UM7Y9X4K.txt"));
    EXPECT_FALSE(e2e::fileExists(app.tempDir() + "\\file.txt"));  // the search job did not run
}

TEST(MainWindow, EscapeClosesFromAnyControlAndTheProgramEndsWithZero) {
    struct Case {
        const char* tabs;  // from 按钮_开始搜索, which has the focus at start
        const char* name;
    };
    const Case cases[] = {
        {"", ctl::kStart},
        {"Tab Tab", ctl::kSavePath},
        {"Tab Tab Tab Tab Tab", ctl::kNames},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        App app(std::string("MainWindow.Escape.") + std::to_string(&c - cases));
        ASSERT_TRUE(app.start());
        ASSERT_TRUE(e2e::waitUntil([&] { return app.focus() == app.control(ctl::kStart); }));
        if (*c.tabs) {
            ASSERT_TRUE(e2e::pressKeys(c.tabs));
        }
        ASSERT_TRUE(e2e::waitUntil([&] { return app.focus() == app.control(c.name); }));
        ASSERT_TRUE(e2e::pressKeys("Escape"));
        DWORD code = 99;
        ASSERT_TRUE(app.waitExit(&code));
        EXPECT_EQ(code, 0u);
    }
}

// Conventions of a Windows program: manifest, version resource, no DLLs
// but the system's. The version is the project's (MV_VERSION).
TEST(Executable, ManifestVersionAndSystemDllsOnly) {
    std::string exe = e2e::programPath();
    HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    HRSRC res = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(res, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(image, res))), SizeofResource(image, res));
    FreeLibrary(image);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Morvane\" version=\"" MV_VERSION ".0\""), std::string::npos);

    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
    char* product = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\080403a8\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, "Morvane");
    for (const char* key : {"FileVersion", "ProductVersion"}) {
        char* text = nullptr;
        std::string path = std::string("\\StringFileInfo\\080403a8\\") + key;
        ASSERT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) << key;
        EXPECT_STREQ(text, MV_VERSION) << key;
    }
    unsigned major = 0, minor = 0, patch = 0;
    ASSERT_EQ(std::sscanf(MV_VERSION, "%u.%u.%u", &major, &minor, &patch), 3);
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(minor, major));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, patch));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    // Imports, read from the file's own PE headers.
    std::string bytes = e2e::readFile(exe);
    ASSERT_GT(bytes.size(), 1024u);
    auto at = [&](size_t offset) { return bytes.data() + offset; };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(at(dos->e_lfanew));
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
                return rva - s.VirtualAddress + s.PointerToRawData;
            }
        }
        return 0;
    };
    DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    const auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(fileOffset(importRva)));
    const std::vector<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll",
                                             "ole32.dll",    "comctl32.dll", "msvcrt.dll", "advapi32.dll"};
    int dlls = 0;
    for (; import->Name; ++import, ++dlls) {
        std::string name = at(fileOffset(import->Name));
        for (char& ch : name) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        EXPECT_NE(std::find(system.begin(), system.end(), name), system.end()) << name;
    }
    EXPECT_GT(dlls, 0);
}

}  // namespace
}  // namespace mv
