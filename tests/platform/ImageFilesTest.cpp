#include "platform/ImageFiles.h"

#include "TestSupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

#include <array>

namespace plannery {
namespace {

QString path(const std::filesystem::path& file) {
    return QString::fromStdString(file.string());
}

std::string bytes(const QByteArray& data) {
    return data.toStdString();
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(image);
    return data;
}

// A picture that looks different after every turn: a red top-left corner, a blue bottom row.
QImage lopsided() {
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, 4, 3, Qt::red);
    painter.fillRect(0, 7, 12, 1, Qt::blue);
    return image;
}

// A JPEG whose EXIF block gives the orientation: an APP1 segment right after the start marker.
QByteArray jpegWithOrientation(int orientation) {
    const QByteArray jpeg = encoded(lopsided(), "jpeg");
    QByteArray exif("Exif\0\0", 6);
    // Little-endian TIFF header, one IFD entry: Orientation (0x0112), SHORT, count 1.
    const std::array<unsigned char, 26> tiff{'I',
                                             'I',
                                             42,
                                             0,
                                             8,
                                             0,
                                             0,
                                             0,
                                             1,
                                             0,
                                             0x12,
                                             0x01,
                                             3,
                                             0,
                                             1,
                                             0,
                                             0,
                                             0,
                                             static_cast<unsigned char>(orientation),
                                             0,
                                             0,
                                             0,
                                             0,
                                             0,
                                             0,
                                             0};
    exif.append(reinterpret_cast<const char*>(tiff.data()), tiff.size());
    QByteArray segment("\xFF\xE1", 2);
    const int length = static_cast<int>(exif.size()) + 2;
    segment.append(static_cast<char>(length >> 8)).append(static_cast<char>(length & 0xFF));
    segment.append(exif);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

quint32 crc32(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : data) {
        crc ^= static_cast<unsigned char>(byte);
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
        }
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value) {
    QByteArray out(4, 0);
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
    }
    return out;
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    const QByteArray chunk = type + data;
    return bigEndian(static_cast<quint32>(data.size())) + chunk + bigEndian(crc32(chunk));
}

// A PNG that claims to be width × height, with a little data that is not really its pixels (a
// real one of that size compresses to a small file too).
QByteArray pngClaiming(quint32 width, quint32 height) {
    QByteArray header = bigEndian(width) + bigEndian(height);
    header.append(char(8)).append(char(2)).append(char(0)).append(char(0)).append(char(0));
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", QByteArray(32, '\x5A')) + pngChunk("IEND", {});
}

TEST(ImageFilesTest, ReadsPicturesWithTheirOrientation) {
    test::TempDir folder;
    const QByteArray png = encoded(lopsided(), "png");
    const ImageResult fromFile = ImageFiles::decode(path(folder.write("shot.png", bytes(png))));
    ASSERT_TRUE(fromFile.decoded) << fromFile.problem;
    EXPECT_EQ(fromFile.decoded->image.size(), QSize(12, 8));
    EXPECT_EQ(fromFile.decoded->orientation, 1);
    EXPECT_TRUE(ImageFiles::decode(png).decoded);

    // Each EXIF orientation is reported, and turning by it gives what Qt's own turning gives.
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QByteArray jpeg = jpegWithOrientation(orientation);
        const ImageResult result = ImageFiles::decode(jpeg);
        ASSERT_TRUE(result.decoded) << orientation << ": " << result.problem;
        EXPECT_EQ(result.decoded->orientation, orientation);
        QBuffer buffer;
        buffer.setData(jpeg);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        const QImage expected = reader.read().convertToFormat(QImage::Format_RGB32);
        const QImage turned = ImageFiles::upright(result.decoded->image, orientation)
                                  .convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(turned, expected) << "orientation " << orientation;
    }
    EXPECT_EQ(ImageFiles::upright(lopsided(), 6).size(), QSize(8, 12));
}

TEST(ImageFilesTest, WhatIsNoReadablePictureGetsASentence) {
    test::TempDir folder;
    const auto problem = [&](const std::string& name, const QByteArray& content) {
        const ImageResult result = ImageFiles::decode(path(folder.write(name, bytes(content))));
        EXPECT_FALSE(result.decoded) << name;
        return result.problem;
    };
    // Refused from its header alone, before anything is decoded.
    EXPECT_EQ(problem("huge.png", pngClaiming(20000, 20000)),
              "This picture is too large to read (20000 \u00D7 20000 pixels).");
    const QByteArray png = encoded(lopsided(), "png");
    EXPECT_EQ(problem("cut.png", png.left(png.size() / 2)),
              "This picture can't be read; the file may be damaged.");
    EXPECT_EQ(problem("garbage.png", pngClaiming(40, 30)),
              "This picture can't be read; the file may be damaged.");
    EXPECT_EQ(problem("letter.pdf", "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\n%%EOF\n"),
              "PDF documents can't be read here; take a screenshot of the page and use that "
              "instead.");
    EXPECT_EQ(problem("notes.txt", "Lunch on Friday at noon\n"), "This file isn't a picture.");
    EXPECT_EQ(problem("empty.png", ""), "This file isn't a picture.");
    if (!QImageReader::supportedImageFormats().contains("heic")) {
        EXPECT_EQ(problem("photo.heic", QByteArray("\0\0\0\x18"
                                                   "ftypheic\0\0\0\0mif1heic",
                                                   24)),
                  "HEIC pictures can't be read on this computer; save the picture as JPEG or PNG "
                  "first.");
    }
    EXPECT_EQ(ImageFiles::decode(path(folder.path() / "missing.png")).problem,
              "The file can't be opened.");

    // A single pixel is a picture (it simply holds no text).
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::white);
    EXPECT_TRUE(ImageFiles::decode(encoded(dot, "png")).decoded);
}

TEST(ImageFilesTest, KnowsPicturesByTheirTypeAndOffersTheReadableOnes) {
    test::TempDir folder;
    EXPECT_TRUE(
        ImageFiles::isImage(path(folder.write("a.png", bytes(encoded(lopsided(), "png"))))));
    EXPECT_FALSE(ImageFiles::isImage(path(folder.write("a.txt", "hello"))));
    const QString filter = ImageFiles::dialogFilter(QStringLiteral("Images"));
    EXPECT_TRUE(filter.startsWith(QStringLiteral("Images (")));
    for (const char* pattern : {"*.png", "*.jpg", "*.gif", "*.bmp", "*.webp", "*.tiff"}) {
        EXPECT_TRUE(filter.contains(QLatin1String(pattern))) << pattern;
    }
}

} // namespace
} // namespace plannery
