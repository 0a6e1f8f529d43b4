#include "cli/Cli.h"

#include <ostream>

namespace plannery::cli {

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    (void)arguments;
    (void)out;
    err << "usage: plannery agenda|mirrors|calendars|demo ...\n";
    return 2;
}

} // namespace plannery::cli
