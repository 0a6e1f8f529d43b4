#include "cli/WindowModule.h"

#include <dlfcn.h>
#include <filesystem>
#include <optional>

namespace plannery::cli::WindowModule {

namespace {

namespace fs = std::filesystem;

using RunApp = int (*)(const std::vector<std::string>&, std::int64_t, std::ostream&, std::ostream&);
using RunSnapshot = int (*)(const SnapshotOptions&, std::ostream&, std::ostream&);
using RunFind = int (*)(const FindOptions&, std::istream&, std::ostream&, std::ostream&);

constexpr const char* kFileName = "plannery-window.so";

// Loaded once and kept: its code runs until the process ends.
void* load(std::ostream& err) {
    static void* module = nullptr;
    if (module != nullptr) {
        return module;
    }
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    std::string problems;
    for (const fs::path& candidate :
         {program.parent_path() / kFileName,
          program.parent_path().parent_path() / "lib" / "plannery" / kFileName}) {
        if (!fs::exists(candidate, error)) {
            continue;
        }
        module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module != nullptr) {
            return module;
        }
        const char* reason = ::dlerror();
        problems = reason != nullptr ? reason : candidate.string();
    }
    err << "plannery: The window's part of Plannery (" << kFileName << ") cannot be loaded"
        << (problems.empty() ? ": it is not installed beside the program." : " (" + problems + ").")
        << "\n";
    return nullptr;
}

template <typename Function> Function entry(const char* name, std::ostream& err) {
    void* module = load(err);
    if (module == nullptr) {
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
