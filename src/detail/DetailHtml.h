#pragma once

#include <optional>
#include <string>
#include <string_view>

// Scanning helpers for notes written as HTML. Tag names compare without regard to letter case,
// and each helper is one forward pass, so hostile input costs no more than its length.
namespace plannery::DetailHtml {

char lower(char c);
// Letters, digits, "_" and any byte of a non-ASCII character: the word characters of a
// regular-expression "\b".
bool isWordByte(char c);
bool isSpace(char c);
bool equalsNoCase(std::string_view text, std::string_view word);
bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view word);
// The run of word characters that starts at `at`.
std::string_view wordAt(std::string_view text, std::size_t at);

// What a tag starting at `i` (a "<", with a ">" somewhere after it) becomes, and where the text
// resumes after it; none when the rule does not apply there.
struct TagReplacement {
    std::string_view with{};
    std::size_t resume = 0;
};
using TagRule = std::optional<TagReplacement> (*)(std::string_view text, std::size_t i);
std::string replaceTags(std::string_view text, TagRule rule);

// Every tag ("<", at least one character that is not ">", then ">") removed.
std::string withoutTags(std::string_view text);

// <a ... href="X" ...>label</a> (either quotation mark; the label may hold tags and line breaks)
// becomes "label (X)", or X alone when the label is empty, is X or ends X.
std::string replaceLinks(std::string_view text);

} // namespace plannery::DetailHtml
