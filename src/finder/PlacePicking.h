#pragma once

#include "finder/EventAssembly.h"
#include "finder/HeadingShapes.h"
#include "finder/TableColumns.h"
#include "finder/TextFacts.h"

#include <optional>
#include <string>
#include <vector>

namespace plannery::reader {

// Where each event is: a place on its own line of a schedule ("– Room 2", ", Library"); else the
// text's place: a labelled one ("Location:", "Where:", "Ort:", "Lieu :"), an address with the
// venue above it, a venue's line, a venue named in a sentence ("at Hideaway Lounge", "in
// Conference Room B", "au Pathé Wepler"), or the link to join a video call.
class PlacePicker {
  public:
    PlacePicker(const TextFacts& text, const std::vector<Candidate>& candidates,
                const std::string& localeId);

    std::optional<std::string> place(const Candidate& candidate) const;
    // The name of the venue the text names in a sentence ("at The Harbor Inn", "im Hotel
    // Seeblick") or over its address; empty without one.
    std::string venueName() const;

  private:
    // The place as the text writes it, with the words that join it to its sentence.
    std::optional<std::string> placeOf(const Candidate& candidate) const;
    std::optional<std::string> labelled() const;
    // The place a labelled line gives ("Location: Room 4", "📍 OPD Block B"), if it is one.
    std::optional<std::string> labelledAt(std::size_t line) const;
    // Among several events, the labelled place on the lines below an event's and above the
    // next event's.
    std::optional<std::string> labelledBelow(const Candidate& candidate) const;
    // "09:30 – 10:15   Opening keynote" over "                Main Hall": the line set in below a
    // session's that gives its room, or among such lines the short one that names a room.
    std::optional<std::string> setInBelow(std::size_t line) const;
    // "2:00 pm   Dental check-up" over "45m       Ponsonby Road Dental": a calendar's row, its
    // length under its time and its place under its name.
    std::optional<std::string> besideLength(std::size_t line) const;
    // The place of an event whose day stands in a block of its own, on the lines below it: a
    // venue, its address, or both.
    std::optional<std::string> blockVenue(const Candidate& candidate) const;
    // The first line with words, under what a recogniser may have made of a picture ("ES").
    std::size_t topLine() const;
    // The top line when it names an event: the text's heading ("FREE YOGA IN THE PARK").
    std::optional<std::size_t> headingLine() const;
    std::optional<std::string> address();
    // Where a venue's line stands: in the body of the text, on its top line, or in the sign-off
    // of a letter (the sender's firm, more often who writes than where the event is).
    enum class VenueLines { body, top, signOff };
    // The first line of the kind `which` that names a venue.
    std::optional<std::string> venueLine(VenueLines which) const;
    // The place a preposition names on the line from token `from` on ("at Hideaway Lounge", "in
    // Conference Room B"); `withVenueWord` takes only one with a word for a place ("hall").
    std::optional<std::string> phrase(std::size_t line, std::size_t from,
                                      bool withVenueWord = false) const;
    // The words on the line below that a place ending line `line` at token `end` goes on with.
    std::string wrappedOn(std::size_t line, std::size_t end) const;
    // The first link to join a call, in the text or only in one block of lines.
    std::optional<std::string> meetingLink(std::optional<int> block = std::nullopt) const;
    // "7:30 p.m. ET on Zoom", "per Teams": the service an event's line holds it on.
    std::optional<std::string> callService(std::size_t li) const;
    // The event's line stands in a block of its own, apart from the other events'.
    bool ownBlock(const Candidate& candidate) const;
    // "Update: the workshop has moved to the Leeds office, Wellington Place" below the only
    // event's day: the place a later line without a day moves it to.
    std::optional<std::string> movedPlace(const Candidate& candidate) const;
    // `nameFirst`: the line's first piece names the event (a row of a list), rather than a day
    // heading its sessions.
    std::optional<std::string> rowPlace(std::size_t line, std::size_t from, bool nameFirst) const;

    const TextFacts& m_text;
    const std::string& m_localeId;
    std::vector<std::size_t> m_rows;                   // the lines of the events
    std::vector<std::optional<Column>> m_placeColumns; // of a table's rows, by line
    std::optional<std::string> m_place;
    std::optional<std::size_t> m_placeLine; // when the place is named in a sentence
    SignOff m_signOff;
    bool m_addressHasVenue = false;
    bool m_addressSignsOff = false; // the address is the sender's, below the closing
    // The venue's name beside the address (empty when the text before it is not a name).
    std::string m_addressVenue;
};

} // namespace plannery::reader
