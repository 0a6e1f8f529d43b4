#pragma once

#include "agenda/WidgetAgenda.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <functional>
#include <string>
#include <vector>

namespace plannery {

// One row a widget list may show.
struct AgendaRow {
    enum class Kind {
        header,    // a day heading: `text`
        allDay,    // `event`
        event,     // a timed `event`, `ongoing` when it runs now
        note,      // a day's empty note: `text`
        more,      // `count` more events of the same day are not shown
        daySummary // the next day in one line: its label `text` and its `count` of events
    };

    std::string id{};
    Kind kind = Kind::header;
    Instant day{}; // the day the row belongs to, which its link opens
    std::string text{};
    CalEvent event{};
    bool ongoing = false;
    int count = 0;

    friend bool operator==(const AgendaRow&, const AgendaRow&) = default;
};

// What a candidate row is for, which decides whether it may be shown.
struct AgendaSlot {
    enum class Kind {
        row,         // a body row: `min`, `section`, `isHeader`
        footer,      // belongs after the k-th event row: `k`, `optional`
        continuation // the heading that opens a column in the middle of `section`
    };

    Kind kind = Kind::row;
    // Event rows the list holds once this row is shown (a heading counts its first event).
    int min = 0;
    int section = 0;
    bool isHeader = false;
    int k = 0;
    // An optional footer shows only when it fits; a required one must follow its event.
    bool optional = false;

    friend bool operator==(const AgendaSlot&, const AgendaSlot&) = default;

    static AgendaSlot row(int min, int section, bool isHeader) {
        return {.kind = Kind::row, .min = min, .section = section, .isHeader = isHeader};
    }
    static AgendaSlot footer(int k, bool optional) {
        return {.kind = Kind::footer, .k = k, .optional = optional};
    }
    static AgendaSlot continuation(int section) {
        return {.kind = Kind::continuation, .section = section};
    }
    // A child that carries no slot of its own (the face's date heading).
    static AgendaSlot plain() { return row(0, -1, false); }
};

// Every row a widget list could show, in order, each event followed by the footer it needs if
// the list ends right after it ("3 more", or the next day summed up), so that a layout can cut
// the list anywhere and still tell the reader what was left out.
struct AgendaPlan {
    struct Item {
        AgendaRow row{};
        AgendaSlot slot{};

        friend bool operator==(const Item&, const Item&) = default;
    };

    std::vector<Item> items{};

    // At most `cap` event rows. Sections without events give their note (not counted); the
    // plan ends when the cap is reached.
    static AgendaPlan make(const std::vector<WidgetAgenda::Section>& sections, int cap,
                           const std::function<bool(const CalEvent&)>& isOngoing,
                           const Calendar& calendar);

    std::vector<AgendaSlot> itemSlots() const;
};

} // namespace plannery
