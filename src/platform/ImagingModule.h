#pragma once

#include "platform/DocumentScanner.h"
#include "platform/TextRecognizer.h"

#include <memory>
#include <string>
#include <string_view>

// Tesseract and SANE, with the image, network and device libraries they pull in, take tens of
// milliseconds to load, which every start of the window would pay. They live in a module of their
// own (plannery-imaging.so), loaded the first time a picture is read or a scanner looked for; both
// happen on worker threads.
namespace plannery::ImagingModule {

inline constexpr const char* kFileName = "plannery-imaging.so";
inline constexpr const char* kMakeRecognizer = "plannery_imaging_make_recognizer";
inline constexpr const char* kMakeScanner = "plannery_imaging_make_scanner";

// Tesseract's language set for a locale: "eng", or the locale's language first when its data is
// installed ("deu+eng" for de_DE).
std::string languagesFor(std::string_view localeId);

// A recogniser for the language set that loads the module when it reads its first picture. When
// the module cannot be loaded, every reading gives a sentence saying so.
std::shared_ptr<TextRecognizer> recognizer(std::string languages);

// A scanner that loads the module when it is first asked for; without the module there is no
// scanner to scan with.
std::shared_ptr<DocumentScanner> scanner();

} // namespace plannery::ImagingModule
