#include "platform/PicturePreparation.h"

#include <leptonica/allheaders.h>

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

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

// The picture's print as black on white.
PixPtr printOf(Pix* gray) {
    l_uint32 middle = 0;
    if (pixGetRankValue(gray, 4, 0.5F, &middle) != 0) {
        return nullptr;
    }
    PixPtr print(pixConvertTo1(gray, kPrintThreshold));
    if (print && middle < kPrintThreshold) {
        pixInvert(print.get(), print.get());
    }
    return print;
}

// The slant of the lines of print, clockwise, in degrees; zero when none is found with
// confidence. The slant is the angle at which the rows of print, sheared level, differ most from
// row to row: a sweep in whole degrees on a picture reduced four times, then halving steps on
// one reduced twice.
double slantOf(Pix* print) {
    l_float32 deskew = 0;
    l_float32 confidence = 0;
    // The ratio of the best score to the worst: below 3 the lines' slant is not told apart from
    // chance (Leptonica's own measure and bound).
    if (pixFindSkewSweepAndSearch(print, &deskew, &confidence, 4, 2, float(kMostSlantDegrees), 1.0F,
                                  0.01F) != 0 ||
        confidence < 3.0F) {
        return 0;
    }
    // Leptonica gives the clockwise turn that levels the lines.
    return -deskew;
}

// The median height of the marks of print (letters, digits, marks joined by a stroke), in
// pixels; specks and shapes taller than any letter are left out. Zero without print.
int markHeight(Pix* print) {
    std::unique_ptr<Boxa, void (*)(Boxa*)> marks(pixConnCompBB(print, 8),
                                                 [](Boxa* boxa) { boxaDestroy(&boxa); });
    if (!marks) {
        return 0;
    }
    std::vector<int> heights;
    for (int i = 0; i < boxaGetCount(marks.get()); ++i) {
        l_int32 x = 0, y = 0, width = 0, height = 0;
        if (boxaGetBoxGeometry(marks.get(), i, &x, &y, &width, &height) == 0 && height >= 3 &&
            height <= 200) {
            heights.push_back(height);
        }
    }
    if (heights.empty()) {
        return 0;
    }
    const auto middle = heights.begin() + std::ptrdiff_t(heights.size() / 2);
    std::nth_element(heights.begin(), middle, heights.end());
    return *middle;
}

constexpr int kLeastSide = 16;

} // namespace

PreparedPicture forReading(const QImage& upright, qint64 maxPixels) {
    PreparedPicture prepared{.gray = opaqueGray(upright, maxPixels)};
    if (prepared.gray.width() < kLeastSide || prepared.gray.height() < kLeastSide) {
        return prepared;
    }
    PixPtr pix = toPix(prepared.gray);
    const PixPtr print = pix ? printOf(pix.get()) : nullptr;
    if (!print) {
        return prepared;
    }
    bool changed = false;
    const double slant = slantOf(print.get());
    // Turned about its centre on a canvas large enough to keep its corners; what comes into view
    // is white, like paper.
    if (std::abs(slant) >= kLeastSlantDegrees) {
        if (PixPtr level{pixRotate(pix.get(), float(-slant * std::numbers::pi / 180),
                                   L_ROTATE_AREA_MAP, L_BRING_IN_WHITE, pixGetWidth(pix.get()),
                                   pixGetHeight(pix.get()))}) {
            pix = std::move(level);
            prepared.straightenedDegrees = slant;
            changed = true;
        }
    }
    const qint64 pixels = qint64(pixGetWidth(pix.get())) * pixGetHeight(pix.get());
    if (pixels * 4 <= kMostEnlargedPixels) {
        const int height = markHeight(print.get());
        if (height > 0 && height < kSmallPrint) {
            if (PixPtr larger{pixScaleGray2xLI(pix.get())}) {
                pix = std::move(larger);
                prepared.enlargement = 2;
                changed = true;
            }
        }
    }
    if (changed) {
        QImage gray = toImage(pix.get());
        gray.setDotsPerMeterX(prepared.gray.dotsPerMeterX() * prepared.enlargement);
        gray.setDotsPerMeterY(prepared.gray.dotsPerMeterY() * prepared.enlargement);
        prepared.gray = std::move(gray);
    }
    return prepared;
}

} // namespace plannery::PicturePreparation
