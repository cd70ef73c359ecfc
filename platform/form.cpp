#include "platform/form.h"

#include <cstring>

namespace mv {

const char* const kWindowSource = "";

const ControlDesc* findControl(const WindowDesc& desc, const char* name) {
    for (const ControlDesc& c : desc.controls) {
        if (std::strcmp(c.name, name) == 0) return &c;
    }
    return nullptr;
}

Handler findHandler(const WindowDesc& desc, const char* source, Event event) {
    for (const BindingDesc& b : desc.bindings) {
        if (b.event == event && std::strcmp(b.source, source) == 0) return b.handler;
    }
    return nullptr;
}

}  // namespace mv
