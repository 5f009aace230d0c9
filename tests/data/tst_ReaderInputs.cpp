#include "ReaderRows.h"
#include "data/declaration_reads.h"
#include "data/export_reads.h"
#include "data/liquidation_lines.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <functional>
#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;

namespace {

const QString kD = QStringLiteral("26001IC04000001A");

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, CDDTMDETRN, CDDTPAYTRN) VALUES ('26001IC04000001A', '1', '203');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTUNTDCL, QARTUNTDCL, QARTUNTEST) VALUES ('26001IC04000001A', '0001', '0001', '07', 1, 1);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES ('26001IC04000001A', '0001', '0000', 'AA(X)-');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL) VALUES ('26001IC04000001A', '0001', 'MARCA', 'X');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0001', 'AUTOLIQLIBREEXP');
INSERT INTO DVD (IDVD, NART, CDVDDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0001', 'CERT', 'C');
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP) VALUES ('26001IC04000001A', '0001', '010', '1');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('010', 'DI', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO TPR (IDDT, MTPRCOTIZ) VALUES ('26001IC04000001A', 1000);
)");

int count(const char* table) {
    return modDA::getRs(modDA::kCatalog,
                        "SELECT COUNT(*) AS n FROM " + modDA::Sql::identifier(QLatin1String(table)))
        .field(QStringLiteral("n"))
        .toInt();
}

} // namespace

class tst_ReaderInputs : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() {
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
        for (const char* procedure : {"setItemVentajas", "SETITEMINFOAD", "SETITEMDOCS"})
            modDA::runProcedure(QLatin1String(procedure), {kD});
        modDA::runProcedure(QStringLiteral("GETCPLPIVOT"), {kD, QStringLiteral("9999")});
        modDA::runProcedure(QStringLiteral("GETSRGPIVOT"), {kD});
        modDA::runProcedure(QStringLiteral("GETDVDPIVOT"), {kD, QStringLiteral("9999")});
    }
    void cleanupTestCase() { fixture_.reset(); }
protected:
    void initTest() override { corvelix::test::ScriptedUi::current().reset(); }
private slots:

    // Each text as a declaration number, an item number, a code and a suffix filter: it is a
    // value that matches nothing, never a part of the statement.
    void hostileTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote") << QStringLiteral("26001IC04000001A'");
        QTest::newRow("always true") << QStringLiteral("' OR '1'='1");
        QTest::newRow("second statement") << QStringLiteral("x'; DELETE FROM ART; --");
        QTest::newRow("semicolon") << QStringLiteral(";");
        QTest::newRow("percent") << QStringLiteral("%");
        QTest::newRow("percent around the number") << QStringLiteral("%26001IC04%");
        QTest::newRow("unknown number") << QStringLiteral("26001IC04000009Z");
    }
    void hostileTexts() {
        QFETCH(QString, text);
        const QList<std::pair<const char*, std::function<modDA::Recordset()>>> readers{
            {"getITEMsByDespacho", [&] { return modDA::getITEMsByDespacho(text); }},
            {"getITEMs_Solodatos_ByDespacho",
             [&] { return modDA::getITEMs_Solodatos_ByDespacho(text); }},
            {"getITEMsByDespacho_FULL", [&] { return modDA::getITEMsByDespacho_FULL(text); }},
            {"getArticulosByDespacho", [&] { return modDA::getArticulosByDespacho(text, text); }},
            {"getArticulosByDespacho on the declaration",
             [&] { return modDA::getArticulosByDespacho(kD, text + QStringLiteral("'")); }},
            {"getRsITEM", [&] { return modDA::getRsITEM(text, text); }},
            {"getRsITEM of the declaration", [&] { return modDA::getRsITEM(kD, text); }},
            {"getRsITEMs", [&] { return modDA::getRsITEMs(text); }},
            {"getSIMIGlobal", [&] { return modDA::getSIMIGlobal(text); }},
            {"getCPL", [&] { return modDA::getCPL(kD, text); }},
            {"getSRG", [&] { return modDA::getSRG(text, text); }},
            {"getSBT", [&] { return modDA::getSBT(kD, text); }},
            {"getITEMsPIVOT", [&] { return modDA::getITEMsPIVOT(text, true, true, true); }},
            {"getArticulosByDespacho_FULL",
             [&] { return modDA::getArticulosByDespacho_FULL(text, text); }},
            {"getArticulosByDespacho_FULL on the declaration",
             [&] { return modDA::getArticulosByDespacho_FULL(kD, text + QStringLiteral("'")); }},
            {"getBultos", [&] { return modDA::getBultos(text); }},
            {"getDCEXP", [&] { return modDA::getDCEXP(text); }},
            {"getPACROM", [&] { return modDA::getPACROM(text); }},
            {"getLiquidacionTOTAL", [&] { return modDA::getLiquidacionTOTAL(text); }},
            {"getCIB", [&] { return modDA::getCIB(text); }},
            {"getJurisdicciones", [&] { return modDA::getJurisdicciones(text); }},
            {"getLiquidacion", [&] { return modDA::getLiquidacion(kD, text); }},
            {"getLiquidacionItems", [&] { return modDA::getLiquidacionItems(text); }},
            {"getLiquidacionFULL", [&] { return modDA::getLiquidacionFULL(text); }},
        };
        for (const auto& [name, read] : readers) {
            try {
                const modDA::Recordset rs = read();
                QVERIFY2(rs.eof(), name);
            } catch (const VbError& e) {
                QFAIL(qPrintable(QLatin1String(name) + QStringLiteral(": ") + e.description));
            }
        }
        QCOMPARE(modDA::getTipoCotiz(text), 1.0);
        QVERIFY(!modDA::tieneAutoLiquidacion(text));
        QCOMPARE(modDA::eliminarLiquidacion(text, text), 0);
        QVERIFY(!modDA::admiteCancelaciones(modDA::extraerSubRegimen(text)));
        QCOMPARE(modDA::getValorPrimerSufijo(QStringLiteral("AA(X)-"), text), QString());

        // The two readers that raise for what they cannot find name the text as given.
        try {
            (void)modDA::getCamposSIM(kD, text);
            QFAIL("getCamposSIM found an item");
        } catch (const VbError& e) {
            QVERIFY2(e.description.startsWith(QStringLiteral("No se encuentra el item ") + text +
                                              QStringLiteral(" en la operacion ")),
                     qPrintable(e.description));
        }
        for (int table = 1; table <= 7; ++table) {
            try {
                (void)modDA::getDescripcionTabla(text, table);
                QFAIL("getDescripcionTabla found a code");
            } catch (const VbError& e) {
                QCOMPARE(e.description,
                         QStringLiteral("No se encontró descripcion para el codigo [ ") + text +
                             QStringLiteral(" ]"));
            }
        }

        // A written line keeps the texts exactly; removing it takes only that line.
        QCOMPARE(modDA::agregarLiquidacion(text, text, text, text, 1, 1, 1, text), 1);
        QCOMPARE(corvelix::test::readerRows(modDA::getRs(
                     modDA::kCatalog,
                     "SELECT NART, CLQATAX, CLQATYP, CLQAMOTGAR FROM LQA WHERE ILIQ = ?", {text})),
                 QStringList{QStringList(4, text).join(QLatin1Char('|'))});
        QCOMPARE(modDA::eliminarLiquidacion(text, text), 1);

        QCOMPARE(count("ART"), 1);
        QCOMPARE(count("SBT"), 1);
        QCOMPARE(count("LQA"), 1);
        QCOMPARE(count("DDT"), 1);
    }
};

CORVELIX_TEST(tst_ReaderInputs)
#include "tst_ReaderInputs.moc"
