// Prints the search script as the search job composes it, for the stand-in
// benchmark (standin-run.sh): standin_script WORK_DIR SEARCH_PATH SAVE_PATH
#include <cstdio>

#include "app/window.h"
#include "search/batch_script.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: standin_script WORK_DIR SEARCH_PATH SAVE_PATH\n");
        return 2;
    }
    mv::Text script = mv::composeBatchScript(argv[1], argv[2], argv[3], mv::kBatchTemplate);
    return std::fwrite(script.data(), 1, script.size(), stdout) == script.size() ? 0 : 1;
}
