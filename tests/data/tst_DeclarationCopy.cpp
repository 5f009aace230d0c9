#include "data/connection.h"
#include "data/declaration_copy.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QFile>
#include <QTest>

#include <algorithm>

#include <functional>
#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kOrigen = QStringLiteral("26001IC04000321R");
const QString kDestino = QStringLiteral("24001IC04000102L");
const QString kAjeno = QStringLiteral("25001IC04000007D");

QStringList rows(const QString& sql, const QVariantList& params = {}) {
    return corvelix::test::queryRows(modDA::getConnection(modDA::kCatalog), sql, params);
}

void exec(const QString& sql, const QVariantList& params = {}) {
    modDA::execSQL(modDA::kCatalog, testSql(sql), params);
}

struct ColumnInfo {
    QString name;
    QString type;
};

QList<ColumnInfo> columnsOf(const QString& table) {
    QList<ColumnInfo> out;
    for (const QString& row : rows(QStringLiteral("PRAGMA table_info(%1)").arg(table))) {
        const QStringList cells = row.split(QLatin1Char('|'));
        out.append({cells.value(1), cells.value(2)});
    }
    return out;
}

// A row of `table` with a value in every column: texts "<marker>-<column>", numbers told apart
// by column and marker; `fixed` gives the keys.
void insertFull(const QString& table, const QString& marker, const QVariantMap& fixed) {
    QStringList names;
    QVariantList values;
    int index = 0;
    for (const ColumnInfo& column : columnsOf(table)) {
        ++index;
        names << column.name;
        if (fixed.contains(column.name))
            values << fixed.value(column.name);
        else if (column.type == QLatin1String("REAL"))
            values << index * 10.25 + marker.size();
        else if (column.type == QLatin1String("INTEGER"))
            values << index + 100 * marker.size();
        else
            values << marker + QLatin1Char('-') + column.name;
    }
    exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
             .arg(table, names.join(QStringLiteral(", ")),
                  QStringList(names.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
         values);
}

QString cell(const QString& table, const QString& column, const QString& where,
             const QVariantList& params) {
    return rows(QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(column, table, where), params)
        .value(0);
}

// Every row of a table for one declaration, key column left out, in a stable order.
QStringList rowsOf(const QString& table, const QString& key, const QString& iddt) {
    QStringList others;
    for (const ColumnInfo& column : columnsOf(table)) {
        if (column.name != key)
            others << column.name;
    }
    const QString list = others.join(QStringLiteral(", "));
    return rows(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY %1").arg(list, table, key),
                {iddt});
}

struct ChildTable {
    QString table;
    QString key;
};

const QList<ChildTable>& childTables() {
    static const QList<ChildTable> all = {
        {QStringLiteral("ART"), QStringLiteral("IDDT")},
        {QStringLiteral("SBT"), QStringLiteral("IDDT")},
        {QStringLiteral("SRG"), QStringLiteral("ISRG")},
        {QStringLiteral("DCN"), QStringLiteral("IDCN")},
        {QStringLiteral("CPL"), QStringLiteral("ICPL")},
        {QStringLiteral("DVD"), QStringLiteral("IDVD")},
    };
    return all;
}

// All a declaration owns: its header and its rows in the tables the copy writes.
QStringList snapshot(const QString& iddt) {
    QStringList all = rows(QStringLiteral("SELECT * FROM DDT WHERE IDDT = ?"), {iddt});
    for (const ChildTable& child : childTables())
        all << child.table << rowsOf(child.table, child.key, iddt);
    return all;
}

using CopyProcedure = bool (*)(const QString&, const QString&);

} // namespace

Q_DECLARE_METATYPE(CopyProcedure)

class tst_DeclarationCopy : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

    static QString demoSeed() {
        QFile seed(QStringLiteral(":/demo/seed.sql"));
        if (!seed.open(QIODevice::ReadOnly))
            qFatal("no demo seed");
        return QString::fromUtf8(seed.readAll());
    }

    QString pristine() const { return fixture_->folder() + QStringLiteral("/pristine.db"); }

private slots:
    void initTestCase() {
        fixture_ = std::make_unique<CatalogFixture>(demoSeed());
        QVERIFY(QFile::copy(fixture_->catalogPath(), pristine()));
    }
    void cleanupTestCase() { fixture_.reset(); }
    // Every test starts from the demo catalog as built.
protected:
    void initTest() override {
        ScriptedUi::current().reset();
        modDA::resetConnectionsForTests();
        const QString path = fixture_->catalogPath();
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path + suffix);
        QVERIFY(QFile::copy(pristine(), path));
    }
private slots:

    void headerCopiedColumnByColumn() {
        exec(QStringLiteral("DELETE FROM DDT WHERE IDDT IN (?, ?)"), {kOrigen, kDestino});
        insertFull(QStringLiteral("DDT"), QStringLiteral("O"), {{QStringLiteral("IDDT"), kOrigen}});
        insertFull(QStringLiteral("DDT"), QStringLiteral("DD"),
                   {{QStringLiteral("IDDT"), kDestino}});
        const QStringList before =
            rows(QStringLiteral("SELECT * FROM DDT WHERE IDDT = ?"), {kDestino});
        const QStringList origin =
            rows(QStringLiteral("SELECT * FROM DDT WHERE IDDT = ?"), {kOrigen});

        QVERIFY(modDA::copiarCaratula(kOrigen, kDestino));

        const QStringList old = before.value(0).split(QLatin1Char('|'));
        const QStringList from = origin.value(0).split(QLatin1Char('|'));
        const QStringList now = rows(QStringLiteral("SELECT * FROM DDT WHERE IDDT = ?"), {kDestino})
                                    .value(0)
                                    .split(QLatin1Char('|'));
        QStringList copied, nulls, marked, kept;
        const QList<ColumnInfo> columns = columnsOf(QStringLiteral("DDT"));
        for (int i = 0; i < columns.size(); ++i) {
            const QString& name = columns[i].name;
            if (now[i] == from[i])
                copied << name;
            else if (now[i] == QLatin1String("<null>"))
                nulls << name;
            else if (now[i] == QLatin1String("I"))
                marked << name;
            else if (now[i] == old[i])
                kept << name;
            else
                QFAIL(qPrintable(name + QStringLiteral(" took ") + now[i]));
        }
        QCOMPARE(copied.size(), 78);
        QVERIFY(copied.contains(QStringLiteral("CDDTSTUDEV")));
        nulls.sort();
        QCOMPARE(nulls,
                 (QStringList{"CDDTCRPZN1", "CDDTCRPZN2", "CDDTCRPZN3", "CDDTINCOTE", "CDDTPFXTIT",
                              "IBNF", "ICPL", "IDAL", "IDSO", "IDVD", "ILIQ", "IRVI", "ITIT"}));
        QCOMPARE(marked, (QStringList{"CDDTSTUSGG", "CDDTSTUBUL"}));
        QVERIFY(kept.contains(QStringLiteral("IDDT")));
        QCOMPARE(rows(QStringLiteral("SELECT * FROM DDT WHERE IDDT = ?"), {kOrigen}), origin);
    }

    void headerOfMissingDeclarationChangesNothing_data() {
        QTest::addColumn<QString>("origen");
        QTest::addColumn<QString>("destino");
        QTest::newRow("destination not in DDT") << kOrigen << QStringLiteral("26001IC04999999Z");
        QTest::newRow("origin not in DDT") << QStringLiteral("26001IC04999999Z") << kDestino;
    }
    void headerOfMissingDeclarationChangesNothing() {
        QFETCH(QString, origen);
        QFETCH(QString, destino);
        const QStringList before = rows(QStringLiteral("SELECT * FROM DDT ORDER BY IDDT"));
        QVERIFY(!modDA::copiarCaratula(origen, destino));
        QCOMPARE(rows(QStringLiteral("SELECT * FROM DDT ORDER BY IDDT")), before);
    }

    void itemsCopiedColumnByColumn() {
        exec(QStringLiteral("DELETE FROM ART WHERE IDDT = ?"), {kOrigen});
        for (const char* nart : {"0001", "0002"})
            insertFull(QStringLiteral("ART"), QLatin1String("O") + QLatin1String(nart),
                       {{QStringLiteral("IDDT"), kOrigen}, {QStringLiteral("NART"), nart}});
        QVERIFY(modDA::copiarITEM(kOrigen, kDestino));

        QCOMPARE(
            rows(QStringLiteral("SELECT NART FROM ART WHERE IDDT = ? ORDER BY NART"), {kDestino}),
            (QStringList{"0001", "0002"}));
        QStringList copied, nulls, marked;
        for (const ColumnInfo& column : columnsOf(QStringLiteral("ART"))) {
            const QString sql =
                QStringLiteral("SELECT %1 FROM ART WHERE IDDT = ? ORDER BY NART").arg(column.name);
            const QStringList now = rows(sql, {kDestino});
            if (column.name == QLatin1String("IDDT"))
                QCOMPARE(now, (QStringList{kDestino, kDestino}));
            else if (now == rows(sql, {kOrigen}))
                copied << column.name;
            else if (now == QStringList{"<null>", "<null>"})
                nulls << column.name;
            else if (now == QStringList{"I", "I"})
                marked << column.name;
            else
                QFAIL(qPrintable(column.name + QStringLiteral(" took ") + now.join(u',')));
        }
        QCOMPARE(copied.size(), 60);
        for (const char* link : {"IDVD", "ICPL", "IBNF", "ISRG"})
            QVERIFY2(nulls.contains(QLatin1String(link)), link);
        QCOMPARE(marked, (QStringList{"CARTETA", "CARTSTUDEV"}));
    }

    void childRowsReplaced_data() {
        QTest::addColumn<CopyProcedure>("procedure");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::newRow("subitems") << &modDA::copiarSubItems << "SBT"
                                  << "IDDT";
        QTest::newRow("advantages") << &modDA::copiarVentajas << "SRG"
                                    << "ISRG";
        QTest::newRow("cancellations") << &modDA::copiarCancelaciones << "DCN"
                                       << "IDCN";
        QTest::newRow("complementary information") << &modDA::copiaInfoCompl << "CPL"
                                                   << "ICPL";
        QTest::newRow("documents, invoices included") << &modDA::copiarDocumentos << "DVD"
                                                      << "IDVD";
    }
    void childRowsReplaced() {
        QFETCH(CopyProcedure, procedure);
        QFETCH(QString, table);
        QFETCH(QString, key);
        insertFull(table, QStringLiteral("O"),
                   {{key, kOrigen},
                    {QStringLiteral("NART"), QStringLiteral("0009")},
                    {QStringLiteral("NDCNART"), 9}});
        const QStringList origin = rowsOf(table, key, kOrigen);
        QVERIFY(origin.size() >= 2);
        const QStringList others = rowsOf(table, key, kAjeno);

        QVERIFY(procedure(kOrigen, kDestino));
        QCOMPARE(rowsOf(table, key, kDestino), origin);
        QCOMPARE(rowsOf(table, key, kOrigen), origin);
        QCOMPARE(rowsOf(table, key, kAjeno), others);

        // An origin without rows empties the destination's and reports false.
        exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, key), {kAjeno});
        QVERIFY(!procedure(kAjeno, kDestino));
        QCOMPARE(rowsOf(table, key, kDestino), QStringList());
    }

    void copyOntoItselfRefused_data() {
        QTest::addColumn<CopyProcedure>("procedure");
        QTest::addColumn<QString>("destino");
        const QList<QPair<const char*, CopyProcedure>> all = {
            {"copiarCaratula", &modDA::copiarCaratula},
            {"copiarITEM", &modDA::copiarITEM},
            {"copiarSubItems", &modDA::copiarSubItems},
            {"copiarVentajas", &modDA::copiarVentajas},
            {"copiarCancelaciones", &modDA::copiarCancelaciones},
            {"copiaInfoCompl", &modDA::copiaInfoCompl},
            {"copiarDocumentos", &modDA::copiarDocumentos}};
        for (const auto& [name, procedure] : all) {
            QTest::addRow("%s, same number", name) << procedure << kOrigen;
            QTest::addRow("%s, other case and a trailing blank", name)
                << procedure << kOrigen.toLower() + QLatin1Char(' ');
        }
    }
    void copyOntoItselfRefused() {
        QFETCH(CopyProcedure, procedure);
        QFETCH(QString, destino);
        const QStringList before = snapshot(kOrigen);
        try {
            procedure(kOrigen, destino);
            QFAIL("copied onto itself");
        } catch (const VbError& error) {
            QCOMPARE(error.description,
                     QStringLiteral("Despacho origen y despacho destino deben ser distintos"));
            QVERIFY(error.source.startsWith(QStringLiteral("Corvelix.modDA.cop")));
        }
        QCOMPARE(snapshot(kOrigen), before);
    }

    void wholeCopyInOneCall() {
        const QStringList origin = snapshot(kOrigen);
        const QStringList documents =
            rowsOf(QStringLiteral("DVD"), QStringLiteral("IDVD"), kDestino);
        int afterCoreRuns = 0;
        modDA::copiarDeclaracion(kOrigen, kDestino, {true, false}, [&] {
            ++afterCoreRuns;
            // The caller's own step sees the copied items and writes in the same transaction.
            QCOMPARE(rows(QStringLiteral("SELECT count(*) FROM ART WHERE IDDT = ?"), {kDestino}),
                     QStringList{"4"});
            exec(QStringLiteral("UPDATE ART SET NARTAPU = NULL, IDDTAPU = NULL WHERE IDDT = ?"),
                 {kDestino});
        });
        QCOMPARE(afterCoreRuns, 1);
        for (const char* table : {"SBT", "SRG", "DCN", "CPL"}) {
            const ChildTable& child =
                *std::find_if(childTables().begin(), childTables().end(),
                              [&](const ChildTable& c) { return c.table == QLatin1String(table); });
            QCOMPARE(rowsOf(child.table, child.key, kDestino),
                     rowsOf(child.table, child.key, kOrigen));
        }
        // Documents were not asked for: the destination keeps its own invoice.
        QCOMPARE(rowsOf(QStringLiteral("DVD"), QStringLiteral("IDVD"), kDestino), documents);
        QCOMPARE(cell(QStringLiteral("DDT"), QStringLiteral("MDDTFOB"), QStringLiteral("IDDT = ?"),
                      {kDestino}),
                 QStringLiteral("1012.5"));
        QCOMPARE(snapshot(kOrigen), origin);

        modDA::copiarDeclaracion(kOrigen, kDestino, {false, true});
        QCOMPARE(rowsOf(QStringLiteral("DVD"), QStringLiteral("IDVD"), kDestino),
                 rowsOf(QStringLiteral("DVD"), QStringLiteral("IDVD"), kOrigen));
    }

    // A failure at any step, the caller's own included, leaves the destination as it was.
    void failedCopyLeavesDestination_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<bool>("failInCallback");
        const QString fails = QStringLiteral(
            "CREATE TRIGGER injected BEFORE INSERT ON %1 BEGIN SELECT RAISE(ABORT, 'fallo "
            "inyectado'); END");
        QTest::newRow("items insert") << fails.arg(QStringLiteral("ART")) << false;
        QTest::newRow("subitems insert") << fails.arg(QStringLiteral("SBT")) << false;
        QTest::newRow("cancellations insert") << fails.arg(QStringLiteral("DCN")) << false;
        QTest::newRow("caller's step") << QString() << true;
        QTest::newRow("documents insert, the last step")
            << fails.arg(QStringLiteral("DVD")) << false;
    }
    void failedCopyLeavesDestination() {
        QFETCH(QString, trigger);
        QFETCH(bool, failInCallback);
        if (!trigger.isEmpty())
            exec(trigger);
        const QStringList before = snapshot(kDestino);
        try {
            modDA::copiarDeclaracion(kOrigen, kDestino, {true, true}, [&] {
                if (failInCallback)
                    throw VbError(5, QStringLiteral("resetSIMI"), QStringLiteral("falla"));
            });
            QFAIL("no failure");
        } catch (const VbError& error) {
            QVERIFY(error.source.startsWith(QStringLiteral("Corvelix.modDA.copiarDeclaracion")));
        }
        QCOMPARE(snapshot(kDestino), before);
    }

    void wholeCopyNeedsBothHeaders_data() {
        QTest::addColumn<QString>("origen");
        QTest::addColumn<QString>("destino");
        QTest::newRow("destination missing") << kOrigen << QStringLiteral("26001IC04999999Z");
        QTest::newRow("origin missing") << QStringLiteral("26001IC04999999Z") << kDestino;
    }
    void wholeCopyNeedsBothHeaders() {
        QFETCH(QString, origen);
        QFETCH(QString, destino);
        const QStringList before = snapshot(kDestino) + snapshot(kOrigen);
        QVERIFY_THROWS_EXCEPTION(VbError, modDA::copiarDeclaracion(origen, destino, {true, true}));
        QCOMPARE(rows(QStringLiteral("SELECT count(*) FROM ART WHERE IDDT = '26001IC04999999Z'")),
                 QStringList{"0"});
        QCOMPARE(snapshot(kDestino) + snapshot(kOrigen), before);
    }

    // The header copy as the server receives it.
    void headerStatementOnTheServer() {
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        modDA::copiarCaratula(kOrigen, kDestino);
        QCOMPARE(capture.statements().size(), 1);
        const QString text = capture.texts().first();
        QVERIFY2(text.startsWith(QStringLiteral("UPDATE DDT SET ILIQ = NULL, IDSO = NULL")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral(
                     " FROM DDT INNER JOIN DDT AS O ON DDT.IDDT = ? AND O.IDDT = ?")),
                 qPrintable(text));
        QCOMPARE(text.count(QStringLiteral(" = ")), 93 + 2);
        QCOMPARE(capture.statements().first().params, (QVariantList{kDestino, kOrigen}));
    }
};

CORVELIX_TEST(tst_DeclarationCopy)
#include "tst_DeclarationCopy.moc"
