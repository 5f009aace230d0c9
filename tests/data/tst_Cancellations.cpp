#include "data/cancellations.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/ExpectError.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QTest>

#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::expectChainedError;
using corvelix::test::catalogRows;
using corvelix::test::catalogSnapshot;
using corvelix::test::ScriptedUi;

namespace {

const QString D = QStringLiteral("26001IC06000123A");
const QString X = QStringLiteral("26001IC04000555X");

// Item 0001 has its own row and two subitems, 0002 none; item 0007 is shown as 3.
// D has two earlier lines; declaration O's line must never change.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001IC06000123A');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, QARTUNTDCL) VALUES ('26001IC06000123A', '0001', '0001', 'N1', 10);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, QARTUNTDCL) VALUES ('26001IC06000123A', '0002', '0002', 'N2', 20);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, QARTUNTDCL) VALUES ('26001IC06000123A', '0007', '0003', 'N7', 70);
INSERT INTO SBT (IDDT, NART, ISBT, QSBTUNTDCL) VALUES ('26001IC06000123A', '0001', '0000', 99);
INSERT INTO SBT (IDDT, NART, ISBT, QSBTUNTDCL) VALUES ('26001IC06000123A', '0001', '0001', 3);
INSERT INTO SBT (IDDT, NART, ISBT, QSBTUNTDCL) VALUES ('26001IC06000123A', '0001', '0002', 4.5);
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNETA, DDCNETA, CDCNNCM, CDCNEXPAPU, NDCNORDEN, CDCNRESOL)
  VALUES ('26001IC06000123A', 3, 'OLD', 1, 0, 'N3', 5, 'ENC', '20200101', 'N', 'C', 4, '50,00');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNETA, DDCNETA, CDCNNCM, CDCNEXPAPU, NDCNORDEN, CDCNRESOL)
  VALUES ('26001IC06000123A', 3, 'OLD', 2, 1, 'N3', 6, NULL, NULL, NULL, NULL, NULL, '100,00');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU) VALUES ('26001IC04000999O', 1, 'OLD', 1, 0);
)");

const QString kColumns = QStringLiteral(
    "NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNETA, DDCNETA, CDCNNCM, "
    "CDCNEXPAPU, NDCNORDEN, CDCNRESOL");

QStringList lines() {
    return catalogRows(QStringLiteral("SELECT ") + kColumns +
                           QStringLiteral(" FROM DCN WHERE IDCN = ? ORDER BY NDCNART, IDCNAPU, "
                                          "NDCNARTAPU, NDCNSBTAPU"),
                       {D});
}

QStringList recordsetRows(modDA::Recordset rs) {
    QStringList out;
    for (; !rs.eof(); rs.moveNext()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i)
            cells << (rs.field(i).isNull() ? QStringLiteral("<null>") : rs.field(i).toString());
        out << cells.join(QLatin1Char('|'));
    }
    out.sort();
    return out;
}

} // namespace

class tst_Cancellations : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanupTest() override { fixture_.reset(); }
private slots:

    void Distribuir_IDA4_En_IC06_data() {
        QTest::addColumn<QString>("certificado");
        QTest::addColumn<QString>("written");
        QTest::newRow("blanks give 0") << "   "
                                       << "0";
        QTest::newRow("given untrimmed") << " 12 "
                                         << " 12 ";
        QTest::newRow("typed text") << "O'K; --%"
                                    << "O'K; --%";
    }
    void Distribuir_IDA4_En_IC06() {
        QFETCH(QString, certificado);
        QFETCH(QString, written);
        modDA::Distribuir_IDA4_En_IC06(D, X, certificado);
        const QString tail =
            QStringLiteral("|ENC|20261210|N|") + written + QStringLiteral("|0|100,00");
        QCOMPARE(lines(),
                 (QStringList{"1|" + X + "|1|0|N1|10" + tail, "1|" + X + "|1|1|N1|3" + tail,
                              "1|" + X + "|1|2|N1|4.5" + tail, "2|" + X + "|2|0|N2|20" + tail,
                              "7|" + X + "|7|0|N7|70" + tail}));
        QCOMPARE(catalogRows(QStringLiteral("SELECT IDCN FROM DCN WHERE IDCN <> ?"), {D}),
                 QStringList{"26001IC04000999O"});
    }

    // The item insert fails after the delete and the subitem insert ran: the old lines stay.
    void Distribuir_IDA4_En_IC06IsAllOrNothing() {
        modDA::execSQL(
            modDA::kCatalog,
            testSql(QStringLiteral("CREATE TRIGGER fail BEFORE INSERT ON DCN WHEN NEW.NDCNART = 2 "
                                   "BEGIN SELECT RAISE(ABORT, 'injected'); END")));
        const QStringList before = catalogSnapshot();
        expectChainedError([] { modDA::Distribuir_IDA4_En_IC06(D, X, QString()); },
                      QStringLiteral("Corvelix.modDA.Distribuir_IDA4_En_IC06 (220)::"),
                      QStringLiteral("injected"));
        QCOMPARE(catalogSnapshot(), before);
    }

    void Distribuir_IDA4_En_IC06OnTheServer() {
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        modDA::Distribuir_IDA4_En_IC06(D, X, QStringLiteral("7"));
        const QStringList texts = capture.texts();
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts[0], QStringLiteral("delete from DCN WHERE IDCN = ?"));
        QVERIFY2(texts[1].contains(
                     QStringLiteral(", 'ENC', CONVERT(varchar, GETDATE(), 112), 'N', ?, 0, "
                                    "? FROM SBT INNER JOIN ART")),
                 qPrintable(texts[1]));
        QCOMPARE(capture.statements()[2].params, (QVariantList{X, "7", "100,00", D}));
    }

    void getDescarga_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("count");
        QTest::newRow("four digits") << "0003" << 2;
        QTest::newRow("plain number") << "3" << 2;
        QTest::newRow("no lines") << "0001" << 0;
    }
    void getDescarga() {
        QFETCH(QString, item);
        QFETCH(int, count);
        QCOMPARE(modDA::getDescarga(D, item).recordCount(), count);
    }

    void readsRefuseNonNumbers() {
        expectChainedError([] { (void)modDA::getDescarga(D, "3 OR 1=1"); },
                      QStringLiteral("Corvelix.modDA.getDescarga (0)::"),
                      QStringLiteral("No coinciden los tipos"));
    }

    void readers() {
        QCOMPARE(recordsetRows(modDA::getDescargas(D)),
                 (QStringList{"3|OLD|1|0|N3|5|C|4|50,00", "3|OLD|2|1|N3|6|<null>|<null>|100,00"}));
        const modDA::Recordset one = modDA::getCancelacion(D, 3, "OLD", 2, 1);
        QCOMPARE(one.recordCount(), 1);
        QCOMPARE(one.text(QStringLiteral("QDCNAPU")), QStringLiteral("6"));
        QCOMPARE(modDA::getCancelacion(D, 3, "OLD", 2, 2).recordCount(), 0);
        QCOMPARE(modDA::getNART_from_NARTTEXT(D, QStringLiteral("3")), QStringLiteral("7"));
        QCOMPARE(modDA::getNART_from_NARTTEXT(D, QStringLiteral("0002")), QStringLiteral("2"));
    }

    void agregarCancelacion_data() {
        QTest::addColumn<QString>("certificado");
        QTest::addColumn<QString>("orden");
        QTest::addColumn<QString>("etapa");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empties as Null") << ""
                                         << "0"
                                         << ""
                                         << "7|X|4|2|NCM|1.5|<null>|<null>|<null>|<null>|0|100,00";
        QTest::newRow("stage dated today")
            << "C1"
            << ""
            << "ENC"
            << "7|X|4|2|NCM|1.5|ENC|20261210|<null>|C1|<null>|100,00";
        QTest::newRow("blanks count as given") << " "
                                               << "5"
                                               << " "
                                               << "7|X|4|2|NCM|1.5| |20261210|<null>| |5|100,00";
        QTest::newRow("typed texts") << "O'K; --%"
                                     << "1"
                                     << "E'; --"
                                     << "7|X|4|2|NCM|1.5|E'; --|20261210|<null>|O'K; --%|1|100,00";
    }
    void agregarCancelacionLongTexts() {
        const QString t(300, QLatin1Char('L'));
        QVERIFY(modDA::agregarCancelacion(D, 3, t, 4, 2, t, 1, t, "", t, t));
        QCOMPARE(lines().last(),
                 "7|" + t + "|4|2|" + t + "|1|" + t + "|20261210|<null>|" + t + "|<null>|" + t);
        QVERIFY(modDA::modificarCancelacion(D, 7, t, 4, 2, "N'", 2, "%", "--"));
        QCOMPARE(lines().last(), "7|" + t + "|4|2|N'|2|" + t + "|20261210|<null>|%|<null>|--");
    }

    void agregarCancelacion() {
        QFETCH(QString, certificado);
        QFETCH(QString, orden);
        QFETCH(QString, etapa);
        QFETCH(QString, expected);
        QVERIFY(modDA::agregarCancelacion(D, 3, "X", 4, 2, "NCM", 1.5, certificado, orden, "100,00",
                                          etapa));
        QCOMPARE(lines().last(), expected);
    }

    void agregarCancelacionRefuses() {
        const QStringList before = catalogSnapshot();
        try {
            modDA::agregarCancelacion(D, 9, "X", 1, 0, "N", 1, "", "0", "100,00", "");
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.source, QStringLiteral("Corvelix.modDA.agregarCancelacion (40)::"
                                              "Corvelix.modDA.getNART_from_NARTTEXT (0)::ITEM's"));
            QCOMPARE(e.description,
                     QStringLiteral("No se encuentra el item 9 en el provisorio ") + D);
        }
        expectChainedError(
            [] { modDA::agregarCancelacion(D, 3, "X", 1, 0, "N", 1, "", "1; --", "100,00", ""); },
            QStringLiteral("Corvelix.modDA.agregarCancelacion (0)::"),
            QStringLiteral("No coinciden los tipos"));
        QCOMPARE(catalogSnapshot(), before);
    }

    void modificarCancelacionInPlace() {
        QVERIFY(modDA::modificarCancelacion(D, 3, "OLD", 1, 0, "NX'; --", 8.25, "C%", "99,00"));
        QCOMPARE(lines().first(),
                 QStringLiteral("3|OLD|1|0|NX'; --|8.25|ENC|20200101|N|C%|4|99,00"));
        QVERIFY(!modDA::modificarCancelacion(D, 3, "OLD", 1, 5, "N", 1, "C", "1"));
        QVERIFY(!modDA::modificarCancelacion(D, 1, "OLD", 1, 0, "N", 1, "C", "1"));
    }

    // The dialog changed the cancelled declaration, item or subitem: the line is found by its
    // former key and moved.
    void modificarCancelacionMovesTheLine() {
        QVERIFY(modDA::modificarCancelacion(D, 3, "NEW", 9, 3, "N9", 2, "C", "10,00",
                                            modDA::ClaveCancelacion{"OLD", 1, 0}));
        QCOMPARE(lines(),
                 (QStringList{"3|NEW|9|3|N9|2|ENC|20200101|N|C|4|10,00",
                              "3|OLD|2|1|N3|6|<null>|<null>|<null>|<null>|<null>|100,00"}));
    }

    void modificarCancelacionRefusesATakenKey() {
        const QStringList before = catalogSnapshot();
        expectChainedError(
            [] {
                modDA::modificarCancelacion(D, 3, "old", 2, 1, "N", 1, "C", "1",
                                            modDA::ClaveCancelacion{"OLD", 1, 0});
            },
            QStringLiteral("Corvelix.modDA.modificarCancelacion (140)::Cancelaciones"),
            QStringLiteral(
                "Ya existe una cancelación del item 3 contra el despacho old, item 2, subitem 1"));
        QCOMPARE(catalogSnapshot(), before);
    }

    void eliminarCancelacion() {
        QVERIFY(!modDA::eliminarCancelacion(D, 3, "OLD", 1, 9));
        QVERIFY(modDA::eliminarCancelacion(D, 3, "OLD", 1, 0));
        QCOMPARE(lines().size(), 1);
        QCOMPARE(catalogRows(QStringLiteral("SELECT count(*) FROM DCN")), QStringList{"2"});
    }
};

CORVELIX_TEST(tst_Cancellations)
#include "tst_Cancellations.moc"
