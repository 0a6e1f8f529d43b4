// What the imaging module (plannery-imaging.so) exports to the program that loads it: its makers
// of recognisers and scanners, whose objects the caller owns.

#include "platform/ImagingModule.h"
#include "platform/SaneScanner.h"
#include "platform/TesseractRecognizer.h"

extern "C" {

__attribute__((visibility("default"))) plannery::TextRecognizer*
plannery_imaging_make_recognizer(const char* languages) {
    return new plannery::TesseractRecognizer(languages);
}

__attribute__((visibility("default"))) plannery::DocumentScanner* plannery_imaging_make_scanner() {
    return new plannery::SaneScanner();
}

} // extern "C"
