#include "app/AppOptions.h"
#include "cli/Cli.h"
#include "cli/WindowModule.h"

#include <chrono>
#include <iostream>

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    std::ios::sync_with_stdio(false);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (plannery::opensWindow(arguments)) {
        return plannery::cli::WindowModule::runApp(arguments, started, std::cout, std::cerr);
    }
    return plannery::cli::run(arguments, std::cout, std::cerr);
}
