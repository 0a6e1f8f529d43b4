#include "finder/TitlePicking.h"

#include "finder/FinderText.h"
#include "finder/NameShapes.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "model/CalEvent.h"

#include <algorithm>
#include <cctype>

// The last touches to a chosen name: whom a bare appointment is with, the words an invitation
// leads in with, the game a match is of, a message's shorthand.
namespace plannery::reader {

namespace {

// Takes off the first of `leads` (folded words, each followed by a space) that `text` opens with
// and goes on after, however its letters are written ("Termin für die …" for "termin fur die ");
// whether one was.
bool takeOffLead(std::string& text, std::initializer_list<std::string_view> leads) {
    const std::string folded = FinderText::fold(text);
    for (const std::string_view lead : leads) {
        if (folded.size() > lead.size() && folded.starts_with(lead)) {
            std::size_t after = 0;
            for (auto words = std::count(lead.begin(), lead.end(), ' '); words > 0; --words) {
                after = text.find(' ', after) + 1;
            }
            text.erase(0, after);
            return true;
        }
    }
    return false;
}

} // namespace

bool TitlePicker::namesPractitioner(const std::string& text) const {
    const bool practice = text == m_venue && practitionerOf(readLines(text)).has_value();
    return m_practitioner && (namesOnlyAnAppointment(text) || practice);
}

std::string TitlePicker::finished(const std::string& option) const {
    std::string text = trimWhiteSpace(option);
    // "Appointment" alone says nothing; whom it is with does: the kind of practitioner
    // ("Dentist appointment"), or else the practice ("Bright Smile Family Dentistry").
    // The practice's own name ("Harbourside Smiles Dental") says whom too.
    if (namesPractitioner(text)) {
        text = *m_practitioner;
    } else if (isBareAppointment(text) && !m_venue.empty()) {
        text = m_venue;
    }
    // "Einladung zu meinem 50. Geburtstag", "laden … zu unserem Frühjahrskonzert ein": a dative
    // left from the invitation, with or without its preposition, belongs to the sentence, not to
    // the name.
    takeOffLead(text, {"zu meinem ", "zu meiner ", "zu unserem ", "zu unserer ", "zum ", "zur ",
                       "meinem ", "meiner ", "unserem ", "unserer "});
    // "diesjährige Jahreshauptversammlung": which year's is the day's to say; "ordentliche
    // Mitgliederversammlung": that it is the regular one, the statutes'.
    takeOffLead(text, {"diesjahrige ", "diesjahrigen ", "diesjahriges ", "ordentliche ",
                       "ordentlichen ", "ordentlicher "});
    // "Termin zur Zahnreinigung", "Termin für die Inspektion": what the appointment is for names
    // it, and so does "Inspektion und Reifenwechsel" without the second "zum".
    if (takeOffLead(text, {"termin zur ", "termin zum ", "termin fur die ", "termin fur den ",
                           "termin fur das "})) {
        for (const std::string_view joined : {" und zum ", " und zur "}) {
            if (const auto at = text.find(joined); at != std::string::npos) {
                text.replace(at, joined.size(), " und ");
            }
        }
    }
    // "Wildpark Poing am", "Congé d'automne : du", "REPAS PAROISSIAL à": a word left from a line
    // broken before its day joins the name to nothing; so does the verb of the sentence that
    // goes on to the day ("Heizungswartung (Gas-Brennwertkessel) ist" am Do).
    for (auto space = text.rfind(' '); space != std::string::npos; space = text.rfind(' ')) {
        const std::string last = text.substr(space + 1);
        const bool small = !last.empty() && !std::isupper(static_cast<unsigned char>(last[0]));
        const std::string key = FinderText::fold(last);
        const bool copula = key == "is" || key == "ist" || key == "est" || key == "are" ||
                            key == "sind" || key == "sont";
        if (last != ":" && !(small && (Vocabulary::isDanglingWord(key) || copula))) {
            break;
        }
        text = trimWhiteSpace(text.substr(0, space));
    }
    // "Book club - October", "Quiz night – March 2026": the month of one of a series, not part of
    // its name.
    for (const std::string_view dash : {" - ", " – ", " — "}) {
        const auto at = text.rfind(dash);
        if (at == std::string::npos || at == 0) {
            continue;
        }
        const std::vector<Line> tail = readLines(text.substr(at + dash.size()));
        const auto& tokens = tail.size() == 1 ? tail.front().tokens : std::vector<Token>{};
        const bool month =
            !tokens.empty() && tokens.size() <= 2 && tokens[0].isWord() &&
            Words::month(tokens[0].key, m_localeId) &&
            (tokens.size() == 1 || (tokens[1].isNumber() && tokens[1].key.size() == 4));
        // "Maturaball 2027 – Kartenverkauf & Infos", "Sommerfest – Ihre Tickets", "Dancing at
        // Ballinamore – Booking ref LH-448213": nor is what the message about it brings, with
        // its reference; a word of the tail must say so.
        const auto brought = [](const Token& t) {
            return (t.isWord() && Vocabulary::isGenericHeadingWord(t.key)) ||
                   isWordIn(&t, {"info", "infos", "information", "informations", "details",
                                 "kartenverkauf", "vorverkauf", "billetterie"});
        };
        const auto besides = [](const Token& t) {
            return t.isNumber() || t.isSymbol("&") || t.isSymbol(":") || t.isSymbol("#") ||
                   (t.isSymbol("-") && !t.spaced) || (t.isWord() && t.allCaps) ||
                   isWordIn(&t, {"your", "ihre", "deine", "vos", "votre", "and", "und", "et", "ref",
                                 "reference", "no", "nr", "number", "code"});
        };
        const bool about = std::any_of(tokens.begin(), tokens.end(), brought) &&
                           std::all_of(tokens.begin(), tokens.end(),
                                       [&](const Token& t) { return brought(t) || besides(t); });
        if (month || about) {
            text = trimWhiteSpace(text.substr(0, at));
            break;
        }
    }
    // "Répétition générale (obligatoire pour tous les patineurs)": a remark in brackets, in lower
    // case, after the name is said of it, closed or left open by the piece of the line taken.
    if (const auto open = text.rfind(" (");
        open != std::string::npos && open > 0 &&
        (text.ends_with(')') || text.find(')', open) == std::string::npos) &&
        std::islower(static_cast<unsigned char>(text[open + 2])) != 0) {
        text = trimWhiteSpace(text.substr(0, open));
    }
    // "vs. Golden Eagles" in a club's list of games, "Practice" in its parents' chat: the game
    // against them, the practice of that game.
    if (const std::string folded = FinderText::fold(text);
        m_sport && (folded.starts_with("v ") || folded.starts_with("vs ") ||
                    folded.starts_with("vs. ") || folded.starts_with("@ "))) {
        text = *m_sport + " " + text;
    } else if (m_sport && (folded == "game" || folded == "practice" || folded == "match" ||
                           folded == "training")) {
        text = *m_sport + " " + folded;
    }
    // "Cut + Full Color w/ Keisha": a message's shorthand is written out in the calendar.
    for (std::size_t at = text.find(" w/ "); at != std::string::npos; at = text.find(" w/ ", at)) {
        text.replace(at, 4, " with ");
    }
    return normalCapitalisation(text);
}

} // namespace plannery::reader
