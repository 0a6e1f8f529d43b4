#include "platform/IcsSeries.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace plannery::ics {

namespace {

// "PLSC" and the format version; a cache written by another version is read as absent.
constexpr std::string_view kMagic = "PLSC";
constexpr std::uint8_t kVersion = 3;

class Writer {
  public:
    void u64(std::uint64_t value) {
        while (value >= 0x80) {
            m_out += char((value & 0x7F) | 0x80);
            value >>= 7;
        }
        m_out += char(value);
    }
    void i64(std::int64_t value) { u64((std::uint64_t(value) << 1) ^ std::uint64_t(value >> 63)); }
    void boolean(bool value) { m_out += char(value ? 1 : 0); }
    void number(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        for (int i = 0; i < 8; ++i) {
            m_out += char((bits >> (8 * i)) & 0xFF);
        }
    }
    void text(const std::string& value) {
        u64(value.size());
        m_out += value;
    }
    void optionalText(const std::optional<std::string>& value) {
        boolean(value.has_value());
        if (value) {
            text(*value);
        }
    }
    void optionalNumber(const std::optional<double>& value) {
        boolean(value.has_value());
        if (value) {
            number(*value);
        }
    }
    std::string take() { return std::move(m_out); }
    std::string& out() { return m_out; }

  private:
    std::string m_out;
};

class Reader {
  public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_bytes.size(); }
    void fail() { m_ok = false; }

    std::uint64_t u64() {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (!m_ok || m_at >= m_bytes.size()) {
                m_ok = false;
                return 0;
            }
            const auto byte = static_cast<unsigned char>(m_bytes[m_at++]);
            value |= std::uint64_t(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        m_ok = false;
        return 0;
    }
    std::int64_t i64() {
        const std::uint64_t raw = u64();
        return std::int64_t(raw >> 1) ^ -std::int64_t(raw & 1);
    }
    int small(int low, int high) {
        const std::int64_t value = i64();
        if (value < low || value > high) {
            m_ok = false;
            return low;
        }
        return int(value);
    }
    bool boolean() {
        const auto value = u64();
        if (value > 1) {
            m_ok = false;
        }
        return value == 1;
    }
    double number() {
        if (!m_ok || m_bytes.size() - m_at < 8) {
            m_ok = false;
            return 0;
        }
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) {
            bits |= std::uint64_t(static_cast<unsigned char>(m_bytes[m_at++])) << (8 * i);
        }
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string text() {
        const auto size = u64();
        if (!m_ok || size > m_bytes.size() - m_at) {
            m_ok = false;
            return {};
        }
        std::string value(m_bytes.substr(m_at, size));
        m_at += size;
        return value;
    }
    // A count of elements that each take at least one byte: never more than the bytes left, so
    // a corrupt count cannot ask for a huge allocation.
    std::size_t count() {
        const auto size = u64();
        if (!m_ok || size > m_bytes.size() - m_at) {
            m_ok = false;
            return 0;
        }
        return std::size_t(size);
    }
    std::optional<std::string> optionalText() {
        return boolean() ? std::optional(text()) : std::nullopt;
    }
    std::optional<double> optionalNumber() {
        return boolean() ? std::optional(number()) : std::nullopt;
    }

  private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
    bool m_ok = true;
};

template <typename E> void writeEnum(Writer& w, E value) {
    w.i64(std::int64_t(value));
}
template <typename E> E readEnum(Reader& r, int high) {
    return E(r.small(0, high));
}

void writeTime(Writer& w, const ZonedTime& time) {
    w.i64(time.wall.year);
    w.i64(time.wall.month);
    w.i64(time.wall.day);
    w.i64(time.wall.hour);
    w.i64(time.wall.minute);
    w.i64(time.wall.second);
    w.boolean(time.wall.isDate);
    writeEnum(w, time.zone.kind);
    w.text(time.zone.id);
}

ZonedTime readTime(Reader& r) {
    ZonedTime time;
    time.wall.year = r.small(-1000000, 1000000);
    time.wall.month = r.small(0, 99);
    time.wall.day = r.small(0, 99);
    time.wall.hour = r.small(0, 99);
    time.wall.minute = r.small(0, 99);
    time.wall.second = r.small(0, 99);
    time.wall.isDate = r.boolean();
    time.zone.kind = readEnum<ZoneRef::Kind>(r, 2);
    time.zone.id = r.text();
    return time;
}

void writeParticipant(Writer& w, const Participant& p) {
    w.text(p.url);
    w.optionalText(p.name);
    w.boolean(p.isCurrentUser);
    writeEnum(w, p.participantStatus);
    writeEnum(w, p.participantRole);
    writeEnum(w, p.participantType);
}

Participant readParticipant(Reader& r) {
    Participant p;
    p.url = r.text();
    p.name = r.optionalText();
    p.isCurrentUser = r.boolean();
    p.participantStatus = readEnum<ParticipantStatus>(r, 7);
    p.participantRole = readEnum<ParticipantRole>(r, 4);
    p.participantType = readEnum<ParticipantType>(r, 4);
    return p;
}

void writeRule(Writer& w, const RecurrenceRule& rule) {
    writeEnum(w, rule.frequency);
    w.i64(rule.interval);
    w.u64(rule.daysOfTheWeek.size());
    for (const auto& day : rule.daysOfTheWeek) {
        w.i64(day.dayOfTheWeek);
        w.i64(day.weekNumber);
    }
    for (const auto* list : {&rule.daysOfTheMonth, &rule.monthsOfTheYear, &rule.setPositions}) {
        w.u64(list->size());
        for (int value : *list) {
            w.i64(value);
        }
    }
    w.optionalNumber(rule.endDate ? std::optional(rule.endDate->seconds) : std::nullopt);
    w.i64(rule.occurrenceCount);
}

RecurrenceRule readRule(Reader& r) {
    RecurrenceRule rule;
    rule.frequency = readEnum<RecurrenceFrequency>(r, 3);
    rule.interval = r.small(-1000000000, 1000000000);
    for (std::size_t n = r.count(); n > 0 && r.ok(); --n) {
        const int day = r.small(1, 7);
        rule.daysOfTheWeek.push_back({.dayOfTheWeek = day, .weekNumber = r.small(-1000, 1000)});
    }
    for (auto* list : {&rule.daysOfTheMonth, &rule.monthsOfTheYear, &rule.setPositions}) {
        for (std::size_t n = r.count(); n > 0 && r.ok(); --n) {
            list->push_back(r.small(-100000, 100000));
        }
    }
    if (auto end = r.optionalNumber()) {
        rule.endDate = Instant{*end};
    }
    rule.occurrenceCount = r.small(0, 2000000000);
    return rule;
}

void writeContent(Writer& w, const EventContent& c) {
    w.text(c.eventIdentifier);
    w.optionalText(c.calendarItemExternalIdentifier);
    w.optionalText(c.title);
    w.optionalText(c.location);
    w.boolean(c.structuredLocation.has_value());
    if (c.structuredLocation) {
        w.text(c.structuredLocation->title);
        w.boolean(c.structuredLocation->geoLocation.has_value());
        if (c.structuredLocation->geoLocation) {
            w.number(c.structuredLocation->geoLocation->latitude);
            w.number(c.structuredLocation->geoLocation->longitude);
        }
    }
    w.boolean(c.isAllDay);
    w.optionalText(c.timeZone);
    writeEnum(w, c.status);
    w.optionalText(c.notes);
    w.optionalText(c.url);
    w.boolean(c.organizer.has_value());
    if (c.organizer) {
        writeParticipant(w, *c.organizer);
    }
    w.u64(c.attendees.size());
    for (const auto& attendee : c.attendees) {
        writeParticipant(w, attendee);
    }
    w.u64(c.recurrenceRules.size());
    for (const auto& rule : c.recurrenceRules) {
        writeRule(w, rule);
    }
    w.u64(c.alarms.size());
    for (const auto& alarm : c.alarms) {
        w.optionalNumber(alarm.absoluteDate ? std::optional(alarm.absoluteDate->seconds)
                                            : std::nullopt);
        w.number(alarm.relativeOffset);
    }
}

EventContent readContent(Reader& r) {
    EventContent c;
    c.eventIdentifier = r.text();
    c.calendarItemExternalIdentifier = r.optionalText();
    c.title = r.optionalText();
    c.location = r.optionalText();
    if (r.boolean()) {
        StructuredLocation location;
        location.title = r.text();
        if (r.boolean()) {
            const double latitude = r.number();
            location.geoLocation = GeoLocation{.latitude = latitude, .longitude = r.number()};
        }
        c.structuredLocation = location;
    }
    c.isAllDay = r.boolean();
    c.timeZone = r.optionalText();
    c.status = readEnum<EventStatus>(r, 3);
    c.notes = r.optionalText();
    c.url = r.optionalText();
    if (r.boolean()) {
        c.organizer = readParticipant(r);
    }
    for (std::size_t n = r.count(); n > 0 && r.ok(); --n) {
        c.attendees.push_back(readParticipant(r));
    }
    for (std::size_t n = r.count(); n > 0 && r.ok(); --n) {
        c.recurrenceRules.push_back(readRule(r));
    }
    for (std::size_t n = r.count(); n > 0 && r.ok(); --n) {
        Alarm alarm;
        if (auto absolute = r.optionalNumber()) {
            alarm.absoluteDate = Instant{*absolute};
        }
        alarm.relativeOffset = r.number();
        c.alarms.push_back(alarm);
    }
    return c;
}

void writeComponent(Writer& w, const Component& c) {
    writeContent(w, c.content);
    writeTime(w, c.start);
    w.boolean(c.end.has_value());
    if (c.end) {
        writeTime(w, *c.end);
    }
    w.optionalNumber(c.duration);
    w.boolean(c.recurrenceId.has_value());
    if (c.recurrenceId) {
        writeTime(w, *c.recurrenceId);
    }
    w.boolean(c.thisAndFuture);
    w.u64(c.rrules.size());
    for (const auto& rule : c.rrules) {
        w.text(rule);
    }
    w.u64(c.rdates.size());
    for (const auto& date : c.rdates) {
        writeTime(w, date.start);
        w.boolean(date.end.has_value());
        if (date.end) {
            writeTime(w, *date.end);
        }
        w.optionalNumber(date.duration);
    }
    w.u64(c.exdates.size());
    for (const auto& time : c.exdates) {
        writeTime(w, time);
    }
}

Component readComponent(Reader& r) {
    Component c;
    c.content = readContent(r);
    c.start = readTime(r);
    if (r.boolean()) {
        c.end = readTime(r);
    }
    c.duration = r.optionalNumber();
    if (r.boolean()) {
        c.recurrenceId = readTime(r);
    }
    c.thisAndFuture = r.boolean();
    for (std::size_t n = r.count(); n > 0 && r.ok(); --n) {
        c.rrules.push_back(r.text());
    }
    for (std::size_t n = r.count(); n > 0 && r.ok(); --n) {
        RecurrenceDate date{.start = readTime(r), .end = std::nullopt, .duration = std::nullopt};
        if (r.boolean()) {
            date.end = readTime(r);
        }
        date.duration = r.optionalNumber();
        c.rdates.push_back(std::move(date));
    }
    for (std::size_t n = r.count(); n > 0 && r.ok(); --n) {
        c.exdates.push_back(readTime(r));
    }
    return c;
}

} // namespace

std::string encode(const std::vector<Series>& series) {
    Writer w;
    w.out() += kMagic;
    w.out() += char(kVersion);
    w.u64(series.size());
    for (const auto& one : series) {
        w.text(one.uid);
        w.u64(one.components.size());
        for (const auto& component : one.components) {
            writeComponent(w, component);
        }
        w.u64(one.timeZones.size());
        for (const auto& zone : one.timeZones) {
            w.text(zone);
        }
    }
    return w.take();
}

std::optional<std::vector<Series>> decode(std::string_view bytes) {
    if (bytes.size() < kMagic.size() + 1 || bytes.substr(0, kMagic.size()) != kMagic ||
        static_cast<std::uint8_t>(bytes[kMagic.size()]) != kVersion) {
        return std::nullopt;
    }
    Reader r(bytes.substr(kMagic.size() + 1));
    std::vector<Series> result;
    for (std::size_t n = r.count(); n > 0 && r.ok(); --n) {
        Series one;
        one.uid = r.text();
        for (std::size_t k = r.count(); k > 0 && r.ok(); --k) {
            one.components.push_back(readComponent(r));
        }
        for (std::size_t k = r.count(); k > 0 && r.ok(); --k) {
            one.timeZones.push_back(r.text());
        }
        result.push_back(std::move(one));
    }
    if (!r.ok() || !r.atEnd()) {
        return std::nullopt;
    }
    return result;
}

} // namespace plannery::ics
