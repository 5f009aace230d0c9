#include "platform/ErrorReasons.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace corvelix;

// The reasons of the failures no test can bring about on this machine (the others are
// checked where they happen: the web reads, the RET files, the programs run).
class tst_ErrorReasons : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void reasons_data() {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("expected");
        QTest::newRow("file: read") << fileErrorReason(QFileDevice::ReadError)
                                    << "no se pudo leer su contenido";
        QTest::newRow("file: open") << fileErrorReason(QFileDevice::OpenError)
                                    << "no se pudo abrir";
        QTest::newRow("file: resources")
            << fileErrorReason(QFileDevice::ResourceError)
            << "faltan recursos del sistema (memoria, espacio en disco o archivos abiertos)";
        QTest::newRow("file: unspecified") << fileErrorReason(QFileDevice::UnspecifiedError)
                                           << "el sistema no lo permite";
        QTest::newRow("web: host not found")
            << networkErrorReason(QNetworkReply::HostNotFoundError) << "no se encontró el servidor";
        QTest::newRow("web: secure connection")
            << networkErrorReason(QNetworkReply::SslHandshakeFailedError)
            << "no se pudo establecer una conexión segura con el servidor";
        QTest::newRow("web: proxy") << networkErrorReason(QNetworkReply::ProxyNotFoundError)
                                    << "no se pudo usar el servidor proxy";
        QTest::newRow("web: forbidden")
            << networkErrorReason(QNetworkReply::ContentAccessDenied, 403)
            << "el servidor negó el acceso a la página (estado 403)";
        QTest::newRow("web: unknown") << networkErrorReason(QNetworkReply::UnknownNetworkError)
                                      << "falló la conexión con el servidor";
        QTest::newRow("program: crashed") << processErrorReason(QProcess::Crashed)
                                          << "el programa terminó de forma anormal";
        QTest::newRow("program: unknown") << processErrorReason(QProcess::UnknownError)
                                          << "falló la ejecución del programa";
        QTest::newRow("xml: unexpected element")
            << xmlErrorReason(QXmlStreamReader::UnexpectedElementError)
            << "hay un elemento inesperado";
    }
    void reasons() {
        QFETCH(QString, reason);
        QFETCH(QString, expected);
        QCOMPARE(reason, expected);
    }
};

CORVELIX_TEST(tst_ErrorReasons)
#include "tst_ErrorReasons.moc"
