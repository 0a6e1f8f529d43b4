#pragma once

#include <string>

namespace plannery {

// Loads one of the program's own modules: beside the running program (a build folder) or in
// ../lib/plannery (an installed program). Loaded once and kept, since its code may run until the
// process ends; later calls give the same handle, from any thread. Null when it cannot be loaded,
// with `problem` saying why.
void* loadProgramModule(const char* fileName, std::string& problem);

} // namespace plannery
