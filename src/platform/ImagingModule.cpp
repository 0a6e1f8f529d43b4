#include "platform/ImagingModule.h"

#include "platform/ProgramModule.h"

#include <unicode/locid.h>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <functional>
#include <mutex>
#include <vector>

namespace plannery::ImagingModule {

namespace {

namespace fs = std::filesystem;

// Where Tesseract looks for its language data: TESSDATA_PREFIX, else Debian's folder.
std::vector<fs::path> dataFolders() {
    std::vector<fs::path> folders;
    if (const char* prefix = std::getenv("TESSDATA_PREFIX"); prefix && *prefix) {
        folders.emplace_back(prefix);
        folders.emplace_back(fs::path(prefix) / "tessdata");
    }
    folders.emplace_back("/usr/share/tesseract-ocr/5/tessdata");
    return folders;
}

bool installed(const std::string& language) {
    std::error_code error;
    for (const fs::path& folder : dataFolders()) {
        if (fs::exists(folder / (language + ".traineddata"), error)) {
            return true;
        }
    }
    return false;
}

std::string unusable(const std::string& why) {
    return std::string("Text recognition and scanning aren't set up on this computer: their part "
                       "of Plannery (") +
           kFileName + ") " + why;
}

// The module's maker of one kind of object, or null with the sentence that says why.
template <typename Maker> Maker maker(const char* name, std::string& problem) {
    void* module = loadProgramModule(kFileName, problem);
    if (module == nullptr) {
        problem = unusable("cannot be loaded (" + problem + ").");
        return nullptr;
    }
    auto* function = reinterpret_cast<Maker>(::dlsym(module, name));
    if (function == nullptr) {
        problem = unusable("does not belong to this version of the program.");
    }
    return function;
}

// The module's object, made on first use, once, whichever thread asks first; `make` calls the
// module's maker, or says why it cannot.
template <typename Object> class Deferred {
  public:
    using Make = std::function<Object*(std::string& problem)>;

    explicit Deferred(Make make) : m_make(std::move(make)) {}

    Object* get(std::string& problem) {
        std::call_once(m_once, [this] { m_object.reset(m_make(m_problem)); });
        problem = m_problem;
        return m_object.get();
    }

  private:
    Make m_make;
    std::once_flag m_once;
    std::unique_ptr<Object> m_object;
    std::string m_problem;
};

class ModuleRecognizer final : public TextRecognizer {
  public:
    explicit ModuleRecognizer(std::string languages)
        : m_recognizer([languages = std::move(languages)](std::string& problem) {
              using Make = TextRecognizer* (*)(const char*);
              const Make make = maker<Make>(kMakeRecognizer, problem);
              return make != nullptr ? make(languages.c_str()) : nullptr;
          }) {}

    RecognizedText text(const QImage& image, int orientation, std::stop_token stop) override {
        std::string problem;
        if (TextRecognizer* loaded = m_recognizer.get(problem)) {
            return loaded->text(image, orientation, stop);
        }
        return RecognizedText{.error = problem};
    }

  private:
    Deferred<TextRecognizer> m_recognizer;
};

class ModuleScanner final : public DocumentScanner {
  public:
    bool available() override {
        std::string problem;
        DocumentScanner* loaded = m_scanner.get(problem);
        return loaded != nullptr && loaded->available();
    }

    Scan scan(std::stop_token stop) override {
        std::string problem;
        if (DocumentScanner* loaded = m_scanner.get(problem)) {
            return loaded->scan(stop);
        }
        return Scan{.error = problem};
    }

  private:
    Deferred<DocumentScanner> m_scanner{[](std::string& problem) {
        using Make = DocumentScanner* (*)();
        const Make make = maker<Make>(kMakeScanner, problem);
        return make != nullptr ? make() : nullptr;
    }};
};

} // namespace

std::string languagesFor(std::string_view localeId) {
    const icu::Locale locale(std::string(localeId).c_str());
    const std::string language = locale.getISO3Language();
    if (language.empty() || language == "eng" || !installed(language)) {
        return "eng";
    }
    return language + "+eng";
}

std::shared_ptr<TextRecognizer> recognizer(std::string languages) {
    return std::make_shared<ModuleRecognizer>(std::move(languages));
}

std::shared_ptr<DocumentScanner> scanner() {
    return std::make_shared<ModuleScanner>();
}

} // namespace plannery::ImagingModule
