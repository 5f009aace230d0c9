#include "platform/HttpGet.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>

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

HttpAnswer httpGet(const QUrl& url, const QByteArray& userAgent, int quietLimitMs) {
    HttpAnswer answer;
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) {
        answer.error = QStringLiteral("invalid address: ") + url.toString();
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
    request.setTransferTimeout(quietLimitMs);

    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError) {
        answer.error = reply->errorString();
        return answer;
    }
    answer.ok = true;
    answer.body = reply->readAll();
    return answer;
}

} // namespace corvelix
