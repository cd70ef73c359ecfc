// The language a window is described in: the window, its menu, its controls
// and the events bound to handlers, all plain data. The form runtime builds
// the window and dispatches events from a description.
#pragma once

#include <cstddef>

#include "platform/runtime.h"

namespace mv {

using Handler = void (*)(Runtime&);

enum class Kind { EditBox, Button, Label, GroupBox };
// ProgramEnded: the program the runtime started last has ended. It is a
// window event, raised once per program, and only when no handler runs and
// no box or dialog of the program is open; until then it waits.
enum class Event { Created, Clicked, Chosen, Changed, ProgramEnded };

// Edit box settings beyond the plain single-line box.
enum EditOption : unsigned {
    kMultiLine = 1u << 0,
    kHScroll = 1u << 1,    // horizontal scroll bar
    kVScroll = 1u << 2,    // vertical scroll bar
    kNoWrap = 1u << 3,     // long lines scroll sideways
    kWantReturn = 1u << 4  // Enter inserts a line break
};

struct ControlDesc {
    int id;  // Win32 control id; e2e tests find controls by it
    Kind kind;
    const char* name;
    int left, top, width, height;  // inside the container's client area
    const char* text;
    bool visible;
    bool enabled;
    unsigned options;       // EditOption bits, edit boxes only
    const char* container;  // nullptr: the main window
};

struct MenuItemDesc {
    int id;  // WM_COMMAND id
    const char* menu;
    const char* item;
};

struct BindingDesc {
    const char* source;  // control name, menu item caption, or kWindowSource
    Event event;
    Handler handler;
};

template <typename T>
struct Table {
    const T* rows;
    size_t count;
    const T* begin() const { return rows; }
    const T* end() const { return rows + count; }
};

template <typename T, size_t N>
constexpr Table<T> table(const T (&rows)[N]) {
    return {rows, N};
}

struct WindowDesc {
    const char* caption;
    int width, height;  // outer size
    Table<MenuItemDesc> menu;
    Table<ControlDesc> controls;
    Table<BindingDesc> bindings;
};

// The source name of the window's own events.
extern const char* const kWindowSource;

// The control of that name, or nullptr.
const ControlDesc* findControl(const WindowDesc& desc, const char* name);
// The handler bound to (source, event), or nullptr.
Handler findHandler(const WindowDesc& desc, const char* source, Event event);

}  // namespace mv
