#include "data/connection.h"
#include "data/invoices.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QTest>

#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kD = QStringLiteral("26001IC04000600A");
const QString kOther = QStringLiteral("26001IC04000601B");

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT, LDDTNOMFOD, CDDTSTUSGG, CDDTSTUBUL, CDDTSTUDEV) VALUES ('26001IC04000600A', 'REF', 'VENDEDOR', 'V', 'V', 'V');
INSERT INTO DDT (IDDT, IEXT, LDDTNOMFOD, CDDTSTUSGG, CDDTSTUBUL, CDDTSTUDEV) VALUES ('26001IC04000601B', 'OTRA', 'OTRO', 'V', 'V', 'V');
INSERT INTO ART (IDDT, NART, IESPNCE, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTAJUDED, MARTAJUINC, CARTETA) VALUES ('26001IC04000600A', '0001', '8467.21', '07', 10, '07', 10, 5.5, 1.5, NULL, 'V');
INSERT INTO ART (IDDT, NART, IESPNCE, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTAJUDED, MARTAJUINC, CARTETA) VALUES ('26001IC04000600A', '0002', '8467.21', '07', 5, '01', 2.5, 2.5, 2, NULL, 'V');
INSERT INTO ART (IDDT, NART, IESPNCE, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTAJUDED, MARTAJUINC, CARTETA) VALUES ('26001IC04000600A', '0003', '7318.15', '98', 3, '07', 3, 1, 0, NULL, 'V');
INSERT INTO UMM (CUMMUNTMSR, LUMMUNTMSR, DUMMEFF, DUMMFIN) VALUES ('07', 'UNIDAD', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO UMM (CUMMUNTMSR, LUMMUNTMSR, DUMMEFF, DUMMFIN) VALUES ('98', 'GRUESA', '2000-01-01 00:00:00', '2015-06-30 00:00:00');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000600A', '0001', 'LISTAEMPAQUE', 'S', 'PL-1');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000600A', '0000', 'CONOCEMBARQUE', 'S', 'BL-9');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000601B', '0000', 'FACTURACOMERCIAL', 'S', 'F-1');
)");

QStringList rows(const QString& sql, const QVariantList& params = {}) {
    return corvelix::test::queryRows(modDA::getConnection(modDA::kCatalog), sql, params);
}

// The declaration's invoice rows as "presence:reference", in order.
QStringList invoices(const QString& iddt = kD) {
    QStringList out;
    for (const QString& row :
         rows(QStringLiteral("SELECT CDVDPRSDOC, LDVDREFDOC FROM DVD WHERE IDVD = ? AND NART = "
                             "'0000' AND CDVDDOC = 'FACTURACOMERCIAL' ORDER BY CDVDPRSDOC, "
                             "LDVDREFDOC"),
              {iddt}))
        out << row.section(QLatin1Char('|'), 0, 0) + QLatin1Char(':') +
                   row.section(QLatin1Char('|'), 1);
    return out;
}

QStringList marks() {
    return rows(QStringLiteral("SELECT CDDTSTUSGG || CDDTSTUBUL || CDDTSTUDEV FROM DDT ORDER BY "
                               "IDDT")) +
           rows(QStringLiteral("SELECT CARTETA FROM ART ORDER BY NART"));
}

} // namespace

class tst_Invoices : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
protected:
    void initTest() override {
        ScriptedUi::current().reset();
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
    }
private slots:
protected:
    void cleanupTest() override { fixture_.reset(); }
private slots:

    // Presented, not presented, and back: the presence and the rows at each state.
    void presenceStates() {
        QVERIFY(modDA::getPresenciaFactura(kD)); // no rows count as presented
        QVERIFY(modDA::facturasAgregar(kD, true, QStringLiteral("A-1")));
        QVERIFY(modDA::facturasAgregar(kD, true, QStringLiteral("A-2")));
        QVERIFY(modDA::facturasAgregar(kD, true, QStringLiteral("A-3")));
        QCOMPARE(invoices(), (QStringList{"S:A-1", "S:A-2", "S:A-3"}));
        QVERIFY(modDA::getPresenciaFactura(kD));

        modDA::SinPresenciafacturas(kD);
        QCOMPARE(invoices(), QStringList{"N:"});
        QVERIFY(!modDA::getPresenciaFactura(kD));
        QVERIFY(modDA::existeFactura(kD, QString())); // the marker's empty reference

        QVERIFY(modDA::facturasAgregar(kD, true, QStringLiteral("B-1")));
        QCOMPARE(invoices(), QStringList{"S:B-1"});
        QVERIFY(modDA::getPresenciaFactura(kD));

        // Added as not presented: the row is a marker with a number; the presence follows it.
        QVERIFY(modDA::facturasAgregar(kD, false, QStringLiteral("B-2")));
        QVERIFY(!modDA::getPresenciaFactura(kD));
        QCOMPARE(invoices(kOther), QStringList{"S:F-1"});
        // The other documents at the declaration and item level stay.
        QCOMPARE(rows(QStringLiteral("SELECT LDVDREFDOC FROM DVD WHERE IDVD = ? AND CDVDDOC <> "
                                     "'FACTURACOMERCIAL' ORDER BY 1"),
                      {kD}),
                 (QStringList{"BL-9", "PL-1"}));
        QCOMPARE(marks(), (QStringList{"VVV", "VVV", "V", "V", "V"}));
    }

    void presentedOnlyAreChanged() {
        modDA::facturasAgregar(kD, true, QStringLiteral("X"));
        modDA::facturasAgregar(kD, true, QStringLiteral("X"));
        modDA::facturasAgregar(kD, false, QStringLiteral("X"));
        QVERIFY(modDA::existeFactura(kD, QStringLiteral("X")));
        QVERIFY(!modDA::existeFactura(kD, QStringLiteral("Y")));
        QVERIFY(!modDA::existeFactura(kOther, QStringLiteral("X")));

        QVERIFY(modDA::facturasModificar(kD, QStringLiteral("X"), QStringLiteral("Z")));
        QCOMPARE(invoices(), (QStringList{"N:X", "S:Z", "S:Z"}));
        QVERIFY(!modDA::facturasModificar(kD, QStringLiteral("missing"), QStringLiteral("W")));

        QVERIFY(modDA::facturasEliminar(kD, QStringLiteral("Z")));
        QCOMPARE(invoices(), QStringList{"N:X"});
        QVERIFY(!modDA::facturasEliminar(kD, QStringLiteral("X"))); // not presented: kept
        QCOMPARE(invoices(), QStringList{"N:X"});
    }

    // Texts are stored exactly as passed: quotes, semicolons, statement fragments, length.
    void textsStoredAsPassed_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote") << "O'BRIEN 'A'";
        QTest::newRow("semicolon and a statement") << "F-1'; DELETE FROM DVD; --";
        QTest::newRow("300 characters") << QString(300, QLatin1Char('x'));
        QTest::newRow("accents") << "Ñandú S.A.";
    }
    void textsStoredAsPassed() {
        QFETCH(QString, text);
        QVERIFY(modDA::facturasAgregar(kD, true, text));
        QVERIFY(modDA::existeFactura(kD, text));
        QCOMPARE(invoices(), QStringList{QStringLiteral("S:") + text});
        QVERIFY(modDA::facturasModificar(kD, text, text + QLatin1Char('2')));
        QVERIFY(modDA::facturasEliminar(kD, text + QLatin1Char('2')));
        QCOMPARE(invoices(kOther), QStringList{"S:F-1"});

        QVERIFY(modDA::modificarCaratula_IEXT(text, kD));
        QVERIFY(modDA::modificarCaratula_Vendedor(text + QLatin1Char('!'), kD));
        QCOMPARE(rows(QStringLiteral("SELECT IEXT, LDDTNOMFOD FROM DDT WHERE IDDT = ?"), {kD}),
                 QStringList{text + QLatin1Char('|') + text + QLatin1Char('!')});
        QCOMPARE(rows(QStringLiteral("SELECT IEXT FROM DDT WHERE IDDT = ?"), {kOther}),
                 QStringList{"OTRA"});
        QCOMPARE(marks(), (QStringList{"VVV", "VVV", "V", "V", "V"}));
    }

    void unknownDeclarationChangesNothing() {
        const QStringList before = rows(QStringLiteral("SELECT * FROM DDT ORDER BY IDDT"));
        QVERIFY(!modDA::modificarCaratula_IEXT(QStringLiteral("N"), QStringLiteral("NO-EXISTE")));
        QVERIFY(!modDA::modificarCaratula_Vendedor(QStringLiteral("N"), QStringLiteral("NO")));
        QCOMPARE(rows(QStringLiteral("SELECT * FROM DDT ORDER BY IDDT")), before);
    }

    // The marker goes only together with the new invoice: a failing insert keeps it.
    void failedAddKeepsTheMarker() {
        modDA::SinPresenciafacturas(kD);
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("CREATE TRIGGER injected BEFORE INSERT ON DVD BEGIN "
                                              "SELECT RAISE(ABORT, 'fallo inyectado'); END")));
        QVERIFY_THROWS_EXCEPTION(VbError, modDA::facturasAgregar(kD, true, QStringLiteral("C")));
        QCOMPARE(invoices(), QStringList{"N:"});
    }

    void documentReads() {
        modDA::facturasAgregar(kD, true, QStringLiteral("F-9"));
        auto all = modDA::getDocumentosCaratula(kD, false);
        QCOMPARE(all.recordCount(), 2);
        QCOMPARE(all.fieldCount(), 5);
        auto only = modDA::getDocumentosCaratula(kD, true);
        QCOMPARE(only.recordCount(), 1);
        QCOMPARE(only.text(QStringLiteral("LDVDREFDOC")), QStringLiteral("F-9"));
        auto item = modDA::getDVD(kD, QStringLiteral("0001"));
        QCOMPARE(item.recordCount(), 1);
        QCOMPARE(item.text(QStringLiteral("ldvdrefdoc")), QStringLiteral("PL-1"));
    }

    void summaries() {
        auto units = modDA::getResumenCantidades(kD);
        QCOMPARE(units.fields(), (QStringList{"CARTUNTDCL", "LUMMUNTMSR", "CANTIDAD"}));
        QCOMPARE(units.recordCount(), 1); // the unit no longer valid is left out
        QCOMPARE(units.text(QStringLiteral("LUMMUNTMSR")), QStringLiteral("UNIDAD"));
        QCOMPARE(units.field(QStringLiteral("CANTIDAD")).toDouble(), 15.0);

        auto ncm = modDA::getResumenNCM(kD);
        QCOMPARE(ncm.fields(), (QStringList{"IESPNCE", "cantidad", "CARTUNTDCL", "totaldeclarada",
                                            "CARTUNTEST", "totalestadistica"}));
        QStringList got;
        for (; !ncm.eof(); ncm.moveNext()) {
            QStringList cells;
            for (int i = 0; i < ncm.fieldCount(); ++i)
                cells << ncm.field(i).toString();
            got << cells.join(QLatin1Char('|'));
        }
        QCOMPARE(got, (QStringList{"7318.15|1|98|3|07|3", "8467.21|1|07|5|01|2.5",
                                   "8467.21|1|07|10|07|10"}));

        double inc = -1, ded = -1, kilos = -1;
        modDA::getTotales_Item(kD, inc, ded, kilos);
        QCOMPARE(inc, 0.0); // every adjustment to include is Null
        QCOMPARE(ded, 3.5);
        QCOMPARE(kilos, 9.0);
        modDA::getTotales_Item(QStringLiteral("NO-EXISTE"), inc, ded, kilos);
        QCOMPARE(inc + ded + kilos, 0.0);
    }
};

CORVELIX_TEST(tst_Invoices)
#include "tst_Invoices.moc"
