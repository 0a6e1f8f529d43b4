#pragma once

#include <QImage>

namespace plannery {

// A picture made ready for text recognition, and what was done to it on the way.
struct PreparedPicture {
    // Opaque 8-bit grey.
    QImage gray;
    // The lines of text ran this many degrees clockwise from level, and the picture was turned
    // back by as much; zero when they were level enough to read as they were.
    double straightenedDegrees = 0;
    // The picture was enlarged this many times, for its small print to be read.
    int enlargement = 1;
};

// Turns a decoded picture into what the recogniser reads best: opaque grey, no bigger than a pixel
// budget, with its lines of text level. A hand-held photo of a page leaves the lines at a slant
// of a few degrees, more than the recogniser's own line finding follows: a long line's letters
// drift into the lines above or below it, and whole lines are misread or lost. The slant is
// measured on every picture and undone only where one is found, so screenshots keep their pixels.
// Small pictures of small print are enlarged: the recogniser misreads letters only a few pixels
// high.
namespace PicturePreparation {

PreparedPicture forReading(const QImage& upright, qint64 maxPixels);

// Slants smaller than this are left: they raise the end of a thousand-pixel line by less than a
// fifth of a line of text, which the recogniser follows on its own.
constexpr double kLeastSlantDegrees = 0.3;

// Slants are looked for up to this far either way; a page photographed further askew is rare,
// and the search would find the lines' slant less surely among more angles.
constexpr double kMostSlantDegrees = 7.0;

// Print whose marks are mostly lower than this, in pixels, is small: lower-case letters of a
// line of interface text, about 8 pixels at 15-pixel text, where the recogniser reads best at
// twice that and more.
constexpr int kSmallPrint = 10;

// Pictures are enlarged only when they stay within this many pixels: the size of a full-screen
// screenshot, which is read in good time.
constexpr qint64 kMostEnlargedPixels = 1920 * 1080;

} // namespace PicturePreparation

} // namespace plannery
