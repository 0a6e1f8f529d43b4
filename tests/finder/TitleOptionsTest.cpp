#include "finder/TitleOptions.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

TitleOption named(const char* text, std::initializer_list<TitleFeature> features) {
    TitleOption option{.text = text};
    for (const TitleFeature f : features) {
        option[f] = 1;
    }
    return option;
}

TEST(TitleOptionsTest, TheHeaviestNameIsChosenAndTheFirstOfEquals) {
    EXPECT_EQ(chooseTitle({}), nullptr);
    // A label that says it is the name outweighs a heading in capitals with an event's word.
    const std::vector<TitleOption> subject{
        named("SPRING FAIR", {TitleFeature::heading, TitleFeature::capitals,
                              TitleFeature::eventNoun, TitleFeature::shortName}),
        named("Spring fair moved", {TitleFeature::heading, TitleFeature::labelled})};
    EXPECT_EQ(chooseTitle(subject)->text, "Spring fair moved");
    // A generic heading ("Booking confirmation") loses to the place's name.
    const std::vector<TitleOption> booking{
        named("Booking confirmation", {TitleFeature::heading, TitleFeature::generic}),
        named("Hotel Seeblick", {TitleFeature::venue})};
    EXPECT_EQ(chooseTitle(booking)->text, "Hotel Seeblick");
    // Names that weigh the same: the first offered.
    const std::vector<TitleOption> equal{named("Quiz night", {TitleFeature::sentence}),
                                         named("Pub quiz", {TitleFeature::sentence})};
    EXPECT_EQ(chooseTitle(equal)->text, "Quiz night");
    // Farther down the text, a heading weighs less.
    TitleOption low = named("Second", {TitleFeature::heading});
    low[TitleFeature::position] = 6;
    EXPECT_LT(weigh(low.features), weigh(named("First", {TitleFeature::heading}).features));
    EXPECT_STREQ(featureName(TitleFeature::eventNoun), "eventNoun");
}

} // namespace
} // namespace plannery::reader
