#include "platform/win32/form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>

#include "platform/win32/build.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/files.h"
#include "platform/win32/process.h"

namespace mv {

namespace {

const char* const kWindowClass = "MorvaneMainWindow";
const COLORREF kLabelColour = RGB(0, 0, 255);
const COLORREF kGroupColour = RGB(0, 0, 0);
// Posted by the wait on the program started last; wParam its generation.
const UINT kMsgProgramEnded = WM_APP + 1;
// Retries a waiting ProgramEnded while a handler or a box holds the window.
const UINT_PTR kEndTimer = 1;
const UINT kEndRetryMs = 200;

Win32Runtime* formOf(HWND hwnd) { return reinterpret_cast<Win32Runtime*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

HFONT guiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// One function per message.

BOOL onNcCreate(HWND hwnd, LPCREATESTRUCTA cs) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    return FORWARD_WM_NCCREATE(hwnd, cs, DefWindowProcA);
}

void onCommand(HWND hwnd, int id, HWND control, UINT code) {
    if (Win32Runtime* form = formOf(hwnd)) form->onCommand(id, control, code);
}

HBRUSH onCtlColorStatic(HWND hwnd, HDC dc, HWND control, int) {
    Win32Runtime* form = formOf(hwnd);
    HBRUSH brush = form ? form->onCtlColorStatic(dc, control) : nullptr;
    return brush ? brush : FORWARD_WM_CTLCOLORSTATIC(hwnd, dc, control, DefWindowProcA);
}

void onActivate(HWND hwnd, UINT state, HWND, BOOL) {
    if (Win32Runtime* form = formOf(hwnd)) form->onActivate(state);
}

void onSetFont(HWND hwnd, HFONT font, BOOL) {
    if (Win32Runtime* form = formOf(hwnd)) form->onSetFont(font);
}

HFONT onGetFont(HWND hwnd) {
    Win32Runtime* form = formOf(hwnd);
    return form ? form->onGetFont() : nullptr;
}

void onDestroy(HWND) { PostQuitMessage(0); }

void onTimer(HWND hwnd, UINT id) {
    Win32Runtime* form = formOf(hwnd);
    if (form && id == kEndTimer) form->deliverProgramEnded();
}

// Runs on a pool thread when the watched process ends.
void CALLBACK processEnded(void* context, BOOLEAN) {
    auto* posted = static_cast<std::pair<HWND, unsigned>*>(context);
    PostMessageA(posted->first, kMsgProgramEnded, posted->second, 0);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        HANDLE_MSG(hwnd, WM_NCCREATE, onNcCreate);
        HANDLE_MSG(hwnd, WM_COMMAND, onCommand);
        HANDLE_MSG(hwnd, WM_CTLCOLORSTATIC, onCtlColorStatic);
        HANDLE_MSG(hwnd, WM_ACTIVATE, onActivate);
        HANDLE_MSG(hwnd, WM_SETFONT, onSetFont);
        HANDLE_MSG(hwnd, WM_GETFONT, onGetFont);
        HANDLE_MSG(hwnd, WM_DESTROY, onDestroy);
        HANDLE_MSG(hwnd, WM_TIMER, onTimer);
        case kMsgProgramEnded:
            if (Win32Runtime* form = formOf(hwnd)) form->onProgramEnded(static_cast<unsigned>(wParam));
            return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A container hands the colour question of its children on to the main
// window, which knows their kinds.
LRESULT CALLBACK containerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_CTLCOLORSTATIC) return SendMessageA(GetAncestor(hwnd, GA_ROOT), msg, wParam, lParam);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

bool takesFocus(const ControlDesc& c, HWND h) {
    return (c.kind == Kind::EditBox || c.kind == Kind::Button) && IsWindowVisible(h) && IsWindowEnabled(h);
}

}  // namespace

Win32Runtime::Win32Runtime(const WindowDesc& desc, HINSTANCE instance)
    : desc_(desc), instance_(instance), controls_(desc.controls.count, nullptr) {}

Win32Runtime::~Win32Runtime() {
    stopWatching();
    if (process_) CloseHandle(process_);
}

void Win32Runtime::watchProcess() {
    posted_ = {window_, ++generation_};
    endWaiting_ = false;
    if (!RegisterWaitForSingleObject(&processWait_, process_, processEnded, &posted_, INFINITE,
                                     WT_EXECUTEONLYONCE)) {
        processWait_ = nullptr;
    }
}

void Win32Runtime::stopWatching() {
    // Waits for a callback under way, so it never sees posted_ change.
    if (processWait_) UnregisterWaitEx(processWait_, INVALID_HANDLE_VALUE);
    processWait_ = nullptr;
}

void Win32Runtime::onProgramEnded(unsigned generation) {
    if (generation != generation_) return;  // a program started before the last
    endWaiting_ = true;
    deliverProgramEnded();
}

void Win32Runtime::deliverProgramEnded() {
    if (!endWaiting_) {
        KillTimer(window_, kEndTimer);
        return;
    }
    // Not inside a handler (the search job's pause included) and not over a
    // box: a box of the program disables the window.
    if (handlerDepth_ > 0 || !IsWindowEnabled(window_)) {
        SetTimer(window_, kEndTimer, kEndRetryMs, nullptr);
        return;
    }
    KillTimer(window_, kEndTimer);
    endWaiting_ = false;
    raise(kWindowSource, Event::ProgramEnded);
}

bool Win32Runtime::load(int showMode) {
    building_ = true;
    bool made = create();
    building_ = false;
    if (!made) return false;
    raise(kWindowSource, Event::Created);
    ShowWindow(window_, showMode);
    UpdateWindow(window_);
    return true;
}

bool Win32Runtime::create() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    HMENU menu = createMenuBar(desc_);
    int left = (GetSystemMetrics(SM_CXSCREEN) - desc_.width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - desc_.height) / 2;
    window_ = CreateWindowExA(0, kWindowClass, desc_.caption, kMainStyle, left, top, desc_.width, desc_.height,
                              nullptr, menu, instance_, this);
    if (!window_) {
        if (menu) DestroyMenu(menu);
        return false;
    }
    SetWindowFont(window_, guiFont(), FALSE);

    for (size_t i = 0; i < desc_.controls.count; ++i) {
        controls_[i] = createControl(desc_.controls.rows[i]);
        if (!controls_[i]) return false;
    }
    for (size_t i = 0; i < desc_.controls.count; ++i) {
        const ControlDesc& c = desc_.controls.rows[i];
        if (!c.container) continue;
        HWND container = handleOf(c.container);
        if (!container) return false;
        SetParent(controls_[i], container);
        SetWindowPos(controls_[i], nullptr, c.left, c.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowSubclass(container, containerProc, 1, 0);
    }
    return true;
}

HWND Win32Runtime::createControl(const ControlDesc& c) {
    ControlClass cc = controlClass(c);
    HWND h = CreateWindowExA(cc.exStyle, cc.className, "", cc.style, c.left, c.top, c.width, c.height, window_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
    if (!h) return nullptr;
    SetWindowFont(h, guiFont(), FALSE);
    // No limit: a long pasted names list must not be cut.
    if (c.kind == Kind::EditBox) Edit_LimitText(h, 0);
    SetWindowTextA(h, c.text);
    return h;
}

void Win32Runtime::run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (preTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Win32Runtime::raise(const char* source, Event event) {
    if (building_) return;
    Handler h = findHandler(desc_, source, event);
    if (!h) return;
    ++handlerDepth_;
    h(*this);
    --handlerDepth_;
}

const ControlDesc* Win32Runtime::controlById(int id) const {
    for (const ControlDesc& c : desc_.controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

HWND Win32Runtime::handleOf(const char* name) const {
    for (size_t i = 0; i < desc_.controls.count; ++i) {
        if (std::strcmp(desc_.controls.rows[i].name, name) == 0) return IsWindow(controls_[i]) ? controls_[i] : nullptr;
    }
    return nullptr;
}

void Win32Runtime::onCommand(int id, HWND control, UINT code) {
    if (building_) return;
    // While a modal box is up the window is disabled; a click that still
    // arrives (posted by another program) must not start a second handler.
    bool accepting = IsWindowEnabled(window_);
    if (!control) {
        for (const MenuItemDesc& item : desc_.menu) {
            if (item.id == id && code == 0 && accepting) raise(item.item, Event::Chosen);
        }
        return;
    }
    const ControlDesc* c = controlById(id);
    if (!c) return;
    if (c->kind == Kind::Button && code == BN_CLICKED) {
        if (accepting && IsWindowEnabled(control) && IsWindowVisible(control)) raise(c->name, Event::Clicked);
    } else if (c->kind == Kind::EditBox && code == EN_CHANGE) {
        // A write raises its one event itself.
        if (control != writing_) raise(c->name, Event::Changed);
    }
}

HBRUSH Win32Runtime::onCtlColorStatic(HDC dc, HWND control) {
    const ControlDesc* c = controlById(GetDlgCtrlID(control));
    if (!c || (c->kind != Kind::Label && c->kind != Kind::GroupBox)) return nullptr;
    SetTextColor(dc, c->kind == Kind::Label ? kLabelColour : kGroupColour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

void Win32Runtime::onActivate(UINT state) {
    // Give the focus back to the control that had it, as a dialog does.
    if (state == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
        return;
    }
    if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
    } else {
        moveFocus(nullptr, false);
    }
}

void Win32Runtime::moveFocus(HWND from, bool backwards) {
    const int n = static_cast<int>(controls_.size());
    int at = backwards ? n : -1;
    for (int i = 0; i < n; ++i) {
        if (controls_[i] == from) at = i;
    }
    for (int step = 1; step <= n; ++step) {
        int i = ((backwards ? at - step : at + step) % n + n) % n;
        if (takesFocus(desc_.controls.rows[i], controls_[i])) {
            SetFocus(controls_[i]);
            return;
        }
    }
}

bool Win32Runtime::preTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !window_) return false;
    if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd)) return false;
    switch (msg.wParam) {
        case VK_TAB:
            moveFocus(msg.hwnd, GetKeyState(VK_SHIFT) < 0);
            return true;
        case VK_ESCAPE:
            SendMessageA(window_, WM_CLOSE, 0, 0);
            return true;
        case VK_RETURN: {
            // Only a box that takes line breaks sees Enter; no button is the
            // default one.
            const ControlDesc* c = controlById(GetDlgCtrlID(msg.hwnd));
            bool wantsReturn = c && c->kind == Kind::EditBox && (c->options & kWantReturn) && msg.hwnd != window_;
            return !wantsReturn;
        }
        case VK_F1:
            return true;
        default:
            return false;
    }
}

Text Win32Runtime::read(const char* name) {
    HWND h = handleOf(name);
    if (!h) return Text();
    int length = GetWindowTextLengthA(h);
    if (length <= 0) return Text();
    Text text(static_cast<size_t>(length) + 1, '\0');
    int n = GetWindowTextA(h, &text[0], length + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

void Win32Runtime::write(const char* name, const Text& text) {
    HWND h = handleOf(name);
    if (!h) return;
    HWND outer = writing_;
    writing_ = h;
    SetWindowTextA(h, text.c_str());
    writing_ = outer;
    raise(name, Event::Changed);
}

void Win32Runtime::setDisabled(const char* name, bool disabled) {
    if (HWND h = handleOf(name)) EnableWindow(h, !disabled);
}

int Win32Runtime::messageBox(const Text& text, unsigned flags, const Text& title) {
    return win32::messageBox(text, flags, title);
}

Text Win32Runtime::folderDialog(const Text& prompt) { return win32::folderDialog(prompt); }

void Win32Runtime::dispatchQueued() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        // The quit belongs to the main loop; leave it where it is.
        if (msg.message == WM_QUIT) return;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return;
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (preTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Win32Runtime::pause(unsigned ms) {
    ++pauseDepth_;
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        dispatchQueued();
        // Signed difference, so that the tick count may wrap.
        LONG left = static_cast<LONG>(end - GetTickCount());
        if (left < 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
    --pauseDepth_;
}

bool Win32Runtime::startProgram(const Text& commandLine, bool wait, int showMode) {
    HANDLE process = win32::startProgram(commandLine, wait, showMode);
    if (!process) return false;
    stopWatching();
    if (process_) CloseHandle(process_);
    process_ = process;
    watchProcess();
    return true;
}

bool Win32Runtime::programRunning() { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

ProcessStamp Win32Runtime::lastProgram() { return win32::stampOf(process_); }
bool Win32Runtime::processRuns(const ProcessStamp& process) { return win32::processRuns(process); }
std::vector<Text> Win32Runtime::folderFiles(const Text& folder) { return win32::folderFiles(folder); }
Text Win32Runtime::nameKey(const Text& name) { return win32::nameKey(name); }
bool Win32Runtime::canCreateIn(const Text& folder) { return win32::canCreateIn(folder); }
bool Win32Runtime::canDelete(const Text& path) { return win32::canDelete(path); }

Text Win32Runtime::runDirectory() { return win32::runDirectory(); }
Text Win32Runtime::readSetting(const Text& file, const Text& section, const Text& key) {
    return win32::readSetting(file, section, key);
}
void Win32Runtime::writeSetting(const Text& file, const Text& section, const Text& key, const Text& value) {
    win32::writeSetting(file, section, key, value);
}
Text Win32Runtime::tempFolder() { return win32::tempFolder(); }
Text Win32Runtime::shortPath(const Text& path) { return win32::shortPath(path); }
bool Win32Runtime::writeFile(const Text& path, const Text& bytes) { return win32::writeFile(path, bytes); }
Text Win32Runtime::readFile(const Text& path) { return win32::readFile(path); }
bool Win32Runtime::deleteFile(const Text& path) { return win32::deleteFile(path); }
FileInfo Win32Runtime::fileInfo(const Text& path) { return win32::fileInfo(path); }
Opened Win32Runtime::readSharedFile(const Text& path, Text& bytes) { return win32::readSharedFile(path, bytes); }
HeldFile Win32Runtime::holdFile(const Text& path) { return win32::holdFile(path); }
Compared Win32Runtime::compareHeld(uint64_t held, const Text& path) { return win32::compareHeld(held, path); }
bool Win32Runtime::deleteHeld(uint64_t held) { return win32::deleteHeld(held); }
void Win32Runtime::releaseFile(uint64_t held) { win32::releaseFile(held); }
void Win32Runtime::shellExecute(const Text& verb, const Text& file, const Text& params, const Text& dir, int show) {
    win32::shellExecute(verb, file, params, dir, show);
}
void Win32Runtime::shellOpen(const Text& path) { win32::shellOpen(path); }

}  // namespace mv
