#include "data/modDA.h"
#include "data/procedures_sqlite.h"
#include "data/schema.h"
#include "runtime/VbError.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestCatalog.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QTest>

#include <algorithm>

using corvelix::VbError;
using corvelix::test::addEngineColumn;
using corvelix::test::addEngineRows;
using corvelix::test::catalogEngines;
using corvelix::test::Engine;
using corvelix::test::engineRow;
using corvelix::test::recordsetRows;
using corvelix::test::ScriptedUi;
using corvelix::test::TestCatalog;

namespace {

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

QStringList listRows(const TestCatalog& catalog, const ListTable& t) {
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

void run(const QString& name, const QStringList& args) {
    modDA::runProcedure(name, args);
}

} // namespace

class tst_Procedures : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    // One row per item that has rows, "|#|" between the elements, only the asked declaration.
    void listTables_data() {
        addEngineColumn();
        QTest::addColumn<int>("table");
        QTest::addColumn<QStringList>("seed");
        QTest::addColumn<QStringList>("expected");
        for (const Engine e : catalogEngines()) {
            engineRow(e, "advantages: header and items, other declaration left out")
                << 0
                << QStringList{srg(kA, "0000", "AUTOLIQLIBREIMP"), srg(kA, "0002", "B2"),
                               srg(kB, "0001", "ZZ")}
                << QStringList{kA + "|0000|AUTOLIQLIBREIMP", kA + "|0002|B2"};
            engineRow(e, "advantages: blanks around the list trimmed")
                << 0 << QStringList{srg(kA, "0001", " A1 ")} << QStringList{kA + "|0001|A1"};
            engineRow(e, "info: code order")
                << 1 << QStringList{cpl(kA, "0001", "X", "'1'"), cpl(kA, "0001", "A", "'2'")}
                << QStringList{kA + "|0001|A=2|#|X=1"};
            engineRow(e, "info: a Null value is an empty text")
                << 1
                << QStringList{cpl(kA, "0001", "X", "NULL"), cpl(kA, "0001", "A", "'2'"),
                               cpl(kA, "0002", "M", "NULL")}
                << QStringList{kA + "|0001|A=2|#|X=", kA + "|0002|M="};
            engineRow(e, "info: codes ordered without letter case")
                << 1
                << QStringList{cpl(kA, "0001", "b", "'1'"), cpl(kA, "0001", "C", "'2'"),
                               cpl(kA, "0001", "A", "'3'")}
                << QStringList{kA + "|0001|A=3|#|b=1|#|C=2"};
            engineRow(e, "info: declaration matched without letter case")
                << 1 << QStringList{cpl(kA.toLower(), "0001", "X", "'1'")}
                << QStringList{kA.toLower() + "|0001|X=1"};
            engineRow(e, "docs: code order, Null reference, trailing blanks trimmed")
                << 2
                << QStringList{dvd(kA, "0000", "FACTURACOMERCIAL", "'F-1'"),
                               dvd(kA, "0001", "ZCERT", "'C 9   '"),
                               dvd(kA, "0001", "LPCO", "NULL"), dvd(kB, "0001", "LPCO", "'x'")}
                << QStringList{kA + "|0000|FACTURACOMERCIAL=F-1", kA + "|0001|LPCO=|#|ZCERT=C 9"};
            // Characters XML cannot hold are left out on both engines; tab, LF and CR stay.
            const auto withControls = [e](const char* before, int control, const char* after) {
                return e == Engine::Sqlite ? QStringLiteral("'%1' || char(%2) || '%3'")
                                                 .arg(before)
                                                 .arg(control)
                                                 .arg(after)
                                           : QStringLiteral("'%1' + CHAR(%2) + '%3'")
                                                 .arg(before)
                                                 .arg(control)
                                                 .arg(after);
            };
            engineRow(e, "info: a vertical tab is left out, a tab stays")
                << 1
                << QStringList{cpl(kA, "0001", "X", withControls("a", 11, "b")),
                               cpl(kA, "0001", "Y", withControls("c", 9, "d"))}
                << QStringList{kA + "|0001|X=ab|#|Y=c\td"};
            engineRow(e, "info: a NUL is left out")
                << 1 << QStringList{cpl(kA, "0001", "X", withControls("a", 0, "b"))}
                << QStringList{kA + "|0001|X=ab"};
            engineRow(e, "docs: control characters left out")
                << 2
                << QStringList{dvd(kA, "0001", "LPCO", withControls("R", 1, "-1")),
                               dvd(kA, "0001", "ZCERT", withControls("C", 31, "9"))}
                << QStringList{kA + "|0001|LPCO=R-1|#|ZCERT=C9"};
            engineRow(e, "advantages: control characters left out") << 0
                                                                    << QStringList{srg(kA, "0001",
                                                                                       "A\x08"
                                                                                       "1")}
                                                                    << QStringList{kA + "|0001|A1"};
            engineRow(e, "no rows: empty table")
                << 2 << QStringList{dvd(kB, "0001", "LPCO", "'x'")} << QStringList{};
        }
    }
    void listTables() {
        QFETCH(int, table);
        QFETCH(QStringList, seed);
        QFETCH(QStringList, expected);
        const ListTable& t = workLists().at(table);

        QFETCH(Engine, engine);
        TestCatalog catalog(engine);
        catalog.seed(seed);
        run(t.procedure, {kA});
        QCOMPARE(listRows(catalog, t), expected);
    }

    // Advantages keep no order: both codes, once each.
    void advantagesOfOneItemInOneRow_data() { addEngineRows(); }
    void advantagesOfOneItemInOneRow() {
        QFETCH(Engine, engine);
        TestCatalog catalog(engine);
        catalog.seed({srg(kA, "0001", "A1"), srg(kA, "0001", "B2")});
        run(QStringLiteral("setItemVentajas"), {kA});
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
        addEngineColumn();
        QTest::addColumn<int>("table");
        QTest::addColumn<QStringList>("seed");
        QTest::addColumn<QString>("full");
        for (const Engine e : catalogEngines()) {
            // Codes short enough for the server's index, many of them: the same code
            // repeated, as the advantages keep no order.
            const QString code = QString(100, QLatin1Char('V'));
            QStringList seed;
            for (int i = 0; i < 60; ++i)
                seed << srg(kA, "0001", code);
            engineRow(e, "advantages at 5000")
                << 0 << seed << QStringList(60, code).join(QStringLiteral("|#|"));
            const QString x(5000, QLatin1Char('x'));
            const QString y(5000, QLatin1Char('y'));
            engineRow(e, "info at 8000") << 1
                                         << QStringList{cpl(kA, "0001", "B", "'" + y + "'"),
                                                        cpl(kA, "0001", "A", "'" + x + "'")}
                                         << "A=" + x + "|#|B=" + y;
            engineRow(e, "docs at 8000") << 2
                                         << QStringList{dvd(kA, "0001", "D2", "'" + y + "'"),
                                                        dvd(kA, "0001", "D1", "'" + x + "'")}
                                         << "D1=" + x + "|#|D2=" + y;
        }
    }
    void longListsAreCut() {
        QFETCH(int, table);
        QFETCH(QStringList, seed);
        QFETCH(QString, full);
        const ListTable& t = workLists().at(table);

        QFETCH(Engine, engine);
        TestCatalog catalog(engine);
        catalog.seed(seed);
        run(t.procedure, {kA});
        const QStringList rows =
            catalog.rows(QStringLiteral("SELECT %1 FROM %2").arg(t.textColumn, t.table));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0], full.left(t.limit - 3));
    }

    // The work tables hold one declaration at a time: the last one run.
    void listTablesHoldTheLastDeclarationOnly_data() { addEngineRows(); }
    void listTablesHoldTheLastDeclarationOnly() {
        QFETCH(Engine, engine);
        TestCatalog catalog(engine);
        catalog.seed({srg(kA, "0001", "A1"), srg(kB, "0001", "B1"), cpl(kA, "0001", "X", "'1'"),
                      cpl(kB, "0002", "Y", "'2'"), dvd(kA, "0001", "D", "'r'")});
        for (const QString& iddt : {kA, kB}) {
            for (const ListTable& t : workLists())
                run(t.procedure.toLower(), {iddt});
        }
        QCOMPARE(listRows(catalog, workLists().at(0)), QStringList{kB + "|0001|B1"});
        QCOMPARE(listRows(catalog, workLists().at(1)), QStringList{kB + "|0002|Y=2"});
        QCOMPARE(listRows(catalog, workLists().at(2)), QStringList{});
    }

    // Pivots: key columns, then one column per distinct code (named by the code exactly),
    // one row per item.
    void pivots_data() {
        addEngineColumn();
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("seed");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("rows");
        for (const Engine e : catalogEngines()) {
            const QStringList cplSeed{
                cpl(kA, "0000", "HDR", "'h'"),  cpl(kA, "0002", "B C", "'b2'"),
                cpl(kA, "0001", "A-1", "'a1'"), cpl(kA, "0002", "a-1", "'a2'"),
                cpl(kA, "0001", "Q\"X", "'q'"), cpl(kB, "0001", "OTHER", "'o'"),
                cpl(kA, "0003", "A-1", "NULL"),
            };
            engineRow(e, "info, item rows: codes with '-', blanks and quotes; letter case ignored")
                << "GETCPLPIVOT" << QStringList{kA, "9999"} << cplSeed << "CPLPIVOT"
                << QStringList{"ICPL", "NART", "A-1", "B C", "Q\"X"}
                << QStringList{kA + "|0001|a1|<null>|q", kA + "|0002|a2|b2|<null>",
                               kA + "|0003|<null>|<null>|<null>"};
            engineRow(e, "info, declaration rows")
                << "GETCPLPIVOT" << QStringList{kA, "0000"} << cplSeed << "CPLPIVOT"
                << QStringList{"ICPL", "NART", "HDR"} << QStringList{kA + "|0000|h"};
            engineRow(e, "documents: the largest reference of a repeated code, letter case ignored")
                << "GETDVDPIVOT" << QStringList{kA, "0000"}
                << QStringList{dvd(kA, "0000", "FACTURACOMERCIAL", "'f-0002'"),
                               dvd(kA, "0000", "FACTURACOMERCIAL", "'F-0010'"),
                               dvd(kA, "0001", "LPCO", "'L'")}
                << "DVDPIVOT" << QStringList{"IDVD", "NART", "FACTURACOMERCIAL"}
                << QStringList{kA + "|0000|F-0010"};
            engineRow(e, "documents, item rows")
                << "GETDVDPIVOT" << QStringList{kA, "9999"}
                << QStringList{dvd(kA, "0000", "FACTURACOMERCIAL", "'F-0001'"),
                               dvd(kA, "0002", "ZCERT", "'Z'"), dvd(kA, "0001", "LPCO", "'L'")}
                << "DVDPIVOT" << QStringList{"IDVD", "NART", "LPCO", "ZCERT"}
                << QStringList{kA + "|0001|L|<null>", kA + "|0002|<null>|Z"};
            engineRow(e, "advantages: SI or Null, header included, ordered by item")
                << "GETSRGPIVOT" << QStringList{kA}
                << QStringList{srg(kA, "0002", "B2"), srg(kA, "0000", "AUTOLIQLIBREIMP"),
                               srg(kA, "0001", "A1"), srg(kA, "0001", "B2"), srg(kB, "0001", "X")}
                << "SRGPIVOT" << QStringList{"ISRG", "NART", "A1", "AUTOLIQLIBREIMP", "B2"}
                << QStringList{kA + "|0000|<null>|SI|<null>", kA + "|0001|SI|<null>|SI",
                               kA + "|0002|<null>|<null>|SI"};
        }
    }
    void pivots() {
        QFETCH(QString, procedure);
        QFETCH(QStringList, args);
        QFETCH(QStringList, seed);
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        QFETCH(QStringList, rows);

        QFETCH(Engine, engine);
        TestCatalog catalog(engine);
        catalog.seed(seed);
        // A previous run for another declaration is replaced, columns and all.
        catalog.seed({srg(kB, "0001", "OLD"), cpl(kB, "0001", "OLD", "'o'"),
                      cpl(kB, "0000", "OLD", "'o'"), dvd(kB, "0001", "OLD", "'o'"),
                      dvd(kB, "0000", "OLD", "'o'")});
        run(procedure, args.size() == 2 ? QStringList{kB, args[1]} : QStringList{kB});
        run(procedure, args);

        // Codes differing only in letter case make one column, named after either spelling.
        QCOMPARE(catalog.columns(table).join(',').toUpper(), columns.join(',').toUpper());
        QCOMPARE(catalog.rows(QStringLiteral("SELECT * FROM ") + table), rows);
    }

    // Without codes the pivot is dropped and not made again: readers test for it.
    void pivotWithoutCodesIsDropped_data() {
        addEngineColumn();
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QString>("table");
        for (const Engine e : catalogEngines()) {
            engineRow(e, "info, declaration without header rows") << "GETCPLPIVOT"
                                                                  << "0000"
                                                                  << "CPLPIVOT";
            engineRow(e, "info, declaration without item rows") << "GETCPLPIVOT"
                                                                << "9999"
                                                                << "CPLPIVOT";
            engineRow(e, "documents") << "GETDVDPIVOT"
                                      << "9999"
                                      << "DVDPIVOT";
            engineRow(e, "advantages") << "GETSRGPIVOT" << QString() << "SRGPIVOT";
        }
    }
    void pivotWithoutCodesIsDropped() {
        QFETCH(QString, procedure);
        QFETCH(QString, selector);
        QFETCH(QString, table);
        const auto args = [&](const QString& iddt) {
            return selector.isNull() ? QStringList{iddt} : QStringList{iddt, selector};
        };

        QFETCH(Engine, engine);
        TestCatalog catalog(engine);
        // B has rows at both levels; A only the other level (CPL) or nothing.
        catalog.seed({srg(kB, "0001", "S"), cpl(kB, "0000", "H", "'h'"),
                      cpl(kB, "0001", "I", "'i'"), dvd(kB, "0001", "D", "'d'"),
                      cpl(kA, selector == "0000" ? "0001" : "0000", "OTHERLEVEL", "'x'")});
        run(procedure, args(kB));
        QVERIFY(catalog.exists(table));

        run(procedure, args(kA));
        QVERIFY(!catalog.exists(table));
    }

    // A failing run leaves the catalog as it was: the previous pivot stays.
    void failedPivotKeepsThePreviousTable_data() { addEngineRows(); }
    void failedPivotKeepsThePreviousTable() {
        QFETCH(Engine, engine);
        TestCatalog catalog(engine);
        catalog.seed({cpl(kA, "0001", "X", "'1'"), cpl(kB, "0001", "NART", "'clash'")});
        run(QStringLiteral("GETCPLPIVOT"), {kA, "9999"});
        try {
            run(QStringLiteral("GETCPLPIVOT"), {kB, "9999"});
            QFAIL("no error");
        } catch (const VbError& e) {
            QVERIFY(!e.description.isEmpty());
        }
        QCOMPARE(catalog.columns("CPLPIVOT"), (QStringList{"ICPL", "NART", "X"}));
        QCOMPARE(catalog.rows("SELECT * FROM CPLPIVOT"), QStringList{kA + "|0001|1"});
        // The connection is usable afterwards and outside any transaction.
        run(QStringLiteral("GETCPLPIVOT"), {kA, "0000"});
        QVERIFY(!catalog.exists("CPLPIVOT"));
    }

    // The item goes from every declaration table; other items and declarations stay.
    void deleteItemRemovesItsRowsEverywhere_data() {
        addEngineColumn();
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QVariant>("item1");
        QTest::addColumn<QVariant>("item2");
        for (const Engine e : catalogEngines()) {
            const auto text = [](const char* s) { return QVariant(QString::fromLatin1(s)); };
            engineRow(e, "ART") << "ART"
                                << "IDDT"
                                << "NART" << text("0001") << text("0002");
            engineRow(e, "SBT") << "SBT"
                                << "IDDT"
                                << "NART" << text("0001") << text("0002");
            engineRow(e, "CPL") << "CPL"
                                << "ICPL"
                                << "NART" << text("0001") << text("0002");
            engineRow(e, "SRG") << "SRG"
                                << "ISRG"
                                << "NART" << text("0001") << text("0002");
            engineRow(e, "DVD") << "DVD"
                                << "IDVD"
                                << "NART" << text("0001") << text("0002");
            engineRow(e, "LQA") << "LQA"
                                << "ILIQ"
                                << "NART" << text("0001") << text("0002");
            engineRow(e, "DCM") << "DCM"
                                << "IDDT"
                                << "NART" << text("0001") << text("0002");
            engineRow(e, "CCM: bare number") << "CCM"
                                             << "IDDT"
                                             << "NART" << QVariant(1) << QVariant(2);
            engineRow(e, "DCN: bare number") << "DCN"
                                             << "IDCN"
                                             << "NDCNART" << QVariant(1) << QVariant(2);
        }
    }
    void deleteItemRemovesItsRowsEverywhere() {
        QFETCH(QString, table);
        QFETCH(QString, declaration);
        QFETCH(QString, item);
        QFETCH(QVariant, item1);
        QFETCH(QVariant, item2);

        QFETCH(Engine, engine);
        TestCatalog catalog(engine);
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

        run(QStringLiteral("sp_delete_ART"), {"0001", kA});

        QCOMPARE(catalog.rows(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY 1, 2")
                                  .arg(declaration, item, table)),
                 (QStringList{kA + "|" + item2.toString(), kB + "|" + item1.toString()}));
    }
    // Through the data layer: names in any letter case, as callers write them.
    void runProcedureByName_data() {
        addEngineColumn();
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QStringList>("expected");
        for (const Engine e : catalogEngines()) {
            engineRow(e, "setitemventajas")
                << "setitemventajas" << QStringList{kA}
                << "SELECT iddt, nart, ventajas FROM item_ventajas ORDER BY 2"
                << QStringList{kA + "|0001|A1", kA + "|0002|A1"};
            engineRow(e, "SetItemInfoAd")
                << "SetItemInfoAd" << QStringList{kA}
                << "SELECT IDDT, NART, INFOAD FROM ITEM_INFOAD" << QStringList{kA + "|0001|X=1"};
            engineRow(e, "SETITEMDOCS")
                << "SETITEMDOCS" << QStringList{kA} << "SELECT IDDT, NART, DOCS FROM ITEM_DOCS"
                << QStringList{kA + "|0001|D=r"};
            engineRow(e, "getcplpivot") << "getcplpivot" << QStringList{kA, "9999"}
                                        << "SELECT * FROM CPLPIVOT" << QStringList{kA + "|0001|1"};
            engineRow(e, "GETSRGPIVOT")
                << "GETSRGPIVOT" << QStringList{kA} << "SELECT * FROM SRGPIVOT"
                << QStringList{kA + "|0001|SI", kA + "|0002|SI"};
            engineRow(e, "GetDvdPivot") << "GetDvdPivot" << QStringList{kA, "9999"}
                                        << "SELECT * FROM DVDPIVOT" << QStringList{kA + "|0001|r"};
            engineRow(e, "SP_DELETE_ART: item first")
                << "SP_DELETE_ART" << QStringList{"0001", kA} << "SELECT IDDT, NART FROM ART"
                << QStringList{kA + "|0002"};
        }
    }
    void runProcedureByName() {
        QFETCH(QString, name);
        QFETCH(QStringList, args);
        QFETCH(QString, check);
        QFETCH(QStringList, expected);

        QFETCH(Engine, engine);
        TestCatalog catalog(engine, kFixtureSeed);
        modDA::runProcedure(name, args);
        QCOMPARE(catalog.rows(check), expected);
    }

    // Failures read as execSQL's, as when callers sent the procedures as command texts.
    void runProcedureFailures_data() {
        addEngineColumn();
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");
        for (const Engine e : catalogEngines()) {
            const QString refused = QStringLiteral("Corvelix.modDA.execSQL (20)::Corvelix");
            engineRow(e, "unknown name")
                << "sp_borrar" << QStringList{kA} << refused
                << "No se encontró el procedimiento almacenado 'sp_borrar'.";
            engineRow(e, "a name that is a table")
                << "ART" << QStringList{} << refused
                << "No se encontró el procedimiento almacenado 'ART'.";
            engineRow(e, "missing argument") << "GETCPLPIVOT" << QStringList{kA} << refused
                                             << "El procedimiento o la función 'GETCPLPIVOT' "
                                                "espera el parámetro '@NART', que no "
                                                "se ha proporcionado.";
            engineRow(e, "too many arguments")
                << "setItemVentajas" << QStringList{kA, "0001"} << refused
                << "El procedimiento o la función setItemVentajas tiene demasiados argumentos "
                   "especificados.";
            if (e == Engine::Sqlite)
                engineRow(e, "the run fails in the engine")
                    << "GETCPLPIVOT" << QStringList{kB, "9999"}
                    << QStringLiteral("Corvelix.modDA.execSQL (20)::QSQLITE")
                    << "el catálogo no pudo ejecutar la instrucción";
        }
    }
    void runProcedureFailures() {
        QFETCH(QString, name);
        QFETCH(QStringList, args);
        QFETCH(QString, source);
        QFETCH(QString, description);

        QFETCH(Engine, engine);
        TestCatalog catalog(engine, kFixtureSeed);
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
        addEngineColumn();
        QTest::addColumn<bool>("commit");
        QTest::addColumn<QStringList>("items");
        for (const Engine e : catalogEngines()) {
            engineRow(e, "committed") << true << QStringList{"0002"};
            engineRow(e, "rolled back") << false << QStringList{"0001", "0002"};
        }
    }
    void runProcedureJoinsTheCallersTransaction() {
        QFETCH(bool, commit);
        QFETCH(QStringList, items);

        QFETCH(Engine, engine);
        TestCatalog catalog(engine, kFixtureSeed);
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

    // A procedure that fails inside a caller's transaction undoes all of it, as the server
    // does; the caller can then neither go on in it nor commit half of its work.
    void aFailingProcedureUndoesTheCallersTransaction_data() { addEngineRows(); }
    void aFailingProcedureUndoesTheCallersTransaction() {
        QFETCH(Engine, engine);
        TestCatalog catalog(engine, kFixtureSeed);
        const QString undone = QStringLiteral("La transacción se deshizo por un error anterior.");
        {
            modDA::Transaction transaction;
            modDA::execSQL(modDA::kCatalog, "DELETE FROM ART WHERE NART = ?", {"0002"});
            const QStringList clash{kB, QStringLiteral("9999")};
            QVERIFY_THROWS_EXCEPTION(VbError, run(QStringLiteral("GETCPLPIVOT"), clash));
            try {
                modDA::execSQL(modDA::kCatalog, "DELETE FROM ART");
                QFAIL("a statement ran in the undone transaction");
            } catch (const VbError& e) {
                QVERIFY2(e.description.startsWith(undone), qPrintable(e.description));
            }
            try {
                transaction.commit();
                QFAIL("the undone transaction was committed");
            } catch (const VbError& e) {
                QCOMPARE(e.description, undone + QStringLiteral(" No se puede confirmar."));
            }
        }
        QCOMPARE(catalog.rows(QStringLiteral("SELECT NART FROM ART ORDER BY 1")),
                 (QStringList{"0001", "0002"}));
        // Afterwards the connection works as before.
        QCOMPARE(modDA::execSQL(modDA::kCatalog, "DELETE FROM ART WHERE NART = ?", {"0002"}), 1);
    }
};

CORVELIX_TEST(tst_Procedures)
#include "tst_Procedures.moc"
