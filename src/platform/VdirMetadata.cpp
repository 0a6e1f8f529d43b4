#include "platform/VdirMetadata.h"

#include "model/Ascii.h"
#include "model/MailAddress.h"
#include "model/PercentDecoding.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>

#include <sys/stat.h>

namespace plannery::vdir {

namespace {

namespace fs = std::filesystem;

// The most each kind of file may hold; anything larger is not what its name says.
constexpr std::size_t kMaxIniBytes = 64 * 1024;
constexpr std::size_t kMaxTitleBytes = 4 * 1024;
constexpr std::size_t kMaxColorBytes = 256;
// How much of a bad value a sentence quotes.
constexpr std::size_t kQuotedChars = 40;

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

enum class Found { missing, tooLarge, unreadable, read };

struct FileText {
    Found found = Found::missing;
    std::string text;
};

// Only regular files are read (a FIFO named `color` would block), and only when small enough.
FileText readSmallFile(const fs::path& path, std::size_t limit) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
    if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        return FileText{.found = Found::tooLarge, .text = {}};
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(limit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(limit));
    if (!in && !in.eof()) {
        return FileText{.found = Found::unreadable, .text = {}};
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    return FileText{.found = Found::read, .text = std::move(text)};
}

// A value as a sentence quotes it: one line, and short.
std::string inQuotes(std::string_view value) {
    std::string text = oneLineText(value);
    if (text.size() > kQuotedChars) {
        std::size_t cut = kQuotedChars;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut; // not inside a character
        }
        text = text.substr(0, cut) + "\u2026";
    }
    return "\u201C" + text + "\u201D";
}

std::string sizeNote(const fs::path& file, const char* what, const char* instead) {
    return "The file " + file.string() + " is too large to hold " + what + "; " + instead + ".";
}

std::string unreadableNote(const fs::path& file, const char* instead) {
    return "The file " + file.string() + " cannot be read; " + instead + ".";
}

struct IniLine {
    std::string key; // lower case
    std::string value;
};

// key = value lines; comments and section headers are skipped.
std::vector<IniLine> iniLines(std::string_view text) {
    std::vector<IniLine> lines;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, newline));
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        if (line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '[') {
            continue;
        }
        const auto equals = line.find('=');
        if (equals != std::string_view::npos) {
            lines.push_back({.key = lowered(trimmed(line.substr(0, equals))),
                             .value = oneLineText(trimmed(line.substr(equals + 1)))});
        }
    }
    return lines;
}

template <typename Ini>
MetadataRead<Ini> readIni(const fs::path& file,
                          void (*apply)(MetadataRead<Ini>&, const fs::path&, const IniLine&)) {
    MetadataRead<Ini> result;
    const FileText read = readSmallFile(file, kMaxIniBytes);
    if (read.found == Found::tooLarge) {
        result.notes.push_back(sizeNote(file, "settings", "it is ignored"));
    } else if (read.found == Found::unreadable) {
        result.notes.push_back(unreadableNote(file, "it is ignored"));
    }
    for (const IniLine& line : iniLines(read.text)) {
        if (!line.value.empty()) {
            apply(result, file, line);
        }
    }
    return result;
}

std::string unknownKeyNote(const fs::path& file, const std::string& key, const char* known) {
    return "The file " + file.string() + " has the setting " + inQuotes(key) +
           ", which Plannery does not know (it reads " + known + "); it is ignored.";
}

std::string unknownTypeNote(const fs::path& file, const std::string& type, const char* known,
                            const char* instead) {
    return "The file " + file.string() + " names the type " + inQuotes(type) + ", not one of " +
           known + "; " + instead + ".";
}

template <typename Type, std::size_t N>
std::optional<Type> named(const std::array<std::pair<const char*, Type>, N>& names,
                          std::string_view word) {
    const std::string key = lowered(word);
    for (const auto& [name, value] : names) {
        if (key == name) {
            return value;
        }
    }
    return std::nullopt;
}

constexpr std::array<std::pair<const char*, SourceType>, 6> kSourceTypes{{
    {"local", SourceType::local},
    {"exchange", SourceType::exchange},
    {"caldav", SourceType::calDAV},
    {"icloud", SourceType::iCloud},
    {"subscribed", SourceType::subscribed},
    {"birthdays", SourceType::birthdays},
}};

constexpr std::array<std::pair<const char*, CalendarType>, 5> kCalendarTypes{{
    {"local", CalendarType::local},
    {"caldav", CalendarType::calDAV},
    {"exchange", CalendarType::exchange},
    {"subscription", CalendarType::subscription},
    {"birthday", CalendarType::birthday},
}};

void applyAccountLine(MetadataRead<AccountIni>& read, const fs::path& file, const IniLine& line) {
    if (line.key == "type") {
        if (const auto type = named(kSourceTypes, line.value)) {
            read.value.type = *type;
        } else {
            read.notes.push_back(unknownTypeNote(
                file, line.value, "local, exchange, caldav, icloud, subscribed or birthdays",
                "the account is read as CalDAV"));
        }
    } else if (line.key == "title") {
        read.value.title = line.value;
    } else if (line.key == "emails") {
        std::string_view rest = line.value;
        while (!rest.empty()) {
            const auto comma = rest.find(',');
            const auto address = trimmed(rest.substr(0, comma));
            rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
            if (address.empty()) {
                continue;
            }
            if (matchesEmailPattern(address)) {
                read.value.emails.push_back(lowered(address));
            } else {
                read.notes.push_back("The file " + file.string() + " lists " + inQuotes(address) +
                                     " under emails, which is not an e-mail address; it is "
                                     "ignored.");
            }
        }
    } else {
        read.notes.push_back(unknownKeyNote(file, line.key, "type, title and emails"));
    }
}

bool isTrue(std::string_view value) {
    const std::string word = lowered(value);
    return word == "true" || word == "yes" || word == "1" || word == "on";
}

void applyCalendarLine(MetadataRead<CalendarIni>& read, const fs::path& file, const IniLine& line) {
    if (line.key == "type") {
        read.value.type = named(kCalendarTypes, line.value);
        if (!read.value.type) {
            read.notes.push_back(unknownTypeNote(
                file, line.value, "local, caldav, exchange, subscription or birthday",
                "the account's kind decides"));
        }
    } else if (line.key == "read-only") {
        read.value.readOnly = isTrue(line.value);
    } else if (line.key == "default") {
        read.value.isDefault = isTrue(line.value);
    } else {
        read.notes.push_back(unknownKeyNote(file, line.key, "type, read-only and default"));
    }
}

} // namespace

MetadataRead<AccountIni> readAccountIni(const fs::path& file) {
    return readIni<AccountIni>(file, &applyAccountLine);
}

MetadataRead<CalendarIni> readCalendarIni(const fs::path& file) {
    return readIni<CalendarIni>(file, &applyCalendarLine);
}

MetadataRead<std::optional<std::string>> readDisplayName(const fs::path& file) {
    MetadataRead<std::optional<std::string>> result;
    const FileText read = readSmallFile(file, kMaxTitleBytes);
    if (read.found == Found::tooLarge) {
        result.notes.push_back(sizeNote(file, "a title", "the folder's name is used"));
    } else if (read.found == Found::unreadable) {
        result.notes.push_back(unreadableNote(file, "the folder's name is used"));
    }
    std::string title = oneLineText(read.text);
    if (!title.empty()) {
        result.value = std::move(title);
    }
    return result;
}

MetadataRead<std::optional<PlatformColor>> readColor(const fs::path& file) {
    MetadataRead<std::optional<PlatformColor>> result;
    const FileText read = readSmallFile(file, kMaxColorBytes);
    if (read.found == Found::tooLarge) {
        result.notes.push_back(sizeNote(file, "a colour", "the calendar has no colour"));
    } else if (read.found == Found::unreadable) {
        result.notes.push_back(unreadableNote(file, "the calendar has no colour"));
    }
    if (trimmed(read.text).empty()) {
        return result; // an empty file says "no colour", as the sync tools write it
    }
    result.value = parseColor(read.text);
    if (!result.value) {
        result.notes.push_back("The file " + file.string() + " holds " + inQuotes(read.text) +
                               ", which is not a colour written as #RRGGBB; the calendar has "
                               "no colour.");
    }
    return result;
}

std::optional<PlatformColor> parseColor(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text.front() != '#') {
        return std::nullopt;
    }
    text.remove_prefix(1);
    std::vector<int> digits;
    for (const char c : text) {
        const int value = hexValue(c);
        if (value < 0) {
            return std::nullopt;
        }
        digits.push_back(value);
    }
    PlatformColor color;
    if (digits.size() == 3) {
        for (const int digit : digits) {
            color.components.push_back(digit * 17 / 255.0);
        }
    } else if (digits.size() == 6 || digits.size() == 8) {
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            color.components.push_back((digits[i] * 16 + digits[i + 1]) / 255.0);
        }
    } else {
        return std::nullopt;
    }
    if (color.components.size() == 3) {
        color.components.push_back(1.0);
    }
    return color;
}

std::string oneLineText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3); // a byte order mark some editors write
    }
    std::string text;
    if (isValidUtf8(bytes)) {
        text = bytes;
    } else {
        // Older tools write titles in Latin-1, whose every byte is the character of that number.
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                text += c;
            } else {
                text += static_cast<char>(0xC0 | (byte >> 6));
                text += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
    }
    // Control characters (line breaks, tabs, NUL) become single spaces between words.
    std::string line;
    bool space = false;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == ' ' || c == '\x7F') {
            space = !line.empty();
            continue;
        }
        if (space) {
            line += ' ';
            space = false;
        }
        line += c;
    }
    return line;
}

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    return result;
}

} // namespace plannery::vdir
