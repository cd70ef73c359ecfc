// Removal of the originals that the found list names. A file is deleted
// only when the save folder holds a separate file of its name with the
// same bytes; whatever stays is named in the completion box.
#pragma once

#include "platform/runtime.h"

namespace mv {

void removeOriginals(Runtime& rt);

}  // namespace mv
