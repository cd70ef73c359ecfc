#include "platform/win32/build.h"

#include <cstring>

namespace mv {

namespace {

DWORD editStyle(unsigned options) {
    DWORD style = ES_LEFT;
    if (options & kMultiLine) style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (options & kHScroll) style |= WS_HSCROLL;
    if (options & kVScroll) style |= WS_VSCROLL;
    // A multi-line box wraps unless it scrolls sideways; a one-line box
    // always scrolls sideways.
    if ((options & kNoWrap) || !(options & kMultiLine)) style |= ES_AUTOHSCROLL;
    if (options & kWantReturn) style |= ES_WANTRETURN;
    return style;
}

// A label of one line is centred vertically; one with line breaks starts at
// its top edge and wraps.
DWORD labelStyle(const char* text) {
    DWORD style = SS_LEFT | SS_NOPREFIX;
    if (!std::strstr(text, "\r\n")) style |= SS_CENTERIMAGE;
    return style;
}

}  // namespace

ControlClass controlClass(const ControlDesc& c) {
    ControlClass cc{"", WS_CHILD, 0};
    switch (c.kind) {
        case Kind::EditBox:
            cc.className = "Edit";
            cc.style |= WS_TABSTOP | editStyle(c.options);
            cc.exStyle = WS_EX_CLIENTEDGE;
            break;
        case Kind::Button:
            cc.className = "Button";
            cc.style |= WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;
            break;
        case Kind::Label:
            cc.className = "Static";
            cc.style |= labelStyle(c.text);
            break;
        case Kind::GroupBox:
            cc.className = "Button";
            cc.style |= BS_GROUPBOX;
            break;
    }
    if (c.visible) cc.style |= WS_VISIBLE;
    if (!c.enabled) cc.style |= WS_DISABLED;
    return cc;
}

HMENU createMenuBar(const WindowDesc& desc) {
    HMENU bar = CreateMenu();
    if (!bar) return nullptr;
    for (size_t i = 0; i < desc.menu.count; ++i) {
        const char* menu = desc.menu.rows[i].menu;
        bool seen = false;
        for (size_t j = 0; j < i; ++j) seen = seen || std::strcmp(desc.menu.rows[j].menu, menu) == 0;
        if (seen) continue;
        HMENU popup = CreatePopupMenu();
        for (const MenuItemDesc& item : desc.menu) {
            if (std::strcmp(item.menu, menu) == 0) AppendMenuA(popup, MF_STRING, item.id, item.item);
        }
        AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), menu);
    }
    return bar;
}

}  // namespace mv
