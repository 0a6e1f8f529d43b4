#pragma once

// The finder's texts (bench/data/finder): each text with the situation it is read in and the
// events a careful person would enter, and the comparison of what an engine finds with them.
// Found events are matched to expected ones by start day and start time; a matched event's end,
// zone, title and place are then judged one by one.

#include "finder/EventDraft.h"
#include "finder/EventSuggestion.h"
#include "finder/FinderText.h"
#include "model/Calendar.h"

#include <nlohmann/json.hpp>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace plannery::bench {

struct ExpectedEvent {
    std::vector<std::string> titles{}; // any of them is right
    EventDraft draft{};                // start, end and zone as expected
    bool placeGiven = false;           // without a place, finding none is right
    std::vector<std::string> places{}; // any of them is right; "" means none is right too
};

struct CorpusText {
    std::string name{};
    std::string text{};
    Calendar calendar;
    Instant now{};
    bool heldOut = false;
    std::vector<ExpectedEvent> expected{};
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline std::optional<std::string> field(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? std::optional(found->get<std::string>())
                                                       : std::nullopt;
}

inline std::vector<CorpusText> loadCorpus(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".json") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<CorpusText> corpus;
    for (const auto& path : files) {
        const auto meta = nlohmann::json::parse(readFile(path));
        auto calendar =
            Calendar::make(meta["zone"].get<std::string>(), meta["locale"].get<std::string>());
        const std::string now = meta["now"].get<std::string>();
        const Instant instant =
            calendar
                ->date(std::stoi(now.substr(0, 4)), std::stoi(now.substr(5, 2)),
                       std::stoi(now.substr(8, 2)), std::stoi(now.substr(11, 2)),
                       std::stoi(now.substr(14, 2)))
                .value();
        CorpusText text{.name = path.stem().string(),
                        .text = readFile(std::filesystem::path(path).replace_extension(".txt")),
                        .calendar = std::move(*calendar),
                        .now = instant,
                        .heldOut = meta["heldOut"].get<bool>()};
        for (const auto& event : meta["events"]) {
            ExpectedEvent expected{
                .titles = event["title"].get<std::vector<std::string>>(),
                .draft = EventDraft{.startDate = event["startDate"].get<std::string>(),
                                    .startTime = field(event, "startTime"),
                                    .endDate = field(event, "endDate"),
                                    .endTime = field(event, "endTime"),
                                    .timeZone = field(event, "timeZone")}};
            if (event.contains("location")) {
                expected.placeGiven = true;
                expected.places = event["location"].get<std::vector<std::string>>();
            }
            text.expected.push_back(std::move(expected));
        }
        corpus.push_back(std::move(text));
    }
    return corpus;
}

// The number a text's name begins with ("042-mail-teams-call" is 42); texts are numbered in the
// order they were written.
inline int number(const CorpusText& text) {
    return std::atoi(text.name.c_str());
}

// Letters and digits of a text, folded, words separated by one space: "St. Mary's Hall" and
// "st marys hall" compare equal, and so do names whose dashes or arrows differ ("Berlin →
// München", "Berlin – München"), as do names joined by "&" or by the word for it ("Anna & Tom's
// wedding", "Anna and Tom's wedding").
inline std::string comparable(std::string_view text) {
    const std::string folded = FinderText::fold(text);
    const auto length = static_cast<int32_t>(folded.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(folded.data());
    std::string out;
    bool gap = false;
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c == '\'' || c == 0x2019) {
            continue;
        }
        if (c < 0 || !(u_isalnum(c) || (U_GET_GC_MASK(c) & U_GC_M_MASK) != 0)) {
            gap = !out.empty();
            continue;
        }
        if (gap) {
            out.push_back(' ');
            gap = false;
        }
        out.append(folded, static_cast<std::size_t>(start), static_cast<std::size_t>(i - start));
    }
    for (const std::string_view joiner : {" and ", " und ", " et "}) {
        for (auto at = out.find(joiner); at != std::string::npos; at = out.find(joiner, at)) {
            out.replace(at, joiner.size(), " ");
        }
    }
    return out;
}

inline std::string startKey(const EventDraft& d) {
    std::string key = d.startDate;
    if (d.startTime) {
        if (const auto time = EventSuggestion::time(*d.startTime)) {
            key += " " + std::to_string(time->hour * 60 + time->minute);
        }
    }
    return key;
}

struct Score {
    int texts = 0;
    int expected = 0;
    int found = 0;
    int matched = 0; // the same start day and start time, or both all-day on that day
    int endRight = 0;
    int zoneRight = 0;
    int titleRight = 0;
    int placeRight = 0;
    int emptyTextsWithEvents = 0; // texts without events in which something was found
    std::vector<std::string> misses{};

    void add(const CorpusText& text, const std::vector<EventDraft>& drafts) {
        ++texts;
        expected += static_cast<int>(text.expected.size());
        found += static_cast<int>(drafts.size());
        if (text.expected.empty() && !drafts.empty()) {
            ++emptyTextsWithEvents;
        }
        std::vector<bool> used(drafts.size(), false);
        for (const ExpectedEvent& e : text.expected) {
            std::optional<std::size_t> match;
            for (std::size_t k = 0; k < drafts.size(); ++k) {
                if (!used[k] && startKey(drafts[k]) == startKey(e.draft)) {
                    match = k;
                    break;
                }
            }
            if (!match) {
                misses.push_back(text.name + ": missed " + e.titles.front() + " " +
                                 startKey(e.draft));
                continue;
            }
            used[*match] = true;
            ++matched;
            judge(text, e, drafts[*match]);
        }
        for (std::size_t k = 0; k < drafts.size(); ++k) {
            if (!used[k]) {
                misses.push_back(text.name + ": extra " + drafts[k].title + " " +
                                 startKey(drafts[k]));
            }
        }
    }

  private:
    void judge(const CorpusText& text, const ExpectedEvent& e, const EventDraft& f) {
        const Calendar& calendar = text.calendar;
        // The end judged in the expected zone, so that a wrong zone counts once, as a zone.
        EventDraft expectedDraft = e.draft;
        EventDraft foundDraft = f;
        expectedDraft.title = foundDraft.title = "x";
        foundDraft.timeZone = expectedDraft.timeZone;
        const auto a = EventSuggestion::make(expectedDraft, text.now, calendar, text.text);
        const auto b = EventSuggestion::make(foundDraft, text.now, calendar, text.text);
        const bool end = a && b && a->end == b->end;
        endRight += end ? 1 : 0;
        // Zones judged by the offset at the start that they give.
        const auto offset = [&](const EventDraft& d) {
            const auto zone = d.timeZone ? EventSuggestion::zone(*d.timeZone) : std::nullopt;
            const auto zoned = zone ? Calendar::make(*zone) : std::nullopt;
            const Calendar& c = zoned ? *zoned : calendar;
            return a ? c.utcOffsetSeconds(a->start) : 0;
        };
        const bool zone = !e.draft.startTime || offset(e.draft) == offset(f);
        zoneRight += zone ? 1 : 0;
        const std::string title = comparable(EventSuggestion::tidyTitle(f.title));
        const bool titleOk =
            std::any_of(e.titles.begin(), e.titles.end(),
                        [&](const std::string& t) { return comparable(t) == title; });
        titleRight += titleOk ? 1 : 0;
        const std::string place = f.location ? comparable(*f.location) : std::string();
        const bool placeOk =
            e.placeGiven ? std::any_of(e.places.begin(), e.places.end(),
                                       [&](const std::string& p) { return comparable(p) == place; })
                         : place.empty();
        placeRight += placeOk ? 1 : 0;
        const std::string name = text.name + ": " + startKey(e.draft) + " ";
        if (!end) {
            misses.push_back(name + "end " + f.endDate.value_or("-") + " " +
                             f.endTime.value_or("-"));
        }
        if (!zone) {
            misses.push_back(name + "zone " + f.timeZone.value_or("-"));
        }
        if (!titleOk) {
            misses.push_back(name + "title \"" + f.title + "\"");
        }
        if (!placeOk) {
            misses.push_back(name + "place \"" + f.location.value_or("") + "\"");
        }
    }
};

} // namespace plannery::bench
