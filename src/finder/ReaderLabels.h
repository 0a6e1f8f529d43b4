#pragma once

#include <string_view>

// The labels before a colon that the Built-in Reader knows, in English, German and French: what
// a line's value says of an event. Labels are folded words (lower case, no accents).
namespace plannery::reader::Vocabulary {

// Labels of lines that say when or where rather than what ("Date", "Time", "When", "Where",
// "Ort", "Lieu", "Check-in", "Outward", "Your appointment").
bool isWhenOrWhereLabel(std::string_view label);

// Labels whose value is the event's name ("Subject", "Betreff", "Objet", "Title", "Event", "What").
bool isTitleLabel(std::string_view label);
// The header line that names a message rather than sending it: "Subject", "Betreff", "Objet".
bool isSubjectLabel(std::string_view label);

// Labels whose value is the place ("Location", "Where", "Venue", "Address", "Ort", "Lieu").
bool isPlaceLabel(std::string_view label);

// Labels of details that are neither title nor place ("Price", "Tickets", "RSVP", "Seat").
bool isDetailLabel(std::string_view label);

// Labels of references worth keeping in the notes ("Booking number", "Confirmation code").
bool isReferenceLabel(std::string_view label);

// Labels people put before the start or end of a stay or trip: check-in, arrival, departure,
// pick-up, return, Anreise, Abreise, arrivée, départ, start, end.
bool isStayLabel(std::string_view label);

// Labels of the first and of the last day of a course or a term ("Start date", "Kursbeginn",
// "Date de début"; "End date", "Kursende", "Date de fin").
bool opensSpan(std::string_view label);
bool closesSpan(std::string_view label);

// Labels of an e-mail's header ("From", "To", "Sent", "Subject", "Betreff", "Objet").
bool isHeaderLabel(std::string_view label);

// Labels of days that are not events: when a page was changed, a document issued, an order made.
bool isRecordLabel(std::string_view label);

// Headings of how long something is covered ("Warranty coverage", "Garantie", "Gewährleistung"),
// under which days are no events either.
bool namesCover(std::string_view heading);

// Whether the words before a colon are a label at all (any of the kinds above), rather than part
// of a name such as "Mission: Impossible" or "Author Talk: Ann Cleeves".
bool isKnownLabel(std::string_view label);

} // namespace plannery::reader::Vocabulary
