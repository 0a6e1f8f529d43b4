#pragma once

#include <QImage>

#include <optional>
#include <stop_token>
#include <string>

namespace plannery {

// What reading one picture gave: its lines joined with single line feeds (empty when nothing was
// recognised), or a sentence when the recogniser could not run. A cancelled reading gives
// neither, and its caller shows nothing.
struct RecognizedText {
    std::string text{};
    std::optional<std::string> error{};
    bool cancelled = false;
};

// Reads the text of a picture. Blocking; meant for a worker thread, and safe to call from several
// at once. The picture is turned upright from its EXIF orientation (1...8) first.
class TextRecognizer {
  public:
    virtual ~TextRecognizer() = default;

    virtual RecognizedText text(const QImage& image, int orientation, std::stop_token stop) = 0;
};

} // namespace plannery
