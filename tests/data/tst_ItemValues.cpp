#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/ExpectError.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QLocale>
#include <QTest>

#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::catalogSnapshot;
using corvelix::test::expectChainedError;
using corvelix::test::ScriptedUi;

namespace {

const QString D = QStringLiteral("26001IC04000123A");

// Item 0001 has its own row and four subitems, item 0002 its own row and one subitem;
// declaration O is never to be touched.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001IC04000123A');
INSERT INTO DDT (IDDT) VALUES ('26001IC04000999O');
INSERT INTO ART (IDDT, NART, CARTUNTDCL, CARTUNTEST, QARTUNTDCL, QARTUNTEST, QARTKGRNET, MARTFOB, LISTA)
  VALUES ('26001IC04000123A', '0001', '07', '07', 1, 1, 9, 1, 'L0');
INSERT INTO ART (IDDT, NART, CARTUNTDCL, CARTUNTEST, QARTKGRNET) VALUES ('26001IC04000123A', '0002', '07', '07', 9);
INSERT INTO ART (IDDT, NART, CARTUNTDCL, CARTUNTEST, QARTKGRNET) VALUES ('26001IC04000123A', '0003', '07', '07', 9);
INSERT INTO ART (IDDT, NART, CARTUNTDCL, CARTUNTEST, QARTKGRNET) VALUES ('26001IC04000999O', '0001', '07', '07', 9);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTFOB) VALUES ('26001IC04000123A', '0001', '0000', 'AA(A0)-BB(X)-', 1, 1, 1);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTFOB) VALUES ('26001IC04000123A', '0001', '0001', 'BB(X)-AA(A1)-', 1, 1, 1);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTFOB) VALUES ('26001IC04000123A', '0001', '0002', 'CC(Z)-', 1, 1, 1);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTFOB) VALUES ('26001IC04000123A', '0001', '0003', 'aa(low)-AAAA-', 1, 1, 1);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTFOB) VALUES ('26001IC04000123A', '0001', '0004', 'AA(A4)-AA(B4)-', 1, 1, 1);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTFOB) VALUES ('26001IC04000123A', '0002', '0000', NULL, 1, 1, 1);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTFOB) VALUES ('26001IC04000123A', '0002', '0001', 'AA(A21)-', 1, 1, 1);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTFOB) VALUES ('26001IC04000999O', '0001', '0000', 'AA(O)-', 1, 1, 1);
)");

QStringList marks() {
    return catalogRows(QStringLiteral("SELECT IDDT, NART, CARTETA, CARTSTUDEV FROM ART "
                                      "WHERE CARTETA IS NOT NULL OR CARTSTUDEV IS NOT NULL "
                                      "ORDER BY IDDT, NART"));
}

QStringList suffixes(const QString& despacho = D) {
    return catalogRows(QStringLiteral("SELECT NART, ISBT, CSBTSVL FROM SBT WHERE IDDT = ? "
                                      "ORDER BY NART, ISBT"),
                       {despacho});
}

void trigger(const QString& sql) {
    modDA::execSQL(modDA::kCatalog, testSql(sql));
}

} // namespace

class tst_ItemValues : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanupTest() override {
        fixture_.reset();
        QLocale::setDefault(QLocale::c());
    }
private slots:

    void Invalidar_ITEM() {
        modDA::Invalidar_ITEM(D, QStringLiteral("0002"), false);
        QCOMPARE(marks(), QStringList{"26001IC04000123A|0002|I|I"});
        modDA::Invalidar_ITEM(D, QStringLiteral("0000"), true);
        QCOMPARE(marks(), (QStringList{"26001IC04000123A|0001|I|I", "26001IC04000123A|0002|I|I",
                                       "26001IC04000123A|0003|I|I"}));
    }

    void setCampoByItem() {
        modDA::setCampoByItem(D, QStringLiteral("0001"), QStringLiteral("LISTA"),
                              QStringLiteral("O'X; --%"));
        QCOMPARE(catalogRows(
                     QStringLiteral("SELECT LISTA FROM ART WHERE NART = '0001' AND IDDT = ?"), {D}),
                 QStringList{"O'X; --%"});
        const QStringList before = catalogSnapshot();
        QVERIFY_THROWS_EXCEPTION(VbError, modDA::setCampoByItem(D, QStringLiteral("0001"),
                                                                QStringLiteral("LISTA = 'x', IDDT"),
                                                                QStringLiteral("y")));
        QCOMPARE(catalogSnapshot(), before);
    }

    // Quantities as their general number (15 significant digits), whatever the locale.
    void actualizarValoresITEM_data() {
        QTest::addColumn<QString>("declarada");
        QTest::addColumn<QString>("estadistica");
        QTest::addColumn<QString>("expected");
        QTest::newRow("declared kilos") << "01"
                                        << "07"
                                        << "1234.5|0.333333333333333|3|1234.5|7";
        QTest::newRow("both: statistical") << "01"
                                           << "01"
                                           << "1234.5|0.333333333333333|3|3|7";
        QTest::newRow("neither: kilos kept") << "07"
                                             << "07"
                                             << "1234.5|0.333333333333333|3|9|7";
    }
    void actualizarValoresITEM() {
        QFETCH(QString, declarada);
        QFETCH(QString, estadistica);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
        modDA::actualizarValoresITEM(D, QStringLiteral("0001"), declarada, 1234.5, estadistica, 3,
                                     1.0 / 3.0, 7);
        QCOMPARE(
            catalogRows(QStringLiteral("SELECT QARTUNTDCL, MARTUNITAR, QARTUNTEST, QARTKGRNET, "
                                       "MARTFOB FROM ART WHERE IDDT = ? AND NART = '0001'"),
                        {D}),
            QStringList{expected});
        QVERIFY(marks().isEmpty());
    }

    void actualizarValoresITEM_FULL() {
        modDA::actualizarValoresITEM_FULL(D, QStringLiteral("0002"), 1, 2, 3, 4, 5, 6, 7, 8, 9);
        QCOMPARE(catalogRows(QStringLiteral("SELECT QARTUNTDCL, QARTUNTEST, MARTUNITAR, MARTFOB, "
                                            "QARTKGRNET, MARTAJUINC, MARTAJUDED, MARTASS, MARTFLE "
                                            "FROM ART WHERE IDDT = ? AND NART = '0002'"),
                             {D}),
                 QStringList{"1|2|3|4|5|6|7|8|9"});
    }

    void actualizarSufijos_data() {
        QTest::addColumn<QString>("subitem");
        QTest::addColumn<QString>("sufijos");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("marked");
        QTest::newRow("written and marked") << "0002"
                                            << " DD(O'K; --%)- " << true << true;
        QTest::newRow("300 characters") << "0002" << QString(300, QLatin1Char('Q')) << true << true;
        QTest::newRow("missing subitem still marks") << "0009"
                                                     << "DD(1)-" << false << true;
        QTest::newRow("blanks refused") << "0002"
                                        << "   " << false << false;
    }
    void actualizarSufijos() {
        QFETCH(QString, subitem);
        QFETCH(QString, sufijos);
        QFETCH(bool, result);
        QFETCH(bool, marked);
        const QStringList before = suffixes();
        const auto write = [&] {
            return modDA::actualizarSufijos(D, QStringLiteral("0001"), subitem, sufijos);
        };
        // Blanks are refused to the form, which shows it: the data layer shows nothing itself.
        if (sufijos.trimmed().isEmpty())
            corvelix::test::expectRefusal(
                [&] { (void)write(); }, QStringLiteral("Error no se puede grabar sufijos vacios"));
        else
            QCOMPARE(write(), result);
        QStringList expected = before;
        if (result)
            expected[2] = QStringLiteral("0001|0002|") + sufijos;
        QCOMPARE(suffixes(), expected);
        QCOMPARE(marks(), marked ? QStringList{"26001IC04000123A|0001|I|I"} : QStringList());
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    void actualizarSufijosIsAllOrNothing() {
        trigger(QStringLiteral("CREATE TRIGGER fail BEFORE UPDATE OF CARTETA ON ART "
                               "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
        const QStringList before = catalogSnapshot();
        expectChainedError(
            [] { modDA::actualizarSufijos(D, "0001", "0002", "DD(1)-"); },
            QStringLiteral(
                "Corvelix.modDA.actualizarSufijos (0)::Corvelix.modDA.Invalidar_ITEM (0)::"),
            QStringLiteral("injected"));
        QCOMPARE(catalogSnapshot(), before);
    }

    void actualizarSubItem() {
        modDA::actualizarSubItem(D, QStringLiteral("0001"), QStringLiteral("0002"), 5, 6, 7, 8.125);
        QCOMPARE(
            catalogRows(QStringLiteral("SELECT QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB FROM "
                                       "SBT WHERE IDDT = ? AND NART = '0001' AND ISBT = '0002'"),
                        {D}),
            QStringList{"5|6|7|8.125"});
        // The item follows its rows: 1+1+5+1+1, 1+1+6+1+1, FOB 12.125 at two decimals.
        QCOMPARE(catalogRows(QStringLiteral("SELECT QARTUNTDCL, QARTUNTEST, MARTFOB FROM ART "
                                            "WHERE IDDT = ? AND NART = '0001'"),
                             {D}),
                 QStringList{"9|10|12.13"});

        const QStringList before = catalogSnapshot();
        modDA::actualizarSubItem(D, QStringLiteral("0001"), QStringLiteral("0009"), 1, 1, 1, 1);
        QCOMPARE(catalogSnapshot(), before);
    }

    void actualizarSubItemIsAllOrNothing() {
        trigger(QStringLiteral("CREATE TRIGGER fail BEFORE UPDATE ON ART "
                               "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
        const QStringList before = catalogSnapshot();
        expectChainedError(
            [] { modDA::actualizarSubItem(D, "0001", "0002", 5, 6, 7, 8); },
            QStringLiteral(
                "Corvelix.modDA.actualizarSubItem (0)::Corvelix.modDA.recalcularITEM (0)::"),
            QStringLiteral("injected"));
        QCOMPARE(catalogSnapshot(), before);
    }

    void EliminarSBT() {
        modDA::EliminarSBT(D, QStringLiteral("0001"), QStringLiteral("0002"));
        QCOMPARE(suffixes(), (QStringList{"0001|0000|AA(A0)-BB(X)-", "0001|0001|BB(X)-AA(A1)-",
                                          "0001|0002|aa(low)-AAAA-", "0001|0003|AA(A4)-AA(B4)-",
                                          "0002|0000|<null>", "0002|0001|AA(A21)-"}));
        QVERIFY(marks().isEmpty());
    }

    void EliminarSBTRefuses_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("subitem");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");
        QTest::newRow("two rows")
            << "0002"
            << "0001"
            << "Corvelix.modDA.EliminarSBT (0)::funcionalidad no soportada"
            << "El sistema puede eliminar cuando hay mas de 2 subitems en el item, ";
        QTest::newRow("not a number") << "0001"
                                      << "x"
                                      << "Corvelix.modDA.EliminarSBT (0)::"
                                      << "No coinciden los tipos";
        QTest::newRow("injection") << "0001"
                                   << "0002' OR '1'='1"
                                   << "Corvelix.modDA.EliminarSBT (0)::"
                                   << "No coinciden los tipos";
    }
    void EliminarSBTRefuses() {
        QFETCH(QString, item);
        QFETCH(QString, subitem);
        QFETCH(QString, source);
        QFETCH(QString, description);
        const QStringList before = catalogSnapshot();
        try {
            modDA::EliminarSBT(D, item, subitem);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, corvelix::kErrChained);
            QVERIFY2(e.source.startsWith(source), qPrintable(e.source));
            QCOMPARE(e.description, description);
        }
        QCOMPARE(catalogSnapshot(), before);
    }

    // The renumbering fails after the delete ran: the subitem comes back.
    void EliminarSBTIsAllOrNothing() {
        trigger(QStringLiteral("CREATE TRIGGER fail BEFORE UPDATE OF ISBT ON SBT "
                               "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
        const QStringList before = catalogSnapshot();
        expectChainedError([] { modDA::EliminarSBT(D, "0001", "0002"); },
                           QStringLiteral("Corvelix.modDA.EliminarSBT (0)::"),
                           QStringLiteral("injected"));
        QCOMPARE(catalogSnapshot(), before);
    }

    void ReemplazarSufijo_data() {
        QTest::addColumn<QString>("sufijos");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first entry") << "AA(OLD)-BB(X)-"
                                     << "AA"
                                     << "NEW"
                                     << "AA(NEW)-BB(X)-";
        QTest::newRow("quote dropped") << "AA(OLD)-BB(X)-"
                                       << "AA"
                                       << "O'NEW"
                                       << "AA(ONEW)-BB(X)-";
        QTest::newRow("absent code") << "AA(OLD)-BB(X)-"
                                     << "CC"
                                     << "NEW"
                                     << "";
        QTest::newRow("later entry") << "BB(X)-AA(OLD)-"
                                     << "AA"
                                     << ""
                                     << "BB(X)-AA()-";
        QTest::newRow("first occurrence only") << "AA(1)-AA(2)-"
                                               << "AA"
                                               << "N"
                                               << "AA(N)-AA(2)-";
        QTest::newRow("letter case counts") << "aa(1)-"
                                            << "AA"
                                            << "N"
                                            << "";
        QTest::newRow("typed text kept") << "AA(1)-"
                                         << "AA"
                                         << "; --%"
                                         << "AA(; --%)-";
    }
    void ReemplazarSufijo() {
        QFETCH(QString, sufijos);
        QFETCH(QString, codigo);
        QFETCH(QString, valor);
        QFETCH(QString, expected);
        QCOMPARE(modDA::ReemplazarSufijo(sufijos, codigo, valor), expected);
    }

    void ReemplazarSufijoWithoutClosingFails() {
        expectChainedError([] { (void)modDA::ReemplazarSufijo("AA(1", "AA", "N"); },
                           QStringLiteral("Corvelix.modDA.ReemplazarSufijo (0)::"),
                           QStringLiteral("argumento no válidos"));
    }

    void EstablecerSufijo() {
        modDA::EstablecerSufijo(D, "0001", "0002", "CC(Z)-", "AA", "N");
        QCOMPARE(suffixes().at(2), QStringLiteral("0001|0002|CC(Z)-"));
        modDA::EstablecerSufijo(D, "0001", "0002", "CC(Z)-", "CC", "O'K;--%");
        QCOMPARE(suffixes().at(2), QStringLiteral("0001|0002|CC(OK;--%)-"));
        QVERIFY(marks().isEmpty());
        const QStringList before = catalogSnapshot();
        expectChainedError([] { modDA::EstablecerSufijo(D, "0001", "0002", "CC(Z", "CC", "N"); },
                           QStringLiteral("Corvelix.modDA.EstablecerSufijo (10)::"),
                           QStringLiteral("(item 0001, subitem 0002)"));
        QCOMPARE(catalogSnapshot(), before);
    }

    // Over many subitems: a malformed string in the middle stops everything, naming it.
    void EstablecerSufijoOverManyIsAllOrNothing() {
        const QList<modDA::SubitemSufijos> rows{{D, "0001", "0000", "AA(A0)-BB(X)-"},
                                                {D, "0001", "0001", "BB(X)-AA(A1"},
                                                {D, "0002", "0001", "AA(A21)-"}};
        const QStringList before = catalogSnapshot();
        expectChainedError([&] { modDA::EstablecerSufijo(rows, "AA", "N"); },
                           QStringLiteral("Corvelix.modDA.EstablecerSufijo (0)::"),
                           QStringLiteral("(item 0001, subitem 0001)"));
        QCOMPARE(catalogSnapshot(), before);

        trigger(QStringLiteral("CREATE TRIGGER fail BEFORE UPDATE ON SBT WHEN NEW.NART = '0002' "
                               "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
        QList<modDA::SubitemSufijos> good = rows;
        good[1].sufijos = QStringLiteral("BB(X)-AA(A1)-");
        expectChainedError([&] { modDA::EstablecerSufijo(good, "AA", "N"); },
                           QStringLiteral("Corvelix.modDA.EstablecerSufijo (0)::"),
                           QStringLiteral("injected"));
        QCOMPARE(catalogSnapshot(), before);

        modDA::execSQL(modDA::kCatalog, "DROP TRIGGER fail");
        modDA::EstablecerSufijo(good, "AA", "N");
        QCOMPARE(suffixes().mid(0, 2),
                 (QStringList{"0001|0000|AA(N)-BB(X)-", "0001|0001|BB(X)-AA(N)-"}));
        QCOMPARE(suffixes().last(), QStringLiteral("0002|0001|AA(N)-"));
        QVERIFY(marks().isEmpty());
    }

    // Every string that holds "AA(" gets what ReemplazarSufijo makes of it; every item marked.
    void EstablecerSufijoAA_data() {
        QTest::addColumn<QString>("valor");
        QTest::newRow("plain") << "NUEVO";
        QTest::newRow("quote dropped") << "O'NEIL";
        QTest::newRow("semicolon") << "A; DELETE FROM SBT";
        QTest::newRow("percent") << "%";
        QTest::newRow("dashes") << "--";
        QTest::newRow("300 characters") << QString(300, QLatin1Char('W'));
        QTest::newRow("empty") << "";
    }
    void EstablecerSufijoAA() {
        QFETCH(QString, valor);
        QStringList expected;
        for (const QString& row : suffixes()) {
            const QStringList cells = row.split(QLatin1Char('|'));
            const QString nuevo = modDA::ReemplazarSufijo(cells[2], "AA", valor);
            expected << (nuevo.isEmpty() ? row : cells[0] + "|" + cells[1] + "|" + nuevo);
        }
        const QStringList other = suffixes(QStringLiteral("26001IC04000999O"));
        modDA::EstablecerSufijoAA(D, valor);
        QCOMPARE(suffixes(), expected);
        QCOMPARE(suffixes(QStringLiteral("26001IC04000999O")), other);
        QCOMPARE(marks().size(), 3);
    }

    void EstablecerSufijoAAWithoutAnyAAStillMarks() {
        modDA::execSQL(modDA::kCatalog, "UPDATE SBT SET CSBTSVL = 'BB(1)-'");
        modDA::EstablecerSufijoAA(D, QStringLiteral("N"));
        QCOMPARE(marks().size(), 3);
    }

    void EstablecerSufijoAAIsAllOrNothing() {
        modDA::execSQL(
            modDA::kCatalog,
            "UPDATE SBT SET CSBTSVL = 'BB(1)-AA(2' WHERE NART = '0001' AND ISBT = '0003'");
        const QStringList before = catalogSnapshot();
        expectChainedError([] { modDA::EstablecerSufijoAA(D, "N"); },
                           QStringLiteral("Corvelix.modDA.EstablecerSufijoAA (0)::"),
                           QStringLiteral("(item 0001, subitem 0003)"));
        QCOMPARE(catalogSnapshot(), before);

        modDA::execSQL(modDA::kCatalog,
                       "UPDATE SBT SET CSBTSVL = 'BB(1)-' WHERE NART = '0001' AND ISBT = '0003'");
        trigger(QStringLiteral("CREATE TRIGGER fail BEFORE UPDATE OF CARTETA ON ART "
                               "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
        const QStringList unchanged = catalogSnapshot();
        expectChainedError(
            [] { modDA::EstablecerSufijoAA(D, "N"); },
            QStringLiteral(
                "Corvelix.modDA.EstablecerSufijoAA (0)::Corvelix.modDA.Invalidar_ITEM (0)::"),
            QStringLiteral("injected"));
        QCOMPARE(catalogSnapshot(), unchanged);
    }

    void EstablecerSufijoAAOnTheServer() {
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        modDA::EstablecerSufijoAA(D, QStringLiteral("O'K"));
        const QStringList texts = capture.texts();
        QCOMPARE(texts.size(), 3);
        QCOMPARE(
            texts[0],
            QStringLiteral("SELECT TOP 1 NART, ISBT FROM SBT WHERE IDDT = ? AND CHARINDEX('AA(', "
                           "CSBTSVL COLLATE Latin1_General_BIN) > 0 AND CHARINDEX(')-', CSBTSVL, "
                           "CHARINDEX('AA(', CSBTSVL COLLATE Latin1_General_BIN) + 3) = 0 ORDER BY "
                           "NART, ISBT"));
        QCOMPARE(texts[1],
                 QStringLiteral(
                     "UPDATE SBT SET CSBTSVL = SUBSTRING(CSBTSVL, 1, CHARINDEX('AA(', CSBTSVL "
                     "COLLATE Latin1_General_BIN) + 2) + CAST(? AS nvarchar(max)) + "
                     "SUBSTRING(CSBTSVL, "
                     "CHARINDEX(')-', CSBTSVL, CHARINDEX('AA(', CSBTSVL COLLATE "
                     "Latin1_General_BIN) + 3), 8000) WHERE IDDT = ? AND CHARINDEX('AA(', "
                     "CSBTSVL COLLATE Latin1_General_BIN) > 0"));
        QCOMPARE(capture.statements()[1].params, (QVariantList{"OK", D}));
        QCOMPARE(texts[2],
                 QStringLiteral("UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = ? "));
    }

    void eliminarITEM() {
        {
            modDA::StatementCapture capture(modDA::Dialect::SqlServer);
            modDA::eliminarITEM(D, QStringLiteral("0002"));
            QCOMPARE(capture.statements().size(), 1);
            QCOMPARE(capture.statements()[0].params, (QVariantList{"0002", D}));
        }
        modDA::eliminarITEM(D, QStringLiteral("0002"));
        QCOMPARE(
            catalogRows(QStringLiteral("SELECT NART FROM ART WHERE IDDT = ? ORDER BY NART"), {D}),
            (QStringList{"0001", "0003"}));
        QCOMPARE(suffixes().size(), 5);
        QVERIFY(marks().isEmpty());
    }
};

CORVELIX_TEST(tst_ItemValues)
#include "tst_ItemValues.moc"
