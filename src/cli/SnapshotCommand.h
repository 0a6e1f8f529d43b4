#pragma once

#include "cli/Options.h"

#include <ostream>

namespace plannery::cli {

// Renders the time grid on the calendars, offscreen, to a PNG file: for the README's pictures,
// for tests, and for checking a layout by eye. Prints the file written, or one sentence and
// returns 1.
int runSnapshot(const SnapshotOptions& options, std::ostream& out, std::ostream& err);

} // namespace plannery::cli
