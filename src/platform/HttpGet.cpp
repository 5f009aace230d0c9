#include "platform/HttpGet.h"

#include "platform/ErrorReasons.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QTimer>

#include <memory>

namespace corvelix {

namespace {

// The system's proxy, but never for loopback: a proxy cannot reach this machine's servers.
class SystemProxyExceptLoopback final : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        const QString host = query.peerHostName();
        const QHostAddress address(host);
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
            (!address.isNull() && address.isLoopback()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

} // namespace

void HttpAbandon::abandon() {
    abandoned_ = true;
    if (stop_)
        stop_();
}

HttpAnswer httpGet(const QUrl& url, const QByteArray& userAgent, int deadlineMs,
                   HttpAbandon* abandon) {
    HttpAnswer answer;
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) {
        answer.code = QNetworkReply::ProtocolUnknownError;
        answer.error = QStringLiteral("la dirección no es válida: ") + url.toString();
        return answer;
    }
    if (abandon != nullptr && abandon->abandoned()) {
        answer.abandoned = true;
        answer.code = QNetworkReply::OperationCanceledError;
        answer.error = QStringLiteral("la lectura se abandonó");
        return answer;
    }

    QNetworkAccessManager manager;
    manager.setProxyFactory(new SystemProxyExceptLoopback); // owned by the manager
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // No transfer timeout: it starts again with every byte, so a server that trickles would
    // hold the read for ever. The deadline below covers the whole read.

    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        answer.timedOut = true;
        reply->abort();
        loop.quit();
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (abandon != nullptr)
        abandon->stop_ = [&] {
            answer.abandoned = true;
            loop.quit();
        };
    const auto detach = qScopeGuard([abandon] {
        if (abandon != nullptr)
            abandon->stop_ = nullptr;
    });

    if (!reply->isFinished()) {
        deadline.start(deadlineMs);
        // Only a caller that can give the read up is ready for the user meanwhile.
        loop.exec(abandon != nullptr ? QEventLoop::AllEvents
                                     : QEventLoop::ExcludeUserInputEvents);
        deadline.stop();
    }
    // Ended by the deadline, by the user, or by the application quitting its loops.
    if (!reply->isFinished() || answer.abandoned || answer.timedOut) {
        reply->disconnect(&loop);
        reply->abort();
        answer.status = 0;
        if (answer.abandoned) {
            answer.code = QNetworkReply::OperationCanceledError;
            answer.error = QStringLiteral("la lectura se abandonó");
        } else {
            answer.timedOut = true;
            answer.code = QNetworkReply::TimeoutError;
            answer.error = networkErrorReason(QNetworkReply::TimeoutError);
        }
        return answer;
    }

    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.code = reply->error();
    if (answer.code != QNetworkReply::NoError) {
        answer.error = networkErrorReason(answer.code, answer.status);
        return answer;
    }
    answer.ok = true;
    answer.body = reply->readAll();
    return answer;
}

} // namespace corvelix
