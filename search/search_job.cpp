#include "search/search_job.h"

namespace mv {

void runSearchJob(Runtime&) {}

}  // namespace mv
