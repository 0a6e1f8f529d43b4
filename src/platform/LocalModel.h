#pragma once

#include "finder/FinderEngine.h"
#include "finder/OnDeviceModel.h"

#include <QUrl>

#include <chrono>
#include <string>
#include <string_view>

namespace plannery {

// Where the local model's server is, as the user set it in Settings.
struct LocalModelSettings {
    static constexpr std::string_view kDefaultURL = "http://127.0.0.1:8080";

    std::string url{kDefaultURL};
    // Another computer may be asked only when the user allows it: the text leaves this one.
    bool allowOtherHost = false;

    friend bool operator==(const LocalModelSettings&, const LocalModelSettings&) = default;
};

// The "Local Model" engine: a language model server on this computer that speaks the
// OpenAI-compatible chat API with JSON-schema structured output (llama.cpp's llama-server,
// Ollama, LM Studio). It is sent the finder's instructions and the text, asked for the event
// schema at temperature 0, and its answers and failures are read the way OnDeviceModel's rules
// say (less text after a context-window failure, one sentence per kind of failure).
class LocalModel final : public FinderEngine {
  public:
    explicit LocalModel(LocalModelSettings settings);

    // The server's base URL, or none when no URL is set, it is not http(s), or it names another
    // computer that the settings do not allow.
    static std::optional<QUrl> baseURL(const LocalModelSettings& settings);
    // What the server says about itself now (asked at its model list).
    static ServerAnswer ask(const LocalModelSettings& settings, std::stop_token stop = {});

    EventFinder::Source source() const override { return EventFinder::Source::localModel; }
    FinderStatus status() override;
    void prewarm(Instant now, const Calendar& calendar, std::stop_token stop) override;
    EventFinder::Result events(std::string_view text, Instant now, const Calendar& calendar,
                               std::stop_token stop) override;

    // How long the server may stay silent: a quick look for the status, and minutes for an
    // answer (a model on a processor reads a page slowly).
    static constexpr std::chrono::milliseconds kStatusTimeout{3000};
    static constexpr std::chrono::milliseconds kAnswerTimeout{600'000};

    // The chat request for one attempt (the body sent), and the reading of the server's reply.
    static QByteArray requestBody(const OnDeviceModel::Request& request, const std::string& model);
    static OnDeviceModel::Answer readReply(int status, const QByteArray& body);

  private:
    OnDeviceModel::Answer send(const OnDeviceModel::Request& request, const std::string& model,
                               std::stop_token stop);
    // The first model the server lists (Ollama needs one named; the others take any).
    std::string modelName(std::stop_token stop);

    LocalModelSettings m_settings;
};

} // namespace plannery
