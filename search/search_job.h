// The start button: names file, validation, batch script, start of the
// interpreter, result buttons.
#pragma once

#include "platform/runtime.h"

namespace mv {

void runSearchJob(Runtime& rt);

}  // namespace mv
