#include "model/SettingsRows.h"

#include "model/LocaleFormats.h"

namespace plannery::SettingsRows {

namespace {

struct Listed {
    const AccountGroup* group = nullptr;
    const StoreCalendar* calendar = nullptr;
};

// The first account group listing the calendar, with the calendar as that group holds it.
std::optional<Listed> findListed(const std::string& calendarID,
                                 const std::vector<AccountGroup>& groups) {
    for (const AccountGroup& group : groups) {
        for (const CalendarHandle& calendar : group.calendars) {
            if (calendar && calendar->calendarIdentifier == calendarID) {
                return Listed{.group = &group, .calendar = calendar.get()};
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> mirrorNote(const std::string& calendarID, const AccountGroup& group,
                                      const std::vector<AccountGroup>& groups,
                                      const CalendarMirrors& mirrors, const std::string& localeId) {
    std::vector<std::string> phrases;
    for (const std::string& other : mirrors.linked(calendarID)) {
        if (other == calendarID) {
            continue;
        }
        // A mirror that no account lists (its account is gone, or access was narrowed) has no
        // name the user could recognise.
        const std::optional<Listed> listed = findListed(other, groups);
        if (!listed) {
            continue;
        }
        std::string phrase = "\u201C" + listed->calendar->title + "\u201D";
        if (listed->group->id != group.id) {
            phrase += " in " + listed->group->name;
        }
        phrases.push_back(std::move(phrase));
    }
    if (phrases.empty()) {
        return std::nullopt;
    }
    return "Same as " + LocaleFormats::list(phrases, localeId) + ", shown once";
}

std::vector<AccountSection> accountSections(const std::vector<AccountGroup>& groups,
                                            const CalendarMirrors& mirrors,
                                            const std::string& localeId) {
    std::vector<AccountSection> sections;
    sections.reserve(groups.size());
    for (const AccountGroup& group : groups) {
        AccountSection section{.id = group.id,
                               .title = sectionTitle(group.name, group.kind),
                               .rows = {},
                               .googleSyncURL = group.googleSyncURL};
        for (const CalendarHandle& calendar : group.calendars) {
            if (!calendar) {
                continue;
            }
            const std::string& id = calendar->calendarIdentifier;
            section.rows.push_back(
                CalendarRow{.calendarID = id,
                            .title = calendar->title,
                            .rgb = RGB::from(calendar->color),
                            .mirrorNote = mirrorNote(id, group, groups, mirrors, localeId)});
        }
        sections.push_back(std::move(section));
    }
    return sections;
}

BuildDescription describeBuild(std::string_view version, std::string_view build,
                               std::string_view bundleID, std::string_view commit) {
    std::string kind = "Release";
    if (!commit.empty()) {
        kind.append(" \u00B7 ").append(commit);
    }
    return BuildDescription{.version = std::string(version) + " (" + std::string(build) + ")",
                            .kind = std::move(kind),
                            .bundleID = std::string(bundleID)};
}

} // namespace plannery::SettingsRows
