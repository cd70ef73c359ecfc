// Which names of a list occur in one text, by the find-text rule (ASCII
// letters in either case, matches only at character starts), in one pass.
#pragma once

#include <vector>

#include "platform/runtime.h"

namespace mv {

// found[i] is true exactly when findText(text, names[i], true) != -1.
std::vector<bool> findNames(const Text& text, const std::vector<Text>& names);

}  // namespace mv
