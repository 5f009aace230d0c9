// The SIMI run over 3,000 work rows on the large declaration, step by step, beside the same
// statements typed into the sqlite3 shell; the sibling program is a stand-in that ends at once.

#include "bench.h"

#include "data/attached_rows.h"
#include "data/declaration_reads.h"
#include "data/demo_catalog.h"
#include "data/modDA.h"
#include "data/prorating.h"
#include "data/simi_work.h"
#include "imports/frmMenuIC.h"
#include "platform/ProcessRunner.h"
#include "platform/Settings.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <functional>

namespace {

constexpr int kItems = 3000;

QString large() {
    return modDA::kLargeDeclaration;
}

QString cuatro(int item) {
    return QStringLiteral("%1").arg(item, 4, 10, QLatin1Char('0'));
}

// Every row has a list, a certificate and a CCPAC text; one row in ten is a zero row.
QList<modDA::SimiFila> filas() {
    QList<modDA::SimiFila> out;
    for (int i = 1; i <= kItems; ++i) {
        modDA::SimiFila f;
        f.operacion = large();
        f.item = i;
        f.lista = QStringLiteral("LISTA %1").arg(i);
        f.certificado = QStringLiteral("CERT-%1").arg(i);
        f.ccTexto = QStringLiteral("CC %1").arg(i);
        f.paisOrigen = i % 2 == 0 ? QStringLiteral("225") : QStringLiteral("999");
        f.cantidad = i % 10 == 0 ? 0 : 1;
        f.fob = i % 10 == 0 ? 0 : 10;
        out.append(f);
    }
    return out;
}

// The rows' catalog statements with their values written in, as the run sends them.
QString guion(const QList<modDA::SimiFila>& rows, const QString& recalculo) {
    const QString d = large();
    QStringList s{QStringLiteral("BEGIN;"),
                  QStringLiteral("delete from CCM where IDDT = '%1' AND CCCM = 'DCEXP';").arg(d)};
    for (const modDA::SimiFila& f : rows) {
        const QString n = cuatro(f.item);
        s << QStringLiteral("update ART set LISTA = '%1' where IDDT = '%2' and NART = '%3';")
                 .arg(f.lista, d, n)
          << QStringLiteral("DELETE from DVD where IDVD = '%1' and NART = '%2' and CDVDDOC in "
                            "('CERT.ORIGEN/L', 'COD-MERCOSUR', 'CERTORIGMERCOSUR');")
                 .arg(d, n)
          << QStringLiteral("DELETE from CPL where ICPL = '%1' and NART = '%2' and CCPL in "
                            "('CERTORIGMERCOSUR');")
                 .arg(d, n);
        for (const char* clave : {"CERT.ORIGEN/L", "COD-MERCOSUR", "CERTORIGMERCOSUR"})
            s << QStringLiteral("insert into DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) "
                                "values ('%1', '%2', '%3', 'S', '%4');")
                     .arg(d, n, QLatin1String(clave), f.certificado);
        s << QStringLiteral("insert into CCM (IDDT, NART, CCCM, MCCM, DESARROLLO, CCCMNART) "
                            "values ('%1', %2, 'DCEXP', '%3', 1, '%4');")
                 .arg(d)
                 .arg(f.item)
                 .arg(f.ccTexto,
                      corvelix::formatNumber(f.item, f.paisOrigen == QLatin1String("225")
                                                         ? QStringLiteral("0000")
                                                         : QStringLiteral("000000000000")));
    }
    s << QStringLiteral("COMMIT;")
      << QStringLiteral("delete from CPL where ICPL = '%1' and (CCPL like 'SIMI-DESC-MERC%' or "
                        "CCPL = 'SIMI-FECHA-ARRIB' or CCPL = 'SIMI-FECHA-EMBAR');")
             .arg(d)
      << QStringLiteral("BEGIN;");
    // The outside procedure's deletes, item by item, highest first.
    for (int i = kItems; i >= 1; --i) {
        if (i % 10 != 0)
            continue;
        const QString n = cuatro(i);
        for (const char* t :
             {"SBT|IDDT", "CPL|ICPL", "SRG|ISRG", "DVD|IDVD", "LQA|ILIQ", "DCM|IDDT", "ART|IDDT"}) {
            const QStringList p = QString::fromLatin1(t).split(QLatin1Char('|'));
            s << QStringLiteral("delete from %1 where %2 = '%3' and NART = '%4';")
                     .arg(p[0], p[1], d, n);
        }
        s << QStringLiteral("delete from CCM where IDDT = '%1' and NART = %2;").arg(d).arg(i)
          << QStringLiteral("delete from DCN where IDCN = '%1' and NDCNART = %2;").arg(d).arg(i);
    }
    s << QStringLiteral("COMMIT;") << recalculo;
    return s.join(QLatin1Char('\n'));
}

void simiRun(corvelix::bench::Run& run) {
    const QString built = run.makeCatalog(kItems, QStringLiteral("simi.db"));
    // A stand-in sibling that ends at once.
    const QString hermano = QDir(run.folder()).filePath(QStringLiteral("pernatex_bench"));
    QFile file(hermano);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("#!/bin/sh\nexit 0\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    corvelix::settings::saveSetting(QStringLiteral("config"), QStringLiteral("programaSIMI"),
                                    hermano);
    const QList<modDA::SimiFila> rows = filas();

    // Each step as the run takes it, timed on its own, on a fresh copy each round.
    QList<std::pair<const char*, double>> pasos;
    QElapsedTimer reloj;
    const auto paso = [&](const char* nombre, const std::function<void()>& fn) {
        reloj.start();
        fn();
        pasos.append({nombre, double(reloj.nsecsElapsed()) / 1e6});
    };
    const auto ronda = [&] {
        pasos.clear();
        (void)run.timeOnCopy(built, [&] {
            paso("work rows written", [&] { modDA::simiReemplazarFilas(large(), rows, 0); });
            paso("lists, certificates, CCPAC", [&] {
                const QList<modDA::SimiFila> leidas = modDA::getSimiFilas(large());
                const QHash<QString, QString> claves = modDA::getClavesPorNumeroMostrado(large());
                modDA::Transaction transaccion(modDA::kCatalog);
                modDA::simiCCPackReset(large());
                for (const modDA::SimiFila& f : leidas) {
                    const QString nart = claves.value(cuatro(f.item));
                    modDA::simiSetLista(f.operacion, f.lista, nart);
                    modDA::simiSetCertificadoOrigen(f.operacion, nart, f.certificado);
                    modDA::simiSetCCPack(
                        f.operacion, nart, f.ccTexto,
                        corvelix::formatNumber(f.item, f.paisOrigen == QLatin1String("225")
                                                           ? QStringLiteral("0000")
                                                           : QStringLiteral("000000000000")));
                }
                transaccion.commit();
            });
            paso("clean-up", [&] { modDA::CleanInfoAdicionalSIMI(large()); });
            paso("marking", [&] { modDA::marcarART_Eliminar(large()); });
            paso("sibling program", [&] {
                modDA::closeLocalConnection();
                (void)corvelix::ProcessRunner::run(frmMenuIC::programaHermano(), {large()},
                                                   corvelix::programFolder());
            });
            paso("deletion (300 items)", [&] {
                QList<modDA::SimiItem> items;
                for (const int numero : modDA::getSimiMarcados(large()))
                    items.append({numero, cuatro(numero)});
                modDA::simiEliminarItems(large(), items);
            });
            paso("header recalculation", [&] { modDA::recalcularCaratula(large()); });
        });
        double sum = 0;
        for (const auto& p : pasos)
            sum += p.second;
        return sum - pasos[0].second - pasos[3].second - pasos[4].second;
    };

    const QString recalculo =
        corvelix::bench::statementsOf([] { modDA::recalcularCaratula(large()); }, {});
    const QString script = guion(rows, recalculo);
    run.compare(QStringLiteral("SIMI run, catalog steps (3000 rows, 300 deleted)"), ronda,
                [&] { return run.shellOnce(built, script, true); }, 2.0);
    // The steps of the last round.
    double total = 0;
    for (const auto& p : pasos)
        total += p.second;
    for (const auto& [nombre, ms] : pasos)
        std::printf("  SIMI step %-28s %9.1f ms  %5.1f%%\n", nombre, ms, 100.0 * ms / total);
}
} // namespace

CORVELIX_BENCH(simi_run, simiRun)
