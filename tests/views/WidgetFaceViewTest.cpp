#include "GridViewTestSupport.h"
#include "TestSupport.h"

#include "agenda/WidgetAgenda.h"
#include "agenda/WidgetSizes.h"
#include "views/AgendaFlowList.h"
#include "views/AgendaRowPainter.h"
#include "views/WidgetAccessoryFace.h"
#include "views/WidgetFaceView.h"
#include "views/WidgetHomeFace.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

using test::at;
using test::gridEvent;

// Faces in Berlin on Wednesday 11 March 2026 at 10:30.
struct Faces {
    Calendar cal = test::berlin();
    Instant now = at(cal, 2026, 3, 11, 10, 30);

    CalEvent timed(const std::string& id, int day, int hour, int minute, int length,
                   RGB color = RGB{0.2, 0.4, 0.9}) const {
        const Instant start = at(cal, 2026, 3, 11 + day, hour, minute);
        return gridEvent(id, id, start, start.plus(length * 60.0), color);
    }

    WidgetFaceInput input(WidgetFamily family, std::vector<CalEvent> events,
                          Appearance appearance = Appearance::light) const {
        return WidgetFaceInput{.calendar = cal,
                               .family = family,
                               .now = now,
                               .events = std::move(events),
                               .appearance = appearance};
    }

    std::vector<CalEvent> busyWeek() const {
        std::vector<CalEvent> events{timed("Review", 0, 10, 0, 60), timed("Lunch", 0, 12, 0, 60)};
        for (int day = 1; day < 6; ++day) {
            for (int hour = 9; hour < 13; ++hour) {
                events.push_back(timed("Day" + std::to_string(day) + "-" + std::to_string(hour),
                                       day, hour, 0, 30));
            }
        }
        return events;
    }
};

QImage render(WidgetFacePainter& face, QSizeF size) {
    face.layout(size);
    QImage image(static_cast<int>(std::ceil(size.width())),
                 static_cast<int>(std::ceil(size.height())), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    face.paint(painter);
    return image;
}

std::unique_ptr<WidgetFaceView> shown(const WidgetFaceInput& input, QSize size) {
    auto view = std::make_unique<WidgetFaceView>();
    view->resize(size);
    view->setInput(input);
    view->show();
    QCoreApplication::processEvents();
    return view;
}

TEST(WidgetFaceView, EveryFamilyDrawsItsFaceInLightAndDark) {
    const Faces faces;
    const WidgetSizes sizes;
    for (const WidgetFamily family : WidgetFamilies::all) {
        for (const Appearance look : {Appearance::light, Appearance::dark}) {
            WidgetFacePainter face(faces.input(family, faces.busyWeek(), look));
            const auto size = sizes.of(family);
            const QImage image = render(face, QSizeF(size.width, size.height));
            // The tile's colour a little inside its rounded corner.
            const QColor background = image.pixelColor(static_cast<int>(size.width / 2),
                                                       static_cast<int>(size.height) - 2);
            const QColor expected = WidgetPalette::of(look).background;
            EXPECT_TRUE(test::near(background, expected, 2))
                << WidgetFamilies::name(family) << " " << background.name().toStdString();
            EXPECT_FALSE(face.targets().empty()) << WidgetFamilies::name(family);
        }
    }
    EXPECT_EQ(WidgetFacePainter(faces.input(WidgetFamily::systemExtraLarge, {})).face(),
              WidgetFace::large);
}

TEST(WidgetFaceView, ATallerFaceShowsMoreOfTheSamePlan) {
    const Faces faces;
    const WidgetAgenda agenda(faces.busyWeek(), faces.now, faces.cal);
    const HomeFaceLayout layout = *HomeFaceLayout::of(WidgetFace::large);
    WidgetHomeFace face(agenda, layout, TextSize::large);
    face.layout(QSizeF(364, 200));
    const std::size_t planned = face.list().plan().items.size();
    const auto shownCount = [&] {
        std::size_t count = 0;
        for (std::size_t i = 0; i < planned; ++i) {
            count += face.list().isShown(i) ? 1 : 0;
        }
        return count;
    };
    const std::size_t few = shownCount();
    const int measured = face.list().measurements();
    // A row that is not chosen still has its place, out of sight below the face.
    std::size_t parked = 0;
    for (std::size_t i = 0; i < planned; ++i) {
        if (!face.list().isShown(i)) {
            EXPECT_GT(face.list().frame(i).top(), 200 + 9000);
            ++parked;
        }
    }
    EXPECT_GT(parked, 0u);
    face.layout(QSizeF(364, 500));
    EXPECT_EQ(face.list().plan().items.size(), planned);
    EXPECT_GT(shownCount(), few);
    // The same width: no row is measured again.
    EXPECT_EQ(face.list().measurements(), measured);
}

TEST(WidgetFaceView, RowsGrowWithTheTextSize) {
    const Faces faces;
    const AgendaRow row{.kind = AgendaRow::Kind::event, .event = faces.timed("A", 0, 12, 0, 30)};
    const AgendaRowPainter regular(AgendaRowStyle::smallAndMedium(), TextSize::large, true);
    const AgendaRowPainter largest(AgendaRowStyle::smallAndMedium(), TextSize::accessibility, true);
    const AgendaRowPainter smallest(AgendaRowStyle::smallAndMedium(), TextSize::extraSmall, true);
    EXPECT_GT(largest.height(row, 200), regular.height(row, 200));
    EXPECT_LT(smallest.height(row, 200), regular.height(row, 200));
    // 12-hour lists reserve room for the day period after the time.
    const AgendaRowPainter hours24(AgendaRowStyle::smallAndMedium(), TextSize::large, false);
    EXPECT_GT(regular.timeColumnWidth(), hours24.timeColumnWidth());
}

// The colours of the pixels of a bar drawn for the event at the left of a row.
std::vector<QColor> barPixels(const CalEvent& event, const Calendar& cal, Instant now) {
    const WidgetAgenda agenda({}, now, cal);
    const AgendaRowPainter rows(AgendaRowStyle::large(), TextSize::large, true);
    QImage image(200, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    rows.paint(painter, AgendaRow{.kind = AgendaRow::Kind::event, .event = event},
               QRectF(0, 0, 200, 40), agenda, WidgetPalette::of(Appearance::light));
    painter.end();
    std::vector<QColor> pixels;
    for (int y = 4; y < 36; ++y) {
        pixels.push_back(image.pixelColor(1, y));
    }
    return pixels;
}

TEST(WidgetFaceView, CalendarBarsFadeForTentativeEventsAndShowThreeColours) {
    const Faces faces;
    CalEvent event = faces.timed("A", 1, 9, 0, 30, RGB{0, 0, 1});
    const QColor firm = barPixels(event, faces.cal, faces.now)[10];
    event.isTentative = true;
    const QColor faded = barPixels(event, faces.cal, faces.now)[10];
    EXPECT_TRUE(test::near(firm, QColor(0, 0, 255), 2));
    // 45 % blue over white.
    EXPECT_TRUE(test::near(faded, QColor(140, 140, 255), 3)) << faded.name().toStdString();

    CalEvent shared = faces.timed("B", 1, 9, 0, 30, RGB{1, 0, 0});
    shared.calendars = {
        CalendarRef{.id = "r", .rgb = {1, 0, 0}}, CalendarRef{.id = "g", .rgb = {0, 1, 0}},
        CalendarRef{.id = "b", .rgb = {0, 0, 1}}, CalendarRef{.id = "y", .rgb = {1, 1, 0}}};
    bool sawBlue = false;
    for (const QColor& pixel : barPixels(shared, faces.cal, faces.now)) {
        EXPECT_FALSE(pixel.red() > 200 && pixel.green() > 200 && pixel.blue() < 60)
            << "the fourth calendar's yellow";
        sawBlue = sawBlue || (pixel.blue() > 200 && pixel.red() < 60 && pixel.green() < 60);
    }
    EXPECT_TRUE(sawBlue);
}

TEST(WidgetFaceView, ClicksAndTheKeyboardOpenDaysThroughLinks) {
    const Faces faces;
    auto view = shown(faces.input(WidgetFamily::systemMedium, faces.busyWeek()), QSize(364, 170));
    QSignalSpy links(view.get(), &WidgetFaceView::linkActivated);
    const auto targets = view->targets();
    ASSERT_GT(targets.size(), 3u);
    // The heading opens today; a row of Friday's opens Friday.
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, targets.front().frame.center().toPoint());
    ASSERT_EQ(links.count(), 1);
    EXPECT_EQ(links.takeFirst().at(0).toString(), "plannery://day/2026-03-11");
    const auto friday = std::find_if(targets.begin(), targets.end(), [](const WidgetTarget& t) {
        return t.name.startsWith(QStringLiteral("Day2-"));
    });
    ASSERT_NE(friday, targets.end());
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, friday->frame.center().toPoint());
    ASSERT_EQ(links.count(), 1);
    EXPECT_EQ(links.takeFirst().at(0).toString(), "plannery://day/2026-03-13");

    // Tab walks the items; Enter opens the focused one.
    view->setFocus();
    QTest::keyClick(view.get(), Qt::Key_Tab);
    QTest::keyClick(view.get(), Qt::Key_Tab);
    ASSERT_EQ(view->focusedTarget(), 1);
    QTest::keyClick(view.get(), Qt::Key_Return);
    ASSERT_EQ(links.count(), 1);
    EXPECT_EQ(links.takeFirst().at(0).toString(),
              QString::fromStdString(view->face()->link(targets[1].day.value())));

    // The small face has no row links: a click anywhere opens today.
    auto small = shown(faces.input(WidgetFamily::systemSmall, faces.busyWeek()), QSize(170, 170));
    QSignalSpy smallLinks(small.get(), &WidgetFaceView::linkActivated);
    QTest::mouseClick(small.get(), Qt::LeftButton, {}, QPoint(80, 150));
    ASSERT_EQ(smallLinks.count(), 1);
    EXPECT_EQ(smallLinks.takeFirst().at(0).toString(), "plannery://day/2026-03-11");
}

TEST(WidgetFaceView, ScreenReadersSeeEachPaintedItem) {
    const Faces faces;
    auto view = shown(faces.input(WidgetFamily::systemLarge, faces.busyWeek()), QSize(364, 382));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(view.get());
    ASSERT_NE(face, nullptr);
    EXPECT_TRUE(face->text(QAccessible::Name).startsWith(QStringLiteral("Wednesday, March 11.")));
    ASSERT_EQ(face->childCount(), static_cast<int>(view->targets().size()));
    QAccessibleInterface* review = nullptr;
    for (int i = 0; i < face->childCount(); ++i) {
        QAccessibleInterface* child = face->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(face->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), face);
        if (child->text(QAccessible::Name).startsWith(QStringLiteral("Review"))) {
            review = child;
        }
    }
    ASSERT_NE(review, nullptr);
    EXPECT_EQ(review->text(QAccessible::Name), "Review, now until 11:00\u202fAM");
    EXPECT_EQ(review->role(), QAccessible::Link);
    QSignalSpy links(view.get(), &WidgetFaceView::linkActivated);
    review->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(links.count(), 1);
    EXPECT_EQ(links.takeFirst().at(0).toString(), "plannery://day/2026-03-11");

    // A new face: the old children are gone, the new ones answer.
    view->setInput(faces.input(WidgetFamily::systemLarge, {}));
    EXPECT_EQ(face->childCount(), static_cast<int>(view->targets().size()));
    EXPECT_TRUE(face->child(face->childCount() - 1)->isValid());
}

TEST(WidgetFaceView, HostileContentDrawsWithinTheFace) {
    const Faces faces;
    std::vector<CalEvent> crowded;
    for (int i = 0; i < 200; ++i) {
        crowded.push_back(faces.timed("Meeting " + std::to_string(i), 0, 11, i % 60, 15));
    }
    CalEvent longTitle = faces.timed(std::string(5000, 'x'), 0, 12, 0, 60);
    longTitle.location = std::string(5000, 'y');
    crowded.push_back(longTitle);
    crowded.push_back(faces.timed("\u05E4\u05D2\u05D9\u05E9\u05D4 \u05E2\u05DD \u05D3\u05E0\u05D4",
                                  0, 13, 0, 30));
    EXPECT_LE(AgendaRowPainter::shown(longTitle.title).size(), 400);
    EXPECT_EQ(AgendaRowPainter::shown("  two\n lines "), "two lines");
    for (const WidgetFamily family : WidgetFamilies::all) {
        WidgetFacePainter face(faces.input(family, crowded));
        const auto size = WidgetSizes{}.of(family);
        render(face, QSizeF(size.width, size.height));
        for (const WidgetTarget& target : face.targets()) {
            EXPECT_LE(target.frame.bottom(), size.height + 0.5) << WidgetFamilies::name(family);
            EXPECT_LE(target.frame.right(), size.width + 0.5) << WidgetFamilies::name(family);
        }
    }
    // A day of 200 events ends the list on "more" rather than running off the face.
    WidgetFacePainter large(faces.input(WidgetFamily::systemLarge, crowded));
    render(large, QSizeF(364, 382));
    const auto targets = large.targets();
    EXPECT_TRUE(targets.back().name.startsWith(QStringLiteral("+")))
        << targets.back().name.toStdString();
}

TEST(WidgetFaceView, PanelFaces) {
    const Faces faces;
    const std::vector<CalEvent> five{
        faces.timed("One", 0, 11, 0, 30), faces.timed("Two", 0, 12, 0, 30),
        faces.timed("Three", 0, 13, 0, 30), faces.timed("Four", 0, 14, 0, 30),
        faces.timed("Five", 0, 15, 0, 30)};
    const WidgetAgenda agenda(five, faces.now, faces.cal);
    WidgetAccessoryFace tall(agenda, WidgetFace::rectangular, TextSize::large, true);
    tall.layout(QSizeF(172, 300));
    EXPECT_EQ(tall.shownEvents(), 4u);
    WidgetAccessoryFace compact(agenda, WidgetFace::rectangular, TextSize::large, true);
    compact.layout(QSizeF(172, 76));
    EXPECT_LT(compact.shownEvents(), 4u);
    EXPECT_GE(compact.shownEvents(), 1u);

    WidgetFacePainter inlineFace(faces.input(WidgetFamily::accessoryInline, five));
    render(inlineFace, QSizeF(232, 22));
    EXPECT_EQ(inlineFace.accessibleName(), "11:00\u202fAM One");
}

TEST(WidgetFaceView, WithoutAccessNoEventIsShown) {
    const Faces faces;
    WidgetFaceInput input = faces.input(WidgetFamily::systemMedium, faces.busyWeek());
    input.hasAccess = false;
    WidgetFacePainter face(input);
    render(face, QSizeF(364, 170));
    EXPECT_EQ(face.face(), WidgetFace::noAccess);
    EXPECT_EQ(face.agenda(), nullptr);
    ASSERT_EQ(face.targets().size(), 1u);
    EXPECT_EQ(face.accessibleName(), "Open Plannery to allow calendar access");
    EXPECT_EQ(face.link(face.tapDay()), "plannery://day/2026-03-11");

    input.family = WidgetFamily::accessoryRectangular;
    WidgetFacePainter panel(input);
    render(panel, QSizeF(172, 76));
    EXPECT_EQ(panel.accessibleName(), "Plannery. Open the app to allow calendar access");
    input.family = WidgetFamily::accessoryInline;
    WidgetFacePainter line(input);
    render(line, QSizeF(232, 22));
    EXPECT_EQ(line.accessibleName(), "Open Plannery to allow access");

    // A problem reading the settings takes the agenda's place with its own sentence.
    WidgetFaceInput troubled = faces.input(WidgetFamily::systemSmall, faces.busyWeek());
    troubled.problem = QStringLiteral("The settings can't be read.");
    WidgetFacePainter problem(troubled);
    render(problem, QSizeF(170, 170));
    EXPECT_EQ(problem.face(), WidgetFace::noAccess);
    EXPECT_EQ(problem.accessibleName(), "The settings can't be read.");
}

} // namespace
} // namespace plannery
