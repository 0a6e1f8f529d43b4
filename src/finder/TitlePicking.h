#pragma once

#include "finder/EventAssembly.h"
#include "finder/TextFacts.h"

#include <optional>
#include <string>
#include <vector>

namespace plannery::reader {

// The title a person would give each event: the name on its own line of a schedule or list
// ("09:45 Opening keynote", "Sports day: Friday 19 June"), else the text's heading ("SPRING CRAFT
// FAIR", "Subject: Q2 planning meeting"), else the event named in its sentence ("dinner on
// friday?"). In normal capitalisation, without lead-ins such as "Join us for".
class TitlePicker {
  public:
    TitlePicker(const TextFacts& text, const std::vector<Candidate>& candidates,
                const std::string& localeId);

    std::string title(const Candidate& candidate) const;

  private:
    std::optional<std::string> lineTitle(const Candidate& candidate) const;
    std::optional<std::string> sentenceTitle(const Candidate& candidate) const;
    void pickHeading(const std::vector<Candidate>& candidates);

    const TextFacts& m_text;
    const std::string& m_localeId;
    std::optional<std::string> m_heading;
    int m_headingScore = 0;
    bool m_manyLines = false; // the events stand on lines of their own
};

// A title in normal capitalisation: capitals lowered in words of four or more letters ("SPRING
// CRAFT FAIR" gives "Spring Craft Fair"), a first letter raised ("dinner" gives "Dinner").
std::string normalCapitalisation(const std::string& title);

} // namespace plannery::reader
