#pragma once

#include "cli/Options.h"

#include <chrono>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

// The window, the pictures drawn with its views and `find` (which reads pictures with Qt's image
// readers and Tesseract, and asks a local model over QtNetwork) live in a module of their own
// (plannery-window.so beside the program, or in ../lib/plannery when installed) that is loaded
// only when asked for: the commands that read and write calendars then never load the graphical
// libraries, which would cost them more time and memory than their own work.
namespace plannery::cli::WindowModule {

// Opens the window with the arguments after the program's name (see runApp); `started` is when
// the process began. 1, after a sentence on `err`, when the module cannot be loaded.
int runApp(const std::vector<std::string>& arguments, std::chrono::steady_clock::time_point started,
           std::ostream& out, std::ostream& err);

// runSnapshot of the window's code.
int runSnapshot(const SnapshotOptions& options, std::ostream& out, std::ostream& err);

// runFind of the module's code.
int runFind(const FindOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

// The names the module exports; each takes the arguments of the function above with `started`
// as nanoseconds of the steady clock.
inline constexpr const char* kRunApp = "plannery_window_run_app";
inline constexpr const char* kRunSnapshot = "plannery_window_run_snapshot";
inline constexpr const char* kRunFind = "plannery_window_run_find";

} // namespace plannery::cli::WindowModule
