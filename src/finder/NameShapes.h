#pragma once

#include "finder/LineSegments.h"
#include "finder/ReaderText.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Whether a piece of a line can be an event's name, and where a name in a sentence ends, for
// picking titles.
namespace plannery::reader {

// Whether any of the line's tokens from `begin` to `end` passes the test.
bool anyToken(const Line& line, std::size_t begin, std::size_t end, auto test) {
    return std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(begin),
                       line.tokens.begin() + static_cast<std::ptrdiff_t>(end), test);
}

// A piece with a word that begins a clause (a verb such as "is", a pronoun such as "we"): a
// sentence rather than a name.
bool isProse(const Line& line, const Segment& s);

// Whether the piece says that a place is shut: "school closed to pupils", "Halle geschlossen".
bool saysClosed(const Line& line, const Segment& s);

// "Quay Street", "Mill Road": a piece of a line that is a street's name without its number.
bool namesStreet(const Line& line, const Segment& s);

// "…, The Riverside Hotel, Quay Street": piece k of a line names a venue and the piece after it
// that venue's street.
bool venueOnStreet(const Line& line, const std::vector<Segment>& segments, std::size_t k);

// "8:30 am   Mila – school athletics day": piece k, in lower case after a dash, says what the
// one capitalised word before it (whose it is) goes on to; the two are one name.
bool goesOnAfterName(const Line& line, const std::vector<Segment>& segments, std::size_t k);

// Whether tokens [from, to) say that a place is shut or there is no school: "school closed",
// "pas d'école", "no school", "kein Unterricht".
bool saysShut(const Line& line, std::size_t from, std::size_t to);

// Whether the piece holds a word of a generic heading ("Confirmation", "Billet", "Update").
bool hasGenericHeadingWord(const Line& line, const Segment& s);

// Whether the tokens from `begin` to `end` hold a word for an event ("party", "meeting").
bool hasEventNoun(const Line& line, std::size_t begin, std::size_t end);

// "AUCKLAND v CANTERBURY", "Arsenal vs. Spurs", "TSV Eichenau gegen FC Puchheim": two sides
// set against each other name a match.
bool namesMatch(const Line& line, std::size_t begin, std::size_t end);

// Whether the words name an organisation, by the word that opens or closes them ("Elmwood Lawn
// Tennis Club", "Paroisse Sainte-Claire").
bool namesOrganisation(const Line& line, std::size_t begin, std::size_t end);

// "Ciutadella de Menorca, Spain": a line that ends in a country after a comma says where, not
// what.
bool endsInCountry(const Line& line);

// "with Dr. Morales", "from 8pm": a piece that goes on from something else.
bool isPreposition(const Token& t);

// Part of a sentence rather than a name: beginning in lower case ("live at Hideaway Lounge"),
// running into the day ("Just confirming the photo shoot on") or broken off after a word that
// leads on ("Practice moved to", where a line was wrapped).
bool isFragment(const Line& line, const Segment& s);

// "Outbound", "Return", "Check-in": a piece that only labels a leg of a trip or a column.
bool onlyLabels(const Line& line, const Segment& s);

// "Appointment", "Termin", "RDV", "Séance": a title that only says there is an appointment.
bool isBareAppointment(std::string_view title);

// What an appointment is called after the kind of practitioner the lines name, when they name
// one kind only ("Lakeview Family Dental ... Dr. Okafor" gives "Dentist appointment").
std::optional<std::string> practitionerOf(const std::vector<Line>& lines);

// Whether a title says no more than that there is an appointment, or a reminder of one ("Appt
// tomorrow", "Rappel de votre rendez-vous"), or at which practice ("Clinique Veto", "St
// Aldhelm's Hospital NHS Foundation Trust"). A title that names what the appointment is for
// ("Dental check-up") or a person ("Appointment with Dr. Rao") says more.
bool namesOnlyAnAppointment(const std::string& title);

// "NEW APPOINTMENT", "Neuer Termin", "Nouveau rendez-vous": what heads the details of one, or
// says it came, names nothing.
bool announcesAppointment(const std::string& name);
// "Session 1", "Week 3", "Sitzung 2", "Séance 4", "Session": one of a course's meetings, which
// names the course no more than a generic heading does.
bool namesOnlyMeeting(const std::string& name);
// Whether a name as it is entered still holds a word of a generic heading: "NOTICE OF ANNUAL
// GENERAL MEETING" is entered without its notice, "Booking confirmation" is nothing else.
bool saysGeneric(const std::string& name);
// "Party of 4", "Table for 2", "Tisch für 6" from token k: the size of a booking, not an event's
// name.
bool isGroupSize(const Line& line, std::size_t k);

// A piece in which an address starts ("2150 Pearl St").
bool isAddress(const Line& line, const Segment& s);

// Words a name in a sentence does not run over.
bool stopsName(const Token& t);

// "zum ersten Elternabend", "le premier conseil d'école": which of a series, not what it is (unlike
// a capitalised "First Communion").
bool isSeriesOrdinal(const Token& t);

// "this year's residential trip", "tonight's show": when the event falls, not its name.
bool isPeriodPossessive(const Token& t);

// "de l'année", "des Schuljahres", "of the season": the time an event falls in, not its name.
bool namesPeriod(const Token& t);

} // namespace plannery::reader
