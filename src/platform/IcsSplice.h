#pragma once

#include "platform/IcsContentLines.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

// Rewriting a calendar file through the iCalendar parser without losing what the parser does not
// know. The parser drops components it has no name for (X- components, VLOCATION, VRESOURCE),
// parameters it does not know and properties newer than it (STYLED-DESCRIPTION, LINK, ...), and
// it writes every line in its own spelling. An edit is made on the parser's tree; its writing is
// then compared with the parser's writing of the file as it was read, and only the differences
// are carried into the file as written: every component, line and parameter the edit did not
// change keeps its bytes.
namespace plannery::ics::splice {

// How an item of the text as written maps onto the parser's writing of it: the parser's items
// it became (none when the parser dropped it) and, for a component, how its items map.
struct Link {
    std::vector<std::size_t> parsed;
    std::vector<Link> children;
};

struct Base {
    lines::Node written; // the text as read
    lines::Node parsed;  // the parser's writing of it, without its error notes
    Link link;
    std::string eol; // the line end the text uses
};

// Pairs every line and component of `text` with the parser's writing of it. nullopt when the two
// cannot be paired line by line (a rewrite could then double or lose lines), or when `text` is
// not well formed (a component left open).
std::optional<Base> align(std::string_view text, std::string_view parsersWriting);

struct Options {
    // UIDs in the changed writing that stand for another UID of the text (a series split off
    // into a new file keeps the lines of the one it came from).
    std::map<std::string, std::string> renamedUids{};
    // Whether lines and components the parser dropped directly in the calendar (not inside an
    // event) are kept: true for a rewrite of the file, false for a new file made from part of it.
    bool keepUnknownAtTop = true;
};

// The text as read, changed as the parser's writing changed from `base.parsed` to `changed`;
// nullopt when `changed` is not well formed.
std::optional<std::string> apply(const Base& base, std::string_view changed,
                                 const Options& options = {});

// An unfolded content line as the parser is given it: a recurrence rule keeps its text as
// written in a parameter (the parser's own form cannot hold every rule, e.g. an INTERVAL beyond
// 32767), which the parser's writing gives back as the rule's value.
std::string forParser(std::string_view line);

} // namespace plannery::ics::splice
