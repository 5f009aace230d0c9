#include "platform/HttpGet.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace corvelix;
using corvelix::test::LoopbackHttpServer;

// The plain GET behind every web page the program reads.
class tst_HttpGet : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    // Each way a read fails, with the library's code and our reason for it.
    void failures_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("timedOut");
        QTest::addColumn<QString>("error");
        using E = QNetworkReply;
        QTest::newRow("refused") << "refused" << int(E::ConnectionRefusedError) << 0 << false
                                 << "el servidor rechazó la conexión";
        QTest::newRow("404") << "/falta" << int(E::ContentNotFoundError) << 404 << false
                             << "la página no existe en el servidor (estado 404)";
        QTest::newRow("500") << "/error" << int(E::InternalServerError) << 500 << false
                             << "el servidor respondió con un error (estado 500)";
        QTest::newRow("silent") << "/mudo" << int(E::TimeoutError) << 0 << true
                                << "el servidor no respondió a tiempo";
        QTest::newRow("trickles") << "/goteo" << int(E::TimeoutError) << 0 << true
                                  << "el servidor no respondió a tiempo";
        QTest::newRow("cut short") << "/corto" << int(E::RemoteHostClosedError) << 200 << false
                                   << "el servidor cerró la conexión antes de terminar la "
                                      "respuesta";
        QTest::newRow("not an address") << "garbage" << int(E::ProtocolUnknownError) << 0 << false
                                        << "la dirección no es válida: no es una direccion";
    }
    void failures() {
        QFETCH(QString, how);
        QFETCH(int, code);
        QFETCH(int, status);
        QFETCH(bool, timedOut);
        QFETCH(QString, error);
        LoopbackHttpServer server;
        server.route(QStringLiteral("/error"), {500, "fallo", {}, false});
        server.route(QStringLiteral("/mudo"), {200, {}, {}, true});
        server.route(QStringLiteral("/goteo"), {200, QByteArray(100, 'x'), {}, false, 50});
        server.route(QStringLiteral("/corto"), {200, "mitad", {}, false, 0, 10});
        QUrl url;
        if (how == QLatin1String("refused"))
            url = QStringLiteral("http://127.0.0.1:%1/x").arg(LoopbackHttpServer::closedPort());
        else if (how == QLatin1String("garbage"))
            url = QUrl(QStringLiteral("no es una direccion"));
        else
            url = server.baseUrl() + how;
        int bytes = 0;
        server.trickled = [&](int sent) { bytes = sent; };

        const HttpAnswer answer = httpGet(url, "prueba", 2000);
        QVERIFY(!answer.ok);
        QVERIFY(!answer.abandoned);
        QCOMPARE(int(answer.code), code);
        QCOMPARE(answer.status, status);
        QCOMPARE(answer.timedOut, timedOut);
        QCOMPARE(answer.error, error);
        QVERIFY(answer.body.isEmpty());
        if (how == QLatin1String("/goteo"))
            QVERIFY(bytes >= 2); // bytes kept coming: one deadline for the whole read
    }

    // Giving up ends the wait at once, whatever the deadline.
    void abandoned() {
        LoopbackHttpServer server;
        server.route(QStringLiteral("/goteo"), {200, QByteArray(1000, 'x'), {}, false, 20});
        HttpAbandon abandon;
        server.trickled = [&](int sent) {
            if (sent == 2)
                abandon.abandon();
        };
        const HttpAnswer answer =
            httpGet(QUrl(server.baseUrl() + QStringLiteral("/goteo")), "prueba", 600000, &abandon);
        QVERIFY(!answer.ok);
        QVERIFY(answer.abandoned);
        QVERIFY(!answer.timedOut);
        QCOMPARE(answer.code, QNetworkReply::OperationCanceledError);
        QVERIFY(abandon.abandoned());

        // Given up before it starts: nothing is asked.
        const HttpAnswer again =
            httpGet(QUrl(server.baseUrl() + QStringLiteral("/goteo")), "prueba", 600000, &abandon);
        QVERIFY(again.abandoned);
        QCOMPARE(server.requestedPaths.size(), 1);
    }

    void wholeAnswer() {
        LoopbackHttpServer server;
        server.route(QStringLiteral("/goteo"), {200, "1</>2</>3", {}, false, 5});
        const HttpAnswer answer =
            httpGet(QUrl(server.baseUrl() + QStringLiteral("/goteo")), "prueba", 600000);
        QVERIFY(answer.ok);
        QCOMPARE(answer.status, 200);
        QCOMPARE(answer.body, QByteArray("1</>2</>3"));
        QVERIFY(answer.error.isEmpty());
    }
};

CORVELIX_TEST(tst_HttpGet)
#include "tst_HttpGet.moc"
