#include "platform/VdirLayout.h"

#include "model/HexDigit.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plannery::vdir {

namespace {

namespace fs = std::filesystem;

struct Entry {
    std::string name;
    unsigned char type = DT_UNKNOWN;
};

// Hidden entries (".*") are never looked at: sync tools keep their state and temporary files
// there.
enum class Hidden { skip, keep };

std::optional<std::vector<Entry>> listFolder(const fs::path& folder, Hidden hidden = Hidden::skip) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::vector<Entry> entries;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.' && (hidden == Hidden::skip || entry->d_name[1] == '\0' ||
                                        std::string_view(entry->d_name) == "..")) {
            continue;
        }
        entries.push_back({.name = entry->d_name, .type = entry->d_type});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

bool isFolder(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string_view trimmed(std::string_view text) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Metadata files are a few bytes; anything larger than this is not one.
constexpr std::size_t kMaxMetadataBytes = 64 * 1024;

std::optional<std::string> readSmallFile(const fs::path& path, std::size_t limit) {
    if (!isRegularFile(path)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text(limit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(limit));
    if (in.bad()) {
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

// key = value lines; sections, comments and unknown keys are ignored. Keys are lower-cased.
std::map<std::string, std::string> readIni(const fs::path& path) {
    std::map<std::string, std::string> values;
    const auto text = readSmallFile(path, kMaxMetadataBytes);
    if (!text) {
        return values;
    }
    std::string_view rest = *text;
    while (!rest.empty()) {
        const auto newline = rest.find('\n');
        std::string_view line = trimmed(rest.substr(0, newline));
        rest = newline == std::string_view::npos ? std::string_view{} : rest.substr(newline + 1);
        if (line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '[') {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        values[lowered(trimmed(line.substr(0, equals)))] =
            std::string(trimmed(line.substr(equals + 1)));
    }
    return values;
}

std::optional<std::string> value(const std::map<std::string, std::string>& ini, const char* key) {
    const auto found = ini.find(key);
    if (found == ini.end() || found->second.empty()) {
        return std::nullopt;
    }
    return found->second;
}

SourceType sourceTypeFrom(std::optional<std::string> text) {
    const std::string type = lowered(text.value_or("caldav"));
    if (type == "local") {
        return SourceType::local;
    }
    if (type == "exchange") {
        return SourceType::exchange;
    }
    if (type == "icloud") {
        return SourceType::iCloud;
    }
    if (type == "subscribed") {
        return SourceType::subscribed;
    }
    if (type == "birthdays") {
        return SourceType::birthdays;
    }
    // What vdirsyncer syncs, and the safe reading of an unknown word.
    return SourceType::calDAV;
}

CalendarType defaultCalendarType(SourceType source) {
    switch (source) {
    case SourceType::local:
        return CalendarType::local;
    case SourceType::exchange:
        return CalendarType::exchange;
    case SourceType::subscribed:
        return CalendarType::subscription;
    case SourceType::birthdays:
        return CalendarType::birthday;
    case SourceType::calDAV:
    case SourceType::iCloud:
        break;
    }
    return CalendarType::calDAV;
}

CalendarType calendarTypeFrom(const std::optional<std::string>& text, CalendarType fallback) {
    if (!text) {
        return fallback;
    }
    const std::string type = lowered(*text);
    if (type == "local") {
        return CalendarType::local;
    }
    if (type == "caldav") {
        return CalendarType::calDAV;
    }
    if (type == "exchange") {
        return CalendarType::exchange;
    }
    if (type == "subscription") {
        return CalendarType::subscription;
    }
    if (type == "birthday") {
        return CalendarType::birthday;
    }
    return fallback;
}

bool isTrue(const std::optional<std::string>& text) {
    if (!text) {
        return false;
    }
    const std::string word = lowered(*text);
    return word == "true" || word == "yes" || word == "1" || word == "on";
}

std::vector<std::string> addressList(std::string_view text) {
    std::vector<std::string> addresses;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const auto address = trimmed(text.substr(0, comma));
        if (!address.empty()) {
            addresses.push_back(lowered(address));
        }
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    return addresses;
}

void addIfAddress(std::vector<std::string>& addresses, std::string_view text) {
    const auto candidate = trimmed(text);
    if (candidate.find('@') != std::string_view::npos &&
        candidate.find(' ') == std::string_view::npos) {
        addresses.push_back(lowered(candidate));
    }
}

std::string unreadableSentence(const fs::path& folder) {
    return "The folder " + folder.string() + " cannot be read.";
}

bool endsWithIcs(std::string_view name) {
    return name.size() > 4 && lowered(name.substr(name.size() - 4)) == ".ics";
}

// The calendar name a published calendar gives itself, when it says so near the top.
std::optional<std::string> calendarNameInFile(const fs::path& file) {
    const auto head = readSmallFile(file, 8192);
    if (!head) {
        return std::nullopt;
    }
    const auto key = head->find("X-WR-CALNAME");
    if (key == std::string::npos) {
        return std::nullopt;
    }
    const auto colon = head->find(':', key);
    const auto lineEnd = head->find_first_of("\r\n", key);
    if (colon == std::string::npos || (lineEnd != std::string::npos && colon > lineEnd)) {
        return std::nullopt;
    }
    const auto name = trimmed(std::string_view(*head).substr(colon + 1, lineEnd - colon - 1));
    if (name.empty()) {
        return std::nullopt;
    }
    return std::string(name);
}

struct Account {
    SourceHandle source;
    std::vector<std::string> emails;
};

class Discovery {
  public:
    explicit Discovery(const std::vector<fs::path>& roots) : m_roots(roots) {}

    Layout run() {
        for (std::size_t index = 0; index < m_roots.size(); ++index) {
            scanRoot(index);
        }
        return std::move(m_layout);
    }

  private:
    std::string calendarId(std::size_t rootIndex, const std::string& relative) const {
        return m_roots.size() > 1 ? std::to_string(rootIndex) + ":" + relative : relative;
    }

    void scanRoot(std::size_t index) {
        const fs::path& root = m_roots[index];
        struct stat info {};
        if (::stat(root.c_str(), &info) != 0) {
            // Not created yet: the access status tells the first run apart.
            m_layout.unreadableFolders.push_back("The folder " + root.string() +
                                                 " does not exist.");
            return;
        }
        ++m_layout.existingRoots;
        const auto entries = S_ISDIR(info.st_mode) ? listFolder(root) : std::nullopt;
        if (!entries) {
            m_layout.unreadableFolders.push_back(unreadableSentence(root));
            return;
        }
        ++m_layout.readableRoots;
        std::optional<Account> implicitAccount;
        for (const auto& entry : *entries) {
            const fs::path path = root / entry.name;
            if (endsWithIcs(entry.name)) {
                if (isCalendarFileName(entry.name) && isRegularFile(path)) {
                    addWholeFileCalendar(index, root, entry.name);
                }
                continue; // a folder named *.ics is neither an account nor a calendar
            }
            if (!isFolder(path)) {
                continue;
            }
            if (!isRegularFile(path / "account.ini") && looksLikeCalendar(path)) {
                if (!implicitAccount) {
                    implicitAccount =
                        Account{.source = std::make_shared<const Source>(Source{
                                    .sourceIdentifier = root.string(),
                                    .sourceType = SourceType::calDAV,
                                    .title = root.filename().empty() ? root.string()
                                                                     : root.filename().string()}),
                                .emails = {}};
                    m_layout.sources.push_back(implicitAccount->source);
                }
                addCalendar(index, path, entry.name, *implicitAccount);
                continue;
            }
            scanAccount(index, path, entry.name);
        }
    }

    static bool looksLikeCalendar(const fs::path& folder) {
        if (isRegularFile(folder / "displayname") || isRegularFile(folder / "color")) {
            return true;
        }
        // Stops at the first calendar file: a synced collection can hold thousands.
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) {
            return false;
        }
        bool found = false;
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_type != DT_DIR && isCalendarFileName(entry->d_name)) {
                found = true;
                break;
            }
        }
        ::closedir(dir);
        return found;
    }

    void scanAccount(std::size_t rootIndex, const fs::path& folder, const std::string& name) {
        const auto ini = readIni(folder / "account.ini");
        Account account{.source = std::make_shared<const Source>(
                            Source{.sourceIdentifier = folder.string(),
                                   .sourceType = sourceTypeFrom(value(ini, "type")),
                                   .title = value(ini, "title").value_or(name)}),
                        .emails = addressList(value(ini, "emails").value_or(""))};
        addIfAddress(account.emails, account.source->title);
        m_layout.sources.push_back(account.source);
        const auto entries = listFolder(folder);
        if (!entries) {
            m_layout.unreadableFolders.push_back(unreadableSentence(folder));
            return;
        }
        for (const auto& entry : *entries) {
            const fs::path path = folder / entry.name;
            if (endsWithIcs(entry.name) || !isFolder(path)) {
                continue;
            }
            addCalendar(rootIndex, path, name + "/" + entry.name, account);
        }
    }

    void addCalendar(std::size_t rootIndex, const fs::path& folder, const std::string& relative,
                     const Account& account) {
        const auto ini = readIni(folder / "calendar.ini");
        const auto displayName = readSmallFile(folder / "displayname", kMaxMetadataBytes);
        std::string title(displayName ? trimmed(*displayName) : std::string_view{});
        if (title.empty()) {
            title = folder.filename().string();
        }
        std::optional<PlatformColor> color;
        if (const auto text = readSmallFile(folder / "color", kMaxMetadataBytes)) {
            color = parseColor(*text);
        }
        const CalendarType type =
            calendarTypeFrom(value(ini, "type"), defaultCalendarType(account.source->sourceType));
        const bool readOnly = type == CalendarType::birthday ||
                              type == CalendarType::subscription || isTrue(value(ini, "read-only"));
        CalendarLocation location{.calendar = std::make_shared<const StoreCalendar>(StoreCalendar{
                                      .calendarIdentifier = calendarId(rootIndex, relative),
                                      .title = title,
                                      .color = color,
                                      .type = type,
                                      .allowsContentModifications = !readOnly,
                                      .source = account.source}),
                                  .folder = folder,
                                  .wholeFile = {},
                                  .userAddresses = account.emails,
                                  .rootIndex = rootIndex};
        addIfAddress(location.userAddresses, title);
        m_layout.calendars.push_back(std::move(location));
    }

    void addWholeFileCalendar(std::size_t rootIndex, const fs::path& root,
                              const std::string& name) {
        const fs::path file = root / name;
        const std::string title =
            calendarNameInFile(file).value_or(name.substr(0, name.size() - 4));
        auto source = std::make_shared<const Source>(Source{.sourceIdentifier = file.string(),
                                                            .sourceType = SourceType::subscribed,
                                                            .title = title});
        m_layout.sources.push_back(source);
        CalendarLocation location{.calendar = std::make_shared<const StoreCalendar>(StoreCalendar{
                                      .calendarIdentifier = calendarId(rootIndex, name),
                                      .title = title,
                                      .color = std::nullopt,
                                      .type = CalendarType::subscription,
                                      .allowsContentModifications = false,
                                      .source = std::move(source)}),
                                  .folder = root,
                                  .wholeFile = name,
                                  .userAddresses = {},
                                  .rootIndex = rootIndex};
        addIfAddress(location.userAddresses, title);
        m_layout.calendars.push_back(std::move(location));
    }

    const std::vector<fs::path>& m_roots;
    Layout m_layout;
};

} // namespace

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return result;
}

Layout discover(const std::vector<fs::path>& roots) {
    return Discovery(roots).run();
}

std::optional<PlatformColor> parseColor(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text.front() != '#' || (text.size() != 7 && text.size() != 9)) {
        return std::nullopt;
    }
    PlatformColor color;
    for (std::size_t i = 1; i < text.size(); i += 2) {
        const int high = hexValue(text[i]);
        const int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        color.components.push_back((high * 16 + low) / 255.0);
    }
    if (color.components.size() == 3) {
        color.components.push_back(1.0);
    }
    return color;
}

bool isCalendarFileName(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.front() != '~' && name.front() != '#' &&
           endsWithIcs(name);
}

std::optional<std::vector<std::string>> listCalendarFiles(const fs::path& folder) {
    auto entries = listFolder(folder, Hidden::keep);
    if (!entries) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (auto& entry : *entries) {
        if (entry.type != DT_DIR && isCalendarFileName(entry.name)) {
            names.push_back(std::move(entry.name));
        } else if (entry.type == DT_REG && isLeftover(entry.name)) {
            ::unlink((folder / entry.name).c_str());
        }
    }
    return names;
}

std::optional<FileStamp> statFile(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileStamp{.size = static_cast<std::int64_t>(info.st_size),
                     .mtimeNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                                info.st_mtim.tv_nsec,
                     .inode = static_cast<std::int64_t>(info.st_ino)};
}

std::optional<std::int64_t> folderTime(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

} // namespace plannery::vdir
