// Removal of the originals that the found list names. A file is deleted
// only when the save folder holds a separate file of its name with the
// same bytes, no other listed file of that name could replace that copy,
// and the original stayed held from the comparison to its deletion;
// whatever stays is named in the completion box with its reason.
#pragma once

#include "platform/runtime.h"

namespace mv {

void removeOriginals(Runtime& rt);

}  // namespace mv
