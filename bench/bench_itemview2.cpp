// Item view actions on the large declaration: deleting 100 items at once (three times), one suffix set on
// every subitem, and the articles list written, each beside the same work as hand-written set
// statements (or the same SELECT plus writing the same bytes) in the sqlite3 shell.

#include "bench.h"

#include "assembly/frmArmadoITEM.h"
#include "data/declaration_reads.h"
#include "data/demo_catalog.h"
#include "data/item_actions.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/TextCodec.h"
#include "shell/modAPITools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

constexpr int kItems = 3000;
constexpr int kDeleted = 100;
constexpr int kBatches = 3;

QString itemNumber(int n) {
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}

void itemView2(corvelix::bench::Run& run) {
    const QString iddt = modDA::kLargeDeclaration;
    const QString original = run.makeCatalog(kItems);

    // --- 100 items deleted with the header recomputed, three times over (items 1-100, then
    // 101-200, then 201-300, one deletion each): one alone takes the shell about ten ms.
    QList<QStringList> batches;
    QString sql;
    for (int batch = 0; batch < kBatches; ++batch) {
        QStringList items;
        QStringList quoted;
        QStringList bare;
        for (int n = batch * kDeleted + 1; n <= (batch + 1) * kDeleted; ++n) {
            items << itemNumber(n);
            quoted << QLatin1Char('\'') + itemNumber(n) + QLatin1Char('\'');
            bare << QString::number(n);
        }
        batches << items;
        sql += QStringLiteral("BEGIN;\n");
        const QString in = quoted.join(QLatin1Char(','));
        for (const char* table :
             {"SBT IDDT", "CPL ICPL", "SRG ISRG", "DVD IDVD", "LQA ILIQ", "DCM IDDT", "ART IDDT"}) {
            const QStringList parts = QString::fromLatin1(table).split(QLatin1Char(' '));
            sql += QStringLiteral("DELETE FROM %1 WHERE %2 = '%3' AND NART IN (%4);\n")
                       .arg(parts[0], parts[1], iddt, in);
        }
        sql += QStringLiteral("DELETE FROM CCM WHERE IDDT = '%1' AND NART IN (%2);\n")
                   .arg(iddt, bare.join(QLatin1Char(',')));
        sql += QStringLiteral("DELETE FROM DCN WHERE IDCN = '%1' AND NDCNART IN (%2);\n")
                   .arg(iddt, bare.join(QLatin1Char(',')));
        sql += QStringLiteral(
                   "UPDATE DDT SET MDDTFOB = (SELECT ROUND(SUM(MARTFOB), 2) FROM ART WHERE "
                   "IDDT = '%1'), MDDTFLE = (SELECT ROUND(SUM(MARTFLE), 2) FROM ART WHERE "
                   "IDDT = '%1'), MDDTASS = (SELECT ROUND(SUM(MARTASS), 2) FROM ART WHERE "
                   "IDDT = '%1'), CDDTSTUSGG = 'I', CDDTSTUBUL = 'I', CDDTSTUDEV = 'I' "
                   "WHERE IDDT = '%1';\nCOMMIT;\n")
                   .arg(iddt);
    }
    run.compare(
        QStringLiteral("delete 100 items three times, header recomputed"),
        [&] {
            return run.timeOnCopy(original, [&] {
                for (const QStringList& items : batches)
                    modDA::eliminarITEMS(iddt, items);
            });
        },
        [&] { return run.shellOnce(original, sql, true); }, 2.0);

    // --- one suffix on all 12,000 subitems (the articles grid's rows, the item rows left out)
    run.useCatalog(run.copyCatalog(original, QStringLiteral("suffix.db")));
    modDA::Recordset rs = modDA::getArticulosByDespacho(iddt, QString());
    QList<modDA::SubitemSufijos> rows;
    for (; !rs.eof(); rs.moveNext())
        if (rs.text(QStringLiteral("ISBT")) != QLatin1String("0000"))
            rows.append({iddt, rs.text(QStringLiteral("NART")), rs.text(QStringLiteral("ISBT")),
                         rs.text(QStringLiteral("CSBTSVL"))});
    std::printf("subitems set: %lld\n", static_cast<long long>(rows.size()));
    const QString at = QStringLiteral("instr(CSBTSVL, 'AB(')");
    const QString rest = QStringLiteral("substr(CSBTSVL, %1 + 3)").arg(at);
    sql = QStringLiteral("UPDATE SBT SET CSBTSVL = substr(CSBTSVL, 1, %1 + 2) || 'BENCH' || "
                         "substr(%2, instr(%2, ')-')) WHERE IDDT = '%3' AND ISBT <> '0000' AND "
                         "%1 > 0;")
              .arg(at, rest, iddt);
    run.compare(
        QStringLiteral("set one suffix on every subitem"),
        [&] {
            return run.timeOnCopy(original, [&] {
                modDA::EstablecerSufijo(rows, QStringLiteral("AB"), QStringLiteral("BENCH"));
            });
        },
        [&] { return run.shellOnce(original, sql, true); }, 2.0);

    // --- the articles list: built and written, beside the shell's SELECT plus the same bytes
    run.useCatalog(original);
    const QString path = QDir(run.folder()).filePath(QStringLiteral("articulos.xls"));
    const auto articles = [&] {
        modAPITools::generarArchivo(path, frmArmadoITEM::textoExportarArticulos(iddt));
    };
    articles();
    QFile written(path);
    if (!written.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = written.readAll();
    written.close();
    const QString copy = QDir(run.folder()).filePath(QStringLiteral("articulos_bytes.xls"));
    const auto writeBytes = [&] {
        QFile out(copy);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write(bytes);
    };
    sql = QStringLiteral(
              "SELECT SBT.IDDT, SBT.IEXT, NARTEXT, ISBT, ART.IESPNCE, CSBTSVL, CARTUNTDCL, "
              "CASE WHEN ISBT = '0000' THEN QARTUNTDCL ELSE QSBTUNTDCL END, CARTUNTEST, "
              "CASE WHEN ISBT = '0000' THEN QARTUNTEST ELSE QSBTUNTEST END, "
              "CASE WHEN ISBT = '0000' THEN MARTUNITAR ELSE MSBTUNITAR END, "
              "CASE WHEN ISBT = '0000' THEN MARTFOB ELSE MSBTFOB END FROM SBT INNER JOIN ART ON "
              "(SBT.IDDT = ART.IDDT AND SBT.NART = ART.NART) WHERE SBT.IDDT = '%1';")
              .arg(iddt);
    std::printf("articles file: %lld bytes\n", static_cast<long long>(bytes.size()));
    run.compare(
        QStringLiteral("articles list written"), [&] { return run.timeOnce(articles); },
        [&] { return run.shellOnce(original, sql) + run.timeOnce(writeBytes); }, 2.0);
}

} // namespace

CORVELIX_BENCH(itemview2, itemView2)
