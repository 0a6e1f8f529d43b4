#include "platform/IcsShareFile.h"

#include "platform/AtomicFile.h"
#include "platform/Sentences.h"

#include <system_error>

namespace plannery::Ics {

namespace fs = std::filesystem;

namespace {

// NAME_MAX of the common Linux file systems, in bytes.
constexpr std::size_t kLongestName = 255;

IcsWriteResult failure(std::string sentence) {
    return IcsWriteResult{.file = std::nullopt, .error = std::move(sentence)};
}

// A sentence for the user, through translation.
std::string tr(const char* text, std::initializer_list<std::string_view> args = {}) {
    return translated("IcsShareFile", text, args);
}

} // namespace

IcsWriteResult write(const IcsEvent& event, const fs::path& directory) {
    return write(event, directory, Instant::now(), Calendar::current());
}

IcsWriteResult write(const IcsEvent& event, const fs::path& directory, Instant stamp,
                     const Calendar& calendar, const PrivateFolder::User& user) {
    // The folder is emptied below: a path that is empty, a file system's root or the current
    // folder is never a folder of the share file's own.
    fs::path folder = directory.lexically_normal();
    if (folder.has_relative_path() && folder.filename().empty()) {
        folder = folder.parent_path(); // a trailing separator
    }
    if (!folder.has_relative_path() || folder.filename() == "." || folder.filename() == "..") {
        return failure(tr("The calendar file needs a folder of its own; \u201C%1\u201D is not one.",
                          {directory.string()}));
    }
    // Checked before anything in it is removed: through a folder another user controls, the
    // removal and the file would land wherever they chose.
    if (const auto problem = PrivateFolder::make(folder, user)) {
        return failure(tr("The calendar file was not written to \u201C%1\u201D: %2.",
                          {directory.string(), *problem}));
    }
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code ignored;
        fs::remove_all(entry->path(), ignored);
    }
    std::string name = fileName(event.title);
    // Sixty characters of a script or of emoji sequences can exceed what a file system allows.
    if (name.size() > kLongestName) {
        name = fileName("");
    }
    const fs::path file = directory / name;
    const auto written = vdir::writeFile(file, Ics::calendar(event, stamp, calendar), std::nullopt);
    if (written.error) {
        return failure(*written.error);
    }
    return IcsWriteResult{.file = file, .error = std::nullopt};
}

} // namespace plannery::Ics
