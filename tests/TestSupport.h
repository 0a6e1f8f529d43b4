#pragma once

#include "model/Calendar.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace plannery::test {

// Tests never read the machine's clock or zone: this is the calendar they use unless a case
// names another zone.
Calendar berlin();
Calendar calendarIn(std::string_view zoneId);

// An instant from wall-clock fields in the calendar's zone.
Instant at(const Calendar& calendar, int year, int month, int day, int hour = 0, int minute = 0);

// A calendar file around the given components.
std::string calendarText(const std::string& body);
// One VEVENT; start and end are whole property lines without the line break, e.g.
// "DTSTART:20260310T090000Z"; `extra` holds more lines, each ending in CRLF.
std::string vevent(const std::string& uid, const std::string& start, const std::string& end,
                   const std::string& summary, const std::string& extra = "");

// Sets a file's modification time to some seconds after 2020-01-01. The index cache does not
// keep a file changed just before it was read (it may still change within the same tick of the
// file system's clock), so tests that count what came from the cache date their files back.
void setTime(const std::filesystem::path& path, int secondsAfter2020);

// The text of a file under tests/data, e.g. "ics/overrides.ics".
std::string dataFile(std::string_view relative);

// Compares a text with the file under tests/data; PLANNERY_WRITE_GOLDEN=1 writes the file instead
// (its diff is then reviewed by hand).
void expectGolden(std::string_view relative, const std::optional<std::string>& text);

// The unfolded lines that one calendar text has and the other has not (each counted as often as
// it occurs), sorted.
std::vector<std::string> linesOnlyIn(const std::string& a, const std::string& b);

// The shared corpus of public calendar files, when it sits beside the checkout (CI has it; a
// clone on its own does not). Tests that read it skip with `corpusMissing()` otherwise.
std::optional<std::filesystem::path> corpusFolder();
std::string corpusMissing();

#define PLANNERY_NEEDS_CORPUS(folder)                                                              \
    const auto folder##Found = ::plannery::test::corpusFolder();                                   \
    if (!folder##Found) {                                                                          \
        GTEST_SKIP() << ::plannery::test::corpusMissing();                                         \
    }                                                                                              \
    const std::filesystem::path folder = *folder##Found

// Busy for a random while (up to a few milliseconds), so that racing threads meet in a
// different order each round; nothing waits for the clock.
void spin(std::mt19937& random);

// A fresh folder under the system's temporary folder, removed with its content on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Writes a file (creating folders) and returns its path.
    std::filesystem::path write(const std::filesystem::path& relative,
                                std::string_view content) const;

  private:
    std::filesystem::path m_path;
};

// Sets an environment variable (or removes it, for none) until the end of the scope.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::optional<std::string>& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_saved;
};

// Runs `check` where permission bits bind: as root (as CI runs), in a child process that gives
// `tree` to an unprivileged user and then becomes that user; otherwise right here. The check's
// failures are the calling test's.
void asUnprivilegedUser(const std::filesystem::path& tree, const std::function<void()>& check);

} // namespace plannery::test
