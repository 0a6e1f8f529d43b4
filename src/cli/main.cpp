#include "app/AppOptions.h"
#include "app/PlanneryApp.h"
#include "cli/Cli.h"

#include <chrono>
#include <iostream>

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    std::ios::sync_with_stdio(false);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (plannery::opensWindow(arguments)) {
        return plannery::runApp(plannery::parseAppOptions(arguments), started, std::cout,
                                std::cerr);
    }
    return plannery::cli::run(arguments, std::cout, std::cerr);
}
