#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTransform>

#include <algorithm>

namespace plannery::test {

// What a hand-held camera makes of a page: turned by 2.5 degrees on a grey table, a little soft,
// with sensor noise. The recogniser's tests and its benchmark photograph their pages alike; the
// noise is seeded, so the same page always gives the same photo.
inline QImage photographed(const QImage& page) {
    const QImage turned = page.transformed(QTransform().rotate(2.5), Qt::SmoothTransformation);
    QImage photo(turned.size(), QImage::Format_RGB32);
    photo.fill(QColor(0x80, 0x78, 0x6C));
    QPainter back(&photo);
    back.drawImage(0, 0, turned);
    back.end();
    photo = photo
                .scaled(photo.width() * 2 / 3, photo.height() * 2 / 3, Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation)
                .scaled(photo.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QRandomGenerator noise(7);
    for (int y = 0; y < photo.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int n = static_cast<int>(noise.bounded(25)) - 12;
            row[x] =
                qRgb(std::clamp(qRed(row[x]) + n, 0, 255), std::clamp(qGreen(row[x]) + n, 0, 255),
                     std::clamp(qBlue(row[x]) + n, 0, 255));
        }
    }
    return photo;
}

} // namespace plannery::test
