#include "platform/ImageFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QMimeDatabase>
#include <QTransform>

#include <algorithm>

namespace plannery::ImageFiles {

namespace {

constexpr const char* kNotPicture = "This file isn't a picture.";
constexpr const char* kPdf =
    "PDF documents can't be read here; take a screenshot of the page and use that instead.";
constexpr const char* kHeic =
    "HEIC pictures can't be read on this computer; save the picture as JPEG or PNG first.";
constexpr const char* kDamaged = "This picture can't be read; the file may be damaged.";
constexpr const char* kCannotOpen = "The file can't be opened.";

ImageResult failure(std::string problem) {
    return ImageResult{.decoded = std::nullopt, .problem = std::move(problem)};
}

// The EXIF orientation of what Qt's readers report as the turn a picture needs.
int exifOrientation(QImageIOHandler::Transformations turn) {
    switch (turn) {
    case QImageIOHandler::TransformationMirror:
        return 2;
    case QImageIOHandler::TransformationRotate180:
        return 3;
    case QImageIOHandler::TransformationFlip:
        return 4;
    case QImageIOHandler::TransformationFlipAndRotate90:
        return 5;
    case QImageIOHandler::TransformationRotate90:
        return 6;
    case QImageIOHandler::TransformationMirrorAndRotate90:
        return 7;
    case QImageIOHandler::TransformationRotate270:
        return 8;
    default:
        return 1;
    }
}

bool heicReadable() {
    const auto formats = QImageReader::supportedImageFormats();
    return formats.contains("heic") || formats.contains("heif");
}

// Why a file that no reader takes cannot be read, by what it is.
std::string whyUnreadable(const QMimeType& type) {
    if (type.inherits(QStringLiteral("application/pdf"))) {
        return kPdf;
    }
    if (type.inherits(QStringLiteral("image/heif")) ||
        type.inherits(QStringLiteral("image/heic"))) {
        return heicReadable() ? kDamaged : kHeic;
    }
    return type.name().startsWith(QLatin1String("image/")) ? kDamaged : kNotPicture;
}

ImageResult read(QIODevice& device, const QMimeType& type) {
    if (device.size() == 0) {
        return failure(kNotPicture);
    }
    QImageReader reader(&device);
    reader.setAutoTransform(false);
    if (!reader.canRead()) {
        return failure(whyUnreadable(type));
    }
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels) {
        return failure("This picture is too large to read (" + std::to_string(size.width()) +
                       " \u00D7 " + std::to_string(size.height()) + " pixels).");
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        return failure(kDamaged);
    }
    return ImageResult{
        .decoded =
            DecodedImage{.image = image, .orientation = exifOrientation(reader.transformation())},
        .problem = {}};
}

} // namespace

ImageResult decode(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return failure(kCannotOpen);
    }
    // Judged by what the file holds: a text file named .png is no damaged picture.
    return read(file, QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchContent));
}

ImageResult decode(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, QMimeDatabase().mimeTypeForData(bytes));
}

bool isImage(const QString& path) {
    return QMimeDatabase().mimeTypeForFile(path).name().startsWith(QLatin1String("image/"));
}

QString dialogFilter(const QString& title) {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    }
    if (patterns.contains(QStringLiteral("*.jpg")) || patterns.contains(QStringLiteral("*.jpeg"))) {
        patterns << QStringLiteral("*.JPG") << QStringLiteral("*.JPEG");
    }
    patterns.removeDuplicates();
    return title + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QImage upright(const QImage& image, int orientation) {
    // The turns EXIF names: 2 and 4 mirror, 3 half-turns, 6 and 8 quarter-turn clockwise and
    // anticlockwise, 5 and 7 mirror along a diagonal.
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return image.mirrored(true, false).transformed(QTransform().rotate(270));
    case 6:
        return image.transformed(QTransform().rotate(90));
    case 7:
        return image.mirrored(true, false).transformed(QTransform().rotate(90));
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}

} // namespace plannery::ImageFiles
