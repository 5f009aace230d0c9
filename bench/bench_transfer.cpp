// The transfer file: export of the large declaration from the catalog, and a RET pair of as
// many items turned into one, beside a streaming XML parse of the two files.

#include "bench.h"

#include "data/demo_catalog.h"
#include "transfer/modKitSQL.h"
#include "transfer/modRET_lectura.h"
#include "transfer/modRET_transferencia.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr int kItems = 3000;

void exportLarge(corvelix::bench::Run& run) {
    const QString path = run.makeCatalog(kItems, QStringLiteral("transfer.db"));
    run.useCatalog(path);
    const QString iddt = modDA::kLargeDeclaration;
    const QString out = run.folder() + QStringLiteral("/export.txt");
    const auto ours = [&] {
        RegistroDespacho registro = modKitSQL::getCaratulaKitSQL(iddt);
        modKitSQL::getitemsKitS(iddt, registro);
        modRET::generarTXT(out, registro);
    };
    // The same reads, their rows written to a file by the shell.
    const QString where = QStringLiteral("'") + iddt + QStringLiteral("'");
    const QString shell =
        QStringLiteral(".output %1/shell_export.txt\n"
                       "SELECT * FROM DDT WHERE IDDT = %2;\n"
                       "SELECT * FROM CPL WHERE ICPL = %2 AND NART = '0000';\n"
                       "SELECT * FROM DVD WHERE IDVD = %2 AND NART = '0000';\n"
                       "SELECT * FROM ART WHERE IDDT = %2;\n"
                       "SELECT * FROM SBT WHERE IDDT = %2 ORDER BY NART, ISBT;\n"
                       "SELECT * FROM CPL WHERE ICPL = %2 ORDER BY NART, CCPL;\n"
                       "SELECT * FROM SRG WHERE ISRG = %2 ORDER BY NART, CSRG;\n"
                       "SELECT * FROM DVD WHERE IDVD = %2 ORDER BY NART, CDVDDOC;")
            .arg(run.folder(), where) +
        QStringLiteral("\n.output /dev/null");
    run.compare(QStringLiteral("transfer file of 3,000 items (catalog)"), ours, path, shell, 2.0);
}

void write(const QString& path, const QString& text) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text.toLatin1());
}

void importRet(corvelix::bench::Run& run) {
    const QString c = run.folder() + QStringLiteral("/C3000.ret");
    const QString i = run.folder() + QStringLiteral("/I3000.ret");
    write(c, QStringLiteral(
                 "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<DESPACHO_CARATULA><CARATULA "
                 "CUIT_DESPACHANTE=\"20123456789\" CUIT_IMPO_EXPO=\"30712345678\" "
                 "COD_ADUANA=\"001\" DIVISA_FOB=\"DOL\" MONTO_FOB=\"1234567.89\" "
                 "DESTINACION=\"IC04\" IDENTIFICADOR_PROPIO=\"BENCH\"><DOCUMENTOS><DOCUMENTO "
                 "CODIGO=\"FACTURACOMERCIAL\" REFERENCIA=\"00001-1\" PRESENCIA=\"S\"/>"
                 "</DOCUMENTOS></CARATULA></DESPACHO_CARATULA>\r\n"));
    QString items = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                                   "<DESPACHO_ITEMS>\r\n");
    for (int n = 1; n <= kItems; ++n) {
        items += QStringLiteral(
                     "<ARTICULOS PAIS_ORIGEN=\"310\" PAIS_PROCEDENCIA=\"310\" "
                     "EXISTENCIA_SUBITEM=\"S\" TIPO_ITEM=\"N\" UNIDAD_DECLARADA=\"07\" "
                     "ESTADO_MERCADERIA=\"1\" POSICION_ARANCELARIA=\"8471.30.12.000A\" "
                     "NRO_ITEM=\"%1\" MONTO_SEGURO=\"1.5\" MONTO_FLETE=\"12.25\" "
                     "MONTO_FOB_DIV=\"%1.5\" PRECIO_UNITARIO=\"1.005\" PESO_NETO_KGR=\"2\" "
                     "CANTIDAD_DECLARADA=\"10\" CANTIDAD_ESTADISTICA=\"10\" "
                     "CALIDAD_DISTINTA_STANDAR=\"N\" PAGO_REGALIAS=\"N\">"
                     "<INFORMACION_COMPLEMENTARIAS><INFORMACION_COMPLEMENTARIA CODIGO=\"MARCA\" "
                     "VALOR=\"Piñón %1\" SUFIJO_DATO_COMP=\"\"/></INFORMACION_COMPLEMENTARIAS>"
                     "<SUBITEMS>")
                     .arg(n);
        for (int s = 1; s <= 4; ++s)
            items += QStringLiteral("<SUBITEM NRO_SUBITEM=\"%1\" SUFIJOS_DE_VALOR=\"AA(M%1)-\" "
                                    "MONTO_FOB=\"2.5\" CANTIDAD_DECLARADA=\"2.5\" "
                                    "CANTIDAD_ESTADISTICA=\"2.5\" PRECIO_UNITARIO=\"1\" "
                                    "INDICADOR_PROPIO=\"\"/>")
                         .arg(s, 4, 10, QLatin1Char('0'));
        items += QStringLiteral("</SUBITEMS><VENTAJAS><LINEAS_VENTAJAS CODIGO=\"ACE18\"/>"
                                "</VENTAJAS></ARTICULOS>\r\n");
    }
    items += QStringLiteral("</DESPACHO_ITEMS>\r\n");
    write(i, items);

    const QString out = run.folder() + QStringLiteral("/import.txt");
    const auto ours = [&] {
        RegistroDespacho registro = modRET::getCaratula(modRET::AbrirArchivoXML(c), false);
        modRET::getitems(modRET::AbrirArchivoXML(i), registro, false);
        modRET::generarTXT(out, registro);
    };
    // No database work here: beside it, a streaming parse of the same two files, the least a
    // reader of them does (its start counted: about a millisecond).
    const QString label = QStringLiteral("RET pair of 3,000 items to TXT");
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty()) {
        run.notMeasured(label);
        return;
    }
    const auto parse = [&] {
        QProcess p;
        QElapsedTimer timer;
        timer.start();
        p.start(xmllint, {QStringLiteral("--stream"), QStringLiteral("--noout"), c, i});
        const bool done =
            p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        // A parse that fails measured nothing.
        return done ? static_cast<double>(timer.nsecsElapsed()) / 1e6 : 0.0;
    };
    run.compare(
        label, [&] { return run.timeOnce(ours); }, parse, 10.0, 7, "xmllint --stream");
}

} // namespace

CORVELIX_BENCH(transfer_export, exportLarge)
CORVELIX_BENCH(ret_import, importRet)
