#pragma once

// Tests of single ASCII characters for texts whose syntax is ASCII (links, codes, clocks), where
// a locale's letters and digits must not count.
namespace plannery {

constexpr bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The value of one hexadecimal digit (either case), or -1 for any other character.
constexpr int hexValue(char c) {
    if (isAsciiDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace plannery
