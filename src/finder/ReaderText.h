#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The Built-in Reader's view of a text: lines of tokens (words, numbers, symbols and links), with
// the typographic variants people and recognisers write reduced to one key each.
namespace plannery::reader {

struct Token {
    enum class Kind : std::uint8_t { word, number, symbol, link };

    Kind kind = Kind::symbol;
    // Words: folded (lower case, no accents). Numbers: the digits. Symbols: one character, with
    // every dash as "-", every bullet or bar as "·", every arrow as "→", and a run of two or more
    // spaces, a tab or leader dots (a column gap) as "|". Links: the link as written.
    std::string key{};
    std::size_t begin = 0; // bytes of the line's text
    std::size_t end = 0;
    bool spaced = false;  // white space before it
    bool capital = false; // a word that starts with a capital letter
    bool allCaps = false; // a word of two or more letters, all capitals
    int value = -1;       // a number of at most nine digits
    // A word written onto the one before with a hyphen: "vous" in "rendez-vous", "in" in
    // "check-in"; a part of a compound rather than a word of the sentence.
    bool joined = false;

    bool is(std::string_view k) const { return key == k; }
    bool isWord() const { return kind == Kind::word; }
    bool isNumber() const { return kind == Kind::number; }
    bool isSymbol() const { return kind == Kind::symbol; }
    bool isLink() const { return kind == Kind::link; }
    bool isWord(std::string_view k) const { return kind == Kind::word && key == k; }
    bool isSymbol(std::string_view k) const { return kind == Kind::symbol && key == k; }
    // A hyphen, en dash or em dash, however the writer set off a piece of a line.
    bool isDash() const { return isSymbol("-") || isSymbol("–") || isSymbol("—"); }
};

// Whether a token (perhaps none) is one of the words.
bool isWordIn(const Token* token, std::initializer_list<std::string_view> words);

struct Line {
    std::string text{};          // the line as written, without its line break
    std::vector<Token> tokens{}; // in order
    int index = 0;               // the line's number, from 0
    int block = 0;               // lines between empty lines share a block number
    bool ruled = false;  // set between rules drawn across it: "──── Tuesday ────"
    bool pinned = false; // opened by a map pin, as apps mark a place: "📍 OPD Block B, Room 214"

    // Token i, or none past the end.
    const Token* at(std::size_t i) const { return i < tokens.size() ? &tokens[i] : nullptr; }
    // Token i exists and follows the one before it without a space: "7" "pm" in "7pm".
    bool unspaced(std::size_t i) const { return i < tokens.size() && !tokens[i].spaced; }
    std::string_view slice(std::size_t begin, std::size_t end) const {
        return std::string_view(text).substr(begin, end - begin);
    }
    // The text from the start of token `first` to the end of token `last - 1`.
    std::string_view span(std::size_t first, std::size_t last) const;
    bool empty() const { return tokens.empty(); }
    // The first token from k on that is no symbol: where the words start after a time or a bullet.
    std::size_t pastSymbols(std::size_t k) const {
        while (k < tokens.size() && tokens[k].isSymbol()) {
            ++k;
        }
        return k;
    }
};

// Whether token `k` of the line ends a sentence: "!", "?", or a full stop before a space or the
// line's end ("St." and "4.12" end none).
bool endsSentenceAt(const Line& line, std::size_t k);

// The end of the sentence that goes on from token `from`: its full stop, or the line's end.
std::size_t sentenceEnd(const Line& line, std::size_t from);

// Only the start of a very long text is read, so any text is read in bounded time.
inline constexpr std::size_t kMaxTextBytes = 64 * 1024;
inline constexpr std::size_t kMaxLines = 2000;

// The text's non-empty lines, without the pictures at their ends (StrayGlyphs.h) and with digits
// for the letters recognisers read for them (RecognitionNoise.h), tokenised.
std::vector<Line> readLines(std::string_view text);

} // namespace plannery::reader
