#include "platform/LocalHttp.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <memory>
#include <optional>

namespace plannery::LocalHttp {

namespace {

Answer send(const QUrl& url, const std::optional<QByteArray>& json,
            std::chrono::milliseconds timeout, std::stop_token stop) {
    if (stop.stop_requested()) {
        return Answer{.failure = Answer::Failure::cancelled};
    }
    QNetworkAccessManager manager;
    // A proxy set for the web must not carry requests meant for this computer elsewhere.
    if (isLoopback(url)) {
        manager.setProxy(QNetworkProxy::NoProxy);
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply;
    if (json) {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        reply.reset(manager.post(request, *json));
    } else {
        reply.reset(manager.get(request));
    }
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    {
        // Called on the thread that asks to stop: the loop is told through its event queue.
        std::stop_callback onStop(stop, [&loop] {
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        if (!reply->isFinished() && !stop.stop_requested()) {
            loop.exec();
        }
    }
    if (stop.stop_requested()) {
        reply->abort();
        return Answer{.failure = Answer::Failure::cancelled};
    }
    Answer answer;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        answer.status = status.toInt();
        answer.body = reply->readAll();
        return answer;
    }
    answer.networkError = static_cast<int>(reply->error());
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError: // the transfer timed out
    case QNetworkReply::RemoteHostClosedError:
        answer.failure = Answer::Failure::notAnswering;
        break;
    default:
        answer.failure = Answer::Failure::other;
        break;
    }
    return answer;
}

} // namespace

bool isLoopback(const QUrl& url) {
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

Answer get(const QUrl& url, std::chrono::milliseconds timeout, std::stop_token stop) {
    return send(url, std::nullopt, timeout, stop);
}

Answer post(const QUrl& url, const QByteArray& json, std::chrono::milliseconds timeout,
            std::stop_token stop) {
    return send(url, json, timeout, stop);
}

} // namespace plannery::LocalHttp
