#include "finder/ChatLayout.h"

#include "finder/FinderText.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plannery::reader {

namespace {

// Stamps come in runs: one or two times alone may be what a message says.
constexpr std::size_t kFewestStamps = 3;

// The writer's name at line `name` is no content (nor a day, when called "Sam"); the lines after
// it up to `end`, but for a stamp among them, are what they said.
void markMessage(TextFacts& out, std::size_t name, std::size_t end) {
    out.facts[name] = LineFacts{.chrome = true};
    for (std::size_t li = name + 1; li < end; ++li) {
        out.facts[li].speaker = !out.facts[li].chrome;
    }
}

// Whether the time at the end of line `li` stands after what was said, set off from it: "…
// Unterricht? 20:55", "15:30 Uhr      20:41", not "wir treffen uns um 20:55".
bool endsWithStamp(const TextFacts& out, std::size_t li) {
    const Line& line = out.lines[li];
    const TimeMention& last = out.facts[li].times.back();
    if (last.end != line.tokens.size() || last.begin == 0 || last.finish) {
        return false;
    }
    // "Sat 2 May   Kingsfold 2nd XI   1.00pm": a row of a table that opens with its day holds
    // that day's time in its last column.
    const auto& dates = out.facts[li].dates;
    if (!dates.empty() && dates[0].begin == 0) {
        return false;
    }
    const Token& before = line.tokens[last.begin - 1];
    return before.isSymbol("|") || before.isSymbol("?") || before.isSymbol("!") ||
           before.isSymbol(")") ||
           (before.isSymbol(".") && last.begin >= 2 && line.tokens[last.begin - 2].isSymbol("."));
}

// "19:31", "19:33", "19:34" under a chat's messages, on lines of their own or set off at the end
// of a message's last line: the times the messages were sent, minutes apart, unlike a
// programme's times over its items. A block with a stamp of its own line holds the writer's
// name, what they said, and the stamp.
void readStampedMessages(TextFacts& out) {
    const auto ownLine = [&out](std::size_t li) {
        const LineFacts& facts = out.facts[li];
        return facts.times.size() == 1 && facts.dates.empty() && facts.times[0].begin == 0 &&
               facts.times[0].end == out.lines[li].tokens.size() && !facts.times[0].finish;
    };
    // "Lena" over "Samstag 1. Mai? Feiertag, da haben eh alle frei 18:07": the time that ends a
    // message under its writer's name.
    const auto endsMessage = [&out](std::size_t li) {
        const LineFacts& facts = out.facts[li];
        const TimeMention& last = facts.times.back();
        const bool lastLine =
            li + 1 == out.lines.size() || out.lines[li + 1].block != out.lines[li].block;
        return facts.speaker && lastLine && last.end == out.lines[li].tokens.size() &&
               last.begin > 0 && !last.finish;
    };
    const auto stampAt = [&out, &ownLine, &endsMessage](std::size_t li) -> std::optional<int> {
        const LineFacts& facts = out.facts[li];
        if (!ownLine(li) && (facts.times.empty() || !(endsWithStamp(out, li) || endsMessage(li)))) {
            return std::nullopt;
        }
        return facts.times.back().start.minutes();
    };
    constexpr int kMostMinutesApart = 10;
    std::vector<std::size_t> run;
    std::optional<int> previous;
    const auto endRun = [&] {
        if (run.size() >= kFewestStamps) {
            for (const std::size_t li : run) {
                LineFacts& stamp = out.facts[li];
                if (!ownLine(li)) {
                    // What the message's last line says stays; only its stamp goes.
                    stamp.times.pop_back();
                    stamp.zones.pop_back();
                    continue;
                }
                stamp.times.clear();
                stamp.zones.clear();
                stamp.chrome = true;
                const int block = out.lines[li].block;
                std::size_t first = li;
                while (first > 0 && out.lines[first - 1].block == block) {
                    --first;
                }
                if (first + 1 < li) {
                    markMessage(out, first, li);
                }
            }
        }
        run.clear();
    };
    for (std::size_t li = 0; li < out.lines.size(); ++li) {
        const std::optional<int> stamp = stampAt(li);
        if (!stamp) {
            continue;
        }
        // Messages under their writers' names may be hours apart.
        const bool apart = previous && *stamp - *previous > kMostMinutesApart && !endsMessage(li);
        if (previous && (*stamp < *previous || apart)) {
            endRun();
        }
        run.push_back(li);
        previous = stamp;
    }
    endRun();
}

// "Maya" over "coffee wednesday? before work", "Me" over "wed works, 8:30?": a chat whose
// messages stand under their writers' names, on lines of one or two capitalised words that come
// back, each over what was said.
void readNamedMessages(TextFacts& out) {
    const auto nameAt = [&out](std::size_t li) {
        const Line& line = out.lines[li];
        const LineFacts& facts = out.facts[li];
        const auto words = line.tokens.size();
        return (words == 1 || words == 2) && facts.dates.empty() && facts.times.empty() &&
               facts.label.empty() &&
               std::all_of(line.tokens.begin(), line.tokens.end(),
                           [](const Token& t) { return t.isWord() && t.capital; });
    };
    std::vector<std::size_t> names;
    std::map<std::string, int> counts;
    for (std::size_t li = 0; li + 1 < out.lines.size(); ++li) {
        // A name stands over its message; a room's name closing a programme's item ("Saal
        // Kettbaum" at the foot of its block) stands over nothing.
        if (nameAt(li) && !nameAt(li + 1) && !out.facts[li].chrome &&
            out.lines[li + 1].block == out.lines[li].block) {
            names.push_back(li);
            ++counts[out.lines[li].text];
        }
    }
    constexpr std::size_t kFewestMessages = 4;
    const bool chat =
        names.size() >= kFewestMessages && counts.size() >= 2 && counts.size() < names.size();
    if (!chat) {
        return;
    }
    for (std::size_t k = 0; k < names.size(); ++k) {
        markMessage(out, names[k], k + 1 < names.size() ? names[k + 1] : out.lines.size());
    }
}

// "Ven. 13 nov. · 18:02", "Sam. 14 nov. · 09:47", "Lun. 16 nov. · 07:41" over text messages: the
// days and times they were received, up to today, in their order; a line of nothing but a day
// and a time.
void readDatedStamps(TextFacts& out, const ReaderDays& days) {
    const auto stampAt = [&out, &days](std::size_t li) {
        const Line& line = out.lines[li];
        const LineFacts& facts = out.facts[li];
        if (facts.dates.size() != 1 || facts.times.size() != 1 || facts.dates[0].last ||
            ReaderDays::compare(facts.dates[0].day, days.today()) > 0) {
            return false;
        }
        for (std::size_t k = 0; k < line.tokens.size(); ++k) {
            const bool dated = k >= facts.dates[0].begin && k < facts.dates[0].end;
            const bool timed = k >= facts.times[0].begin && k < facts.times[0].end;
            if (!dated && !timed && !line.tokens[k].isSymbol()) {
                return false;
            }
        }
        return true;
    };
    std::vector<std::size_t> stamps;
    for (std::size_t li = 0; li < out.lines.size(); ++li) {
        if (stampAt(li)) {
            if (!stamps.empty() && ReaderDays::compare(out.facts[li].dates[0].day,
                                                       out.facts[stamps.back()].dates[0].day) < 0) {
                return;
            }
            stamps.push_back(li);
        }
    }
    // Times gone by with their days on lines of their own are when messages came, however few:
    // no event is at a time that has passed.
    const bool past = std::all_of(stamps.begin(), stamps.end(), [&](std::size_t li) {
        const int day = ReaderDays::compare(out.facts[li].dates[0].day, days.today());
        return day < 0 || (day == 0 && out.facts[li].times[0].start.minutes() <= days.minutesNow());
    });
    if (stamps.size() >= kFewestStamps || (!stamps.empty() && past)) {
        for (const std::size_t li : stamps) {
            out.facts[li] = LineFacts{.chrome = true};
        }
    }
}

// "‹ Inbox", "< Posteingang", "← Back": the bar at the top of a screenshot of a mail app, which
// names the folder, not anything in the message; also "Inbox   ⌃  ⌄   ⋯", the folder beside the
// bar's buttons. `top`: the line is one of the first two under the status bar.
bool isNavigationBar(const Line& line, bool top) {
    if (line.tokens.empty()) {
        return false;
    }
    const bool back = line.tokens[0].isSymbol("‹") || line.tokens[0].isSymbol("<") ||
                      line.tokens[0].isSymbol("←");
    // "←  Mes inscriptions", "‹ My Tickets" atop the screen: the name of the app's page.
    if (back && top && line.tokens.size() <= 5 &&
        std::all_of(line.tokens.begin() + 1, line.tokens.end(),
                    [](const Token& t) { return t.isWord() || t.isSymbol("|"); })) {
        return true;
    }
    const bool buttons =
        line.tokens[0].isWord() && std::any_of(line.tokens.begin(), line.tokens.end(),
                                               [](const Token& t) { return t.isSymbol(); });
    if (!back && !buttons) {
        return false;
    }
    std::size_t words = 0;
    for (const Token& t : line.tokens) {
        if (t.isWord()) {
            ++words;
            if (!isWordIn(&t, {"inbox", "inboxes", "all", "mail", "mailbox", "back", "messages",
                               "posteingang", "zuruck", "nachrichten", "boite", "de", "reception",
                               "retour", "courrier"})) {
                return false;
            }
        }
    }
    return words > 0;
}

// "9:41      ▂▄▆ 4G  61% ▭": the status bar atop a screenshot of a phone, its clock beside the
// signal and the battery, which shows when the picture was taken.
bool isStatusBar(const Line& line, const LineFacts& facts) {
    if (facts.times.empty() || facts.times[0].begin != 0 || !facts.dates.empty()) {
        return false;
    }
    bool signal = false;
    for (std::size_t k = facts.times[0].end; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (t.isSymbol("%") || isWordIn(&t, {"lte", "wifi", "wi-fi"}) ||
            (t.isWord("g") && k > 0 && line.tokens[k - 1].isNumber())) {
            signal = true;
        } else if (t.isWord() && FinderText::letterCount(line.slice(t.begin, t.end)) > 3) {
            return false;
        }
    }
    return signal;
}

// "------------", "==========": a rule drawn across the text between its sections, no content.
bool isRule(const Line& line) {
    return std::all_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return t.isDash() || t.isSymbol("=") || t.isSymbol("_") || t.isSymbol("*");
    });
}

// "──────── Tuesday, 9 March ────────": a chat's divider between the messages of one day and
// the next, up to today; when they were written, not an event.
bool isDayDivider(const Line& line, const LineFacts& facts, const DayParts& today) {
    return line.ruled && facts.dates.size() == 1 && facts.times.empty() &&
           facts.dates[0].begin == 0 && facts.dates[0].end == line.tokens.size() &&
           ReaderDays::compare(facts.dates[0].day, today) <= 0;
}

// "Wednesday, February 3" over "7:52" atop a photo of a phone's lock screen, from line `top` on:
// the screen's own clock, which shows today and the time the picture was taken.
bool opensWithLockScreenClock(const TextFacts& text, const DayParts& today, std::size_t top) {
    if (text.lines.size() < top + 3) {
        return false;
    }
    const auto& dates = text.facts[top].dates;
    const auto& times = text.facts[top + 1].times;
    return dates.size() == 1 && dates[0].day == today && dates[0].begin == 0 &&
           dates[0].end == text.lines[top].tokens.size() && text.facts[top].times.empty() &&
           times.size() == 1 && !times[0].finish && times[0].begin == 0 &&
           times[0].end == text.lines[top + 1].tokens.size() && text.facts[top + 1].dates.empty();
}

// "🔊 ᯤ  22:14" over "29.01.2027" closing a screenshot of a desktop: the taskbar's clock beside
// its icons (read as symbols or single letters), which shows today and the time the picture was
// taken. Returns the line of its time.
std::optional<std::size_t> taskbarClock(const TextFacts& text, const DayParts& today) {
    if (text.lines.size() < 3) {
        return std::nullopt;
    }
    const std::size_t last = text.lines.size() - 1;
    const auto& dates = text.facts[last].dates;
    const auto& times = text.facts[last - 1].times;
    const auto& clock = text.lines[last - 1].tokens;
    const bool onlyIcons =
        times.size() == 1 &&
        std::all_of(clock.begin(), clock.begin() + static_cast<std::ptrdiff_t>(times[0].begin),
                    [&](const Token& t) {
                        return !t.isWord() || FinderText::letterCount(
                                                  text.lines[last - 1].slice(t.begin, t.end)) <= 1;
                    });
    const bool dateIsToday = dates.size() == 1 && dates[0].day == today && dates[0].begin == 0 &&
                             dates[0].end == text.lines[last].tokens.size() &&
                             text.facts[last].times.empty();
    if (!onlyIcons || !dateIsToday || times[0].finish || times[0].end != clock.size() ||
        !text.facts[last - 1].dates.empty()) {
        return std::nullopt;
    }
    return last - 1;
}

} // namespace

void readChatLayout(TextFacts& text, const ReaderDays& days) {
    std::size_t top = 0;
    if (!text.lines.empty() && isStatusBar(text.lines[0], text.facts[0])) {
        text.facts[0] = LineFacts{.chrome = true};
        top = 1;
    }
    if (opensWithLockScreenClock(text, days.today(), top)) {
        text.facts[top] = LineFacts{.chrome = true};
        text.facts[top + 1] = LineFacts{.chrome = true};
    }
    if (const auto clock = taskbarClock(text, days.today())) {
        text.facts[*clock] = LineFacts{.chrome = true};
        text.facts[*clock + 1] = LineFacts{.chrome = true};
    }
    readDatedStamps(text, days);
    readNamedMessages(text);
    readStampedMessages(text);
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        if (isNavigationBar(text.lines[li], li <= top + 1) || isRule(text.lines[li]) ||
            isDayDivider(text.lines[li], text.facts[li], days.today())) {
            text.facts[li] = LineFacts{.chrome = true};
        }
    }
}

} // namespace plannery::reader
