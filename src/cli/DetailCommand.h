#pragma once

#include "cli/Options.h"

#include <ostream>

// The detail sheet of one event on the command line: its texts in the sheet's order (or as JSON),
// and the calendar file it shares. Both print one sentence on `err` and return 1 when the event
// cannot be found or the file cannot be written.
namespace plannery::cli {

int runDetail(const DetailOptions& options, std::ostream& out, std::ostream& err);
int runExport(const ExportOptions& options, std::ostream& out, std::ostream& err);

} // namespace plannery::cli
