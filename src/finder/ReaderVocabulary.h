#pragma once

#include "finder/ReaderLabels.h"

#include <optional>
#include <string_view>

// The kinds of words the Built-in Reader picks titles and places by, in English, German and French.
// Keys are folded words (lower case, no accents).
namespace plannery::reader::Vocabulary {

// What people put in their calendars: "party", "dinner", "meeting", "concert", "Fest", "réunion";
// German compounds count by their last part ("Elternabend", "Flohmarkt", "Herbstkonzert").
bool isEventNoun(std::string_view key);

// What places are called: "hall", "church", "park", "room", "Kirche", "Saal", "salle", "église".
bool isVenueWord(std::string_view key);

// Street words: "street", "st", "road", "avenue", "Straße", "weg", "rue", "place"; also
// compounds such as "Seestraße" or "Lindenweg".
bool isStreetWord(std::string_view key);
// A street's name that comes before its number ("Seestraße 8", "Lindenweg 3", "Hauptstr. 5").
bool isStreetCompound(std::string_view key);

// Words that carry nothing on their own between dates and times: articles, prepositions,
// conjunctions and the like ("at", "on", "the", "am", "um", "le", "de", "and", "from", "till").
bool isFiller(std::string_view key);
// A word that cannot end a name or a place ("am", "du", "the"): a sentence broken before its day.
bool isDanglingWord(std::string_view key);
// "moved", "rescheduled", "verschoben", "reporté": an event was moved to another day or time.
bool isMoveWord(std::string_view key);
// Whether a word says a journey leaves ("departs", "dep", "Abfahrt", "départ") or arrives
// ("arrives", "arr.", "Ankunft", "arrivée"). The German "ab" and "an" say so only right before
// a time ("ab 07:14"), which `beforeTime` tells.
enum class Leg { none, leaves, arrives };
Leg legWord(std::string_view key, bool beforeTime = false);
// "cancelled", "abgesagt", "annulé", "storniert": an event was called off.
bool isCancelledWord(std::string_view key);
// The words of an app's buttons and tabs ("Done", "My Tickets", "Add to Wallet").
bool isInterfaceWord(std::string_view key);

// Words that head an event's own programme rather than events of their own ("Agenda").
bool isAgendaWord(std::string_view key);

// Words that say a place is shut: "closed", "geschlossen", "fermé".
bool isClosedWord(std::string_view key);

// An office in a club or society, held by the one who signs: "Secretary", "Vorsitzende".
bool isOfficeWord(std::string_view key);

// Words that make a name an organisation's: closing it ("Tennis Club", "Allotment Society") or
// opening it ("Paroisse Sainte-Claire", "Amicale des Sapeurs-Pompiers").
bool isOrganisationWord(std::string_view key);
bool isLeadingOrganisationWord(std::string_view key);

// Words that say a place opens again after a closure ("reopen", "rouvrira"). Not "resume":
// "Resume writing workshop" is an event.
bool isReopeningWord(std::string_view key);

// Words that begin a clause, so that a piece of text holding them is a sentence rather than a
// name: verbs such as "is" and "will", pronouns such as "we" and "you".
bool isClauseWord(std::string_view key);

// Greetings and sign-offs ("hi", "dear", "hallo", "liebe", "bonjour", "thanks", "regards").
bool isGreeting(std::string_view key);

// Words that end a letter ("thanks", "regards", "cheers", "viele Grüße", "cordialement").
bool isClosing(std::string_view key);

// Words that make a line a document's heading rather than an event's name ("confirmation",
// "reminder", "ticket", "invited", "Bestätigung", "Terminänderung", "rappel").
bool isGenericHeadingWord(std::string_view key);

// What an appointment with the practitioner a word names is called: "dental" gives "Dentist
// appointment", "Zahnarztpraxis" gives "Zahnarzt", "kinésithérapie" gives "Kiné"; none for other
// words.
std::optional<std::string_view> practitionerTitle(std::string_view key);

} // namespace plannery::reader::Vocabulary
