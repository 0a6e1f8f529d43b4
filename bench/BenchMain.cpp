#include "BenchMain.h"

#include "platform/FreedMemory.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>

namespace plannery::bench {
namespace {

Setup& declared() {
    static Setup setup;
    return setup;
}

std::unique_ptr<QCoreApplication> start(Application application, int& argc, char** argv) {
    if (application == Application::gui || application == Application::widgets) {
        // Painting benchmarks measure drawing, not a display server; memory is handled as the
        // window's program handles it.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        returnLargeBlocksWhenFreed();
    }
    switch (application) {
    case Application::none:
        return nullptr;
    case Application::core:
        return std::make_unique<QCoreApplication>(argc, argv);
    case Application::gui:
        return std::make_unique<QGuiApplication>(argc, argv);
    case Application::widgets:
        return std::make_unique<QApplication>(argc, argv);
    }
    return nullptr;
}

} // namespace

bool Arguments::flag(std::string_view name) {
    bool found = false;
    std::erase_if(arguments_, [&](const char* argument) {
        const bool match = name == argument;
        found = found || match;
        return match;
    });
    return found;
}

const char* Arguments::value(std::string_view name) {
    const char* found = nullptr;
    for (std::size_t i = 1; i + 1 < arguments_.size();) {
        if (name == arguments_[i]) {
            found = arguments_[i + 1];
            arguments_.erase(arguments_.begin() + static_cast<std::ptrdiff_t>(i),
                             arguments_.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        } else {
            ++i;
        }
    }
    return found;
}

bool declare(Setup setup) {
    declared() = std::move(setup);
    return true;
}

} // namespace plannery::bench

int main(int argc, char** argv) {
    using namespace plannery::bench;
    const Setup& setup = declared();
    const auto application = start(setup.application, argc, argv);
    Arguments arguments({argv, argv + argc});
    if (setup.options) {
        if (const auto code = setup.options(arguments)) {
            return *code;
        }
    }
    std::vector<char*>& rest = arguments.rest();
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    if (benchmark::ReportUnrecognizedArguments(count, rest.data())) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
