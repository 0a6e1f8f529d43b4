#include "model/CalendarMirrors.h"

#include <algorithm>

namespace plannery {

CalendarMirrors::CalendarMirrors(const std::vector<std::vector<std::string>>& groups) {
    for (const auto& group : groups) {
        std::vector<std::string> kept;
        for (const std::string& id : group) {
            if (m_index.contains(id) || std::find(kept.begin(), kept.end(), id) != kept.end()) {
                continue;
            }
            kept.push_back(id);
        }
        if (kept.size() < 2) {
            continue;
        }
        for (const std::string& id : kept) {
            m_index.emplace(id, m_groups.size());
        }
        m_groups.push_back(std::move(kept));
    }
}

std::vector<std::string> CalendarMirrors::linked(const std::string& id) const {
    auto found = m_index.find(id);
    if (found == m_index.end()) {
        return {id};
    }
    return m_groups[found->second];
}

int CalendarMirrors::rank(const std::string& id) const {
    auto found = m_index.find(id);
    if (found == m_index.end()) {
        return 0;
    }
    const auto& group = m_groups[found->second];
    return static_cast<int>(std::find(group.begin(), group.end(), id) - group.begin());
}

const std::string& CalendarMirrors::key(const std::string& id) const {
    auto found = m_index.find(id);
    return found == m_index.end() ? id : m_groups[found->second].front();
}

bool CalendarMirrors::isVisible(const std::string& id, const std::set<std::string>& hidden) const {
    auto found = m_index.find(id);
    if (found == m_index.end()) {
        return !hidden.contains(id);
    }
    const auto& group = m_groups[found->second];
    return std::any_of(group.begin(), group.end(),
                       [&](const std::string& member) { return !hidden.contains(member); });
}

} // namespace plannery
