#include "platform/ProgramModule.h"

#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <mutex>

namespace plannery {

namespace fs = std::filesystem;

void* loadProgramModule(const char* fileName, std::string& problem) {
    static std::mutex mutex;
    static std::map<std::string, void*> loaded;
    std::lock_guard lock(mutex);
    if (const auto found = loaded.find(fileName); found != loaded.end()) {
        return found->second;
    }
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    problem = "it is not installed beside the program";
    for (const fs::path& candidate :
         {program.parent_path() / fileName,
          program.parent_path().parent_path() / "lib" / "plannery" / fileName}) {
        if (!fs::exists(candidate, error)) {
            continue;
        }
        if (void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            loaded.emplace(fileName, module);
            problem.clear();
            return module;
        }
        const char* reason = ::dlerror();
        problem = reason != nullptr ? reason : candidate.string();
    }
    return nullptr;
}

} // namespace plannery
