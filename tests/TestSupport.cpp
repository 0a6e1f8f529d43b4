#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plannery::test {

Calendar berlin() {
    return calendarIn("Europe/Berlin");
}

Calendar calendarIn(std::string_view zoneId) {
    auto calendar = Calendar::make(zoneId, "en_US", Weekday::monday);
    if (!calendar) {
        throw std::runtime_error("unknown zone in a test");
    }
    return std::move(*calendar);
}

Instant at(const Calendar& calendar, int year, int month, int day, int hour, int minute) {
    return calendar.date(year, month, day, hour, minute).value();
}

std::string dataFile(std::string_view relative) {
    std::ifstream in(std::filesystem::path(PLANNERY_TEST_DATA) / relative, std::ios::binary);
    if (!in) {
        throw std::runtime_error("no test data file " + std::string(relative));
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void expectGolden(std::string_view relative, const std::optional<std::string>& text) {
    ASSERT_TRUE(text);
    const auto path = std::filesystem::path(PLANNERY_TEST_DATA) / relative;
    if (std::getenv("PLANNERY_WRITE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << *text;
        return;
    }
    EXPECT_EQ(*text, dataFile(relative)) << relative;
}

std::vector<std::string> linesOnlyIn(const std::string& a, const std::string& b) {
    auto unfolded = [](const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (!line.empty() && line[0] == ' ' && !lines.empty()) {
                lines.back() += line.substr(1);
            } else {
                lines.push_back(line);
            }
        }
        return lines;
    };
    std::map<std::string, int> count;
    for (const auto& line : unfolded(b)) {
        --count[line];
    }
    std::vector<std::string> only;
    for (const auto& line : unfolded(a)) {
        if (++count[line] > 0) {
            only.push_back(line);
        }
    }
    std::sort(only.begin(), only.end());
    return only;
}

std::optional<std::filesystem::path> corpusFolder() {
    const std::filesystem::path folder(PLANNERY_CORPUS);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return std::nullopt;
    }
    return folder;
}

std::string corpusMissing() {
    return "The shared corpus folder " + std::string(PLANNERY_CORPUS) +
           " is absent (it sits beside the checkout in CI), so this test does not run here.";
}

void spin(std::mt19937& random) {
    volatile std::uint64_t sink = 0;
    for (std::uint32_t i = random() % 3000000; i > 0; --i) {
        sink = sink + i;
    }
}

TempDir::TempDir() {
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() /
             ("plannery-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(m_path);
    // As mkdtemp makes them: the user's alone.
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempDir::write(const std::filesystem::path& relative,
                                     std::string_view content) const {
    const auto file = m_path / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return file;
}

ScopedVariable::ScopedVariable(const char* name, const std::optional<std::string>& value)
    : m_name(name) {
    if (const char* saved = std::getenv(name)) {
        m_saved = saved;
    }
    if (value) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
}

ScopedVariable::~ScopedVariable() {
    if (m_saved) {
        ::setenv(m_name, m_saved->c_str(), 1);
    } else {
        ::unsetenv(m_name);
    }
}

void asUnprivilegedUser(const std::filesystem::path& tree, const std::function<void()>& check) {
    if (::geteuid() != 0) {
        check();
        return;
    }
    const passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody != nullptr ? nobody->pw_uid : 65534;
    const gid_t gid = nobody != nullptr ? nobody->pw_gid : 65534;
    ASSERT_EQ(::lchown(tree.c_str(), uid, gid), 0) << tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree)) {
        ASSERT_EQ(::lchown(entry.path().c_str(), uid, gid), 0) << entry.path();
    }
    std::fflush(stdout);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(gid, gid, gid) != 0 ||
            ::setresuid(uid, uid, uid) != 0) {
            std::_Exit(2);
        }
        check();
        std::fflush(stdout);
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the check failed as an unprivileged user (status " << status << ")";
}

void setTime(const std::filesystem::path& path, int secondsAfter2020) {
    constexpr std::int64_t k2020 = 1577836800; // 2020-01-01T00:00:00Z
    const auto time = std::filesystem::file_time_type::clock::from_sys(
        std::chrono::system_clock::time_point(std::chrono::seconds(k2020 + secondsAfter2020)));
    std::filesystem::last_write_time(path, time);
}

std::string calendarText(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Plannery tests//EN\r\n" + body +
           "END:VCALENDAR\r\n";
}

std::string vevent(const std::string& uid, const std::string& start, const std::string& end,
                   const std::string& summary, const std::string& extra) {
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:20260101T000000Z\r\n" + start + "\r\n" +
           end + "\r\nSUMMARY:" + summary + "\r\n" + extra + "END:VEVENT\r\n";
}

} // namespace plannery::test
