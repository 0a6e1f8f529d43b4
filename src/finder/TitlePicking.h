#pragma once

#include "finder/EventAssembly.h"
#include "finder/LineSegments.h"
#include "finder/TableColumns.h"
#include "finder/TextFacts.h"
#include "finder/TitleOptions.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace plannery::reader {

// The title a person would give each event, in normal capitalisation and without lead-ins such as
// "Join us for": of the names the text offers for it (its own line in a schedule or list, "09:45
// Opening keynote"; the text's headings, "SPRING CRAFT FAIR", "Subject: Q2 planning meeting"; the
// event named in its sentence, "dinner on friday?"; a ticket's route; the words before its day),
// the one whose features weigh most.
class TitlePicker {
  public:
    // `venue`: the name of the text's place, the title of last resort ("Hotel Seeblick").
    TitlePicker(const TextFacts& text, const std::vector<Candidate>& candidates,
                const std::string& localeId, std::string venue);

    std::string title(const Candidate& candidate) const;

    // The title that no other name the text offers can replace: what is due by the day ("Write-up
    // due"), or the closure that its sentence announces ("Office closed").
    std::optional<std::string> fixedTitle(const Candidate& candidate) const;
    // The names the text offers for the event, in the order in which they win ties.
    std::vector<TitleOption> options(const Candidate& candidate) const;
    // The title that an option's text gives.
    std::string finished(const std::string& text) const;

  private:
    static constexpr std::size_t kFar = 8; // lines, beyond which all lines count as far

    // Whether a name stands for the kind of practitioner an appointment is with: the bare word
    // "Appointment", or the practice's own name ("Harbourside Smiles Dental").
    bool namesPractitioner(const std::string& text) const;
    // A line's name for an event, with its place in the text, capitals, words such as "party" or
    // "meeting", length, and a label such as "Subject:".
    std::optional<TitleOption> lineOption(std::size_t line, bool own) const;
    // Whether line `li` can name an event at all: not a header, a label of details or of a place,
    // a speaker's words, the sign-off, an address, a line that goes on below or a word called out.
    bool mayName(std::size_t li, bool own) const;
    // The features of piece `s` of line `li`; `skippedGeneric`: a generic piece before it was
    // passed over ("Timed Entry Ticket – General Admission").
    void describeName(std::size_t li, const Segment& s, bool own, bool skippedGeneric,
                      TitleOption& option) const;
    // Whether piece `s`, grown from `piece` of the line's `segments`, names who writes rather than
    // the event: a school's or club's name.
    bool namesWriter(std::size_t li, const std::vector<Segment>& segments, const Segment& piece,
                     const Segment& s) const;
    // The text of piece `s` with whose event it is (`whose`, from the line below), a couple's
    // second name and the act on tour.
    std::string nameText(std::size_t li, Segment s, bool own,
                         const std::optional<std::string>& whose) const;
    std::optional<TitleOption> sentenceOption(const Candidate& candidate) const;
    std::optional<std::string> clauseTitle(const Candidate& candidate) const;
    // "Am Freitag, den 18. September, findet unser Wandertag statt": in German, after a day that
    // opens the sentence and the verb comes the subject, its nouns written with capitals.
    std::optional<std::string> subjectAfterDay(const Candidate& candidate) const;
    // The name in the words of line `li` before token `limit`, and whether they say it is closed.
    struct Clause {
        std::string text{};
        bool closure = false;
    };
    std::optional<Clause> clauseBefore(std::size_t li, std::size_t limit) const;
    std::optional<std::string> tripTitle(const Candidate& candidate) const;
    // "The write-up must be handed in by Friday": what is due ("Write-up due").
    std::optional<std::string> dueTitle(const Candidate& candidate) const;
    // One day of an event held over several, each on a line labelled with its day ("Jour 1 :
    // samedi 7 février"), is named by the event and that day ("Secourisme (Jour 1)").
    std::string withDayOfSeries(std::string title, std::size_t line) const;
    // The route of a ticket's leg on or around the event's line ("London Heathrow → Lisbon").
    std::optional<std::string> routeTitle(const Candidate& candidate) const;
    // The route of a leg whose lines give the stops it leaves from and reaches.
    std::optional<std::string> legTitle(const Candidate& candidate) const;
    // A route as the trip's name: for a flight where it goes ("Flight to Lisbon").
    std::optional<std::string> trip(std::optional<std::string> route) const;
    bool namesAddress(std::size_t line) const;
    std::optional<std::string> actAbove(std::size_t line) const;
    // The wedding of a couple, by their given names.
    std::string wedding(const std::string& one, const std::string& other) const;
    std::optional<std::string> restBelow(std::size_t line) const;
    std::string phraseAround(const Line& line, const std::vector<bool>& dated,
                             std::size_t noun) const;

    const TextFacts& m_text;
    const std::string& m_localeId;
    std::string m_venue;
    bool m_flight = false;                     // the text is about a flight
    std::optional<std::string> m_vehicle;      // ... or a journey by train, coach or ferry
    bool m_wedding = false;                    // ... or a marriage
    std::optional<std::string> m_sport;        // the game its matches are of ("Hockey")
    std::optional<std::string> m_practitioner; // whom the text's appointment is with
    std::vector<TitleOption> m_headings;       // the names on lines other than the events' own
    bool m_manyLines = false;                  // the events stand on lines of their own
    int m_daysOfSeries = 0;          // the events' lines labelled as days of one event ("Day 2:")
    std::set<int> m_eventBlocks;     // the blocks the events stand in
    std::vector<std::size_t> m_rows; // the lines of the events
    std::vector<std::optional<Column>> m_placeColumns; // of a table's rows, by line
    std::size_t m_firstEventLine = 0;
    bool signedOff(std::size_t li) const { return li >= m_signature && li < m_signatureEnd; }
    std::size_t m_signature = 0;    // the first line of the sign-off
    std::size_t m_signatureEnd = 0; // one past its last line
    std::size_t m_chatStart = 0;    // the first message of a chat
};

// A title in normal capitalisation: a title in capitals with four or more letters gets each word
// capitalised ("SPRING CRAFT FAIR" gives "Spring Craft Fair"), so does a long word in capitals
// among others ("SPORTFEST der Schule"), and the first letter is raised ("dinner" gives "Dinner").
std::string normalCapitalisation(const std::string& title);

} // namespace plannery::reader
