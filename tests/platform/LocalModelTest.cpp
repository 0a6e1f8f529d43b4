#include "platform/LocalModel.h"

#include "ScriptedServer.h"
#include "TestSupport.h"
#include "finder/EventSuggestion.h"

#include <QFutureWatcher>
#include <QSignalSpy>
#include <QtConcurrent>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace plannery {
namespace {

using test::ScriptedServer;
using Json = nlohmann::json;

const QByteArray kModels = R"({"object":"list","data":[{"id":"qwen2.5-3b","object":"model"}]})";

// A chat answer whose message is `content`, as llama-server and Ollama write it.
QByteArray chatAnswer(const std::string& content) {
    const Json answer = {
        {"choices", Json::array({{{"index", 0},
                                  {"finish_reason", "stop"},
                                  {"message", {{"role", "assistant"}, {"content", content}}}}})}};
    return QByteArray::fromStdString(answer.dump());
}

// A server that lists one model and answers chats as `chat` says.
ScriptedServer::Script modelServer(std::function<ScriptedServer::Reply(const Json&)> chat) {
    return [chat](const ScriptedServer::Request& request) -> ScriptedServer::Reply {
        if (request.path == "/v1/models") {
            return {.status = 200, .body = kModels};
        }
        if (request.path == "/v1/chat/completions") {
            return chat(Json::parse(request.body.toStdString()));
        }
        return {.status = 404, .body = R"({"error":"not found"})"};
    };
}

// Runs the engine on a worker while this thread serves, and waits for its result.
EventFinder::Result find(LocalModel& engine, const std::string& text, std::stop_source stop = {}) {
    const Calendar calendar = test::berlin();
    const Instant now = test::at(calendar, 2026, 3, 2, 18);
    QFutureWatcher<EventFinder::Result> watcher;
    QSignalSpy finished(&watcher, &QFutureWatcherBase::finished);
    watcher.setFuture(QtConcurrent::run([&engine, text, now, calendar, token = stop.get_token()] {
        return engine.events(text, now, calendar, token);
    }));
    EXPECT_TRUE(finished.wait(30000));
    return watcher.result();
}

FinderStatus statusOf(LocalModel& engine) {
    QFutureWatcher<FinderStatus> watcher;
    QSignalSpy finished(&watcher, &QFutureWatcherBase::finished);
    watcher.setFuture(QtConcurrent::run([&engine] { return engine.status(); }));
    EXPECT_TRUE(finished.wait(30000));
    return watcher.result();
}

LocalModel engineFor(const ScriptedServer& server) {
    return LocalModel(LocalModelSettings{.url = server.url().toStdString()});
}

TEST(LocalModelTest, SendsTheInstructionsTextAndSchemaAndReadsTheEvents) {
    Json sent;
    ScriptedServer server(modelServer([&](const Json& body) -> ScriptedServer::Reply {
        sent = body;
        return {.status = 200,
                .body = chatAnswer(
                    R"({"events":[{"title":"Fall Festival","startDate":"2026-10-03",)"
                    R"("startTime":"14:00","endDate":"","endTime":"17:00","timeZone":"",)"
                    R"("location":"Town Square","notes":""}]})")};
    }));
    LocalModel engine = engineFor(server);
    EXPECT_TRUE(statusOf(engine).available);

    const EventFinder::Result result = find(engine, "FALL FESTIVAL\nSat Oct 3, 2-5pm");
    ASSERT_FALSE(result.failure) << result.failure->message;
    ASSERT_EQ(result.drafts.size(), 1u);
    EXPECT_EQ(result.drafts[0], (EventDraft{.title = "Fall Festival",
                                            .startDate = "2026-10-03",
                                            .startTime = "14:00",
                                            .endTime = "17:00",
                                            .location = "Town Square"}));

    // Greedy, with the schema as structured output, for the model the server lists.
    EXPECT_EQ(sent["temperature"], 0);
    EXPECT_EQ(sent["model"], "qwen2.5-3b");
    EXPECT_EQ(sent["response_format"]["type"], "json_schema");
    EXPECT_EQ(sent["response_format"]["json_schema"]["schema"]["properties"]["events"]["maxItems"],
              12);
    const std::string instructions = sent["messages"][0]["content"];
    EXPECT_EQ(sent["messages"][0]["role"], "system");
    EXPECT_NE(instructions.find("Today is Monday, 03/02/2026 (2026-03-02). The user's time zone "
                                "is Europe/Berlin."),
              std::string::npos);
    EXPECT_EQ(sent["messages"][1]["content"],
              "Text from the image:\n\nFALL FESTIVAL\nSat Oct 3, 2-5pm");
}

TEST(LocalModelTest, AvailabilityFollowsWhatTheServerSays) {
    const auto sentence = [](ServerAnswer answer) { return localModelStatus(answer).message; };

    LocalModel noURL(LocalModelSettings{.url = ""});
    EXPECT_EQ(statusOf(noURL).message, sentence(ServerAnswer::noUrl));
    EXPECT_EQ(statusOf(noURL).message, "The local model isn't available on this device.");

    LocalModel refused(LocalModelSettings{.url = "http://127.0.0.1:" +
                                                 std::to_string(ScriptedServer::closedPort())});
    EXPECT_EQ(statusOf(refused).message,
              "The local model is turned off. Start its server, or choose the Built-in Reader in "
              "Settings > Events from Images.");

    ScriptedServer loading([](const ScriptedServer::Request&) -> ScriptedServer::Reply {
        return {.status = 503, .body = R"({"error":{"code":503,"message":"Loading model"}})"};
    });
    LocalModel starting = engineFor(loading);
    EXPECT_EQ(statusOf(starting).message, "The local model is still getting ready on this device.");
    // A model that starts loading between the look and the request says so too.
    EXPECT_EQ(find(starting, "Lunch Friday noon").failure->message,
              "The local model is still getting ready on this device.");

    ScriptedServer broken([](const ScriptedServer::Request&) -> ScriptedServer::Reply {
        return {.status = 500, .body = "{}"};
    });
    LocalModel failing = engineFor(broken);
    EXPECT_EQ(statusOf(failing).message, "The local model isn't available right now.");
    EXPECT_EQ(find(failing, "Lunch").failure->message,
              "The local model couldn't find the events (HTTPError 500).");
}

TEST(LocalModelTest, OnlyThisComputerUnlessAnotherHostIsAllowed) {
    const auto allowed = [](std::string url, bool other) {
        return LocalModel::baseURL(LocalModelSettings{.url = url, .allowOtherHost = other})
            .has_value();
    };
    EXPECT_TRUE(allowed("http://127.0.0.1:8080", false));
    EXPECT_TRUE(allowed("http://localhost:11434/v1", false));
    EXPECT_TRUE(allowed("http://[::1]:1234", false));
    EXPECT_TRUE(allowed("http://127.8.9.10:8080", false));
    EXPECT_FALSE(allowed("http://192.0.2.7:8080", false));
    EXPECT_FALSE(allowed("http://models.example.org", false));
    EXPECT_TRUE(allowed("http://192.0.2.7:8080", true));
    EXPECT_FALSE(allowed("ftp://127.0.0.1", true));
    EXPECT_FALSE(allowed("not a url", true));

    // Refused without a single request: nothing leaves the computer.
    LocalModel elsewhere(LocalModelSettings{.url = "http://192.0.2.7:8080"});
    EXPECT_EQ(statusOf(elsewhere).message, "The local model isn't available right now.");
}

TEST(LocalModelTest, TooMuchTextIsHalvedUntilItFitsOrGivesUp) {
    std::vector<std::size_t> promptLengths;
    bool fitsAt1250 = false;
    ScriptedServer server(modelServer([&](const Json& body) -> ScriptedServer::Reply {
        const std::string prompt = body["messages"][1]["content"];
        promptLengths.push_back(prompt.size() - std::string("Text from the image:\n\n").size());
        if (fitsAt1250 && promptLengths.back() <= 1250) {
            return {.status = 200, .body = chatAnswer(R"({"events":[]})")};
        }
        return {.status = 400,
                .body = R"({"error":{"code":400,"message":"the request exceeds the available )"
                        R"(context size, try increasing it","type":"exceed_context_size_error"}})"};
    }));
    LocalModel engine = engineFor(server);
    const std::string text(12000, 'x');

    EXPECT_EQ(find(engine, text).failure->message, "There's too much text for the local model.");
    EXPECT_EQ(promptLengths, (std::vector<std::size_t>{5000, 2500, 1250, 625}));

    promptLengths.clear();
    fitsAt1250 = true;
    const EventFinder::Result fitted = find(engine, text);
    EXPECT_FALSE(fitted.failure);
    EXPECT_EQ(promptLengths, (std::vector<std::size_t>{5000, 2500, 1250}));
}

TEST(LocalModelTest, CancellingAHangingServerEndsTheRequest) {
    ScriptedServer server(
        modelServer([](const Json&) { return ScriptedServer::Reply{.hang = true}; }));
    LocalModel engine = engineFor(server);
    std::stop_source stop;
    // The request is stopped as soon as the server has it; the server never answers, so only the
    // cancellation can end it.
    QObject::connect(&server, &ScriptedServer::requestReceived, &server, [&] {
        if (server.requests().back().path == "/v1/chat/completions") {
            stop.request_stop();
        }
    });
    const EventFinder::Result result = find(engine, "Lunch on Friday at noon", stop);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.failure);
}

TEST(LocalModelTest, AnswersThatAreNotEventsGiveASentenceOrNothing) {
    std::string content;
    ScriptedServer server(modelServer([&](const Json&) -> ScriptedServer::Reply {
        if (content == "<broken>") {
            return {.status = 200, .body = "{\"choices\": [ {"};
        }
        return {.status = 200, .body = chatAnswer(content)};
    }));
    LocalModel engine = engineFor(server);

    content = "Sure! Here are the events you asked for.";
    EXPECT_EQ(find(engine, "x").failure->message,
              "The local model couldn't find the events (AnswerError 2).");
    content = "<broken>";
    EXPECT_EQ(find(engine, "x").failure->message,
              "The local model couldn't find the events (AnswerError 1).");

    // Impossible and unworked dates are drafts, but no suggestion is made of them; of 500 events
    // only the schema's twelve are read.
    Json events = Json::array();
    events.push_back({{"title", "Ghost"}, {"startDate", "2026-02-30"}, {"startTime", "10:00"}});
    events.push_back({{"title", "Vague"}, {"startDate", "next Friday"}});
    for (int i = 0; i < 500; ++i) {
        events.push_back({{"title", "Class " + std::to_string(i)}, {"startDate", "2026-04-01"}});
    }
    content = Json{{"events", events}}.dump();
    const EventFinder::Result many = find(engine, "x");
    ASSERT_EQ(many.drafts.size(), 12u);
    const Calendar calendar = test::berlin();
    const auto suggestions = EventSuggestion::suggestions(
        many.drafts, test::at(calendar, 2026, 3, 2), calendar, "text 2026");
    EXPECT_EQ(suggestions.size(), 10u);
    EXPECT_EQ(suggestions.front().title, "Class 0");
}

} // namespace
} // namespace plannery
