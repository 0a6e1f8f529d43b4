#include "grid/AnchorLink.h"

#include "grid/TimeGridDays.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace plannery {
namespace {

using test::at;

// A view whose pages are weeks, and a window whose anchor tells the link of every change at
// once, as the navigation does.
struct Window {
    Calendar cal = test::berlin();
    std::vector<Instant> shown;
    std::vector<Instant> written;
    Instant anchor{};
    AnchorLink link{AnchorLink::View{
        .pageOf = [this](Instant day) { return TimeGridDays::weekStart(day, cal); },
        .show = [this](Instant page) { shown.push_back(page); }}};

    void connect() {
        link.connect([this](Instant day) {
            written.push_back(day);
            setAnchor(day);
        });
    }
    void setAnchor(Instant day) {
        if (day != anchor) {
            anchor = day;
            link.receive(anchor);
        }
    }
    Instant day(int month, int d) const { return at(cal, 2026, month, d); }
};

TEST(AnchorLink, TheWindowsAnchorMovesTheViewAndIsAnsweredWithThePagesFirstDay) {
    Window window;
    window.connect();
    // A Wednesday: the view shows its week and answers with the Monday, once; the answer
    // coming back finds the view there.
    window.setAnchor(window.day(3, 11));
    EXPECT_EQ(window.shown, std::vector<Instant>{window.day(3, 9)});
    EXPECT_EQ(window.written, std::vector<Instant>{window.day(3, 9)});
    EXPECT_EQ(window.anchor, window.day(3, 9));
    EXPECT_EQ(window.link.page(), window.day(3, 9));

    // Another day of the same week moves nothing and is answered again.
    window.setAnchor(window.day(3, 13));
    EXPECT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(window.written, (std::vector<Instant>{window.day(3, 9), window.day(3, 9)}));

    // A first day of another week is shown and needs no answer.
    window.setAnchor(window.day(4, 6));
    EXPECT_EQ(window.shown.back(), window.day(4, 6));
    EXPECT_EQ(window.written.size(), 2u);

    // Not a time at all: nothing.
    window.link.receive(Instant{std::nan("")});
    EXPECT_EQ(window.shown.size(), 2u);
}

TEST(AnchorLink, TheUsersMovesReachTheWindowOnceEachWithoutMovingTheViewBack) {
    Window window;
    window.connect();
    window.setAnchor(window.day(3, 9));
    window.shown.clear();
    // The user drags a week on: the window hears of it, and its anchor coming back shows
    // nothing.
    window.link.moved(window.day(3, 16));
    EXPECT_EQ(window.written, std::vector<Instant>{window.day(3, 16)});
    EXPECT_EQ(window.anchor, window.day(3, 16));
    EXPECT_TRUE(window.shown.empty());
    // The same page again (the drag goes on within it) tells nothing more.
    window.link.moved(window.day(3, 16));
    EXPECT_EQ(window.written.size(), 1u);
    // Back to where the drag began: told again.
    window.link.moved(window.day(3, 9));
    EXPECT_EQ(window.written.size(), 2u);
    window.link.moved(Instant{std::nan("")});
    EXPECT_EQ(window.written.size(), 2u);
}

TEST(AnchorLink, AViewThatReportsAsItShowsAPageReportsNothingBack) {
    Window window;
    // A view that arrives at once and tells the link where it came to rest, as a hidden view
    // with nothing to animate does.
    window.link = AnchorLink(AnchorLink::View{
        .pageOf = [&window](Instant day) { return TimeGridDays::weekStart(day, window.cal); },
        .show =
            [&window](Instant page) {
                window.shown.push_back(page);
                window.link.moved(page);
            }});
    window.connect();
    window.setAnchor(window.day(3, 9));
    EXPECT_EQ(window.shown, std::vector<Instant>{window.day(3, 9)});
    EXPECT_TRUE(window.written.empty());

    // Before the window connects, the link keeps the page and writes nothing.
    Window early;
    early.link.receive(early.day(3, 11));
    EXPECT_EQ(early.link.page(), early.day(3, 9));
    EXPECT_TRUE(early.written.empty());
}

} // namespace
} // namespace plannery
