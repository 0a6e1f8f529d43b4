#pragma once

// Running the command line in tests: the built binary in a shell, or the commands in this
// process, either way with the user's folders replaced by ones in a temporary home of the test's.

#include <filesystem>
#include <string>
#include <vector>

namespace plannery::test {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// The text in single quotes for the shell.
std::string quote(const std::string& text);

// The file's bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

// Runs the binary with a fixed zone and locale and its cache and data folders under `home`;
// `environment` holds more arguments for env (-u NAME, NAME=value).
RunResult runBinary(const std::filesystem::path& home, const std::string& arguments,
                    const std::string& environment = "");

// Runs the commands in this process, with the cache folder under `home`.
RunResult runInProcess(const std::filesystem::path& home,
                       const std::vector<std::string>& arguments);

} // namespace plannery::test
