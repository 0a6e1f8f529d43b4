#include "finder/EventSelection.h"

#include "finder/LineSegments.h"
#include "finder/NameShapes.h"
#include "finder/ReaderVocabulary.h"

#include <algorithm>

namespace plannery::reader {

namespace {

// Dates written without a year that come round again only after this many days were most likely
// meant in the past ("first proposed on January 12").
constexpr int kFarAhead = 270;

// The lines at the top of a text where it says who writes and when.
constexpr std::size_t kHeadLines = 6;

// "Shop now", "30% off", "use code SPRING": the words of a shop's mailing.
bool advertises(const TextFacts& text) {
    return std::any_of(text.lines.begin(), text.lines.end(), [](const Line& line) {
        for (std::size_t k = 0; k + 1 < line.tokens.size(); ++k) {
            const Token& t = line.tokens[k];
            const Token& next = line.tokens[k + 1];
            if ((t.isWord("shop") && next.isWord("now")) ||
                (t.isSymbol("%") && next.isWord("off")) ||
                (isWordIn(&t, {"use", "promo", "discount"}) && next.isWord("code"))) {
                return true;
            }
        }
        return false;
    });
}

// "Starts Friday 13 March at 9am", "Members get early access from Thursday": a line of a sale.
bool speaksOfSale(const Line& line) {
    return std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return isWordIn(&t, {"sale", "sales", "starts", "ends", "access", "offer", "offers", "deal",
                             "deals", "discount", "soldes", "rabatt", "angebot"});
    });
}

bool isUpcoming(const Candidate& c, const ReaderDays& days, Instant now, const Calendar& calendar) {
    const DayParts& today = days.today();
    const DayParts& lastDay = c.last ? *c.last : c.day;
    if (ReaderDays::compare(lastDay, today) < 0) {
        return false;
    }
    // Today's date at the head of a text, without a time, is the day a letter, a circular or a
    // newsletter was written or sent ("Circular No. 47    Date: 25/09/2026"); an event of today
    // would come with its time.
    if (c.day == today && !c.last && !c.start && !c.relative && c.line < kHeadLines) {
        return false;
    }
    if (!c.yearWritten && !c.relative &&
        ReaderDays::compare(c.day, days.plusDays(today, kFarAhead)) > 0) {
        return false;
    }
    if (ReaderDays::compare(lastDay, today) == 0 && c.start) {
        const ClockTime end = c.finish.value_or(*c.start);
        const auto instant =
            calendar.date(today.year, today.month, today.day, end.hour, end.minute);
        return !instant || !(*instant < now) || (c.finish && c.finish->hour < c.start->hour);
    }
    return true;
}

// The same event written twice ("Invitation: Design review @ Wed May 20 11am" and "When:
// Wednesday May 20 11am"), or a day without a time that a timed event on it tells more of.
bool repeats(const Candidate& c, std::vector<Candidate>& kept) {
    for (Candidate& other : kept) {
        if (!(other.day == c.day) || (c.session && other.session) || other.last != c.last) {
            continue;
        }
        if (other.start == c.start || !c.start) {
            return true;
        }
        if (!other.start) {
            other = c;
            return true;
        }
    }
    return false;
}

// A day inside another event's span, or a time inside another event's hours on that day
// ("Tutorials on 27 May" in a conference of 27–30 May; "fireworks at 9:45pm" on a festival
// day of 11am–11pm).
bool isPartOfAnother(const Candidate& c, const std::vector<Candidate>& list) {
    for (const Candidate& other : list) {
        if (&other == &c || c.session) {
            continue;
        }
        if (other.last && !c.start && ReaderDays::compare(c.day, other.day) >= 0 &&
            ReaderDays::compare(c.last.value_or(c.day), *other.last) <= 0 &&
            !(c.day == other.day && c.last == other.last)) {
            return true;
        }
        if (!other.last && c.day == other.day && c.start && other.start && other.finish &&
            !c.finish) {
            const int at = c.start->minutes();
            const int from = other.start->minutes();
            const int to = other.finish->minutes();
            if (at > from && (at < to || to < from)) {
                return true;
            }
        }
    }
    return false;
}

// "Stationery orders are due on 27 February", "Kevin is off from the 7th", "I'm away Monday": a
// day without a time that a sentence tells of in passing. A day the sentence is about stays: one
// that is shut ("there is no school on Friday, November 6") or one its subject is on ("Picture
// retakes are this Thursday, October 29").
bool toldInPassing(const TextFacts& text, const Candidate& c) {
    const Line& line = text.lines[c.line];
    const Segment sentence = sentenceAround(line, c.begin);
    if (saysShut(line, sentence.begin, sentence.end)) {
        return false;
    }
    // ... or the lines just around it in its paragraph ("JOURNÉE PÉDAGOGIQUE – CPE FERMÉ" over
    // "Le vendredi 16 octobre, toute l'équipe éducative sera en formation").
    for (std::size_t li = c.line > 0 ? c.line - 1 : 0; li <= c.line + 2 && li < text.lines.size();
         ++li) {
        const Line& near = text.lines[li];
        if (li != c.line && near.block == line.block && text.facts[li].dates.empty() &&
            saysShut(near, 0, near.tokens.size())) {
            return false;
        }
    }
    std::size_t before = c.begin;
    while (before > sentence.begin &&
           isWordIn(&line.tokens[before - 1], {"on", "this", "next", "am", "le"})) {
        --before;
    }
    if (before > sentence.begin &&
        isWordIn(&line.tokens[before - 1], {"is", "are", "ist", "sind", "est", "sont"})) {
        return false;
    }
    // A verb or a pronoun outside brackets makes the line a sentence; "please" alone, as in a
    // list's "School photos – full summer uniform please", does not.
    int depth = 0;
    for (std::size_t k = sentence.begin; k < sentence.end; ++k) {
        const Token& t = line.tokens[k];
        depth += t.isSymbol("(") ? 1 : t.isSymbol(")") ? -1 : 0;
        if (depth == 0 && t.isWord() && Vocabulary::isClauseWord(t.key) &&
            !isWordIn(&t, {"please", "bitte", "merci"})) {
            return true;
        }
    }
    return false;
}

// The group a line names, by the word for one and its letter or number ("GROUPE B", "Group 2",
// "Gruppe A"), from token k on; empty for none.
std::string groupAt(const Line& line, std::size_t k) {
    const Token* name = line.at(k + 1);
    if (!isWordIn(line.at(k), {"group", "groupe", "gruppe"}) || name == nullptr ||
        name->key.size() > 2 || !(name->isNumber() || (name->isWord() && name->key.size() == 1))) {
        return {};
    }
    return name->key;
}

// "vous êtes inscrite dans le GROUPE B", "your child is in Group 2": the group the reader
// belongs to, told to them; empty where the text tells none.
std::string readersGroup(const TextFacts& text) {
    for (const Line& line : text.lines) {
        bool toReader = false;
        for (std::size_t k = 0; k < line.tokens.size(); ++k) {
            toReader = toReader || isWordIn(&line.tokens[k], {"you", "your", "vous", "votre", "tu",
                                                              "ton", "sie", "ihr", "du", "dein"});
            if (const std::string group = groupAt(line, k); toReader && !group.empty()) {
                return group;
            }
        }
    }
    return {};
}

// A row for another group than the reader's ("Visite du campus – Groupe A" for one in group B).
bool forAnotherGroup(const Line& line, const std::string& own) {
    for (std::size_t k = 0; k < line.tokens.size(); ++k) {
        if (const std::string group = groupAt(line, k); !group.empty() && group != own) {
            return true;
        }
    }
    return false;
}

// "DO 4. FEB.  ganztägig  Weiberfastnacht" over "Feiertage & Brauchtum NRW", "MON  Martin Luther
// King Jr. Day" over " 18  Holidays in United States": a calendar app's row from a calendar of
// holidays, which shows every holiday, not the reader's plans.
bool fromHolidayCalendar(const TextFacts& text, const Candidate& c) {
    const std::size_t li = c.timeLine.value_or(c.line) + 1;
    if (li >= text.lines.size() || text.lines[li].block != text.lines[c.line].block) {
        return false;
    }
    const Line& below = text.lines[li];
    std::size_t k = 0;
    while (k < below.tokens.size() && (below.tokens[k].isSymbol() || below.tokens[k].isNumber())) {
        ++k;
    }
    const Token* first = below.at(k);
    return first != nullptr && first->capital &&
           (isWordIn(first, {"holidays", "feiertage", "feiertag"}) ||
            (isWordIn(first, {"public", "bank", "jours"}) &&
             isWordIn(below.at(k + 1), {"holidays", "feries"})));
}

// "OK let's move it to Sunday then. Same place, 10am?" and, later, "Sunday 3pm then?": in a chat,
// a time asked about for a day is only a proposal once a later message gives that day another.
bool proposalSuperseded(const TextFacts& text, const Candidate& c,
                        const std::vector<Candidate>& all) {
    const Line& line = text.lines[c.line];
    if (!c.start || !text.facts[c.line].speaker || line.tokens.empty() ||
        !line.tokens.back().isSymbol("?")) {
        return false;
    }
    return std::any_of(all.begin(), all.end(), [&](const Candidate& later) {
        return later.line > c.line && later.day == c.day && later.start &&
               !(*later.start == *c.start);
    });
}

// "Fri no good for me, it's me ma's 60th", "Cabra astro is closed Thursday": in a chat, a later
// message that rules a day out, said of the day alone.
bool rulesOutDay(const Line& line, const DateMention& d) {
    const Token* after = line.at(d.end);
    const Token* next = line.at(d.end + 1);
    if (isWordIn(after, {"is", "'s"})) {
        after = next;
        next = line.at(d.end + 2);
    }
    const Token* before = d.begin > 0 ? &line.tokens[d.begin - 1] : nullptr;
    const Token* twoBefore = d.begin > 1 ? &line.tokens[d.begin - 2] : nullptr;
    return (isWordIn(after, {"no", "not"}) && isWordIn(next, {"good"})) ||
           (isWordIn(after, {"doesn't", "doesnt", "won't", "wont"}) && isWordIn(next, {"work"})) ||
           (before != nullptr && before->isWord() && Vocabulary::isClosedWord(before->key)) ||
           (isWordIn(before, {"do", "make"}) && isWordIn(twoBefore, {"can't", "cant", "cannot"}));
}

// A chat's plan for a day that a later message rules out; a plan made after that message stands.
bool ruledOutLater(const TextFacts& text, const Candidate& c) {
    if (!text.facts[c.line].speaker) {
        return false;
    }
    for (std::size_t li = c.line + 1; li < text.lines.size(); ++li) {
        const LineFacts& facts = text.facts[li];
        if (!facts.speaker) {
            continue;
        }
        for (const DateMention& d : facts.dates) {
            if (d.day == c.day && rulesOutDay(text.lines[li], d)) {
                return true;
            }
        }
    }
    return false;
}

// Whether the line says something leaves or comes back: a trip's first or last moment.
bool saysLeaving(const Line& line) {
    return std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return isWordIn(
            &t, {"depart", "departs", "departure", "leave", "leaves", "abfahrt", "treffpunkt"});
    });
}

bool saysReturning(const Line& line) {
    return std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return isWordIn(&t,
                        {"back", "return", "returns", "retour", "ruckkehr", "zuruck", "ruckfahrt"});
    });
}

// "camp … from Wednesday 17 to Friday 19 March", "Buses depart … at 07:30 sharp on 2027/03/17",
// "back at school at approximately 14:00 on Friday 19 March": a trip over several days starts
// when it leaves on its first and ends when it is back on its last.
void joinTripEnds(const TextFacts& text, std::vector<Candidate>& events) {
    for (std::size_t k = 0; k < events.size(); ++k) {
        Candidate& trip = events[k];
        if (!trip.last || trip.start) {
            continue;
        }
        const auto onlyOne = [&](const DayParts& day, bool (*says)(const Line&)) {
            std::optional<std::size_t> found;
            for (std::size_t e = 0; e < events.size(); ++e) {
                const Candidate& c = events[e];
                if (e != k && c.day == day && c.start && !c.last) {
                    if (found || !says(text.lines[c.line])) {
                        return std::optional<std::size_t>{};
                    }
                    found = e;
                }
            }
            return found;
        };
        const auto leaves = onlyOne(trip.day, saysLeaving);
        const auto returns = onlyOne(*trip.last, saysReturning);
        if (!leaves || !returns) {
            continue;
        }
        trip.start = events[*leaves].start;
        trip.finish = events[*returns].start;
        const std::size_t first = std::max(*leaves, *returns);
        const std::size_t second = std::min(*leaves, *returns);
        events.erase(events.begin() + static_cast<std::ptrdiff_t>(first));
        events.erase(events.begin() + static_cast<std::ptrdiff_t>(second));
        return;
    }
}

} // namespace

std::vector<Candidate> selectEvents(const TextFacts& text, const std::vector<Candidate>& found,
                                    const ReaderDays& days, Instant now, const Calendar& calendar) {
    std::vector<Candidate> out;
    for (const Candidate& c : found) {
        if (isUpcoming(c, days, now, calendar) && !repeats(c, out) && out.size() < kMaxEvents) {
            out.push_back(c);
        }
    }
    std::erase_if(out, [&out](const Candidate& c) { return isPartOfAnother(c, out); });
    joinTripEnds(text, out);
    std::erase_if(out, [&text](const Candidate& c) { return fromHolidayCalendar(text, c); });
    const std::vector<Candidate> all = out;
    std::erase_if(out, [&](const Candidate& c) {
        return proposalSuperseded(text, c, all) || ruledOutLater(text, c);
    });
    if (const std::string own = readersGroup(text); !own.empty()) {
        std::erase_if(out, [&](const Candidate& c) {
            return c.line < text.lines.size() && forAnotherGroup(text.lines[c.line], own);
        });
    }
    // What must be handed in by a day is an event of its own only in a text that has no other:
    // beside a meeting, "nominations must reach the Secretary by 14 January" is a condition of
    // taking part.
    const bool timedEvent = std::any_of(
        out.begin(), out.end(), [](const Candidate& c) { return !c.due && c.start.has_value(); });
    std::erase_if(out, [timedEvent](const Candidate& c) { return c.due && timedEvent; });
    // Beside timed events, a day that a sentence tells of in passing is a remark on them.
    std::erase_if(out, [&](const Candidate& c) {
        return timedEvent && !c.start && !c.last && toldInPassing(text, c);
    });
    // A shop's mailing ("Shop now", "30% off") tells when its sale starts and ends, no event.
    if (advertises(text)) {
        std::erase_if(out,
                      [&text](const Candidate& c) { return speaksOfSale(text.lines[c.line]); });
    }
    return out;
}

} // namespace plannery::reader
