#pragma once

#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace plannery {

// Groups of calendars that mirror each other, the preferred calendar of each group first. No
// identifier occurs in two groups and every group has at least two members.
class CalendarMirrors {
  public:
    CalendarMirrors() = default;
    // Builds the cleaned groups from stored ones: an identifier already taken by an earlier
    // group (or earlier in the same group) is dropped, and so is a group left with one member.
    explicit CalendarMirrors(const std::vector<std::vector<std::string>>& groups);

    const std::vector<std::vector<std::string>>& groups() const { return m_groups; }
    bool empty() const { return m_groups.empty(); }

    // The calendar's group, or a list of just the calendar.
    std::vector<std::string> linked(const std::string& id) const;
    // Position within its group, 0 outside any group.
    int rank(const std::string& id) const;
    // The first identifier of its group, or the identifier itself.
    const std::string& key(const std::string& id) const;
    // True when at least one calendar of its group is not hidden.
    bool isVisible(const std::string& id, const std::set<std::string>& hidden) const;

    friend bool operator==(const CalendarMirrors& a, const CalendarMirrors& b) {
        return a.m_groups == b.m_groups;
    }

  private:
    std::vector<std::vector<std::string>> m_groups;
    std::unordered_map<std::string, std::size_t> m_index;
};

} // namespace plannery
