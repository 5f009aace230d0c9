#include "support/LoopbackHttpServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace corvelix::test {

namespace {

QByteArray reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer() : server_(new QTcpServer(this)) {
    server_->listen(QHostAddress::LocalHost, 0);
    connect(server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_->nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        }
    });
}

LoopbackHttpServer::~LoopbackHttpServer() = default;

void LoopbackHttpServer::route(const QString& pathAndQuery, const Response& response) {
    routes_.insert(pathAndQuery, response);
}

QString LoopbackHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(server_->serverPort());
}

quint16 LoopbackHttpServer::closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void LoopbackHttpServer::serve(QTcpSocket* socket) {
    QByteArray& request = pending_[socket];
    request += socket->readAll();
    const qsizetype end = request.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> lines = request.left(end).split('\n');
    pending_.remove(socket);

    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    const QString path = QString::fromLatin1(first.value(1));
    requestedPaths << path;
    for (const QByteArray& line : lines)
        if (line.toLower().startsWith("user-agent:"))
            userAgents << line.mid(11).trimmed();

    Response response;
    if (routes_.contains(path)) {
        response = routes_.value(path);
    } else {
        response.status = 404;
        response.body = "<html><body>no existe</body></html>";
    }
    if (response.silent)
        return;

    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason(response.status) + "\r\n";
    head += "Content-Type: text/plain\r\n";
    const qint64 length =
        response.announcedLength >= 0 ? response.announcedLength : response.body.size();
    head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    if (!response.location.isEmpty())
        head += "Location: " + response.location + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (response.trickleMs <= 0) {
        socket->write(head + response.body);
        socket->disconnectFromHost();
        return;
    }
    socket->write(head);
    auto* timer = new QTimer(socket);
    connect(socket, &QTcpSocket::disconnected, timer, &QTimer::stop);
    connect(timer, &QTimer::timeout, this,
            [this, socket, timer, body = response.body, sent = 0]() mutable {
                if (sent >= body.size()) {
                    timer->stop();
                    socket->disconnectFromHost();
                    return;
                }
                socket->write(body.mid(sent, 1));
                ++sent;
                if (trickled)
                    trickled(sent);
            });
    timer->start(response.trickleMs);
}

} // namespace corvelix::test
