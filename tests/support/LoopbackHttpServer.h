#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QTcpServer;
class QTcpSocket;

namespace corvelix::test {

// A small HTTP/1.1 server on 127.0.0.1 for the web tests. It runs in the test's own thread:
// it answers while the code under test waits in its event loop. Each answer closes the
// connection.
class LoopbackHttpServer : public QObject {
public:
    struct Response {
        int status = 200;
        QByteArray body;
        QByteArray location; // sent as Location (redirects)
        bool silent = false; // accept the connection and never answer
        // Above 0: the head at once, then the body one byte at a time, this many ms apart.
        int trickleMs = 0;
        // 0 or more: the Content-Length announced instead of the body's (a longer one makes
        // a short answer, cut off when the connection closes).
        qint64 announcedLength = -1;
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer() override;

    // The answer for a path with its query ("/a/b?x=1"); other paths get a 404.
    void route(const QString& pathAndQuery, const Response& response);
    // "http://127.0.0.1:<port>"
    [[nodiscard]] QString baseUrl() const;

    // What was asked, in order.
    QStringList requestedPaths;
    QList<QByteArray> userAgents;
    // Called after each byte a trickling answer sends, with the count sent so far.
    std::function<void(int)> trickled;

    // A loopback port where nothing listens.
    static quint16 closedPort();

private:
    void serve(QTcpSocket* socket);

    QTcpServer* server_;
    QHash<QString, Response> routes_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

} // namespace corvelix::test
