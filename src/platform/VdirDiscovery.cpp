#include "platform/VdirDiscovery.h"

#include "model/MailAddress.h"
#include "platform/VdirLayout.h"
#include "platform/VdirMetadata.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <map>
#include <tuple>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace plannery::vdir {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Subfolder {
    std::string name;
    bool link = false;
};

// One folder as its listing shows it.
struct Folder {
    fs::path path;
    std::size_t parent = kNone;
    int depth = 0;
    bool viaLink = false; // reached through a link to a folder
    dev_t device = 0;
    ino_t inode = 0;
    bool ics = false;
    bool displayname = false;
    bool color = false;
    bool accountIni = false;
    bool anyEntry = false; // holds anything that is not hidden
    bool hasSubfolders = false;
    std::vector<std::string> icsFiles; // regular .ics files, kept for a root only
    std::vector<std::size_t> kids;     // the subfolders that were opened
    bool account = false;
    bool calendar = false;

    bool marked() const { return ics || displayname || color; }
};

struct Listing {
    std::vector<Subfolder> subfolders; // by name
    std::vector<std::string> loops;    // links that cannot be followed because they loop
};

bool endsWithIcs(std::string_view name) {
    return name.size() > 4 && lowered(name.substr(name.size() - 4)) == ".ics";
}

// Reads a folder's entries into `folder`; nullopt when it cannot be opened.
std::optional<Listing> list(Folder& folder, bool keepIcsFiles) {
    DIR* dir = ::opendir(folder.path.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    // Its identity tells a folder reached twice, or round a loop, apart.
    struct stat self {};
    if (::fstat(::dirfd(dir), &self) != 0) {
        ::closedir(dir);
        return std::nullopt;
    }
    folder.device = self.st_dev;
    folder.inode = self.st_ino;
    // Every real subfolder adds a link to its parent, so two links mean none (file systems that
    // do not count so report one). A collection of thousands of events is then read only to its
    // first calendar file, and its metadata files are looked up by name; a link to a folder
    // among its events is not looked for.
    const bool noSubfolders = self.st_nlink == 2 && !keepIcsFiles;
    bool cut = false;
    Listing listing;
    while (const dirent* entry = ::readdir(dir)) {
        if (noSubfolders && folder.ics) {
            cut = true;
            break;
        }
        const std::string_view name = entry->d_name;
        if (name.front() == '.') {
            continue;
        }
        folder.anyEntry = true;
        unsigned char type = entry->d_type;
        bool link = type == DT_LNK;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat info {};
            if (type == DT_UNKNOWN &&
                ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
                link = S_ISLNK(info.st_mode);
            }
            if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0) {
                if (errno == ELOOP) {
                    listing.loops.emplace_back(name);
                }
                continue; // a link to nothing
            }
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            folder.hasSubfolders = true;
            if (!endsWithIcs(name)) { // a folder named like a file is neither account nor calendar
                listing.subfolders.push_back({.name = std::string(name), .link = link});
            }
        } else if (name == "displayname") {
            folder.displayname = true;
        } else if (name == "color") {
            folder.color = true;
        } else if (name == "account.ini") {
            folder.accountIni = true;
        } else if (isCalendarFileName(name)) {
            folder.ics = true;
            if (keepIcsFiles && type == DT_REG) {
                folder.icsFiles.emplace_back(name);
            }
        }
    }
    if (cut) {
        struct stat info {};
        const auto isFile = [&](const char* name) {
            return ::fstatat(::dirfd(dir), name, &info, 0) == 0 && !S_ISDIR(info.st_mode);
        };
        folder.displayname = isFile("displayname");
        folder.color = isFile("color");
        folder.accountIni = isFile("account.ini");
    }
    ::closedir(dir);
    std::sort(listing.subfolders.begin(), listing.subfolders.end(),
              [](const Subfolder& a, const Subfolder& b) { return a.name < b.name; });
    std::sort(folder.icsFiles.begin(), folder.icsFiles.end());
    return listing;
}

std::string unreadableSentence(const fs::path& folder) {
    return "The folder " + folder.string() + " cannot be read.";
}

// The calendar name a published calendar gives itself, when it says so near the top.
std::optional<std::string> calendarNameInFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string head(8192, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const auto key = head.find("X-WR-CALNAME");
    const auto colon = head.find(':', key);
    const auto lineEnd = head.find_first_of("\r\n", key);
    if (key == std::string::npos || colon == std::string::npos ||
        (lineEnd != std::string::npos && colon > lineEnd)) {
        return std::nullopt;
    }
    std::string name = oneLineText(std::string_view(head).substr(colon + 1, lineEnd - colon - 1));
    return name.empty() ? std::nullopt : std::optional(std::move(name));
}

std::string folderName(const fs::path& folder) {
    return folder.filename().empty() ? folder.string() : folder.filename().string();
}

// A calendar as found below one root, before the readings of all roots are compared.
struct Candidate {
    fs::path path; // the folder, or the file of a calendar kept in one file
    fs::path account;
    bool wholeFile = false;
    dev_t device = 0;
    ino_t inode = 0;
    bool viaLink = false;
    std::size_t rootDepth = 0; // components of the root's path

    // Which of several readings of one folder is kept; see the header.
    auto rank() const { return std::tuple(viaLink, rootDepth, path.string()); }
};

class Discovery {
  public:
    Discovery(const std::vector<fs::path>& roots, DiscoveryLimits limits)
        : m_roots(roots), m_limits(limits) {}

    Layout run() {
        for (const auto& root : m_roots) {
            scanRoot(root);
        }
        std::map<std::pair<dev_t, ino_t>, Candidate> kept;
        for (auto& candidate : m_candidates) {
            const auto key = std::pair(candidate.device, candidate.inode);
            const auto found = kept.find(key);
            if (found == kept.end() || candidate.rank() < found->second.rank()) {
                kept.insert_or_assign(key, std::move(candidate));
            }
        }
        std::vector<Candidate> chosen;
        for (auto& [key, candidate] : kept) {
            chosen.push_back(std::move(candidate));
        }
        std::sort(chosen.begin(), chosen.end(),
                  [](const Candidate& a, const Candidate& b) { return a.path < b.path; });
        if (chosen.size() > m_limits.calendars) {
            m_layout.notes.push_back("The calendar folders hold more than " +
                                     std::to_string(m_limits.calendars) +
                                     " calendars; only the first ones are shown.");
            chosen.resize(m_limits.calendars);
        }
        for (const auto& candidate : chosen) {
            if (candidate.wholeFile) {
                addWholeFileCalendar(candidate);
            } else {
                addCalendar(candidate);
            }
        }
        for (const auto& [path, account] : m_accounts) {
            m_layout.sources.push_back(account.source);
        }
        return std::move(m_layout);
    }

  private:
    struct Account {
        SourceHandle source;
        std::vector<std::string> addresses;
    };

    void scanRoot(const fs::path& root) {
        struct stat info {};
        if (::stat(root.c_str(), &info) != 0) {
            // Not created yet: the access status tells the first run apart.
            m_layout.unreadableFolders.push_back("The folder " + root.string() +
                                                 " does not exist.");
            return;
        }
        ++m_layout.existingRoots;
        if (!S_ISDIR(info.st_mode)) {
            m_layout.unreadableFolders.push_back("The folder " + root.string() +
                                                 " is a file, not a folder of calendars.");
            return;
        }
        std::vector<Folder> folders = walk(root);
        if (folders.empty()) {
            m_layout.unreadableFolders.push_back(unreadableSentence(root));
            return;
        }
        ++m_layout.readableRoots;
        classify(folders);
        const auto rootDepth = static_cast<std::size_t>(std::distance(root.begin(), root.end()));
        for (const Folder& folder : folders) {
            if (folder.accountIni) {
                account(folder.path);
            }
            if (!folder.calendar) {
                continue;
            }
            const fs::path& owner =
                folder.parent == kNone ? folder.path : folders[folder.parent].path;
            m_candidates.push_back(Candidate{.path = folder.path,
                                             .account = owner,
                                             .wholeFile = false,
                                             .device = folder.device,
                                             .inode = folder.inode,
                                             .viaLink = folder.viaLink,
                                             .rootDepth = rootDepth});
        }
        if (folders.front().calendar) {
            return; // its .ics files are its events
        }
        for (const auto& name : folders.front().icsFiles) {
            if (::stat((root / name).c_str(), &info) == 0) {
                m_candidates.push_back(Candidate{.path = root / name,
                                                 .account = root / name,
                                                 .wholeFile = true,
                                                 .device = info.st_dev,
                                                 .inode = info.st_ino,
                                                 .viaLink = false,
                                                 .rootDepth = rootDepth});
            }
        }
    }

    // Every folder below the root to kMaxDepth, the shallow ones first; empty when the root
    // cannot be read.
    std::vector<Folder> walk(const fs::path& root) {
        std::vector<Folder> folders(1);
        folders[0].path = root;
        std::vector<Listing> listings;
        auto first = list(folders[0], true);
        if (!first) {
            return {};
        }
        listings.push_back(std::move(*first));
        bool tooMany = false;
        for (std::size_t i = 0; i < folders.size() && !tooMany; ++i) {
            // Moved out: the loop below adds listings.
            const Listing listing = std::move(listings[i]);
            noteLoops(folders[i].path, listing.loops);
            if (folders[i].depth >= kMaxDepth) {
                continue;
            }
            for (const auto& sub : listing.subfolders) {
                if (folders.size() >= m_limits.foldersPerRoot) {
                    m_layout.notes.push_back("The folder " + root.string() + " holds more than " +
                                             std::to_string(m_limits.foldersPerRoot) +
                                             " folders; the rest were not looked at.");
                    tooMany = true;
                    break;
                }
                if (folders[i].viaLink && sub.link) {
                    continue; // links are followed once
                }
                Folder kid;
                kid.path = folders[i].path / sub.name;
                kid.parent = i;
                kid.depth = folders[i].depth + 1;
                kid.viaLink = folders[i].viaLink || sub.link;
                auto kidListing = list(kid, false);
                if (!kidListing) {
                    // One folder the user cannot read (a lost+found at a disk's root) never
                    // hides the calendars beside it.
                    m_layout.notes.push_back(unreadableSentence(kid.path) +
                                             " It was skipped; the rest was read.");
                    continue;
                }
                if (const auto ancestor = holder(folders, i, kid)) {
                    m_layout.notes.push_back("The link " + kid.path.string() + " leads back to " +
                                             ancestor->string() + "; it is not followed.");
                    continue;
                }
                folders[i].kids.push_back(folders.size());
                folders.push_back(std::move(kid));
                listings.push_back(std::move(*kidListing));
            }
        }
        return folders;
    }

    // The folder among `from` and those above it that `kid` is, when it is one.
    static std::optional<fs::path> holder(const std::vector<Folder>& folders, std::size_t from,
                                          const Folder& kid) {
        for (std::size_t i = from; i != kNone; i = folders[i].parent) {
            if (folders[i].device == kid.device && folders[i].inode == kid.inode) {
                return folders[i].path;
            }
        }
        return std::nullopt;
    }

    void noteLoops(const fs::path& folder, const std::vector<std::string>& loops) {
        for (const auto& name : loops) {
            m_layout.notes.push_back("The link " + (folder / name).string() +
                                     " leads round in a loop; it is not followed.");
        }
    }

    // Marks the accounts and calendars among the folders of one root (the root first).
    static void classify(std::vector<Folder>& folders) {
        const auto leaf = [&](std::size_t i) { return !folders[i].hasSubfolders; };
        for (auto& folder : folders) {
            folder.account = folder.accountIni ||
                             std::any_of(folder.kids.begin(), folder.kids.end(), [&](auto k) {
                                 return folders[k].marked() && !folders[k].accountIni;
                             });
        }
        // An account whose collections hold nothing yet: a folder of empty folders, directly in
        // the root or beside accounts that show theirs.
        const auto emptyAccount = [&](const Folder& folder) {
            return !folder.account && !folder.marked() && !folder.kids.empty() &&
                   std::all_of(folder.kids.begin(), folder.kids.end(), leaf);
        };
        for (std::size_t i = 0; i < folders.size(); ++i) {
            const auto& kids = folders[i].kids;
            const bool besideAccounts =
                i == 0 ||
                (!folders[i].account &&
                 std::any_of(kids.begin(), kids.end(), [&](auto k) { return folders[k].account; }));
            if (!besideAccounts) {
                continue;
            }
            for (const auto k : kids) {
                folders[k].account = folders[k].account || emptyAccount(folders[k]);
            }
        }
        Folder& root = folders.front();
        bool anyBelow = false;
        for (std::size_t i = 1; i < folders.size(); ++i) {
            Folder& folder = folders[i];
            folder.calendar =
                !folder.accountIni &&
                (folder.marked() || (folders[folder.parent].account && !folder.account));
            anyBelow = anyBelow || folder.calendar || folder.account;
        }
        root.calendar = !root.accountIni && (root.displayname || root.color ||
                                             (root.ics && !anyBelow) || !root.anyEntry);
    }

    const Account& account(const fs::path& folder) {
        const std::string key = folder.string();
        if (const auto found = m_accounts.find(key); found != m_accounts.end()) {
            return found->second;
        }
        AccountIni ini = noted(readAccountIni(folder / "account.ini"));
        Account made{.source = std::make_shared<const Source>(
                         Source{.sourceIdentifier = key,
                                .sourceType = ini.type,
                                .title = ini.title.value_or(folderName(folder))}),
                     .addresses = std::move(ini.emails)};
        if (const std::string title = lowered(made.source->title);
            matchesEmailPattern(title) && std::find(made.addresses.begin(), made.addresses.end(),
                                                    title) == made.addresses.end()) {
            made.addresses.push_back(title);
        }
        return m_accounts.emplace(key, std::move(made)).first->second;
    }

    template <typename Value> Value noted(MetadataRead<Value> read) {
        m_layout.notes.insert(m_layout.notes.end(), read.notes.begin(), read.notes.end());
        return std::move(read.value);
    }

    void addCalendar(const Candidate& candidate) {
        const Account& owner = account(candidate.account);
        const fs::path& folder = candidate.path;
        const CalendarIni ini = noted(readCalendarIni(folder / "calendar.ini"));
        const auto title =
            noted(readDisplayName(folder / "displayname")).value_or(folderName(folder));
        const auto color = noted(readColor(folder / "color"));
        const CalendarType type = ini.type.value_or(defaultCalendarType(owner.source->sourceType));
        const bool readOnly =
            type == CalendarType::birthday || type == CalendarType::subscription || ini.readOnly;
        CalendarLocation location{.calendar = std::make_shared<const StoreCalendar>(
                                      StoreCalendar{.calendarIdentifier = folder.string(),
                                                    .title = title,
                                                    .color = color,
                                                    .type = type,
                                                    .allowsContentModifications = !readOnly,
                                                    .source = owner.source}),
                                  .folder = folder,
                                  .wholeFile = {},
                                  .accountAddresses = owner.addresses,
                                  .userAddresses = {},
                                  .isDefault = ini.isDefault};
        m_layout.calendars.push_back(std::move(location));
    }

    void addWholeFileCalendar(const Candidate& candidate) {
        const fs::path& file = candidate.path;
        const std::string name = file.filename().string();
        const std::string title =
            calendarNameInFile(file).value_or(oneLineText(name.substr(0, name.size() - 4)));
        auto source = std::make_shared<const Source>(Source{.sourceIdentifier = file.string(),
                                                            .sourceType = SourceType::subscribed,
                                                            .title = title});
        m_accounts.emplace(file.string(), Account{.source = source, .addresses = {}});
        CalendarLocation location{.calendar = std::make_shared<const StoreCalendar>(
                                      StoreCalendar{.calendarIdentifier = file.string(),
                                                    .title = title,
                                                    .color = std::nullopt,
                                                    .type = CalendarType::subscription,
                                                    .allowsContentModifications = false,
                                                    .source = std::move(source)}),
                                  .folder = file.parent_path(),
                                  .wholeFile = name,
                                  .accountAddresses = {},
                                  .userAddresses = {},
                                  .isDefault = false};
        m_layout.calendars.push_back(std::move(location));
    }

    static CalendarType defaultCalendarType(SourceType source) {
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

    const std::vector<fs::path>& m_roots;
    DiscoveryLimits m_limits;
    std::vector<Candidate> m_candidates;
    std::map<std::string, Account> m_accounts; // by folder path
    Layout m_layout;
};

} // namespace

Layout discover(const std::vector<fs::path>& roots, DiscoveryLimits limits) {
    return Discovery(roots, limits).run();
}

} // namespace plannery::vdir
