#include "data/modDA.h"
#include "data/procedures_sqlite.h"
#include "data/schema.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <algorithm>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

// A fresh in-memory catalog with the real schema and the rows a case needs.
class Catalog {
public:
    Catalog() {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
        modDA::createCatalogSchema(db);
    }
    ~Catalog() {
        QSqlDatabase::database(kName, false).close();
        QSqlDatabase::removeDatabase(kName);
    }
    Catalog(const Catalog&) = delete;
    Catalog& operator=(const Catalog&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(kName); }

    void exec(const QString& sql, const QVariantList& params = {}) const {
        QSqlQuery q(db());
        q.prepare(sql);
        for (const QVariant& p : params)
            q.addBindValue(p);
        if (!q.exec())
            QFAIL(qPrintable(sql + QStringLiteral(": ") + q.lastError().text()));
    }
    void seed(const QStringList& statements) const {
        for (const QString& s : statements)
            exec(s);
    }

    // Every row of a query, its cells joined by '|', a Null cell written as "<null>".
    QStringList rows(const QString& sql, const QVariantList& params = {}) const {
        return corvelix::test::queryRows(db(), sql, params);
    }
    // Column names of a table, in order.
    QStringList columns(const QString& table) const {
        QStringList names;
        const QSqlRecord record = db().record(table);
        for (int i = 0; i < record.count(); ++i)
            names << record.fieldName(i);
        return names;
    }
    bool exists(const QString& name) const {
        return !rows(QStringLiteral("SELECT name FROM sysobjects WHERE name= ?"), {name}).isEmpty();
    }

    void run(const QString& name, const QStringList& args) const {
        const modDA::ProcedureSignature* procedure = modDA::findProcedure(name);
        QVERIFY2(procedure, qPrintable(name));
        modDA::sqlite::run(db(), *procedure, args);
    }

private:
    static inline const QString kName = QStringLiteral("tst_Procedures");
};

QString srg(const QString& iddt, const QString& nart, const QString& code) {
    return QStringLiteral("INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('%1', '%2', '%3')")
        .arg(iddt, nart, code);
}
QString cpl(const QString& iddt, const QString& nart, const QString& code, const QString& value) {
    return QStringLiteral("INSERT INTO CPL (ICPL, NART, CCPL, MCPL) VALUES ('%1', '%2', '%3', %4)")
        .arg(iddt, nart, code, value);
}
QString dvd(const QString& iddt, const QString& nart, const QString& code, const QString& ref) {
    return QStringLiteral(
               "INSERT INTO DVD (IDVD, NART, CDVDDOC, LDVDREFDOC) VALUES ('%1', '%2', '%3', %4)")
        .arg(iddt, nart, code, ref);
}

const QString kA = QStringLiteral("26001IC04000001A");
const QString kB = QStringLiteral("26001IC04000002B");

struct ListTable {
    QString procedure;
    QString table;
    QString textColumn;
    int limit;
};

const QList<ListTable>& workLists() {
    static const QList<ListTable> tables = {
        {QStringLiteral("setItemVentajas"), QStringLiteral("item_ventajas"),
         QStringLiteral("ventajas"), 5000},
        {QStringLiteral("SETITEMINFOAD"), QStringLiteral("ITEM_INFOAD"), QStringLiteral("INFOAD"),
         8000},
        {QStringLiteral("SETITEMDOCS"), QStringLiteral("ITEM_DOCS"), QStringLiteral("DOCS"), 8000},
    };
    return tables;
}

QStringList listRows(const Catalog& catalog, const ListTable& t) {
    return catalog.rows(
        QStringLiteral("SELECT IDDT, NART, %1 FROM %2 ORDER BY 1, 2").arg(t.textColumn, t.table));
}

const QString kFixtureSeed = QStringLiteral(
    "INSERT INTO ART (IDDT, NART) VALUES ('26001IC04000001A', '0001');\n"
    "INSERT INTO ART (IDDT, NART) VALUES ('26001IC04000001A', '0002');\n"
    "INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0001', 'A1');\n"
    "INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0002', 'A1');\n"
    "INSERT INTO CPL (ICPL, NART, CCPL, MCPL) VALUES ('26001IC04000001A', '0001', 'X', '1');\n"
    "INSERT INTO DVD (IDVD, NART, CDVDDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0001', 'D', "
    "'r');\n"
    // a code that clashes with a key column of the pivot
    "INSERT INTO CPL (ICPL, NART, CCPL, MCPL) VALUES ('26001IC04000002B', '0001', 'NART', 'x');\n");

// Rows of a recordset, cells joined by '|'.
QStringList recordsetRows(modDA::Recordset rs) {
    QStringList out;
    for (; !rs.eof(); rs.moveNext()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i)
            cells << rs.field(i).toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

} // namespace

class tst_Procedures : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    // One row per item that has rows, "|#|" between the elements, only the asked declaration.
    void listTables_data() {
        QTest::addColumn<int>("table");
        QTest::addColumn<QStringList>("seed");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("advantages: header and items, other declaration left out")
            << 0
            << QStringList{srg(kA, "0000", "AUTOLIQLIBREIMP"), srg(kA, "0002", "B2"),
                           srg(kB, "0001", "ZZ")}
            << QStringList{kA + "|0000|AUTOLIQLIBREIMP", kA + "|0002|B2"};
        QTest::newRow("advantages: blanks around the list trimmed")
            << 0 << QStringList{srg(kA, "0001", " A1 ")} << QStringList{kA + "|0001|A1"};
        QTest::newRow("info: code order")
            << 1 << QStringList{cpl(kA, "0001", "X", "'1'"), cpl(kA, "0001", "A", "'2'")}
            << QStringList{kA + "|0001|A=2|#|X=1"};
        QTest::newRow("info: a Null value is an empty text")
            << 1
            << QStringList{cpl(kA, "0001", "X", "NULL"), cpl(kA, "0001", "A", "'2'"),
                           cpl(kA, "0002", "M", "NULL")}
            << QStringList{kA + "|0001|A=2|#|X=", kA + "|0002|M="};
        QTest::newRow("info: codes ordered without letter case")
            << 1
            << QStringList{cpl(kA, "0001", "b", "'1'"), cpl(kA, "0001", "C", "'2'"),
                           cpl(kA, "0001", "A", "'3'")}
            << QStringList{kA + "|0001|A=3|#|b=1|#|C=2"};
        QTest::newRow("info: declaration matched without letter case")
            << 1 << QStringList{cpl(kA.toLower(), "0001", "X", "'1'")}
            << QStringList{kA.toLower() + "|0001|X=1"};
        QTest::newRow("docs: code order, Null reference, trailing blanks trimmed")
            << 2
            << QStringList{dvd(kA, "0000", "FACTURACOMERCIAL", "'F-1'"),
                           dvd(kA, "0001", "ZCERT", "'C 9   '"), dvd(kA, "0001", "LPCO", "NULL"),
                           dvd(kB, "0001", "LPCO", "'x'")}
            << QStringList{kA + "|0000|FACTURACOMERCIAL=F-1", kA + "|0001|LPCO=|#|ZCERT=C 9"};
        QTest::newRow("no rows: empty table")
            << 2 << QStringList{dvd(kB, "0001", "LPCO", "'x'")} << QStringList{};
    }
    void listTables() {
        QFETCH(int, table);
        QFETCH(QStringList, seed);
        QFETCH(QStringList, expected);
        const ListTable& t = workLists().at(table);

        Catalog catalog;
        catalog.seed(seed);
        catalog.run(t.procedure, {kA});
        QCOMPARE(listRows(catalog, t), expected);
    }

    // Advantages keep no order: both codes, once each.
    void advantagesOfOneItemInOneRow() {
        Catalog catalog;
        catalog.seed({srg(kA, "0001", "A1"), srg(kA, "0001", "B2")});
        catalog.run(QStringLiteral("setItemVentajas"), {kA});
        const QStringList rows = listRows(catalog, workLists().at(0));
        QCOMPARE(rows.size(), 1);
        QVERIFY(rows[0].startsWith(kA + "|0001|"));
        QStringList codes = rows[0].section(QLatin1Char('|'), 2).split(QStringLiteral("|#|"));
        codes.sort();
        QCOMPARE(codes, (QStringList{"A1", "B2"}));
    }

    // The server keeps the list, with its leading separator, in a variable of 5000 / 8000
    // characters; then the separator goes.
    void longListsAreCut_data() {
        QTest::addColumn<int>("table");
        QTest::addColumn<QStringList>("seed");
        QTest::addColumn<QString>("full");

        const QString longCode = QString(6000, QLatin1Char('V'));
        QTest::newRow("advantages at 5000")
            << 0 << QStringList{srg(kA, "0001", longCode)} << longCode;
        const QString x(5000, QLatin1Char('x'));
        const QString y(5000, QLatin1Char('y'));
        QTest::newRow("info at 8000")
            << 1
            << QStringList{cpl(kA, "0001", "B", "'" + y + "'"), cpl(kA, "0001", "A", "'" + x + "'")}
            << "A=" + x + "|#|B=" + y;
        QTest::newRow("docs at 8000") << 2
                                      << QStringList{dvd(kA, "0001", "D2", "'" + y + "'"),
                                                     dvd(kA, "0001", "D1", "'" + x + "'")}
                                      << "D1=" + x + "|#|D2=" + y;
    }
    void longListsAreCut() {
        QFETCH(int, table);
        QFETCH(QStringList, seed);
        QFETCH(QString, full);
        const ListTable& t = workLists().at(table);

        Catalog catalog;
        catalog.seed(seed);
        catalog.run(t.procedure, {kA});
        const QStringList rows =
            catalog.rows(QStringLiteral("SELECT %1 FROM %2").arg(t.textColumn, t.table));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0], full.left(t.limit - 3));
    }

    // The work tables hold one declaration at a time: the last one run.
    void listTablesHoldTheLastDeclarationOnly() {
        Catalog catalog;
        catalog.seed({srg(kA, "0001", "A1"), srg(kB, "0001", "B1"), cpl(kA, "0001", "X", "'1'"),
                      cpl(kB, "0002", "Y", "'2'"), dvd(kA, "0001", "D", "'r'")});
        for (const QString& iddt : {kA, kB}) {
            for (const ListTable& t : workLists())
                catalog.run(t.procedure.toLower(), {iddt});
        }
        QCOMPARE(listRows(catalog, workLists().at(0)), QStringList{kB + "|0001|B1"});
        QCOMPARE(listRows(catalog, workLists().at(1)), QStringList{kB + "|0002|Y=2"});
        QCOMPARE(listRows(catalog, workLists().at(2)), QStringList{});
    }

    // Pivots: key columns, then one column per distinct code (named by the code exactly),
    // one row per item.
    void pivots_data() {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("seed");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("rows");

        const QStringList cplSeed{
            cpl(kA, "0000", "HDR", "'h'"),  cpl(kA, "0002", "B C", "'b2'"),
            cpl(kA, "0001", "A-1", "'a1'"), cpl(kA, "0002", "a-1", "'a2'"),
            cpl(kA, "0001", "Q\"X", "'q'"), cpl(kB, "0001", "OTHER", "'o'"),
            cpl(kA, "0003", "A-1", "NULL"),
        };
        QTest::newRow("info, item rows: codes with '-', blanks and quotes; letter case ignored")
            << "GETCPLPIVOT" << QStringList{kA, "9999"} << cplSeed << "CPLPIVOT"
            << QStringList{"ICPL", "NART", "A-1", "B C", "Q\"X"}
            << QStringList{kA + "|0001|a1|<null>|q", kA + "|0002|a2|b2|<null>",
                           kA + "|0003|<null>|<null>|<null>"};
        QTest::newRow("info, declaration rows")
            << "GETCPLPIVOT" << QStringList{kA, "0000"} << cplSeed << "CPLPIVOT"
            << QStringList{"ICPL", "NART", "HDR"} << QStringList{kA + "|0000|h"};
        QTest::newRow("documents: the largest reference of a repeated code, letter case ignored")
            << "GETDVDPIVOT" << QStringList{kA, "0000"}
            << QStringList{dvd(kA, "0000", "FACTURACOMERCIAL", "'f-0002'"),
                           dvd(kA, "0000", "FACTURACOMERCIAL", "'F-0010'"),
                           dvd(kA, "0001", "LPCO", "'L'")}
            << "DVDPIVOT" << QStringList{"IDVD", "NART", "FACTURACOMERCIAL"}
            << QStringList{kA + "|0000|F-0010"};
        QTest::newRow("documents, item rows")
            << "GETDVDPIVOT" << QStringList{kA, "9999"}
            << QStringList{dvd(kA, "0000", "FACTURACOMERCIAL", "'F-0001'"),
                           dvd(kA, "0002", "ZCERT", "'Z'"), dvd(kA, "0001", "LPCO", "'L'")}
            << "DVDPIVOT" << QStringList{"IDVD", "NART", "LPCO", "ZCERT"}
            << QStringList{kA + "|0001|L|<null>", kA + "|0002|<null>|Z"};
        QTest::newRow("advantages: SI or Null, header included, ordered by item")
            << "GETSRGPIVOT" << QStringList{kA}
            << QStringList{srg(kA, "0002", "B2"), srg(kA, "0000", "AUTOLIQLIBREIMP"),
                           srg(kA, "0001", "A1"), srg(kA, "0001", "B2"), srg(kB, "0001", "X")}
            << "SRGPIVOT" << QStringList{"ISRG", "NART", "A1", "AUTOLIQLIBREIMP", "B2"}
            << QStringList{kA + "|0000|<null>|SI|<null>", kA + "|0001|SI|<null>|SI",
                           kA + "|0002|<null>|<null>|SI"};
    }
    void pivots() {
        QFETCH(QString, procedure);
        QFETCH(QStringList, args);
        QFETCH(QStringList, seed);
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        QFETCH(QStringList, rows);

        Catalog catalog;
        catalog.seed(seed);
        // A previous run for another declaration is replaced, columns and all.
        catalog.seed({srg(kB, "0001", "OLD"), cpl(kB, "0001", "OLD", "'o'"),
                      cpl(kB, "0000", "OLD", "'o'"), dvd(kB, "0001", "OLD", "'o'"),
                      dvd(kB, "0000", "OLD", "'o'")});
        catalog.run(procedure, args.size() == 2 ? QStringList{kB, args[1]} : QStringList{kB});
        catalog.run(procedure, args);

        // Codes differing only in letter case make one column, named after either spelling.
        QCOMPARE(catalog.columns(table).join(',').toUpper(), columns.join(',').toUpper());
        QCOMPARE(catalog.rows(QStringLiteral("SELECT * FROM ") + table), rows);
    }

    // Without codes the pivot is dropped and not made again: readers test for it.
    void pivotWithoutCodesIsDropped_data() {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QString>("table");

        QTest::newRow("info, declaration without header rows") << "GETCPLPIVOT"
                                                               << "0000"
                                                               << "CPLPIVOT";
        QTest::newRow("info, declaration without item rows") << "GETCPLPIVOT"
                                                             << "9999"
                                                             << "CPLPIVOT";
        QTest::newRow("documents") << "GETDVDPIVOT"
                                   << "9999"
                                   << "DVDPIVOT";
        QTest::newRow("advantages") << "GETSRGPIVOT" << QString() << "SRGPIVOT";
    }
    void pivotWithoutCodesIsDropped() {
        QFETCH(QString, procedure);
        QFETCH(QString, selector);
        QFETCH(QString, table);
        const auto args = [&](const QString& iddt) {
            return selector.isNull() ? QStringList{iddt} : QStringList{iddt, selector};
        };

        Catalog catalog;
        // B has rows at both levels; A only the other level (CPL) or nothing.
        catalog.seed({srg(kB, "0001", "S"), cpl(kB, "0000", "H", "'h'"),
                      cpl(kB, "0001", "I", "'i'"), dvd(kB, "0001", "D", "'d'"),
                      cpl(kA, selector == "0000" ? "0001" : "0000", "OTHERLEVEL", "'x'")});
        catalog.run(procedure, args(kB));
        QVERIFY(catalog.exists(table));

        catalog.run(procedure, args(kA));
        QVERIFY(!catalog.exists(table));
    }

    // A failing run leaves the catalog as it was: the previous pivot stays.
    void failedPivotKeepsThePreviousTable() {
        Catalog catalog;
        catalog.seed({cpl(kA, "0001", "X", "'1'"), cpl(kB, "0001", "NART", "'clash'")});
        catalog.run(QStringLiteral("GETCPLPIVOT"), {kA, "9999"});
        try {
            catalog.run(QStringLiteral("GETCPLPIVOT"), {kB, "9999"});
            QFAIL("no error");
        } catch (const VbError& e) {
            QVERIFY(!e.description.isEmpty());
        }
        QCOMPARE(catalog.columns("CPLPIVOT"), (QStringList{"ICPL", "NART", "X"}));
        QCOMPARE(catalog.rows("SELECT * FROM CPLPIVOT"), QStringList{kA + "|0001|1"});
        // The connection is usable afterwards and outside any transaction.
        catalog.run(QStringLiteral("GETCPLPIVOT"), {kA, "0000"});
        QVERIFY(!catalog.exists("CPLPIVOT"));
    }

    // The item goes from every declaration table; other items and declarations stay.
    void deleteItemRemovesItsRowsEverywhere_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QVariant>("item1");
        QTest::addColumn<QVariant>("item2");

        const auto text = [](const char* s) { return QVariant(QString::fromLatin1(s)); };
        QTest::newRow("ART") << "ART"
                             << "IDDT"
                             << "NART" << text("0001") << text("0002");
        QTest::newRow("SBT") << "SBT"
                             << "IDDT"
                             << "NART" << text("0001") << text("0002");
        QTest::newRow("CPL") << "CPL"
                             << "ICPL"
                             << "NART" << text("0001") << text("0002");
        QTest::newRow("SRG") << "SRG"
                             << "ISRG"
                             << "NART" << text("0001") << text("0002");
        QTest::newRow("DVD") << "DVD"
                             << "IDVD"
                             << "NART" << text("0001") << text("0002");
        QTest::newRow("LQA") << "LQA"
                             << "ILIQ"
                             << "NART" << text("0001") << text("0002");
        QTest::newRow("DCM") << "DCM"
                             << "IDDT"
                             << "NART" << text("0001") << text("0002");
        QTest::newRow("CCM: bare number") << "CCM"
                                          << "IDDT"
                                          << "NART" << QVariant(1) << QVariant(2);
        QTest::newRow("DCN: bare number") << "DCN"
                                          << "IDCN"
                                          << "NDCNART" << QVariant(1) << QVariant(2);
    }
    void deleteItemRemovesItsRowsEverywhere() {
        QFETCH(QString, table);
        QFETCH(QString, declaration);
        QFETCH(QString, item);
        QFETCH(QVariant, item1);
        QFETCH(QVariant, item2);

        Catalog catalog;
        // SBT rows also need their subitem number.
        const bool subitems = table == QLatin1String("SBT");
        const QString insert = QStringLiteral("INSERT INTO %1 (%2, %3%4) VALUES (?, ?%5)")
                                   .arg(table, declaration, item, subitems ? ", ISBT" : "",
                                        subitems ? ", '0000'" : "");
        catalog.exec(insert, {kA, item1});
        catalog.exec(insert, {kA, item2});
        catalog.exec(insert, {kB, item1});
        if (subitems)
            catalog.exec(QStringLiteral("INSERT INTO SBT (IDDT, NART, ISBT) VALUES (?, ?, '0001')"),
                         {kA, item1});

        catalog.run(QStringLiteral("sp_delete_ART"), {"0001", kA});

        QCOMPARE(catalog.rows(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY 1, 2")
                                  .arg(declaration, item, table)),
                 (QStringList{kA + "|" + item2.toString(), kB + "|" + item1.toString()}));
    }
    // Through the data layer: names in any letter case, as callers write them.
    void runProcedureByName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("setitemventajas")
            << "setitemventajas" << QStringList{kA}
            << "SELECT iddt, nart, ventajas FROM item_ventajas ORDER BY 2"
            << QStringList{kA + "|0001|A1", kA + "|0002|A1"};
        QTest::newRow("SetItemInfoAd")
            << "SetItemInfoAd" << QStringList{kA} << "SELECT IDDT, NART, INFOAD FROM ITEM_INFOAD"
            << QStringList{kA + "|0001|X=1"};
        QTest::newRow("SETITEMDOCS")
            << "SETITEMDOCS" << QStringList{kA} << "SELECT IDDT, NART, DOCS FROM ITEM_DOCS"
            << QStringList{kA + "|0001|D=r"};
        QTest::newRow("getcplpivot") << "getcplpivot" << QStringList{kA, "9999"}
                                     << "SELECT * FROM CPLPIVOT" << QStringList{kA + "|0001|1"};
        QTest::newRow("GETSRGPIVOT") << "GETSRGPIVOT" << QStringList{kA} << "SELECT * FROM SRGPIVOT"
                                     << QStringList{kA + "|0001|SI", kA + "|0002|SI"};
        QTest::newRow("GetDvdPivot") << "GetDvdPivot" << QStringList{kA, "9999"}
                                     << "SELECT * FROM DVDPIVOT" << QStringList{kA + "|0001|r"};
        QTest::newRow("SP_DELETE_ART: item first")
            << "SP_DELETE_ART" << QStringList{"0001", kA} << "SELECT IDDT, NART FROM ART"
            << QStringList{kA + "|0002"};
    }
    void runProcedureByName() {
        QFETCH(QString, name);
        QFETCH(QStringList, args);
        QFETCH(QString, check);
        QFETCH(QStringList, expected);

        CatalogFixture fixture(kFixtureSeed);
        modDA::runProcedure(name, args);
        QCOMPARE(recordsetRows(modDA::getRs(modDA::kCatalog, testSql(check))), expected);
    }

    // Failures read as execSQL's, as when callers sent the procedures as command texts.
    void runProcedureFailures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");

        const QString refused = QStringLiteral("Corvelix.modDA.execSQL (20)::Corvelix");
        QTest::newRow("unknown name") << "sp_borrar" << QStringList{kA} << refused
                                      << "No se encontró el procedimiento almacenado 'sp_borrar'.";
        QTest::newRow("a name that is a table")
            << "ART" << QStringList{} << refused
            << "No se encontró el procedimiento almacenado 'ART'.";
        QTest::newRow("missing argument")
            << "GETCPLPIVOT" << QStringList{kA} << refused
            << "El procedimiento o la función 'GETCPLPIVOT' espera el parámetro '@NART', que no "
               "se ha proporcionado.";
        QTest::newRow("too many arguments")
            << "setItemVentajas" << QStringList{kA, "0001"} << refused
            << "El procedimiento o la función setItemVentajas tiene demasiados argumentos "
               "especificados.";
        QTest::newRow("the run fails in the engine")
            << "GETCPLPIVOT" << QStringList{kB, "9999"}
            << QStringLiteral("Corvelix.modDA.execSQL (20)::QSQLITE")
            << "duplicate column name: NART";
    }
    void runProcedureFailures() {
        QFETCH(QString, name);
        QFETCH(QStringList, args);
        QFETCH(QString, source);
        QFETCH(QString, description);

        CatalogFixture fixture(kFixtureSeed);
        try {
            modDA::runProcedure(name, args);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, corvelix::kErrChained);
            QCOMPARE(e.source, source);
            QCOMPARE(e.description, description);
        }
        QCOMPARE(recordsetRows(modDA::getRs(modDA::kCatalog, "SELECT NART FROM ART ORDER BY 1")),
                 (QStringList{"0001", "0002"}));
    }

    // Inside a caller's transaction a procedure's work stands or falls with it.
    void runProcedureJoinsTheCallersTransaction_data() {
        QTest::addColumn<bool>("commit");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("committed") << true << QStringList{"0002"};
        QTest::newRow("rolled back") << false << QStringList{"0001", "0002"};
    }
    void runProcedureJoinsTheCallersTransaction() {
        QFETCH(bool, commit);
        QFETCH(QStringList, items);

        CatalogFixture fixture(kFixtureSeed);
        {
            modDA::Transaction transaction;
            modDA::runProcedure(QStringLiteral("sp_delete_ART"), {"0001", kA});
            if (commit)
                transaction.commit();
        }
        QCOMPARE(recordsetRows(modDA::getRs(modDA::kCatalog, "SELECT NART FROM ART ORDER BY 1")),
                 items);
        QCOMPARE(recordsetRows(modDA::getRs(
                     modDA::kCatalog, "SELECT NART FROM SRG WHERE ISRG = ? ORDER BY 1", {kA})),
                 items);
    }
};

CORVELIX_TEST(tst_Procedures)
#include "tst_Procedures.moc"
