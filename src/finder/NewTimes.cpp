#include "finder/NewTimes.h"

#include "finder/DaySentences.h"
#include "finder/LineSegments.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"

#include <algorithm>
#include <optional>

namespace plannery::reader {

namespace {

constexpr std::size_t kDayReach = 6; // tokens between a day and a time said with it

// The token after the words that set a new time against an old one ("not", "instead of", "au lieu
// de", "plutôt qu'à", "statt"), from token k on; none where they do not follow.
std::optional<std::size_t> afterContrast(const Line& line, std::size_t k) {
    while (k < line.tokens.size() &&
           (line.tokens[k].isSymbol("(") || line.tokens[k].isSymbol(","))) {
        ++k;
    }
    const Token* word = line.at(k);
    if (isWordIn(word, {"not", "nicht", "pas", "statt", "anstatt"})) {
        return k + 1;
    }
    if ((isWordIn(word, {"instead"}) && isWordIn(line.at(k + 1), {"of"})) ||
        (isWordIn(word, {"rather"}) && isWordIn(line.at(k + 1), {"than"})) ||
        (isWordIn(word, {"plutot"}) && isWordIn(line.at(k + 1), {"que", "qu'a", "qu'au"}))) {
        return k + 2;
    }
    if (isWordIn(word, {"au"}) && isWordIn(line.at(k + 1), {"lieu"}) &&
        isWordIn(line.at(k + 2), {"de", "d'"})) {
        return k + 3;
    }
    return std::nullopt;
}

// The old time at token k: a time the line reads there, or a bare hour ("not 10").
std::optional<ClockTime> oldTimeAt(const Line& line, const LineFacts& facts, std::size_t k) {
    for (const TimeMention& t : facts.times) {
        if (t.begin == k) {
            return t.start;
        }
    }
    const Token* hour = line.at(k);
    if (hour != nullptr && hour->isNumber() && hour->value >= 1 && hour->value <= 23 &&
        hour->key.size() <= 2) {
        return ClockTime{.hour = hour->value, .minute = 0};
    }
    return std::nullopt;
}

// "moved to 8pm", "pushed back to 8", "verschoben auf 20 Uhr", "now starts at 8pm", "1pm
// instead", "1pm it is": words that set the time as the new time of an event told before.
bool setsNewTime(const Line& line, const TimeMention& time) {
    const std::size_t k = time.begin;
    if (isWordIn(line.at(time.end), {"instead", "stattdessen", "plutot"}) ||
        (isWordIn(line.at(time.end), {"it"}) && isWordIn(line.at(time.end + 1), {"is"}))) {
        return true;
    }
    const Token* before = k > 0 ? &line.tokens[k - 1] : nullptr;
    const Token* twoBefore = k > 1 ? &line.tokens[k - 2] : nullptr;
    const Token* threeBefore = k > 2 ? &line.tokens[k - 3] : nullptr;
    const auto isMove = [](const Token* t) {
        return t != nullptr && t->isWord() && Vocabulary::isMoveWord(t->key);
    };
    if (isWordIn(before, {"to", "auf", "a"}) &&
        (isMove(twoBefore) || (isWordIn(twoBefore, {"back", "forward"}) && isMove(threeBefore)))) {
        return true;
    }
    return isWordIn(before, {"at"}) && isWordIn(twoBefore, {"starts", "start", "starting"}) &&
           isWordIn(threeBefore, {"now"});
}

// Whether the sentence of line `li` names a day: on the line, or on the line above that it goes
// on from ("Reminder: this week only, Saturday's lesson" over "moves to 9:30 am").
bool sentenceHasDay(const TextFacts& text, std::size_t li) {
    if (!text.facts[li].dates.empty()) {
        return true;
    }
    if (li == 0 || text.lines[li - 1].block != text.lines[li].block || text.facts[li].speaker ||
        text.lines[li - 1].tokens.empty()) {
        return false;
    }
    const Line& above = text.lines[li - 1];
    return !endsSentenceAt(above, above.tokens.size() - 1) && !text.facts[li - 1].dates.empty();
}

// The same time on a clock's face: a bare "10" is ten in the morning or the evening.
bool sameOnDial(ClockTime a, ClockTime b) {
    return a.hour % 12 == b.hour % 12 && a.minute == b.minute;
}

} // namespace

void applyNewTimes(const TextFacts& text, std::vector<Candidate>& events) {
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        const Line& line = text.lines[li];
        const LineFacts& facts = text.facts[li];
        for (const TimeMention& time : facts.times) {
            // "Sunday 9:30 instead of 10" may move the day too; a chat's stamp before the
            // message ("[28/10/27, 9:24 pm] Sunita: …") does not.
            const bool dated =
                std::any_of(facts.dates.begin(), facts.dates.end(), [&time](const DateMention& d) {
                    return d.begin >= time.end || d.end + kDayReach >= time.begin;
                });
            if (dated || time.finish) {
                continue;
            }
            const auto oldAt = afterContrast(line, time.end);
            const auto old = oldAt ? oldTimeAt(line, facts, *oldAt) : std::nullopt;
            // Without the old time, a move to a new one is the only timed event's above, where
            // the move's sentence names no day ("Saturday's lesson" over "moves to 9:30 am").
            const bool moves = !old && setsNewTime(line, time) && !sentenceHasDay(text, li);
            if (!old && !moves) {
                continue;
            }
            // The old time is told above, or, in a thread quoted below its answer, below
            // ("commencera à 18 h 30 plutôt qu'à 18 h" over the first message's "à 18 h").
            const auto told = [&](const Candidate& c) {
                return (c.line < li || (old && c.line > li)) && !c.last && c.start &&
                       (moves || sameOnDial(*c.start, *old));
            };
            if (std::count_if(events.begin(), events.end(), told) != 1) {
                continue;
            }
            const auto moved = std::find_if(events.begin(), events.end(), told);
            // Where the new time's sentence made an event of that day already, the old one goes.
            if (std::any_of(events.begin(), events.end(), [&](const Candidate& c) {
                    return &c != &*moved && c.day == moved->day && c.start == time.start;
                })) {
                events.erase(moved);
                continue;
            }
            moved->start = time.start;
            moved->finish.reset();
        }
    }
}

void dropMovedDays(const TextFacts& text, std::vector<Candidate>& events) {
    constexpr std::size_t kLongestName = 3; // words
    std::vector<bool> moved(events.size(), false);
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        const Line& line = text.lines[li];
        const LineFacts& facts = text.facts[li];
        for (const DateMention& day : facts.dates) {
            // "Load-in moves to FRIDAY Nov 13": the move word, "to" and the new day.
            const auto move = movedTo(line, day.begin);
            if (!move) {
                continue;
            }
            const std::size_t k = *move;
            // The words that name what moves, right before the move word, or before the verb
            // that helps it ("Die Begehung wird auf Freitag … verschoben").
            std::size_t from = k;
            if (from > 0 && isWordIn(&line.tokens[from - 1], {"wird", "wurde", "ist"})) {
                --from;
            }
            std::vector<std::string_view> name;
            for (std::size_t w = from; w > 0 && name.size() < kLongestName; --w) {
                const Token& t = line.tokens[w - 1];
                if (t.isSymbol("-") && !t.spaced) {
                    continue;
                }
                if (!t.isWord() || Vocabulary::isClauseWord(t.key) ||
                    isWordIn(&t, {"the", "our", "die", "der", "das", "le", "la", "les", "but",
                                  "and", "so", "now", "aber", "und", "mais", "et"})) {
                    break;
                }
                name.push_back(t.key);
            }
            if (name.empty()) {
                continue;
            }
            // ... and the events told above under that name, before their days.
            for (std::size_t e = 0; e < events.size(); ++e) {
                const Candidate& c = events[e];
                if (c.line >= li) {
                    continue;
                }
                const Line& old = text.lines[c.line];
                const auto named = [&old, &c](std::string_view word) {
                    return std::any_of(old.tokens.begin(),
                                       old.tokens.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                c.begin, old.tokens.size())),
                                       [word](const Token& t) { return t.isWord(word); });
                };
                moved[e] = moved[e] || std::all_of(name.begin(), name.end(), named);
            }
        }
    }
    std::size_t e = 0;
    std::erase_if(events, [&moved, &e](const Candidate&) { return moved[e++]; });
}

void dropAnsweredOffers(const TextFacts& text, std::vector<Candidate>& events) {
    // Whether the line of an event offers, after its start, time `chosen` as another choice.
    const auto offers = [&text](const Candidate& c, ClockTime chosen) {
        const Line& line = text.lines[c.line];
        const auto& times = text.facts[c.line].times;
        for (std::size_t k = 1; k < times.size(); ++k) {
            const bool either = times[k - 1].end < times[k].begin &&
                                isWordIn(&line.tokens[times[k].begin - 1], {"or", "oder", "ou"});
            if (either && times[k].start == chosen && !times[k].finish &&
                c.start == times[0].start) {
                return true;
            }
        }
        return false;
    };
    std::vector<bool> answered(events.size(), false);
    for (std::size_t e = 0; e < events.size(); ++e) {
        const Candidate& c = events[e];
        answered[e] = c.start && std::any_of(events.begin(), events.end(), [&](const Candidate& o) {
                          return o.line > c.line && o.day == c.day && o.start &&
                                 *o.start != *c.start && offers(c, *o.start);
                      });
    }
    std::size_t e = 0;
    std::erase_if(events, [&answered, &e](const Candidate&) { return answered[e++]; });
}

void applySameTimes(const TextFacts& text, const ReaderDays& days, std::vector<Candidate>& events) {
    for (Candidate& c : events) {
        const Line& line = text.lines[c.line];
        if (c.start || c.last) {
            continue;
        }
        const Segment sentence = sentenceAround(line, c.begin);
        bool same = false;
        for (std::size_t k = sentence.begin; k + 1 < sentence.end && !same; ++k) {
            const Token* next = line.at(k + 1);
            same = (isWordIn(&line.tokens[k], {"same"}) && isWordIn(next, {"time"})) ||
                   (isWordIn(&line.tokens[k], {"gleiche", "gleichen"}) &&
                    isWordIn(next, {"zeit", "uhrzeit"})) ||
                   (isWordIn(&line.tokens[k], {"meme"}) && isWordIn(next, {"heure"}));
        }
        // The times of the nearest line above that gives a day with its times; else, where a
        // note moves the message it passes on ("moved to Wednesday 11 March, same time"), those
        // of the day it moves away from below.
        const auto takeTimes = [&](std::size_t li, bool setAside) {
            const LineFacts& facts = text.facts[li];
            // A message's stamp gives a day gone by.
            const bool upcoming =
                std::any_of(facts.dates.begin(), facts.dates.end(), [&days](const DateMention& d) {
                    return ReaderDays::compare(d.day, days.today()) >= 0;
                });
            if (!upcoming || facts.times.empty() || facts.chrome ||
                facts.datesAreNotEvents != setAside) {
                return false;
            }
            c.start = facts.times.front().start;
            c.finish = facts.times.front().finish;
            return true;
        };
        bool found = false;
        for (std::size_t li = c.line; same && !found && li-- > 0;) {
            found = takeTimes(li, false);
        }
        for (std::size_t li = c.line + 1; same && !found && li < text.lines.size(); ++li) {
            found = takeTimes(li, true);
        }
    }
}

void applyTimeForAll(const TextFacts& text, std::vector<Candidate>& events) {
    const auto namesKind = [](const Token* t) {
        return t != nullptr && t->isWord() && t->key.size() > 3 && t->key.ends_with("s") &&
               (Vocabulary::isEventNoun(t->key) ||
                Vocabulary::isEventNoun(std::string_view(t->key).substr(0, t->key.size() - 1)));
    };
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        const Line& line = text.lines[li];
        const LineFacts& facts = text.facts[li];
        if (!facts.dates.empty() || facts.times.size() != 1) {
            continue;
        }
        for (std::size_t k = 0; k + 1 < facts.times[0].begin; ++k) {
            if (isWordIn(&line.tokens[k], {"all", "alle", "tous", "toutes"}) &&
                namesKind(line.at(k + 1))) {
                for (Candidate& c : events) {
                    if (!c.start && !c.last && !c.due) {
                        c.start = facts.times[0].start;
                        c.finish = facts.times[0].finish;
                    }
                }
                return;
            }
        }
    }
}

} // namespace plannery::reader
