#include "finder/TitlePicking.h"

#include "finder/AddressReading.h"
#include "finder/FinderText.h"
#include "finder/HeadingShapes.h"
#include "finder/NameShapes.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "finder/ScheduleLines.h"
#include "finder/TextTopics.h"

#include <algorithm>
#include <set>

namespace plannery::reader {

namespace {

// "Jour 1 :", "Day 2 –", "Tag 3:": the label of one day of an event held over several, at the
// start of a line; its length in tokens, or 0.
std::size_t dayOfSeriesLabel(const Line& line) {
    const Token* number = line.at(1);
    return isWordIn(line.at(0), {"day", "jour", "journee", "tag", "part", "partie", "teil"}) &&
                   number && number->isNumber() && number->value >= 1 && number->value <= 9
               ? 2
               : 0;
}

} // namespace

TitlePicker::TitlePicker(const TextFacts& text, const std::vector<Candidate>& candidates,
                         const std::string& localeId, std::string venue)
    : m_text(text), m_localeId(localeId), m_venue(std::move(venue)), m_flight(aboutFlight(text)),
      m_vehicle(m_flight ? std::nullopt : vehicleOf(text, localeId)), m_wedding(aboutWedding(text)),
      m_sport(sportOf(text)), m_practitioner(practitionerOf(text.lines)),
      m_placeColumns(placeColumns(text.lines)) {
    std::set<std::size_t> lines;
    for (const Candidate& c : candidates) {
        lines.insert(c.line);
        m_eventBlocks.insert(text.lines[c.line].block);
    }
    m_manyLines = lines.size() >= 2;
    m_daysOfSeries =
        static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](std::size_t li) {
            return dayOfSeriesLabel(text.lines[li]) > 0;
        }));
    m_rows.assign(lines.begin(), lines.end());
    m_firstEventLine = candidates.empty() ? 0 : candidates.front().line;
    // A letter's sign-off and what follows it (the sender's name) name no event.
    const SignOff signature = signOff(text);
    m_signature = signature.begin;
    m_signatureEnd = signature.end;
    // Above a chat's messages stands the name of the chat ("Tigers U10 Parents", "Book club"),
    // not of an event.
    const auto firstMessage = std::find_if(m_text.facts.begin(), m_text.facts.end(),
                                           [](const LineFacts& f) { return f.speaker; });
    const auto messages = std::count_if(m_text.facts.begin(), m_text.facts.end(),
                                        [](const LineFacts& f) { return f.speaker; });
    if (messages >= 2) {
        m_chatStart = static_cast<std::size_t>(firstMessage - m_text.facts.begin());
    }
    // In a list, a row's name is its own, not the heading of the other rows.
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        if (m_manyLines && lines.count(li) > 0) {
            continue;
        }
        if (auto option = lineOption(li, false)) {
            m_headings.push_back(std::move(*option));
        }
    }
    // "Course: Wine Studies – Foundation Level" names the event; the mail's subject about it
    // names the message ("NC-214 Wine Studies: timetable & joining details").
    const auto subject = [this](const TitleOption& option) {
        return Vocabulary::isSubjectLabel(m_text.facts[option.line].label);
    };
    if (std::any_of(m_headings.begin(), m_headings.end(), [&](const TitleOption& option) {
            return option[TitleFeature::labelled] != 0 && !subject(option);
        })) {
        for (TitleOption& option : m_headings) {
            if (subject(option)) {
                option[TitleFeature::labelled] = 0;
            }
        }
    }
}

std::vector<TitleOption> TitlePicker::options(const Candidate& c) const {
    std::vector<TitleOption> out;
    const auto add = [&out](std::string text, std::size_t line, TitleFeature source) {
        TitleOption option{.text = std::move(text), .line = line};
        option[source] = 1;
        out.push_back(std::move(option));
    };
    if (auto leg = legTitle(c)) {
        add(*leg, c.line, TitleFeature::leg);
    }
    // A row that gives only its times and venue is named by the line above it, not by a remark
    // in brackets nor a sentence that leads in to the row ("… Gisler (Fachstelle Medienbildung):").
    const bool venueRow = onlyVenueAfterTimes(m_text.lines[c.line], m_text.facts[c.line]);
    const auto namesRow = [this](std::size_t li) {
        const auto& tokens = m_text.lines[li].tokens;
        return m_text.lines[li].block == m_text.lines[li + 1].block &&
               m_text.facts[li].dates.empty() && m_text.facts[li].times.empty() &&
               !tokens.empty() && !tokens.front().isSymbol("(") && !tokens.back().isSymbol(":");
    };
    const bool namedAbove = venueRow && c.line > 0 && namesRow(c.line - 1);
    // One that opens its block is named by the line below it ("Do, 24.09.2026 · 19:30 Uhr ·
    // Großes Haus" over "„Der zerbrochne Krug“ · Lustspiel von Heinrich von Kleist"); so is each
    // of several events whose blocks open with only their day and time ("Sat, Mar 14 · 8:00 PM"
    // over "Northern Lights Tour").
    // ... or of a day alone over it ("TUESDAY 19 JANUARY 2027" over "08:15 – 08:45 (30 min)" over
    // "Follow-up physiotherapy").
    const auto startsBlock = [this](std::size_t li) {
        return li == 0 || m_text.lines[li - 1].block != m_text.lines[li].block;
    };
    const bool opensBlock =
        startsBlock(c.line) ||
        (c.session && c.headingLine && *c.headingLine + 1 == c.line && startsBlock(*c.headingLine));
    const bool bareRow =
        m_eventBlocks.size() >= 2 &&
        (onlyWhen(m_text, c.line) ||
         (c.session && namedBelow(m_text, c.line) && !Addresses::inLine(m_text.lines[c.line + 1])));
    const bool namedBelow =
        (venueRow || bareRow) && !namedAbove && opensBlock && c.line + 1 < m_text.lines.size() &&
        m_text.lines[c.line + 1].block == m_text.lines[c.line].block &&
        m_text.facts[c.line + 1].dates.empty() && m_text.facts[c.line + 1].times.empty();
    // "Session 2" says which meeting of a course a row is, not what is on.
    if (auto own = !venueRow && !namedBelow ? lineOption(c.line, true)
                   : namedAbove             ? lineOption(c.line - 1, true)
                   : namedBelow             ? lineOption(c.line + 1, true)
                                            : std::nullopt;
        own && !namesOnlyMeeting(own->text)) {
        (*own)[TitleFeature::listRow] = c.session || m_manyLines ? 1 : 0;
        out.push_back(std::move(*own));
    }
    if (auto route = trip(routeTitle(c))) {
        add(*route, c.line, TitleFeature::route);
    }
    // A session of a schedule named on its own line is named there, not by the day's heading.
    if (c.session && !out.empty()) {
        return out;
    }
    // One that is not is named by its day's line as by its own ("Sunday, Sept 19 — Farewell
    // Brunch" over "10am – noon at the Orchard Inn").
    if (auto day = c.session && c.headingLine ? lineOption(*c.headingLine, true) : std::nullopt) {
        (*day)[TitleFeature::listRow] = m_manyLines ? 1 : 0;
        out.push_back(std::move(*day));
    }
    // A day that is all of its line is named on the line that gives its time, as by its own,
    // where the name and the time stand in columns ("Reformer Intermediate      6:15 am").
    if (auto timed =
            out.empty() && c.timeLine &&
                    namesBeforeTimeColumn(m_text.lines[*c.timeLine], m_text.facts[*c.timeLine])
                ? lineOption(*c.timeLine, true)
                : std::nullopt;
        timed && !namesOnlyMeeting(timed->text)) {
        out.push_back(std::move(*timed));
    }
    const auto place = [&c, this](TitleOption& option) {
        const std::size_t li = option.line;
        option[TitleFeature::distance] =
            static_cast<double>(std::min(li > c.line ? li - c.line : c.line - li, kFar));
        option[TitleFeature::below] = li > c.line ? 1 : 0;
        option[TitleFeature::otherBlock] =
            m_text.lines[li].block != m_text.lines[c.line].block ? 1 : 0;
    };
    // Events set in blocks of their own ("LANTERN-MAKING WORKSHOPS" over its day and place,
    // "LANTERN WALK" over its own) are named by the heading of their block.
    const int block = m_text.lines[c.line].block;
    // So are those whose blocks open with their day alone, by the line below that gives its time
    // ("Sunday 13 September 2026" over "Pearl Harbor half-day tour – pick-up 06:45").
    const Line& dayLine = m_text.lines[c.line];
    const bool dayAlone = c.timeLine && *c.timeLine == c.line + 1 && c.begin == 0 &&
                          c.end == dayLine.tokens.size() &&
                          m_text.lines[*c.timeLine].block == block &&
                          (c.line == 0 || m_text.lines[c.line - 1].block != block);
    const auto ownHeading = [&](const TitleOption& heading) {
        return m_eventBlocks.size() >= 2 && m_text.lines[heading.line].block == block &&
               heading[TitleFeature::generic] == 0 &&
               ((heading.line < c.line && heading[TitleFeature::dated] == 0) ||
                (dayAlone && heading.line == *c.timeLine));
    };
    // Whose day it is ("at the marriage of their daughter …") names the first event below it,
    // whatever block that is set in.
    const auto announces = [&](const TitleOption& heading) {
        const auto next = std::upper_bound(m_rows.begin(), m_rows.end(), heading.line);
        return heading[TitleFeature::occasion] != 0 && next != m_rows.end() &&
               m_text.lines[*next].block == block;
    };
    const bool headed = std::any_of(m_headings.begin(), m_headings.end(), ownHeading);
    // "Subject: Camera Club – Winter programme & AGM" over "Sat 25 July – Winter field trip to
    // Lyttelton", "• Sa 10.10., 11:15 Uhr – Führung" and "Networking dinner – Saturday 12 Sept": a
    // row that sets what happens beside its day names that event, and the subject it shares with
    // every other row weighs as any heading does.
    // A session named by its day's line ("Monday 12 April - Company induction" over "09:00-16:30 at
    // Head Office") has that line for its row.
    const bool namedByDay =
        c.session && c.headingLine && !out.empty() && out.front().line == *c.headingLine;
    const std::size_t rowLine = namedByDay ? *c.headingLine : c.line;
    const auto& dates = m_text.facts[rowLine].dates;
    const auto& tokens = m_text.lines[rowLine].tokens;
    std::optional<Segment> day;
    if (namedByDay && !dates.empty()) {
        day = Segment{.begin = dates[0].begin, .end = dates[0].end};
    } else if (!namedByDay && !c.session && !dates.empty() && c.begin < tokens.size()) {
        day = Segment{.begin = c.begin, .end = c.end};
    }
    const auto dayAt = tokens.begin() + static_cast<std::ptrdiff_t>(day ? day->begin : 0);
    const bool besideDay =
        day && (std::all_of(tokens.begin(), dayAt,
                            [this](const Token& t) {
                                return t.isSymbol() ||
                                       (t.isWord() && Words::weekday(t.key, m_localeId));
                            }) ||
                (dayAt - 1)->isDash());
    // So does a name set after the day by a dash, on each of several rows ("Monday 12 April -
    // Company induction", "Tuesday 13 April - Depot day").
    const bool dashedName =
        day && day->end < tokens.size() && tokens[day->end].isDash() && m_manyLines;
    const bool namedRow = besideDay && !out.empty() &&
                          (out.front()[TitleFeature::listRow] != 0 || namedByDay) &&
                          (out.front()[TitleFeature::eventNoun] != 0 || dashedName);
    // "Subject: Booking confirmed - your trip to Melbourne" over a flight out and one back: each
    // of several legs is named by its route; the subject names the booking of them all.
    const bool routed = m_manyLines && std::any_of(out.begin(), out.end(), [](const auto& o) {
                            return o[TitleFeature::route] != 0;
                        });
    for (TitleOption heading : m_headings) {
        if (headed && !ownHeading(heading) && !announces(heading)) {
            continue;
        }
        if (namedRow || (routed && Vocabulary::isSubjectLabel(m_text.facts[heading.line].label))) {
            heading[TitleFeature::labelled] = 0;
        }
        place(heading);
        out.push_back(std::move(heading));
    }
    // A block with a heading of its own is not named by a sentence of another block either.
    if (auto sentence = sentenceOption(c);
        sentence && !(headed && m_text.lines[sentence->line].block != block) &&
        !announcesAppointment(sentence->text)) {
        place(*sentence);
        out.push_back(std::move(*sentence));
    }
    // "Am Mittwoch findet die Sperrmüllabfuhr statt" names the event in the day's own sentence.
    if (auto subject = subjectAfterDay(c)) {
        add(*subject, c.line, TitleFeature::sentence);
        out.back()[TitleFeature::sameLine] = 1;
    }
    if (auto trip = tripTitle(c)) {
        add(*trip, c.line, TitleFeature::trip);
    }
    if (auto clause = clauseTitle(c)) {
        add(*clause, c.line, TitleFeature::clause);
    }
    // ... nor by the text's venue.
    if (!m_venue.empty() && !headed) {
        add(m_venue, c.line, TitleFeature::venue); // "Your booking is confirmed at The Harbor Inn"
    }
    // Nor does a sentence's "Session".
    std::erase_if(out, [](const TitleOption& option) { return namesOnlyMeeting(option.text); });
    return out;
}

std::optional<std::string> TitlePicker::fixedTitle(const Candidate& c) const {
    if (auto due = c.due ? dueTitle(c) : std::nullopt) {
        return normalCapitalisation(*due);
    }
    // "The school will be closed on Friday 13 March for staff training": the closure is the
    // event, whatever it is for.
    if (auto closure = c.session ? std::nullopt : clauseBefore(c.line, c.begin);
        closure && closure->closure) {
        return normalCapitalisation(closure->text);
    }
    return std::nullopt;
}

std::string TitlePicker::title(const Candidate& c) const {
    if (auto fixed = fixedTitle(c)) {
        return *fixed;
    }
    const std::vector<TitleOption> all = options(c);
    if (const TitleOption* best = chooseTitle(all)) {
        return withDayOfSeries(finished(best->text), c.line);
    }
    // Nothing names it: whom it is with, or else the line, without a chat message's stamp and
    // writer.
    if (m_practitioner) {
        return *m_practitioner;
    }
    const Line& line = m_text.lines[c.line];
    const LineFacts& facts = m_text.facts[c.line];
    return finished(facts.speaker && facts.labelEnd < line.tokens.size()
                        ? line.text.substr(line.tokens[facts.labelEnd].begin)
                        : line.text);
}

std::string TitlePicker::withDayOfSeries(std::string title, std::size_t li) const {
    const Line& line = m_text.lines[li];
    const std::size_t label = dayOfSeriesLabel(line);
    if (label == 0 || m_daysOfSeries < 2 || FinderText::fold(title).find(line.at(0)->key) == 0) {
        return title;
    }
    return title + " (" + std::string(line.span(0, label)) + ")";
}

} // namespace plannery::reader
