#include "app/AppOptions.h"
#include "cli/Cli.h"
#include "cli/WindowModule.h"

#include <chrono>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    std::ios::sync_with_stdio(false);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (plannery::opensWindow(arguments)) {
        const auto variable = [](const char* name) -> std::optional<std::string> {
            const char* value = std::getenv(name);
            return value ? std::optional<std::string>(value) : std::nullopt;
        };
        if (!plannery::displayAvailable(variable)) {
            std::cerr << "plannery: " << plannery::kNoDisplay << "\n";
            return 1;
        }
        return plannery::cli::WindowModule::runApp(arguments, started, std::cout, std::cerr);
    }
    return plannery::cli::run(arguments, std::cout, std::cerr);
}
