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

// The found list the script wrote into the run directory, as text, read
// without ever keeping the script from writing or deleting it. False when
// it exists but cannot be read; a missing list reads as empty.
bool readFoundList(Runtime& rt, Text& text);
// What a box says of a found list that cannot be read: the first line and
// the list's path.
Text unreadableFoundList(Runtime& rt);

NameTable& nameTable();
void releaseNameTable();

void viewFoundFiles(Runtime& rt);
void makeNotFoundList(Runtime& rt);

}  // namespace mv
