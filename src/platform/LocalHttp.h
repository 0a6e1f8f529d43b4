#pragma once

#include <QByteArray>
#include <QUrl>

#include <chrono>
#include <stop_token>

// Blocking HTTP requests for code on worker threads (and for the command line): each request
// runs its own event loop on the calling thread, gives up after a time without progress, and
// ends within a moment of `stop` being requested.
namespace plannery::LocalHttp {

struct Answer {
    enum class Failure {
        none,         // the server answered; `status` and `body` hold its answer
        notAnswering, // nothing listens there, the host is unknown, or it went silent
        cancelled,
        other, // any other network failure
    };

    Failure failure = Failure::none;
    int status = 0; // the HTTP status when the server answered
    QByteArray body{};
    int networkError = 0; // QNetworkReply's code when the request failed
};

// Whether a URL names this computer: "localhost" or a loopback address (127.0.0.0/8, ::1).
bool isLoopback(const QUrl& url);

Answer get(const QUrl& url, std::chrono::milliseconds timeout, std::stop_token stop = {});
// Sends a JSON body.
Answer post(const QUrl& url, const QByteArray& json, std::chrono::milliseconds timeout,
            std::stop_token stop = {});

} // namespace plannery::LocalHttp
