#include "cli/WindowModule.h"

#include "platform/ProgramModule.h"

#include <dlfcn.h>

namespace plannery::cli::WindowModule {

namespace {

using RunApp = int (*)(const std::vector<std::string>&, std::int64_t, std::ostream&, std::ostream&);
using RunSnapshot = int (*)(const SnapshotOptions&, std::ostream&, std::ostream&);
using RunFind = int (*)(const FindOptions&, std::istream&, std::ostream&, std::ostream&);

constexpr const char* kFileName = "plannery-window.so";

template <typename Function> Function entry(const char* name, std::ostream& err) {
    std::string problem;
    void* module = loadProgramModule(kFileName, problem);
    if (module == nullptr) {
        err << "plannery: The window's part of Plannery (" << kFileName << ") cannot be loaded ("
            << problem << ").\n";
        return nullptr;
    }
    auto* function = reinterpret_cast<Function>(::dlsym(module, name));
    if (function == nullptr) {
        err << "plannery: The window's part of Plannery (" << kFileName
            << ") does not belong to this version of the program.\n";
    }
    return function;
}

} // namespace

int runApp(const std::vector<std::string>& arguments, std::chrono::steady_clock::time_point started,
           std::ostream& out, std::ostream& err) {
    const auto run = entry<RunApp>(kRunApp, err);
    if (run == nullptr) {
        return 1;
    }
    return run(
        arguments,
        std::chrono::duration_cast<std::chrono::nanoseconds>(started.time_since_epoch()).count(),
        out, err);
}

int runSnapshot(const SnapshotOptions& options, std::ostream& out, std::ostream& err) {
    const auto run = entry<RunSnapshot>(kRunSnapshot, err);
    return run != nullptr ? run(options, out, err) : 1;
}

int runFind(const FindOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
    const auto run = entry<RunFind>(kRunFind, err);
    return run != nullptr ? run(options, in, out, err) : 1;
}

} // namespace plannery::cli::WindowModule
