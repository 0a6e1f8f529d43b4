#pragma once

#include "cli/Options.h"

#include <ostream>

namespace plannery::cli {

// Keeps the calendar store open on the roots and prints "revision N" each time its revision
// moves (a change on disk, a new day, a new zone, new mirror groups, which are also printed as
// "mirror groups: N"), until interrupted or, with --changes N, after N changes. A root moved
// away or removed ends it with a sentence and status 1.
int runWatch(const WatchOptions& options, std::ostream& out, std::ostream& err);

} // namespace plannery::cli
