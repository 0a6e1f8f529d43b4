#pragma once

#include "platform/TextRecognizer.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tesseract {
class TessBaseAPI;
}

namespace plannery {

// Text recognition with Tesseract: English, and the language of the user's locale when its data
// is installed. Recognisers are made once per language set and kept between pictures (loading
// the language data is the slow part), one per thread that reads at the same time.
class TesseractRecognizer final : public TextRecognizer {
  public:
    explicit TesseractRecognizer(std::string languages = "eng");
    ~TesseractRecognizer() override;
    TesseractRecognizer(const TesseractRecognizer&) = delete;
    TesseractRecognizer& operator=(const TesseractRecognizer&) = delete;

    const std::string& languages() const { return m_languages; }

    RecognizedText text(const QImage& image, int orientation, std::stop_token stop) override;

    // Bigger pictures are scaled down to this many pixels before reading: text in them is large
    // enough, and reading time grows with the pixels.
    static constexpr qint64 kMaxReadPixels = 16'000'000;

  private:
    std::unique_ptr<tesseract::TessBaseAPI> take(std::string& error);
    void giveBack(std::unique_ptr<tesseract::TessBaseAPI> api);

    std::string m_languages;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<tesseract::TessBaseAPI>> m_idle;
};

} // namespace plannery
