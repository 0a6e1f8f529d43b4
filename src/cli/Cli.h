#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace plannery::cli {

// Runs the command line with the arguments after the program name; returns the exit status
// (0 success, 1 a root could not be read, 2 bad usage).
int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace plannery::cli
