#include "platform/TesseractRecognizer.h"

#include "platform/ImageFiles.h"
#include "platform/PicturePreparation.h"

#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include <cmath>
#include <optional>

namespace plannery {

namespace {

std::string trimmed(const char* text) {
    std::string_view line = text ? text : "";
    const auto first = line.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = line.find_last_not_of(" \t\r\n");
    return std::string(line.substr(first, last - first + 1));
}

// The recognised lines in reading order, joined with single line feeds; none when recognition
// failed.
std::optional<std::string> readLines(tesseract::TessBaseAPI& api, tesseract::ETEXT_DESC& monitor) {
    if (api.Recognize(&monitor) != 0) {
        return std::nullopt;
    }
    std::string text;
    std::unique_ptr<tesseract::ResultIterator> lines(api.GetIterator());
    if (!lines) {
        return text;
    }
    do {
        std::unique_ptr<char[]> utf8(lines->GetUTF8Text(tesseract::RIL_TEXTLINE));
        const std::string line = trimmed(utf8.get());
        if (!line.empty()) {
            text += (text.empty() ? "" : "\n") + line;
        }
    } while (lines->Next(tesseract::RIL_TEXTLINE));
    return text;
}

bool stopRequested(void* stop, int) {
    return static_cast<std::stop_token*>(stop)->stop_requested();
}

} // namespace

TesseractRecognizer::TesseractRecognizer(std::string languages)
    : m_languages(std::move(languages)) {}

TesseractRecognizer::~TesseractRecognizer() = default;

std::unique_ptr<tesseract::TessBaseAPI> TesseractRecognizer::take(std::string& error) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_idle.empty()) {
            auto api = std::move(m_idle.back());
            m_idle.pop_back();
            return api;
        }
    }
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    if (api->Init(nullptr, m_languages.c_str(), tesseract::OEM_LSTM_ONLY) != 0) {
        error = "Text recognition isn't set up on this computer: Tesseract's language data (" +
                m_languages + ") is missing.";
        return nullptr;
    }
    // Tesseract's remarks on each picture ("Estimating resolution ...") are not the user's.
    api->SetVariable("debug_file", "/dev/null");
    api->SetPageSegMode(tesseract::PSM_AUTO);
    return api;
}

void TesseractRecognizer::giveBack(std::unique_ptr<tesseract::TessBaseAPI> api) {
    api->Clear();
    std::lock_guard lock(m_mutex);
    m_idle.push_back(std::move(api));
}

RecognizedText TesseractRecognizer::text(const QImage& image, int orientation,
                                         std::stop_token stop) {
    if (stop.stop_requested()) {
        return RecognizedText{.cancelled = true};
    }
    const QImage gray =
        PicturePreparation::forReading(ImageFiles::upright(image, orientation), kMaxReadPixels)
            .gray;
    // Tesseract refuses pictures narrower than three pixels; there is no text in them anyway.
    if (gray.width() < 3 || gray.height() < 3) {
        return RecognizedText{};
    }
    std::string error;
    auto api = take(error);
    if (!api) {
        return RecognizedText{.error = error};
    }
    api->SetImage(gray.constBits(), gray.width(), gray.height(), 1,
                  static_cast<int>(gray.bytesPerLine()));
    const int dotsPerInch = int(std::lround(gray.dotsPerMeterX() * 0.0254));
    api->SetSourceResolution(dotsPerInch >= 70 && dotsPerInch <= 1200 ? dotsPerInch : 96);
    tesseract::ETEXT_DESC monitor;
    monitor.cancel = &stopRequested;
    monitor.cancel_this = &stop;
    std::optional<std::string> lines = readLines(*api, monitor);
    // The page's layout may hide a lone line of a photo or a chat bubble among shades of
    // background; read as one block of text, it is found.
    if (lines && lines->empty() && !stop.stop_requested()) {
        api->SetPageSegMode(tesseract::PSM_SINGLE_BLOCK);
        lines = readLines(*api, monitor);
        api->SetPageSegMode(tesseract::PSM_AUTO);
    }
    giveBack(std::move(api));
    if (stop.stop_requested()) {
        return RecognizedText{.cancelled = true};
    }
    if (!lines) {
        return RecognizedText{.error = "Tesseract couldn't read this picture."};
    }
    return RecognizedText{.text = std::move(*lines)};
}

} // namespace plannery
