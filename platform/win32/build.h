// How the rows of a window description become Win32 windows: the window
// class and styles of each control kind, and the menu bar.
#pragma once

#include <windows.h>

#include "platform/form.h"

namespace mv {

struct ControlClass {
    const char* className;
    DWORD style;
    DWORD exStyle;
};

// Class and styles for a control; WS_CHILD, the visibility and the disabled
// state included.
ControlClass controlClass(const ControlDesc& c);

// The menu bar: one popup per menu name, in the order the names first
// appear, each item with its WM_COMMAND id. nullptr on failure.
HMENU createMenuBar(const WindowDesc& desc);

// Styles of the main window: a fixed frame with title bar, system menu and
// close button only.
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

}  // namespace mv
