#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Calendar text as its content lines and components, with the exact bytes of each, so that a
// rewrite can keep what it does not change byte for byte. Nothing here knows what a property
// means; see IcsSplice for how a rewrite uses it.
namespace plannery::ics::lines {

// A content line (its bytes as written, folded and with its line ends) or a component (its
// BEGIN line's bytes, its items, its END line's bytes).
struct Node {
    bool isComponent = false;
    std::string raw{};    // a line: all its bytes; a component: the BEGIN line's bytes
    std::string text{};   // a line: unfolded, without line ends; a component: the name, upper case
    std::string endRaw{}; // a component: the END line's bytes
    std::vector<Node> children{}; // a component: its lines and components, in order
    std::string bytes() const;    // everything, as written
    std::string content() const;  // the unfolded lines of the whole node, one per line
};

// The items of a text (components and lines outside them) under a nameless root; nullopt when a
// component is not closed or an END does not match its BEGIN.
std::optional<Node> parse(std::string_view text);

// The upper-case name of a content line ("DTSTART" of "dtstart;TZID=x:..."), and what follows
// the name: ";"-parameters and ":"-value.
std::string nameOf(std::string_view line);

// A content line split at its unquoted separators.
struct Parts {
    std::string name;                // as written
    std::vector<std::string> params; // "NAME=value" segments as written, without the ";"
    std::string value;
    std::string join() const;
};
Parts split(std::string_view line);
// The upper-case name of a "NAME=value" parameter segment.
std::string parameterName(std::string_view segment);

// A line folded at 75 octets (never inside a UTF-8 sequence), each physical line ended by `eol`.
std::string fold(std::string_view line, std::string_view eol);

} // namespace plannery::ics::lines
