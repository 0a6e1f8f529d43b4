// What the window module (plannery-window.so) exports to the program that loads it.

#include "app/PlanneryApp.h"
#include "cli/FindCommand.h"
#include "cli/SnapshotCommand.h"
#include "cli/WindowModule.h"

extern "C" {

__attribute__((visibility("default"))) int
plannery_window_run_app(const std::vector<std::string>& arguments, std::int64_t startedNs,
                        std::ostream& out, std::ostream& err) {
    const std::chrono::steady_clock::time_point started{std::chrono::nanoseconds(startedNs)};
    return plannery::runApp(plannery::parseAppOptions(arguments), started, out, err);
}

__attribute__((visibility("default"))) int
plannery_window_run_snapshot(const plannery::cli::SnapshotOptions& options, std::ostream& out,
                             std::ostream& err) {
    return plannery::cli::runSnapshot(options, out, err);
}

__attribute__((visibility("default"))) int
plannery_window_run_find(const plannery::cli::FindOptions& options, std::istream& in,
                         std::ostream& out, std::ostream& err) {
    return plannery::cli::runFind(options, in, out, err);
}

} // extern "C"
