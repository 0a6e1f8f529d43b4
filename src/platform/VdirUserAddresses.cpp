#include "platform/VdirUserAddresses.h"

#include "model/MailAddress.h"
#include "platform/Fingerprint.h"
#include "platform/IndexCache.h"
#include "platform/VdirMetadata.h"

#include <algorithm>
#include <unordered_map>

namespace plannery::vdir {

namespace {

// Raise when what is counted changes, so that values kept by an older rule are not taken.
constexpr const char* kNotePrefix = "user-address-1 ";

std::string addressOf(const Participant& participant) {
    std::string address = lowered(participant.url);
    if (address.starts_with("mailto:")) {
        address.erase(0, 7);
    }
    return address;
}

void addPerson(Participants& people, const Participant& participant) {
    if (participant.participantType == ParticipantType::room ||
        participant.participantType == ParticipantType::resource) {
        return;
    }
    std::string address = addressOf(participant);
    if (!address.empty() && std::find(people.begin(), people.end(), address) == people.end()) {
        people.push_back(std::move(address));
    }
}

// The people of each series with attendees in one file.
void collect(const std::vector<ics::Series>& series, std::vector<Participants>& events) {
    for (const auto& one : series) {
        Participants people;
        bool attended = false;
        for (const auto& component : one.components) {
            attended = attended || !component.content.attendees.empty();
            if (component.content.organizer) {
                addPerson(people, *component.content.organizer);
            }
            for (const auto& attendee : component.content.attendees) {
                addPerson(people, attendee);
            }
        }
        if (attended) {
            events.push_back(std::move(people));
        }
    }
}

struct AccountFiles {
    std::vector<std::uint32_t> files;
    Fingerprint fingerprint;
    bool racy = false; // a file's stamp may not show its last change: no note is trusted
};

std::optional<std::vector<ics::Series>> seriesOf(const Scan& scan, std::uint32_t index,
                                                 IndexCache* cache) {
    const auto& file = scan.files[index];
    const auto& folder = scan.calendars[file.calendar].location.folder;
    if (!file.blob.empty()) {
        return ics::decode(file.blob);
    }
    if (cache != nullptr) {
        if (const auto bytes = cache->blob(folder.string(), file.name, file.stamp, file.cacheRow)) {
            return ics::decode(*bytes);
        }
    }
    return parseFile(folder / file.name);
}

} // namespace

std::optional<std::string> mostFrequentParticipant(const std::vector<Participants>& events) {
    std::unordered_map<std::string, std::size_t> counts;
    for (const auto& people : events) {
        for (const auto& address : people) {
            ++counts[address];
        }
    }
    const std::string* best = nullptr;
    std::size_t bestCount = 0;
    bool tied = false;
    for (const auto& [address, count] : counts) {
        if (count > bestCount) {
            best = &address;
            bestCount = count;
            tied = false;
        } else if (count == bestCount) {
            tied = true;
        }
    }
    if (best == nullptr || tied || bestCount < kMinUserEvents ||
        static_cast<double>(bestCount) < kMinUserShare * static_cast<double>(events.size())) {
        return std::nullopt;
    }
    return *best;
}

std::map<std::string, std::string> findUserAddresses(const Scan& scan, IndexCache* cache) {
    std::map<std::string, AccountFiles> accounts;
    for (const auto& calendar : scan.calendars) {
        const auto& location = calendar.location;
        if (!location.wholeFile.empty() || !location.accountAddresses.empty()) {
            continue;
        }
        auto& account = accounts[location.calendar->source->sourceIdentifier];
        for (auto index = calendar.fileBegin; index < calendar.fileEnd; ++index) {
            const auto& file = scan.files[index];
            account.files.push_back(index);
            account.fingerprint.add(location.folder.string());
            account.fingerprint.add(file.name);
            account.fingerprint.add(file.stamp.size);
            account.fingerprint.add(file.stamp.mtimeNs);
            account.fingerprint.add(file.stamp.inode);
            account.racy = account.racy || file.racy;
        }
    }
    std::map<std::string, std::string> found;
    for (const auto& [source, account] : accounts) {
        const std::string key = kNotePrefix + source;
        const std::string stamp = account.fingerprint.text() + "\n";
        std::optional<std::string> address;
        const bool noted = cache != nullptr && !account.racy;
        if (const auto note = noted ? cache->note(key) : std::nullopt;
            note && note->starts_with(stamp)) {
            address = note->substr(stamp.size());
        } else {
            std::vector<Participants> events;
            if (cache != nullptr) {
                cache->beginRead();
            }
            for (const auto index : account.files) {
                if (const auto series = seriesOf(scan, index, cache)) {
                    collect(*series, events);
                }
            }
            if (cache != nullptr) {
                cache->endRead();
            }
            address = mostFrequentParticipant(events).value_or("");
            if (noted) {
                cache->setNote(key, stamp + *address);
            }
        }
        if (!address->empty()) {
            found.emplace(source, std::move(*address));
        }
    }
    return found;
}

void setUserAddresses(Scan& scan, const std::vector<std::string>& own,
                      const std::map<std::string, std::string>& found) {
    for (auto& calendar : scan.calendars) {
        auto& location = calendar.location;
        auto addresses = location.accountAddresses;
        const auto add = [&](const std::string& text) {
            std::string address = lowered(text);
            if (matchesEmailPattern(address) &&
                std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
                addresses.push_back(std::move(address));
            }
        };
        add(location.calendar->title);
        for (const auto& address : own) {
            add(address);
        }
        if (const auto one = found.find(location.calendar->source->sourceIdentifier);
            one != found.end()) {
            add(one->second);
        }
        location.userAddresses = std::move(addresses);
    }
}

} // namespace plannery::vdir
