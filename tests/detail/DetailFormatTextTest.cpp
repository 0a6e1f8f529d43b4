#include "detail/DetailFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace plannery {
namespace {

struct TextCase {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(DetailFormatTextTest, PlainNotesFromTextAndHtml) {
    const TextCase cases[] = {
        {"plain text is only trimmed", "  \n Line one\r\nLine two  \n\n\n\nLine three \t\n",
         "Line one\nLine two  \n\n\n\nLine three"},
        {"no tags: entities and angle brackets stay", "Tom &amp; Jerry <3 a > b",
         "Tom &amp; Jerry <3 a > b"},
        {"unknown tags alone are not HTML", "<table><tr><td>x</td></tr></table>",
         "<table><tr><td>x</td></tr></table>"},
        {"a tag name must end where the word ends", "<body>x</body> <bold>",
         "<body>x</body> <bold>"},
        {"empty", "", ""},
        {"only white space", " \t\r\n\u00a0 ", ""},
        {"line breaks", "one<br>two<BR/>three<br />four<br\t>five", "one\ntwo\nthree\nfour\nfive"},
        {"paragraphs", "<p>First</p><P class=\"x\">Second</P>", "First\nSecond"},
        {"blank lines collapse to one", "<div>a</div>\n\n\n<div>b</div>", "a\n\nb"},
        {"spaces before a line break go", "<p>a   \t</p>b", "a\nb"},
        {"lists become bullets", "<ul><li>One</li><li class=\"x\">Two</li></ul>",
         "\u2022 One\n\u2022 Two"},
        {"headings end lines", "<h2>Agenda</h2><b>Soon</b>", "Agenda\nSoon"},
        {"link whose label is its address", "<a href=\"https://x.com\">https://x.com</a>",
         "https://x.com"},
        {"link with a label", "Join: <a href=\"https://x.com/j/1\">the call</a> now",
         "Join: the call (https://x.com/j/1) now"},
        {"address ends with the label", "<a href=\"https://www.x.com\">x.com</a>",
         "https://www.x.com"},
        {"empty label", "<a href='https://x.com'> <img src=\"i.png\"> </a>", "https://x.com"},
        {"label with tags and any case",
         "<A class=\"btn\" HREF = 'https://x.com/a'><b>Agenda</b>\tdoc</A>",
         "Agenda\tdoc (https://x.com/a)"},
        {"two links", "<a href=\"a:1\">A</a> and <a href=\"b:2\">B</a>", "A (a:1) and B (b:2)"},
        {"the last href of a tag counts", "<a href=\"one\" data-href=\"two\">L</a>", "L (two)"},
        {"anchor without href is only a tag", "<a name=\"top\">Top</a>", "Top"},
        {"anchor never closed", "<a href=\"https://x.com\">x <b>y</b>", "x y"},
        {"entities", "<p>Fish &amp; chips &lt;3 &quot;hot&quot; it&#39;s &apos;ok&apos;&nbsp;</p>",
         "Fish & chips <3 \"hot\" it's 'ok'"},
        {"an escaped entity is decoded once", "<b>&amp;lt;</b>", "&lt;"},
        {"an unfinished tag stays", "<b>bold</b> <i", "bold <i"},
        {"a lone < takes the text up to the next >", "<b>a</b> 1 < 2 and 3 > 2", "a 1  2"},
        {"empty angle brackets stay", "<b>x</b><>", "x<>"},
    };
    for (const TextCase& row : cases) {
        EXPECT_EQ(DetailFormat::plainNotes(row.input), row.expected) << row.name;
    }
}

TEST(DetailFormatTextTest, PlainNotesHandleMegabytesOfHostileHtml) {
    std::string mail;
    const std::string paragraph =
        "<p>Line with <a href=\"https://x.com\">a link</a> &amp; text</p>\r\n";
    while (mail.size() < 1'000'000) {
        mail += paragraph;
    }
    const std::string text = DetailFormat::plainNotes(mail);
    const std::string line = "Line with a link (https://x.com) & text\n\n";
    EXPECT_EQ(text.size(), line.size() * (mail.size() / paragraph.size()) - 2);
    EXPECT_TRUE(text.starts_with(line));

    // Openings that never close: every one of them would send a backtracking matcher to the
    // end of the text.
    const std::string hostile[] = {
        std::string(1'000'000, '<'),
        [] {
            std::string s;
            while (s.size() < 1'000'000) {
                s += "<a href='x'>";
            }
            return s;
        }(),
        [] {
            std::string s;
            while (s.size() < 1'000'000) {
                s += "<a href=\"";
            }
            return s + "<b>";
        }(),
        [] {
            std::string s = "<b>";
            while (s.size() < 1'000'000) {
                s += "<a <li <br ";
            }
            return s + "href=\"https://x.com\">label</a>";
        }(),
    };
    EXPECT_EQ(DetailFormat::plainNotes(hostile[0]), hostile[0]);
    EXPECT_EQ(DetailFormat::plainNotes(hostile[1]), "");
    EXPECT_EQ(DetailFormat::plainNotes(hostile[2]), "");
    EXPECT_EQ(DetailFormat::plainNotes(hostile[3]), "label (https://x.com)");
}

TEST(DetailFormatTextTest, LinkFindsTheFirstWebLink) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"https://zoom.us/j/123", "https://zoom.us/j/123"},
        {"Zoom: https://zoom.us/j/123?pwd=abc.", "https://zoom.us/j/123?pwd=abc"},
        {"Join:https://x.com/1, room 2", "https://x.com/1"},
        {"HTTP://EXAMPLE.COM/A", "HTTP://EXAMPLE.COM/A"},
        {"(see https://en.example.org/wiki/A_(b))", "https://en.example.org/wiki/A_(b)"},
        {"<https://x.com/a>", "https://x.com/a"},
        {"meet.example.com/abc-defg-hij", "http://meet.example.com/abc-defg-hij"},
        {"Call www.example.org today", "http://www.example.org"},
        {"Room 4.2, Building B", std::nullopt},
        {"Caf\u00e9 M\u00fcller, Stra\u00dfe 5", std::nullopt},
        {"notes.txt on the share", std::nullopt},
        {"", std::nullopt},
        {"https://", std::nullopt},
        {"ftp://files.example.com/a", std::nullopt},
        {"ann@example.com https://x.com", std::nullopt},
        {"mailto:ann@example.com", std::nullopt},
        {"Call https://x.com or mailto:a@b.com", "https://x.com"},
        {"zoommtg://zoom.us/join?confno=1 https://zoom.us/j/1", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(DetailFormat::link(text), expected) << text;
    }
}

TEST(DetailFormatTextTest, EmailFromParticipantUrls) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"mailto:ann@example.com", "ann@example.com"},
        {"MAILTO:Ann@Example.com", "Ann@Example.com"},
        {"mailto:ann@example.com?subject=Hi%20there", "ann@example.com"},
        {"mailto:ann%40example.com", "ann@example.com"},
        {"mailto:j%C3%BCrgen@example.de", "j\u00fcrgen@example.de"},
        {"mailto:bad%zz@x.com", "bad%zz@x.com"},
        {"mailto:%FF@x.com", "%FF@x.com"},
        {"mailto:trailing%", "trailing%"},
        {"mailto:a%3Fb@x.com", "a"},
        {"mailto:", std::nullopt},
        {"mailto:?subject=x", std::nullopt},
        {"mailto", std::nullopt},
        {"urn:uuid:7f1c2e2a-1b7d-4d6f-9a0e-2f1b1a9e8c31", std::nullopt},
        {"https://example.com/ann", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [url, expected] : cases) {
        EXPECT_EQ(DetailFormat::email(url), expected) << url;
    }
}

TEST(DetailFormatTextTest, InitialsOfNames) {
    const std::pair<std::string, std::string> cases[] = {
        {"Mary Ann Smith", "MA"},
        {"Plato", "P"},
        {"ann.lee@example.com", "A"},
        {"@handle here", "H"},
        {"john_doe", "JD"},
        {"Dr. Jane Doe", "DJ"},
        {"  spaced   out  ", "SO"},
        {"Ann\u00a0Lee", "AL"},
        {"anne-marie dupont", "AD"},
        {"\u0434\u043c\u0438\u0442\u0440\u0438\u0439 \u0418\u0432\u0430\u043d\u043e\u0432",
         "\u0414\u0418"},
        {"\u674e\u5c0f\u9f99", "\u674e"},
        {"\u00e9lodie durand", "\u00c9D"},
        {"e\u0301mile zola", "E\u0301Z"},
        {"\u00dfler", "SS"},
        {"\U0001F642 Smile", "\U0001F642S"},
        {"", ""},
        {" ._@ ", ""},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(DetailFormat::initials(name), expected) << name;
    }
}

} // namespace
} // namespace plannery
