#include "cli/CalendarsOutput.h"

#include "cli/Output.h"

#include <ostream>

namespace plannery::cli::CalendarsOutput {

namespace {

std::string nullable(const std::optional<std::string>& text) {
    return text ? Output::jsonString(*text) : "null";
}

std::optional<std::string> foundFor(const AccountGroup& group, const FoundAddresses& found) {
    const std::string prefix = "source:";
    if (!group.id.starts_with(prefix)) {
        return std::nullopt;
    }
    const auto address = found.find(group.id.substr(prefix.size()));
    return address == found.end() ? std::nullopt : std::optional(address->second);
}

} // namespace

void text(std::ostream& out, const std::vector<AccountGroup>& groups, const SeriesCounts& counts,
          const FoundAddresses& found) {
    bool first = true;
    for (const AccountGroup& group : groups) {
        out << (first ? "" : "\n") << sectionTitle(group.name, group.kind) << "\n";
        first = false;
        if (group.googleSyncURL) {
            out << "  Choose which calendars sync: " << *group.googleSyncURL << "\n";
        }
        if (const auto address = foundFor(group, found)) {
            out << "  You, as found in its invitations: " << *address << "\n";
        }
        for (const CalendarHandle& calendar : group.calendars) {
            out << "  " << calendar->title << "  [" << calendar->calendarIdentifier << "]  "
                << Output::calendarTypeName(calendar->type) << ", "
                << Output::hexColor(calendar->color).value_or("no colour") << ", "
                << (calendar->allowsContentModifications ? "editable" : "read-only");
            if (auto count = counts.find(calendar->calendarIdentifier); count != counts.end()) {
                out << ", " << count->second << (count->second == 1 ? " event" : " events")
                    << " (calendar objects)";
            }
            out << "\n";
        }
    }
}

void json(std::ostream& out, const std::vector<AccountGroup>& groups, const SeriesCounts& counts,
          const FoundAddresses& found) {
    out << "{\"accounts\":[";
    bool firstGroup = true;
    for (const AccountGroup& group : groups) {
        out << (firstGroup ? "\n" : ",\n") << "{\"id\":" << Output::jsonString(group.id)
            << ",\"name\":" << Output::jsonString(group.name)
            << ",\"title\":" << Output::jsonString(sectionTitle(group.name, group.kind))
            << ",\"kind\":"
            << nullable(group.kind ? std::optional(std::string(rawValue(*group.kind)))
                                   : std::nullopt)
            << ",\"syncURL\":" << nullable(group.googleSyncURL)
            << ",\"foundAddress\":" << nullable(foundFor(group, found)) << ",\"calendars\":[";
        firstGroup = false;
        for (std::size_t i = 0; i < group.calendars.size(); ++i) {
            const StoreCalendar& calendar = *group.calendars[i];
            out << (i == 0 ? "" : ",")
                << "{\"id\":" << Output::jsonString(calendar.calendarIdentifier)
                << ",\"title\":" << Output::jsonString(calendar.title) << ",\"type\":\""
                << Output::calendarTypeName(calendar.type) << "\"";
            if (auto color = Output::hexColor(calendar.color)) {
                out << ",\"color\":\"" << *color << "\"";
            }
            out << ",\"readOnly\":" << (calendar.allowsContentModifications ? "false" : "true");
            if (auto count = counts.find(calendar.calendarIdentifier); count != counts.end()) {
                out << ",\"events\":" << count->second;
            }
            out << "}";
        }
        out << "]}";
    }
    out << "\n]}\n";
}

} // namespace plannery::cli::CalendarsOutput
