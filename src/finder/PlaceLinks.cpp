#include "finder/PlacePicking.h"

// The link to join a video call, the place of an event held online.
namespace plannery::reader {

namespace {

bool isMeetingLink(std::string_view link) {
    for (const std::string_view host : {"zoom.us",        "meet.google.com", "teams.microsoft.com",
                                        "teams.live.com", "webex.com",       "whereby.com",
                                        "meet.jit.si",    "gotomeeting.com", "gotomeet.me",
                                        "bluejeans.com",  "/live",           "zoom.com",
                                        "join.skype.com", "chime.aws",       "ringcentral.com",
                                        "8x8.vc",         "livestorm.co",    "crowdcast.io",
                                        "hopin.com",      "meet.lync.com",   "discord.gg",
                                        "twitch.tv"}) {
        if (link.find(host) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

std::string cleanLink(std::string_view link) {
    while (!link.empty() && (link.back() == '>' || link.back() == ')')) {
        link.remove_suffix(1);
    }
    return std::string(link);
}

} // namespace

std::optional<std::string> PlacePicker::meetingLink(std::optional<int> block) const {
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        if (block && m_text.lines[li].block != *block) {
            continue;
        }
        const LineFacts& facts = m_text.facts[li];
        // "Join from a PC, Mac, iPad or Android:" over the link.
        const Line* above = li > 0 ? &m_text.lines[li - 1] : nullptr;
        const bool joinAbove = above && !above->tokens.empty() &&
                               isWordIn(&above->tokens.front(), {"join", "rejoindre"}) &&
                               above->tokens.back().isSymbol(":");
        for (const Token& t : m_text.lines[li].tokens) {
            if (t.isLink() && (isMeetingLink(t.key) || joinAbove || facts.label == "join" ||
                               facts.label == "joining info" || facts.label == "call link" ||
                               facts.label == "stream link")) {
                return cleanLink(t.key);
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> PlacePicker::callService(std::size_t li) const {
    const Line& line = m_text.lines[li];
    for (std::size_t k = 1; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (isWordIn(&line.tokens[k - 1], {"on", "via", "over", "per", "uber", "sur", "par"}) &&
            t.capital && isWordIn(&t, {"zoom", "teams", "skype", "webex", "whereby", "jitsi"})) {
            return std::string(line.span(k, k + 1));
        }
    }
    return std::nullopt;
}

} // namespace plannery::reader
