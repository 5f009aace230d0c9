#include "platform/Settings.h"
#include "runtime/TextCodec.h"
#include "shell/Leer_HTML.h"
#include "shell/utiles.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QLocale>
#include <QScopeGuard>
#include <QTest>

using namespace corvelix;
using corvelix::test::LoopbackHttpServer;
using corvelix::test::ScriptedUi;

namespace {

QByteArray bytesOf(int size) {
    QByteArray bytes;
    bytes.reserve(size);
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>('a' + i % 26);
    return bytes;
}

// Points the exchange-rate service at `base` for one test.
auto rateServer(const QString& base) {
    qputenv("CORVELIX_RATE_SERVER", base.toUtf8());
    return qScopeGuard([] { qunsetenv("CORVELIX_RATE_SERVER"); });
}

const QString kRatePath = QStringLiteral("/api/DivisasNoJSON?codsim=DOL");

} // namespace

class tst_Leer_HTML : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
    }
private slots:

    // Bodies come back byte for byte, around the old 128-byte read size and well beyond it.
    void bodies_data() {
        QTest::addColumn<int>("size");
        for (int size : {0, 1, 128, 129, 100000})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }
    void bodies() {
        QFETCH(int, size);
        LoopbackHttpServer server;
        const QByteArray body = bytesOf(size);
        server.route(QStringLiteral("/pagina"), {200, body, {}, false});
        const QString text = Leer_HTML::leerPagina(server.baseUrl() + QStringLiteral("/pagina"));
        QCOMPARE(text, QString::fromLatin1(body));
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
        QCOMPARE(server.userAgents, QList<QByteArray>{"VB Program"});
    }

    void windows1252Body() {
        LoopbackHttpServer server;
        server.route(QStringLiteral("/acentos"),
                     {200, "Versi\xf3n a\xf1o \x80 \xe1\xe9\xed\xfa", {}, false});
        QCOMPARE(Leer_HTML::leerPagina(server.baseUrl() + QStringLiteral("/acentos")),
                 QStringLiteral("Versión año € áéíú"));
    }

    void redirectFollowed() {
        LoopbackHttpServer server;
        server.route(QStringLiteral("/viejo"),
                     {302, {}, server.baseUrl().toUtf8() + "/nuevo", false});
        server.route(QStringLiteral("/nuevo"), {200, "destino", {}, false});
        QCOMPARE(Leer_HTML::leerPagina(server.baseUrl() + QStringLiteral("/viejo")),
                 QStringLiteral("destino"));
        QCOMPARE(server.requestedPaths,
                 (QStringList{QStringLiteral("/viejo"), QStringLiteral("/nuevo")}));
    }

    // Every way of not getting the page shows the same box and gives "".
    void pageNotRead_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("404") << QStringLiteral("404");
        QTest::newRow("500") << QStringLiteral("500");
        QTest::newRow("closed port") << QStringLiteral("closed");
        QTest::newRow("no answer in time") << QStringLiteral("silent");
        QTest::newRow("trickles past the deadline") << QStringLiteral("trickle");
        QTest::newRow("short answer") << QStringLiteral("short");
        QTest::newRow("not an address") << QStringLiteral("garbage");
    }
    void pageNotRead() {
        QFETCH(QString, how);
        LoopbackHttpServer server;
        server.route(QStringLiteral("/error"), {500, "fallo interno", {}, false});
        server.route(QStringLiteral("/mudo"), {200, {}, {}, true});
        // A byte far more often than the deadline, the whole never within it.
        server.route(QStringLiteral("/goteo"), {200, QByteArray(100, 'x'), {}, false, 50});
        server.route(QStringLiteral("/corto"), {200, "mitad", {}, false, 0, 10});
        const int previous = Leer_HTML::setEsperaMaxima(300);
        const auto restore = qScopeGuard([&] { Leer_HTML::setEsperaMaxima(previous); });

        QString url;
        if (how == QLatin1String("404"))
            url = server.baseUrl() + QStringLiteral("/no/existe");
        else if (how == QLatin1String("500"))
            url = server.baseUrl() + QStringLiteral("/error");
        else if (how == QLatin1String("closed"))
            url = QStringLiteral("http://127.0.0.1:%1/x").arg(LoopbackHttpServer::closedPort());
        else if (how == QLatin1String("silent"))
            url = server.baseUrl() + QStringLiteral("/mudo");
        else if (how == QLatin1String("trickle"))
            url = server.baseUrl() + QStringLiteral("/goteo");
        else if (how == QLatin1String("short"))
            url = server.baseUrl() + QStringLiteral("/corto");
        else
            url = QStringLiteral("no es una direccion");

        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        QCOMPARE(Leer_HTML::leerPagina(url), QString());
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("Error opening Web page"));
        QCOMPARE(boxes[0].icon, MsgIcon::None);
        QCOMPARE(boxes[0].buttons, MsgButtons::Ok);
    }

    // Environment first, then the settings store, then the built-in address.
    void endpoints() {
        const auto clear = qScopeGuard([] {
            qunsetenv("CORVELIX_UPDATE_SERVER2");
            settings::saveSetting(QStringLiteral("config"),
                                  QStringLiteral("servidorActualizacion2"), QString());
        });
        QVERIFY(Leer_HTML::servidorActualizacion(1).startsWith(QLatin1String("https://")));
        QVERIFY(Leer_HTML::servidorActualizacion(2) != Leer_HTML::servidorActualizacion(1));
        QVERIFY(!Leer_HTML::servidorTipoCambio().isEmpty());

        settings::saveSetting(QStringLiteral("config"), QStringLiteral("servidorActualizacion2"),
                              QStringLiteral("http://guardado.example/"));
        QCOMPARE(
            Leer_HTML::urlActualizacion(true),
            QStringLiteral(
                "http://guardado.example/sistemas/clientes/Brasmo.Corvelix/actualizacion.dat"));
        qputenv("CORVELIX_UPDATE_SERVER2", "http://127.0.0.1:9");
        QCOMPARE(Leer_HTML::urlActualizacion(true),
                 QStringLiteral(
                     "http://127.0.0.1:9/sistemas/clientes/Brasmo.Corvelix/actualizacion.dat"));
        QVERIFY(
            !Leer_HTML::urlActualizacion(false).startsWith(QLatin1String("http://127.0.0.1:9")));
    }

    void rate_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("error"); // empty: no box

        const QString typeMismatch = QStringLiteral("No coinciden los tipos");
        QTest::newRow("comma locale")
            << "es_AR" << QByteArray("one|two|three|12.5") << 12.5 << QString();
        QTest::newRow("point locale")
            << "en_US" << QByteArray("one|two|three|12.5") << 12.5 << QString();
        QTest::newRow("more fields, line end")
            << "es_AR" << QByteArray("DOL|Dolar|2026-12-10|1045.75|x\r\n") << 1045.75 << QString();
        QTest::newRow("four fields, line end")
            << "en_US" << QByteArray("DOL|Dolar|2026-12-10|1045.75\r\n") << 1045.75 << QString();
        QTest::newRow("no bar") << "es_AR" << QByteArray("12.5") << 1.0 << typeMismatch;
        QTest::newRow("empty answer") << "es_AR" << QByteArray() << 1.0 << typeMismatch;
        QTest::newRow("three fields") << "es_AR" << QByteArray("a|b|12.5") << 1.0
                                      << QStringLiteral("El subíndice está fuera del intervalo");
        QTest::newRow("empty fourth") << "es_AR" << QByteArray("a|b|c|") << 1.0 << typeMismatch;
        QTest::newRow("letters") << "es_AR" << QByteArray("a|b|c|12x") << 1.0 << typeMismatch;
        // A decimal comma reads like the point, whatever the user's locale.
        QTest::newRow("decimal comma, comma locale")
            << "es_AR" << QByteArray("DOL|Dolar|2024|872,5|") << 872.5 << QString();
        QTest::newRow("decimal comma, point locale")
            << "en_US" << QByteArray("DOL|Dolar|2024|872,5|") << 872.5 << QString();
        QTest::newRow("decimal point, point locale")
            << "en_US" << QByteArray("DOL|Dolar|2024|872.5|") << 872.5 << QString();
        QTest::newRow("comma, three decimals")
            << "en_US" << QByteArray("a|b|c|1,250") << 1.25 << QString();
        QTest::newRow("whole number") << "es_AR" << QByteArray("a|b|c| 873 ") << 873.0 << QString();
        QTest::newRow("group and decimal")
            << "es_AR" << QByteArray("a|b|c|1.045,75") << 1.0 << typeMismatch;
        QTest::newRow("decimal and group")
            << "en_US" << QByteArray("a|b|c|1,045.75") << 1.0 << typeMismatch;
        QTest::newRow("two commas") << "es_AR" << QByteArray("a|b|c|1,2,3") << 1.0 << typeMismatch;
        QTest::newRow("sign") << "es_AR" << QByteArray("a|b|c|-872,5") << 1.0 << typeMismatch;
        QTest::newRow("exponent") << "en_US" << QByteArray("a|b|c|8.7e2") << 1.0 << typeMismatch;
        QTest::newRow("blank inside")
            << "es_AR" << QByteArray("a|b|c|872 ,5") << 1.0 << typeMismatch;
        QTest::newRow("separator alone") << "es_AR" << QByteArray("a|b|c|,") << 1.0 << typeMismatch;
    }
    void rate() {
        QFETCH(QString, locale);
        QFETCH(QByteArray, answer);
        QFETCH(double, rate);
        QFETCH(QString, error);
        QLocale::setDefault(QLocale(locale));
        LoopbackHttpServer server;
        server.route(kRatePath, {200, answer, {}, false});
        const auto env = rateServer(server.baseUrl());
        if (!error.isEmpty())
            ScriptedUi::current().answerBoxes({MsgResult::Ok});

        QCOMPARE(utiles::getTipoPase(QStringLiteral("DOL")), rate);
        QCOMPARE(server.requestedPaths, QStringList{kRatePath});
        const auto& boxes = ScriptedUi::current().boxes;
        if (error.isEmpty()) {
            QVERIFY(boxes.isEmpty());
        } else {
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].text,
                     QStringLiteral("Error al obtener Tipo de Pase de AFIP\n\nError: ") + error);
            QCOMPARE(boxes[0].icon, MsgIcon::Exclamation);
        }
    }

    // The fetch's own box comes first, then the rate's.
    void rateServerMissing() {
        LoopbackHttpServer server;
        const auto env = rateServer(server.baseUrl());
        ScriptedUi::current().answerBoxes({MsgResult::Ok, MsgResult::Ok});
        QCOMPARE(utiles::getTipoPase(QStringLiteral("EUR")), 1.0);
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].text, QStringLiteral("Error opening Web page"));
        QVERIFY(boxes[1].text.startsWith(QLatin1String("Error al obtener Tipo de Pase de AFIP")));
    }

    // A currency code cannot add parameters of its own to the query.
    void currencyCodeEncoded() {
        LoopbackHttpServer server;
        const auto env = rateServer(server.baseUrl());
        ScriptedUi::current().answerBoxes({MsgResult::Ok, MsgResult::Ok}); // nothing there
        utiles::getTipoPase(QStringLiteral("DOL&x=1 #"));
        QCOMPARE(server.requestedPaths,
                 QStringList{QStringLiteral("/api/DivisasNoJSON?codsim=DOL%26x%3D1%20%23")});
    }
};

CORVELIX_TEST(tst_Leer_HTML)
#include "tst_Leer_HTML.moc"
