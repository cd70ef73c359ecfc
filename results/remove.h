// Removal of the originals that the found list names.
#pragma once

#include "platform/runtime.h"

namespace mv {

void removeOriginals(Runtime& rt);

}  // namespace mv
