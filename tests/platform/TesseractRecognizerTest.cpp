#include "platform/TesseractRecognizer.h"

#include "PhotoLook.h"
#include "platform/ImageFiles.h"
#include "platform/ImagingModule.h"
#include "platform/ProgramModule.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

#include <gtest/gtest.h>

namespace plannery {
namespace {

// Black lines of text on white, as a screenshot of a message would be.
QImage textPicture(const QStringList& lines) {
    QImage image(900, 80 + 60 * static_cast<int>(lines.size()), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(34);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int i = 0; i < lines.size(); ++i) {
        painter.drawText(40, 80 + 60 * i, lines[i]);
    }
    return image;
}

// One line of grey print on tinted paper in uneven light, photographed by hand: turned a little,
// soft, with sensor noise.
QImage photoOfLine(const QString& line) {
    QImage paper(1000, 180, QImage::Format_RGB32);
    QPainter painter(&paper);
    QLinearGradient light(0, 0, paper.width(), paper.height());
    light.setColorAt(0, QColor(0xEE, 0xE6, 0xD2));
    light.setColorAt(1, QColor(0xB8, 0xB0, 0x9E));
    painter.fillRect(paper.rect(), light);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(30);
    painter.setFont(font);
    painter.setPen(QColor(0x4A, 0x45, 0x40));
    painter.drawText(60, 100, line);
    painter.end();
    return test::photographed(paper);
}

RecognizedText read(TextRecognizer& recognizer, const QImage& image, int orientation = 1) {
    return recognizer.text(image, orientation, {});
}

TEST(TesseractRecognizerTest, ReadsTheLinesOfAPictureInOrder) {
    TesseractRecognizer recognizer;
    const RecognizedText result =
        read(recognizer,
             textPicture({QStringLiteral("Team Lunch"), QStringLiteral("Friday 13 March at 12:30"),
                          QStringLiteral("Rooftop Terrace")}));
    ASSERT_FALSE(result.error) << *result.error;
    EXPECT_EQ(result.text, "Team Lunch\nFriday 13 March at 12:30\nRooftop Terrace");

    // The same picture again, on the recogniser kept from the first.
    EXPECT_EQ(read(recognizer, textPicture({QStringLiteral("Dentist 9:15")})).text, "Dentist 9:15");
}

TEST(TesseractRecognizerTest, TurnsThePictureUprightFirst) {
    TesseractRecognizer recognizer;
    const QImage upright =
        textPicture({QStringLiteral("Parents Evening"), QStringLiteral("Tuesday 17 March 18:00")});
    // Stored turned a quarter anticlockwise, with EXIF orientation 6 saying so.
    const QImage stored = upright.transformed(QTransform().rotate(270));
    EXPECT_EQ(read(recognizer, stored, 6).text, "Parents Evening\nTuesday 17 March 18:00");
    // Upside down, orientation 3.
    EXPECT_EQ(read(recognizer, upright.mirrored(true, true), 3).text,
              "Parents Evening\nTuesday 17 March 18:00");
}

TEST(TesseractRecognizerTest, ALoneLineOnAPhotoIsRead) {
    // The page's layout sees only shades of paper here; the line is found all the same.
    TesseractRecognizer recognizer;
    const RecognizedText result =
        read(recognizer, photoOfLine(QStringLiteral("Coffee tomorrow at 10? The usual place on "
                                                    "Gloucester Road")));
    EXPECT_NE(result.text.find("Coffee tomorrow at 10"), std::string::npos) << result.text;
    EXPECT_NE(result.text.find("Gloucester Road"), std::string::npos) << result.text;
}

TEST(TesseractRecognizerTest, ASlantedPhotoOfAPageIsReadLineByLine) {
    // A notice photographed askew, by the photo look's own slant and by twice as much: past a few
    // degrees, letters read unturned come out wrong.
    const QStringList lines{
        QStringLiteral("Allotment Society Open Day"),
        QStringLiteral("Sunday 14 June, 10:00 to 16:00"),
        QStringLiteral("Plant sale and seed swap at noon"),
        QStringLiteral("Talk on composting at 14:30"),
        QStringLiteral("Plots 1 to 40, Mill Lane, Hexham"),
    };
    QImage paper(1000, 420, QImage::Format_RGB32);
    paper.fill(QColor(0xE6, 0xDE, 0xCA));
    QPainter painter(&paper);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(30);
    painter.setFont(font);
    painter.setPen(QColor(0x4A, 0x45, 0x40));
    for (int i = 0; i < lines.size(); ++i) {
        painter.drawText(60, 80 + 64 * i, lines[i]);
    }
    painter.end();
    TesseractRecognizer recognizer;
    for (const double more : {0.0, 2.5}) {
        const QImage askew = paper.transformed(QTransform().rotate(more), Qt::SmoothTransformation);
        const QStringList read =
            QString::fromStdString(recognizer.text(test::photographed(askew), 1, {}).text)
                .split(QLatin1Char('\n'));
        // The table's edge may add a speck of a line after them.
        EXPECT_EQ(read.mid(0, lines.size()), lines)
            << more << ": " << read.join(QLatin1Char('|')).toStdString();
    }
}

TEST(TesseractRecognizerTest, PicturesWithoutTextGiveNoText) {
    TesseractRecognizer recognizer;
    QImage blank(640, 480, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(read(recognizer, blank).text, "");
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::black);
    const RecognizedText tiny = read(recognizer, dot);
    EXPECT_EQ(tiny.text, "");
    EXPECT_FALSE(tiny.error);
    // A screenshot's transparent background reads as white, not black.
    QImage clear(900, 140, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    QPainter painter(&clear);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(34);
    painter.setFont(font);
    painter.drawText(40, 80, QStringLiteral("Board Meeting"));
    painter.end();
    EXPECT_EQ(read(recognizer, clear).text, "Board Meeting");
}

TEST(TesseractRecognizerTest, AStoppedReadingGivesNothing) {
    TesseractRecognizer recognizer;
    std::stop_source stop;
    stop.request_stop();
    const RecognizedText result =
        recognizer.text(textPicture({QStringLiteral("Lunch")}), 1, stop.get_token());
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.text, "");
}

TEST(TesseractRecognizerTest, TheLocaleAddsItsLanguageWhenInstalled) {
    EXPECT_EQ(ImagingModule::languagesFor("en_US"), "eng");
    EXPECT_EQ(ImagingModule::languagesFor("C"), "eng");
    // Klingon has no language data anywhere.
    EXPECT_EQ(ImagingModule::languagesFor("tlh"), "eng");
    const std::string german = ImagingModule::languagesFor("de_DE");
    EXPECT_TRUE(german == "deu+eng" || german == "eng") << german;

    TesseractRecognizer missing("xyz");
    const RecognizedText result = read(missing, textPicture({QStringLiteral("Lunch")}));
    ASSERT_TRUE(result.error);
    EXPECT_NE(result.error->find("language data"), std::string::npos);
}

// The program itself reads through the imaging module, loaded beside it when the first picture
// is read.
TEST(TesseractRecognizerTest, TheProgramReadsThroughItsImagingModule) {
    const auto recognizer = ImagingModule::recognizer("eng");
    const RecognizedText result = read(*recognizer, textPicture({QStringLiteral("Dentist 9:15")}));
    ASSERT_FALSE(result.error) << *result.error;
    EXPECT_EQ(result.text, "Dentist 9:15");
    // Language data that is not there is said by the module's recogniser too.
    const RecognizedText missing =
        read(*ImagingModule::recognizer("xyz"), textPicture({QStringLiteral("Lunch")}));
    ASSERT_TRUE(missing.error);
    EXPECT_NE(missing.error->find("language data"), std::string::npos);

    std::string problem;
    EXPECT_EQ(loadProgramModule("plannery-nowhere.so", problem), nullptr);
    EXPECT_EQ(problem, "it is not installed beside the program");
}

} // namespace
} // namespace plannery
