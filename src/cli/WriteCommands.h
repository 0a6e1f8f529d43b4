#pragma once

#include "cli/Options.h"

#include <ostream>

// The commands that change calendars: each prints the identifier of the event it wrote, or one
// sentence on `err` and returns 1.
namespace plannery::cli {

int runAdd(const AddOptions& options, std::ostream& out, std::ostream& err);
int runRemove(const RemoveOptions& options, std::ostream& out, std::ostream& err);
int runReply(const ReplyOptions& options, std::ostream& out, std::ostream& err);

} // namespace plannery::cli
