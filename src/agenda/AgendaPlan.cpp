#include "agenda/AgendaPlan.h"

#include "model/Fmt.h"

namespace plannery {

AgendaPlan AgendaPlan::make(const std::vector<WidgetAgenda::Section>& sections, int cap,
                            const std::function<bool(const CalEvent&)>& isOngoing,
                            const Calendar& calendar) {
    AgendaPlan plan;
    int used = 0;
    const auto add = [&plan](AgendaRow row, AgendaSlot slot) {
        plan.items.push_back(Item{.row = std::move(row), .slot = slot});
    };
    for (std::size_t s = 0; s < sections.size(); ++s) {
        const WidgetAgenda::Section& section = sections[s];
        const int index = static_cast<int>(s);
        const std::string key = Fmt::dayKey(section.day, calendar);
        if (section.events.empty()) {
            if (section.emptyNote) {
                add(AgendaRow{.id = "note|" + key,
                              .kind = AgendaRow::Kind::note,
                              .day = section.day,
                              .text = *section.emptyNote},
                    AgendaSlot::row(used, index, false));
            }
            continue;
        }
        const int remaining = cap - used;
        if (remaining <= 0) {
            return plan;
        }
        if (section.header) {
            add(AgendaRow{.id = "hdr|" + key,
                          .kind = AgendaRow::Kind::header,
                          .day = section.day,
                          .text = *section.header},
                AgendaSlot::row(used + 1, index, true));
        }
        add(AgendaRow{.id = "cont|" + key,
                      .kind = AgendaRow::Kind::header,
                      .day = section.day,
                      .text = section.continuation},
            AgendaSlot::continuation(index));
        for (std::size_t i = 0; i < section.events.size(); ++i) {
            if (static_cast<int>(i) == remaining) {
                return plan;
            }
            const CalEvent& event = section.events[i];
            AgendaRow row{.id = key + "|" + event.id, .day = section.day, .event = event};
            if (event.isAllDay) {
                row.kind = AgendaRow::Kind::allDay;
            } else {
                row.kind = AgendaRow::Kind::event;
                row.ongoing = isOngoing && isOngoing(event);
            }
            ++used;
            add(std::move(row), AgendaSlot::row(used, index, false));
            const int left = static_cast<int>(section.events.size() - i - 1);
            if (left >= 1) {
                add(AgendaRow{.id = "more|" + std::to_string(used),
                              .kind = AgendaRow::Kind::more,
                              .day = section.day,
                              .count = left},
                    AgendaSlot::footer(used, false));
                continue;
            }
            for (std::size_t n = s + 1; n < sections.size(); ++n) {
                if (!sections[n].events.empty()) {
                    add(AgendaRow{.id = "sum|" + std::to_string(used),
                                  .kind = AgendaRow::Kind::daySummary,
                                  .day = sections[n].day,
                                  .text = sections[n].continuation,
                                  .count = static_cast<int>(sections[n].events.size())},
                        AgendaSlot::footer(used, true));
                    break;
                }
            }
        }
    }
    return plan;
}

std::vector<AgendaSlot> AgendaPlan::itemSlots() const {
    std::vector<AgendaSlot> all;
    all.reserve(items.size());
    for (const Item& item : items) {
        all.push_back(item.slot);
    }
    return all;
}

} // namespace plannery
