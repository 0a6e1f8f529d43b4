#pragma once

#include "app/AppOptions.h"

#include <chrono>
#include <ostream>

namespace plannery {

// The desktop application: the one calendar store, the one window and its menus, deep links
// from later starts. Returns the exit code. `started` is when the process began its work, for
// the first-paint time.
int runApp(const AppOptions& options, std::chrono::steady_clock::time_point started,
           std::ostream& out, std::ostream& err);

} // namespace plannery
