#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plannery::cli {

struct DateTime;

// Walks the arguments of one sub-command. Options take their value as the next argument or after
// "=" ("--days 3", "--days=3").
class ArgumentReader {
  public:
    using Handler = std::function<std::string(const std::string& value)>;

    // An option that takes a value; the handler returns an error sentence or "".
    void option(std::string name, Handler handler) {
        m_valued.emplace(std::move(name), std::move(handler));
    }
    void flag(std::string name, std::function<void()> handler) {
        m_flags.emplace(std::move(name), std::move(handler));
    }

    // Returns an error sentence, or "" when every argument was understood. Arguments that do not
    // start with "-" go to `positional`.
    std::string read(const std::vector<std::string>& arguments, std::size_t first,
                     std::vector<std::string>& positional) const;

  private:
    std::map<std::string, Handler> m_valued;
    std::map<std::string, std::function<void()>> m_flags;
};

// Handlers of the options several commands share: a time (--now, --start), a zone (--tz) and a
// calendar folder (--root).
ArgumentReader::Handler dateTimeInto(std::optional<DateTime>& target, std::string name);
ArgumentReader::Handler zoneInto(std::optional<std::string>& target);
ArgumentReader::Handler rootInto(std::vector<std::filesystem::path>& roots);

std::string noPositional(const std::vector<std::string>& positional);
// Reads the options of a sub-command that takes no other arguments; an error sentence or "".
std::string readWithoutPositional(ArgumentReader& reader,
                                  const std::vector<std::string>& arguments);

} // namespace plannery::cli
