// The main window as data: the window, its menu, its controls and the
// events bound to handlers. The form runtime builds and dispatches from it.
#pragma once

#include "app/controls.h"
#include "platform/form.h"

namespace mv {

// Lines 5 to 19 of every batch script, the initial text of the hidden
// batch box.
extern const char* const kBatchTemplate;

const WindowDesc& mainWindow();

}  // namespace mv
