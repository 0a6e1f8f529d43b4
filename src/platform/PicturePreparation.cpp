#include "platform/PicturePreparation.h"

#include <leptonica/allheaders.h>

#include <QPainter>

#include <cmath>
#include <memory>
#include <numbers>

namespace plannery::PicturePreparation {

namespace {

struct PixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

PixPtr toPix(const QImage& gray) {
    PixPtr pix(pixCreate(gray.width(), gray.height(), 8));
    if (!pix) {
        return nullptr;
    }
    l_uint32* data = pixGetData(pix.get());
    const int wordsPerLine = pixGetWpl(pix.get());
    for (int y = 0; y < gray.height(); ++y) {
        const uchar* row = gray.constScanLine(y);
        l_uint32* line = data + std::ptrdiff_t(y) * wordsPerLine;
        for (int x = 0; x < gray.width(); ++x) {
            SET_DATA_BYTE(line, x, row[x]);
        }
    }
    return pix;
}

QImage toImage(Pix* pix) {
    QImage gray(pixGetWidth(pix), pixGetHeight(pix), QImage::Format_Grayscale8);
    const l_uint32* data = pixGetData(pix);
    const int wordsPerLine = pixGetWpl(pix);
    for (int y = 0; y < gray.height(); ++y) {
        uchar* row = gray.scanLine(y);
        const l_uint32* line = data + std::ptrdiff_t(y) * wordsPerLine;
        for (int x = 0; x < gray.width(); ++x) {
            row[x] = uchar(GET_DATA_BYTE(line, x));
        }
    }
    return gray;
}

// Opaque grey within the pixel budget: transparent parts of a screenshot become white rather
// than black.
QImage opaqueGray(const QImage& upright, qint64 maxPixels) {
    QImage image = upright;
    const qint64 pixels = qint64(image.width()) * image.height();
    if (pixels > maxPixels) {
        const double scale = std::sqrt(double(maxPixels) / double(pixels));
        image = image.scaled(int(image.width() * scale), int(image.height() * scale),
                             Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    if (image.hasAlphaChannel()) {
        QImage opaque(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
        painter.end();
        image = opaque;
    }
    return image.convertToFormat(QImage::Format_Grayscale8);
}

// Print is what is darker than this (Leptonica's own threshold for finding slants); in a mostly
// dark picture, what is lighter.
constexpr int kPrintThreshold = 130;

// The slant of the lines of text, clockwise, in degrees; zero when none is found with
// confidence. The slant is the angle at which the rows of print, sheared
// level, differ most from row to row: a sweep in whole degrees on a picture reduced four times,
// then halving steps on one reduced twice.
double slantOf(Pix* gray) {
    l_uint32 middle = 0;
    if (pixGetRankValue(gray, 4, 0.5F, &middle) != 0) {
        return 0;
    }
    const PixPtr print(pixConvertTo1(gray, kPrintThreshold));
    if (!print) {
        return 0;
    }
    if (middle < kPrintThreshold) {
        pixInvert(print.get(), print.get());
    }
    l_float32 deskew = 0;
    l_float32 confidence = 0;
    // The ratio of the best score to the worst: below 3 the lines' slant is not told apart from
    // chance (Leptonica's own measure and bound).
    if (pixFindSkewSweepAndSearch(print.get(), &deskew, &confidence, 4, 2, float(kMostSlantDegrees),
                                  1.0F, 0.01F) != 0 ||
        confidence < 3.0F) {
        return 0;
    }
    // Leptonica gives the clockwise turn that levels the lines.
    return -deskew;
}

constexpr int kLeastSide = 16;

} // namespace

PreparedPicture forReading(const QImage& upright, qint64 maxPixels) {
    PreparedPicture prepared{.gray = opaqueGray(upright, maxPixels)};
    if (prepared.gray.width() < kLeastSide || prepared.gray.height() < kLeastSide) {
        return prepared;
    }
    const PixPtr pix = toPix(prepared.gray);
    if (!pix) {
        return prepared;
    }
    const double slant = slantOf(pix.get());
    if (std::abs(slant) < kLeastSlantDegrees) {
        return prepared;
    }
    // Turned about its centre on a canvas large enough to keep its corners; what comes into view
    // is white, like paper.
    const PixPtr level(pixRotate(pix.get(), float(-slant * std::numbers::pi / 180),
                                 L_ROTATE_AREA_MAP, L_BRING_IN_WHITE, pixGetWidth(pix.get()),
                                 pixGetHeight(pix.get())));
    if (!level) {
        return prepared;
    }
    QImage gray = toImage(level.get());
    gray.setDotsPerMeterX(prepared.gray.dotsPerMeterX());
    gray.setDotsPerMeterY(prepared.gray.dotsPerMeterY());
    prepared.gray = std::move(gray);
    prepared.straightenedDegrees = slant;
    return prepared;
}

} // namespace plannery::PicturePreparation
