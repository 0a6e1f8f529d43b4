#include "platform/IcsSeries.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace plannery {
namespace {

using namespace ics;

std::vector<Series> sample() {
    std::string text;
    for (const char* name : {"participants.ics", "zones.ics", "overrides.ics"}) {
        std::ifstream in(std::string(PLANNERY_TEST_DATA) + "/ics/" + name, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        text += content.str();
    }
    auto series = read(text).series;
    // Fields the reader leaves alone but the store fills in.
    series.at(0).components.at(0).content.eventIdentifier = "cal/one.ics";
    series.at(0).components.at(0).content.attendees.at(0).isCurrentUser = true;
    series.at(0).components.at(0).thisAndFuture = true;
    return series;
}

TEST(SeriesCodec, RoundTripKeepsEveryField) {
    const auto series = sample();
    ASSERT_GE(series.size(), 8u);
    const std::string bytes = encode(series);
    const auto decoded = decode(bytes);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->size(), series.size());
    EXPECT_EQ(encode(*decoded), bytes);
    const auto& original = series[0].components[0];
    const auto& copy = (*decoded)[0].components[0];
    EXPECT_EQ(copy.start, original.start);
    EXPECT_EQ(copy.rrules, original.rrules);
    EXPECT_EQ(copy.thisAndFuture, true);
    EXPECT_EQ(copy.content.eventIdentifier, "cal/one.ics");
    EXPECT_EQ(copy.content.title, original.content.title);
    EXPECT_EQ(copy.content.notes, original.content.notes);
    EXPECT_EQ(copy.content.structuredLocation, original.content.structuredLocation);
    EXPECT_EQ(copy.content.organizer, original.content.organizer);
    EXPECT_EQ(copy.content.attendees, original.content.attendees);
    EXPECT_EQ(copy.content.recurrenceRules, original.content.recurrenceRules);
    EXPECT_EQ(copy.content.alarms, original.content.alarms);
    EXPECT_EQ(copy.content.status, original.content.status);
    for (std::size_t i = 0; i < series.size(); ++i) {
        EXPECT_EQ((*decoded)[i].uid, series[i].uid);
        EXPECT_EQ((*decoded)[i].timeZones, series[i].timeZones);
    }
    // The decoded series expand exactly like the originals.
    const auto berlin = test::berlin();
    for (std::size_t i = 0; i < series.size(); ++i) {
        const auto a = expand(series[i], Instant{1772000000}, Instant{1775000000}, berlin);
        const auto b = expand((*decoded)[i], Instant{1772000000}, Instant{1775000000}, berlin);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t k = 0; k < a.size(); ++k) {
            EXPECT_EQ(a[k].start, b[k].start);
            EXPECT_EQ(a[k].end, b[k].end);
        }
    }
    EXPECT_EQ(decode(encode({}))->size(), 0u);
}

TEST(SeriesCodec, RejectsWhatItDidNotWrite) {
    const std::string bytes = encode(sample());
    EXPECT_FALSE(decode(""));
    EXPECT_FALSE(decode("PLSC"));
    EXPECT_FALSE(decode("BEGIN:VCALENDAR"));
    std::string otherVersion = bytes;
    otherVersion[4] = char(otherVersion[4] + 1);
    EXPECT_FALSE(decode(otherVersion));
    EXPECT_FALSE(decode(bytes + "x"));
    // Every truncation is rejected.
    for (std::size_t size = 0; size < bytes.size(); size += 7) {
        EXPECT_FALSE(decode(bytes.substr(0, size))) << size;
    }
    // A corrupt count asks for no huge allocation and is rejected.
    std::string hugeCount =
        bytes.substr(0, 5) + std::string("\xff\xff\xff\xff\xff\xff\xff\xff\x7f");
    EXPECT_FALSE(decode(hugeCount));
    // Flipped bytes give either nothing or something that encodes again; never a crash.
    for (std::size_t at = 5; at < bytes.size(); at += 3) {
        std::string corrupt = bytes;
        corrupt[at] = char(corrupt[at] ^ 0x5a);
        if (auto decoded = decode(corrupt)) {
            EXPECT_TRUE(decode(encode(*decoded)));
        }
    }
}

} // namespace
} // namespace plannery
