// The save folder view and the not-found list.
#pragma once

#include <vector>

#include "platform/runtime.h"

namespace mv {

// The names of the last not-found run, kept for the life of the program.
struct NameTable {
    std::vector<Text> names;
    size_t count = 0;
};

// The found list the script wrote into the run directory, as text; empty
// when it is missing or cannot be read.
Text readFoundList(Runtime& rt);

NameTable& nameTable();
void releaseNameTable();

void viewFoundFiles(Runtime& rt);
void makeNotFoundList(Runtime& rt);

}  // namespace mv
