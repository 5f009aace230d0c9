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
        QTest::newRow("file: read")
            << fileErrorReason(QFileDevice::ReadError) << "no se pudo leer su contenido";
        QTest::newRow("file: open")
            << fileErrorReason(QFileDevice::OpenError) << "no se pudo abrir";
        QTest::newRow("file: resources")
            << fileErrorReason(QFileDevice::ResourceError)
            << "faltan recursos del sistema (memoria, espacio en disco o archivos abiertos)";
        QTest::newRow("file: unspecified")
            << fileErrorReason(QFileDevice::UnspecifiedError) << "el sistema no lo permite";
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
        QTest::newRow("program: crashed")
            << processErrorReason(QProcess::Crashed) << "el programa terminó de forma anormal";
        QTest::newRow("program: unknown")
            << processErrorReason(QProcess::UnknownError) << "falló la ejecución del programa";
        QTest::newRow("xml: unexpected element")
            << xmlErrorReason(QXmlStreamReader::UnexpectedElementError)
            << "hay un elemento inesperado";

        const QString busy = QStringLiteral(
            "otro programa está usando el catálogo; intente de nuevo en unos momentos");
        QTest::newRow("sqlite: locked") << sqliteErrorReason(6, "database table is locked") << busy;
        QTest::newRow("sqlite: busy, stale snapshot")
            << sqliteErrorReason(517, "database is locked") << busy;
        QTest::newRow("sqlite: full")
            << sqliteErrorReason(13, "database or disk is full")
            << "disco lleno: no hay lugar para guardar los cambios del catálogo";
        QTest::newRow("sqlite: read-only")
            << sqliteErrorReason(8, "attempt to write a readonly database")
            << "el catálogo es de solo lectura: el archivo o su carpeta no admiten cambios";
        QTest::newRow("sqlite: read-only, folder refuses the shared memory file")
            << sqliteErrorReason(1288, "attempt to write a readonly database")
            << "el catálogo es de solo lectura: el archivo o su carpeta no admiten cambios";
        // The program's own local database is named as such, never as the catalog.
        const auto local = [](int code, const char* text) {
            return sqliteErrorReason(code, QString::fromLatin1(text), SqliteFile::LocalDatabase);
        };
        QTest::newRow("local: busy") << local(5, "database is locked")
                                     << "otro programa está usando la base de datos local; "
                                        "intente de nuevo en unos momentos";
        QTest::newRow("local: read-only")
            << local(8, "attempt to write a readonly database")
            << "la base de datos local es de solo lectura: el archivo o su carpeta no admiten "
               "cambios";
        QTest::newRow("local: damaged") << local(11, "database disk image is malformed")
                                        << "el archivo de la base de datos local está dañado";
        QTest::newRow("local: input or output") << local(10, "disk I/O error")
                                                << "falló la lectura o la escritura del archivo de "
                                                   "la base de datos local";
        QTest::newRow("local: missing table")
            << local(1, "no such table: SIMIGlobalItem")
            << "falta la tabla SIMIGlobalItem en la base de datos local";
        QTest::newRow("sqlite: damaged")
            << sqliteErrorReason(11, "database disk image is malformed")
            << "el archivo del catálogo está dañado";
        QTest::newRow("sqlite: missing column")
            << sqliteErrorReason(1, "no such column: cartpayori")
            << "falta la columna cartpayori en el catálogo";
        QTest::newRow("sqlite: missing table") << sqliteErrorReason(1, "no such table: main.DCN")
                                               << "falta la tabla main.DCN en el catálogo";
        QTest::newRow("sqlite: other statement error")
            << sqliteErrorReason(1, "near \"fron\": syntax error")
            << "el catálogo no pudo ejecutar la instrucción";
        QTest::newRow("sqlite: repeated key")
            << sqliteErrorReason(2067, "UNIQUE constraint failed: DDT.IDDT")
            << "ya hay una fila con la misma clave en el catálogo (DDT.IDDT)";
        QTest::newRow("sqlite: missing value")
            << sqliteErrorReason(1299, "NOT NULL constraint failed: ART.NART")
            << "falta un valor obligatorio (ART.NART)";
        QTest::newRow("sqlite: trigger's own message")
            << sqliteErrorReason(1811, "Falta el despacho") << "Falta el despacho";
        QTest::newRow("sqlite: other rule") << sqliteErrorReason(275, "CHECK constraint failed: x")
                                            << "el cambio no cumple una regla del catálogo (x)";
        QTest::newRow("sqlite: unknown code")
            << sqliteErrorReason(99, "whatever") << "el motor del catálogo informó el error 99";

        QTest::newRow("server: link lost")
            << odbcErrorReason("08S01") << "se perdió la conexión con el servidor del catálogo";
        QTest::newRow("server: cannot connect")
            << odbcErrorReason("08001") << "se perdió la conexión con el servidor del catálogo";
        QTest::newRow("server: time-out")
            << odbcErrorReason("HYT00")
            << "el servidor del catálogo no respondió a tiempo; intente de nuevo";
        QTest::newRow("server: connection time-out")
            << odbcErrorReason("HYT01")
            << "el servidor del catálogo no respondió a tiempo; intente de nuevo";
        QTest::newRow("server: deadlock")
            << odbcErrorReason("40001")
            << "otro usuario estaba cambiando los mismos datos y el servidor deshizo este cambio; "
               "intente de nuevo";
        QTest::newRow("server: constraint")
            << odbcErrorReason("23000")
            << "el cambio no cumple una regla del catálogo (clave repetida o valor obligatorio)";
        QTest::newRow("server: overflow")
            << odbcErrorReason("22003") << "un número no cabe en la columna del catálogo";
        QTest::newRow("server: no state")
            << odbcErrorReason(QString()) << "el servidor del catálogo informó un error";
        QTest::newRow("server: other state")
            << odbcErrorReason("HY000")
            << "el servidor del catálogo informó un error (estado HY000)";
    }
    void reasons() {
        QFETCH(QString, reason);
        QFETCH(QString, expected);
        QCOMPARE(reason, expected);
    }
};

CORVELIX_TEST(tst_ErrorReasons)
#include "tst_ErrorReasons.moc"
