#include "CliRun.h"

#include "cli/Cli.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace plannery::test {

namespace fs = std::filesystem;

std::string quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

RunResult runBinary(const fs::path& home, const std::string& arguments,
                    const std::string& environment) {
    const fs::path errFile = home / "stderr.txt";
    const std::string command =
        "env " + environment +
        " TZ=UTC LC_ALL=C.UTF-8 XDG_CACHE_HOME=" + quote((home / "cache").string()) +
        " XDG_DATA_HOME=" + quote((home / "data").string()) + " " + quote(PLANNERY_BINARY) + " " +
        arguments + " 2>" + quote(errFile.string());
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 65536> buffer;
    std::size_t got = 0;
    while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.out.append(buffer.data(), got);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = readFile(errFile);
    return result;
}

RunResult runInProcess(const fs::path& home, const std::vector<std::string>& arguments) {
    // The index cache goes to the test's folder, not the user's.
    ::setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
    std::ostringstream out;
    std::ostringstream err;
    RunResult result;
    result.status = cli::run(arguments, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

} // namespace plannery::test
