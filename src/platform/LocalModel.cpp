#include "platform/LocalModel.h"

#include "finder/DraftJson.h"
#include "finder/EventPrompt.h"
#include "finder/EventSchema.h"
#include "platform/LocalHttp.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

namespace plannery {

namespace {

using Json = nlohmann::json;
using OnDeviceModel::ModelError;

constexpr const char* kDomain = "org.plannery.LocalModel.";

ModelError error(ModelError::Kind kind, const std::string& name, long long code) {
    return ModelError{.kind = kind, .domain = kDomain + name, .code = code};
}

Json parsed(const QByteArray& body) {
    return Json::parse(body.constData(), body.constData() + body.size(), nullptr, false);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// llama-server says "the request exceeds the available context size" (type
// "exceed_context_size_error"); OpenAI-style servers use the code "context_length_exceeded".
bool isContextError(const QByteArray& body) {
    const Json json = parsed(body);
    std::string words;
    if (json.is_object() && json.contains("error")) {
        const Json& error = json["error"];
        for (const char* key : {"message", "type", "code"}) {
            if (error.is_object() && error.contains(key) && error[key].is_string()) {
                words += error[key].get<std::string>() + " ";
            }
        }
        if (error.is_string()) {
            words = error.get<std::string>();
        }
    } else {
        words = body.toStdString();
    }
    words = lowered(words);
    return words.find("context") != std::string::npos;
}

QUrl endpoint(const QUrl& base, const QString& path) {
    QUrl url = base;
    QString prefix = url.path();
    while (prefix.endsWith(QLatin1Char('/'))) {
        prefix.chop(1);
    }
    // A URL given with its API folder ("http://127.0.0.1:11434/v1") is taken as it is.
    if (prefix.endsWith(QLatin1String("/v1"))) {
        prefix.chop(3);
    }
    url.setPath(prefix + path);
    return url;
}

} // namespace

LocalModel::LocalModel(LocalModelSettings settings) : m_settings(std::move(settings)) {}

std::optional<QUrl> LocalModel::baseURL(const LocalModelSettings& settings) {
    const QUrl url(QString::fromStdString(settings.url).trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        return std::nullopt;
    }
    if (!settings.allowOtherHost && !LocalHttp::isLoopback(url)) {
        return std::nullopt;
    }
    return url;
}

ServerAnswer LocalModel::ask(const LocalModelSettings& settings, std::stop_token stop) {
    if (QString::fromStdString(settings.url).trimmed().isEmpty()) {
        return ServerAnswer::noUrl;
    }
    const auto base = baseURL(settings);
    if (!base) {
        return ServerAnswer::otherProblem;
    }
    const LocalHttp::Answer answer =
        LocalHttp::get(endpoint(*base, QStringLiteral("/v1/models")), kStatusTimeout, stop);
    switch (answer.failure) {
    case LocalHttp::Answer::Failure::notAnswering:
        return ServerAnswer::notAnswering;
    case LocalHttp::Answer::Failure::cancelled:
    case LocalHttp::Answer::Failure::other:
        return ServerAnswer::otherProblem;
    case LocalHttp::Answer::Failure::none:
        break;
    }
    if (answer.status == 503) {
        return ServerAnswer::loading;
    }
    return answer.status >= 200 && answer.status < 300 ? ServerAnswer::ready
                                                       : ServerAnswer::otherProblem;
}

FinderStatus LocalModel::status() {
    return localModelStatus(ask(m_settings));
}

void LocalModel::prewarm(Instant now, const Calendar& calendar, std::stop_token stop) {
    if (!status().available) {
        return;
    }
    // One token from the instructions alone: the server loads its model and keeps the
    // instructions' reading for the first real request.
    const OnDeviceModel::Request request{.instructions = EventPrompt::instructions(now, calendar),
                                         .prompt = std::string(EventPrompt::kHeading),
                                         .limit = 0};
    Json body = Json::parse(requestBody(request, modelName(stop)).toStdString());
    body.erase("response_format");
    body["max_tokens"] = 1;
    const auto base = baseURL(m_settings);
    LocalHttp::post(endpoint(*base, QStringLiteral("/v1/chat/completions")),
                    QByteArray::fromStdString(body.dump()), kAnswerTimeout, stop);
}

EventFinder::Result LocalModel::events(std::string_view text, Instant now, const Calendar& calendar,
                                       std::stop_token stop) {
    if (stop.stop_requested()) {
        return EventFinder::Result{.cancelled = true};
    }
    const std::string model = modelName(stop);
    return OnDeviceModel::find(
        text, EventPrompt::instructions(now, calendar),
        [this, &model](const OnDeviceModel::Request& request, std::stop_token stop) {
            return send(request, model, stop);
        },
        EventFinder::Source::localModel, stop);
}

std::string LocalModel::modelName(std::stop_token stop) {
    const auto base = baseURL(m_settings);
    if (!base) {
        return {};
    }
    const LocalHttp::Answer answer =
        LocalHttp::get(endpoint(*base, QStringLiteral("/v1/models")), kStatusTimeout, stop);
    const Json json = parsed(answer.body);
    if (json.is_object() && json.contains("data") && json["data"].is_array() &&
        !json["data"].empty() && json["data"][0].is_object() && json["data"][0].contains("id") &&
        json["data"][0]["id"].is_string()) {
        return json["data"][0]["id"].get<std::string>();
    }
    return {};
}

QByteArray LocalModel::requestBody(const OnDeviceModel::Request& request,
                                   const std::string& model) {
    const std::string schema = EventSchema::jsonSchema();
    // The schema is also part of what the model reads, as its own instructions' last paragraph.
    Json body = {
        {"messages",
         Json::array(
             {{{"role", "system"},
               {"content", request.instructions +
                               "\n\nAnswer with JSON that follows this schema:\n" + schema}},
              {{"role", "user"}, {"content", request.prompt}}})},
        {"temperature", 0},
        {"stream", false},
        {"response_format",
         {{"type", "json_schema"},
          {"json_schema",
           {{"name", "OnDeviceEventList"}, {"strict", true}, {"schema", Json::parse(schema)}}}}},
    };
    if (!model.empty()) {
        body["model"] = model;
    }
    return QByteArray::fromStdString(body.dump(-1, ' ', false, Json::error_handler_t::replace));
}

OnDeviceModel::Answer LocalModel::readReply(int status, const QByteArray& body) {
    if (status == 503) {
        return error(ModelError::Kind::assetsUnavailable, "HTTPError", status);
    }
    if (status == 429) {
        return error(ModelError::Kind::rateLimited, "HTTPError", status);
    }
    if ((status == 400 || status == 413) && isContextError(body)) {
        return error(ModelError::Kind::exceededContextWindowSize, "HTTPError", status);
    }
    if (status < 200 || status >= 300) {
        return error(ModelError::Kind::other, "HTTPError", status);
    }
    const Json json = parsed(body);
    const Json* content = nullptr;
    if (json.is_object() && json.contains("choices") && json["choices"].is_array() &&
        !json["choices"].empty()) {
        const Json& choice = json["choices"][0];
        if (choice.is_object() && choice.contains("message") && choice["message"].is_object() &&
            choice["message"].contains("content") && choice["message"]["content"].is_string()) {
            content = &choice["message"]["content"];
        }
    }
    if (!content) {
        return error(ModelError::Kind::other, "AnswerError", 1);
    }
    auto list = DraftJson::readEventList(content->get<std::string>());
    if (!list) {
        return error(ModelError::Kind::other, "AnswerError", 2);
    }
    return *list;
}

OnDeviceModel::Answer LocalModel::send(const OnDeviceModel::Request& request,
                                       const std::string& model, std::stop_token stop) {
    const auto base = baseURL(m_settings);
    if (!base) {
        return error(ModelError::Kind::other, "SettingsError", 1);
    }
    const LocalHttp::Answer answer =
        LocalHttp::post(endpoint(*base, QStringLiteral("/v1/chat/completions")),
                        requestBody(request, model), kAnswerTimeout, stop);
    switch (answer.failure) {
    case LocalHttp::Answer::Failure::cancelled:
        return ModelError{.kind = ModelError::Kind::cancelled};
    case LocalHttp::Answer::Failure::notAnswering:
    case LocalHttp::Answer::Failure::other:
        return error(ModelError::Kind::other, "NetworkError", answer.networkError);
    case LocalHttp::Answer::Failure::none:
        break;
    }
    return readReply(answer.status, answer.body);
}

} // namespace plannery
