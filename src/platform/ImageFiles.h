#pragma once

#include <QImage>
#include <QString>

#include <optional>
#include <string>

class QByteArray;

namespace plannery {

// A picture as decoded, not yet turned: `orientation` is its EXIF orientation 1...8, how the
// bitmap must be turned to stand upright (1: as it is).
struct DecodedImage {
    QImage image{};
    int orientation = 1;
};

// A decoded picture, or the sentence that says why there is none.
struct ImageResult {
    std::optional<DecodedImage> decoded{};
    std::string problem{};
};

// Reading pictures with Qt's image readers (PNG, JPEG, WebP, GIF, BMP, TIFF, and HEIC where a
// plug-in for it is installed). A picture whose size promises more pixels than kMaxPixels is
// refused before anything is decoded, so a small file cannot ask for gigabytes.
namespace ImageFiles {

inline constexpr qint64 kMaxPixels = 80'000'000;

ImageResult decode(const QString& path);
ImageResult decode(const QByteArray& bytes);

// Whether a file is a picture by its type (name and content), as a drop or a paste offers it.
bool isImage(const QString& path);

// The file dialog's filter: "Images (*.png *.jpg ...)" of the formats that can be read.
QString dialogFilter(const QString& title);

// The picture turned upright from its EXIF orientation; other values leave it as it is.
QImage upright(const QImage& image, int orientation);

} // namespace ImageFiles

} // namespace plannery
