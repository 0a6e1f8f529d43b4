#pragma once

// The one entry of every benchmark program (BenchMain.cpp). A program that needs more than
// Google Benchmark declares it once, at namespace scope:
//
//     [[maybe_unused]] const bool declared = bench::declare({bench::Application::widgets});
//
// The entry starts the Qt application asked for (on the offscreen platform when it paints),
// hands the program's own options to its hook, then runs the benchmarks on what is left.

#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace plannery::bench {

// The Qt application a program's benchmarks need: none, an event loop, or painting.
enum class Application { none, core, gui, widgets };

// The command line as the program's own options see it; what they take out, the benchmark
// library never sees.
class Arguments {
  public:
    explicit Arguments(std::vector<char*> arguments) : arguments_(std::move(arguments)) {}

    // Whether `name` was given, taking it out.
    bool flag(std::string_view name);
    // The value after `name` (the last one if given twice), taking both out; null when absent.
    const char* value(std::string_view name);

    std::vector<char*>& rest() { return arguments_; }

  private:
    std::vector<char*> arguments_;
};

struct Setup {
    Application application = Application::none;
    // Reads the program's own options and does what they ask before the benchmarks run; an exit
    // code ends the program there.
    std::function<std::optional<int>(Arguments&)> options{};
};

// Records the program's setup for the entry; returns true so that it can initialise a constant.
bool declare(Setup setup);

} // namespace plannery::bench
