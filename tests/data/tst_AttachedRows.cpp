#include "data/attached_rows.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/ExpectError.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QSet>
#include <QTest>

#include <functional>
#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::catalogSnapshot;
using corvelix::test::ScriptedUi;

namespace {

const QString D = QStringLiteral("26001IC04000123A");

// Declaration D with header rows (NART 0000: its own complementary information, an advantage
// and two invoices) and items 0001 to 0003; declaration O must never be touched.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001IC04000123A');
INSERT INTO DDT (IDDT) VALUES ('26001IC04000999O');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0000', 'C1', 'hdr', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0000', 'SIMI-FECHA-ARRIB', 'f', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0001', 'C1', 'v1', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0001', 'SIMI-DESC-MERC12', 'd', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0001', 'SIMI-FECHA-EMBAR', 'e', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0001', 'SIMI-OTRO', 'o', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0002', 'C1', 'v2', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0002', 'C2', 'x', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000999O', '0001', 'C1', 'other', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000999O', '0001', 'SIMI-DESC-MERC1', 'other', 'D');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0000', 'V1');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0001', 'V1');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0002', 'V2');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000999O', '0001', 'V1');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0000', 'FACTURACOMERCIAL', 'S', 'F-1');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0000', 'FACTURACOMERCIAL', 'S', 'F-2');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0001', 'FACTURACOMERCIAL', 'S', 'F-1');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0002', 'LIC', 'S', 'L-2');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000999O', '0001', 'LIC', 'S', 'L-O');
INSERT INTO CCM (IDDT, NART, CCCM, MCCM, DESARROLLO, CCCMNART) VALUES ('26001IC04000123A', 3, 'DCEXP', 'CC3', 1, '3');
INSERT INTO CCM (IDDT, NART, CCCM, MCCM, DESARROLLO, CCCMNART) VALUES ('26001IC04000999O', 1, 'DCEXP', 'CCO', 1, '1');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU) VALUES ('26001IC04000123A', 1, 'X', 1, 0);
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU) VALUES ('26001IC04000999O', 1, 'X', 1, 0);
)");

// Rows of D in one table, "NART|code|value" sorted.
QStringList srg() {
    return catalogRows(
        QStringLiteral("SELECT NART, CSRG FROM SRG WHERE ISRG = ? ORDER BY NART, CSRG"), {D});
}
QStringList dvd() {
    return catalogRows(QStringLiteral("SELECT NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC FROM DVD "
                                      "WHERE IDVD = ? ORDER BY NART, CDVDDOC, LDVDREFDOC"),
                       {D});
}
QStringList ccm() {
    return catalogRows(QStringLiteral("SELECT NART, CCCM, MCCM, DESARROLLO, CCCMNART FROM CCM "
                                      "WHERE IDDT = ? ORDER BY NART, MCCM"),
                       {D});
}

// Rows that `after` has and `before` has not, and the other way round ("-" in front).
QStringList changes(const QStringList& before, const QStringList& after) {
    const QSet<QString> b(before.begin(), before.end());
    const QSet<QString> a(after.begin(), after.end());
    QStringList out;
    for (const QString& row : after)
        if (!b.contains(row))
            out << row;
    for (const QString& row : before)
        if (!a.contains(row))
            out << QStringLiteral("-") + row;
    return out;
}

QStringList boxTexts() {
    QStringList texts;
    for (const ScriptedUi::Box& box : ScriptedUi::current().boxes) {
        if (box.icon != corvelix::MsgIcon::Exclamation || box.buttons != corvelix::MsgButtons::Ok)
            texts << QStringLiteral("(not an OK warning) ") + box.text;
        else
            texts << box.text;
    }
    return texts;
}

using Bulk = std::function<void(const QString& list)>;

// The bulk deletes that take an item list, by name.
Bulk bulk(const QString& name) {
    if (name == QLatin1String("vaciarInformacionAdicional"))
        return [](const QString& l) { modDA::vaciarInformacionAdicional(D, l); };
    if (name == QLatin1String("resetInfoAD_ByID"))
        return [](const QString& l) { modDA::resetInfoAD_ByID(D, QStringLiteral("C1"), l); };
    if (name == QLatin1String("vaciarVentajas"))
        return [](const QString& l) { modDA::vaciarVentajas(D, l); };
    if (name == QLatin1String("ResetDocumento FACTURACOMERCIAL"))
        return [](const QString& l) {
            modDA::ResetDocumento(D, QStringLiteral("FACTURACOMERCIAL"), l);
        };
    return [](const QString& l) { modDA::ResetDocumento(D, QStringLiteral("LIC"), l); };
}

} // namespace

class tst_AttachedRows : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanupTest() override { fixture_.reset(); }
private slots:

    void agregarInformacionAdicional_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("icpldif");
        QTest::addColumn<bool>("reemplazar");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("changed");
        QTest::addColumn<QStringList>("refusal");
        QTest::newRow("new code") << "0003"
                                  << "C9"
                                  << "X" << false << true
                                  << QStringList{"CPL:26001IC04000123A|0003|C9|X|nuevo"}
                                  << QStringList();
        QTest::newRow("empty mark is D")
            << "0003"
            << "C9"
            << "" << false << true << QStringList{"CPL:26001IC04000123A|0003|C9|D|nuevo"}
            << QStringList();
        QTest::newRow("duplicate refused")
            << "0001"
            << "C1"
            << "" << false << false << QStringList()
            << QStringList{"La información adicional C1 ya esta cargada para este item"};
        QTest::newRow("duplicate replaced") << "0001"
                                            << "C1"
                                            << "" << true << true
                                            << QStringList{"CPL:26001IC04000123A|0001|C1|D|nuevo",
                                                           "-CPL:26001IC04000123A|0001|C1|D|v1"}
                                            << QStringList();
    }
    void agregarInformacionAdicional() {
        QFETCH(QString, item);
        QFETCH(QString, codigo);
        QFETCH(QString, icpldif);
        QFETCH(bool, reemplazar);
        QFETCH(bool, result);
        QFETCH(QStringList, changed);
        QFETCH(QStringList, refusal);
        const QStringList before = catalogSnapshot();
        const auto add = [&] {
            return modDA::agregarInformacionAdicional(D, item, codigo, QStringLiteral("nuevo"),
                                                      icpldif, reemplazar);
        };
        if (refusal.isEmpty())
            QCOMPARE(add(), result);
        else
            corvelix::test::expectRefusal([&] { (void)add(); }, refusal.constFirst());
        QCOMPARE(changes(before, catalogSnapshot()), changed);
        // The form shows a refusal: the data layer shows nothing itself.
        QVERIFY(boxTexts().isEmpty());
    }

    void addsRefuseDuplicates_data() {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("box");
        QTest::newRow("advantage") << "AgregarVentajas"
                                   << "La Ventaja V1 ya esta cargada para este item";
        QTest::newRow("document") << "agregarDocumento"
                                  << "El documento FACTURACOMERCIAL ya esta cargado en este item";
        QTest::newRow("CCPAC of any value, item as given")
            << "agregarCCPAC"
            << "El CCPAC ya esta cargado para el item 0003";
    }
    void addsRefuseDuplicates() {
        QFETCH(QString, procedure);
        QFETCH(QString, box);
        const QStringList before = catalogSnapshot();
        corvelix::test::expectRefusal(
            [&] {
                if (procedure == QLatin1String("AgregarVentajas"))
                    (void)modDA::AgregarVentajas(D, QStringLiteral("0001"), QStringLiteral("V1"));
                else if (procedure == QLatin1String("agregarDocumento"))
                    (void)modDA::agregarDocumento(D, QStringLiteral("0001"),
                                                  QStringLiteral("FACTURACOMERCIAL"),
                                                  QStringLiteral("F-9"));
                else
                    (void)modDA::agregarCCPAC(D, QStringLiteral("0003"), QStringLiteral("OTRO"), 3);
            },
            box);
        QVERIFY(boxTexts().isEmpty());
        QCOMPARE(catalogSnapshot(), before);
    }

    void addsStoreTheirRow() {
        QVERIFY(modDA::AgregarVentajas(D, QStringLiteral("0003"), QStringLiteral("V1")));
        QVERIFY(modDA::agregarDocumento(D, QStringLiteral("0003"), QStringLiteral("LIC"),
                                        QStringLiteral("O'HARA")));
        QVERIFY(modDA::agregarCCPAC(D, QStringLiteral("0007"), QStringLiteral("CC7"), QVariant()));
        QVERIFY(modDA::agregarCCPAC(D, QStringLiteral("0008"), QStringLiteral("CC8"), 12.5));
        QCOMPARE(srg().last(), QStringLiteral("0003|V1"));
        QCOMPARE(dvd().last(), QStringLiteral("0003|LIC|S|O HARA"));
        QCOMPARE(ccm(), (QStringList{"3|DCEXP|CC3|1|3", "7|DCEXP|CC7|1|", "8|DCEXP|CC8|1|12.5"}));
        QVERIFY(boxTexts().isEmpty());
    }

    // "TODO" is every item and never the declaration-level rows: the header's own
    // complementary information, advantages and invoices stay.
    void bulkDeletes_data() {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("items");
        QTest::addColumn<QStringList>("removed");
        QTest::newRow("vaciarInformacionAdicional TODO")
            << "vaciarInformacionAdicional"
            << "TODO"
            << QStringList{"-CPL:26001IC04000123A|0001|C1|D|v1",
                           "-CPL:26001IC04000123A|0001|SIMI-DESC-MERC12|D|d",
                           "-CPL:26001IC04000123A|0001|SIMI-FECHA-EMBAR|D|e",
                           "-CPL:26001IC04000123A|0001|SIMI-OTRO|D|o",
                           "-CPL:26001IC04000123A|0002|C1|D|v2",
                           "-CPL:26001IC04000123A|0002|C2|D|x"};
        QTest::newRow("vaciarInformacionAdicional one item")
            << "vaciarInformacionAdicional"
            << "'0002'"
            << QStringList{"-CPL:26001IC04000123A|0002|C1|D|v2",
                           "-CPL:26001IC04000123A|0002|C2|D|x"};
        QTest::newRow("resetInfoAD_ByID TODO keeps the header's")
            << "resetInfoAD_ByID"
            << "TODO"
            << QStringList{"-CPL:26001IC04000123A|0001|C1|D|v1",
                           "-CPL:26001IC04000123A|0002|C1|D|v2"};
        QTest::newRow("resetInfoAD_ByID listed")
            << "resetInfoAD_ByID"
            << "'0002','0003'" << QStringList{"-CPL:26001IC04000123A|0002|C1|D|v2"};
        QTest::newRow("vaciarVentajas TODO keeps the header's")
            << "vaciarVentajas"
            << "TODO"
            << QStringList{"-SRG:26001IC04000123A|0001|V1", "-SRG:26001IC04000123A|0002|V2"};
        QTest::newRow("vaciarVentajas listed")
            << "vaciarVentajas"
            << "'0001'" << QStringList{"-SRG:26001IC04000123A|0001|V1"};
        QTest::newRow("ResetDocumento TODO keeps the invoices")
            << "ResetDocumento FACTURACOMERCIAL"
            << "TODO" << QStringList{"-DVD:26001IC04000123A|0001|FACTURACOMERCIAL|S|F-1"};
        QTest::newRow("ResetDocumento listed")
            << "ResetDocumento LIC"
            << "'0001','0002'" << QStringList{"-DVD:26001IC04000123A|0002|LIC|S|L-2"};
    }
    void bulkDeletes() {
        QFETCH(QString, procedure);
        QFETCH(QString, items);
        QFETCH(QStringList, removed);
        const QStringList before = catalogSnapshot();
        bulk(procedure)(items);
        QCOMPARE(changes(before, catalogSnapshot()), removed);
    }

    void resetVentajas_IDKeepsTheHeader() {
        const QStringList before = catalogSnapshot();
        modDA::resetVentajas_ID(D, QStringLiteral("V1"));
        QCOMPARE(changes(before, catalogSnapshot()), QStringList{"-SRG:26001IC04000123A|0001|V1"});
    }

    // A list that is not the picker's is refused before any statement runs.
    void malformedListsAreRefused_data() {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("items");
        const QStringList procedures{"vaciarInformacionAdicional", "resetInfoAD_ByID",
                                     "vaciarVentajas", "ResetDocumento LIC"};
        const QStringList lists{"", "0001", "'0001') OR (1=1", "'0001',", "todo", "'1'"};
        for (const QString& p : procedures)
            for (const QString& l : lists)
                QTest::addRow("%s [%s]", qPrintable(p), qPrintable(l)) << p << l;
    }
    void malformedListsAreRefused() {
        QFETCH(QString, procedure);
        QFETCH(QString, items);
        const QStringList before = catalogSnapshot();
        QVERIFY_THROWS_EXCEPTION(VbError, bulk(procedure)(items));
        QCOMPARE(catalogSnapshot(), before);
    }

    void listFailureNamesTheProcedureAndLine() {
        try {
            modDA::vaciarInformacionAdicional(D, QStringLiteral("'1'"));
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, corvelix::kErrChained);
            QVERIFY2(e.source.startsWith(
                         QStringLiteral("Corvelix.modDA.vaciarInformacionAdicional (10)::")),
                     qPrintable(e.source));
        }
    }

    void setInfoAdicional_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("stored");
        QTest::newRow("25 characters keep 20")
            << "0002"
            << "ABCDEFGHIJKLMNOPQRSTUVWXY" << true << "ABCDEFGHIJKLMNOPQRST";
        QTest::newRow("20th character a quote, stored once")
            << "0002"
            << "1234567890123456789'XYZ" << true << "1234567890123456789'";
        QTest::newRow("short value") << "0002"
                                     << "n" << true << "n";
        QTest::newRow("absent code: no row added") << "0003"
                                                   << "n" << false << QString();
    }
    void setInfoAdicional() {
        QFETCH(QString, item);
        QFETCH(QString, valor);
        QFETCH(bool, result);
        QFETCH(QString, stored);
        const QStringList before = catalogSnapshot();
        QCOMPARE(modDA::setInfoAdicional(D, item, QStringLiteral("C2"), valor), result);
        const QStringList after = catalogSnapshot();
        if (result)
            QCOMPARE(changes(before, after),
                     (QStringList{"CPL:26001IC04000123A|0002|C2|D|" + stored,
                                  "-CPL:26001IC04000123A|0002|C2|D|x"}));
        else
            QCOMPARE(after, before);
    }

    void CleanInfoAdicionalSIMI() {
        const QStringList before = catalogSnapshot();
        modDA::CleanInfoAdicionalSIMI(D);
        QCOMPARE(changes(before, catalogSnapshot()),
                 (QStringList{"-CPL:26001IC04000123A|0000|SIMI-FECHA-ARRIB|D|f",
                              "-CPL:26001IC04000123A|0001|SIMI-DESC-MERC12|D|d",
                              "-CPL:26001IC04000123A|0001|SIMI-FECHA-EMBAR|D|e"}));
    }

    void singleDeletes() {
        QVERIFY(modDA::eliminarInfoAd(D, QStringLiteral("0001"), QStringLiteral("C1")));
        QVERIFY(!modDA::eliminarInfoAd(D, QStringLiteral("0001"), QStringLiteral("C1")));
        QVERIFY(modDA::eliminarVentajas(D, QStringLiteral("0000"), QStringLiteral("V1")));
        QVERIFY(!modDA::eliminarDocumento(D, QStringLiteral("0003"), QStringLiteral("LIC")));
        QVERIFY(modDA::eliminarDocumento(D, QStringLiteral("0002"), QStringLiteral("LIC")));
        QVERIFY(!modDA::eliminarCCPAC(D, QStringLiteral("0003"), QStringLiteral("OTRO")));
        QVERIFY(modDA::eliminarCCPAC(D, QStringLiteral("0003"), QStringLiteral("CC3")));
        QVERIFY(!modDA::resetCCPAC(D));
        modDA::ResetDCN(D);
        QCOMPARE(catalogRows(QStringLiteral("SELECT IDCN FROM DCN")),
                 QStringList{"26001IC04000999O"});
        QCOMPARE(catalogRows(QStringLiteral("SELECT count(*) FROM CCM")), QStringList{"1"});
    }

    void ccpacItemMustBeANumber_data() {
        QTest::addColumn<QString>("item");
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("injection") << "3 OR 1=1";
    }
    void ccpacItemMustBeANumber() {
        QFETCH(QString, item);
        const QStringList before = catalogSnapshot();
        QVERIFY_THROWS_EXCEPTION(VbError,
                                 modDA::agregarCCPAC(D, item, QStringLiteral("V"), QVariant()));
        QVERIFY_THROWS_EXCEPTION(VbError, modDA::eliminarCCPAC(D, item, QStringLiteral("CC3")));
        QCOMPARE(catalogSnapshot(), before);
        QVERIFY(boxTexts().isEmpty());
    }

    // Typed texts are stored as given (or as the procedure transforms them) and touch nothing
    // else; used as keys of a delete they match only themselves.
    void typedTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote") << "O'NEIL";
        QTest::newRow("semicolon") << "A; DELETE FROM CPL";
        QTest::newRow("percent") << "%";
        QTest::newRow("dashes") << "X' --";
        QTest::newRow("300 characters") << QString(300, QLatin1Char('Z'));
    }
    void typedTexts() {
        QFETCH(QString, text);
        const QStringList before = catalogSnapshot();
        QVERIFY(!modDA::eliminarInfoAd(D, QStringLiteral("0001"), text));
        modDA::resetInfoAD_ByID(D, text, QStringLiteral("TODO"));
        modDA::resetVentajas_ID(D, text);
        modDA::ResetDocumento(D, text, QStringLiteral("TODO"));
        QVERIFY(!modDA::eliminarCCPAC(D, QStringLiteral("3"), text));
        QCOMPARE(catalogSnapshot(), before);

        QVERIFY(
            modDA::agregarInformacionAdicional(D, QStringLiteral("0003"), text, text, text, false));
        QVERIFY(modDA::AgregarVentajas(D, QStringLiteral("0003"), text));
        QVERIFY(modDA::agregarDocumento(D, QStringLiteral("0003"), text, text));
        QVERIFY(modDA::agregarCCPAC(D, QStringLiteral("0009"), text, text));
        QVERIFY(modDA::setInfoAdicional(D, QStringLiteral("0002"), QStringLiteral("C2"), text));
        QString blanked = text;
        blanked.replace(QLatin1Char('\''), QLatin1Char(' '));
        QStringList expected{"CPL:26001IC04000123A|0003|" + text + "|" + text + "|" + text,
                             "CPL:26001IC04000123A|0002|C2|D|" + text.left(20),
                             "SRG:26001IC04000123A|0003|" + text,
                             "DVD:26001IC04000123A|0003|" + text + "|S|" + blanked,
                             "CCM:26001IC04000123A|9|DCEXP|" + text + "|1|" + text,
                             "-CPL:26001IC04000123A|0002|C2|D|x"};
        QStringList found = changes(before, catalogSnapshot());
        std::sort(expected.begin(), expected.end());
        std::sort(found.begin(), found.end());
        QCOMPARE(found, expected);
        QVERIFY(boxTexts().isEmpty());
    }

    // Replacing is a delete and an insert: when the insert fails the old row is still there.
    void replaceIsAllOrNothing() {
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("CREATE TRIGGER fail_insert BEFORE INSERT ON CPL "
                                              "BEGIN SELECT RAISE(ABORT, 'injected'); END")));
        const QStringList before = catalogSnapshot();
        try {
            modDA::agregarInformacionAdicional(D, QStringLiteral("0001"), QStringLiteral("C1"),
                                               QStringLiteral("nuevo"), QString(), true);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.description, QStringLiteral("injected"));
            QVERIFY(e.source.startsWith(
                QStringLiteral("Corvelix.modDA.agregarInformacionAdicional (0)::")));
        }
        QCOMPARE(catalogSnapshot(), before);
    }

    void serverTextOfAnItemList() {
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        modDA::ResetDocumento(D, QStringLiteral("LIC"), QStringLiteral("'0001','0002'"));
        modDA::vaciarVentajas(D, QStringLiteral("TODO"));
        QCOMPARE(capture.texts(),
                 (QStringList{"DELETE FROM DVD WHERE IDVD = ? AND NART IN (?, ?) AND CDVDDOC = "
                              "CAST(? AS nvarchar(max))",
                              "DELETE FROM SRG WHERE ISRG = ? AND NART <> '0000'"}));
        QCOMPARE(capture.statements().first().params, (QVariantList{D, "0001", "0002", "LIC"}));
    }
};

CORVELIX_TEST(tst_AttachedRows)
#include "tst_AttachedRows.moc"
