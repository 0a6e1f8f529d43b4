#pragma once

#include "finder/ReaderText.h"
#include "finder/TextFacts.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// How cards, letters and tables lay out the lines around an event's name, for picking titles.
namespace plannery::reader {

// "Leo is turning 5!", "Grandma turns 90": a birthday, named as a person would enter it ("Leo's
// 5th birthday").
std::optional<std::string> turningAge(const Line& line);

// "Grandpa's 80th is Sunday": a person's ordinal at token k, not followed by what it is of, is
// their birthday ("Grandpa's 80th birthday").
std::optional<std::string> ordinalBirthday(const Line& line, std::size_t k);

// "at the marriage of their daughter" over "Catriona Isla" over "to" over "Mr Thomas Whitfield":
// the couple whose marriage line `li` announces, by their names without a title of address.
std::optional<std::pair<std::string, std::string>> marriedCouple(const std::vector<Line>& lines,
                                                                 std::size_t li);

// "EMILY CARTER" over "&" over "JAMES OKAFOR": the second name of a couple set on lines of their
// own below line `li`.
std::optional<std::string> joinedName(const std::vector<Line>& lines, std::size_t li);

// A heading that only announces one ("Einladung", "INVITATION", "You're invited"), whose name
// follows on the next line ("zur Mitgliederversammlung", "to the Annual Dinner").
bool onlyAnnounces(const Line& line);

// "Northern Opera Company presents", "Le Théâtre du Port présente": who puts on the show named on
// the next line.
bool presentsBelow(const Line& line);

// "CHŒUR DES CANUTS" over "de la Croix-Rousse" over "présente": line `li` (or the one below it)
// names who puts on the show that a line of its own ("présente", "presents") leads on to.
bool presentsFromAbove(const std::vector<Line>& lines, std::size_t li);

// "3. Klassenfahrt im Frühjahr" among other numbered lines: a point of a list (an agenda's), not
// the heading of the text; a name such as "1. FC Köln" stands alone.
bool isListItem(const std::vector<Line>& lines, std::size_t li);

// "1. Jahreshauptversammlung" … "2. Arbeitseinsatz" further down: a line that opens with the
// number of a section, which the text's other sections continue; unlike the ordinal of an
// occasion ("40. Geburtstag", "113. Generalversammlung") or a club's name ("1. FC Union Berlin"),
// which no line numbered next to it follows.
bool opensNumberedSection(const std::vector<Line>& lines, std::size_t li);

// "Dear parents,", "Liebe Eltern,", "Madame, Monsieur,": the line that opens a letter.
bool isSalutation(const Line& line);

// "Headteacher: Mrs S. Ahmed", "Kontakt: Frau Berger", "Klasse 3b – Frau Yilmaz": a role and the
// person who holds it.
bool namesRoleHolder(const Line& line, const LineFacts& facts);

// "Dr A. Verhaegen - Consultations d'anesthésie": the token after the person's name that opens
// the line with a title of address and the dash or comma that sets it off; 0 where the line does
// not open so.
std::size_t afterPersonsName(const Line& line);

// "19 January 2026", "Berlin, 3. März 2026" over the salutation: the day a letter was written.
bool isLetterDate(const std::vector<Line>& lines, const std::vector<LineFacts>& facts,
                  std::size_t li);

// The name a line that ends in "of", "for" or "honoring" leads on to: the next line of the same
// block when it is a name of a few capitalised words ("Sophia Martinez").
std::optional<std::string> nameBelow(const std::vector<Line>& lines, std::size_t li);

// "Guest    Check-in    Check-out": the heads of a table's columns, two or more of them words
// that label days or places, and such labels at least half of the line's words.
bool isColumnHeads(const Line& line);

// "Reminders (5)  |  Recordings (2)  |  Series Links (1)": an app's tabs, each with a count of
// what it lists, two or more of them set apart by bars or gaps; also its buttons, each in
// brackets ("[ Reschedule ]   [ Cancel ]").
bool isTabBar(const Line& line);

// "Chloe, Raj, Megan, Dan": three or more names of one or two capitalised words, set off by
// commas; the people of a group chat or of a guest list, not an event.
bool isNameList(const Line& line);

// "PICK-UP", "Return", "Check-in:" alone on a line: the heading of a section whose lines tell
// when and where; its folded label.
std::optional<std::string> sectionLabel(const Line& line);

// A letter's sign-off: from its closing ("Kind regards,", "Mit freundlichen Grüßen") or, in a
// letter that opens with a greeting, from the short lines of its sender at the end, up to the
// header of a message forwarded below it. Empty (both at the end) without one.
struct SignOff {
    std::size_t begin = 0; // the first line of the sign-off
    std::size_t end = 0;   // one past its last line
};
SignOff signOff(const TextFacts& text);

} // namespace plannery::reader
